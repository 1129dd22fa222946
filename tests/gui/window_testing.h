// What the window-layer tests share: reading windows back through Win32,
// running the message loop for a while, and answering message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/application.h"
#include "gui/dialogs.h"
#include "support/dialog_answers.h"
#include "support/message_pump.h"
#include "support/window_text.h"

namespace wintest {

using testsupport::WindowText;

// Left, top, width, height of a window in its parent's client area (or on the screen).
struct TBounds {
  long Left, Top, Width, Height;
  bool operator==(const TBounds&) const = default;
};

inline TBounds BoundsOf(HWND Wnd) {
  RECT R;
  GetWindowRect(Wnd, &R);
  if (GetWindowLongPtrA(Wnd, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(HWND_DESKTOP, GetParent(Wnd), reinterpret_cast<POINT*>(&R), 2);
  return TBounds{R.left, R.top, R.right - R.left, R.bottom - R.top};
}

inline TBounds ClientOf(HWND Wnd) {
  RECT R;
  GetClientRect(Wnd, &R);
  return TBounds{R.left, R.top, R.right - R.left, R.bottom - R.top};
}

inline LOGFONTA FontOf(HWND Wnd) {
  LOGFONTA LF{};
  auto Font = reinterpret_cast<HFONT>(SendMessageA(Wnd, WM_GETFONT, 0, 0));
  if (Font) GetObjectA(Font, sizeof(LF), &LF);
  return LF;
}

using testsupport::PumpPending;
using testsupport::PumpUntil;

// A key press as the keyboard would queue it for the focused window.
inline void PressKey(WORD Key) {
  HWND Focus = GetFocus();
  PostMessageA(Focus, WM_KEYDOWN, Key, 1);
  PostMessageA(Focus, WM_KEYUP, Key, 0xC0000001);
  Application->ProcessMessages();
}

// Answers every message box with OK and keeps what was asked.
using TDialogCapture = testsupport::TDialogAnswers;

}  // namespace wintest
