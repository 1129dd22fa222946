// Helpers of the unzip and demo tests: paths of the built pieces, scratch folders, and
// running a program to its end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

namespace testutil {

// A Linux path of the build (compile definitions) as the Windows path of the drive
// that maps it; empty for any other host path.
std::string FromBuildPath(const char* UnixPath);

std::wstring Wide(const std::string& Utf8);
std::string Utf8(const std::wstring& Wide);

// A fresh empty folder under the Windows temp folder, removed with its contents at the end.
class ScratchFolder {
public:
  explicit ScratchFolder(const std::string& Name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return Path_; }  // with a trailing backslash
  std::string operator/(const std::string& Name) const { return Path_ + Name; }

private:
  std::string Path_;
};

void RemoveTree(const std::wstring& Path);
// Every file and folder below Root, relative, folders with a trailing backslash, sorted.
std::vector<std::wstring> ListTree(const std::wstring& Root);

bool WriteBytes(const std::wstring& Path, const std::string& Bytes);
bool ReadBytes(const std::wstring& Path, std::string& Bytes);
bool Exists(const std::wstring& Path);
// Last-write time as 100 ns ticks since 1601 (UTC), 0 when it cannot be read.
uint64_t ModifiedTicks(const std::wstring& Path);
uint64_t TicksFromUtc(int Year, int Month, int Day, int Hour, int Minute, int Second);

struct RunResult {
  DWORD ExitCode = 0xFFFFFFFF;
  std::string Output;  // stdout and stderr together
};

// Runs CommandLine with CurrentFolder (empty: ours) and waits for it to end.
RunResult Run(const std::string& CommandLine, const std::string& CurrentFolder = "");

// The built unzip.exe, quoted, ready to start a command line.
std::string UnzipCommand();

}  // namespace testutil
