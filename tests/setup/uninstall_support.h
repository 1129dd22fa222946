// Scratch folders on the C: drive, Unix links made through Wine, a recording host
// for the uninstallation run, and the registry entries a test installs.
#pragma once

#include "setup/Uinstbrisko_uninstall.h"

#include "classes/sysutils.h"
#include "gui/dialogs.h"
#include "gui/registry.h"

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

inline bool Exists(const std::string& Path) {
  return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

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
  HANDLE H = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, Attributes, nullptr);
  ASSERT_NE(H, INVALID_HANDLE_VALUE) << Path;
  DWORD Written = 0;
  ::WriteFile(H, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr);
  CloseHandle(H);
}

inline void MakeFolder(const std::string& Path) {
  ASSERT_TRUE(CreateDirectoryA(Path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
      << Path;
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

// Records what the run asks and shows, and answers as the test says.
class TRecordingHost : public TUninstallHost {
public:
  struct TQuit {};

  bool Answer = true;
  int StopAtRound = 0;  // HandleMessages answers false from this round on; 0: never
  std::vector<std::string> Questions;
  std::vector<std::string> Messages;
  std::vector<bool> Busy;
  int Rounds = 0;

  bool Confirm(const std::string& Question) override {
    Questions.push_back(Question);
    return Answer;
  }
  void Inform(const std::string& Text) override { Messages.push_back(Text); }
  bool HandleMessages() override {
    TUninstallHost::HandleMessages();
    ++Rounds;
    return StopAtRound == 0 || Rounds < StopAtRound;
  }
  void ShowBusy(bool On) override { Busy.push_back(On); }
  [[noreturn]] void Quit() override { throw TQuit(); }
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
class TNoDialogs {
public:
  TNoDialogs()
      : Previous_(SetDialogHandler([](const TDialogRequest& R) {
          ADD_FAILURE() << "unexpected dialog: " << R.Text;
          return mrNo;
        })) {}
  ~TNoDialogs() { SetDialogHandler(std::move(Previous_)); }
  TNoDialogs(const TNoDialogs&) = delete;
  TNoDialogs& operator=(const TNoDialogs&) = delete;

private:
  TDialogHandler Previous_;
};

}  // namespace uninstall_test
