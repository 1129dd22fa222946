// The configuration file "mltlang.cfg": its layout and how damaged files fall
// back to the defaults.
#include <gtest/gtest.h>

#include "mltlang/MLTLANG_config.h"
#include "mltlang/Mltlang1.h"
#include "testsupport.h"

namespace {

std::vector<TLangid> Ids(const TLngLst& L) {
  std::vector<TLangid> R;
  for (int I = 0; I < L.Count(); ++I) R.push_back(L.GetId(I));
  return R;
}

const std::vector<TLangid> Defaults(DefaultLangOrder.begin(), DefaultLangOrder.end());

TEST(Configuration, Constructed) {
  TConfiguration C;
  EXPECT_EQ(Ids(C.LangList()), Defaults);
  EXPECT_EQ(C.DefMaxLang(), 2);
  EXPECT_EQ(C.Reserved(), 0);
  EXPECT_EQ(C.DictPath(), ExecutableDir() + "default.dct");
  EXPECT_FALSE(ExecutableDir().empty());
}

TEST(Configuration, FileOf509Bytes) {
  TConfiguration C;
  C.SetDictPath("C:\\dict\\main.dct");  // 16 characters
  std::string Path = TempFile("509.cfg");
  C.SaveToFile(Path);
  std::vector<uint8_t> Data = ReadFileBytes(Path);
  ASSERT_EQ(Data.size(), 509u);
  EXPECT_EQ(std::vector<uint8_t>(Data.begin(), Data.begin() + 7), (std::vector<uint8_t>{100, 0, 0, 0, 1, 43, 0}));
  EXPECT_EQ(std::vector<uint8_t>(Data.begin() + 7, Data.begin() + 18),
            (std::vector<uint8_t>)Bytes()({6})("TLngId")({7, 0, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(Data.begin() + 469, Data.begin() + 480),
            (std::vector<uint8_t>)Bytes()({6})("TLngId")({0, 0, 0, 0}))
      << "lgNEUTRAL last";
  EXPECT_EQ(std::vector<uint8_t>(Data.begin() + 480, Data.end()),
            (std::vector<uint8_t>)Bytes()({2, 0, 0, 0})({0, 0, 0, 0})({17, 0, 0, 0})("C:\\dict\\main.dct")({0}));

  // Overwriting replaces the file.
  C.SetDictPath("");
  C.SaveToFile(Path);
  EXPECT_EQ(ReadFileBytes(Path).size(), 4u + 476 + 4 + 4 + 4);
}

TEST(Configuration, RoundTrip) {
  TConfiguration C;
  C.LangList().FreeAll();
  C.LangList().IndexOfId(lgDUTCH);
  C.LangList().IndexOfId(lgFRENCH);
  C.SetDefMaxLang(9);
  C.SetReserved(-3);
  C.SetDictPath("D:\\words.dct");
  std::string Path = TempFile("round.cfg");
  C.SaveToFile(Path);

  TConfiguration Back(Path);
  EXPECT_EQ(Ids(Back.LangList()), (std::vector<TLangid>{lgDUTCH, lgFRENCH}));
  EXPECT_EQ(Back.DefMaxLang(), 9);
  EXPECT_EQ(Back.Reserved(), -3);
  EXPECT_EQ(Back.DictPath(), "D:\\words.dct");
}

TEST(Configuration, MissingFileRaisesAndKeepsValues) {
  TConfiguration C;
  C.SetDefMaxLang(5);
  EXPECT_THROW(C.LoadFromFile(TempFile("none.cfg")), EFOpenError);
  EXPECT_EQ(C.DefMaxLang(), 5);
  EXPECT_EQ(Ids(C.LangList()), Defaults);
}

TEST(Configuration, OtherVersionGivesDefaults) {
  std::string Path = TempFile("v101.cfg");
  WriteFileBytes(Path, Bytes()({101, 0, 0, 0})({1, 1, 0})({6})("TLngId")({5, 0, 0, 0})({9, 0, 0, 0})({0, 0, 0, 0})(
                           {4, 0, 0, 0})("abc")({0}));
  TConfiguration C;
  C.LangList().FreeAll();
  EXPECT_NO_THROW(C.LoadFromFile(Path));
  EXPECT_EQ(Ids(C.LangList()), Defaults);
  EXPECT_EQ(C.DefMaxLang(), 2);
  EXPECT_EQ(C.DictPath(), ExecutableDir() + "default.dct");
}

TEST(Configuration, DamagedAfterTheVersion) {
  TConfiguration Source;
  Source.LangList().FreeAll();
  Source.LangList().IndexOfId(lgSLOVAK);
  Source.SetDefMaxLang(7);
  Source.SetReserved(4);
  Source.SetDictPath("E:\\x.dct");
  std::string Good = TempFile("good.cfg");
  Source.SaveToFile(Good);
  std::vector<uint8_t> Data = ReadFileBytes(Good);
  ASSERT_EQ(Data.size(), 4u + 14 + 4 + 4 + 13);

  // Every cut: the identifiers fall back, what was read before the damage stays.
  for (size_t N = 4; N < Data.size(); ++N) {
    std::string Path = TempFile("cut.cfg");
    WriteFileBytes(Path, std::vector<uint8_t>(Data.begin(), Data.begin() + static_cast<long>(N)));
    TConfiguration C;
    EXPECT_NO_THROW(C.LoadFromFile(Path)) << N;
    EXPECT_EQ(Ids(C.LangList()), Defaults) << N;
    EXPECT_EQ(C.DefMaxLang(), N >= 22 ? 7 : 2) << N;
    EXPECT_EQ(C.Reserved(), N >= 26 ? 4 : 0) << N;
    EXPECT_EQ(C.DictPath(), ExecutableDir() + "default.dct") << N;
  }

  // A language list holding something else than identifiers.
  std::string Path = TempFile("foreign.cfg");
  WriteFileBytes(Path, Bytes()({100, 0, 0, 0})({1, 1, 0})({7})("TLngLst")({1, 0, 0})({3, 0, 0, 0})({0, 0, 0, 0})(
                           {1, 0, 0, 0}));
  TConfiguration C;
  C.LoadFromFile(Path);
  EXPECT_EQ(Ids(C.LangList()), Defaults);
  EXPECT_EQ(C.DefMaxLang(), 2);
}

}  // namespace
