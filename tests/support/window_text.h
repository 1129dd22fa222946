// The text a window of the test's own process shows, read through Win32 as a
// screen reader or another program would read it.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

inline std::string WindowText(HWND Wnd) {
  const int Length = GetWindowTextLengthA(Wnd);
  std::string Text(static_cast<size_t>(Length > 0 ? Length : 0) + 1, '\0');
  Text.resize(static_cast<size_t>(GetWindowTextA(Wnd, Text.data(), static_cast<int>(Text.size()))));
  return Text;
}

}  // namespace testsupport
