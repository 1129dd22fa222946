#include "gui/msgwindow.h"

#include "classes/sysutils.h"
#include "gui/exceptionsink.h"

namespace {

constexpr const char* OwnClassName = "InstbriskoMessageWindow";

}  // namespace

TMessageWindow::TMessageWindow(THandler Handler, TObject* Sender) : Handler_(std::move(Handler)), Sender_(Sender) {
  Create(OwnClassName, "", HWND_MESSAGE);
}

TMessageWindow::TMessageWindow(THandler Handler, const THiddenTopLevel& Kind, TObject* Sender)
    : Handler_(std::move(Handler)), Sender_(Sender) {
  Create(Kind.ClassName.empty() ? OwnClassName : Kind.ClassName, Kind.WindowName, nullptr);
}

TMessageWindow::~TMessageWindow() {
  if (Handle_) DestroyWindow(Handle_);
}

void TMessageWindow::Create(const std::string& ClassName, const std::string& WindowName, HWND Parent) {
  const HINSTANCE Instance = GetModuleHandleA(nullptr);
  WNDCLASSA Class{};
  if (GetClassInfoA(Instance, ClassName.c_str(), &Class)) {
    // A class of that name that is not ours would make a window that never
    // reaches the handler.
    if (Class.lpfnWndProc != &TMessageWindow::WndProc)
      throw EOSError("The window class " + ClassName + " belongs to another procedure");
  } else {
    Class = WNDCLASSA{};
    Class.lpfnWndProc = &TMessageWindow::WndProc;
    Class.hInstance = Instance;
    Class.lpszClassName = ClassName.c_str();
    if (!RegisterClassA(&Class)) throw EOSError("Cannot register the window class " + ClassName);
  }
  // WS_POPUP without WS_VISIBLE: no frame, no task-bar button, never shown.
  CreateWindowExA(0, ClassName.c_str(), WindowName.c_str(), Parent == HWND_MESSAGE ? 0 : WS_POPUP, 0, 0, 0, 0,
                  Parent, nullptr, Instance, this);
  if (!Handle_) throw EOSError("Cannot create the hidden window " + ClassName);
}

LRESULT CALLBACK TMessageWindow::WndProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_NCCREATE) {
    auto* Self = static_cast<TMessageWindow*>(reinterpret_cast<CREATESTRUCTA*>(L)->lpCreateParams);
    Self->Handle_ = Wnd;
    SetWindowLongPtrA(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Self));
  }
  auto* Self = reinterpret_cast<TMessageWindow*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
  if (!Self) return DefWindowProcA(Wnd, Msg, W, L);
  if (Msg == WM_NCDESTROY) {
    SetWindowLongPtrA(Wnd, GWLP_USERDATA, 0);
    Self->Handle_ = nullptr;
    return DefWindowProcA(Wnd, Msg, W, L);
  }
  LRESULT Result = 0;
  try {
    if (Self->Handler_ && Self->Handler_(Msg, W, L, Result)) return Result;
  } catch (...) {
    HandleWindowException(Self->Sender_);
    return 0;
  }
  return DefWindowProcA(Wnd, Msg, W, L);
}
