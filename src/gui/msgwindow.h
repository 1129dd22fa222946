// gui/ layer 1 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// A window with no screen presence, for whatever needs one only to receive
// messages: the thread's synchronous calls, the timer, a component's
// notifications from the shell or from its own worker threads.
//
//   TMessageWindow Window([this](UINT Msg, WPARAM W, LPARAM, LRESULT&) {
//     if (Msg != WM_TIMER) return false;  // not ours: DefWindowProc has it
//     Fire();
//     return true;
//   });
//   SetTimer(Window.Handle(), 1, 100, nullptr);
//
// By default it is a message-only window (HWND_MESSAGE): it gets what is posted
// or sent to it, and no broadcast. On request (THiddenTopLevel) it is a hidden
// top-level window instead: for one that must hear the system's broadcasts
// (WM_DEVICECHANGE, WM_SETTINGCHANGE, WM_FONTCHANGE), or one that needs a window
// class and name of its own (a shell menu's helper window).
//
// The window belongs to the thread that makes it; its messages are handled
// there, and it must be destroyed there too. A window that cannot be made raises
// EOSError; an exception from the handler goes to the exception sink.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class TObject;

class TMessageWindow {
public:
  // True when the handler took the message, with Result the answer; false sends
  // it on to DefWindowProcA.
  using THandler = std::function<bool(UINT Msg, WPARAM W, LPARAM L, LRESULT& Result)>;

  // A hidden top-level window. An empty ClassName means the library's own class
  // for these windows; another one is registered for the program with the
  // library's procedure, and must not be a class someone else registered.
  struct THiddenTopLevel {
    std::string ClassName;
    std::string WindowName;
  };

  // A message-only window. Sender is what the exception sink is told an
  // exception came from.
  explicit TMessageWindow(THandler Handler, TObject* Sender = nullptr);
  TMessageWindow(THandler Handler, const THiddenTopLevel& Kind, TObject* Sender = nullptr);
  ~TMessageWindow();
  TMessageWindow(const TMessageWindow&) = delete;
  TMessageWindow& operator=(const TMessageWindow&) = delete;

  HWND Handle() const { return Handle_; }

private:
  static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L);
  void Create(const std::string& ClassName, const std::string& WindowName, HWND Parent);

  THandler Handler_;
  TObject* Sender_;  // not owned
  HWND Handle_ = nullptr;
};
