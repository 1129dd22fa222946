// Runs before every other test of the Windows build (the ctest fixture
// sealed_prefix), since those delete folder trees as root: the prefix they run in
// shows nothing of the host above it, its profile folders are its own, and Wine's
// background helpers that read the tests' files are off.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/host_paths.h"

namespace {

std::string Env(const char* Name) {
  const char* Value = std::getenv(Name);
  return Value ? Value : "";
}

std::vector<std::string> UnixParts(const std::string& Path) {
  std::vector<std::string> Parts;
  size_t Start = 0;
  while (Start < Path.size()) {
    size_t End = Path.find('/', Start);
    if (End == std::string::npos) End = Path.size();
    if (End > Start) Parts.push_back(Path.substr(Start, End - Start));
    Start = End + 1;
  }
  return Parts;
}

bool Exists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A file on C: that only this run knows, removed at the end.
class TMarker {
public:
  TMarker() : Name_("sealed-prefix-" + std::to_string(GetCurrentProcessId()) + ".txt") {
    HANDLE File = CreateFileA(Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(File, INVALID_HANDLE_VALUE) << Path();
    CloseHandle(File);
  }
  ~TMarker() { DeleteFileA(Path().c_str()); }
  const std::string& Name() const { return Name_; }
  std::string Path() const { return "C:\\" + Name_; }

private:
  std::string Name_;
};

}  // namespace

// A drive that maps the host's root, or any folder above the prefix, shows the C:
// disk once more under the prefix's own host path; the marker tells it. Drives
// that map a folder inside the prefix, or beside it, are fine.
TEST(SealedPrefix, NoDriveMapsTheHostsRootOrAFolderAboveThePrefix) {
  const std::string Prefix = Env("WINEPREFIX");
  ASSERT_FALSE(Prefix.empty()) << "the tests run in the build's own prefix, through scripts/with-wine.sh";
  const std::vector<std::string> Parts = UnixParts(Prefix);
  TMarker Marker;
  ASSERT_TRUE(Exists(Marker.Path()));

  const DWORD Drives = GetLogicalDrives();
  for (char Letter = 'A'; Letter <= 'Z'; ++Letter) {
    if (!(Drives & (1u << (Letter - 'A')))) continue;
    for (size_t Above = 0; Above < Parts.size(); ++Above) {
      std::string Path = std::string(1, Letter) + ":\\";
      for (size_t I = Above; I < Parts.size(); ++I) Path += Parts[I] + "\\";
      Path += "drive_c\\" + Marker.Name();
      EXPECT_FALSE(Exists(Path)) << "drive " << Letter << ": maps "
                                 << (Above == 0 ? std::string("the host's root") : "a folder above the prefix")
                                 << ", where a test's mistake could delete the host's files";
    }
  }
  // The host's root has no Windows name at all.
  EXPECT_EQ(testsupport::HostPath("/"), "");
  EXPECT_EQ(testsupport::HostPath("/etc/passwd"), "");
}

// Wine links the profile's folders to the Unix home folder; here they are real
// folders of the prefix, so that shortcuts and files of the tests stay in it.
TEST(SealedPrefix, ProfileFoldersAreFoldersOfThePrefix) {
  HKEY Key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                          KEY_READ, &Key),
            ERROR_SUCCESS);
  int Checked = 0;
  char Name[256], Value[MAX_PATH];
  for (DWORD I = 0;; ++I) {
    DWORD NameSize = sizeof(Name), ValueSize = sizeof(Value), Type = 0;
    if (RegEnumValueA(Key, I, Name, &NameSize, nullptr, &Type, reinterpret_cast<BYTE*>(Value), &ValueSize) !=
        ERROR_SUCCESS)
      break;
    if (Type != REG_SZ || std::string(Value).rfind("C:\\users\\", 0) != 0) continue;
    const DWORD Attributes = GetFileAttributesA(Value);
    if (Attributes == INVALID_FILE_ATTRIBUTES) continue;  // made on first use
    EXPECT_FALSE(Attributes & FILE_ATTRIBUTE_REPARSE_POINT) << Name << " (" << Value << ") is a link";
    ++Checked;
  }
  RegCloseKey(Key);
  EXPECT_GE(Checked, 3);
}

// The menu and icon builder opens the program behind every shortcut a test saves,
// also long after, while a later test may be replacing that very file.
TEST(SealedPrefix, WinesMenuBuilderIsOff) {
  STARTUPINFOA Startup{};
  Startup.cb = sizeof(Startup);
  PROCESS_INFORMATION Process{};
  char Line[] = "winemenubuilder.exe -h";
  const BOOL Started =
      CreateProcessA(nullptr, Line, nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &Startup, &Process);
  if (Started) {
    WaitForSingleObject(Process.hProcess, 10000);
    CloseHandle(Process.hThread);
    CloseHandle(Process.hProcess);
  }
  EXPECT_FALSE(Started) << "winemenubuilder.exe can be started";
}
