// unzip.exe against archives written by the test itself: unsafe names, damage, lying
// sizes, Zip64 and name encodings. Each case checks the exit code and what was written,
// inside and outside the destination.
#include <gtest/gtest.h>

#include <random>

#include "unzipcase.h"

using namespace unzipcase;

namespace {

ArchiveSpec Three() { return Of({File("a.txt", std::string(5000, 'a')), File("b.txt", "bbbbbbbbbb", 0), File("sub/c.txt", "ccc")}); }

bool EvilAtRoot() {
  for (const char* p : {"C:\\evil.txt", "C:\\abs\\evil.txt", "C:\\windows\\evil.txt"})
    if (Exists(Wide(p))) return true;
  return false;
}

}  // namespace

TEST(Hostile, UnsafeNamesRefuseTheWholeArchive) {
  const char* names[] = {"../evil.txt", "..\\evil.txt", "sub/../../evil.txt", "sub\\..\\..\\evil.txt",
                         "ok/../evil.txt", "/evil.txt", "\\abs\\evil.txt", "C:/evil.txt", "C:evil.txt",
                         "c:\\evil.txt", "//localhost/C$/evil.txt", "sub/.. /evil.txt", "sub/.../evil.txt",
                         "../", "NUL", "sub/aux.txt", "com1", "a.txt:stream", "tab\there.txt"};
  for (const char* bad : names) {
    SCOPED_TRACE(bad);
    Case c("unsafe");
    ArchiveSpec spec = Of({File("good.txt", "good"), File(bad, "evil")});
    const RunResult r = c.Unzip(testzip::Build(spec));
    EXPECT_EQ(r.ExitCode, 3u) << r.Output;
    EXPECT_NE(r.Output.find("unsafe"), std::string::npos) << r.Output;
    EXPECT_TRUE(c.Inside().empty());
    EXPECT_EQ(c.Outside(), kCwdOnly);
    EXPECT_FALSE(EvilAtRoot());
  }
}

TEST(Hostile, OverlongUtf8DotsAreNotDecodedIntoDotDot) {
  Case c("overlong");
  EntrySpec e = File("\xC0\xAE\xC0\xAE/evil.txt", "evil");
  e.Flags = 0x0800;
  const RunResult r = c.Unzip(testzip::Build(Of({File("good.txt", "good"), e})));
  EXPECT_EQ(r.ExitCode, 2u) << r.Output;
  EXPECT_TRUE(c.Inside().empty());
  EXPECT_EQ(c.Outside(), kCwdOnly);
}

TEST(Hostile, TruncatedArchivesFailWithoutWriting) {
  const std::string full = testzip::Build(Three());
  for (size_t cut : {size_t{0}, size_t{1}, size_t{21}, size_t{40}, full.size() / 2, full.size() - 23,
                     full.size() - 22, full.size() - 1}) {
    SCOPED_TRACE(cut);
    Case c("truncated");
    const RunResult r = c.Unzip(full.substr(0, cut));
    EXPECT_EQ(r.ExitCode, 2u) << r.Output;
    EXPECT_TRUE(c.Inside().empty());
  }
}

TEST(Hostile, WrongCrcLosesOnlyThatEntryAndKeepsTheOldFile) {
  for (uint16_t method : {uint16_t{0}, uint16_t{8}}) {
    SCOPED_TRACE(method);
    Case c("crc");
    ArchiveSpec spec = Three();
    spec.Entries[1].Method = method;
    spec.Entries[1].Crc = 0x12345678;
    RunResult r = c.Unzip(testzip::Build(spec));
    EXPECT_EQ(r.ExitCode, 2u) << r.Output;
    EXPECT_NE(r.Output.find("CRC"), std::string::npos) << r.Output;
    EXPECT_EQ(c.Get("a.txt"), std::string(5000, 'a'));
    EXPECT_EQ(c.Get("b.txt"), "<missing>");
    EXPECT_EQ(c.Get("sub\\c.txt"), "ccc");

    ASSERT_TRUE(WriteBytes(Wide(c.Dir / "dest\\b.txt"), "old b"));
    r = c.Unzip(testzip::Build(spec));
    EXPECT_EQ(r.ExitCode, 2u) << r.Output;
    EXPECT_EQ(c.Get("b.txt"), "old b");
    EXPECT_EQ(c.Inside().size(), 4u);  // no temporary file left
  }
}

TEST(Hostile, LyingSizesAreCaught) {
  struct Lie {
    const char* What;
    void (*Apply)(ArchiveSpec&);
    bool NothingWritten;  // found while checking, before the first write
  };
  const Lie lies[] = {
      {"deflated, size too small", [](ArchiveSpec& s) { s.Entries[0].UncompressedSize = 100; }, false},
      {"deflated, size too large", [](ArchiveSpec& s) { s.Entries[0].UncompressedSize = 6000; }, false},
      {"deflated, size 4 GiB - 1", [](ArchiveSpec& s) { s.Entries[0].UncompressedSize = 0xFFFFFFFEu; }, false},
      {"compressed size too small", [](ArchiveSpec& s) { s.Entries[0].CompressedSize = 3; }, false},
      {"stored sizes differ", [](ArchiveSpec& s) { s.Entries[1].UncompressedSize = 3; }, true},
      {"compressed size past the end", [](ArchiveSpec& s) { s.Entries[2].CompressedSize = 100000; }, true},
      {"escaped size without Zip64 field", [](ArchiveSpec& s) { s.Entries[2].CompressedSize = 0xFFFFFFFFu; }, true},
      {"local offset past the directory", [](ArchiveSpec& s) { s.Entries[2].LocalOffset = 1u << 30; }, true},
      {"local offset into data", [](ArchiveSpec& s) { s.Entries[2].LocalOffset = 40; }, true},
      {"name longer than the directory", [](ArchiveSpec& s) { s.Entries[2].CentralNameLength = 60000; }, true},
      {"more entries than recorded", [](ArchiveSpec& s) { s.EntryCount = 4; }, true},
      {"65535 entries claimed", [](ArchiveSpec& s) { s.EntryCount = 0xFFFF; }, true},
      {"directory offset past the end", [](ArchiveSpec& s) { s.DirectoryOffset = 0x7FFFFFFF; }, true},
      {"directory size past the end", [](ArchiveSpec& s) { s.DirectorySize = 0x7FFFFFFF; }, true},
      {"Zip64 directory offset huge", [](ArchiveSpec& s) { s.Zip64End = true; s.DirectoryOffset = ~0ull - 10; }, true},
      {"Zip64 entry count huge", [](ArchiveSpec& s) { s.Zip64End = true; s.EntryCount = ~0ull; }, true},
      {"Zip64 entry size huge", [](ArchiveSpec& s) { s.Entries[1].Zip64 = true; s.Entries[1].CompressedSize = ~0ull; }, true},
  };
  for (const Lie& lie : lies) {
    SCOPED_TRACE(lie.What);
    Case c("sizes");
    ArchiveSpec spec = Three();
    lie.Apply(spec);
    const RunResult r = c.Unzip(testzip::Build(spec));
    EXPECT_EQ(r.ExitCode, 2u) << r.Output;
    if (lie.NothingWritten) EXPECT_TRUE(c.Inside().empty());
    else EXPECT_EQ(c.Get("a.txt"), "<missing>");
    EXPECT_EQ(c.Outside(), kCwdOnly);
  }
}

TEST(Hostile, UnsupportedEntriesAreRefused) {
  for (int kind = 0; kind < 2; ++kind) {
    Case c("unsupported");
    ArchiveSpec spec = Three();
    if (kind == 0) spec.Entries[2].Flags = 1;     // encrypted
    else spec.Entries[2].Method = 12;             // a method we do not have
    const RunResult r = c.Unzip(testzip::Build(spec));
    EXPECT_EQ(r.ExitCode, 3u) << r.Output;
    EXPECT_TRUE(c.Inside().empty());
  }
}

TEST(Hostile, Zip64RecordsAreRead) {
  Case c("zip64");
  ArchiveSpec spec = Three();
  spec.Zip64End = true;
  for (auto& e : spec.Entries) e.Zip64 = true;
  const RunResult r = c.Unzip(testzip::Build(spec));
  EXPECT_EQ(r.ExitCode, 0u) << r.Output;
  EXPECT_EQ(c.Get("a.txt"), std::string(5000, 'a'));
  EXPECT_EQ(c.Get("sub\\c.txt"), "ccc");
}

TEST(Names, FlagHostAndInvalidCharactersDecideTheName) {
  Case c("names");
  EntrySpec utf8 = File("Gr\xC3\xBC\xC3\x9F" "e/\xE6\x97\xA5\xE6\x9C\xAC.txt", "utf8");
  utf8.Flags = 0x0800;
  EntrySpec dos = File("\x81" "ber.txt", "dos");  // code page 437: u with diaeresis
  dos.Host = 0;
  EntrySpec unixUtf8 = File("caf\xC3\xA9.txt", "unix utf8");
  EntrySpec unix1252 = File("\x80" "uro.txt", "unix 1252");
  EntrySpec folder = File("empty\\", "", 0);
  const RunResult r = c.Unzip(testzip::Build(Of({utf8, dos, unixUtf8, unix1252, File("a<b>|c?.txt", "odd"), folder})));
  ASSERT_EQ(r.ExitCode, 0u) << r.Output;
  EXPECT_EQ(c.Get("Gr\u00fc\u00dfe\\\u65e5\u672c.txt"), "utf8");
  EXPECT_EQ(c.Get("\u00fcber.txt"), "dos");
  EXPECT_EQ(c.Get("caf\u00e9.txt"), "unix utf8");
  EXPECT_EQ(c.Get("\u20acuro.txt"), "unix 1252");
  EXPECT_EQ(c.Get("a_b__c_.txt"), "odd");
  EXPECT_TRUE(Exists(Wide(c.Dir / "dest\\empty")));

  EntrySpec bad = File("caf\xE9.txt", "x");
  bad.Flags = 0x0800;
  EXPECT_EQ(c.Unzip(testzip::Build(Of({bad}))).ExitCode, 2u);
}

TEST(Hostile, RandomDamageNeverCrashesOrEscapes) {
  ArchiveSpec spec = Three();
  spec.Entries.push_back(File("sub/deeper/d.txt", std::string(20000, 'd')));
  const std::string good = testzip::Build(spec);
  std::mt19937 rng(1234);
  Case c("random");
  for (int round = 0; round < 60; ++round) {
    std::string bad = good;
    const int flips = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < flips; ++i) bad[rng() % bad.size()] = static_cast<char>(rng());
    const RunResult r = c.Unzip(bad);
    EXPECT_LE(r.ExitCode, 4u) << "round " << round << ": " << r.Output;
    EXPECT_EQ(c.Outside(), kCwdOnly) << "round " << round;
    RemoveTree(Wide(c.Dir / "dest"));
  }
}
