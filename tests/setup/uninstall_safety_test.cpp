// Which recorded folders the uninstallation may delete as a whole: first on
// strings against a made-up machine, then against this prefix's own folders,
// spelt in the ways a registry value might spell them.
#include "uninstall_support.h"


using namespace uninstall_test;

namespace {

const TSystemFolders Machine = {
    {"C:\\WINDOWS\\"},
    {"C:\\Program Files\\", "C:\\Program Files (x86)\\", "C:\\Users\\", "C:\\Users\\Ann\\",
     "C:\\Users\\Ann\\Desktop\\", "D:\\Data\\Shell\\Start Menu"},
};

std::string Env(const char* Name) {
  char Buffer[MAX_PATH];
  DWORD N = GetEnvironmentVariableA(Name, Buffer, MAX_PATH);
  return N && N < MAX_PATH ? std::string(Buffer, N) : std::string();
}

}  // namespace

TEST(UninstallSafety, OnlyPlainFoldersBelowNothingProtectedAreAccepted) {
  for (const char* Good : {"C:\\program Files\\Brisko\\", "C:\\Program Files\\Brisko",
                           "C:\\Users\\Ann\\Desktop\\Brisko\\", "C:\\Users\\Bob\\Brisko\\",
                           "D:\\Apps\\Brisko\\", "d:\\.brisko\\", "C:\\Apps\\Fran\xE7" "ais\\",
                           "D:\\Data\\Shell\\Start Menu\\Programs\\Brisko\\", "C:\\WINDOWSX\\"})
    EXPECT_TRUE(IsSafeProductFolder(Good, Machine)) << Good;

  for (const char* Bad : {
           // not an absolute local folder
           "", "C:", "C:\\", "C:\\\\", "D:\\", "Brisko\\", "\\Brisko\\", "C:Brisko\\",
           "\\\\server\\share\\Brisko\\", "\\\\?\\C:\\Brisko\\", "C:/Brisko/", "1:\\Brisko\\",
           // other spellings of something else
           "C:\\Program Files\\..\\", "C:\\Program Files\\Brisko\\..\\..\\Windows\\",
           "C:\\Apps\\.\\Brisko\\", "C:\\Windows.\\", "C:\\Program Files \\", "C:\\a\\\\b\\",
           "C:\\Brisko?\\", "C:\\Bri*\\", "C:\\a\"b\\", "C:\\a\tb\\",
           // the Windows folder, above it, inside it
           "C:\\windows", "c:\\WINDOWS\\\\", "C:\\Windows\\System32\\", "C:\\Windows\\Brisko\\",
           // protected folders and what lies above them
           "C:\\Program Files", "C:\\program files\\\\", "C:\\Program Files (x86)\\", "C:\\Users\\",
           "C:\\Users\\Ann\\", "C:\\USERS\\ANN\\DESKTOP\\", "D:\\Data\\", "D:\\Data\\Shell\\Start Menu\\"})
    EXPECT_FALSE(IsSafeProductFolder(Bad, Machine)) << Bad;
}

TEST(UninstallSafety, ThisMachinesSystemAndShellFoldersAreRefused) {
  TSystemFolders System = SystemFolders();
  ASSERT_FALSE(System.Windows.empty());
  ASSERT_GT(System.Others.size(), 10u);

  std::string Windows = Env("windir");
  ASSERT_FALSE(Windows.empty());
  std::vector<std::string> Refused = {Windows, Windows + "\\", AnsiLowerCase(Windows) + "\\\\",
                                      AnsiUpperCase(Windows), Windows + "\\system32",
                                      Windows + "\\Fonts\\", Windows + "\\Brisko\\"};
  for (const char* Name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles",
                           "ProgramData", "USERPROFILE", "APPDATA", "LOCALAPPDATA", "PUBLIC"}) {
    std::string Value = Env(Name);
    if (Value.empty()) continue;
    Refused.push_back(Value);
    Refused.push_back(Value + "\\");
    Refused.push_back(ExtractFilePath(Value));  // the folder above
  }
  for (int Kind = 1; Kind <= 11; ++Kind)
    if (std::string Shell = ShellFolderPath(Kind); !Shell.empty()) Refused.push_back(Shell);
  // Every profile, the shared ones too, and the profiles folder itself.
  const std::string Profiles = ExtractFilePath(Env("USERPROFILE"));
  for (const char* Profile : {"Public\\", "public", ""}) Refused.push_back(Profiles + Profile);
  for (const std::string& Folder : Refused) EXPECT_FALSE(IsSafeProductFolder(Folder)) << Folder;

  // Below a profile or a shared folder, a product folder is one like any other.
  for (const std::string& Folder :
       {std::string("C:\\program Files\\Brisko\\"), Env("ProgramFiles") + "\\Brisko", Env("USERPROFILE") + "\\Brisko\\",
        Env("ProgramData") + "\\Brisko\\", Env("PUBLIC") + "\\Brisko\\", Profiles + "Default\\Brisko\\",
        Env("APPDATA") + "\\Brisko\\", std::string("C:\\instbrisko-uninstall\\never-made\\")})
    EXPECT_TRUE(IsSafeProductFolder(Folder)) << Folder;
}

TEST(UninstallSafety, AnotherNameForAProtectedFolderIsRefusedToo) {
  // Y: is the C: disk once more (scripts/with-wine.sh maps it so): C:\x as Y:\x.
  auto OnY = [](const std::string& Path) { return "Y:" + Path.substr(2); };
  ASSERT_NE(GetFileAttributesA("Y:\\"), INVALID_FILE_ATTRIBUTES) << "the prefix has no drive Y:";
  std::string Windows = OnY(Env("windir"));
  EXPECT_FALSE(IsSafeProductFolder(Windows));
  EXPECT_FALSE(IsSafeProductFolder(Windows + "\\system32\\"));
  EXPECT_FALSE(IsSafeProductFolder("Y:\\"));
  EXPECT_FALSE(IsSafeProductFolder(AddBackslash(OnY(Env("USERPROFILE")))));
  EXPECT_FALSE(IsSafeProductFolder(OnY(Env("ProgramFiles"))));
  EXPECT_EQ(ResolvedFolder(Windows), ResolvedFolder(Env("windir")));

  // A product folder reached through Y: is still a product folder.
  TScratch Scratch;
  MakeFolder(Scratch / "Brisko");
  EXPECT_TRUE(IsSafeProductFolder(OnY(Scratch / "Brisko") + "\\"));

  // A link to a protected folder is refused, whatever it is named.
  ASSERT_TRUE(MakeLink(Scratch / "Brisko2", Env("windir")));
  EXPECT_FALSE(IsSafeProductFolder(Scratch / "Brisko2\\"));
  ASSERT_TRUE(MakeLink(Scratch / "Brisko3", Scratch / "Brisko"));
  EXPECT_FALSE(IsSafeProductFolder(Scratch / "Brisko3\\"));  // a link is never the product folder
}

TEST(UninstallSafety, AFileIsNotAFolder) {
  TScratch Scratch;
  WriteFile(Scratch / "Brisko");
  EXPECT_FALSE(IsSafeProductFolder(Scratch / "Brisko\\"));
}
