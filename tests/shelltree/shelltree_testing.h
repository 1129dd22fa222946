// What the shell tree's tests share: a scratch folder on the Wine prefix's C:
// drive, removed with everything in it, and waiting for a condition while the
// message loop runs.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "gui/application.h"

namespace shelltest {

inline void InitGui() {
  Application->Initialize();
  CoInitialize(nullptr);
}

// Removes a folder with its contents; refuses anything outside the scratch root.
inline void RemoveTree(const std::string& Folder) {
  ASSERT_EQ(Folder.rfind("C:\\stt_", 0), 0u) << Folder;
  WIN32_FIND_DATAA Found;
  HANDLE Find = FindFirstFileA((Folder + "\\*").c_str(), &Found);
  if (Find != INVALID_HANDLE_VALUE) {
    do {
      std::string Name = Found.cFileName;
      if (Name == "." || Name == "..") continue;
      std::string Full = Folder + "\\" + Name;
      if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(Full);
      else DeleteFileA(Full.c_str());
    } while (FindNextFileA(Find, &Found));
    FindClose(Find);
  }
  RemoveDirectoryA(Folder.c_str());
}

// A fresh folder C:\stt_<name>_<process id>, gone again at the end.
class TScratch {
public:
  explicit TScratch(const std::string& Name)
      : Root_("C:\\stt_" + Name + "_" + std::to_string(GetCurrentProcessId())) {
    RemoveTree(Root_);
    EXPECT_TRUE(CreateDirectoryA(Root_.c_str(), nullptr)) << Root_;
  }
  ~TScratch() { RemoveTree(Root_); }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;

  const std::string& Root() const { return Root_; }
  // Root\Relative, made with its parents.
  std::string Folder(const std::string& Relative) const {
    std::string Path = Root_;
    size_t Start = 0;
    while (Start <= Relative.size()) {
      size_t End = Relative.find('\\', Start);
      Path += "\\" + Relative.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
      CreateDirectoryA(Path.c_str(), nullptr);
      if (End == std::string::npos) break;
      Start = End + 1;
    }
    return Path;
  }
  std::string File(const std::string& Relative, const std::string& Text = "x") const {
    std::string Path = Root_ + "\\" + Relative;
    HANDLE H = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD Written = 0;
    WriteFile(H, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr);
    CloseHandle(H);
    return Path;
  }

private:
  std::string Root_;
};

// Runs the message loop until Done holds; false after Timeout milliseconds.
template <class F>
bool PumpUntil(F Done, DWORD Timeout = 10000) {
  const DWORD End = GetTickCount() + Timeout;
  while (!Done()) {
    if (static_cast<LONG>(End - GetTickCount()) <= 0) return false;
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

}  // namespace shelltest
