// What the tests know of the host: the few folders of the build they read (the
// distribution, the build tree with its test data), under the Windows names of the
// drives scripts/with-wine.sh maps to exactly those folders. No drive of the test
// prefix maps the host's root, so every other host path has no Windows name here.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// Wine's own converter from a host path to the name a Windows program uses for it.
using TDosName = WCHAR*(CDECL*)(const char*);

// The Windows name of a host file or folder the build made (a compile definition
// such as DIST_DIR), through the drive that maps it; empty when no drive leads
// there, which is a prefix not made by scripts/with-wine.sh.
inline std::string HostPath(const std::string& UnixPath) {
  auto Convert = reinterpret_cast<TDosName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  if (!Convert) return std::string();
  WCHAR* Name = Convert(UnixPath.c_str());
  if (!Name) return std::string();
  char Buffer[MAX_PATH * 2] = "";
  WideCharToMultiByte(CP_ACP, 0, Name, -1, Buffer, sizeof(Buffer), nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, Name);
  const std::string Result = Buffer;
  // Wine names a host path outside every drive \\?\unix\..., which no test may use.
  const bool OnADrive = Result.size() >= 3 && Result[1] == ':' && Result[2] == '\\';
  return OnADrive ? Result : std::string();
}

// The same for a folder, with a trailing backslash.
inline std::string HostFolder(const std::string& UnixPath) {
  std::string Path = HostPath(UnixPath);
  if (!Path.empty() && Path.back() != '\\') Path += '\\';
  return Path;
}

}  // namespace testsupport
