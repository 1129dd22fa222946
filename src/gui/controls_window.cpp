// TWinControl: its window classes, the making and binding of its window, what
// the window holds, and its child controls.
#include "gui/controls.h"

#include <algorithm>
#include <map>

#include "classes/sysutils.h"
#include "gui/exceptionsink.h"

namespace {

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

UINT NextControlID() {
  static UINT ID = 100;
  if (++ID >= 0xF000) ID = 101;
  return ID;
}

}  // namespace

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
  if (OwnClass_) {
    TControl::TextChanged();  // ours paint their text themselves
    return;
  }
  AdjustSize();  // a window of a system class repaints itself for WM_SETTEXT
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
