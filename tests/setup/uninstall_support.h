// Scratch folders on the C: drive, Unix links made through Wine, what a person sees
// of the uninstallation run (its message boxes, the cursor while it walks), and the
// registry entries a test installs.
#pragma once

#include "setup/Uinstbrisko_uninstall.h"

#include "classes/sysutils.h"
#include "gui/application.h"
#include "gui/dialogs.h"
#include "gui/registry.h"
#include "support/dialog_answers.h"
#include "support/files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace uninstall_test {

// Wine's own helper for the Unix side. These tests make Unix links, which only
// Wine can show to a Windows program, so they run under Wine only.
using TUnixName = char*(CDECL*)(const WCHAR*);

inline TUnixName UnixNameFunction() {
  return reinterpret_cast<TUnixName>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
}

inline std::wstring Wide(const std::string& S) {
  int N = MultiByteToWideChar(CP_ACP, 0, S.c_str(), -1, nullptr, 0);
  std::wstring W(static_cast<size_t>(N), L'\0');
  MultiByteToWideChar(CP_ACP, 0, S.c_str(), -1, W.data(), N);
  W.resize(static_cast<size_t>(N > 0 ? N - 1 : 0));
  return W;
}

inline std::string UnixName(const std::string& Path) {
  char* Name = UnixNameFunction()(Wide(Path).c_str());
  if (!Name) return std::string();
  std::string Result = Name;
  HeapFree(GetProcessHeap(), 0, Name);
  return Result;
}

using testsupport::MakeFolder;
inline bool Exists(const std::string& Path) { return testsupport::PathExists(Path); }

// Runs a program and gives its exit code (-1 when it cannot be started).
inline int Run(const std::string& CommandLine) {
  STARTUPINFOA Startup{};
  Startup.cb = sizeof(Startup);
  PROCESS_INFORMATION Process{};
  std::string Line = CommandLine;
  if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup,
                      &Process))
    return -1;
  WaitForSingleObject(Process.hProcess, INFINITE);
  DWORD Code = 0;
  GetExitCodeProcess(Process.hProcess, &Code);
  CloseHandle(Process.hThread);
  CloseHandle(Process.hProcess);
  return static_cast<int>(Code);
}

// Starts one of the Unix programs scripts/with-wine.sh copies into the prefix (no
// drive leads to /bin). Wine can neither wait for a Unix program nor tell its exit
// code, so a test waits for the result it wants instead.
inline void StartUnix(const std::string& Program, const std::vector<std::string>& Arguments) {
  std::string Line = "C:\\unix-tools\\" + Program;
  for (const std::string& A : Arguments) Line += " \"" + A + "\"";
  Run(Line);
}

inline bool Eventually(const std::function<bool()>& Done) {
  for (int I = 0; I < 500; ++I) {
    if (Done()) return true;
    Sleep(10);
  }
  return Done();
}

// Makes Link a Unix symbolic link to Target. Wine lists a link to a folder with
// the reparse-point attribute; neither CreateSymbolicLinkA nor cmd's mklink makes
// one in Wine 8, so the link comes from the Unix side.
inline bool MakeLink(const std::string& Link, const std::string& Target) {
  StartUnix("ln", {"-s", UnixName(Target), UnixName(Link)});
  return Eventually([&] { return Exists(Link); });
}

inline void WriteFile(const std::string& Path, const std::string& Text = "x",
                      DWORD Attributes = FILE_ATTRIBUTE_NORMAL) {
  testsupport::WriteAll(Path, Text, Attributes);
}

// Removes a tree without following links, from the Unix side (Wine's delete of
// a Unix link deletes what it points to).
inline void RemoveAll(const std::string& Path) {
  if (!Exists(Path)) return;
  StartUnix("rm", {"-rf", UnixName(Path)});
  Eventually([&] { return !Exists(Path); });
}

// C:\instbrisko-uninstall\<test>\, made empty for the test and removed after it.
class TScratch {
public:
  TScratch() {
    const testing::TestInfo* Info = testing::UnitTest::GetInstance()->current_test_info();
    CreateDirectoryA("C:\\instbrisko-uninstall", nullptr);
    Root_ = std::string("C:\\instbrisko-uninstall\\") + Info->test_suite_name() + "." + Info->name() + "\\";
    RemoveAll(Root_);
    CreateDirectoryA(Root_.c_str(), nullptr);
  }
  ~TScratch() {
    RemoveAll(Root_);
    RemoveDirectoryA("C:\\instbrisko-uninstall");  // only when no other test left anything
  }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;

  // The root, ending with a backslash.
  const std::string& Root() const { return Root_; }
  std::string operator/(const std::string& Relative) const { return Root_ + Relative; }

private:
  std::string Root_;
};

// Runs a function the next time the application handles its messages: the walk
// does so once per folder, after that folder's files and before its subfolders.
class TWhenMessagesAreHandled {
public:
  explicit TWhenMessagesAreHandled(std::function<void()> Action) : Action_(std::move(Action)) {
    WNDCLASSA Class{};
    Class.lpfnWndProc = [](HWND Wnd, UINT Msg, WPARAM W, LPARAM L) -> LRESULT {
      if (Msg != WM_APP) return DefWindowProcA(Wnd, Msg, W, L);
      auto* Self = reinterpret_cast<TWhenMessagesAreHandled*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
      ++Self->Handled;
      Self->Action_();
      return 0;
    };
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.lpszClassName = "instbrisko uninstall test probe";
    RegisterClassA(&Class);
    Wnd_ = CreateWindowExA(0, Class.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Class.hInstance, nullptr);
    SetWindowLongPtrA(Wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    PostMessageA(Wnd_, WM_APP, 0, 0);
  }
  ~TWhenMessagesAreHandled() { DestroyWindow(Wnd_); }
  TWhenMessagesAreHandled(const TWhenMessagesAreHandled&) = delete;
  TWhenMessagesAreHandled& operator=(const TWhenMessagesAreHandled&) = delete;
  int Handled = 0;

private:
  std::function<void()> Action_;
  HWND Wnd_ = nullptr;
};

// What a person sees of a run: its message boxes, answered (Yes or No to the
// question), and the cursor while the walk lets the application handle messages.
class TRunWatch {
public:
  explicit TRunWatch(bool Yes = true)
      : Dialogs_([Yes](const TDialogRequest& R) { return R.Simple ? mrOk : (Yes ? mrYes : mrNo); }),
        Probe_([this] { CursorsSeen.push_back(Screen->Cursor()); }) {}
  // The questions (message dialogs) and the simple messages, in order.
  std::vector<std::string> Questions() const { return Texts(false); }
  std::vector<std::string> Messages() const { return Texts(true); }
  const std::vector<TDialogRequest>& Requests() const { return Dialogs_.Requests; }
  std::vector<TCursor> CursorsSeen;

private:
  std::vector<std::string> Texts(bool Simple) const {
    std::vector<std::string> T;
    for (const TDialogRequest& R : Dialogs_.Requests)
      if (R.Simple == Simple) T.push_back(R.Text);
    return T;
  }
  testsupport::TDialogAnswers Dialogs_;
  TWhenMessagesAreHandled Probe_;
};

// Whatever asks the application to terminate while the holder lives is undone when
// it goes (the end of Run does that).
class TTerminationUndone {
public:
  TTerminationUndone() = default;
  ~TTerminationUndone() {
    Application->Terminate();
    const bool Show = Application->ShowMainForm;
    Application->ShowMainForm = false;
    Application->Run();
    Application->ShowMainForm = Show;
  }
  TTerminationUndone(const TTerminationUndone&) = delete;
  TTerminationUndone& operator=(const TTerminationUndone&) = delete;
};

// The install folder recorded as the installation run records it, and the
// product key gone again after the test.
class TRecordedFolder {
public:
  explicit TRecordedFolder(const std::string& Folder) {
    TRegistry Registry(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(Registry.OpenKey("Software\\Brisko\\InstallTO", true));
    Registry.WriteString("", Folder);
  }
  ~TRecordedFolder() { TRegistry(HKEY_LOCAL_MACHINE).DeleteKey(ProductKey); }
  TRecordedFolder(const TRecordedFolder&) = delete;
  TRecordedFolder& operator=(const TRecordedFolder&) = delete;
};

inline bool ProductKeyExists() { return TRegistry(HKEY_LOCAL_MACHINE).KeyExists(ProductKey); }

// A real dialog would wait for a person; every test that reaches one fails.
class TNoDialogs : public testsupport::TDialogAnswers {
public:
  TNoDialogs()
      : TDialogAnswers([](const TDialogRequest& R) {
          ADD_FAILURE() << "unexpected dialog: " << R.Text;
          return mrNo;
        }) {}
};

}  // namespace uninstall_test
