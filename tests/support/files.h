// Files and folders as the tests make, read and remove them on the prefix's C: disk.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <string>

#include "gui/handles.h"

namespace testsupport {

inline bool PathExists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline bool FileExists(const std::string& Path) {
  const DWORD A = GetFileAttributesA(Path.c_str());
  return A != INVALID_FILE_ATTRIBUTES && !(A & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool DirectoryExists(const std::string& Path) {
  const DWORD A = GetFileAttributesA(Path.c_str());
  return A != INVALID_FILE_ATTRIBUTES && (A & FILE_ATTRIBUTE_DIRECTORY);
}

inline std::string ReadAll(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), {});
}

// Writes Bytes as the whole file, made with Attributes (read-only, hidden, ...).
inline void WriteAll(const std::string& Path, const std::string& Bytes, DWORD Attributes = FILE_ATTRIBUTE_NORMAL) {
  TKernelHandle File(CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, Attributes, nullptr));
  ASSERT_TRUE(File) << "cannot write " << Path;
  DWORD Written = 0;
  ::WriteFile(File.Get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &Written, nullptr);
  EXPECT_EQ(Written, Bytes.size()) << Path;
}

// Makes the folder with every folder above it that is missing.
inline void MakeFolder(const std::string& Folder) {
  std::string Path = Folder;
  while (!Path.empty() && Path.back() == '\\') Path.pop_back();
  const int Result = SHCreateDirectoryExA(nullptr, Path.c_str(), nullptr);
  EXPECT_TRUE(Result == ERROR_SUCCESS || Result == ERROR_ALREADY_EXISTS) << "cannot make " << Folder;
}

// Removes a folder with everything below it, read-only files too; a missing folder
// is fine. Only for trees a test made itself, and never through a link: what Wine
// deletes through a Unix link is the link's target.
inline void DeleteTree(const std::string& Folder) {
  std::string Dir = Folder;
  while (!Dir.empty() && Dir.back() == '\\') Dir.pop_back();
  WIN32_FIND_DATAA Found;
  TFindHandle Find(FindFirstFileA((Dir + "\\*").c_str(), &Found));
  if (Find) {
    do {
      const std::string Name = Found.cFileName;
      if (Name == "." || Name == "..") continue;
      const std::string Path = Dir + "\\" + Name;
      if (Found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(Path);
      } else {
        SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(Path.c_str());
      }
    } while (FindNextFileA(Find.Get(), &Found));
  }
  Find.Close();
  RemoveDirectoryA(Dir.c_str());
}

}  // namespace testsupport
