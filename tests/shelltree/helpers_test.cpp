// The path, identifier-list and mask helpers, as tables; NormalizePath on real
// folders of the Wine C: drive.
#include "shelltree/ShellTree_helpers.h"

#include "shelltree_testing.h"

#include <vector>

namespace {

TEST(ShellHelpers, PathPartsAndSlashes) {
  struct {
    const char *Path, *Root, *Added, *Removed;
  } Cases[] = {
      {"C:\\dir", "C:", "C:\\dir\\", "C:\\dir"},
      {"\\\\srv\\share\\x", "\\\\srv\\", "\\\\srv\\share\\x\\", "\\\\srv\\share\\x"},
      {"\\\\srv", "\\\\srv", "\\\\srv\\", "\\\\srv"},
      {"dir\\x", "", "dir\\x\\", "dir\\x"},
      {"", "", "", ""},
      {"C", "", "C", "C"},
      {"C:", "C:", "C:\\", "C:"},
      {"C:\\", "C:", "C:\\", "C:"},
      {"\\", "", "\\", "\\"},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(DriveRoot(C.Path), C.Root) << C.Path;
    EXPECT_EQ(AddSlash(C.Path), C.Added) << C.Path;
    EXPECT_EQ(RemoveSlash(C.Path), C.Removed) << C.Path;
  }
}

TEST(ShellHelpers, NormalizePathCutsBackToAnExistingFolder) {
  shelltest::TScratch Scratch("norm");
  const std::string R = Scratch.Root();
  Scratch.Folder("a\\b");
  char Windows[MAX_PATH];
  GetWindowsDirectoryA(Windows, MAX_PATH);
  const std::string Win = Windows;
  struct {
    std::string Path, Expected;
  } Cases[] = {
      {"", ""},
      {"dir\\x", ""},
      {Win + "\\", Win + "\\"},
      {Win + "\\NoSuch\\Deeper", Win + "\\"},
      {"C:\\NoSuchAtAll", "C:\\"},
      {R + "\\a\\b", R + "\\a\\b"},
      {R + "\\a\\b\\", R + "\\a\\b\\"},
      {R + "\\a\\nothing\\more\\", R + "\\a\\"},
      {"Q:\\not\\ready", ""},  // a drive Wine does not map
  };
  for (const auto& C : Cases) EXPECT_EQ(NormalizePath(C.Path), C.Expected) << C.Path;

  // "C:a" is "a" in drive C's own current folder, even while the process works on another drive.
  // (A drive's own current folder lives in the "=C:" variable, as a command shell keeps it.)
  ASSERT_TRUE(SetEnvironmentVariableA("=C:", R.c_str()));
  ASSERT_TRUE(SetCurrentDirectoryA("T:\\"));  // the build's drive
  EXPECT_EQ(NormalizePath("C:a\\gone"), R + "\\a\\");
  SetCurrentDirectoryA("C:\\");
  SetEnvironmentVariableA("=C:", nullptr);
}

TEST(ShellHelpers, MatchMaskWithBacktracking) {
  struct {
    const char *Name, *Mask;
    bool Match;
  } Cases[] = {
      {"", "*", true},          {"README", "*.*", false},   {"a.b", "*.*", true},
      {"ABC", "abc", true},     {"ab", "a?", true},         {"a", "a?", false},
      {"ab", "a*b", true},      {"axxb", "a*b", true},      {"banana", "*a", true},
      {"a.txt.txt", "*.txt", true}, {"a.txt.doc", "*.txt", false}, {"x", "", false},
      {"Unit1.PAS", "*.pas", true}, {"abcabd", "*abd", true}, {"ab", "a*?b", false},
  };
  for (const auto& C : Cases) EXPECT_EQ(MatchMask(C.Name, C.Mask), C.Match) << C.Name << " / " << C.Mask;

  TStringList Masks;
  EXPECT_TRUE(MatchAnyMask("anything", Masks));
  Masks.Add("*.pas");
  Masks.Add("*.dfm");
  EXPECT_TRUE(MatchAnyMask("x.DFM", Masks));
  EXPECT_FALSE(MatchAnyMask("x.txt", Masks));
}

// A list of Count items of Size bytes each (the last byte varies), with its terminator.
std::vector<BYTE> MakeList(int Count, BYTE Size, BYTE Seed = 0) {
  std::vector<BYTE> L;
  for (int I = 0; I < Count; ++I) {
    L.push_back(Size);
    L.push_back(0);
    for (int B = 2; B < Size; ++B) L.push_back(static_cast<BYTE>(Seed + I + B));
  }
  L.push_back(0);
  L.push_back(0);
  return L;
}

TEST(ShellHelpers, IdentifierLists) {
  TComPtr<IMalloc> Allocator;
  ASSERT_EQ(SHGetMalloc(&Allocator), S_OK);
  auto Id = [](std::vector<BYTE>& L) { return reinterpret_cast<LPITEMIDLIST>(L.data()); };

  auto Long = MakeList(250, 4);
  EXPECT_EQ(IdListCount(Id(Long)), 200);
  EXPECT_EQ(IdListSize(Id(Long)), 1000u);
  EXPECT_EQ(IdListCount(nullptr), 0);
  EXPECT_EQ(IdListSize(nullptr), 0u);

  auto Empty = MakeList(0, 0);
  LPITEMIDLIST Copy = nullptr;
  CopyIdList(Allocator.Get(), Id(Empty), Copy);
  ASSERT_NE(Copy, nullptr);
  EXPECT_NE(Copy, Id(Empty));
  EXPECT_EQ(Copy->mkid.cb, 0);
  EXPECT_EQ(Allocator->GetSize(Copy), 2u);
  LPITEMIDLIST Untouched = Copy;
  CopyIdList(Allocator.Get(), nullptr, Untouched);
  EXPECT_EQ(Untouched, Copy);

  auto Parent = MakeList(2, 6), Child = MakeList(3, 5, 40);
  TShellIdList Joined(Allocator.Get(), JoinIdList(Allocator.Get(), Id(Parent), Id(Child)));
  EXPECT_EQ(IdListCount(Joined.Get()), 3);
  EXPECT_TRUE(SameItem(2, Joined.Get(), Id(Child)));
  EXPECT_FALSE(SameItem(1, Joined.Get(), Id(Child)));
  EXPECT_FALSE(SameItem(3, Joined.Get(), Id(Child)));
  TShellIdList JustParent(Allocator.Get(), JoinIdList(Allocator.Get(), Id(Parent), Id(Empty)));
  EXPECT_EQ(IdListSize(JustParent.Get()), 12u);

  // Lists the allocator does not own are left alone, and the pointer cleared all the same.
  LPITEMIDLIST Foreign = Id(Parent);
  FreeIdList(Allocator.Get(), Foreign);
  EXPECT_EQ(Foreign, nullptr);
  FreeIdList(Allocator.Get(), Copy);
  EXPECT_EQ(Copy, nullptr);
}

TEST(ShellHelpers, PathsAndNamesThroughTheShell) {
  shelltest::InitGui();
  shelltest::TScratch Scratch("names");
  const std::string Folder = Scratch.Folder("Some Folder");
  TComPtr<IShellFolder> Desktop;
  ASSERT_EQ(SHGetDesktopFolder(&Desktop), S_OK);
  TComPtr<IMalloc> Allocator;
  SHGetMalloc(&Allocator);
  std::wstring Wide(Folder.begin(), Folder.end());
  TShellIdList List(Allocator.Get());
  ULONG Eaten = 0;
  ASSERT_EQ(Desktop->ParseDisplayName(nullptr, nullptr, Wide.data(), &Eaten, List.Receive(), nullptr), S_OK);
  EXPECT_EQ(PathFromIdList(List.Get()), Folder);
  EXPECT_EQ(DisplayNameOf(Desktop.Get(), List.Get(), SHGDN_FORPARSING), Folder);

  TShellIdList Drives(Allocator.Get());
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, Drives.Receive()), S_OK);
  EXPECT_EQ(PathFromIdList(Drives.Get()), "");
  EXPECT_FALSE(DisplayNameOf(Desktop.Get(), Drives.Get(), SHGDN_NORMAL).empty());
  EXPECT_EQ(FolderKindToCsidl(PIDL_DRIVES), CSIDL_DRIVES);
  EXPECT_EQ(FolderKindToCsidl(PIDL_USERDEFINED), -1);
  EXPECT_EQ(FolderKindToCsidl(PIDL_DRIVES | 0x80), CSIDL_DRIVES);
  EXPECT_EQ(FolderKindToCsidl(40), 0);
  EXPECT_EQ(OptionsToFlags(TVisOptions{TF_FOLDERS, TF_HIDDEN}), DWORD(SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN));
}

}  // namespace
