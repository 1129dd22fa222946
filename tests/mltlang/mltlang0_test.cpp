// Language identifiers and the language list.
#include <gtest/gtest.h>

#include "mltlang/Mltlang1.h"
#include "testsupport.h"

namespace {

TEST(Langid, NamesAndDefaultOrder) {
  EXPECT_EQ(LangidNames().Count(), 43);
  EXPECT_EQ(LangidNames().NameOf(lgENGLISH), "lgENGLISH");
  EXPECT_EQ(LangidNames().ValueOf("lgSpanish_Modern"), 42);
  EXPECT_EQ(LangidNames().ValueOf("lgNEUTRAL"), 0);
  EXPECT_EQ(int(lgENGLISH), 7);
  EXPECT_EQ(int(lgRUSSIAN), 21);
  EXPECT_EQ(int(lgDUTCH_BELGIAN), 27);

  // Every identifier once; a few positions from the fixed table.
  std::vector<int> Seen(43, 0);
  for (TLangid Id : DefaultLangOrder) ++Seen[Id];
  EXPECT_EQ(Seen, std::vector<int>(43, 1));
  EXPECT_EQ(DefaultLangOrder[0], lgENGLISH);
  EXPECT_EQ(DefaultLangOrder[1], lgGERMAN);
  EXPECT_EQ(DefaultLangOrder[3], lgSPANISH);
  EXPECT_EQ(DefaultLangOrder[9], lgDUTCH);
  EXPECT_EQ(DefaultLangOrder[19], lgCZECH);
  EXPECT_EQ(DefaultLangOrder[25], lgSLOVENIAN);
  EXPECT_EQ(DefaultLangOrder[26], lgDUTCH_BELGIAN);
  EXPECT_EQ(DefaultLangOrder[41], lgSPANISH_MODERN);
  EXPECT_EQ(DefaultLangOrder[42], lgNEUTRAL);
}

TEST(LngId, ElementIsElevenBytes) {
  TLngId Id(lgENGLISH);
  EXPECT_EQ(Written([&](TStream& S) { WriteObject(&Id, S); }),
            (std::vector<uint8_t>)Bytes()({6})("TLngId")({7, 0, 0, 0}));
  // The reader keeps the low byte.
  TMemoryStream In(Bytes()({6})("TLngId")({10, 0x55, 0, 0}));
  auto Read = ReadObject(In);
  EXPECT_EQ(static_cast<TLngId&>(*Read).Id, lgGERMAN);
}

TEST(LngLst, NineIdentifiers) {
  TLngLst L;
  for (TLangid Id : {lgENGLISH, lgGERMAN, lgDUTCH, lgFRENCH, lgPOLISH, lgCZECH, lgSLOVAK, lgDANISH, lgRUSSIAN})
    L.IndexOfId(Id);
  Bytes Expected;
  Expected({1, 9, 0});
  for (int Id : {7, 10, 6, 9, 18, 4, 22, 5, 21}) Expected({6})("TLngId")({Id, 0, 0, 0});
  std::vector<uint8_t> Data = Written([&](TStream& S) { L.WriteData(S); });
  EXPECT_EQ(Data.size(), 3u + 9 * 11);
  EXPECT_EQ(Data, (std::vector<uint8_t>)Expected);

  TLngLst Back;
  TMemoryStream In(Data);
  Back.ReadData(In);
  ASSERT_EQ(Back.Count(), 9);
  EXPECT_EQ(Back.GetId(0), lgENGLISH);
  EXPECT_EQ(Back.GetId(8), lgRUSSIAN);
}

TEST(LngLst, IndexOfIdFindsOrAppends) {
  TLngLst L;
  L.IndexOfId(lgENGLISH);
  L.IndexOfId(lgGERMAN);
  EXPECT_EQ(L.IndexOfId(lgGERMAN), 1);
  EXPECT_EQ(L.Count(), 2);
  EXPECT_EQ(L.IndexOfId(lgDUTCH), 2);
  EXPECT_EQ(L.Count(), 3);
  EXPECT_EQ(L.GetId(2), lgDUTCH);
  L.Add(new TLngId(lgGERMAN));
  EXPECT_EQ(L.IndexOfId(lgGERMAN), 1) << "the first match";
}

TEST(LngLst, GetIdChecksTheSlot) {
  TLngLst L;
  EXPECT_THROW(L.GetId(0), EListError);
  L.Add(new TCIStr);  // what a damaged stream could put there
  EXPECT_THROW(L.GetId(0), EListError);
  EXPECT_EQ(L.IndexOfId(lgCZECH), 1);
}

}  // namespace
