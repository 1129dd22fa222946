#include "setup/SetupFiles.h"

#include "classes/sysutils.h"

bool PathExists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool FileExists(const std::string& Path) {
  const DWORD Attributes = GetFileAttributesA(Path.c_str());
  return Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& Path) {
  const DWORD Attributes = GetFileAttributesA(Path.c_str());
  return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ForceDirectories(const std::string& Path) {
  const std::string Dir = ExcludeTrailingBackslash(Path);
  if (Dir.empty() || DirectoryExists(Dir)) return;
  const std::string Parent = ExcludeTrailingBackslash(ExtractFilePath(Dir));
  if (!Parent.empty() && Parent != Dir) ForceDirectories(Parent);
  CreateDirectoryA(Dir.c_str(), nullptr);
}

TKernelHandle StartProcess(const std::string& CommandLine, WORD Show, const std::string& Folder) {
  STARTUPINFOA Startup{};
  Startup.cb = sizeof(Startup);
  Startup.dwFlags = STARTF_USESHOWWINDOW;
  Startup.wShowWindow = Show;
  PROCESS_INFORMATION Process{};
  std::string Line = CommandLine;  // CreateProcessA may write into its command line
  if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      Folder.empty() ? nullptr : Folder.c_str(), &Startup, &Process))
    return TKernelHandle();
  TKernelHandle Thread(Process.hThread);
  return TKernelHandle(Process.hProcess);
}
