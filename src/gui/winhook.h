// gui/ layer 1 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Putting a handler in front of any window's procedure and chaining to the one
// it replaced. The handler sees every message first; what it does not handle
// goes on to the previous procedure through CallWindowProcA. Nothing here
// assumes that the procedure in front, or the one behind, is ours.
#pragma once

#include <windows.h>

#include <functional>

#include "gui/exceptionsink.h"

// One handler in front of one window's procedure.
//
//   TWindowHook Hook;
//   Hook.Install(Form->Handle(), [&](HWND, UINT Msg, WPARAM, LPARAM, bool& Handled) -> LRESULT {
//     if (Msg == WM_ERASEBKGND) { Paint(); Handled = true; return 1; }
//     return 0;  // not handled: the previous procedure gets the message
//   });
//
// The handler may call CallPrevious itself (to act after the previous procedure)
// and then set Handled. An exception it throws goes to the exception sink, and
// the message then goes on to the previous procedure. At WM_DESTROY, after the handler has seen it, the hook
// takes itself out and the message goes on. When a later procedure has been put
// in front of ours, taking ours out would cut that one off too, so Restore then
// only stops calling the handler and keeps passing every message on.
class TWindowHook {
public:
  using THandler = std::function<LRESULT(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, bool& Handled)>;

  TWindowHook() = default;
  ~TWindowHook();
  TWindowHook(const TWindowHook&) = delete;
  TWindowHook& operator=(const TWindowHook&) = delete;

  // Raises EOSError for a window that does not exist or when already installed.
  void Install(HWND Wnd, THandler Handler);
  // Puts the previous procedure back (see above); does nothing when not installed.
  void Restore();
  bool Installed() const;
  HWND Window() const;
  WNDPROC Previous() const;
  // Passes a message to the previous procedure, as the hook does for unhandled ones.
  LRESULT CallPrevious(UINT Msg, WPARAM W, LPARAM L) const;

private:
  struct TState;
  TState* State_ = nullptr;
};
