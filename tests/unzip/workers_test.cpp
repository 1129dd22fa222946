// unzip.exe writing on several threads must give what writing one entry after the other
// gives: the same files and exit code for entries of one name, messages in archive order,
// no half-written or temporary file left.
#include <gtest/gtest.h>

#include <algorithm>

#include "unzipcase.h"

using namespace unzipcase;

namespace {

// Sets UNZIP_WORKERS for the children started in its lifetime.
struct Workers {
  explicit Workers(const char* Count) { SetEnvironmentVariableA("UNZIP_WORKERS", Count); }
  ~Workers() { SetEnvironmentVariableA("UNZIP_WORKERS", nullptr); }
};

EntrySpec Damaged(EntrySpec E) {
  E.Crc = 0x12345678;
  return E;
}

std::string Text(size_t Size, unsigned Seed) {
  std::string s;
  for (unsigned x = Seed; s.size() < Size; x = x * 1103515245 + 12345) s += "alpha beta gamma delta "[(x >> 16) % 23];
  return s;
}

}  // namespace

TEST(Workers, EntriesOfOneNameActAsWrittenOneAfterTheOther) {
  const struct {
    const char* What;
    bool FirstGood, SecondGood, Overwrite;
    unsigned Exit;
    const char* Kept;
  } rows[] = {
      {"both good, no -o: the first stays", true, true, false, 1, "one"},
      {"both good, -o: the second wins", true, true, true, 0, "two"},
      {"first damaged, no -o: the second is new", false, true, false, 2, "two"},
      {"first damaged, -o", false, true, true, 2, "two"},
      {"second damaged, -o: the first stays", true, false, true, 2, "one"},
      {"second damaged, no -o: it is not even read", true, false, false, 1, "one"},
  };
  for (const char* workers : {"1", "8"}) {
    Workers w(workers);
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.What) + ", workers " + workers);
      Case c("samename");
      ArchiveSpec spec;
      // Same name for Windows, different spelling; fillers around them for the other threads.
      for (int i = 0; i < 12; ++i) spec.Entries.push_back(File("fill" + std::to_string(i) + ".txt", Text(3000, i)));
      spec.Entries.insert(spec.Entries.begin() + 3, row.FirstGood ? File("dup.txt", "one") : Damaged(File("dup.txt", "one")));
      spec.Entries.insert(spec.Entries.begin() + 9, row.SecondGood ? File("DUP.TXT", "two") : Damaged(File("DUP.TXT", "two")));
      const RunResult r = c.Unzip(testzip::Build(spec), row.Overwrite ? "-o" : "");
      EXPECT_EQ(r.ExitCode, row.Exit) << r.Output;
      EXPECT_EQ(c.Get("dup.txt"), row.Kept);
      EXPECT_EQ(c.Inside().size(), 13u);  // no temporary file, no second spelling
      EXPECT_EQ(c.Get("fill11.txt"), Text(3000, 11));
    }
  }
}

TEST(Workers, MessagesComeInArchiveOrderAndFailedEntriesLeaveNothing) {
  Workers w("4");
  Case c("order");
  // The first entry is large, so the small ones behind it are done long before it is.
  ArchiveSpec spec = Of({File("large.txt", Text(8 << 20, 7))});
  for (int i = 1; i <= 40; ++i) spec.Entries.push_back(File("f" + std::to_string(i) + ".txt", Text(5000, i)));
  for (int bad : {5, 17, 33}) spec.Entries[bad] = Damaged(spec.Entries[bad]);
  spec.Entries[25].UncompressedSize = 4000;  // inflates past its recorded size
  const RunResult r = c.Unzip(testzip::Build(spec));
  EXPECT_EQ(r.ExitCode, 2u) << r.Output;
  size_t last = 0;
  for (int bad : {5, 17, 25, 33}) {
    const size_t at = r.Output.find("damaged entry \"f" + std::to_string(bad) + ".txt\"");
    ASSERT_NE(at, std::string::npos) << bad << ": " << r.Output;
    EXPECT_GT(at, last) << bad << ": " << r.Output;
    last = at;
  }
  EXPECT_NE(r.Output.find("37 files and 0 folders extracted"), std::string::npos) << r.Output;
  EXPECT_EQ(c.Inside().size(), 37u);
  EXPECT_EQ(c.Get("large.txt"), Text(8 << 20, 7));
  EXPECT_EQ(c.Get("f25.txt"), "<missing>");
  EXPECT_EQ(c.Get("f40.txt"), Text(5000, 40));
}
