// Drives the built instbrisko.exe as a person would: starts it, finds its
// windows by caption, presses buttons, types into edits, answers its message
// boxes, and waits for its end. Everything goes through the windows of the other
// process; nothing of the wizard's own code is linked in.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "gui/handles.h"

namespace e2e {

// The wizard's pages by what a person sees: "welcome", "language", "shortcuts",
// "finish" and "exit confirmation"; any other window by its caption.
using TPage = std::string;

struct TMessageBox {
  HWND Wnd = nullptr;
  std::string Caption;
  std::string Text;  // the message, line breaks as the box holds them
};

class TWizard {
public:
  // Starts Exe (its folder as current directory); fails the test when it cannot.
  explicit TWizard(const std::string& Exe);
  // A wizard still running at the end of a test is killed.
  ~TWizard();
  TWizard(const TWizard&) = delete;
  TWizard& operator=(const TWizard&) = delete;

  DWORD ProcessId() const { return ProcessId_; }

  // The pages now visible, sorted; message boxes are not pages.
  std::vector<TPage> VisiblePages() const;
  // Waits until exactly these pages are visible; false after the time-out.
  bool WaitForPages(std::vector<TPage> Pages, DWORD Timeout = 20000) const;
  // The visible page's window, or null.
  HWND Page(const TPage& Name) const;

  // A control of a page by its text (a button's caption) or, for edits and combo
  // boxes, by its window class ("Edit", "ComboBox") and position among those.
  HWND Control(const TPage& Page, const std::string& Text) const;
  HWND ControlOfClass(const TPage& Page, const std::string& Class, int Index = 0) const;

  // Presses a button of a page as a click does; does not wait for what follows.
  void Click(const TPage& Page, const std::string& Button) const;
  // Types Text over the whole text of an edit (or a combo box's edit).
  void Type(HWND Edit, const std::string& Text) const;
  // Presses and releases a key (VK_DOWN, VK_BACK, ...) in a control.
  void Press(HWND Control, UINT Key) const;
  // Picks Item from a combo box's list with the arrow keys, one step at a time,
  // each step waited for; false when the list has no such item.
  bool Choose(HWND Combo, const std::string& Item) const;

  // Waits for a message box of the wizard.
  std::optional<TMessageBox> WaitForMessageBox(DWORD Timeout = 20000) const;
  // Presses the button of the box with that caption ("OK", "&Yes", "&No").
  void Answer(const TMessageBox& Box, const std::string& Button) const;

  // Waits for the process to end; its exit code, or nothing after the time-out.
  std::optional<DWORD> WaitForExit(DWORD Timeout = 30000);
  bool Running() const;

private:
  std::vector<HWND> TopLevelWindows(bool VisibleOnly) const;

  TKernelHandle Process_;
  DWORD ProcessId_ = 0;
};

// Reads a window's text, also across processes.
std::string WindowText(HWND Wnd);
std::string ClassName(HWND Wnd);
bool IsChecked(HWND Button);

// Waits until Done holds, for at most Timeout milliseconds.
template <class F>
bool WaitFor(F Done, DWORD Timeout = 20000) {
  const DWORD Start = GetTickCount();
  while (!Done()) {
    if (GetTickCount() - Start > Timeout) return false;
    Sleep(20);
  }
  return true;
}

// When INSTBRISKO_SHOTS names a folder (a Windows path, or a Unix path, which
// scripts/with-wine.sh turns into a drive of its own), saves the whole screen
// there as Name.bmp; otherwise does nothing. For looking at the pages, not for
// checking them.
void Screenshot(const std::string& Name);

}  // namespace e2e
