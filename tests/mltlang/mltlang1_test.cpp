// Translation items and the item list: records byte by byte, the slot rules,
// Apply and Fetch through the published properties, copies and damaged records.
#include <gtest/gtest.h>

#include "mltlang/Mltlang1.h"
#include "testsupport.h"

namespace {

const TComponentState RunTime;
const TComponentState Designing{csDesigning};

std::unique_ptr<TCIStr> CaptionItem(const std::string& CompName, int CompIndex,
                                    std::initializer_list<const char*> Texts) {
  auto Item = std::make_unique<TCIStr>();
  Item->SetPropName("Caption");
  Item->SetCompName(CompName);
  Item->SetCompIndex(CompIndex);
  for (const char* T : Texts) Item->Texts()->Add(T);
  return Item;
}

template <class T>
std::unique_ptr<T> ReadBack(const std::vector<uint8_t>& Data) {
  TMemoryStream S(Data);
  auto Obj = ReadObject(S);
  EXPECT_EQ(S.Position(), S.Size());
  EXPECT_TRUE(dynamic_cast<T*>(Obj.get()));
  return std::unique_ptr<T>(static_cast<T*>(Obj.release()));
}

TEST(CountedString, Encoding) {
  EXPECT_EQ(Written([](TStream& S) { WriteCountedString(S, ""); }), (std::vector<uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(Written([](TStream& S) { WriteCountedString(S, "Brisko"); }),
            (std::vector<uint8_t>)Bytes()({7, 0, 0, 0})("Brisko")({0}));

  TMemoryStream Good(Bytes()({7, 0, 0, 0})("Brisko")({0})({1, 0, 0, 0})({0xFB, 0xFF, 0xFF, 0xFF})({5, 0, 0, 0})(
      "ab")({0})("cd"));
  EXPECT_EQ(ReadCountedString(Good), "Brisko");
  EXPECT_EQ(ReadCountedString(Good), "");
  EXPECT_EQ(ReadCountedString(Good), "") << "a negative length is an empty string";
  EXPECT_EQ(ReadCountedString(Good), "ab") << "up to the first zero byte";
  EXPECT_EQ(Good.Position(), Good.Size());

  TMemoryStream TooLong(Bytes()({100, 0, 0, 0})("abc"));
  EXPECT_THROW(ReadCountedString(TooLong), EReadError);
  TMemoryStream Huge(Bytes()({0xFF, 0xFF, 0xFF, 0x7F})("abc"));
  EXPECT_THROW(ReadCountedString(Huge), EReadError);
  TMemoryStream NoZero(Bytes()({4, 0, 0, 0})("abcd"));
  EXPECT_THROW(ReadCountedString(NoZero), EReadError);
  TMemoryStream Short(Bytes()({4, 0}));
  EXPECT_THROW(ReadCountedString(Short), EReadError);
}

// The form's caption with nine slots: English in slot 0, Dutch in slot 2.
const std::vector<uint8_t> NineSlotRecord = Bytes()
    ({100, 0, 0, 0})                // version
    ({0, 0, 0, 0})                  // control slot
    ({8, 0, 0, 0})("Caption")({0})  // PropName
    ({8, 0, 0, 0})("iiForm1")({0})  // CompName
    ({0xFF, 0xFF, 0xFF, 0xFF})      // CompIndex -1
    ({1, 0, 0, 0})                  // ElemCount
    ({100, 0, 0, 0})                // version of the texts
    ({9, 0, 0, 0})                  // nine texts
    ({8, 0, 0, 0})("Welcome")({0})
    ({1, 0, 0, 0})
    ({7, 0, 0, 0})("Welkom")({0})
    ({1, 0, 0, 0})({1, 0, 0, 0})({1, 0, 0, 0})({1, 0, 0, 0})({1, 0, 0, 0})({1, 0, 0, 0});

TEST(CIStr, RecordWithNineSlots) {
  auto Item = CaptionItem("iiForm1", -1, {"Welcome", "", "Welkom", "", "", "", "", "", ""});
  EXPECT_EQ(Item->ElemCount(), 1);
  std::vector<uint8_t> Data = Written([&](TStream& S) { WriteObject(Item.get(), S); });
  std::vector<uint8_t> Expected = Bytes()({6})("TCIStr");
  Expected.insert(Expected.end(), NineSlotRecord.begin(), NineSlotRecord.end());
  EXPECT_EQ(Data, Expected);

  auto Back = ReadBack<TCIStr>(Data);
  EXPECT_EQ(Back->PropName(), "Caption");
  EXPECT_EQ(Back->CompName(), "iiForm1");
  EXPECT_EQ(Back->CompIndex(), -1);
  EXPECT_EQ(Back->ElemCount(), 1);
  EXPECT_EQ(Back->Texts()->Count(), 9);
  EXPECT_EQ(Back->GetValue(2), "Welkom");
}

TEST(CIStr, VersionOtherThan100) {
  auto Expect101 = [](std::vector<uint8_t> Record, int64_t ErrorAt) {
    std::vector<uint8_t> Data = Bytes()({6})("TCIStr");
    Data.insert(Data.end(), Record.begin(), Record.end());
    TMemoryStream S(Data);
    try {
      ReadObject(S);
      ADD_FAILURE();
    } catch (const EMLangInvalid& E) {
      EXPECT_EQ(E.Message(), "Version not supported !");
      EXPECT_EQ(S.Position(), ErrorAt);
    }
  };
  std::vector<uint8_t> Base = NineSlotRecord, Own = NineSlotRecord;
  Base[0] = 101;
  Own[40] = 101;
  Expect101(Base, 7 + 4);
  Expect101(Own, 7 + 40 + 4);  // after the base part
}

TEST(CIStr, SlotRules) {
  TCIStr Item;
  Item.SetValue("Cancel", 0);
  Item.SetValue("Cancel", 2);
  EXPECT_EQ(Item.Texts()->Count(), 3);
  EXPECT_EQ(Item.GetValue(2), "") << "equal to the base text";
  Item.SetValue("CANCEL", 2);
  EXPECT_EQ(Item.GetValue(2), "CANCEL") << "the comparison keeps case";
  Item.SetValue("Annuleren", 5);
  EXPECT_EQ(Item.Texts()->ToVector(), (std::vector<std::string>{"Cancel", "", "CANCEL", "", "", "Annuleren"}));
  EXPECT_EQ(Item.GetValue(9), "");
  EXPECT_EQ(Item.GetStringList(5, 77), "Annuleren");
  Item.SetValue("", 0);
  EXPECT_EQ(Item.GetValue(0), "");
  Item.SetLength(2);
  EXPECT_EQ(Item.Texts()->Count(), 2);
}

TEST(CIStr, ApplyAndFetch) {
  TTestControl C;
  C.Caption = "designed";
  auto Item = CaptionItem("Control1", 0, {"Base", "", "Vertaald"});
  Item->SetControl(&C);

  Item->Apply(1, RunTime);
  EXPECT_EQ(C.CaptionWrites, 0) << "an empty value is not written";
  Item->Apply(2, RunTime);
  EXPECT_EQ(C.Caption, "Vertaald");
  Item->Apply(0, RunTime);
  EXPECT_EQ(C.Caption, "Base");

  Item->Texts()->Put(0, "");
  int Writes = C.CaptionWrites;
  Item->Apply(0, RunTime);
  EXPECT_EQ(C.CaptionWrites, Writes);
  Item->Apply(0, Designing);
  EXPECT_EQ(C.Caption, "") << "design state writes slot 0 even when empty";
  Item->Apply(1, Designing);
  EXPECT_EQ(C.CaptionWrites, Writes + 1);

  C.Caption = "Edited";
  Item->Fetch(0);
  EXPECT_EQ(Item->GetValue(0), "Edited");
  Item->Fetch(3);
  EXPECT_EQ(Item->GetValue(3), "") << "fetched text equal to the base";

  // A component without a name is not translated.
  TTestControl Unnamed(nullptr, "");
  Item->SetControl(&Unnamed);
  Item->Apply(2, RunTime);
  EXPECT_EQ(Unnamed.CaptionWrites, 0);

  // Missing, non-string, failing and read-only properties do nothing.
  Item->SetControl(&C);
  for (const char* Prop : {"Nothing", "Number", "Lines", "Broken", "Fixed"}) {
    Item->SetPropName(Prop);
    EXPECT_NO_THROW(Item->Apply(2, RunTime)) << Prop;
    EXPECT_NO_THROW(Item->Apply(0, Designing)) << Prop;
  }
  Item->SetPropName("Number");
  Item->Fetch(0);
  EXPECT_EQ(Item->GetValue(0), "") << "a property of another kind reads as empty";
  Item->SetControl(nullptr);
  EXPECT_NO_THROW(Item->Apply(2, RunTime));
}

TEST(CIStrList, SlotRules) {
  TCIStrList Item;
  EXPECT_EQ(Item.ElemCount(), 0);
  Item.SetStringList("One", 0, 0);
  Item.SetStringList("Two", 0, 1);
  Item.SetStringList("One", 2, 0);
  Item.SetStringList("twee", 2, 1);
  EXPECT_EQ(Item.LangListCount(), 3);
  EXPECT_EQ(Item.GetStringList(2, 0), "");
  EXPECT_EQ(Item.GetStringList(2, 1), "twee");
  EXPECT_EQ(Item.GetStringList(1, 0), "");
  EXPECT_EQ(Item.GetStringList(7, 0), "");
  EXPECT_EQ(Item.ElemCount(), 2);
  // Slot 0 must hold the line already.
  EXPECT_THROW(Item.SetStringList("drie", 2, 2), EStringListError);
  EXPECT_EQ(Item.LangList(2)->Count(), 3) << "slot 2 grew before the comparison failed";
  EXPECT_EQ(Item.ElemCount(), 2);
  Item.SetLength(1);
  EXPECT_EQ(Item.LangListCount(), 1);
  EXPECT_EQ(Item.ElemCount(), 2) << "it never shrinks";

  try {
    Item.GetValue(0);
    ADD_FAILURE();
  } catch (const EMLangInvalid& E) {
    EXPECT_EQ(E.Message(), "GetValue not available for Stringlist !");
  }
  try {
    Item.SetValue("x", 0);
    ADD_FAILURE();
  } catch (const EMLangInvalid& E) {
    EXPECT_EQ(E.Message(), "SetValue not available for Stringlist !");
  }
}

TEST(CIStrList, ApplyAndFetchLines) {
  TTestControl C;
  C.Lines.SetText("alpha\nbeta\ngamma\n");
  TCIStrList Item;
  Item.SetControl(&C);
  Item.SetPropName("Lines");
  Item.Fetch(0);
  EXPECT_EQ(Item.ElemCount(), 3);
  Item.SetStringList("BETA", 1, 1);

  Item.Apply(1, RunTime);
  EXPECT_EQ(C.Lines.ToVector(), (std::vector<std::string>{"alpha", "BETA", "gamma"}));
  Item.Apply(0, RunTime);
  EXPECT_EQ(C.Lines.ToVector(), (std::vector<std::string>{"alpha", "beta", "gamma"}));

  Item.SetStringList("", 0, 0);
  Item.Apply(0, RunTime);
  EXPECT_EQ(C.Lines.Get(0), "alpha");
  Item.Apply(0, Designing);
  EXPECT_EQ(C.Lines.Get(0), "");

  // The target must hold ElemCount lines.
  C.Lines.SetText("only\n");
  EXPECT_THROW(Item.Apply(0, Designing), EStringListError);
  EXPECT_THROW(Item.Apply(1, RunTime), EStringListError);

  // A property that is not a string list leaves everything alone.
  Item.SetPropName("Caption");
  EXPECT_NO_THROW(Item.Apply(1, RunTime));
  Item.Fetch(4);
  EXPECT_EQ(Item.LangListCount(), 2);
}

TEST(CIStrList, CollectionKinds) {
  TTestStatusBar Bar(2);
  static_cast<TTestPanel*>(Bar.Panels.Items(0))->Text = "Ready";
  static_cast<TTestPanel*>(Bar.Panels.Items(1))->Text = "Line 1";
  TCIStPanels Panels;
  Panels.SetControl(&Bar);
  Panels.Fetch(0);
  EXPECT_EQ(Panels.ElemCount(), 2);
  Panels.SetStringList("Klaar", 2, 0);
  Panels.Apply(2, RunTime);
  EXPECT_EQ(static_cast<TTestPanel*>(Bar.Panels.Items(0))->Text, "Klaar");
  EXPECT_EQ(static_cast<TTestPanel*>(Bar.Panels.Items(1))->Text, "Line 1");
  Panels.Apply(0, RunTime);
  EXPECT_EQ(static_cast<TTestPanel*>(Bar.Panels.Items(0))->Text, "Ready");

  TTestHeader Header(3);
  static_cast<TTestPanel*>(Header.Sections.Items(2))->Text = "Size";
  TCIHdCtrl Sections;
  Sections.SetControl(&Header);
  Sections.Fetch(0);
  EXPECT_EQ(Sections.ElemCount(), 3);
  Sections.SetStringList("Grootte", 1, 2);
  Sections.Apply(1, RunTime);
  EXPECT_EQ(static_cast<TTestPanel*>(Header.Sections.Items(2))->Text, "Grootte");

  TTestListView View(1);
  static_cast<TTestColumn*>(View.Columns.Items(0))->Caption = "Name";
  TCIListClmns Columns;
  Columns.SetControl(&View);
  Columns.Fetch(0);
  Columns.SetStringList("Naam", 1, 0);
  Columns.Apply(1, RunTime);
  EXPECT_EQ(static_cast<TTestColumn*>(View.Columns.Items(0))->Caption, "Naam");

  // A collection shorter than ElemCount: its own index error.
  View.Columns.Delete(0);
  EXPECT_THROW(Columns.Apply(1, RunTime), EListError);
  // The wrong kind of control: nothing to translate.
  Columns.SetControl(&Bar);
  EXPECT_NO_THROW(Columns.Apply(1, RunTime));
}

// The abstract item with only what a concrete kind must add.
class TBareItem : public TCI {
public:
  void Apply(int, const TComponentState&) override {}
  void Fetch(int) override {}
};

TEST(CI, BareItemRefusesValues) {
  TBareItem Item;
  auto Message = [](const std::function<void()>& F) {
    try {
      F();
    } catch (const EMLangInvalid& E) {
      return E.Message();
    }
    return std::string("no error");
  };
  EXPECT_EQ(Message([&] { Item.SetLength(1); }), "SetLength not available for TCI !");
  EXPECT_EQ(Message([&] { Item.GetValue(0); }), "GetValue not available for Stringlist !");
  EXPECT_EQ(Message([&] { Item.SetValue("", 0); }), "SetValue not available for Stringlist !");
  EXPECT_EQ(Message([&] { Item.GetStringList(0, 0); }), "GetStringList not available for Info !");
  EXPECT_EQ(Message([&] { Item.SetStringList("", 0, 0); }), "SetStringList not available for Info !");
  EXPECT_EQ(Item.ElemCount(), 0);
}

TEST(CI, CopiesAreDeepAndBound) {
  TTestControl C;
  auto Str = CaptionItem("Control1", 3, {"Base", "", "Vertaald"});
  Str->SetControl(&C);
  auto StrCopy = CloneObject(Str.get());
  auto* S = dynamic_cast<TCIStr*>(StrCopy.get());
  ASSERT_TRUE(S);
  EXPECT_NE(S, Str.get());
  EXPECT_NE(S->Texts(), Str->Texts());
  EXPECT_EQ(S->Texts()->ToVector(), Str->Texts()->ToVector());
  EXPECT_EQ(S->CompIndex(), 3);
  EXPECT_EQ(S->Control(), &C);

  TTestHeader Header(1);
  TCIHdCtrl List;
  List.SetControl(&Header);
  List.SetStringList("Name", 0, 0);
  List.SetStringList("Naam", 2, 0);
  auto ListCopy = CloneObject(&List);
  auto* L = dynamic_cast<TCIHdCtrl*>(ListCopy.get());
  ASSERT_TRUE(L);
  EXPECT_EQ(L->Control(), &Header);
  EXPECT_EQ(L->LangListCount(), 3);
  EXPECT_EQ(L->GetStringList(2, 0), "Naam");
  EXPECT_EQ(L->ElemCount(), 1);

  // Outside a copy the slot carries nothing, and a read item is unbound.
  std::vector<uint8_t> Stored = Written([&](TStream& Out) { WriteObject(Str.get(), Out); });
  EXPECT_EQ(std::vector<uint8_t>(Stored.begin() + 11, Stored.begin() + 15), (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(ReadBack<TCIStr>(Stored)->Control(), nullptr);
  std::vector<uint8_t> Stale = Stored;
  Stale[11] = 1;
  EXPECT_EQ(ReadBack<TCIStr>(Stale)->Control(), nullptr) << "a stale slot is ignored";
}

// The welcome page's item list: the form's caption and one label, nine slots.
std::unique_ptr<TInfoList> WelcomeItems() {
  auto List = std::make_unique<TInfoList>();
  List->Add(CaptionItem("iiForm1", -1,
                        {"Welcome to the setup program for Brisko!", "", "Welkom bij de installatie van Brisko.", "",
                         "", "", "", "", ""})
                .release());
  List->Add(CaptionItem("Label1", 0, {"Welcome!", "", "Welkom!", "", "", "", "", "", ""}).release());
  for (TLangid Id : {lgENGLISH, lgGERMAN, lgDUTCH, lgFRENCH, lgPOLISH, lgCZECH, lgSLOVAK, lgDANISH, lgRUSSIAN})
    List->Languages()->IndexOfId(Id);
  return List;
}

TEST(InfoList, WelcomePageLayout) {
  std::vector<uint8_t> Data = Written([](TStream& S) { WelcomeItems()->WriteData(S); });
  ASSERT_EQ(Data.size(), 382u);
  EXPECT_EQ(std::vector<uint8_t>(Data.begin(), Data.begin() + 10), (std::vector<uint8_t>)Bytes()({1, 2, 0, 6})("TCIStr"));
  EXPECT_EQ(std::vector<uint8_t>(Data.begin() + 173, Data.begin() + 180), (std::vector<uint8_t>)Bytes()({6})("TCIStr"));
  EXPECT_EQ(std::vector<uint8_t>(Data.begin() + 280, Data.begin() + 283), (std::vector<uint8_t>{1, 9, 0}));
  int Offset = 283;
  for (int Id : {7, 10, 6, 9, 18, 4, 22, 5, 21}) {
    EXPECT_EQ(std::vector<uint8_t>(Data.begin() + Offset, Data.begin() + Offset + 11),
              (std::vector<uint8_t>)Bytes()({6})("TLngId")({Id, 0, 0, 0}))
        << "at " << Offset;
    Offset += 11;
  }

  TInfoList Back;
  TMemoryStream S(Data);
  Back.ReadData(S);
  ASSERT_EQ(Back.Count(), 2);
  EXPECT_EQ(Back.Item(0)->CompIndex(), -1);
  EXPECT_EQ(Back.Item(1)->GetValue(2), "Welkom!");
  ASSERT_EQ(Back.Languages()->Count(), 9);
  EXPECT_EQ(Back.Languages()->GetId(4), lgPOLISH);
}

TEST(InfoList, ReadingAppendsItemsAndReplacesLanguages) {
  std::vector<uint8_t> Data = Written([](TStream& S) { WelcomeItems()->WriteData(S); });
  TInfoList List;
  List.Add(new TCIStr);
  List.Languages()->IndexOfId(lgCHINESE);
  List.Languages()->IndexOfId(lgKOREAN);
  TMemoryStream S(Data);
  List.ReadData(S);
  EXPECT_EQ(List.Count(), 3);
  EXPECT_EQ(List.Item(1)->CompName(), "iiForm1");
  ASSERT_EQ(List.Languages()->Count(), 9);
  EXPECT_EQ(List.Languages()->GetId(0), lgENGLISH);
}

TEST(InfoList, AssignCopiesDeepAndBound) {
  TTestControl C;
  auto Source = WelcomeItems();
  Source->Item(1)->SetControl(&C);
  TInfoList Copy;
  Copy.Add(new TCIStr);
  Copy.Assign(Source.get());
  ASSERT_EQ(Copy.Count(), 2);
  EXPECT_NE(Copy.Item(1), Source->Item(1));
  EXPECT_EQ(Copy.Item(1)->Control(), &C);
  EXPECT_EQ(Copy.Item(0)->Control(), nullptr);
  EXPECT_EQ(Copy.Item(0)->GetValue(0), "Welcome to the setup program for Brisko!");
  ASSERT_EQ(Copy.Languages()->Count(), 9);
  EXPECT_NE(Copy.Languages()->Get(0), Source->Languages()->Get(0));
  EXPECT_EQ(Copy.Languages()->GetId(8), lgRUSSIAN);

  Copy.Assign(&Copy);
  EXPECT_EQ(Copy.Count(), 2) << "assigning to itself keeps everything";

  // A whole list copied as one element keeps the bindings too.
  auto Whole = CloneObject(Source.get());
  EXPECT_EQ(static_cast<TInfoList&>(*Whole).Item(1)->Control(), &C);
}

TEST(InfoList, DamagedStreams) {
  std::vector<uint8_t> Data = Written([](TStream& S) { WelcomeItems()->WriteData(S); });
  // Every cut ends in the stream's read error; complete items stay.
  for (size_t N = 0; N < Data.size(); ++N) {
    TInfoList List;
    TMemoryStream S(std::vector<uint8_t>(Data.begin(), Data.begin() + static_cast<long>(N)));
    EXPECT_THROW(List.ReadData(S), EReadError) << "cut at " << N;
    EXPECT_EQ(List.Count(), N < 173 ? 0 : 2 - (N < 280)) << "cut at " << N;
  }

  // An item count that the stream cannot hold.
  std::vector<uint8_t> BigCount = Data;
  BigCount[54] = 0xFF, BigCount[55] = 0xFF, BigCount[56] = 0xFF, BigCount[57] = 0x7F;  // n of item 1
  TInfoList List;
  TMemoryStream S(BigCount);
  EXPECT_THROW(List.ReadData(S), EReadError);

  // Elements of the wrong kind.
  std::vector<uint8_t> LangAsItem = Bytes()({1, 1, 0})({6})("TLngId")({7, 0, 0, 0})({1, 0, 0});
  TInfoList Wrong;
  TMemoryStream W(LangAsItem);
  try {
    Wrong.ReadData(W);
    ADD_FAILURE();
  } catch (const EMLangInvalid& E) {
    EXPECT_EQ(E.Message(), "Class <TLngId> is no translation item");
  }
  EXPECT_EQ(Wrong.Count(), 0);
  std::vector<uint8_t> ItemAsLang = Bytes()({1, 0, 0})({1, 1, 0})({7})("TLngLst")({1, 0, 0});
  TMemoryStream W2(ItemAsLang);
  EXPECT_THROW(Wrong.ReadData(W2), EMLangInvalid);
  EXPECT_EQ(Wrong.Languages()->Count(), 0);
}

TEST(Dictionary, RoundTripAndVersion) {
  TDictionary D;
  auto* Entry = new TDictionaryItem;
  Entry->Words()->Add("Yes");
  Entry->Words()->Add("Ja");
  D.Add(Entry);
  D.Languages()->IndexOfId(lgENGLISH);
  std::vector<uint8_t> Data = Written([&](TStream& S) { D.WriteData(S); });
  EXPECT_EQ(Data, (std::vector<uint8_t>)Bytes()({1, 1, 0})({15})("TDictionaryItem")({100, 0, 0, 0})({2, 0, 0, 0})(
                      {4, 0, 0, 0})("Yes")({0})({3, 0, 0, 0})("Ja")({0})({1, 1, 0})({6})("TLngId")({7, 0, 0, 0}));

  // Unlike an item list, a dictionary keeps the identifiers it holds.
  TDictionary Back;
  Back.Languages()->IndexOfId(lgGERMAN);
  TMemoryStream S(Data);
  Back.ReadData(S);
  ASSERT_EQ(Back.Count(), 1);
  EXPECT_EQ(Back.Entry(0)->Words()->ToVector(), (std::vector<std::string>{"Yes", "Ja"}));
  ASSERT_EQ(Back.Languages()->Count(), 2);
  EXPECT_EQ(Back.Languages()->GetId(0), lgGERMAN);

  Data[19] = 101;
  TMemoryStream Bad(Data);
  EXPECT_THROW(TDictionary().ReadData(Bad), EMLangInvalid);
}

TEST(Registration, TheTenClasses) {
  for (const char* Name : {"TLngId", "TLngLst", "TCIStr", "TCIStrList", "TCIStPanels", "TCIHdCtrl", "TCIListClmns",
                           "TInfoList", "TDictionaryItem", "TDictionary"}) {
    const tRegisterRec* Entry = FindStreamClass(Name);
    ASSERT_NE(Entry, nullptr) << Name;
    EXPECT_EQ(Entry->ObjClass->Name(), Name);
  }
  // A blank instance has none of its construction steps: the reader makes them.
  auto Blank = std::unique_ptr<TObject>(FindStreamClass("TCIStr")->CreateBlank());
  EXPECT_EQ(static_cast<TCIStr&>(*Blank).Texts(), nullptr);
  EXPECT_EQ(static_cast<TCIStr&>(*Blank).ElemCount(), 0);
  auto BlankList = std::unique_ptr<TObject>(FindStreamClass("TInfoList")->CreateBlank());
  EXPECT_FALSE(static_cast<TInfoList&>(*BlankList).OwnsObjects());
  EXPECT_EQ(static_cast<TInfoList&>(*BlankList).Languages(), nullptr);
}

}  // namespace
