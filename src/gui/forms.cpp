#include "gui/forms.h"

#include <algorithm>

#include "classes/formstream.h"
#include "classes/sysutils.h"
#include "gui/exceptionsink.h"
#include "gui/handles.h"

// The screen exists from start-up on and is never destroyed: static destruction
// comes when much of the program is gone already.
TScreen* Screen = new TScreen(nullptr);

namespace {

HMODULE ResourceModule = nullptr;
TFormRunner* Runner = nullptr;

TForm* MainForm() { return Runner ? Runner->MainForm() : nullptr; }

const TEnumInfo& BorderIconNames() {
  static const TEnumInfo Names{"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
  return Names;
}
const TEnumInfo& WindowStateNames() {
  static const TEnumInfo Names{"wsNormal", "wsMinimized", "wsMaximized"};
  return Names;
}
const TEnumInfo& FormStyleNames() {
  static const TEnumInfo Names{"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
  return Names;
}
const TEnumInfo& PositionNames() {
  static const TEnumInfo Names{"poDesigned",     "poDefault",       "poDefaultPosOnly", "poDefaultSizeOnly",
                               "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};
  return Names;
}

// The windows ShowModal disables: every other visible, enabled top-level window
// of the thread.
struct TDisabledWindows {
  HWND Keep;
  std::vector<HWND> Windows;
};

BOOL CALLBACK DisableWindow(HWND Wnd, LPARAM Data) {
  auto* D = reinterpret_cast<TDisabledWindows*>(Data);
  if (Wnd != D->Keep && IsWindowVisible(Wnd) && IsWindowEnabled(Wnd)) {
    D->Windows.push_back(Wnd);
    EnableWindow(Wnd, FALSE);
  }
  return TRUE;
}

void EnableWindows(const TDisabledWindows& D) {
  for (auto It = D.Windows.rbegin(); It != D.Windows.rend(); ++It)
    if (IsWindow(*It)) EnableWindow(*It, TRUE);
}

}  // namespace

const TEnumInfo& FormBorderStyleNames() {
  static const TEnumInfo Names{"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
  return Names;
}

TFormRunner* SetFormRunner(TFormRunner* Value) { return std::exchange(Runner, Value); }

TFormRunner* FormRunner() { return Runner; }

TForm* GetParentForm(const TControl* Control) { return dynamic_cast<TForm*>(ControlHost(Control)); }

void SetFormResourceModule(HMODULE Module) { ResourceModule = Module; }

HMODULE FormResourceModule() { return ResourceModule ? ResourceModule : GetModuleHandleA(nullptr); }

// --- TControlScrollBar ---------------------------------------------------------------

BEGIN_CLASS_INFO(TControlScrollBar, TPersistent, nullptr)
  P.Int("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement, 8);
  P.Int("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition, 0);
  P.Int("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange, 0);
  P.Bool("Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking, false);
  P.Bool("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible, true);
END_CLASS_INFO

void TControlScrollBar::Assign(const TPersistent* Source) {
  if (auto* S = dynamic_cast<const TControlScrollBar*>(Source)) {
    Visible_ = S->Visible_;
    Range_ = S->Range_;
    Increment_ = S->Increment_;
    Tracking_ = S->Tracking_;
    SetPosition(S->Position_);
    Update();
    return;
  }
  TPersistent::Assign(Source);
}

void TControlScrollBar::SetVisible(bool Value) {
  if (Value == Visible_) return;
  Visible_ = Value;
  Form_.UpdateScrollBars();
}

void TControlScrollBar::SetRange(int Value) {
  Range_ = std::max(Value, 0);
  Form_.UpdateScrollBars();
}

bool TControlScrollBar::IsScrollBarVisible() const { return Shown_; }

int TControlScrollBar::ControlExtent() const {
  int Extent = 0;
  for (int I = 0; I < Form_.ControlCount(); ++I) {
    TControl* C = Form_.Controls(I);
    if (!C->Visible() || C->Align() != alNone) continue;
    Extent = std::max(Extent, Kind_ == sbHorizontal ? C->Left() + C->Width() : C->Top() + C->Height());
  }
  return Extent + Position_;
}

int TControlScrollBar::ClientExtent() const {
  RECT R = Form_.ClientRect();
  return Kind_ == sbHorizontal ? R.right - R.left : R.bottom - R.top;
}

void TControlScrollBar::Update() {
  if (!Form_.HandleAllocated()) return;
  const int Bar = Kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
  const int Total = Form_.AutoScroll() ? std::max(Range_, ControlExtent()) : Range_;
  const int Page = ClientExtent();
  const bool Show = Visible_ && Total > Page;
  if (!Show && Position_ != 0) SetPosition(0);
  SCROLLINFO SI{};
  SI.cbSize = sizeof(SI);
  SI.fMask = SIF_ALL;
  SI.nMax = Show ? Total - 1 : 0;
  SI.nPage = Show ? static_cast<UINT>(Page) : 0;
  SI.nPos = Position_;
  SetScrollInfo(Form_.Handle(), Bar, &SI, TRUE);
  if (Show != Shown_) ShowScrollBar(Form_.Handle(), Bar, Show);
  Shown_ = Show;
}

void TControlScrollBar::SetPosition(int Value) {
  const int Total = Form_.AutoScroll() ? std::max(Range_, ControlExtent()) : Range_;
  Value = std::clamp(Value, 0, std::max(Total - ClientExtent(), 0));
  if (Value == Position_) return;
  const int Delta = Position_ - Value;
  Position_ = Value;
  Form_.ScrollBy(Kind_ == sbHorizontal ? Delta : 0, Kind_ == sbVertical ? Delta : 0);
  if (Form_.HandleAllocated()) SetScrollPos(Form_.Handle(), Kind_ == sbHorizontal ? SB_HORZ : SB_VERT, Value, TRUE);
}

void TControlScrollBar::ScrollMessage(WPARAM W) {
  const int Bar = Kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
  const int Page = ClientExtent();
  int Pos = Position_;
  switch (LOWORD(W)) {
    case SB_LINEUP: Pos -= Increment_; break;
    case SB_LINEDOWN: Pos += Increment_; break;
    case SB_PAGEUP: Pos -= Page; break;
    case SB_PAGEDOWN: Pos += Page; break;
    case SB_TOP: Pos = 0; break;
    case SB_BOTTOM: Pos = Range_ + ControlExtent(); break;
    case SB_THUMBTRACK:
      if (!Tracking_) return;
      [[fallthrough]];
    case SB_THUMBPOSITION: {
      SCROLLINFO SI{};
      SI.cbSize = sizeof(SI);
      SI.fMask = SIF_TRACKPOS;
      GetScrollInfo(Form_.Handle(), Bar, &SI);
      Pos = SI.nTrackPos;
      break;
    }
    default: return;
  }
  SetPosition(Pos);
}

// --- TForm ---------------------------------------------------------------------------

BEGIN_CLASS_INFO(TForm, TCustomControl, nullptr)
  PublishCaption(P);
  PublishFont(P);
  PublishColor(P, clBtnFace, false);
  P.Obj<TWinControl>("ActiveControl", &TForm::ActiveControl, &TForm::SetActiveControl);
  P.Bool("AutoScroll", &TForm::AutoScroll, &TForm::SetAutoScroll, true);
  P.Set("BorderIcons", [](const TForm& F) { return F.BorderIcons().Mask(); },
        [](TForm& F, int64_t V) { F.SetBorderIcons(TBorderIcons(V)); }, BorderIconNames(),
        TBorderIcons{biSystemMenu, biMinimize, biMaximize}.Mask());
  P.Enum("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle, FormBorderStyleNames(), bsSizeable);
  // Either the outer size or the client size may stand in a resource. A client
  // size read with the form sizes it at once (there is no window yet) and again
  // once all its properties are known, should a later one change the frame.
  P.Int("ClientHeight", &TControl::ClientHeight,
        [](TForm& F, int64_t V) {
          if (F.IsReading()) F.WantedClientHeight_ = static_cast<int>(V);
          F.SetClientHeight(static_cast<int>(V));
        },
        {}, nullptr, [](const TForm&) { return false; });
  P.Int("ClientWidth", &TControl::ClientWidth,
        [](TForm& F, int64_t V) {
          if (F.IsReading()) F.WantedClientWidth_ = static_cast<int>(V);
          F.SetClientWidth(static_cast<int>(V));
        },
        {}, nullptr, [](const TForm&) { return false; });
  P.Enum("FormStyle", &TForm::FormStyle, &TForm::SetFormStyle, FormStyleNames(), fsNormal);
  P.Obj<TControlScrollBar>("HorzScrollBar", &TForm::HorzScrollBar);
  P.Int("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch);
  P.Enum("Position", &TForm::Position, &TForm::SetPosition, PositionNames(), poDesigned);
  P.Bool("Scaled", &TForm::Scaled, &TForm::SetScaled, true);
  P.Obj<TControlScrollBar>("VertScrollBar", &TForm::VertScrollBar);
  P.Bool("Visible", &TControl::Visible, &TControl::SetVisible, false);
  P.Enum("WindowState", &TForm::WindowState, &TForm::SetWindowState, WindowStateNames(), wsNormal);
  P.Event("OnActivate", &TForm::OnActivate);
  P.Event("OnClose", &TForm::OnClose);
  P.Event("OnCloseQuery", &TForm::OnCloseQuery);
  P.Event("OnCreate", &TForm::OnCreate);
  P.Event("OnDeactivate", &TForm::OnDeactivate);
  P.Event("OnDestroy", &TForm::OnDestroy);
  P.Event("OnHide", &TForm::OnHide);
  P.Event("OnPaint", &TForm::OnPaint);
  P.Event("OnShow", &TForm::OnShow);
END_CLASS_INFO

TForm::TForm(TComponent* Owner)
    : TCustomControl(Owner),
      PixelsPerInch_(ScreenPixelsPerInch()),
      HorzScrollBar_(*this, sbHorizontal),
      VertScrollBar_(*this, sbVertical) {
  Visible_ = false;
  ParentFont_ = false;
  SetColor(clBtnFace);
  Width_ = 320;
  Height_ = 240;
  if (Screen) Screen->AddForm(this);
}

TForm::~TForm() {
  TComponent::Destroying();
  try {
    OnDestroy(this);
  } catch (...) {
    HandleWindowException(this);
  }
  // Teardown order: the handlers are done, the window goes (a procedure hooked
  // in front of ours hears WM_DESTROY and takes itself out) while the form is
  // whole; the controls and components go after.
  DestroyHandle();
  if (Screen) Screen->RemoveForm(this);
  if (Runner) Runner->FormDestroyed(this);
}

void TForm::InitializeForm() {
  HMODULE Module = FormResourceModule();
  const std::string Name = UpperCase(ClassName());
  HRSRC Resource = FindResourceA(Module, Name.c_str(), RT_RCDATA);
  if (!Resource) throw EResNotFound("Resource " + Name + " not found");
  HGLOBAL Loaded = LoadResource(Module, Resource);
  const auto* Data = static_cast<const char*>(Loaded ? LockResource(Loaded) : nullptr);
  if (!Data) throw EResNotFound("Resource " + Name + " cannot be loaded");
  std::string_view Text(Data, SizeofResource(Module, Resource));
  while (!Text.empty() && Text.back() == '\0') Text.remove_suffix(1);
  ReadForm(Text);
}

void TForm::InitializeForm(std::string_view FormText) { ReadForm(FormText); }

void TForm::ReadForm(std::string_view Text) {
  ReadComponent(Text, *this);
  // A form stored visible is shown once its creation handler has run.
  const bool ShowNow = Visible_;
  Visible_ = false;
  try {
    DoCreate();
  } catch (...) {
    HandleWindowException(this);
  }
  if (ShowNow) Show();
}

void TForm::Loaded() {
  TCustomControl::Loaded();
  // A component read with the form may have made its window (the layout
  // component hooks it): only a size that is still wrong is sent to it, since
  // nothing should reach that window before the creation handler has run.
  if (WantedClientWidth_ >= 0 || WantedClientHeight_ >= 0) {
    RECT R = ClientRect();
    const int W = WantedClientWidth_ >= 0 ? WantedClientWidth_ : R.right - R.left;
    const int H = WantedClientHeight_ >= 0 ? WantedClientHeight_ : R.bottom - R.top;
    WantedClientWidth_ = WantedClientHeight_ = -1;
    if (W != R.right - R.left || H != R.bottom - R.top) TControl::SetClientSize(W, H);
  }
  const int ScreenPPI = ScreenPixelsPerInch();
  if (Scaled_ && PixelsPerInch_ > 0 && PixelsPerInch_ != ScreenPPI) ChangeScale(ScreenPPI, PixelsPerInch_);
  PixelsPerInch_ = ScreenPPI;
}

void TForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  TCustomControl::GetChildren(Proc, Root);
  TComponent::GetChildren(Proc, Root);  // the components that live in no control
}

void TForm::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  DisableAlign();
  RECT R = ClientRect();
  for (int I = 0; I < ControlCount(); ++I) Controls(I)->ChangeScale(M, D);
  Font()->SetHeight(MulDiv(Font()->Height(), M, D));
  TControl::SetClientSize(MulDiv(R.right, M, D), MulDiv(R.bottom, M, D));
  EnableAlign();
}

void TForm::CreateParams(TCreateParams& P) {
  TCustomControl::CreateParams(P);
  P.WindowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  if (!P.WindowClass.hIcon) P.WindowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  if (Parent_) {
    P.Style |= WS_CLIPCHILDREN;
    return;
  }
  P.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (!Enabled_) P.Style |= WS_DISABLED;
  P.ExStyle = 0;
  switch (BorderStyle_) {
    case bsNone: P.Style |= WS_POPUP; break;
    case bsSingle: P.Style |= WS_CAPTION; break;
    case bsSizeable: P.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      P.Style |= WS_POPUP | WS_CAPTION;
      P.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      P.Style |= WS_CAPTION;
      P.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      P.Style |= WS_CAPTION | WS_THICKFRAME;
      P.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (BorderStyle_ != bsNone && BorderIcons_.Contains(biSystemMenu)) {
    P.Style |= WS_SYSMENU;
    if (BorderStyle_ == bsSingle || BorderStyle_ == bsSizeable) {
      if (BorderIcons_.Contains(biMinimize)) P.Style |= WS_MINIMIZEBOX;
      if (BorderIcons_.Contains(biMaximize)) P.Style |= WS_MAXIMIZEBOX;
    }
    if (BorderIcons_.Contains(biHelp) && !(P.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
      P.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (FormStyle_ == fsStayOnTop) P.ExStyle |= WS_EX_TOPMOST;
  // The system's default place and size only exist for overlapped windows.
  if (!(P.Style & WS_POPUP)) {
    if (Position_ == poDefault || Position_ == poDefaultPosOnly) {
      P.X = CW_USEDEFAULT;
      P.Y = 0;
    }
    if (Position_ == poDefault || Position_ == poDefaultSizeOnly) {
      P.Width = CW_USEDEFAULT;
      P.Height = 0;
    }
  }
}

void TForm::CreateWindowHandle(const TCreateParams& P) {
  if (FormStyle_ != fsMDIChild || Parent_) {
    TCustomControl::CreateWindowHandle(P);
    return;
  }
  TForm* Main = MainForm();
  if (!Main || Main == this || !Main->ClientHandle_)
    throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
  TCreateParams Child = P;
  Child.ExStyle |= WS_EX_MDICHILD;
  Child.Style &= ~WS_POPUP;
  Child.Style |= WS_VISIBLE;
  Child.WndParent = Main->ClientHandle_;
  TCustomControl::CreateWindowHandle(Child);
  Visible_ = true;
}

void TForm::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateBounds();
  if (FormStyle_ == fsMDIForm && !ClientHandle_) {
    CLIENTCREATESTRUCT Client{nullptr, 0xFF00};
    RECT R = ClientRect();
    ClientHandle_ = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0, R.right,
                                    R.bottom, Handle_, nullptr, GetModuleHandleA(nullptr), &Client);
    if (!ClientHandle_) throw EOSError("Cannot create the MDI client window");
  }
}

void TForm::DefaultHandler(TMessage& M) {
  if (!Handle_) return;
  if (ClientHandle_) {
    M.Result = DefFrameProcA(Handle_, ClientHandle_, M.Msg, M.WParam, M.LParam);
  } else if (FormStyle_ == fsMDIChild && (GetWindowLongPtrA(Handle_, GWL_EXSTYLE) & WS_EX_MDICHILD)) {
    M.Result = DefMDIChildProcA(Handle_, M.Msg, M.WParam, M.LParam);
  } else {
    TCustomControl::DefaultHandler(M);
  }
}

void TForm::AlignControls(TControl* Control, RECT& Rect) {
  TCustomControl::AlignControls(Control, Rect);
  if (ClientHandle_)
    SetWindowPos(ClientHandle_, HWND_BOTTOM, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top,
                 SWP_NOACTIVATE);
}

void TForm::UpdateStyle() {
  if (!Handle_ || Parent_) return;
  TCreateParams P;
  CreateParams(P);
  const LONG_PTR Keep = GetWindowLongPtrA(Handle_, GWL_STYLE) & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  SetWindowLongPtrA(Handle_, GWL_STYLE, static_cast<LONG_PTR>(P.Style) | Keep);
  SetWindowLongPtrA(Handle_, GWL_EXSTYLE, static_cast<LONG_PTR>(P.ExStyle & ~WS_EX_TOPMOST));
  SetWindowPos(Handle_, FormStyle_ == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == BorderStyle_) return;
  BorderStyle_ = Value;
  UpdateStyle();
}

void TForm::SetBorderIcons(TBorderIcons Value) {
  if (Value == BorderIcons_) return;
  BorderIcons_ = Value;
  UpdateStyle();
}

void TForm::SetFormStyle(TFormStyle Value) {
  if (Value == FormStyle_) return;
  const bool MDI = Value == fsMDIChild || Value == fsMDIForm || FormStyle_ == fsMDIChild || FormStyle_ == fsMDIForm;
  if (Handle_ && MDI) throw EInvalidOperation("Cannot change the MDI style of a form that has a window");
  FormStyle_ = Value;
  UpdateStyle();
}

void TForm::SetWindowState(TWindowState Value) {
  if (Value == WindowState_) return;
  WindowState_ = Value;
  if (Handle_ && IsWindowVisible(Handle_))
    ShowWindow(Handle_, Value == wsMaximized ? SW_MAXIMIZE : Value == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TForm::SetPixelsPerInch(int Value) {
  if (Value > 0) PixelsPerInch_ = Value;
}

void TForm::SetAutoScroll(bool Value) {
  if (Value == AutoScroll_) return;
  AutoScroll_ = Value;
  UpdateScrollBars();
}

void TForm::UpdateScrollBars() {
  if (!Handle_ || UpdatingScrollBars_ || IsReading()) return;
  UpdatingScrollBars_ = true;
  TScopeGuard Done([this] { UpdatingScrollBars_ = false; });
  HorzScrollBar_.Update();
  VertScrollBar_.Update();
}

void TForm::Resize() {
  UpdateScrollBars();
  TCustomControl::Resize();
}

// --- Showing, hiding, closing -----------------------------------------------------------

void TForm::VisibleChanged() {
  if (IsReading()) return;
  if (Visible_) ShowWindowNow();
  else HideWindowNow();
}

void TForm::PlaceForShow() {
  if (WindowState_ != wsNormal || FormStyle_ == fsMDIChild) return;
  RECT Area{0, 0, Screen ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN),
            Screen ? Screen->Height() : GetSystemMetrics(SM_CYSCREEN)};
  TForm* Around = nullptr;
  switch (Position_) {
    case poScreenCenter:
    case poDesktopCenter:
      break;
    case poOwnerFormCenter:
      Around = dynamic_cast<TForm*>(Owner());
      [[fallthrough]];
    case poMainFormCenter:
      if (!Around) Around = MainForm();
      if (Around == this || (Around && !Around->Showing())) Around = nullptr;
      if (Around) Area = Around->BoundsRect();
      break;
    default:
      return;
  }
  const int L = Area.left + (Area.right - Area.left - Width_) / 2;
  const int T = Area.top + (Area.bottom - Area.top - Height_) / 2;
  SetBounds(std::max(L, 0), std::max(T, 0), Width_, Height_);
}

void TForm::ShowWindowNow() {
  HandleNeeded();
  CreateAllHandles();
  DoShow();
  if (!Visible_) return;  // OnShow hid it again
  PlaceForShow();
  int Command = SW_SHOWNORMAL;
  if (WindowState_ == wsMaximized) Command = SW_SHOWMAXIMIZED;
  else if (WindowState_ == wsMinimized) Command = SW_SHOWMINIMIZED;
  ShowWindow(Handle_, Command);
  UpdateScrollBars();
}

void TForm::HideWindowNow() {
  if (!Handle_) return;
  ShowWindow(Handle_, SW_HIDE);
  DoHide();
}

void TForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TForm::BringToFront() {
  if (Parent_) {
    TControl::BringToFront();
    return;
  }
  if (Handle_ && IsWindowVisible(Handle_)) BringWindowToTop(Handle_);
}

int TForm::ShowModal() {
  if (Visible_ || !Enabled_ || Modal_ || FormStyle_ == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (!Runner) throw EInvalidOperation("There is no application to run a modal form");
  if (HWND Capture = GetCapture()) SendMessageA(Capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HandleNeeded();
  HWND Previous = GetActiveWindow();
  TDisabledWindows Disabled{Handle_, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&Disabled));
  Modal_ = true;
  ModalResult_ = mrNone;
  TScopeGuard Finish([&] {
    Modal_ = false;
    // Back on first, so that hiding hands the activation to the window below.
    EnableWindows(Disabled);
    if (Visible_) Hide();
    if (Previous && IsWindow(Previous) && IsWindowVisible(Previous)) SetActiveWindow(Previous);
  });
  Show();
  do {
    Runner->HandleMessage();
    if (Runner->Terminated()) ModalResult_ = mrCancel;
    else if (ModalResult_ != mrNone) CloseModal();
  } while (ModalResult_ == mrNone);
  return ModalResult_;
}

void TForm::CloseModal() {
  TCloseAction Action = caNone;
  if (CloseQuery()) {
    Action = caHide;
    DoClose(Action);
  }
  if (Action == caNone) ModalResult_ = mrNone;
  else if (Action == caFree) Release();
}

bool TForm::CloseQuery() {
  bool CanClose = true;
  OnCloseQuery(this, CanClose);
  return CanClose;
}

void TForm::Close() {
  if (Modal_) {
    ModalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction Action = FormStyle_ == fsMDIChild ? (BorderIcons_.Contains(biMinimize) ? caMinimize : caNone) : caHide;
  DoClose(Action);
  if (Action == caNone) return;
  if (Runner && Runner->MainForm() == this) {
    Runner->Terminate();
    return;
  }
  switch (Action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TForm::Release() {
  if (Handle_) PostMessageA(Handle_, CM_RELEASE, 0, 0);
  else delete this;
}

// --- Focus and keyboard -----------------------------------------------------------------

void TForm::SetActiveControl(TWinControl* Control) {
  if (Control && !IsReading() && Showing() && (!Control->CanFocus() || GetParentForm(Control) != this))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ActiveControl_ = Control;
  if (Control && !IsReading() && Showing()) ::SetFocus(Control->Handle());
}

void TForm::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

void TForm::FocusChanged(TWinControl* Control) {
  if (Control != this) ActiveControl_ = Control;
}

void TForm::ControlRemoved(TControl* Control) {
  if (!ActiveControl_) return;
  auto* W = dynamic_cast<TWinControl*>(Control);
  if (static_cast<TControl*>(ActiveControl_) == Control || (W && W->ContainsControl(ActiveControl_)))
    ActiveControl_ = nullptr;
}

void TForm::RestoreFocus() {
  if (ActiveControl_ && ActiveControl_->CanFocus()) {
    ::SetFocus(ActiveControl_->Handle());
  } else if (TWinControl* First = FindNextControl(nullptr, true, true, false)) {
    ::SetFocus(First->Handle());
  }
}

bool TForm::DialogKey(const MSG& Msg) {
  if (Msg.message != WM_KEYDOWN || !Handle_) return false;
  const WORD Key = static_cast<WORD>(Msg.wParam);
  if (Key != VK_TAB && Key != VK_LEFT && Key != VK_RIGHT && Key != VK_UP && Key != VK_DOWN && Key != VK_RETURN &&
      Key != VK_ESCAPE)
    return false;
  const TShiftState Shift = KeyboardShiftState();
  if (Shift.Contains(ssAlt)) return false;
  // Asked without the message: an edit given the message thinks it is in a dialog
  // and acts on Tab, Return and Escape itself (Escape even closes its parent).
  const LRESULT Code = SendMessageA(Msg.hwnd, WM_GETDLGCODE, Key, 0);
  TWinControl* Current = FindControl(Msg.hwnd);
  if (Current == this) Current = nullptr;
  if (Current && Current->HandlesDialogKey(Key)) return false;

  switch (Key) {
    case VK_TAB:
      if ((Code & DLGC_WANTTAB) || Shift.Contains(ssCtrl)) return false;
      SelectNext(Current ? Current : ActiveControl_, !Shift.Contains(ssShift), true);
      return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: {
      if ((Code & DLGC_WANTARROWS) || !(Code & (DLGC_BUTTON | DLGC_RADIOBUTTON)) || !Current || !Current->Parent())
        return false;
      TWinControl* Next = Current->Parent()->FindNextControl(Current, Key == VK_RIGHT || Key == VK_DOWN, false, true);
      if (!Next) return true;
      Next->SetFocus();
      // Moving onto a radio button chooses it, as the dialog manager does.
      if (SendMessageA(Next->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)
        SendMessageA(Next->Handle(), BM_CLICK, 0, 0);
      return true;
    }
    case VK_RETURN:
      if (Code & DLGC_WANTALLKEYS) return false;
      if ((Code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) && Current) {
        Current->Click();
        return true;
      }
      [[fallthrough]];
    default: {
      std::vector<TWinControl*> List;
      GetTabOrderList(List);
      for (TWinControl* C : List)
        if (C->WantsDialogKey(Key) && C->CanFocus()) {
          C->Click();
          return true;
        }
      return false;
    }
  }
}

void TForm::HelpRequest(const HELPINFO* Info) {
  int Context = 0;
  if (Info && Info->iContextType == HELPINFO_WINDOW)
    for (TControl* C = FindControl(static_cast<HWND>(Info->hItemHandle)); C && !Context; C = C->Parent())
      Context = C->HelpContext();
  if (!Context) Context = HelpContext();
  if (Context && Runner) Runner->HelpContext(Context);
}

void TForm::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_CLOSE:
      Close();
      M.Result = 0;
      return;
    case WM_ACTIVATE:
      DefaultHandler(M);
      if (LOWORD(M.WParam) != WA_INACTIVE) {
        Active_ = true;
        if (Screen) Screen->FormActivated(this);
        if (!HIWORD(M.WParam)) RestoreFocus();
        Activate();
      } else {
        Active_ = false;
        Deactivate();
      }
      return;
    case WM_SETFOCUS:
      TCustomControl::WndProc(M);
      if (Active_ && GetFocus() == Handle_) RestoreFocus();
      return;
    case WM_SIZE:
      if (IsWindowVisible(Handle_)) {
        if (M.WParam == SIZE_MAXIMIZED) WindowState_ = wsMaximized;
        else if (M.WParam == SIZE_MINIMIZED) WindowState_ = wsMinimized;
        else if (M.WParam == SIZE_RESTORED) WindowState_ = wsNormal;
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (M.LParam == 0) {
        (M.Msg == WM_HSCROLL ? HorzScrollBar_ : VertScrollBar_).ScrollMessage(M.WParam);
        M.Result = 0;
        return;
      }
      break;
    case WM_NEXTDLGCTL:
      // What a control asks of a dialog; forms answer it too.
      if (LOWORD(M.LParam)) {
        if (TWinControl* C = FromHandle(reinterpret_cast<HWND>(M.WParam))) C->SetFocus();
      } else {
        SelectNext(FindControl(GetFocus()), M.WParam == 0, true);
      }
      M.Result = 0;
      return;
    case WM_HELP:
      HelpRequest(reinterpret_cast<const HELPINFO*>(M.LParam));
      M.Result = TRUE;
      return;
    case WM_QUERYENDSESSION:
      M.Result = CloseQuery();
      return;
    case WM_FONTCHANGE:
      if (Screen) Screen->ResetFonts();
      break;
    case WM_DESTROY:
      TCustomControl::WndProc(M);
      ClientHandle_ = nullptr;
      Active_ = false;
      if (Screen) Screen->FormWindowDestroyed(this);
      return;
    case CM_RELEASE:
      delete this;
      return;
    default:
      break;
  }
  TCustomControl::WndProc(M);
}

// --- TScreen ---------------------------------------------------------------------------

BEGIN_CLASS_INFO(TScreen, TComponent, nullptr)
END_CLASS_INFO

TScreen::TScreen(TComponent* Owner) : TComponent(Owner) { Fonts_.SetSorted(true); }

TScreen::~TScreen() = default;

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }

int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

int TScreen::PixelsPerInch() const { return ScreenPixelsPerInch(); }

RECT TScreen::WorkAreaRect() const {
  RECT R{0, 0, Width(), Height()};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &R, 0);
  return R;
}

void TScreen::SetCursor(TCursor Value) {
  if (Value == GlobalCursor()) return;
  SetGlobalCursor(Value);
  if (Value != crDefault) {
    ::SetCursor(CursorHandle(Value));
    return;
  }
  // Back to whatever the window under the mouse shows.
  POINT P;
  GetCursorPos(&P);
  HWND Wnd = WindowFromPoint(P);
  if (Wnd && GetWindowThreadProcessId(Wnd, nullptr) == GetCurrentThreadId()) {
    LRESULT Hit = SendMessageA(Wnd, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y));
    SendMessageA(Wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(Wnd), MAKELPARAM(Hit, WM_MOUSEMOVE));
  } else {
    ::SetCursor(CursorHandle(crArrow));
  }
}

namespace {
int CALLBACK CollectFont(const LOGFONTA* Font, const TEXTMETRICA*, DWORD, LPARAM Data) {
  // Vertical variants ("@Name") are not fonts one picks by name.
  if (Font->lfFaceName[0] != '@') reinterpret_cast<std::vector<std::string>*>(Data)->push_back(Font->lfFaceName);
  return 1;
}

std::vector<std::string> EnumerateScreenFonts() {
  std::vector<std::string> Names;
  TWindowDC DC(nullptr);
  LOGFONTA LF{};
  LF.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(DC.Get(), &LF, CollectFont, reinterpret_cast<LPARAM>(&Names), 0);
  return Names;
}
}  // namespace

const TStrings& TScreen::Fonts() {
  if (!FontsRead_) {
    Fonts_.Clear();
    for (const std::string& Name : FontLister_ ? FontLister_() : EnumerateScreenFonts()) Fonts_.Add(Name);
    FontsRead_ = true;
  }
  return Fonts_;
}

void TScreen::ResetFonts() { FontsRead_ = false; }

TScreen::TFontLister TScreen::SetFontLister(TFontLister Lister) {
  FontsRead_ = false;
  return std::exchange(FontLister_, std::move(Lister));
}

TForm* TScreen::Forms(int Index) const {
  if (Index < 0 || Index >= FormCount()) throw EListError(Format(Msg::ListIndexError, Index));
  return Forms_[static_cast<size_t>(Index)];
}

TWinControl* TScreen::ActiveControl() const { return ActiveForm_ ? ActiveForm_->ActiveControl() : nullptr; }

void TScreen::AddForm(TForm* Form) { Forms_.push_back(Form); }

void TScreen::FormActivated(TForm* Form) { ActiveForm_ = Form; }

void TScreen::FormWindowDestroyed(TForm* Form) {
  if (ActiveForm_ == Form) ActiveForm_ = nullptr;
}

void TScreen::RemoveForm(TForm* Form) {
  Forms_.erase(std::remove(Forms_.begin(), Forms_.end(), Form), Forms_.end());
  if (ActiveForm_ == Form) ActiveForm_ = nullptr;
}
