// What the shell tree's tests share: a scratch folder on the Wine prefix's C:
// drive, removed with everything in it, and the message loop run until a
// condition holds.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "gui/application.h"
#include "support/files.h"
#include "support/message_pump.h"

namespace shelltest {

inline void InitGui() {
  Application->Initialize();
  CoInitialize(nullptr);
}

// Removes a folder with its contents; refuses anything outside the scratch folders.
inline void RemoveTree(const std::string& Folder) {
  ASSERT_EQ(Folder.rfind("C:\\stt_", 0), 0u) << Folder;
  testsupport::DeleteTree(Folder);
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
    const std::string Path = Root_ + "\\" + Relative;
    testsupport::MakeFolder(Path);
    return Path;
  }
  std::string File(const std::string& Relative, const std::string& Text = "x") const {
    const std::string Path = Root_ + "\\" + Relative;
    testsupport::WriteAll(Path, Text);
    return Path;
  }

private:
  std::string Root_;
};

// Handles messages until Done holds; false after Timeout milliseconds.
template <class F>
bool PumpUntil(F Done, DWORD Timeout = 10000) {
  return testsupport::PumpUntil(Done, Timeout);
}

}  // namespace shelltest
