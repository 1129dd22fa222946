#include "gui/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <optional>

#include "classes/sysutils.h"
#include "gui/exceptionsink.h"

namespace {

int MouseX(LPARAM L) { return static_cast<short>(LOWORD(L)); }
int MouseY(LPARAM L) { return static_cast<short>(HIWORD(L)); }

// The property that binds a window to its object.
ATOM ObjectAtom() {
  static const ATOM Atom = GlobalAddAtomA("InstbriskoControl");
  return Atom;
}

// The object whose window CreateWindowEx is making: it takes the first message
// of a window nobody knows yet (WM_GETMINMAXINFO comes before WM_NCCREATE).
thread_local TWinControl* CreationControl = nullptr;

// Our registered window classes and the procedure each falls back on.
std::map<std::string, WNDPROC>& WindowClasses() {
  static auto* Classes = new std::map<std::string, WNDPROC>;
  return *Classes;
}

std::vector<TControlCanvas*>& HeldCanvases() {
  static auto* Canvases = new std::vector<TControlCanvas*>;
  return *Canvases;
}

UINT NextControlID() {
  static UINT ID = 100;
  if (++ID >= 0xF000) ID = 101;
  return ID;
}

bool IsMouseMessage(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK; }

}  // namespace

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

void FreeDeviceContexts() {
  auto& Held = HeldCanvases();
  while (!Held.empty()) Held.back()->FreeHandle();
}

TControlHost* ControlHost(const TControl* Control) {
  const TControl* C = Control;
  while (C && C->Parent()) C = C->Parent();
  return dynamic_cast<TControlHost*>(const_cast<TControl*>(C));
}

// --- TControlCanvas -------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
  HWND Wnd = nullptr;
  bool Graphic = false;
  if (auto* W = dynamic_cast<TWinControl*>(&Control_)) {
    if (W->HandleAllocated()) Wnd = W->Handle();
  } else if (Control_.Parent() && Control_.Parent()->HandleAllocated()) {
    Wnd = Control_.Parent()->Handle();
    Graphic = true;
  }
  HDC DC;
  if (Wnd) {
    WindowDC_ = TWindowDC(Wnd);
    DC = WindowDC_.Get();
    if (DC && Graphic) {
      SetViewportOrgEx(DC, Control_.Left(), Control_.Top(), nullptr);
      IntersectClipRect(DC, 0, 0, Control_.Width(), Control_.Height());
    }
  } else {
    MemoryDC_.Attach(CreateCompatibleDC(nullptr));
    DC = MemoryDC_.Get();
  }
  if (!DC) return;
  SetOwnHandle(DC);
  HeldCanvases().push_back(this);
}

void TControlCanvas::FreeHandle() {
  TCanvas::FreeHandle();
  if (!WindowDC_ && !MemoryDC_) return;
  WindowDC_.Release();
  MemoryDC_.Close();
  auto& Held = HeldCanvases();
  Held.erase(std::remove(Held.begin(), Held.end(), this), Held.end());
}

void TControlCanvas::BeginPaint(HDC DC) {
  FreeHandle();
  SetHandle(DC);
}

void TControlCanvas::EndPaint() { SetHandle(nullptr); }

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
  if (Value == GetText()) return;
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

void TControl::WndProc(TMessage& M) {
  auto Button = [&] {
    switch (M.Msg) {
      case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return mbRight;
      case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return mbMiddle;
      default: return mbLeft;
    }
  };
  const int X = MouseX(M.LParam), Y = MouseY(M.LParam);
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (M.Msg == WM_LBUTTONDOWN) MouseClicked_ = true;
      MouseDown(Button(), MouseShiftState(M.WParam), X, Y);
      break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (M.Msg == WM_LBUTTONDBLCLK) DblClick();
      MouseDown(Button(), MouseShiftState(M.WParam) + TShiftState{ssDouble}, X, Y);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      MouseUp(Button(), MouseShiftState(M.WParam), X, Y);
      if (M.Msg == WM_LBUTTONUP && MouseClicked_) {
        MouseClicked_ = false;
        RECT R = ClientRect();
        if (ClicksOnMouseUp() && X >= R.left && X < R.right && Y >= R.top && Y < R.bottom) Click();
      }
      break;
    }
    case WM_MOUSEMOVE:
      MouseMove(MouseShiftState(M.WParam), X, Y);
      break;
    default:
      break;
  }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseUp(this, Button, Shift, X, Y); }

void TControl::MouseMove(TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }

void TControl::Click() { OnClick(this); }

void TControl::DblClick() { OnDblClick(this); }

void TControl::Loaded() {
  TComponent::Loaded();
  AdjustSize();
}

void TControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  SetBounds(MulDiv(Left_, M, D), MulDiv(Top_, M, D), MulDiv(Width_, M, D), MulDiv(Height_, M, D));
  if (!ParentFont_) Font_.SetHeight(MulDiv(Font_.Height(), M, D));
}

// --- TWinControl ----------------------------------------------------------------------

BEGIN_CLASS_INFO(TWinControl, TControl, nullptr)
  P.Int("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext, 0);
  P.Event("OnEnter", &TWinControl::OnEnter);
  P.Event("OnExit", &TWinControl::OnExit);
  P.Event("OnKeyDown", &TWinControl::OnKeyDown);
  P.Event("OnKeyPress", &TWinControl::OnKeyPress);
  P.Event("OnKeyUp", &TWinControl::OnKeyUp);
END_CLASS_INFO

TWinControl::TWinControl(TComponent* Owner) : TControl(Owner) { Brush_.SetColor(Color_); }

TWinControl::~TWinControl() {
  TComponent::Destroying();
  DestroyHandle();
  // A parent frees the controls it still holds, whoever owns them; each one
  // leaves its owner as it goes.
  while (!Controls_.empty()) {
    TControl* C = Controls_.back();
    RemoveControl(C);
    delete C;
  }
  // Leave the parent while still a window control, so that its tab list forgets us.
  if (Parent_) Parent_->RemoveControl(this);
}

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount()) throw EListError(Format(Msg::ListIndexError, Index));
  return Controls_[static_cast<size_t>(Index)];
}

TWinControl* TWinControl::FromHandle(HWND Wnd) {
  if (!Wnd) return nullptr;
  return static_cast<TWinControl*>(GetPropA(Wnd, MAKEINTATOM(ObjectAtom())));
}

TWinControl* TWinControl::FindControl(HWND Wnd) {
  while (Wnd) {
    if (TWinControl* C = FromHandle(Wnd)) return C;
    Wnd = GetParent(Wnd);
  }
  return nullptr;
}

void TWinControl::Bind(HWND Wnd) {
  Handle_ = Wnd;
  SetPropA(Wnd, MAKEINTATOM(ObjectAtom()), this);
}

void TWinControl::Unbind() {
  if (!Handle_) return;
  RemovePropA(Handle_, MAKEINTATOM(ObjectAtom()));
  Handle_ = nullptr;
}

HWND TWinControl::Handle() {
  if (!Handle_) {
    if (Parent_) Parent_->HandleNeeded();  // may have made ours too
    if (!Handle_) CreateHandle();
  }
  return Handle_;
}

void TWinControl::CreateHandle() {
  CreateWnd();
  // While a form is read, its controls get their windows only when shown or
  // asked for: no message reaches the form before its creation handler has run.
  if (IsReading()) return;
  for (TControl* C : std::vector<TControl*>(Controls_))
    if (auto* W = dynamic_cast<TWinControl*>(C); W && !W->Handle_ && !W->IsReading()) W->CreateHandle();
}

void TWinControl::CreateAllHandles() {
  HandleNeeded();
  for (TControl* C : std::vector<TControl*>(Controls_))
    if (auto* W = dynamic_cast<TWinControl*>(C)) W->CreateAllHandles();
}

void TWinControl::CreateParams(TCreateParams& P) {
  P.Caption = Text_;
  P.Style = WS_CHILD | WS_CLIPSIBLINGS;
  P.ExStyle = WS_EX_NOPARENTNOTIFY;
  if (Visible_) P.Style |= WS_VISIBLE;
  if (!Enabled_) P.Style |= WS_DISABLED;
  if (TabStop_) P.Style |= WS_TABSTOP;
  P.X = Left_;
  P.Y = Top_;
  P.Width = Width_;
  P.Height = Height_;
  P.WindowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  P.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  P.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& P, const char* SystemClassName) {
  P.SystemClass = SystemClassName;
}

void TWinControl::CreateWnd() {
  TCreateParams P;
  CreateParams(P);
  if ((P.Style & WS_CHILD) && !P.WndParent) {
    if (!Parent_) throw EInvalidOperation(Format("Control '%s' has no parent window", Name()));
    P.WndParent = Parent_->Handle();
    if (Handle_) return;  // the parent's window brought ours
  }
  auto& Classes = WindowClasses();
  auto It = Classes.find(P.WinClassName);
  if (It == Classes.end()) {
    WNDCLASSA WC = P.WindowClass;
    WNDPROC Default = DefWindowProcA;
    if (!P.SystemClass.empty()) {
      WNDCLASSA System{};
      if (!GetClassInfoA(nullptr, P.SystemClass.c_str(), &System))
        throw EOSError("The window class " + P.SystemClass + " is not available");
      Default = System.lpfnWndProc;
      WC = System;
      WC.style &= ~CS_GLOBALCLASS;
    }
    WC.lpfnWndProc = StdWndProc;
    WC.hInstance = GetModuleHandleA(nullptr);
    WC.lpszClassName = P.WinClassName.c_str();
    if (!RegisterClassA(&WC) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      throw EOSError("Cannot register the window class " + P.WinClassName);
    It = Classes.emplace(P.WinClassName, Default).first;
  }
  DefWndProc_ = It->second;
  OwnClass_ = P.SystemClass.empty();
  CreateWindowHandle(P);
  if (!Handle_) throw EOSError("Cannot create the window of " + (Name().empty() ? ClassName() : Name()));
  SendMessageA(Handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  if (Parent_ && (P.Style & WS_CHILD)) Parent_->PlaceInZOrder(this);
  // Some windows choose their own size (a combo box its height).
  UpdateBounds();
}

void TWinControl::CreateWindowHandle(const TCreateParams& P) {
  HMENU Id = nullptr;
  if (P.Style & WS_CHILD) {
    ControlID_ = NextControlID();
    Id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ControlID_));
  }
  TWinControl* Outer = CreationControl;
  CreationControl = this;
  HWND Wnd = CreateWindowExA(P.ExStyle, P.WinClassName.c_str(), P.Caption.c_str(), P.Style, P.X, P.Y, P.Width,
                             P.Height, P.WndParent, Id, GetModuleHandleA(nullptr), P.Param ? P.Param : this);
  CreationControl = Outer;
  if (Wnd && !Handle_) Bind(Wnd);
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  TWinControl* Self = FromHandle(Wnd);
  if (!Self) {
    Self = CreationControl;
    if (!Self || Self->Handle_) return DefWindowProcA(Wnd, Msg, W, L);
    CreationControl = nullptr;
    Self->Bind(Wnd);
  }
  TMessage M{Msg, W, L, 0};
  try {
    Self->WndProc(M);
  } catch (...) {
    HandleWindowException(Self);
  }
  return M.Result;
}

void TWinControl::DefaultHandler(TMessage& M) {
  if (!Handle_) return;
  M.Result = CallWindowProcA(DefWndProc_ ? DefWndProc_ : DefWindowProcA, Handle_, M.Msg, M.WParam, M.LParam);
}

void TWinControl::DestroyHandle() {
  if (!Handle_) return;
  HWND Wnd = Handle_;
  if (!DestroyWindow(Wnd)) Unbind();
}

void TWinControl::RecreateWnd() {
  if (!Handle_) return;
  DestroyHandle();
  CreateAllHandles();
}

void TWinControl::SaveWindowState() { Text_ = GetText(); }

std::string TWinControl::GetText() const {
  if (!Handle_) return Text_;
  int Length = GetWindowTextLengthA(Handle_);
  std::string S(static_cast<size_t>(std::max(Length, 0)) + 1, '\0');
  int Got = GetWindowTextA(Handle_, S.data(), static_cast<int>(S.size()));
  S.resize(static_cast<size_t>(std::max(Got, 0)));
  return S;
}

void TWinControl::TextChanged() {
  if (Handle_) SetWindowTextA(Handle_, Text_.c_str());
  TControl::TextChanged();
}

void TWinControl::FontChanged() {
  if (Handle_) SendMessageA(Handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
  for (TControl* C : Controls_) C->ParentFontChanged();
  TControl::FontChanged();
}

void TWinControl::ColorChanged() {
  Brush_.SetColor(Color_);
  for (TControl* C : Controls_) C->ParentColorChanged();
  TControl::ColorChanged();
}

void TWinControl::EnabledChanged() {
  if (Handle_) EnableWindow(Handle_, Enabled_);
  Invalidate();
}

void TWinControl::VisibleChanged() {
  if (!Handle_ && !(Visible_ && Parent_ && Parent_->Showing() && !IsReading())) return;
  if (Visible_) CreateAllHandles();
  SetWindowPos(Handle_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (Visible_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

bool TWinControl::Showing() const { return Handle_ && IsWindowVisible(Handle_); }

void TWinControl::InsertControl(TControl* C) {
  if (!C || C->Parent_ == this) return;
  if (C->Parent_) C->Parent_->RemoveControl(C);
  C->Parent_ = this;
  Controls_.push_back(C);
  auto* W = dynamic_cast<TWinControl*>(C);
  if (W) TabList_.push_back(W);
  C->ParentFontChanged();
  C->ParentColorChanged();
  C->ParentShowHintChanged();
  if (W) {
    if (W->Handle_) {
      if (Handle_) {
        ::SetParent(W->Handle_, Handle_);
        PlaceInZOrder(W);
      } else {
        W->DestroyHandle();
      }
    } else if (Handle_ && !IsReading() && !W->IsReading()) {
      W->CreateHandle();
    }
  } else {
    C->InvalidateControl();
  }
  C->RequestAlign();
}

void TWinControl::RemoveControl(TControl* C) {
  auto It = std::find(Controls_.begin(), Controls_.end(), C);
  if (It == Controls_.end()) return;
  if (TControlHost* Host = ControlHost(this)) Host->ControlRemoved(C);
  C->InvalidateControl();
  Controls_.erase(It);
  if (auto* W = dynamic_cast<TWinControl*>(C)) {
    TabList_.erase(std::remove(TabList_.begin(), TabList_.end(), W), TabList_.end());
    W->DestroyHandle();
  }
  if (MouseCapture_ == C) MouseCapture_ = nullptr;
  C->Parent_ = nullptr;
  if (C->Align_ != alNone && !IsDestroying()) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* C = Control ? Control->Parent_ : nullptr; C; C = C->Parent_)
    if (C == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(POINT P, bool AllowDisabled, bool AllowWindows) const {
  for (auto It = Controls_.rbegin(); It != Controls_.rend(); ++It) {
    TControl* C = *It;
    if (!C->Visible_ || (!AllowDisabled && !C->Enabled_)) continue;
    if (!AllowWindows && dynamic_cast<TWinControl*>(C)) continue;
    RECT R = C->BoundsRect();
    if (PtInRect(&R, P)) return C;
  }
  return nullptr;
}

void TWinControl::PlaceInZOrder(TWinControl* Child) {
  if (!Handle_ || !Child->Handle_) return;
  // Later controls lie above earlier ones: below the next later sibling with a window.
  HWND After = HWND_TOP;
  auto It = std::find(Controls_.begin(), Controls_.end(), Child);
  if (It == Controls_.end()) return;
  for (++It; It != Controls_.end(); ++It)
    if (auto* W = dynamic_cast<TWinControl*>(*It); W && W->Handle_) {
      After = W->Handle_;
      break;
    }
  SetWindowPos(Child->Handle_, After, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// --- Tab order and focus ---------------------------------------------------------------

int TWinControl::TabOrder() const {
  if (!Parent_) return TabOrderWanted_;
  auto& L = Parent_->TabList_;
  auto It = std::find(L.begin(), L.end(), this);
  return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (!Parent_ || IsReading() || Parent_->IsReading()) {
    TabOrderWanted_ = Value;
    return;
  }
  auto& L = Parent_->TabList_;
  L.erase(std::remove(L.begin(), L.end(), this), L.end());
  if (Value < 0 || Value > static_cast<int>(L.size())) Value = static_cast<int>(L.size());
  L.insert(L.begin() + Value, this);
}

void TWinControl::FixupTabList() {
  std::vector<std::pair<int, TWinControl*>> Keyed;
  for (size_t I = 0; I < TabList_.size(); ++I) {
    TWinControl* C = TabList_[I];
    Keyed.emplace_back(C->TabOrderWanted_ >= 0 ? C->TabOrderWanted_ : static_cast<int>(I), C);
    C->TabOrderWanted_ = -1;
  }
  std::stable_sort(Keyed.begin(), Keyed.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  for (size_t I = 0; I < Keyed.size(); ++I) TabList_[I] = Keyed[I].second;
}

void TWinControl::SetTabStop(bool Value) {
  if (Value == TabStop_) return;
  TabStop_ = Value;
  if (Handle_) {
    LONG_PTR Style = GetWindowLongPtrA(Handle_, GWL_STYLE);
    SetWindowLongPtrA(Handle_, GWL_STYLE, Value ? (Style | WS_TABSTOP) : (Style & ~WS_TABSTOP));
  }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
  for (TWinControl* C : TabList_) {
    List.push_back(C);
    C->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
  std::vector<TWinControl*> List;
  GetTabOrderList(List);
  const int N = static_cast<int>(List.size());
  if (N == 0) return nullptr;
  auto It = std::find(List.begin(), List.end(), Current);
  int I = It == List.end() ? (GoForward ? -1 : N) : static_cast<int>(It - List.begin());
  for (int Step = 0; Step < N; ++Step) {
    I = GoForward ? (I + 1) % N : (I - 1 + N) % N;
    TWinControl* C = List[static_cast<size_t>(I)];
    if (C == Current) break;
    if (C->CanFocus() && (!CheckTabStop || C->TabStop_) && (!CheckParent || C->Parent_ == this)) return C;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop) {
  if (TWinControl* C = FindNextControl(Current, GoForward, CheckTabStop, false)) C->SetFocus();
}

bool TWinControl::CanFocus() const {
  for (const TControl* C = this; C; C = C->Parent_)
    if (!C->Visible_ || !C->Enabled_) return false;
  return true;
}

bool TWinControl::Focused() const {
  HWND F = GetFocus();
  if (!Handle_ || !F) return false;
  return F == Handle_ || (GetParent(F) == Handle_ && !FromHandle(F));
}

void TWinControl::SetFocus() {
  TControlHost* Host = ControlHost(this);
  if (Host && Host != dynamic_cast<TControlHost*>(this)) {
    Host->SetActiveControl(this);
    return;
  }
  ::SetFocus(Handle());
}

void TWinControl::FocusReceived() {
  if (IsDestroying()) return;
  if (TControlHost* Host = ControlHost(this)) Host->FocusChanged(this);
  DoEnter();
}

void TWinControl::FocusLost() {
  if (!IsDestroying()) DoExit();
}

// --- Alignment, bounds, painting --------------------------------------------------------

void TWinControl::EnableAlign() {
  if (AlignDisabled_ > 0 && --AlignDisabled_ == 0 && AlignPending_) Realign();
}

void TWinControl::Realign() {
  if (AlignDisabled_ > 0 || IsReading()) {
    AlignPending_ = true;
    return;
  }
  if (Aligning_ || IsDestroying()) return;
  AlignPending_ = false;
  Aligning_ = true;
  TScopeGuard Done([this] { Aligning_ = false; });
  RECT R = ClientRect();
  AdjustClientRect(R);
  AlignControls(nullptr, R);
}

void TWinControl::AlignControls(TControl*, RECT& R) {
  static const TAlign Order[] = {alTop, alBottom, alLeft, alRight, alClient};
  for (TAlign A : Order) {
    std::vector<TControl*> List;
    for (TControl* C : Controls_)
      if (C->Align_ == A && C->Visible_) List.push_back(C);
    // Stacked as they lie, so that the one nearest the edge stays nearest.
    std::stable_sort(List.begin(), List.end(), [A](const TControl* X, const TControl* Y) {
      switch (A) {
        case alTop: return X->Top_ < Y->Top_;
        case alBottom: return X->Top_ + X->Height_ > Y->Top_ + Y->Height_;
        case alLeft: return X->Left_ < Y->Left_;
        case alRight: return X->Left_ + X->Width_ > Y->Left_ + Y->Width_;
        default: return false;
      }
    });
    for (TControl* C : List) {
      const int W = std::max<int>(R.right - R.left, 0), H = std::max<int>(R.bottom - R.top, 0);
      switch (A) {
        case alTop:
          C->SetBounds(R.left, R.top, W, C->Height_);
          R.top += C->Height_;
          break;
        case alBottom:
          C->SetBounds(R.left, R.bottom - C->Height_, W, C->Height_);
          R.bottom -= C->Height_;
          break;
        case alLeft:
          C->SetBounds(R.left, R.top, C->Width_, H);
          R.left += C->Width_;
          break;
        case alRight:
          C->SetBounds(R.right - C->Width_, R.top, C->Width_, H);
          R.right -= C->Width_;
          break;
        default:
          C->SetBounds(R.left, R.top, W, H);
          break;
      }
    }
  }
}

RECT TWinControl::ClientRect() const {
  RECT R{0, 0, 0, 0};
  if (Handle_) {
    GetClientRect(Handle_, &R);
    return R;
  }
  // No window yet: the client area the window will have.
  TCreateParams P;
  const_cast<TWinControl*>(this)->CreateParams(P);
  RECT Frame{0, 0, 0, 0};
  AdjustWindowRectEx(&Frame, P.Style & ~WS_VISIBLE, FALSE, P.ExStyle);
  int W = Width_ - (Frame.right - Frame.left);
  int H = Height_ - (Frame.bottom - Frame.top);
  if (P.Style & WS_VSCROLL) W -= GetSystemMetrics(SM_CXVSCROLL);
  if (P.Style & WS_HSCROLL) H -= GetSystemMetrics(SM_CYHSCROLL);
  return RECT{0, 0, std::max(W, 0), std::max(H, 0)};
}

POINT TWinControl::ClientOrigin() const {
  POINT P{0, 0};
  if (Handle_) {
    ::ClientToScreen(Handle_, &P);
    return P;
  }
  return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (ALeft == Left_ && ATop == Top_ && AWidth == Width_ && AHeight == Height_) return;
  const bool Resized = AWidth != Width_ || AHeight != Height_;
  Left_ = ALeft;
  Top_ = ATop;
  Width_ = AWidth;
  Height_ = AHeight;
  if (Handle_) {
    // WM_WINDOWPOSCHANGED reads the real bounds back; WM_SIZE aligns and resizes.
    SetWindowBounds(ALeft, ATop, AWidth, AHeight);
  } else if (Resized) {
    Realign();
  }
  RequestAlign();
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) {
  if (!DeltaX && !DeltaY) return;
  DisableAlign();
  for (TControl* C : Controls_) {
    auto* W = dynamic_cast<TWinControl*>(C);
    if (W && W->Handle_ && Handle_) continue;  // the windows move with the scrolled area
    C->Left_ += DeltaX;
    C->Top_ += DeltaY;
  }
  if (Handle_) {
    ScrollWindowEx(Handle_, DeltaX, DeltaY, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    for (TControl* C : Controls_)
      if (auto* W = dynamic_cast<TWinControl*>(C); W && W->Handle_) W->UpdateBounds();
  }
  AlignPending_ = false;
  EnableAlign();
}

void TWinControl::SetWindowBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  SetWindowPos(Handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::UpdateBounds() {
  if (!Handle_ || IsIconic(Handle_)) return;
  RECT R;
  GetWindowRect(Handle_, &R);
  if (GetWindowLongPtrA(Handle_, GWL_STYLE) & WS_CHILD)
    if (HWND P = GetParent(Handle_)) MapWindowPoints(HWND_DESKTOP, P, reinterpret_cast<POINT*>(&R), 2);
  Left_ = R.left;
  Top_ = R.top;
  Width_ = R.right - R.left;
  Height_ = R.bottom - R.top;
}

void TWinControl::Invalidate() {
  if (Handle_) InvalidateRect(Handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (Handle_) UpdateWindow(Handle_);
}

void TWinControl::Repaint() {
  if (Handle_)
    RedrawWindow(Handle_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

void TWinControl::PaintControls(HDC DC, const RECT& Area) {
  for (TControl* C : Controls_) {
    auto* G = dynamic_cast<TGraphicControl*>(C);
    if (!G || !G->Visible_) continue;
    RECT R = G->BoundsRect(), Meet;
    if (!IntersectRect(&Meet, &R, &Area)) continue;
    TSavedDC Saved(DC);
    OffsetViewportOrgEx(DC, G->Left_, G->Top_, nullptr);
    IntersectClipRect(DC, 0, 0, G->Width_, G->Height_);
    G->PaintTo(DC);
  }
}

void TWinControl::PaintHandler(TMessage& M) {
  std::optional<TPaintDC> Painting;
  HDC DC = reinterpret_cast<HDC>(M.WParam);
  RECT Area;
  if (!DC) {
    DC = Painting.emplace(Handle_).Get();
    Area = Painting->Area();
  } else {
    GetClientRect(Handle_, &Area);
  }
  {
    TSavedDC Saved(DC);
    PaintWindow(DC);
  }
  PaintControls(DC, Area);
  M.Result = 0;
}

void TWinControl::SetCursorHandler(TMessage& M) {
  if (reinterpret_cast<HWND>(M.WParam) == Handle_ && LOWORD(M.LParam) == HTCLIENT) {
    TCursor C = GlobalCursor();
    if (C == crDefault) {
      POINT P;
      GetCursorPos(&P);
      ::ScreenToClient(Handle_, &P);
      TControl* Child = OwnClass_ ? ControlAtPos(P, true) : nullptr;
      if (Child) C = Child->Cursor();
      if (C == crDefault) C = Cursor();
    }
    if (C != crDefault) {
      ::SetCursor(CursorHandle(C));
      M.Result = TRUE;
      return;
    }
  }
  DefaultHandler(M);
}

bool TWinControl::ForwardMouseToChild(TMessage& M) {
  if (!OwnClass_) return false;
  POINT P{MouseX(M.LParam), MouseY(M.LParam)};
  TControl* Target = MouseCapture_;
  if (!Target) Target = ControlAtPos(P, false);
  if (!Target) return false;
  const bool Down = M.Msg == WM_LBUTTONDOWN || M.Msg == WM_RBUTTONDOWN || M.Msg == WM_MBUTTONDOWN ||
                    M.Msg == WM_LBUTTONDBLCLK || M.Msg == WM_RBUTTONDBLCLK || M.Msg == WM_MBUTTONDBLCLK;
  const bool Up = M.Msg == WM_LBUTTONUP || M.Msg == WM_RBUTTONUP || M.Msg == WM_MBUTTONUP;
  if (Down && !MouseCapture_) {
    MouseCapture_ = Target;
    SetCapture(Handle_);
  }
  const LPARAM Local = MAKELPARAM(P.x - Target->Left_, P.y - Target->Top_);
  if (Up && !(M.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && MouseCapture_) {
    MouseCapture_ = nullptr;
    ReleaseCapture();
  }
  Target->Perform(M.Msg, M.WParam, Local);
  M.Result = 0;
  return true;
}

bool TWinControl::Reflect(TMessage& M, HWND Child) {
  if (!Child || Child == Handle_) return false;
  TWinControl* C = FromHandle(Child);
  if (!C) return false;
  M.Result = C->Perform(M.Msg + CN_BASE, M.WParam, M.LParam);
  return true;
}

TWinControl* TWinControl::ChildWithID(UINT ID) const {
  for (TControl* C : Controls_)
    if (auto* W = dynamic_cast<TWinControl*>(C); W && W->Handle_ && W->ControlID_ == ID) return W;
  return nullptr;
}

void TWinControl::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_NCDESTROY:
      DefaultHandler(M);
      Unbind();
      return;
    case WM_DESTROY:
      SaveWindowState();
      if (MouseCapture_) {
        MouseCapture_ = nullptr;
        ReleaseCapture();
      }
      break;
    case WM_WINDOWPOSCHANGED:
      UpdateBounds();
      break;
    case WM_SIZE:
      DefaultHandler(M);
      if (!IsReading()) {
        Realign();
        Resize();
      }
      return;
    case WM_PAINT:
      if (OwnClass_) {
        PaintHandler(M);
        return;
      }
      break;
    case WM_PRINTCLIENT:
      if (OwnClass_) {
        HDC DC = reinterpret_cast<HDC>(M.WParam);
        RECT R;
        GetClientRect(Handle_, &R);
        if (M.LParam & PRF_ERASEBKGND) ::FillRect(DC, &R, Brush_.Handle());
        PaintHandler(M);
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (OwnClass_) {
        RECT R;
        GetClientRect(Handle_, &R);
        ::FillRect(reinterpret_cast<HDC>(M.WParam), &R, Brush_.Handle());
        M.Result = 1;
        return;
      }
      break;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      if (Reflect(M, reinterpret_cast<HWND>(M.LParam))) return;
      break;
    case WM_NOTIFY:
      if (Reflect(M, reinterpret_cast<NMHDR*>(M.LParam)->hwndFrom)) return;
      break;
    case WM_DRAWITEM: {
      auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
      if (D->CtlType != ODT_MENU && Reflect(M, D->hwndItem)) return;
      break;
    }
    case WM_DELETEITEM:
      if (Reflect(M, reinterpret_cast<DELETEITEMSTRUCT*>(M.LParam)->hwndItem)) return;
      break;
    case WM_COMPAREITEM:
      if (Reflect(M, reinterpret_cast<COMPAREITEMSTRUCT*>(M.LParam)->hwndItem)) return;
      break;
    case WM_MEASUREITEM: {
      auto* MI = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
      if (MI->CtlType != ODT_MENU)
        if (TWinControl* C = ChildWithID(MI->CtlID)) {
          M.Result = C->Perform(CN_MEASUREITEM, M.WParam, M.LParam);
          return;
        }
      break;
    }
    case WM_SETCURSOR:
      SetCursorHandler(M);
      return;
    case WM_SETFOCUS:
      DefaultHandler(M);
      FocusReceived();
      return;
    case WM_KILLFOCUS:
      DefaultHandler(M);
      FocusLost();
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD Key = static_cast<WORD>(M.WParam);
      if (M.Msg == WM_KEYDOWN || M.Msg == WM_SYSKEYDOWN) OnKeyDown(this, Key, KeyboardShiftState());
      else OnKeyUp(this, Key, KeyboardShiftState());
      if (Key == 0) {
        M.Result = 0;
        return;
      }
      M.WParam = Key;
      break;
    }
    case WM_CHAR: {
      char C = static_cast<char>(M.WParam);
      OnKeyPress(this, C);
      if (C == 0) {
        M.Result = 0;
        return;
      }
      M.WParam = static_cast<unsigned char>(C);
      break;
    }
    case WM_CANCELMODE:
      if (MouseCapture_) {
        MouseCapture_ = nullptr;
        ReleaseCapture();
      }
      break;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORSCROLLBAR: {
      HDC DC = reinterpret_cast<HDC>(M.WParam);
      SetTextColor(DC, ColorToRGB(Font()->Color()));
      SetBkColor(DC, ColorToRGB(Color_));
      M.Result = reinterpret_cast<LRESULT>(Brush_.Handle());
      return;
    }
    default:
      if (IsMouseMessage(M.Msg)) {
        if (ForwardMouseToChild(M)) return;
        // The window acts first (an edit releases its capture), then the events,
        // which may open a modal dialog.
        DefaultHandler(M);
        const LRESULT Result = M.Result;
        TControl::WndProc(M);
        M.Result = Result;
        return;
      }
      // Reflected notifications nobody took: the child's window must not see them.
      if (M.Msg >= CN_BASE && M.Msg <= CN_LAST) {
        M.Result = 0;
        return;
      }
      break;
  }
  DefaultHandler(M);
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TControl* C : std::vector<TControl*>(Controls_))
    if (C->Owner() == Root) Proc(C);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  FixupTabList();
  Realign();
}

void TWinControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  DisableAlign();
  TControl::ChangeScale(M, D);
  for (TControl* C : std::vector<TControl*>(Controls_)) C->ChangeScale(M, D);
  EnableAlign();
}

// --- TGraphicControl, TCustomControl ---------------------------------------------------

BEGIN_CLASS_INFO(TGraphicControl, TControl, nullptr)
END_CLASS_INFO

TGraphicControl::TGraphicControl(TComponent* Owner) : TControl(Owner), Canvas_(*this) {
  Canvas_.Font().Assign(Font());
}

TGraphicControl::~TGraphicControl() { Canvas_.FreeHandle(); }

void TGraphicControl::FontChanged() {
  Canvas_.Font().Assign(Font());
  TControl::FontChanged();
}

void TGraphicControl::PaintTo(HDC DC) {
  Canvas_.PaintOn(DC, [this] { Paint(); });
}

BEGIN_CLASS_INFO(TCustomControl, TWinControl, nullptr)
END_CLASS_INFO

TCustomControl::TCustomControl(TComponent* Owner) : TWinControl(Owner), Canvas_(*this) {
  Canvas_.Font().Assign(Font());
}

TCustomControl::~TCustomControl() {
  // The window goes while the whole object is still there to hear of it.
  DestroyHandle();
  Canvas_.FreeHandle();
}

void TCustomControl::FontChanged() {
  Canvas_.Font().Assign(Font());
  TWinControl::FontChanged();
}

void TCustomControl::PaintWindow(HDC DC) {
  Canvas_.PaintOn(DC, [this] { Paint(); });
}
