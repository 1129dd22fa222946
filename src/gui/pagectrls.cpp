#include "gui/pagectrls.h"

#include <commctrl.h>

#include <algorithm>

void RegisterPageCtrlsClasses() {
  for (const TClassInfo* C : {&TPageControl::StaticClassInfo(), &TTabSheet::StaticClassInfo()})
    RegisterComponentClass(*C);
}

// --- TTabSheet --------------------------------------------------------------------------

BEGIN_CLASS_INFO(TTabSheet, TWinControl, ComponentCreator<TTabSheet>)
  PublishCaption(P);
  PublishFont(P);
  P.Int("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex, std::nullopt, nullptr,
        [](const TTabSheet&) { return false; });  // the resource's order is the page order
END_CLASS_INFO

TTabSheet::TTabSheet(TComponent* Owner) : TWinControl(Owner) {
  SetColor(clBtnFace);
  Visible_ = false;  // the page control shows its active page
}

TTabSheet::~TTabSheet() {
  if (TPageControl* Pages = PageControl()) Pages->RemovePage(this);
}

TPageControl* TTabSheet::PageControl() const { return dynamic_cast<TPageControl*>(Parent()); }

void TTabSheet::SetParent(TWinControl* NewParent) {
  TPageControl* Old = PageControl();
  if (Old && Old != NewParent) Old->RemovePage(this);
  TWinControl::SetParent(NewParent);
  if (TPageControl* Pages = PageControl(); Pages && Pages != Old) Pages->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  TPageControl* Pages = PageControl();
  if (!Pages) return -1;
  auto It = std::find(Pages->Pages_.begin(), Pages->Pages_.end(), this);
  return It == Pages->Pages_.end() ? -1 : static_cast<int>(It - Pages->Pages_.begin());
}

void TTabSheet::SetPageIndex(int Value) {
  if (TPageControl* Pages = PageControl()) Pages->MovePage(this, Value);
}

void TTabSheet::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  P.Style |= WS_CLIPCHILDREN;
}

void TTabSheet::TextChanged() {
  TWinControl::TextChanged();
  if (TPageControl* Pages = PageControl()) Pages->UpdateTabs();
}

// --- TPageControl -----------------------------------------------------------------------

BEGIN_CLASS_INFO(TPageControl, TWinControl, ComponentCreator<TPageControl>)
  P.Obj<TTabSheet>("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  P.Obj<TFont>("TabFont", &TPageControl::TabFont, &TPageControl::SetTabFont);
  PublishFont(P);
  PublishTabStop(P, true);
  P.Event("OnChange", &TPageControl::OnChange);
END_CLASS_INFO

TPageControl::TPageControl(TComponent* Owner) : TWinControl(Owner) {
  Width_ = 289;
  Height_ = 193;
  TabStop_ = true;
  TabFont_.Assign(Font());
  TabFont_.OnChange = TNotifyEvent([this](TObject*) {
    if (!FollowingFont_) OwnTabFont_ = true;
    TabFontChanged();
  });
}

TPageControl::~TPageControl() {
  TabFont_.OnChange = {};
  Pages_.clear();
  ActivePage_ = nullptr;
}

int TPageControl::PageCount() const { return static_cast<int>(Pages_.size()); }

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount()) throw EInvalidOperation("Page index out of range");
  return Pages_[static_cast<size_t>(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page) {
  Pages_.push_back(Page);
  if (!ActivePage_) ActivePage_ = Page;
  UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto It = std::find(Pages_.begin(), Pages_.end(), Page);
  if (It == Pages_.end()) return;
  const size_t Index = static_cast<size_t>(It - Pages_.begin());
  Pages_.erase(It);
  if (ActivePage_ == Page)
    ActivePage_ = Pages_.empty() ? nullptr : Pages_[std::min(Index, Pages_.size() - 1)];
  if (!IsDestroying()) UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* Page, int NewIndex) {
  auto It = std::find(Pages_.begin(), Pages_.end(), Page);
  if (It == Pages_.end()) return;
  Pages_.erase(It);
  NewIndex = std::clamp(NewIndex, 0, static_cast<int>(Pages_.size()));
  Pages_.insert(Pages_.begin() + NewIndex, Page);
  UpdateTabs();
}

void TPageControl::SetActivePage(TTabSheet* Value) {
  if (Value && Value->PageControl() != this) throw EInvalidOperation("The sheet is not a page of this control");
  ActivePage_ = Value;
  UpdateTabs();
}

void TPageControl::Loaded() {
  TWinControl::Loaded();
  UpdateTabs();
}

void TPageControl::CreateParams(TCreateParams& P) {
  InitCommonControl(ICC_TAB_CLASSES);
  TWinControl::CreateParams(P);
  CreateSubClass(P, WC_TABCONTROLA);
  P.Style |= WS_CLIPCHILDREN;
}

void TPageControl::CreateWnd() {
  TWinControl::CreateWnd();
  TabFontChanged();
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  if (IsReading() || IsDestroying()) return;
  if (HandleAllocated()) {
    SendMessageA(Handle_, TCM_DELETEALLITEMS, 0, 0);
    for (int I = 0; I < PageCount(); ++I) {
      std::string Caption = Pages_[static_cast<size_t>(I)]->Caption();
      TCITEMA Item{};
      Item.mask = TCIF_TEXT;
      Item.pszText = Caption.data();
      SendMessageA(Handle_, TCM_INSERTITEMA, I, reinterpret_cast<LPARAM>(&Item));
    }
    auto It = std::find(Pages_.begin(), Pages_.end(), ActivePage_);
    SendMessageA(Handle_, TCM_SETCURSEL, It == Pages_.end() ? -1 : It - Pages_.begin(), 0);
  }
  PlaceSheets();
}

RECT TPageControl::DisplayRect() const {
  RECT R = ClientRect();
  if (Handle_) SendMessageA(Handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&R));
  else InflateRect(&R, -4, -4);
  return R;
}

std::vector<TWinControl::TPaintedText> TPageControl::PaintedTexts() const {
  std::vector<TPaintedText> Texts;
  if (!Handle_) return Texts;
  for (int I = 0; I < PageCount(); ++I) {
    RECT Tab{};
    if (SendMessageA(Handle_, TCM_GETITEMRECT, I, reinterpret_cast<LPARAM>(&Tab)))
      Texts.push_back(TPaintedText{Pages_[static_cast<size_t>(I)]->Caption(), Tab});
  }
  return Texts;
}

void TPageControl::PlaceSheets() {
  const RECT R = DisplayRect();
  for (TTabSheet* Page : Pages_) {
    Page->SetBounds(R.left, R.top, std::max<LONG>(R.right - R.left, 0), std::max<LONG>(R.bottom - R.top, 0));
    Page->SetVisible(Page == ActivePage_);
  }
}

void TPageControl::FontChanged() {
  TWinControl::FontChanged();
  if (!OwnTabFont_) {
    FollowingFont_ = true;
    TabFont_.Assign(Font());
    FollowingFont_ = false;
  }
  TabFontChanged();  // the window shows the tabs' font, not the pages'
}

void TPageControl::TabFontChanged() {
  if (!HandleAllocated()) return;
  SendMessageA(Handle_, WM_SETFONT, reinterpret_cast<WPARAM>(TabFont_.Handle()), TRUE);
  PlaceSheets();  // the tabs' height decides where the sheets start
}

void TPageControl::Resize() {
  PlaceSheets();
  TWinControl::Resize();
}

void TPageControl::WndProc(TMessage& M) {
  if (M.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(M.LParam)->code == static_cast<UINT>(TCN_SELCHANGE)) {
    const int Index = static_cast<int>(SendMessageA(Handle_, TCM_GETCURSEL, 0, 0));
    if (Index >= 0 && Index < PageCount()) {
      ActivePage_ = Pages_[static_cast<size_t>(Index)];
      PlaceSheets();
      OnChange(this);
    }
    M.Result = 0;
    return;
  }
  TWinControl::WndProc(M);
}
