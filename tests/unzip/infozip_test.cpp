// unzip.exe against archives made by the native Info-ZIP zip (tests/unzip/make_fixtures.sh)
// and against the product archives of the build.
#include <gtest/gtest.h>

#include "testutil.h"

using namespace testutil;

namespace {

std::string Fixture(const std::string& Name) { return FromBuildPath(UNZIP_FIXTURES) + "\\" + Name; }

RunResult Unzip(const std::string& Arguments, const std::string& Folder = "") {
  return Run(UnzipCommand() + " " + Arguments, Folder);
}

std::string Contents(const std::string& Utf8Path) {
  std::string bytes;
  EXPECT_TRUE(ReadBytes(Wide(Utf8Path), bytes)) << Utf8Path;
  return bytes;
}

// The small files of the fixture tree, by the Windows name each must get.
const std::pair<const char*, const char*> kTreeFiles[] = {
    {"empty.txt", ""},
    {"nested\\a\\b\\c\\deep.txt", "deep\n"},
    {"with blanks\\file name with blanks.txt", "blanks\n"},
    {"Caf\u00e9 Men\u00fc.txt", "menu\n"},              // 0xE9, 0xFC
    {"\u20ac price list.txt", "euro\n"},                // 0x80 is the euro sign in Windows-1252
    {"na\u00efve\\r\u00e9sum\u00e9.txt", "resume\n"},
    {"timed.txt", "timed\n"},
};

void ExpectTree(const std::string& Root) {
  for (const auto& [name, data] : kTreeFiles) EXPECT_EQ(Contents(Root + name), data) << name;
  for (const char* big : {"text.txt", "random.bin"})
    EXPECT_EQ(Contents(Root + big), Contents(Fixture("tree\\") + big)) << big;
  EXPECT_TRUE(ListTree(Wide(Root + "empty folder")).empty());
  EXPECT_TRUE(Exists(Wide(Root + "empty folder")));
  EXPECT_EQ(ListTree(Wide(Root)).size(), 16u);
}

const uint64_t kTimed = TicksFromUtc(2001, 2, 3, 4, 5, 6);

}  // namespace

TEST(InfoZip, ExtractsDeflatedAndStoredTrees) {
  for (const char* archive : {"tree.zip", "stored.zip"}) {
    SCOPED_TRACE(archive);
    ScratchFolder dir(std::string("tree_") + archive);
    const RunResult r = Unzip("-o -d \"" + dir / "out" + "\" \"" + Fixture(archive) + "\"");
    ASSERT_EQ(r.ExitCode, 0u) << r.Output;
    ExpectTree(dir / "out\\");
  }
}

TEST(InfoZip, KeepsFileAndFolderTimes) {
  ScratchFolder dir("times");
  ASSERT_EQ(Unzip("-d \"" + dir / "ut" + "\" \"" + Fixture("tree.zip") + "\"").ExitCode, 0u);
  EXPECT_EQ(ModifiedTicks(Wide(dir / "ut\\timed.txt")), kTimed);
  EXPECT_EQ(ModifiedTicks(Wide(dir / "ut\\empty folder")), kTimed);
  // Only the DOS time, which is local time on both sides.
  ASSERT_EQ(Unzip("-d \"" + dir / "dos" + "\" \"" + Fixture("dostime.zip") + "\"").ExitCode, 0u);
  EXPECT_EQ(ModifiedTicks(Wide(dir / "dos\\timed.txt")), kTimed);
}

TEST(InfoZip, AcceptsOptionsInEveryOrder) {
  ScratchFolder dir("order");
  const std::string zip = "\"" + Fixture("dostime.zip") + "\"";
  const std::string d = "-d \"" + dir / "x y" + "\"";
  const std::string orders[] = {
      d + " -o " + zip, "-o " + d + " " + zip, d + " " + zip + " -o", "-o " + zip + " " + d,
      zip + " " + d + " -o", zip + " -o " + d,
      // What the setup program writes, also with the trailing backslash it may leave.
      d + " -o " + zip, "-d \"" + dir / "x y\\" + "\" -o " + zip, "\"-d" + dir / "x y" + "\" -o " + zip};
  for (const std::string& args : orders) {
    SCOPED_TRACE(args);
    RemoveTree(Wide(dir / "x y"));
    const RunResult r = Unzip(args);
    EXPECT_EQ(r.ExitCode, 0u) << r.Output;
    EXPECT_EQ(Contents(dir / "x y\\timed.txt"), "timed\n");
  }
  // The archive path unquoted although it has a blank: the words are one name.
  CreateDirectoryA((dir / "s p").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(Fixture("dostime.zip").c_str(), (dir / "s p\\dos time.zip").c_str(), FALSE));
  RemoveTree(Wide(dir / "x y"));
  EXPECT_EQ(Unzip(d + " -o " + dir / "s p\\dos time.zip").ExitCode, 0u);
  EXPECT_EQ(Contents(dir / "x y\\timed.txt"), "timed\n");
  // No -d: the current folder.
  RemoveTree(Wide(dir / "x y"));
  CreateDirectoryA((dir / "x y").c_str(), nullptr);
  EXPECT_EQ(Unzip(zip, dir / "x y").ExitCode, 0u);
  EXPECT_EQ(Contents(dir / "x y\\timed.txt"), "timed\n");
}

TEST(InfoZip, OverwritesOnlyWithO) {
  ScratchFolder dir("overwrite");
  const std::string args = "-d \"" + dir / "out" + "\" \"" + Fixture("tree.zip") + "\"";
  ASSERT_EQ(Unzip(args).ExitCode, 0u);
  ASSERT_TRUE(WriteBytes(Wide(dir / "out\\nested\\a\\b\\c\\deep.txt"), "changed"));
  ASSERT_TRUE(DeleteFileW(Wide(dir / "out\\timed.txt").c_str()));

  // Without -o: existing files are kept and said so, missing ones still come back.
  RunResult r = Unzip(args);
  EXPECT_EQ(r.ExitCode, 1u) << r.Output;
  EXPECT_NE(r.Output.find("-o"), std::string::npos) << r.Output;
  EXPECT_EQ(Contents(dir / "out\\nested\\a\\b\\c\\deep.txt"), "changed");
  EXPECT_EQ(Contents(dir / "out\\timed.txt"), "timed\n");

  // With -o, also over a read-only file, and no temporary file is left behind.
  SetFileAttributesW(Wide(dir / "out\\empty.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  r = Unzip("-o " + args);
  EXPECT_EQ(r.ExitCode, 0u) << r.Output;
  ExpectTree(dir / "out\\");
}

TEST(InfoZip, ExtractsTenThousandEntries) {
  ScratchFolder dir("many");
  const RunResult r = Unzip("-o -d \"" + dir / "out" + "\" \"" + Fixture("many.zip") + "\"");
  ASSERT_EQ(r.ExitCode, 0u) << r.Output;
  const auto all = ListTree(Wide(dir / "out"));
  EXPECT_EQ(all.size(), 10100u);  // 100 folders of 100 files
  EXPECT_EQ(Contents(dir / "out\\d00\\f0000.txt"), "entry 0000\n");
  EXPECT_EQ(Contents(dir / "out\\d57\\f5731.txt"), "entry 5731\n");
  EXPECT_EQ(Contents(dir / "out\\d99\\f9999.txt"), "entry 9999\n");
}

TEST(InfoZip, ReadsStreamedZip64Archive) {
  ScratchFolder dir("zip64");
  const RunResult r = Unzip("-d \"" + dir / "out" + "\" \"" + Fixture("stream64.zip") + "\"");
  ASSERT_EQ(r.ExitCode, 0u) << r.Output;
  EXPECT_EQ(Contents(dir / "out\\-"), "streamed\n");
}

TEST(InfoZip, ReportsMissingArchiveAndBadCommandLines) {
  ScratchFolder dir("usage");
  RunResult r = Unzip("-o -d \"" + dir / "out" + "\" \"" + dir / "no such.zip" + "\"");
  EXPECT_EQ(r.ExitCode, 9u);
  EXPECT_NE(r.Output.find("no such.zip"), std::string::npos) << r.Output;
  EXPECT_FALSE(Exists(Wide(dir / "out")));
  for (const char* bad : {"", "-o", "-d", "-x a.zip", "-d a -d b c.zip"}) EXPECT_EQ(Unzip(bad).ExitCode, 10u) << bad;
}

TEST(ProductArchives, HoldWhatTheSetupExpects) {
  ScratchFolder dir("product");
  const std::string dist = FromBuildPath(DIST_DIR);
  ASSERT_EQ(Unzip("-d \"" + dir / "p" + "\" -o \"" + dist + "\\BRISKO.ZIP\"").ExitCode, 0u);
  for (const char* name : {"BRISKO.EXE", "TAHOMA.TTF", "TAHOMABD.TTF", "README.TXT", "lang\\"})
    EXPECT_TRUE(Exists(Wide(dir / "p\\" + name))) << name;
  ASSERT_EQ(Unzip("-d \"" + dir / "p" + "\" -o \"" + dist + "\\HTMLhelp.ZIP\"").ExitCode, 0u);
  EXPECT_TRUE(Exists(Wide(dir / "p\\help\\index.htm")));
}
