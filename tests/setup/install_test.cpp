// The installation run against the real unzip.exe, archives, registry, shell links and
// fonts of the test's Wine prefix.
#include "install_fixture.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>

#include "gui/inifiles.h"

using namespace installtest;

namespace {

std::string Ini(const std::string& Folder, const char* Section, const char* Key) {
  return TIniFile(AddBackslash(Folder) + "TALMOR.INI").ReadString(Section, Key, "<missing>");
}

// DejaVu Sans, the font BRISKO.ZIP carries as TAHOMA.TTF, copied into the build tree.
std::string TestFont() { return testsupport::HostPath(TEST_FONT); }

const char* const UserShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

bool Contains(const std::vector<std::string>& List, const std::string& S) {
  return std::find(List.begin(), List.end(), S) != List.end();
}

}  // namespace

TEST_F(InstallTest, DefaultFolderGetsProductSettingsLinksAndRecord) {
  Choices.TargetFolder = DefaultTarget;
  Choices.StartMenuShortcut = true;
  ASSERT_TRUE(Installs());

  EXPECT_TRUE(FileExists(DefaultTarget + "BRISKO.EXE"));
  EXPECT_TRUE(FileExists(DefaultTarget + "lang\\DE.txt"));
  EXPECT_TRUE(FileExists(DefaultTarget + "samples\\Sample letter.txt"));
  EXPECT_EQ(Ini(DefaultTarget, "System", "Web2cBINDir"), "C:\\program Files\\Brisko\\");
  EXPECT_EQ(Ini(DefaultTarget, "UserChoice", "TalmorLanguage"), "DE");
  EXPECT_EQ(Ini(DefaultTarget, "UserChoice", "SpellLanguage"), "DE");
  for (const char* Folder : LinkFolders) {
    auto Link = ReadLink(ShellFolder(Folder) + "\\Brisko.lnk");
    ASSERT_TRUE(Link) << Folder;
    EXPECT_TRUE(SameText(Link->Path, DefaultTarget + "BRISKO.EXE")) << Link->Path;
    EXPECT_TRUE(SameText(Link->WorkingDirectory, DefaultTarget)) << Link->WorkingDirectory;
    EXPECT_EQ(Link->Arguments, "");
  }
  EXPECT_EQ(RecordedFolder(), DefaultTarget);
  EXPECT_EQ(Events, (std::vector<std::string>{"show panel", "hide panel"}));
}

TEST_F(InstallTest, HelpArchiveOnlyWhenTheHelpFileTypeIsUnknown) {
  ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, InstallText::HelpTypeKey));
  ASSERT_TRUE(Installs());
  EXPECT_TRUE(FileExists(Target() + "BRISKO.EXE"));
  EXPECT_FALSE(DirectoryExists(Target() + "help"));

  TKeyAside NoHelpType(HKEY_LOCAL_MACHINE, InstallText::HelpTypeKey);
  ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, InstallText::HelpTypeKey));
  Choices.TargetFolder = ScratchRoot + "With help\\";
  ASSERT_TRUE(Installs());
  EXPECT_TRUE(FileExists(Target() + "BRISKO.EXE"));
  EXPECT_TRUE(FileExists(Target() + "help\\index.htm"));
  EXPECT_EQ(RecordedFolder(), Target());
}

TEST_F(InstallTest, MissingTahomaIsInstalledIntoTheFontsFolder) {
  ScreenFonts(nullptr);  // the real list: Wine has no Tahoma
  const auto Fonts = Screen->Fonts().ToVector();
  ASSERT_FALSE(Contains(Fonts, "Tahoma"));
  ASSERT_TRUE(Contains(Fonts, "DejaVu Sans"));
  FontValue.Remove();
  const auto ValuesBefore = ValueNames(HKEY_LOCAL_MACHINE, InstallText::FontsKey);

  ASSERT_TRUE(Installs());
  const std::string Regular = ReadAll(TestFont());
  ASSERT_FALSE(Regular.empty());
  EXPECT_EQ(ReadAll(FontsFolder() + "TAHOMA.TTF"), Regular);
  EXPECT_TRUE(FileExists(FontsFolder() + "TAHOMABD.TTF"));
  for (const char* Font : FontFiles) EXPECT_FALSE(FileExists(Target() + Font)) << Font;
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, InstallText::FontsKey, InstallText::FontValue), "TAHOMABD.TTF");
  auto ValuesAfter = ValueNames(HKEY_LOCAL_MACHINE, InstallText::FontsKey);
  ValuesAfter.erase(std::remove(ValuesAfter.begin(), ValuesAfter.end(), InstallText::FontValue), ValuesAfter.end());
  EXPECT_EQ(ValuesAfter, ValuesBefore);
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, InstallText::NtFontsKey, "Tahoma (TrueType)"), "TAHOMA.TTF");
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, InstallText::NtFontsKey, "Tahoma Bold (TrueType)"), "TAHOMABD.TTF");
  EXPECT_EQ(RecordedFolder(), Target());
}

TEST_F(InstallTest, TahomaOnTheScreenLeavesTheFontFilesInTheFolder) {
  FontValue.Remove();
  NtRegular.Remove();
  ASSERT_TRUE(Installs());
  for (const char* Font : FontFiles) {
    EXPECT_TRUE(FileExists(Target() + Font)) << Font;
    EXPECT_FALSE(FileExists(FontsFolder() + Font)) << Font;
  }
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, InstallText::FontsKey, InstallText::FontValue));
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, InstallText::NtFontsKey, "Tahoma (TrueType)"));

  // The name is compared with its case: another spelling is not the font.
  ScreenFonts([] { return std::vector<std::string>{"tahoma", "Tahoma Bold"}; });
  ASSERT_TRUE(Installs());
  EXPECT_TRUE(FileExists(FontsFolder() + "TAHOMA.TTF"));
  EXPECT_FALSE(FileExists(Target() + "TAHOMA.TTF"));
}

TEST_F(InstallTest, OnlyTheCheckedShortcutsAreMade) {
  Choices.DesktopShortcut = Choices.StartMenuShortcut = Choices.ProgramsShortcut = false;
  ASSERT_TRUE(Installs());
  for (const char* Folder : LinkFolders) EXPECT_FALSE(FileExists(ShellFolder(Folder) + "\\Brisko.lnk")) << Folder;

  Choices.StartMenuShortcut = true;
  ASSERT_TRUE(Installs());
  EXPECT_FALSE(FileExists(ShellFolder("Desktop") + "\\Brisko.lnk"));
  EXPECT_FALSE(FileExists(ShellFolder("Programs") + "\\Brisko.lnk"));
  auto Link = ReadLink(ShellFolder("Start Menu") + "\\Brisko.lnk");
  ASSERT_TRUE(Link);
  EXPECT_TRUE(SameText(Link->Path, Target() + "BRISKO.EXE")) << Link->Path;
}

TEST_F(InstallTest, AMissingShellFolderIsCreatedForTheLink) {
  // The shell rewrites Shell Folders from User Shell Folders whenever it looks one up.
  TSavedValue Desktop(HKEY_CURRENT_USER, ShellFoldersKey, "Desktop");
  TSavedValue UserDesktop(HKEY_CURRENT_USER, UserShellFoldersKey, "Desktop");
  const std::string Missing = ScratchRoot + "New desktop";
  Desktop.Set(Missing);
  UserDesktop.Set(Missing);
  Choices.ProgramsShortcut = false;
  ASSERT_TRUE(Installs());
  auto Link = ReadLink(Missing + "\\Brisko.lnk");
  ASSERT_TRUE(Link);
  EXPECT_TRUE(SameText(Link->WorkingDirectory, Target())) << Link->WorkingDirectory;
}

TEST_F(InstallTest, InstallingTwiceOverwritesFilesAndKeepsOtherSettings) {
  ASSERT_TRUE(Installs());
  const std::string Readme = ReadAll(Target() + "README.TXT");
  WriteAll(Target() + "README.TXT", "changed by the user");
  TIniFile(Target() + "TALMOR.INI").WriteString("UserChoice", "Colour", "blue");

  Choices.LanguageCode = "FR";
  ASSERT_TRUE(Installs());
  EXPECT_EQ(ReadAll(Target() + "README.TXT"), Readme);
  EXPECT_EQ(Ini(Target(), "UserChoice", "TalmorLanguage"), "FR");
  EXPECT_EQ(Ini(Target(), "UserChoice", "SpellLanguage"), "FR");
  EXPECT_EQ(Ini(Target(), "UserChoice", "Colour"), "blue");
  EXPECT_TRUE(ReadLink(ShellFolder("Desktop") + "\\Brisko.lnk"));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(InstallTest, BlanksInTheSetupAndTargetFoldersAreQuoted) {
  EXPECT_EQ(UnzipCommandLine("D:\\my setup\\", "C:\\program Files\\Brisko", "BRISKO.ZIP"),
            "\"D:\\my setup\\unzip.exe\" -d \"C:\\program Files\\Brisko\" -o \"D:\\my setup\\BRISKO.ZIP\"");
  const std::string Setup = ScratchRoot + "setup files\\";
  MakeFolder(Setup);
  for (const char* File : {"unzip.exe", "BRISKO.ZIP"})
    ASSERT_TRUE(CopyFileA((DistFolder() + File).c_str(), (Setup + File).c_str(), FALSE)) << File;
  Choices.SetupFolder = Setup;
  Choices.TargetFolder = ScratchRoot + "my programs\\Brisko 1.0\\";
  ASSERT_TRUE(Installs());
  EXPECT_TRUE(FileExists(Target() + "BRISKO.EXE"));
  EXPECT_TRUE(Messages().empty());
}

// A failed extraction stops the run before anything that claims the product is there.
TEST_F(InstallTest, AFailedExtractionStopsTheRun) {
  const std::string Setup = ScratchRoot + "broken setup\\";
  MakeFolder(Setup);
  ASSERT_TRUE(CopyFileA((DistFolder() + "unzip.exe").c_str(), (Setup + "unzip.exe").c_str(), FALSE));
  std::string Damaged = ReadAll(DistFolder() + "BRISKO.ZIP");
  Damaged.resize(Damaged.size() / 2);
  WriteAll(Setup + "BRISKO.ZIP", Damaged);
  Choices.SetupFolder = Setup;
  ScreenFonts([] { return std::vector<std::string>(); });

  EXPECT_FALSE(InstallBrisko(Choices, Edges));
  EXPECT_EQ(Events, (std::vector<std::string>{"show panel", "hide panel", "message: Extracting BRISKO.ZIP failed!"}));
  EXPECT_FALSE(FileExists(Target() + "TALMOR.INI"));
  EXPECT_FALSE(FileExists(FontsFolder() + "TAHOMA.TTF"));
  EXPECT_FALSE(FileExists(ShellFolder("Desktop") + "\\Brisko.lnk"));
  EXPECT_FALSE(RecordedFolder());

  // The help archive counts as much as the product's.
  ASSERT_TRUE(CopyFileA((DistFolder() + "BRISKO.ZIP").c_str(), (Setup + "BRISKO.ZIP").c_str(), FALSE));
  TKeyAside NoHelpType(HKEY_LOCAL_MACHINE, InstallText::HelpTypeKey);
  Events.clear();
  EXPECT_FALSE(InstallBrisko(Choices, Edges));
  EXPECT_EQ(Messages(), std::vector<std::string>{"Extracting HTMLhelp.ZIP failed!"});
  EXPECT_TRUE(FileExists(Target() + "BRISKO.EXE"));
  EXPECT_FALSE(FileExists(Target() + "TALMOR.INI"));
  EXPECT_FALSE(RecordedFolder());

  // No unzip.exe at all: the start failure is the one message.
  DeleteFileA((Setup + "unzip.exe").c_str());
  Events.clear();
  EXPECT_FALSE(InstallBrisko(Choices, Edges));
  const std::string Line = UnzipCommandLine(Setup, ExcludeTrailingBackslash(Target()), "BRISKO.ZIP");
  EXPECT_EQ(Events, (std::vector<std::string>{"show panel", "hide panel", "message: Executing \r" + Line + "\r failed!"}));
  EXPECT_FALSE(RecordedFolder());
}

// Another program holds a file the archive replaces (the product still running, a
// scanner reading it): the run stops with the archive's message, claims nothing,
// and the next Install, once the file is free, goes through.
TEST_F(InstallTest, AFileHeldByAnotherProgramStopsTheRunUntilItIsFree) {
  ASSERT_TRUE(Installs());
  DeleteKey(HKEY_LOCAL_MACHINE, "Software\\Brisko");
  Events.clear();
  TKernelHandle Held(CreateFileA((Target() + "BRISKO.EXE").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(Held);
  Choices.LanguageCode = "FR";
  EXPECT_FALSE(InstallBrisko(Choices, Edges));
  EXPECT_EQ(Events, (std::vector<std::string>{"show panel", "hide panel", "message: Extracting BRISKO.ZIP failed!"}));
  EXPECT_EQ(Ini(Target(), "UserChoice", "TalmorLanguage"), "DE");
  EXPECT_FALSE(RecordedFolder());

  Held.Close();
  Events.clear();
  EXPECT_TRUE(Installs());
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Ini(Target(), "UserChoice", "TalmorLanguage"), "FR");
  EXPECT_EQ(RecordedFolder(), Target());
}

TEST_F(InstallTest, AnEmptyFolderTextOnlyAsksForAFolder) {
  for (const char* Text : {"", "   "}) {
    Events.clear();
    Choices.TargetFolder = Text;
    EXPECT_FALSE(InstallBrisko(Choices, Edges));
    EXPECT_EQ(Events, std::vector<std::string>{"message: Please choose a folder to install Brisko to."});
    EXPECT_FALSE(RecordedFolder());
    EXPECT_FALSE(FileExists(ShellFolder("Desktop") + "\\Brisko.lnk"));
  }
}

TEST_F(InstallTest, AFolderWithoutTrailingBackslashGetsOneAdded) {
  const std::string Folder = ScratchRoot + "NoSlash";
  Choices.TargetFolder = Folder;
  ASSERT_TRUE(Installs());
  EXPECT_TRUE(FileExists(Folder + "\\BRISKO.EXE"));
  EXPECT_EQ(Ini(Folder, "System", "Web2cBINDir"), Folder + "\\");
  auto Link = ReadLink(ShellFolder("Desktop") + "\\Brisko.lnk");
  ASSERT_TRUE(Link);
  EXPECT_TRUE(SameText(Link->Path, Folder + "\\BRISKO.EXE")) << Link->Path;
  EXPECT_TRUE(SameText(Link->WorkingDirectory, Folder + "\\")) << Link->WorkingDirectory;
  EXPECT_EQ(RecordedFolder(), Folder + "\\");
}

TEST_F(InstallTest, AFontErrorEscapesWithThePanelHidden) {
  ScreenFonts([] { return std::vector<std::string>(); });
  char Old[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableA("windir", Old, MAX_PATH), 0u);
  const std::string NoWindows = ScratchRoot + "no windows";
  SetEnvironmentVariableA("windir", NoWindows.c_str());
  try {
    InstallBrisko(Choices, Edges);
    ADD_FAILURE() << "no error";
  } catch (const EFCreateError& E) {
    EXPECT_EQ(E.Message(), "Cannot create file " + NoWindows + "\\FONTS\\TAHOMA.TTF");
    EXPECT_EQ(Events, (std::vector<std::string>{"show panel", "hide panel"}));
  }
  SetEnvironmentVariableA("windir", Old);
  for (const char* Font : FontFiles) EXPECT_FALSE(FileExists(Target() + Font)) << Font;
  EXPECT_TRUE(FileExists(Target() + "TALMOR.INI"));
  EXPECT_FALSE(FileExists(ShellFolder("Desktop") + "\\Brisko.lnk"));
  EXPECT_FALSE(RecordedFolder());
}

// A window whose thread has stopped taking messages must not stop the installation.
TEST_F(InstallTest, AHungWindowDoesNotHoldUpTheFontAnnouncement) {
  const std::string Font = ScratchRoot + "font.ttf";
  ASSERT_TRUE(CopyFileA(TestFont().c_str(), Font.c_str(), FALSE));
  TKernelHandle Created(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  TKernelHandle Release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  std::thread Hung([&] {
    HWND Wnd = CreateWindowExA(0, "STATIC", "hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetEvent(Created.Get());
    WaitForSingleObject(Release.Get(), INFINITE);
    DestroyWindow(Wnd);
  });
  WaitForSingleObject(Created.Get(), INFINITE);
  auto Done = std::async(std::launch::async, [&] {
    InstallFont(Font, FontsFolder() + "TAHOMA.TTF", "Tahoma (TrueType)");
  });
  // Waiting for the hung window would never end; anything finite is a pass, and the
  // bound is wide enough for a machine with every core busy.
  const bool Returned = Done.wait_for(std::chrono::seconds(120)) == std::future_status::ready;
  SetEvent(Release.Get());
  Hung.join();
  EXPECT_TRUE(Returned);
  Done.get();
  EXPECT_TRUE(FileExists(FontsFolder() + "TAHOMA.TTF"));
}
