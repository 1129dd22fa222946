#include "gui/toolbars.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

void RegisterToolBarsClasses() {
  for (const TClassInfo* C : {&TToolBar::StaticClassInfo(), &TToolButton::StaticClassInfo()})
    RegisterComponentClass(*C);
}

// --- TToolButton ------------------------------------------------------------------------

BEGIN_CLASS_INFO(TToolButton, TGraphicControl, ComponentCreator<TToolButton>)
  PublishCaption(P);
END_CLASS_INFO

TToolButton::TToolButton(TComponent* Owner) : TGraphicControl(Owner) {
  Width_ = 23;
  Height_ = 22;
}

TToolButton::~TToolButton() {
  // The bar must not keep a window button for an object that is going.
  if (TToolBar* Bar = ToolBar()) {
    TControl::SetParent(nullptr);
    Bar->ButtonsChanged();
  }
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetParent(TWinControl* NewParent) {
  TToolBar* Old = ToolBar();
  TControl::SetParent(NewParent);
  if (Old && Old != NewParent) Old->ButtonsChanged();
  if (TToolBar* Bar = ToolBar(); Bar && Bar != Old) Bar->ButtonsChanged();
}

int TToolButton::Index() const {
  TToolBar* Bar = ToolBar();
  if (!Bar) return -1;
  for (int I = 0; I < Bar->ButtonCount(); ++I)
    if (Bar->Buttons(I) == this) return I;
  return -1;
}

void TToolButton::TextChanged() {
  if (TToolBar* Bar = ToolBar()) Bar->ButtonsChanged();
}

void TToolButton::EnabledChanged() {
  if (TToolBar* Bar = ToolBar(); Bar && Bar->HandleAllocated())
    SendMessageA(Bar->Handle(), TB_ENABLEBUTTON, static_cast<WPARAM>(Index() + 1), MAKELPARAM(Enabled_, 0));
}

void TToolButton::VisibleChanged() {
  if (TToolBar* Bar = ToolBar()) Bar->ButtonsChanged();
}

// --- TToolBar ---------------------------------------------------------------------------

BEGIN_CLASS_INFO(TToolBar, TWinControl, ComponentCreator<TToolBar>)
  P.Enum("Align", &TControl::Align, &TControl::SetAlign, AlignNames(), alTop);
  P.Int("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth, 23);
  P.Int("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight, 22);
  PublishFont(P);
  PublishColor(P, clBtnFace, false);
END_CLASS_INFO

TToolBar::TToolBar(TComponent* Owner) : TWinControl(Owner) {
  Width_ = 150;
  Height_ = 29;
  SetColor(clBtnFace);
  SetAlign(alTop);
}

TToolBar::~TToolBar() = default;

void TToolBar::CreateParams(TCreateParams& P) {
  InitCommonControl(ICC_BAR_CLASSES);
  TWinControl::CreateParams(P);
  CreateSubClass(P, TOOLBARCLASSNAMEA);
  // The library places the bar; the buttons show their captions beside no image.
  P.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_FLAT | TBSTYLE_LIST;
}

void TToolBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ButtonsChanged();
}

int TToolBar::ButtonCount() const {
  int Count = 0;
  for (int I = 0; I < ControlCount(); ++I)
    if (dynamic_cast<TToolButton*>(Controls(I))) ++Count;
  return Count;
}

TToolButton* TToolBar::Buttons(int Index) const {
  for (int I = 0; I < ControlCount(); ++I)
    if (auto* B = dynamic_cast<TToolButton*>(Controls(I)); B && Index-- == 0) return B;
  throw EInvalidOperation("Tool button index out of range");
}

void TToolBar::SetButtonSize(int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == ButtonWidth_ && AHeight == ButtonHeight_) return;
  ButtonWidth_ = AWidth;
  ButtonHeight_ = AHeight;
  ButtonsChanged();
}

void TToolBar::ButtonsChanged() {
  if (!HandleAllocated() || Rebuilding_ || IsDestroying()) return;
  Rebuilding_ = true;
  // The window takes a new button size only while it has no buttons.
  while (SendMessageA(Handle_, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageA(Handle_, TB_DELETEBUTTON, 0, 0);
  // A button is as tall as its image and padding; with no image to show, an
  // image of no width but the wanted height makes it ButtonHeight tall (or as
  // tall as its caption needs).
  const DWORD Padding = static_cast<DWORD>(SendMessageA(Handle_, TB_GETPADDING, 0, 0));
  const int ImageHeight = std::max(ButtonHeight_ - static_cast<int>(HIWORD(Padding)), 0);
  SendMessageA(Handle_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, ImageHeight));
  SendMessageA(Handle_, TB_SETBUTTONSIZE, 0, MAKELPARAM(ButtonWidth_, ButtonHeight_));
  SendMessageA(Handle_, TB_SETBUTTONWIDTH, 0, MAKELPARAM(ButtonWidth_, ButtonWidth_));
  std::vector<std::string> Texts;
  std::vector<TBBUTTON> Items;
  const int Count = ButtonCount();
  Texts.reserve(static_cast<size_t>(Count));
  for (int I = 0; I < Count; ++I) {
    TToolButton* B = Buttons(I);
    Texts.push_back(B->Caption());
    TBBUTTON Item{};
    Item.iBitmap = I_IMAGENONE;
    Item.idCommand = I + 1;
    Item.fsState = static_cast<BYTE>((B->Enabled() ? TBSTATE_ENABLED : 0) | (B->Visible() ? 0 : TBSTATE_HIDDEN));
    Item.fsStyle = BTNS_BUTTON;
    Item.iString = reinterpret_cast<INT_PTR>(Texts.back().c_str());
    Items.push_back(Item);
  }
  if (!Items.empty()) SendMessageA(Handle_, TB_ADDBUTTONSA, Items.size(), reinterpret_cast<LPARAM>(Items.data()));
  Rebuilding_ = false;
  ReadButtonBounds();
}

void TToolBar::ReadButtonBounds() {
  for (int I = 0; I < ButtonCount(); ++I) {
    RECT R{};
    if (!SendMessageA(Handle_, TB_GETITEMRECT, I, reinterpret_cast<LPARAM>(&R))) continue;
    TToolButton* B = Buttons(I);
    B->Left_ = R.left;
    B->Top_ = R.top;
    B->Width_ = R.right - R.left;
    B->Height_ = R.bottom - R.top;
  }
}

std::vector<TWinControl::TPaintedText> TToolBar::PaintedTexts() const {
  std::vector<TPaintedText> Texts;
  for (int I = 0; I < ButtonCount(); ++I) {
    TToolButton* B = Buttons(I);
    if (B->Visible() && !B->Caption().empty()) Texts.push_back(TPaintedText{B->Caption(), B->BoundsRect()});
  }
  return Texts;
}

void TToolBar::FontChanged() {
  TWinControl::FontChanged();
  ButtonsChanged();  // the captions measure anew
}

void TToolBar::WndProc(TMessage& M) {
  if (M.Msg == CN_COMMAND) {
    const int Id = LOWORD(M.WParam);
    if (Id >= 1 && Id <= ButtonCount()) {
      Buttons(Id - 1)->Click();
      M.Result = 0;
      return;
    }
  }
  TWinControl::WndProc(M);
}
