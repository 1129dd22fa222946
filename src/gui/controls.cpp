#include "gui/controls.h"

#include <commctrl.h>

#include <algorithm>

#include "classes/sysutils.h"

const TEnumInfo& AlignNames() {
  static const TEnumInfo Names{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
  return Names;
}

const TEnumInfo& AlignmentNames() {
  static const TEnumInfo Names{"taLeftJustify", "taRightJustify", "taCenter"};
  return Names;
}

const TEnumInfo& BorderStyleNames() {
  static const TEnumInfo Names{"bsNone", "bsSingle"};
  return Names;
}

TShiftState KeyboardShiftState() {
  TShiftState S;
  if (GetKeyState(VK_SHIFT) < 0) S.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) S.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) S.Include(ssAlt);
  return S;
}

TShiftState MouseShiftState(WPARAM Keys) {
  TShiftState S;
  if (Keys & MK_SHIFT) S.Include(ssShift);
  if (Keys & MK_CONTROL) S.Include(ssCtrl);
  if (Keys & MK_LBUTTON) S.Include(ssLeft);
  if (Keys & MK_RBUTTON) S.Include(ssRight);
  if (Keys & MK_MBUTTON) S.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) S.Include(ssAlt);
  return S;
}

const TIdentMap& CursorIdents() {
  static const TIdentMap Map{
      {crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"}, {crCross, "crCross"},
      {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"},
      {crSizeWE, "crSizeWE"}, {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crNo, "crNo"},
      {crAppStart, "crAppStart"}, {crHelp, "crHelp"}, {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"}};
  return Map;
}

HCURSOR CursorHandle(TCursor Cursor) {
  LPCSTR Id = IDC_ARROW;
  switch (Cursor) {
    case crNone: return nullptr;
    case crCross: Id = IDC_CROSS; break;
    case crIBeam: Id = IDC_IBEAM; break;
    case crSizeNESW: Id = IDC_SIZENESW; break;
    case crSizeNS: Id = IDC_SIZENS; break;
    case crSizeNWSE: Id = IDC_SIZENWSE; break;
    case crSizeWE: Id = IDC_SIZEWE; break;
    case crUpArrow: Id = IDC_UPARROW; break;
    case crHourGlass: Id = IDC_WAIT; break;
    case crNo: Id = IDC_NO; break;
    case crAppStart: Id = IDC_APPSTARTING; break;
    case crHelp: Id = IDC_HELP; break;
    case crHandPoint: Id = IDC_HAND; break;
    case crSizeAll: Id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadCursorA(nullptr, Id);
}

namespace {
TCursor GlobalCursorValue = crDefault;
}  // namespace

TCursor GlobalCursor() { return GlobalCursorValue; }

void SetGlobalCursor(TCursor Cursor) { GlobalCursorValue = Cursor; }

void InitCommonControl(DWORD Classes) {
  static DWORD Done = 0;
  if ((Classes & ~Done) == 0) return;
  INITCOMMONCONTROLSEX Init{sizeof(Init), Classes};
  InitCommonControlsEx(&Init);
  Done |= Classes;
}

TControlHost* ControlHost(const TControl* Control) {
  const TControl* C = Control;
  while (C && C->Parent()) C = C->Parent();
  return dynamic_cast<TControlHost*>(const_cast<TControl*>(C));
}

// --- TControl ------------------------------------------------------------------------

BEGIN_CLASS_INFO(TControl, TComponent, nullptr)
  P.Int("Left", &TControl::Left, &TControl::SetLeft);
  P.Int("Top", &TControl::Top, &TControl::SetTop);
  P.Int("Width", &TControl::Width, &TControl::SetWidth);
  P.Int("Height", &TControl::Height, &TControl::SetHeight);
  P.Enum("Align", &TControl::Align, &TControl::SetAlign, AlignNames(), alNone);
  P.Int("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault, &CursorIdents());
  P.Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true);
  P.Str("Hint", &TControl::Hint, &TControl::SetHint);
  P.Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true);
  P.Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, {},
         [](const TControl& C) { return !C.ParentShowHint(); });
  P.Bool("Visible", &TControl::Visible, &TControl::SetVisible, true);
  P.Event("OnClick", &TControl::OnClick);
  P.Event("OnDblClick", &TControl::OnDblClick);
  P.Event("OnMouseDown", &TControl::OnMouseDown);
  P.Event("OnMouseMove", &TControl::OnMouseMove);
  P.Event("OnMouseUp", &TControl::OnMouseUp);
  P.Event("OnResize", &TControl::OnResize);
END_CLASS_INFO

TControl::TControl(TComponent* Owner) : TComponent(Owner) {
  Font_.OnChange = TNotifyEvent([this](TObject*) { OwnFontChanged(); });
}

TControl::~TControl() {
  Font_.OnChange = {};
  if (Parent_) Parent_->RemoveControl(this);
}

TComponent* TControl::GetParentComponent() const { return Parent_; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* W = dynamic_cast<TWinControl*>(Value)) SetParent(W);
}

void TControl::SetParent(TWinControl* NewParent) {
  if (NewParent == Parent_) return;
  if (NewParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (auto* Self = dynamic_cast<TWinControl*>(this); Self && NewParent && Self->ContainsControl(NewParent))
    throw EInvalidOperation("A control cannot be the parent of its own parent");
  if (Parent_) Parent_->RemoveControl(this);
  if (NewParent) NewParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (ALeft == Left_ && ATop == Top_ && AWidth == Width_ && AHeight == Height_) return;
  const bool Resized = AWidth != Width_ || AHeight != Height_;
  InvalidateControl();
  Left_ = ALeft;
  Top_ = ATop;
  Width_ = AWidth;
  Height_ = AHeight;
  InvalidateControl();
  RequestAlign();
  if (Resized && !IsReading()) Resize();
}

RECT TControl::ClientRect() const { return RECT{0, 0, Width_, Height_}; }

int TControl::ClientWidth() const {
  RECT R = ClientRect();
  return R.right - R.left;
}

int TControl::ClientHeight() const {
  RECT R = ClientRect();
  return R.bottom - R.top;
}

void TControl::SetClientSize(int AWidth, int AHeight) {
  RECT R = ClientRect();
  SetBounds(Left_, Top_, Width_ + AWidth - (R.right - R.left), Height_ + AHeight - (R.bottom - R.top));
}

POINT TControl::ClientOrigin() const {
  POINT P{Left_, Top_};
  if (Parent_) {
    POINT O = Parent_->ClientOrigin();
    P.x += O.x;
    P.y += O.y;
  }
  return P;
}

POINT TControl::ClientToScreen(POINT P) const {
  POINT O = ClientOrigin();
  return POINT{P.x + O.x, P.y + O.y};
}

POINT TControl::ScreenToClient(POINT P) const {
  POINT O = ClientOrigin();
  return POINT{P.x - O.x, P.y - O.y};
}

void TControl::SetVisible(bool Value) {
  if (Value == Visible_) return;
  Visible_ = Value;
  VisibleChanged();
  RequestAlign();
}

void TControl::VisibleChanged() {
  if (Parent_ && Parent_->HandleAllocated()) {
    RECT R = BoundsRect();
    InvalidateRect(Parent_->Handle(), &R, TRUE);
  }
}

bool TControl::Showing() const { return Visible_ && Parent_ && Parent_->Showing(); }

void TControl::SetEnabled(bool Value) {
  if (Value == Enabled_) return;
  Enabled_ = Value;
  EnabledChanged();
}

void TControl::EnabledChanged() { Invalidate(); }

void TControl::SetText(const std::string& Value) {
  // Text_ is what the control shows (a window's WM_SETTEXT keeps it so, whoever
  // sends it); only a text typed into the window has to be read back.
  if (TextEditedInPlace() ? Value == GetText() : Value == Text_) return;
  Text_ = Value;
  TextChanged();
}

void TControl::TextChanged() {
  AdjustSize();
  Invalidate();
}

void TControl::SetShowHint(bool Value) {
  ParentShowHint_ = false;
  if (Value == ShowHint_) return;
  ShowHint_ = Value;
  if (auto* W = dynamic_cast<TWinControl*>(this))
    for (TControl* C : W->Controls_) C->ParentShowHintChanged();
}

void TControl::SetParentShowHint(bool Value) {
  if (Value == ParentShowHint_) return;
  ParentShowHint_ = Value;
  if (Value) ParentShowHintChanged();
}

void TControl::ParentShowHintChanged() {
  if (!ParentShowHint_ || !Parent_) return;
  ShowHint_ = Parent_->ShowHint_;
  if (auto* W = dynamic_cast<TWinControl*>(this))
    for (TControl* C : W->Controls_) C->ParentShowHintChanged();
}

void TControl::OwnFontChanged() {
  if (!TakingParentFont_) ParentFont_ = false;
  FontChanged();
}

void TControl::FontChanged() {
  AdjustSize();
  Invalidate();
}

void TControl::SetParentFont(bool Value) {
  if (Value == ParentFont_) return;
  ParentFont_ = Value;
  if (Value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!ParentFont_ || !Parent_) return;
  TakingParentFont_ = true;
  TScopeGuard Done([this] { TakingParentFont_ = false; });
  Font_.Assign(Parent_->Font());
}

void TControl::SetColor(TColor Value) {
  if (!TakingParentColor_) ParentColor_ = false;
  if (Value == Color_) return;
  Color_ = Value;
  ColorChanged();
}

void TControl::ColorChanged() { Invalidate(); }

void TControl::SetParentColor(bool Value) {
  if (Value == ParentColor_) return;
  ParentColor_ = Value;
  if (Value) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!ParentColor_ || !Parent_) return;
  TakingParentColor_ = true;
  TScopeGuard Done([this] { TakingParentColor_ = false; });
  SetColor(Parent_->Color());
}

void TControl::SetAlign(TAlign Value) {
  if (Value == Align_) return;
  Align_ = Value;
  if (Parent_) Parent_->Realign();
}

void TControl::SetCursor(TCursor Value) { Cursor_ = Value; }

void TControl::SetAutoSize(bool Value) {
  if (Value == AutoSize_) return;
  AutoSize_ = Value;
  if (Value) AdjustSize();
}

void TControl::AdjustSize() {
  if (!AutoSize_ || IsReading() || IsDestroying()) return;
  int W = Width_, H = Height_;
  if (CanAutoSize(W, H)) SetBounds(Left_, Top_, W, H);
}

void TControl::InvalidateControl() {
  if (!Parent_ || !Parent_->HandleAllocated() || !Visible_) return;
  RECT R = BoundsRect();
  InvalidateRect(Parent_->Handle(), &R, TRUE);
}

void TControl::Invalidate() { InvalidateControl(); }

void TControl::Update() {
  if (Parent_) Parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!Parent_) return;
  auto& L = Parent_->Controls_;
  L.erase(std::find(L.begin(), L.end(), this));
  L.push_back(this);
  if (auto* W = dynamic_cast<TWinControl*>(this); W && W->Handle_)
    SetWindowPos(W->Handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  else
    InvalidateControl();
}

void TControl::SendToBack() {
  if (!Parent_) return;
  auto& L = Parent_->Controls_;
  L.erase(std::find(L.begin(), L.end(), this));
  L.insert(L.begin(), this);
  if (auto* W = dynamic_cast<TWinControl*>(this); W && W->Handle_)
    SetWindowPos(W->Handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  else
    InvalidateControl();
}

void TControl::RequestAlign() {
  if (Align_ != alNone && Parent_) Parent_->Realign();
}

void TControl::Resize() { OnResize(this); }

LRESULT TControl::Perform(UINT Msg, WPARAM W, LPARAM L) {
  TMessage M{Msg, W, L, 0};
  WndProc(M);
  return M.Result;
}

void TControl::Loaded() {
  TComponent::Loaded();
  AdjustSize();
}

void TControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  SetBounds(MulDiv(Left_, M, D), MulDiv(Top_, M, D), MulDiv(Width_, M, D), MulDiv(Height_, M, D));
  if (!ParentFont_) Font_.SetHeight(MulDiv(Font_.Height(), M, D));
}
