// The scaffolding of the tests that write their own archives: a case folder to run
// unzip.exe in, and short ways to describe entries and archives.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testutil.h"
#include "testzip.h"

namespace unzipcase {

using namespace testutil;
using testzip::ArchiveSpec;
using testzip::EntrySpec;

// A case folder holding the archive, the destination "dest" and a current folder "cwd"
// for the child, so that anything written beside the destination shows up in the listing.
struct Case {
  explicit Case(const std::string& Name) : Dir(Name) { CreateDirectoryA((Dir / "cwd").c_str(), nullptr); }
  RunResult Unzip(const std::string& Archive, const std::string& Options = "-o") {
    EXPECT_TRUE(WriteBytes(Wide(Dir / "a.zip"), Archive));
    return Run(UnzipCommand() + " " + Options + " -d \"" + Dir / "dest" + "\" \"" + Dir / "a.zip" + "\"", Dir / "cwd");
  }
  std::vector<std::wstring> Outside() const {
    std::vector<std::wstring> rest;
    for (const auto& p : ListTree(Wide(Dir.Path())))
      if (p.rfind(L"dest\\", 0) != 0 && p != L"a.zip") rest.push_back(p);
    return rest;
  }
  std::vector<std::wstring> Inside() const { return ListTree(Wide(Dir / "dest")); }
  std::string Get(const std::string& Name) const {
    std::string s;
    return ReadBytes(Wide(Dir / "dest\\" + Name), s) ? s : "<missing>";
  }
  ScratchFolder Dir;
};

inline EntrySpec File(const std::string& Name, const std::string& Data, uint16_t Method = 8) {
  EntrySpec e;
  e.Name = Name;
  e.Data = Data;
  e.Method = Method;
  return e;
}

inline ArchiveSpec Of(std::vector<EntrySpec> Entries) {
  ArchiveSpec s;
  s.Entries = std::move(Entries);
  return s;
}

inline const std::vector<std::wstring> kCwdOnly = {L"cwd\\"};

}  // namespace unzipcase
