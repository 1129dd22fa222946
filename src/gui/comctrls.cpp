#include "gui/comctrls.h"

#include <commctrl.h>

#include <vector>

void RegisterComCtrlsClasses() {
  for (const TClassInfo* C :
       {&TStatusBar::StaticClassInfo(), &THeaderControl::StaticClassInfo(), &TListView::StaticClassInfo()})
    RegisterComponentClass(*C);
}

// --- Items with a text and a width -------------------------------------------------

BEGIN_CLASS_INFO(TTextWidthItem, TCollectionItem, nullptr)
END_CLASS_INFO

void TTextWidthItem::SetText(const std::string& Value) {
  if (Text_ == Value) return;
  Text_ = Value;
  Changed();
}

void TTextWidthItem::SetWidth(int Value) {
  if (Width_ == Value) return;
  Width_ = Value;
  Changed();
}

void TTextWidthItem::Assign(const TPersistent* Source) {
  auto* S = dynamic_cast<const TTextWidthItem*>(Source);
  if (!S) return TCollectionItem::Assign(Source);
  Text_ = S->Text_;
  Width_ = S->Width_;
  Changed();
}

// --- Status bar ------------------------------------------------------------------

BEGIN_CLASS_INFO(TStatusPanel, TTextWidthItem, nullptr)
  P.Str("Text", &TTextWidthItem::Text, &TTextWidthItem::SetText);
  P.Int("Width", &TTextWidthItem::Width, &TTextWidthItem::SetWidth, 50);
END_CLASS_INFO

BEGIN_CLASS_INFO(TStatusPanels, TCollection, nullptr)
END_CLASS_INFO

TStatusPanels::TStatusPanels(TStatusBar* Owner)
    : TCollection([](TCollection* C) { return new TStatusPanel(C); }, Owner) {}

BEGIN_CLASS_INFO(TStatusBar, TWinControl, ComponentCreator<TStatusBar>)
  P.Enum("Align", &TControl::Align, &TControl::SetAlign, AlignNames(), alBottom);
  PublishFont(P);
  P.Obj<TStatusPanels>("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
END_CLASS_INFO

TStatusBar::TStatusBar(TComponent* Owner) : TWinControl(Owner), Panels_(this) {
  Width_ = 150;
  Height_ = 19;
  SetColor(clBtnFace);
  SetAlign(alBottom);
  Panels_.OnUpdate = [this](TCollectionItem*) { UpdatePanels(); };
}

TStatusBar::~TStatusBar() { Panels_.OnUpdate = nullptr; }

void TStatusBar::CreateParams(TCreateParams& P) {
  InitCommonControl(ICC_BAR_CLASSES);
  TWinControl::CreateParams(P);
  CreateSubClass(P, STATUSCLASSNAMEA);
  // The library places the bar; the window must not move itself.
  P.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdatePanels();
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  int Count = Panels_.Count();
  std::vector<int> Edges;
  int Right = 0;
  for (int I = 0; I < Count; ++I) {
    Right += Panels_.Items(I)->Width();
    Edges.push_back(I == Count - 1 ? -1 : Right);
  }
  if (Edges.empty()) Edges.push_back(-1);
  SendMessageA(Handle_, SB_SETPARTS, Edges.size(), reinterpret_cast<LPARAM>(Edges.data()));
  for (int I = 0; I < static_cast<int>(Edges.size()); ++I) {
    std::string Text = I < Count ? Panels_.Items(I)->Text() : std::string();
    SendMessageA(Handle_, SB_SETTEXTA, I, reinterpret_cast<LPARAM>(Text.c_str()));
  }
}

// --- Header control ----------------------------------------------------------------

BEGIN_CLASS_INFO(THeaderSection, TTextWidthItem, nullptr)
  P.Str("Text", &TTextWidthItem::Text, &TTextWidthItem::SetText);
  P.Int("Width", &TTextWidthItem::Width, &TTextWidthItem::SetWidth, 50);
END_CLASS_INFO

BEGIN_CLASS_INFO(THeaderSections, TCollection, nullptr)
END_CLASS_INFO

THeaderSections::THeaderSections(THeaderControl* Owner)
    : TCollection([](TCollection* C) { return new THeaderSection(C); }, Owner) {}

BEGIN_CLASS_INFO(THeaderControl, TWinControl, ComponentCreator<THeaderControl>)
  P.Enum("Align", &TControl::Align, &TControl::SetAlign, AlignNames(), alTop);
  PublishFont(P);
  P.Obj<THeaderSections>("Sections", &THeaderControl::Sections, &THeaderControl::SetSections);
END_CLASS_INFO

THeaderControl::THeaderControl(TComponent* Owner) : TWinControl(Owner), Sections_(this) {
  Width_ = 150;
  Height_ = 17;
  SetColor(clBtnFace);
  SetAlign(alTop);
  Sections_.OnUpdate = [this](TCollectionItem* Item) { UpdateSections(Item); };
}

THeaderControl::~THeaderControl() { Sections_.OnUpdate = nullptr; }

void THeaderControl::CreateParams(TCreateParams& P) {
  InitCommonControl(ICC_LISTVIEW_CLASSES);
  TWinControl::CreateParams(P);
  CreateSubClass(P, WC_HEADERA);
  P.Style |= HDS_BUTTONS | HDS_HORZ;
}

void THeaderControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateSections(nullptr);
}

namespace {
HDITEMA SectionItem(const THeaderSection& S) {
  HDITEMA Item{};
  Item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
  Item.pszText = const_cast<char*>(S.Text().c_str());
  Item.cchTextMax = static_cast<int>(S.Text().size());
  Item.cxy = S.Width();
  Item.fmt = HDF_LEFT | HDF_STRING;
  return Item;
}
}  // namespace

void THeaderControl::UpdateSections(TCollectionItem* Changed) {
  if (!HandleAllocated()) return;
  if (auto* S = dynamic_cast<THeaderSection*>(Changed)) {
    HDITEMA Item = SectionItem(*S);
    SendMessageA(Handle_, HDM_SETITEMA, S->Index(), reinterpret_cast<LPARAM>(&Item));
    return;
  }
  while (SendMessageA(Handle_, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessageA(Handle_, HDM_DELETEITEM, 0, 0);
  for (int I = 0; I < Sections_.Count(); ++I) {
    HDITEMA Item = SectionItem(*Sections_.Items(I));
    SendMessageA(Handle_, HDM_INSERTITEMA, I, reinterpret_cast<LPARAM>(&Item));
  }
}

void THeaderControl::WndProc(TMessage& M) {
  if (M.Msg == CN_NOTIFY) {
    // The user dragged a divider: the section takes the window's width.
    auto* N = reinterpret_cast<NMHEADERA*>(M.LParam);
    if ((N->hdr.code == HDN_ITEMCHANGEDA || N->hdr.code == HDN_ITEMCHANGEDW) && N->pitem &&
        (N->pitem->mask & HDI_WIDTH) && N->iItem >= 0 && N->iItem < Sections_.Count()) {
      auto Update = std::move(Sections_.OnUpdate);
      Sections_.Items(N->iItem)->SetWidth(N->pitem->cxy);
      Sections_.OnUpdate = std::move(Update);
    }
  }
  TWinControl::WndProc(M);
}

// --- List view -----------------------------------------------------------------------

const TEnumInfo& ViewStyleNames() {
  static const TEnumInfo Names{"vsIcon", "vsSmallIcon", "vsList", "vsReport"};
  return Names;
}

BEGIN_CLASS_INFO(TListColumn, TTextWidthItem, nullptr)
  P.Str("Caption", &TTextWidthItem::Text, &TTextWidthItem::SetText);
  P.Int("Width", &TTextWidthItem::Width, &TTextWidthItem::SetWidth, 50);
END_CLASS_INFO

BEGIN_CLASS_INFO(TListColumns, TCollection, nullptr)
END_CLASS_INFO

TListColumns::TListColumns(TListView* Owner)
    : TCollection([](TCollection* C) { return new TListColumn(C); }, Owner) {}

BEGIN_CLASS_INFO(TListView, TWinControl, ComponentCreator<TListView>)
  PublishFont(P);
  PublishColor(P, clWindow, false);
  PublishTabStop(P, true);
  P.Obj<TListColumns>("Columns", &TListView::Columns, &TListView::SetColumns);
  P.Enum("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle, ViewStyleNames(), vsIcon);
END_CLASS_INFO

TListView::TListView(TComponent* Owner) : TWinControl(Owner), Columns_(this) {
  Width_ = 250;
  Height_ = 150;
  TabStop_ = true;
  Columns_.OnUpdate = [this](TCollectionItem* Item) { UpdateColumns(Item); };
}

TListView::~TListView() { Columns_.OnUpdate = nullptr; }

void TListView::SetViewStyle(TViewStyle Value) {
  if (ViewStyle_ == Value) return;
  ViewStyle_ = Value;
  if (!HandleAllocated()) return;
  static const DWORD Styles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  LONG_PTR Style = GetWindowLongPtrA(Handle_, GWL_STYLE);
  SetWindowLongPtrA(Handle_, GWL_STYLE, (Style & ~LVS_TYPEMASK) | Styles[Value]);
}

void TListView::CreateParams(TCreateParams& P) {
  InitCommonControl(ICC_LISTVIEW_CLASSES);
  TWinControl::CreateParams(P);
  CreateSubClass(P, WC_LISTVIEWA);
  static const DWORD Styles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  P.Style |= Styles[ViewStyle_] | LVS_SHAREIMAGELISTS;
  P.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateColumns(nullptr);
}

void TListView::SaveWindowState() {
  TWinControl::SaveWindowState();
  // The user may have resized the columns.
  auto Update = std::move(Columns_.OnUpdate);
  for (int I = 0; I < Columns_.Count(); ++I)
    Columns_.Items(I)->SetWidth(static_cast<int>(SendMessageA(Handle_, LVM_GETCOLUMNWIDTH, I, 0)));
  Columns_.OnUpdate = std::move(Update);
}

namespace {
LVCOLUMNA ColumnItem(const TListColumn& C) {
  LVCOLUMNA Item{};
  Item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  Item.fmt = LVCFMT_LEFT;
  Item.pszText = const_cast<char*>(C.Caption().c_str());
  Item.cx = C.Width();
  return Item;
}
}  // namespace

void TListView::UpdateColumns(TCollectionItem* Changed) {
  if (!HandleAllocated()) return;
  if (auto* C = dynamic_cast<TListColumn*>(Changed)) {
    LVCOLUMNA Item = ColumnItem(*C);
    SendMessageA(Handle_, LVM_SETCOLUMNA, C->Index(), reinterpret_cast<LPARAM>(&Item));
    return;
  }
  while (SendMessageA(Handle_, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (int I = 0; I < Columns_.Count(); ++I) {
    LVCOLUMNA Item = ColumnItem(*Columns_.Items(I));
    SendMessageA(Handle_, LVM_INSERTCOLUMNA, I, reinterpret_cast<LPARAM>(&Item));
  }
}
