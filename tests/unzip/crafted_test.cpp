// unzip.exe against archives crafted to make it write more than they hold, or other
// files than a second reader sees: overlapping entries, local headers that contradict
// the directory, paths longer than Windows programs open, sizes beyond the free space.
// Each must be refused before anything is written.
#include <gtest/gtest.h>

#include <zlib.h>

#include <functional>

#include "unzipcase.h"

using namespace unzipcase;

namespace {

void ExpectNothingWritten(const Case& C) {
  EXPECT_TRUE(C.Inside().empty());
  EXPECT_EQ(C.Outside(), kCwdOnly);
}

// An entry of the directory whose data is the record at Offset, whatever it names.
EntrySpec PointingAt(const std::string& Name, uint64_t Offset, const std::string& Data) {
  EntrySpec e = File(Name, "", 8);
  e.LocalOffset = Offset;
  e.Crc = crc32(0, reinterpret_cast<const Bytef*>(Data.data()), static_cast<uInt>(Data.size()));
  e.CompressedSize = testzip::Deflate(Data).size();
  e.UncompressedSize = Data.size();
  return e;
}

}  // namespace

TEST(Crafted, OverlappingEntriesAreRefused) {
  const std::string zeros(4 << 20, '\0');
  ArchiveSpec bomb = Of({File("bomb0000.bin", zeros)});
  EntrySpec again = PointingAt("", 0, zeros);
  for (int i = 1; i < 1000; ++i) {
    again.Name = "bomb" + std::to_string(1000 + i) + ".bin";
    bomb.Entries.push_back(again);
  }

  ArchiveSpec twice = Of({File("a.txt", "twice"), PointingAt("a.txt", 0, "twice")});

  // The stored data of outer.bin is a whole local record, which the directory lists too.
  const std::string innerArchive = testzip::Build(Of({File("inner.txt", "evil", 0)}));
  const std::string innerRecord = innerArchive.substr(0, 30 + 9 + 4);
  EntrySpec inner = File("inner.txt", "evil", 0);
  inner.LocalOffset = 30 + 9;  // where the data of outer.bin begins
  const ArchiveSpec quoted = Of({File("outer.bin", innerRecord, 0), inner});

  const struct {
    const char* What;
    ArchiveSpec Spec;
    const char* First;
  } kinds[] = {{"1,000 names, one record", bomb, "bomb0000.bin"},
               {"one record listed twice", twice, "a.txt"},
               {"a record inside another's data", quoted, "outer.bin"}};
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.What);
    Case c("overlap");
    const RunResult r = c.Unzip(testzip::Build(kind.Spec));
    EXPECT_EQ(r.ExitCode, 2u) << r.Output;
    EXPECT_NE(r.Output.find(std::string("entry \"") + kind.First + "\" overlaps"), std::string::npos) << r.Output;
    ExpectNothingWritten(c);
  }
}

TEST(Crafted, LocalHeadersThatContradictTheDirectoryAreRefused) {
  // good.txt's local record starts the archive: flags at 6, method 8, CRC 14, sizes 18 and 22.
  using testzip::Patch;
  const struct {
    const char* What;
    std::function<void(ArchiveSpec&)> Spec;
    std::function<void(std::string&)> Bytes;
  } lies[] = {
      {"name with a path", [](ArchiveSpec& s) { s.Entries[0].LocalName = "../evil-lh.txt"; }, nullptr},
      {"name of the same length", [](ArchiveSpec& s) { s.Entries[0].LocalName = "evil.txt"; }, nullptr},
      {"flags", nullptr, [](std::string& a) { Patch(a, 6, 0x0800, 2); }},
      {"method", nullptr, [](std::string& a) { Patch(a, 8, 0, 2); }},
      {"CRC", nullptr, [](std::string& a) { Patch(a, 14, 0x12345678, 4); }},
      {"compressed size", nullptr, [](std::string& a) { Patch(a, 18, 3, 4); }},
      {"size", nullptr, [](std::string& a) { Patch(a, 22, 4000000, 4); }},
  };
  for (const auto& lie : lies) {
    SCOPED_TRACE(lie.What);
    Case c("localheader");
    ArchiveSpec spec = Of({File("good.txt", "good, but said twice"), File("other.txt", "other")});
    if (lie.Spec) lie.Spec(spec);
    std::string archive = testzip::Build(spec);
    if (lie.Bytes) lie.Bytes(archive);
    const RunResult r = c.Unzip(archive);
    EXPECT_EQ(r.ExitCode, 2u) << r.Output;
    EXPECT_NE(r.Output.find("local header of entry \"good.txt\" differs"), std::string::npos) << r.Output;
    ExpectNothingWritten(c);
  }

  // With a data descriptor a writer may leave CRC and sizes of the local header at zero.
  Case c("descriptor");
  ArchiveSpec spec = Of({File("good.txt", "streamed"), File("other.txt", "other")});
  spec.Entries[0].Flags = 0x0008;
  std::string archive = testzip::Build(spec);
  for (size_t at : {14, 18, 22}) Patch(archive, at, 0, 4);
  const RunResult r = c.Unzip(archive);
  EXPECT_EQ(r.ExitCode, 0u) << r.Output;
  EXPECT_EQ(c.Get("good.txt"), "streamed");
}

TEST(Crafted, PathsLongerThanWindowsProgramsOpenAreRefused) {
  Case probe("deep");  // the same folder as every case below
  const size_t root = Wide(probe.Dir / "dest").size() + 1;  // with the separator after it
  // Folders ("a/a/.../bbb/") making a folder path of exactly Length characters, deep
  // but legal; then a file in them making a file path of Length characters.
  auto folders = [&](size_t Length) {
    const size_t f = Length - root + 1;
    std::string name;
    while (f - name.size() > 12) name += "a/";
    return name + std::string(f - name.size() - 1, 'b') + "/";
  };
  auto file = [&](size_t Length, size_t Folder) {
    const std::string name = folders(Folder);
    return name + std::string(Length - root - name.size(), 'f');
  };
  std::string veryDeep;
  for (int i = 0; i < 5000; ++i) veryDeep += "d/";
  const struct {
    const char* What;
    std::string Name;
    unsigned Exit;
  } paths[] = {
      {"5,000 folders deep", veryDeep + "f.txt", 3},
      {"file of 259 characters in a folder of 247", file(259, 247), 0},
      {"file of 260 characters", file(260, 200), 3},
      {"folder of 248 characters", file(259, 248), 3},
      {"folder entry of 247 characters", folders(247), 0},
      {"folder entry of 248 characters", folders(248), 3},
  };
  for (const auto& p : paths) {
    SCOPED_TRACE(p.What);
    Case c("deep");
    const RunResult r = c.Unzip(testzip::Build(Of({File("first.txt", "first"), File(p.Name, p.Name.back() == '/' ? "" : "deep")})));
    EXPECT_EQ(r.ExitCode, p.Exit) << r.Output;
    if (p.Exit == 0) {
      std::string windowsName = p.Name;
      for (char& ch : windowsName) ch = ch == '/' ? '\\' : ch;
      EXPECT_TRUE(Exists(Wide(c.Dir / "dest\\" + windowsName)));
      EXPECT_EQ(c.Get("first.txt"), "first");
    } else {
      EXPECT_NE(r.Output.find("path too long"), std::string::npos) << r.Output;
      ExpectNothingWritten(c);
    }
  }
}

TEST(Crafted, SizesBeyondTheFreeSpaceAreRefused) {
  Case probe("space");
  ULARGE_INTEGER free;
  ASSERT_TRUE(GetDiskFreeSpaceExA(probe.Dir.Path().c_str(), &free, nullptr, nullptr));
  // Each of the two fits alone, so only their sum can refuse the archive.
  const uint64_t each = free.QuadPart / 4 * 3;
  const struct {
    const char* What;
    std::vector<uint64_t> Claims;
  } kinds[] = {{"one entry of a pebibyte", {1ull << 50}}, {"two entries of three quarters each", {each, each}}};
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.What);
    Case c("space");
    ArchiveSpec spec = Of({File("small.txt", "small")});
    uint64_t sum = 5;
    for (uint64_t claim : kind.Claims) {
      EntrySpec e = File("big" + std::to_string(sum) + ".bin", std::string(1000, 'x'));
      e.Zip64 = true;
      e.UncompressedSize = claim;
      spec.Entries.push_back(e);
      sum += claim;
    }
    const RunResult r = c.Unzip(testzip::Build(spec));
    EXPECT_EQ(r.ExitCode, 4u) << r.Output;
    EXPECT_NE(r.Output.find("not enough disk space: " + std::to_string(sum) + " bytes needed, "), std::string::npos)
        << r.Output;
    ExpectNothingWritten(c);
  }
}
