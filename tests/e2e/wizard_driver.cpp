#include "wizard_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace e2e {

namespace {

constexpr const char* MessageBoxClass = "#32770";

// Another process's window answers within this time, or the wizard is stuck. It is
// waited for even while it is busy: with every core taken, a page may need seconds.
constexpr UINT AnswerTimeout = 30000;

std::vector<HWND> Children(HWND Parent) {
  std::vector<HWND> Result;
  EnumChildWindows(
      Parent,
      [](HWND Wnd, LPARAM L) {
        reinterpret_cast<std::vector<HWND>*>(L)->push_back(Wnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Result));
  return Result;
}

// The child's own visible flag, not IsWindowVisible: a page that is being hidden
// must not look, for a moment, like a page without the child.
bool HasChildWithText(HWND Parent, const std::string& Text) {
  for (HWND C : Children(Parent))
    if ((GetWindowLongA(C, GWL_STYLE) & WS_VISIBLE) && WindowText(C) == Text) return true;
  return false;
}

TPage PageName(HWND Wnd) {
  const std::string Caption = WindowText(Wnd);
  if (Caption == "Welcome to the brisko installation program") return "welcome";
  if (Caption == "Exit setup") return "exit confirmation";
  if (Caption == "Finish") return "finish";
  if (Caption == "Installing") return HasChildWithText(Wnd, "Install") ? "shortcuts" : "language";
  return Caption;
}

}  // namespace

std::string WindowText(HWND Wnd) {
  char Buffer[2048] = "";
  DWORD_PTR Length = 0;
  if (!SendMessageTimeoutA(Wnd, WM_GETTEXT, sizeof(Buffer), reinterpret_cast<LPARAM>(Buffer), SMTO_NORMAL,
                           AnswerTimeout, &Length))
    return std::string();
  return std::string(Buffer, std::min<size_t>(Length, sizeof(Buffer) - 1));
}

std::string ClassName(HWND Wnd) {
  char Buffer[256] = "";
  GetClassNameA(Wnd, Buffer, sizeof(Buffer));
  return Buffer;
}

bool IsChecked(HWND Button) {
  DWORD_PTR State = 0;
  SendMessageTimeoutA(Button, BM_GETCHECK, 0, 0, SMTO_NORMAL, AnswerTimeout, &State);
  return State == BST_CHECKED;
}

TWizard::TWizard(const std::string& Exe) {
  STARTUPINFOA Startup{};
  Startup.cb = sizeof(Startup);
  PROCESS_INFORMATION Info{};
  std::string CommandLine = "\"" + Exe + "\"";
  const std::string Folder = Exe.substr(0, Exe.find_last_of('\\') + 1);
  if (!CreateProcessA(nullptr, CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.c_str(), &Startup,
                      &Info)) {
    ADD_FAILURE() << "cannot start " << Exe << " (error " << GetLastError() << ")";
    return;
  }
  CloseHandle(Info.hThread);
  Process_.Attach(Info.hProcess);
  ProcessId_ = Info.dwProcessId;
}

TWizard::~TWizard() {
  if (Running()) {
    TerminateProcess(Process_.Get(), 99);
    WaitForSingleObject(Process_.Get(), 10000);
  }
}

bool TWizard::Running() const { return Process_ && WaitForSingleObject(Process_.Get(), 0) == WAIT_TIMEOUT; }

std::vector<HWND> TWizard::TopLevelWindows(bool VisibleOnly) const {
  struct TSearch {
    DWORD Pid;
    bool VisibleOnly;
    std::vector<HWND> Found;
  } Search{ProcessId_, VisibleOnly, {}};
  EnumWindows(
      [](HWND Wnd, LPARAM L) {
        auto* S = reinterpret_cast<TSearch*>(L);
        DWORD Pid = 0;
        GetWindowThreadProcessId(Wnd, &Pid);
        if (Pid == S->Pid && (!S->VisibleOnly || IsWindowVisible(Wnd))) S->Found.push_back(Wnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Search));
  return Search.Found;
}

std::vector<TPage> TWizard::VisiblePages() const {
  std::vector<TPage> Pages;
  for (HWND W : TopLevelWindows(true))
    if (ClassName(W) != MessageBoxClass) Pages.push_back(PageName(W));
  std::sort(Pages.begin(), Pages.end());
  return Pages;
}

bool TWizard::WaitForPages(std::vector<TPage> Pages, DWORD Timeout) const {
  std::sort(Pages.begin(), Pages.end());
  if (WaitFor([&] { return VisiblePages() == Pages; }, Timeout)) return true;
  // What was there instead, so that a failure says what the program showed.
  std::string Shown;
  for (HWND W : TopLevelWindows(true)) {
    std::string Texts;
    if (ClassName(W) == MessageBoxClass)
      for (HWND C : Children(W)) Texts += " \"" + WindowText(C) + "\"";
    Shown += " [" + ClassName(W) + " \"" + WindowText(W) + "\" as " + PageName(W) + Texts + "]";
  }
  ADD_FAILURE() << "after " << Timeout << " ms the visible windows were" << (Shown.empty() ? " none" : Shown);
  return false;
}

HWND TWizard::Page(const TPage& Name) const {
  for (HWND W : TopLevelWindows(true))
    if (ClassName(W) != MessageBoxClass && PageName(W) == Name) return W;
  return nullptr;
}

HWND TWizard::Control(const TPage& PageName, const std::string& Text) const {
  HWND P = Page(PageName);
  if (!P) return nullptr;
  for (HWND C : Children(P))
    if (WindowText(C) == Text) return C;
  return nullptr;
}

HWND TWizard::ControlOfClass(const TPage& PageName, const std::string& Class, int Index) const {
  HWND P = Page(PageName);
  if (!P) return nullptr;
  for (HWND C : Children(P))
    if (_stricmp(ClassName(C).c_str(), Class.c_str()) == 0 && Index-- == 0) return C;
  return nullptr;
}

void TWizard::Click(const TPage& PageName, const std::string& Button) const {
  // As a person does, the button is waited for until the page shows it.
  HWND B = nullptr;
  const DWORD Start = GetTickCount();
  if (!WaitFor([&] { return (B = Control(PageName, Button)) != nullptr; })) {
    std::string Shown;
    if (HWND P = Page(PageName))
      for (HWND C : Children(P))
        Shown += " [" + ClassName(C) + " \"" + WindowText(C) + "\"" + (IsWindowVisible(C) ? "" : " hidden") + "]";
    FAIL() << "no button \"" << Button << "\" on the " << PageName << " page; it holds" << Shown;
  }
  if (GetTickCount() - Start > 1000)
    std::printf("note: \"%s\" showed on the %s page only after %lu ms\n", Button.c_str(), PageName.c_str(),
                GetTickCount() - Start);
  PostMessageA(B, BM_CLICK, 0, 0);
}

void TWizard::Type(HWND Edit, const std::string& Text) const {
  ASSERT_NE(Edit, nullptr);
  // What is there is selected and typed over, one character at a time, as a
  // keyboard does; the control and its parent hear of every change.
  auto Send = [&](UINT Msg, WPARAM W, LPARAM L) {
    DWORD_PTR Result = 0;
    if (!SendMessageTimeoutA(Edit, Msg, W, L, SMTO_NORMAL, AnswerTimeout, &Result))
      ADD_FAILURE() << "the box did not take message " << Msg << " within " << AnswerTimeout << " ms";
  };
  Send(EM_SETSEL, 0, -1);
  if (Text.empty()) Send(WM_CHAR, VK_BACK, 1);
  for (char C : Text) Send(WM_CHAR, static_cast<unsigned char>(C), 1);
}

void TWizard::Press(HWND Control, UINT Key) const {
  ASSERT_NE(Control, nullptr);
  const UINT Scan = MapVirtualKeyA(Key, MAPVK_VK_TO_VSC);
  PostMessageA(Control, WM_KEYDOWN, Key, 1 | (Scan << 16));
  PostMessageA(Control, WM_KEYUP, Key, 1 | (Scan << 16) | 0xC0000000u);
}

bool TWizard::Choose(HWND Combo, const std::string& Item) const {
  auto Ask = [&](UINT Msg, WPARAM W = 0, LPARAM L = 0) {
    DWORD_PTR Result = 0;
    SendMessageTimeoutA(Combo, Msg, W, L, SMTO_NORMAL, AnswerTimeout, &Result);
    return static_cast<int>(Result);
  };
  const int Wanted = Ask(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Item.c_str()));
  if (Wanted < 0) return false;
  // The keys go where a person's would: to the box's edit, which hands the arrows to the list.
  HWND Keys = FindWindowExA(Combo, nullptr, "Edit", nullptr);
  if (!Keys) Keys = Combo;
  for (int Now = Ask(CB_GETCURSEL); Now != Wanted; Now = Ask(CB_GETCURSEL)) {
    Press(Keys, Now < Wanted ? VK_DOWN : VK_UP);
    if (!WaitFor([&] { return Ask(CB_GETCURSEL) != Now; })) return false;
  }
  return WaitFor([&] { return WindowText(Combo) == Item; });
}

std::optional<TMessageBox> TWizard::WaitForMessageBox(DWORD Timeout) const {
  std::optional<TMessageBox> Box;
  WaitFor(
      [&] {
        for (HWND W : TopLevelWindows(true)) {
          if (ClassName(W) != MessageBoxClass) continue;
          TMessageBox B;
          B.Wnd = W;
          B.Caption = WindowText(W);
          for (HWND C : Children(W))
            if (_stricmp(ClassName(C).c_str(), "Static") == 0) B.Text += WindowText(C);
          Box = B;
          return true;
        }
        return false;
      },
      Timeout);
  return Box;
}

void TWizard::Answer(const TMessageBox& Box, const std::string& Button) const {
  for (HWND C : Children(Box.Wnd)) {
    if (WindowText(C) == Button) {
      PostMessageA(C, BM_CLICK, 0, 0);
      return;
    }
  }
  ADD_FAILURE() << "no button \"" << Button << "\" in the message box \"" << Box.Text << "\"";
}

std::optional<DWORD> TWizard::WaitForExit(DWORD Timeout) {
  if (!Process_ || WaitForSingleObject(Process_.Get(), Timeout) != WAIT_OBJECT_0) return std::nullopt;
  DWORD Code = 0;
  GetExitCodeProcess(Process_.Get(), &Code);
  return Code;
}

void Screenshot(const std::string& Name) {
  const char* Folder = std::getenv("INSTBRISKO_SHOTS");
  if (!Folder || !*Folder) return;
  // Windows just shown paint when their thread next waits for messages; paint
  // every visible window now, so that the picture holds what they show.
  EnumWindows(
      [](HWND Wnd, LPARAM) {
        if (IsWindowVisible(Wnd))
          RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return TRUE;
      },
      0);
  // scripts/with-wine.sh maps a Unix folder named there to a drive of its own.
  std::string Path = Folder;
  if (Path.back() != '\\') Path += '\\';
  CreateDirectoryA(Path.c_str(), nullptr);
  Path += Name + ".bmp";

  const int Width = GetSystemMetrics(SM_CXSCREEN), Height = GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFOHEADER Header{};
  Header.biSize = sizeof(Header);
  Header.biWidth = Width;
  Header.biHeight = Height;
  Header.biPlanes = 1;
  Header.biBitCount = 24;
  const DWORD Stride = (static_cast<DWORD>(Width) * 3 + 3) & ~3u;
  Header.biSizeImage = Stride * static_cast<DWORD>(Height);
  void* Bits = nullptr;
  HDC ScreenDC = GetDC(nullptr);
  HDC Memory = CreateCompatibleDC(ScreenDC);
  HBITMAP Bitmap =
      CreateDIBSection(ScreenDC, reinterpret_cast<BITMAPINFO*>(&Header), DIB_RGB_COLORS, &Bits, nullptr, 0);
  HGDIOBJ Old = SelectObject(Memory, Bitmap);
  BitBlt(Memory, 0, 0, Width, Height, ScreenDC, 0, 0, SRCCOPY);
  GdiFlush();
  BITMAPFILEHEADER File{};
  File.bfType = 0x4D42;
  File.bfOffBits = sizeof(File) + sizeof(Header);
  File.bfSize = File.bfOffBits + Header.biSizeImage;
  std::ofstream Out(Path, std::ios::binary);
  Out.write(reinterpret_cast<const char*>(&File), sizeof(File));
  Out.write(reinterpret_cast<const char*>(&Header), sizeof(Header));
  Out.write(static_cast<const char*>(Bits), Header.biSizeImage);
  SelectObject(Memory, Old);
  DeleteObject(Bitmap);
  DeleteDC(Memory);
  ReleaseDC(nullptr, ScreenDC);
}

}  // namespace e2e
