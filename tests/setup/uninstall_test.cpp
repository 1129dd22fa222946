// The uninstallation run on real folders of the Wine C: drive, with the real
// registry of the build's prefix; the question and message boxes are answered
// by a recording host.
#include "uninstall_support.h"

#include "setup/ShellFolders.h"

#include "classes/strings.h"
#include "gui/handles.h"

#include <shlobj.h>

#include <fstream>
#include <iterator>

using namespace uninstall_test;

namespace {

// Points the three shell folders the run uses at scratch folders, and puts the
// prefix's own values back afterwards.
class TShellFoldersAt {
public:
  TShellFoldersAt(const std::string& Desktop, const std::string& StartMenu, const std::string& Programs) {
    TRegistry Registry(HKEY_CURRENT_USER);
    EXPECT_TRUE(Registry.OpenKey(ShellFoldersKey, true));
    for (auto [Name, Value] : {std::pair{"Desktop", Desktop}, std::pair{"Start Menu", StartMenu},
                               std::pair{"Programs", Programs}}) {
      Saved_.push_back({Name, Registry.ValueExists(Name), Registry.ReadString(Name)});
      Registry.WriteString(Name, Value);
    }
  }
  ~TShellFoldersAt() {
    TRegistry Registry(HKEY_CURRENT_USER);
    Registry.OpenKey(ShellFoldersKey, true);
    for (const TSaved& S : Saved_) {
      if (S.Existed) Registry.WriteString(S.Name, S.Value);
      else Registry.DeleteValue(S.Name);
    }
  }
  TShellFoldersAt(const TShellFoldersAt&) = delete;
  TShellFoldersAt& operator=(const TShellFoldersAt&) = delete;

private:
  struct TSaved {
    std::string Name;
    bool Existed;
    std::string Value;
  };
  std::vector<TSaved> Saved_;
};

// A real shell link, saved as the installation run saves one.
void SaveShellLink(const std::string& LinkFile, const std::string& Target) {
  TComPtr<IShellLinkA> Link;
  ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                             Link.PPV()),
            S_OK);
  Link->SetPath(Target.c_str());
  TComPtr<IPersistFile> File;
  ASSERT_EQ(Link.QueryInterface(IID_IPersistFile, File), S_OK);
  ASSERT_EQ(File->Save(Wide(LinkFile).c_str(), FALSE), S_OK);
}

// A product tree with files at every level and everything a careless walk misses.
std::vector<std::string> MakeProductTree(const std::string& Root) {
  std::vector<std::string> Files = {
      "BRISKO.EXE", "TALMOR.INI", "help\\index.htm", "help\\img\\a.gif", "help\\img\\b.gif",
      "lang\\Fran\xE7" "ais\\texts.lng", "lang\\Deutsch\\texts.lng", ".cache\\x.tmp",
      ".cache\\deep\\y.tmp", "empty-after\\z.txt", "Mixed Case\\Sub Folder\\w.txt"};
  for (const char* Folder : {"help", "help\\img", "lang", "lang\\Fran\xE7" "ais", "lang\\Deutsch",
                             ".cache", ".cache\\deep", "empty-after", "Mixed Case",
                             "Mixed Case\\Sub Folder", "empty"})
    MakeFolder(Root + Folder);
  for (const std::string& F : Files) WriteFile(Root + F);
  WriteFile(Root + "hidden.dat", "h", FILE_ATTRIBUTE_HIDDEN);
  WriteFile(Root + "help\\system.dat", "s", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
  Files.push_back("hidden.dat");
  Files.push_back("help\\system.dat");
  return Files;
}

class Uninstall : public testing::Test {
protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }

  TNoDialogs NoDialogs_;
  TScratch Scratch_;
};

}  // namespace

TEST_F(Uninstall, YesRemovesTheWholeTreeShortcutsAndKey) {
  std::string Install = Scratch_ / "Brisko\\";
  MakeFolder(Install);
  MakeProductTree(Install);
  for (const char* F : {"desk", "start", "start\\programs"}) MakeFolder(Scratch_ / F);
  SaveShellLink(Scratch_ / "desk\\Brisko.lnk", Install + "BRISKO.EXE");
  // After the save: the shell rewrites its folder values when it looks one up.
  TShellFoldersAt Shell(Scratch_ / "desk", Scratch_ / "start", Scratch_ / "start\\programs");
  WriteFile(Scratch_ / "start\\Brisko.lnk");
  WriteFile(Scratch_ / "start\\programs\\Brisko.lnk");
  WriteFile(Scratch_ / "desk\\Other.lnk");
  TRecordedFolder Recorded(Install);

  TRunWatch Host;
  EXPECT_EQ(RunUninstall(), "You have succesfully removed Brisko");

  ASSERT_EQ(Host.Questions().size(), 1u);
  EXPECT_EQ(Host.Questions()[0],
            "Do you really want to delete all files and subdirs from\rthe directory " + Install);
  EXPECT_TRUE(Host.Messages().empty());
  EXPECT_FALSE(Exists(Install));
  EXPECT_FALSE(ProductKeyExists());
  EXPECT_FALSE(Exists(Scratch_ / "desk\\Brisko.lnk"));
  EXPECT_FALSE(Exists(Scratch_ / "start\\Brisko.lnk"));
  EXPECT_FALSE(Exists(Scratch_ / "start\\programs\\Brisko.lnk"));
  EXPECT_TRUE(Exists(Scratch_ / "desk\\Other.lnk"));
  EXPECT_TRUE(Exists(Scratch_ / "start\\programs"));  // shell folders are left alone
  // The hourglass while the walk handles messages, the default cursor after it.
  EXPECT_EQ(Host.CursorsSeen, std::vector<TCursor>{crHourGlass});
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(Uninstall, TheWalkCollectsEveryFolderSortedSoParentsComeFirst) {
  std::string Install = Scratch_ / "Brisko\\";
  MakeFolder(Install);
  MakeProductTree(Install);
  TStringList Removed;
  Removed.SetSorted(true);
  Removed.Add(Install);  // already known, in another case: no second entry
  Removed.Add(AnsiUpperCase(Install) + "HELP\\");
  // The application handles its messages after the root's files, before any subfolder's.
  bool RootDoneFirst = false;
  TWhenMessagesAreHandled Probe(
      [&] { RootDoneFirst = !Exists(Install + "BRISKO.EXE") && Exists(Install + "help\\index.htm"); });

  EXPECT_TRUE(DeleteTree(Install, "*.*", true, Removed));

  EXPECT_EQ(Probe.Handled, 1);
  EXPECT_TRUE(RootDoneFirst);
  ASSERT_EQ(Removed.Count(), 12);
  EXPECT_TRUE(SameText(Removed[0], Install));
  for (int I = 1; I < Removed.Count(); ++I) {
    EXPECT_LT(AnsiCompareText(Removed[I - 1], Removed[I]), 0) << Removed[I];
    EXPECT_EQ(Removed[I].back(), '\\');
  }
  EXPECT_NE(Removed.IndexOf(Install + ".cache\\deep\\"), -1);
  EXPECT_NE(Removed.IndexOf(Install + "empty\\"), -1);
  // Files are gone, folders wait for their removal from the deepest up.
  EXPECT_FALSE(Exists(Install + "help\\img\\a.gif"));
  EXPECT_FALSE(Exists(Install + ".cache\\deep\\y.tmp"));
  EXPECT_FALSE(Exists(Install + "help\\system.dat"));
  EXPECT_TRUE(Exists(Install + ".cache\\deep"));
  RemoveFolders(Removed);
  EXPECT_FALSE(Exists(Install));
}

TEST_F(Uninstall, AFolderRecordedWithoutBackslashAndAnEmptyOneAreRemoved) {
  for (bool Empty : {false, true}) {
    std::string Install = Scratch_ / (Empty ? "Empty" : "NoSlash");
    MakeFolder(Install);
    if (!Empty) MakeProductTree(Install + "\\");
    TRecordedFolder Recorded(Install);
    TRunWatch Host;
    EXPECT_EQ(RunUninstall(), "You have succesfully removed Brisko") << Install;
    ASSERT_EQ(Host.Questions().size(), 1u);
    EXPECT_EQ(Host.Questions()[0],
              "Do you really want to delete all files and subdirs from\rthe directory " + Install);
    EXPECT_FALSE(Exists(Install));
  }
}

TEST_F(Uninstall, ReadOnlyAndLockedFilesStayWithTheirFoldersAndThePageSaysSo) {
  std::string Install = Scratch_ / "Brisko\\";
  for (const char* F : {"", "keep", "keep\\inner", "other", "locked"}) MakeFolder(Install + F);
  WriteFile(Install + "a.txt");
  WriteFile(Install + "keep\\ro.txt", "r", FILE_ATTRIBUTE_READONLY);
  WriteFile(Install + "keep\\inner\\x.txt");
  WriteFile(Install + "other\\y.txt");
  WriteFile(Install + "locked\\open.txt");
  TRecordedFolder Recorded(Install);
  TKernelHandle Open(CreateFileA((Install + "locked\\open.txt").c_str(), GENERIC_READ,
                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(Open);

  TRunWatch Host;
  EXPECT_EQ(RunUninstall(), "Brisko was removed, but some files remain in\r" + Install);

  EXPECT_TRUE(Exists(Install + "keep\\ro.txt"));
  EXPECT_EQ(GetFileAttributesA((Install + "keep\\ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));  // no attribute is changed
  EXPECT_TRUE(Exists(Install + "locked\\open.txt"));
  EXPECT_FALSE(Exists(Install + "a.txt"));
  EXPECT_FALSE(Exists(Install + "keep\\inner"));
  EXPECT_FALSE(Exists(Install + "other"));
  Open.Close();
  SetFileAttributesA((Install + "keep\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Uninstall, NoKeepsEveryFileButShortcutsAndKeyAreGone) {
  std::string Install = Scratch_ / "Brisko\\";
  MakeFolder(Install);
  std::vector<std::string> Files = MakeProductTree(Install);
  MakeFolder(Scratch_ / "desk");
  TShellFoldersAt Shell(Scratch_ / "desk", Scratch_ / "missing-start", Scratch_ / "missing-programs");
  WriteFile(Scratch_ / "desk\\Brisko.lnk");
  TRecordedFolder Recorded(Install);

  TRunWatch Host(false);
  EXPECT_EQ(RunUninstall(), "You have succesfully removed Brisko");

  for (const std::string& F : Files) EXPECT_TRUE(Exists(Install + F)) << F;
  EXPECT_FALSE(Exists(Scratch_ / "desk\\Brisko.lnk"));
  EXPECT_FALSE(Exists(Scratch_ / "missing-start"));  // a removal creates no folder
  EXPECT_FALSE(ProductKeyExists());
  EXPECT_TRUE(Host.CursorsSeen.empty()) << "no walk, so neither the hourglass nor the message handling";
}

TEST_F(Uninstall, DeleteShortcutLooksWhereTheKindSaysAndNowhereElse) {
  MakeFolder(Scratch_ / "links");
  WriteFile(Scratch_ / "links\\Brisko.lnk");
  WriteFile(Scratch_ / "links\\Keep.lnk");
  // Kind 0: the folder part of the link name.
  DeleteShortcut("C:\\whatever\\BRISKO.EXE", "-x", Scratch_ / "links\\Brisko.lnk", sfkLinkFolder);
  EXPECT_FALSE(Exists(Scratch_ / "links\\Brisko.lnk"));
  EXPECT_TRUE(Exists(Scratch_ / "links\\Keep.lnk"));
  DeleteShortcut("", "", Scratch_ / "links\\Brisko.lnk", sfkLinkFolder);  // already gone: silent

  // A kind without a folder must not fall back to the root of the current drive.
  char Current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, Current);
  SetCurrentDirectoryA(Scratch_.Root().c_str());
  WriteFile("C:\\Brisko.lnk");
  DeleteShortcut("", "", "Brisko.lnk", 12);
  DeleteShortcut("", "", "Brisko.lnk", sfkLinkFolder);
  {
    TShellFoldersAt Shell("", "", "");
    DeleteShortcut("", "", "Brisko.lnk", sfkDesktop);
  }
  EXPECT_TRUE(Exists("C:\\Brisko.lnk"));
  DeleteFileA("C:\\Brisko.lnk");
  SetCurrentDirectoryA(Current);
}

TEST_F(Uninstall, AShellFolderThatIsALinkStillLosesItsShortcut) {
  // Wine's Desktop is a Unix link to the home folder; the shortcut lies behind it.
  MakeFolder(Scratch_ / "home");
  ASSERT_TRUE(MakeLink(Scratch_ / "Desktop", Scratch_ / "home"));
  WriteFile(Scratch_ / "home\\Brisko.lnk");
  WriteFile(Scratch_ / "home\\notes.txt");
  TShellFoldersAt Shell(Scratch_ / "Desktop", Scratch_ / "none", Scratch_ / "none");
  DeleteShortcut("", "", "Brisko.lnk", sfkDesktop);
  EXPECT_FALSE(Exists(Scratch_ / "home\\Brisko.lnk"));
  EXPECT_TRUE(Exists(Scratch_ / "home\\notes.txt"));
}

TEST_F(Uninstall, LinksInsideTheFolderAreNotFollowed) {
  std::string Install = Scratch_ / "Brisko\\";
  std::string Outside = Scratch_ / "Outside\\";
  for (const char* F : {"Brisko\\", "Brisko\\sub\\", "Outside\\", "Outside\\deep\\", "Empty\\"})
    MakeFolder(Scratch_ / F);
  WriteFile(Install + "a.txt");
  WriteFile(Install + "sub\\b.txt");
  WriteFile(Outside + "keep.txt");
  WriteFile(Outside + "deep\\keep2.txt");
  ASSERT_TRUE(MakeLink(Install + "sub\\to-outside", Outside));
  ASSERT_TRUE(MakeLink(Install + "to-empty", Scratch_ / "Empty"));
  ASSERT_TRUE(MakeLink(Install + "keep-link.txt", Outside + "keep.txt"));
  ASSERT_EQ(GetFileAttributesA((Install + "sub\\to-outside").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT,
            static_cast<DWORD>(FILE_ATTRIBUTE_REPARSE_POINT));
  TRecordedFolder Recorded(Install);

  TRunWatch Host;
  std::string Text = RunUninstall();

  EXPECT_TRUE(Exists(Outside + "keep.txt"));
  EXPECT_TRUE(Exists(Outside + "deep\\keep2.txt"));
  EXPECT_TRUE(Exists(Scratch_ / "Empty"));
  EXPECT_FALSE(Exists(Install + "a.txt"));
  EXPECT_FALSE(Exists(Install + "sub\\b.txt"));
  // Where the platform cannot remove a link without touching its target, the link
  // stays, and so does the folder around it; the page must not claim success then.
  bool LinksLeft = Exists(Install + "sub\\to-outside") || Exists(Install + "keep-link.txt");
  EXPECT_EQ(Text, LinksLeft ? "Brisko was removed, but some files remain in\r" + Install
                            : "You have succesfully removed Brisko");
  EXPECT_EQ(Exists(Install), LinksLeft);
}

TEST_F(Uninstall, AnInstallFolderThatIsALinkIsNotEntered) {
  MakeFolder(Scratch_ / "Real");
  WriteFile(Scratch_ / "Real\\data.txt");
  ASSERT_TRUE(MakeLink(Scratch_ / "Brisko", Scratch_ / "Real"));
  TRecordedFolder Recorded(Scratch_ / "Brisko\\");

  TRunWatch Host;
  EXPECT_EQ(RunUninstall(), "Brisko was removed, but some files remain in\r" + Scratch_ / "Brisko\\");
  EXPECT_TRUE(Host.Questions().empty());
  ASSERT_EQ(Host.Messages().size(), 1u);
  EXPECT_EQ(Host.Messages()[0], "The recorded folder\r" + Scratch_ / "Brisko\\" +
                                  "\ris not a product folder and is left as it is.");
  EXPECT_TRUE(Exists(Scratch_ / "Real\\data.txt"));

  TStringList Removed;
  Removed.SetSorted(true);
  EXPECT_TRUE(DeleteTree(Scratch_ / "Brisko\\", "*.*", true, Removed));
  EXPECT_TRUE(Exists(Scratch_ / "Real\\data.txt"));
  EXPECT_EQ(Removed.Count(), 0);
}

TEST_F(Uninstall, AnUnsafeRecordedFolderIsNotOfferedButShortcutsAndKeyGo) {
  char Buffer[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableA("USERPROFILE", Buffer, MAX_PATH), 0u);
  std::string Profile = Buffer;
  std::string Marker = AddBackslash(Profile) + "instbrisko-uninstall-marker.txt";
  WriteFile(Marker);
  MakeFolder(Scratch_ / "desk");
  WriteFile(Scratch_ / "desk\\Brisko.lnk");
  TShellFoldersAt Shell(Scratch_ / "desk", Scratch_ / "none", Scratch_ / "none");
  TRecordedFolder Recorded(Profile);

  TRunWatch Host(false);  // should the check ever fail, still delete nothing
  EXPECT_EQ(RunUninstall(), "Brisko was removed, but some files remain in\r" + Profile);
  EXPECT_TRUE(Host.Questions().empty());
  ASSERT_EQ(Host.Messages().size(), 1u);
  EXPECT_EQ(Host.Messages()[0],
            "The recorded folder\r" + Profile + "\ris not a product folder and is left as it is.");
  EXPECT_TRUE(Exists(Marker));
  EXPECT_FALSE(Exists(Scratch_ / "desk\\Brisko.lnk"));
  EXPECT_FALSE(ProductKeyExists());
  DeleteFileA(Marker.c_str());
}

// A folder deleted by hand, or one never made where the record says: nothing
// remains, so the page says the product is removed; only a folder that may be
// deleted is asked about.
TEST_F(Uninstall, ARecordedFolderThatIsNotThereLeavesNothingBehind) {
  char Windows[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableA("windir", Windows, MAX_PATH), 0u);
  const struct {
    std::string Folder;
    size_t Questions;
  } Cases[] = {{Scratch_ / "Deleted by hand\\", 1}, {std::string(Windows) + "\\Brisko never made\\", 0}};
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Folder);
    ASSERT_FALSE(Exists(Case.Folder));
    TRecordedFolder Recorded(Case.Folder);
    TRunWatch Host;
    EXPECT_EQ(RunUninstall(), "You have succesfully removed Brisko");
    EXPECT_EQ(Host.Questions().size(), Case.Questions);
    EXPECT_TRUE(Host.Messages().empty());
    EXPECT_FALSE(Exists(Case.Folder));
    EXPECT_FALSE(ProductKeyExists());
  }
}

TEST_F(Uninstall, TheWalkStopsWhenTheApplicationTerminatesAndEmptyFoldersStillGo) {
  std::string Install = Scratch_ / "Brisko\\";
  for (const char* F : {"", "a", "b", "c"}) MakeFolder(Install + F);
  WriteFile(Install + "root.txt");
  for (const char* F : {"a\\1.txt", "b\\2.txt", "c\\3.txt"}) WriteFile(Install + F);
  TRecordedFolder Recorded(Install);

  // Exit setup while the walk handles the messages of the install folder: its files
  // are gone, and no subfolder is entered any more.
  TTerminationUndone Undone;
  TRunWatch Host;
  TWhenMessagesAreHandled ExitSetup([] { Application->Terminate(); });
  EXPECT_EQ(RunUninstall(), "Brisko was removed, but some files remain in\r" + Install);
  EXPECT_EQ(ExitSetup.Handled, 1);
  EXPECT_FALSE(Exists(Install + "root.txt"));
  for (const char* F : {"a\\1.txt", "b\\2.txt", "c\\3.txt"}) EXPECT_TRUE(Exists(Install + F)) << F;
  EXPECT_EQ(Host.CursorsSeen, std::vector<TCursor>{crHourGlass});
  EXPECT_EQ(Screen->Cursor(), crDefault);

  // What the walk collected before it stopped is still removed when empty.
  std::string Flat = Scratch_ / "Flat\\";
  MakeFolder(Flat);
  WriteFile(Flat + "x.txt");
  TStringList Removed;
  Removed.SetSorted(true);
  EXPECT_FALSE(DeleteTree(Flat, "*.*", true, Removed));
  ASSERT_EQ(Removed.Count(), 1);
  RemoveFolders(Removed);
  EXPECT_FALSE(Exists(Flat));
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST(ShellFolders, KindsNameTheirValuesAndKindZeroTheLinkFolder) {
  EXPECT_EQ(ShellFolderValueName(sfkDesktop), "Desktop");
  EXPECT_EQ(ShellFolderValueName(sfkStartMenu), "Start Menu");
  EXPECT_EQ(ShellFolderValueName(11), "Templates");
  for (ShellFolderKind K : {-1, 0, 12}) EXPECT_EQ(ShellFolderValueName(K), "") << K;
  EXPECT_EQ(ShortcutFileName("C:\\a\\Brisko.lnk", sfkLinkFolder), "C:\\a\\Brisko.lnk");
  EXPECT_EQ(ShortcutFolder("Brisko.lnk", sfkLinkFolder), "");
  TRegistry Registry(HKEY_CURRENT_USER);
  ASSERT_TRUE(Registry.OpenKeyReadOnly(ShellFoldersKey));
  EXPECT_EQ(ShellFolderPath(sfkPrograms), Registry.ReadString("Programs"));
}

// ---------------------------------------------------------------------------
// Nothing recorded: the run ends the process, so it runs in a child process.

namespace {
const char* const ChildVariable = "INSTBRISKO_UNINSTALL_CHILD";

std::string ReadAll(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}
}  // namespace

// Runs only inside the child: the real host, the message caught by the dialog seam.
TEST(UninstallChild, NothingRecordedShowsTheMessageAndStops) {
  char Out[MAX_PATH];
  if (GetEnvironmentVariableA(ChildVariable, Out, MAX_PATH) == 0) GTEST_SKIP() << "child only";
  std::string OutFile = Out;
  SetDialogHandler([OutFile](const TDialogRequest& R) {
    std::ofstream(OutFile, std::ios::binary | std::ios::app) << (R.Simple ? "simple:" : "dialog:") << R.Text;
    return mrOk;
  });
  RunUninstall();
  ADD_FAILURE() << "the run came back";
  ExitProcess(3);
}

TEST_F(Uninstall, NothingRecordedShowsTheMessageAndEndsWithExitCodeZero) {
  std::string OutFile = Scratch_ / "child.txt";
  SetEnvironmentVariableA(ChildVariable, OutFile.c_str());
  std::string Self = ExecutablePath();
  enum { MissingKey, NoValue, EmptyValue };
  for (int Case : {MissingKey, NoValue, EmptyValue}) {
    TRegistry Registry(HKEY_LOCAL_MACHINE);
    Registry.DeleteKey(ProductKey);
    if (Case != MissingKey) {
      ASSERT_TRUE(Registry.OpenKey("Software\\Brisko\\InstallTO", true));
    }
    if (Case == EmptyValue) Registry.WriteString("", "");
    Registry.CloseKey();
    DeleteFileA(OutFile.c_str());

    int Code = uninstall_test::Run("\"" + Self + "\" --gtest_filter=UninstallChild.* --gtest_brief=1");
    EXPECT_EQ(Code, 0) << "case " << Case;
    EXPECT_EQ(ReadAll(OutFile),
              "simple:You have never installed Brisko!\rSo we do not have to UnInstall it.")
        << "case " << Case;
  }
  SetEnvironmentVariableA(ChildVariable, nullptr);
  TRegistry(HKEY_LOCAL_MACHINE).DeleteKey(ProductKey);
}
