// The routines the installation run is made of, one at a time.
#include "install_fixture.h"

#include <thread>

using namespace installtest;

namespace {

std::string Pattern(size_t Size) {
  std::string S(Size, '\0');
  for (size_t I = 0; I < Size; ++I) S[I] = static_cast<char>((I * 7919 + I / 8192) & 0xFF);
  return S;
}

const char* const TestKey = "Software\\instbrisko tests\\routines";

}  // namespace

using InstallRoutinesTest = InstallTest;

TEST_F(InstallRoutinesTest, CopyFileToCopiesAnySizeAndReplacesTheDestination) {
  // Around the chunk size: a last read of exactly 8192 bytes is followed by an empty one.
  for (size_t Size : {size_t(0), size_t(1), size_t(8191), size_t(8192), size_t(8193), size_t(3 * 8192),
                      size_t(100000)}) {
    const std::string Source = ScratchRoot + "source.bin", Destination = ScratchRoot + "copy.bin";
    WriteAll(Source, Pattern(Size));
    WriteAll(Destination, std::string(200000, 'x'));
    CopyFileTo(Source, Destination);
    EXPECT_EQ(ReadAll(Destination), Pattern(Size)) << Size;
  }
}

TEST_F(InstallRoutinesTest, CopyFileToNamesTheFileItCannotOpenOrCreate) {
  const std::string Missing = ScratchRoot + "no such font.ttf";
  try {
    CopyFileTo(Missing, ScratchRoot + "copy.ttf");
    ADD_FAILURE() << "no error";
  } catch (const EFOpenError& E) {
    EXPECT_EQ(E.Message(), "Cannot open file " + Missing);
  }
  EXPECT_FALSE(FileExists(ScratchRoot + "copy.ttf"));

  // The destination is named in full, also when it was given relative to the current folder.
  const std::string Source = ScratchRoot + "font.ttf";
  WriteAll(Source, "font");
  char Old[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, Old);
  ASSERT_TRUE(SetCurrentDirectoryA(ScratchRoot.c_str()));
  try {
    CopyFileTo(Source, "no folder\\font.ttf");
    ADD_FAILURE() << "no error";
  } catch (const EFCreateError& E) {
    EXPECT_EQ(E.Message(), "Cannot create file " + ScratchRoot + "no folder\\font.ttf");
  }
  SetCurrentDirectoryA(Old);
}

TEST_F(InstallRoutinesTest, RunAndWaitGivesTheExitCodeOrNothingForAFailedStart) {
  // unzip.exe says 10 to a command line it cannot use, 9 to a missing archive.
  EXPECT_EQ(RunAndWait("\"" + DistFolder() + "unzip.exe\" -x"), 10u);
  EXPECT_EQ(RunAndWait("\"" + DistFolder() + "unzip.exe\" -d \"" + ScratchRoot + "out\" \"" + ScratchRoot +
                       "missing.zip\""),
            9u);
  const std::string Line = ScratchRoot + "no such program.exe -o";
  EXPECT_FALSE(RunAndWait(Line));
  EXPECT_EQ(StartFailedText(Line), "Executing \r" + Line + "\r failed!");
  EXPECT_TRUE(Dialogs.Requests.empty()) << "RunAndWait tells nobody; its caller does";
}

TEST_F(InstallRoutinesTest, KeyExistsAndWriteRegString) {
  DeleteKey(HKEY_CURRENT_USER, "Software\\instbrisko tests");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, TestKey));
  // KeyExists only looks: the key is still missing afterwards.
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, TestKey));

  WriteRegString(HKEY_CURRENT_USER, TestKey, "", "C:\\Brisko\\");
  WriteRegString(HKEY_CURRENT_USER, TestKey, "Named", "value");
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, TestKey));
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, TestKey, ""), "C:\\Brisko\\");
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, TestKey, "Named"), "value");
  // Key names are compared without case.
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\INSTBRISKO TESTS\\Routines"));
  // A key that cannot be made is no error.
  WriteRegString(HKEY_CURRENT_USER, std::string(300, 'k') + "\\x", "", "lost");
  DeleteKey(HKEY_CURRENT_USER, "Software\\instbrisko tests");
}

TEST_F(InstallRoutinesTest, CreateShortcutByKind) {
  const std::string Target = ScratchRoot + "product\\BRISKO.EXE";
  MakeFolder(ScratchRoot + "product");
  WriteAll(Target, "MZ");

  // Kind 0: the link name carries its own folder.
  const std::string Links = ScratchRoot + "links\\";
  MakeFolder(Links);
  EXPECT_TRUE(CreateShortcut(Target, "-demo", Links + "Own folder.lnk", 0));
  auto Link = ReadLink(Links + "Own folder.lnk");
  ASSERT_TRUE(Link);
  EXPECT_TRUE(SameText(Link->Path, Target)) << Link->Path;
  EXPECT_TRUE(SameText(Link->WorkingDirectory, ScratchRoot + "product\\")) << Link->WorkingDirectory;
  EXPECT_EQ(Link->Arguments, "-demo");

  // Kind 1: only the file-name part of the link name counts.
  EXPECT_TRUE(CreateShortcut(Target, "", Links + "Brisko.lnk", 1));
  EXPECT_TRUE(ReadLink(ShellFolder("Desktop") + "\\Brisko.lnk"));

  // No folder for the kind: nothing is saved anywhere.
  EXPECT_FALSE(CreateShortcut(Target, "", "Stray.lnk", 12));
  EXPECT_FALSE(CreateShortcut(Target, "", "Stray.lnk", 0));
  EXPECT_FALSE(FileExists("C:\\Stray.lnk"));
  EXPECT_FALSE(FileExists("\\Stray.lnk"));
}

TEST_F(InstallRoutinesTest, CreateShortcutWithoutComIsAnError) {
  bool Raised = false;
  std::thread([&] {
    try {
      CreateShortcut("C:\\BRISKO.EXE", "", "Brisko.lnk", 1);
    } catch (const EOSError& E) {
      Raised = E.Message().find("shell link") != std::string::npos;
    }
  }).join();
  EXPECT_TRUE(Raised);
}
