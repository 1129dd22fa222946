// Streams, string lists, property information and components.
#include <gtest/gtest.h>

#include "classes/components.h"
#include "classes/streams.h"
#include "classes/strings.h"
#include "classes/sysutils.h"
#include "classes/typinfo.h"

namespace {

class TGadget : public TComponent {
  DECLARE_CLASS(TGadget)
public:
  using TComponent::TComponent;
  int Size() const { return Size_; }
  void SetSize(int V) { Size_ = V; }
  const std::string& Label() const { return Label_; }
  void SetLabel(const std::string& V) { Label_ = V; }
  bool Shown() const { return Shown_; }
  void SetShown(bool V) { Shown_ = V; }

  std::vector<std::pair<TComponent*, TOperation>> Heard;
  void Notification(TComponent* C, TOperation Op) override {
    TComponent::Notification(C, Op);
    Heard.emplace_back(C, Op);
  }

private:
  int Size_ = 5;
  std::string Label_;
  bool Shown_ = true;
};

BEGIN_CLASS_INFO(TGadget, TComponent, ComponentCreator<TGadget>)
  P.Int("Size", &TGadget::Size, &TGadget::SetSize, 5);
  P.Str("Label", &TGadget::Label, &TGadget::SetLabel);
  P.Bool("Shown", &TGadget::Shown, &TGadget::SetShown, true, [](const TGadget& G) { return G.Size() != 0; });
END_CLASS_INFO

class TBigGadget : public TGadget {
  DECLARE_CLASS(TBigGadget)
public:
  using TGadget::TGadget;
  int Weight = 0;
};

BEGIN_CLASS_INFO(TBigGadget, TGadget, ComponentCreator<TBigGadget>)
  P.Int("Weight", [](const TBigGadget& G) { return G.Weight; }, [](TBigGadget& G, int64_t V) { G.Weight = int(V); });
END_CLASS_INFO

}  // namespace

TEST(Streams, CompleteReadsAndWritesRaiseOnShortTransfer) {
  TMemoryStream S;
  S.WriteInt32(0x01020304);
  S.WriteInt16(-2);
  S.WriteByte(7);
  EXPECT_EQ(S.Size(), 7);
  EXPECT_EQ(S.Bytes()[0], 4);  // little-endian
  S.SetPosition(0);
  EXPECT_EQ(S.ReadInt32(), 0x01020304);
  EXPECT_EQ(S.ReadInt16(), -2);
  EXPECT_EQ(S.Remaining(), 1);
  uint8_t Two[2];
  EXPECT_THROW(S.ReadBuffer(Two, 2), EReadError);
  EXPECT_EQ(S.Seek(-1, soBeginning), -1);  // refused
  EXPECT_EQ(S.Position(), 7);
  S.SetPosition(100);
  EXPECT_EQ(S.Read(Two, 2), 0);
  EXPECT_EQ(S.Remaining(), 0);
}

TEST(Streams, FileStreamCreateOpenAndErrors) {
  std::string Name = "classes_test_file.bin";
  {
    TFileStream F(Name, fmCreate);
    F.WriteInt32(42);
  }
  {
    TFileStream F(Name, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(F.Size(), 4);
    EXPECT_EQ(F.ReadInt32(), 42);
#ifdef _WIN32
    // Others may read the file but not write it while it is open.
    EXPECT_NO_THROW(TFileStream(Name, fmOpenRead | fmShareDenyNone));
    EXPECT_THROW(TFileStream(Name, fmOpenWrite | fmShareDenyNone), EFOpenError);
#endif
  }
  try {
    TFileStream F("no such folder/x.bin", fmOpenRead);
    FAIL();
  } catch (const EFOpenError& E) {
    EXPECT_EQ(E.Message(), "Cannot open file no such folder/x.bin");
  }
  EXPECT_THROW(TFileStream("no such folder/x.bin", fmCreate), EFCreateError);
  std::remove(Name.c_str());
}

TEST(StringLists, SortedIgnoresDuplicatesWithoutCase) {
  TStringList L;
  L.SetSorted(true);
  L.Add("C:\\b\\");
  L.Add("C:\\A\\");
  L.Add("c:\\a\\");  // same without case: ignored
  L.Add("C:\\A\\sub\\");
  L.Add("C:\\");
  ASSERT_EQ(L.Count(), 4);
  EXPECT_EQ(L[0], "C:\\");
  EXPECT_EQ(L[1], "C:\\A\\");
  EXPECT_EQ(L[2], "C:\\A\\sub\\");
  EXPECT_EQ(L[3], "C:\\b\\");
  int I;
  EXPECT_TRUE(L.Find("C:\\a\\SUB\\", I));
  EXPECT_EQ(I, 2);
  EXPECT_FALSE(L.Find("C:\\aa\\", I));
  EXPECT_EQ(L.IndexOf("c:\\B\\"), 3);
  EXPECT_THROW(L.Insert(0, "x"), EStringListError);
  L.SetDuplicates(dupError);
  EXPECT_THROW(L.Add("C:\\B\\"), EStringListError);
}

TEST(StringLists, AnsiCaseRulesCoverAccentedLetters) {
  // Windows-1252: 0xC9 is E acute, 0xE9 its small letter.
  EXPECT_EQ(AnsiCompareText("\xC9t\xE9", "\xE9T\xC9"), 0);
  EXPECT_NE(AnsiCompareStr("\xC9t\xE9", "\xE9T\xC9"), 0);
  EXPECT_EQ(UpperCase("brisko\xE9"), "BRISKO\xE9");  // a to z only
}

TEST(StringLists, ObjectsIndexErrorsAndText) {
  TStringList L;
  TGadget G(nullptr);
  L.AddObject("one", &G);
  L.Add("two");
  EXPECT_EQ(L.GetObject(0), &G);
  EXPECT_EQ(L.IndexOfObject(&G), 0);
  try {
    L.Get(2);
    FAIL();
  } catch (const EListError& E) {
    EXPECT_EQ(E.Message(), "List index out of bounds (2)");
  }
  EXPECT_THROW(L.Delete(-1), EListError);
  EXPECT_EQ(L.Text(), "one\r\ntwo\r\n");
  L.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(L.ToVector(), (std::vector<std::string>{"a", "b", "c", "d"}));
  L.SetText("x\r\n\r\n");
  EXPECT_EQ(L.ToVector(), (std::vector<std::string>{"x", ""}));
}

TEST(StringLists, FindWithDuplicatesAcceptedFindsTheFirst) {
  TStringList L;
  L.SetSorted(true);
  L.SetDuplicates(dupAccept);
  for (const char* S : {"b", "a", "b", "b", "c"}) L.Add(S);
  int I;
  ASSERT_TRUE(L.Find("B", I));
  EXPECT_EQ(I, 1);
}

TEST(PropertyInfo, LookupIgnoresCaseAndInherits) {
  TBigGadget G(nullptr);
  const TPropInfo* P = GetPropInfo(G, "sIZE");
  ASSERT_NE(P, nullptr);
  EXPECT_EQ(P->Name, "Size");
  EXPECT_EQ(P->Kind, TTypeKind::tkInteger);
  EXPECT_TRUE(IsPublishedProp(G, "weight"));
  EXPECT_TRUE(IsPublishedProp(G, "Name"));  // from TComponent
  EXPECT_FALSE(IsPublishedProp(G, "Height"));
  SetOrdProp(G, "size", 9);
  EXPECT_EQ(G.Size(), 9);
  SetStrProp(G, "label", "x");
  EXPECT_EQ(GetStrProp(G, "LABEL"), "x");
  EXPECT_THROW(SetStrProp(G, "Size", "x"), EPropertyError);
  EXPECT_THROW(GetOrdProp(G, "Missing"), EPropertyError);
  EXPECT_EQ(GetEnumProp(G, *GetPropInfo(G, "Shown")), "True");
  SetEnumProp(G, *GetPropInfo(G, "Shown"), "false");
  EXPECT_FALSE(G.Shown());

  auto Props = G.ClassInfo().Props();
  ASSERT_GE(Props.size(), 5u);
  EXPECT_EQ(Props.front()->Name, "Name");
  EXPECT_EQ(Props.back()->Name, "Weight");
  EXPECT_TRUE(G.InheritsFrom("tgadget"));
  EXPECT_TRUE(G.InheritsFrom(TComponent::StaticClassInfo()));
  EXPECT_FALSE(TGadget(nullptr).InheritsFrom(TBigGadget::StaticClassInfo()));
}

TEST(PropertyInfo, StoredTestAndDefault) {
  TGadget G(nullptr);
  const TPropInfo& Shown = *GetPropInfo(G, "Shown");
  EXPECT_TRUE(Shown.IsStored(G));
  G.SetSize(0);
  EXPECT_FALSE(Shown.IsStored(G));
  EXPECT_EQ(GetPropInfo(G, "Size")->Default, 5);
  EXPECT_FALSE(GetPropInfo(G, "Label")->Default.has_value());
}

TEST(Components, OwnerFreesWhatItOwnsAndNotifies) {
  auto* Owner = new TGadget(nullptr);
  auto* A = new TGadget(Owner);
  A->SetName("A");
  auto* B = new TGadget(Owner);
  B->SetName("B");
  EXPECT_EQ(Owner->ComponentCount(), 2);
  EXPECT_EQ(B->ComponentIndex(), 1);
  EXPECT_EQ(Owner->ComponentIndex(), -1);
  EXPECT_EQ(Owner->FindComponent("b"), B);
  // A heard of B's arrival, and the owner of both.
  ASSERT_FALSE(A->Heard.empty());
  EXPECT_EQ(A->Heard.back(), std::make_pair(static_cast<TComponent*>(B), opInsert));
  EXPECT_THROW(B->SetName("a"), EComponentError);
  EXPECT_THROW(B->SetName("1x"), EComponentError);
  EXPECT_THROW(Owner->Components(2), EListError);

  // A free notification crosses owners.
  TGadget Watcher(nullptr);
  A->FreeNotification(&Watcher);
  delete A;
  EXPECT_EQ(Owner->ComponentCount(), 1);
  EXPECT_EQ(Watcher.Heard.back().second, opRemove);
  EXPECT_EQ(B->ComponentIndex(), 0);
  delete Owner;  // frees B; nothing must be left to notify the watcher
  EXPECT_EQ(Watcher.Heard.size(), 1u);
}

TEST(Components, DesignStateIsInherited) {
  TGadget Root(nullptr);
  Root.SetDesigning(true);
  auto* Child = new TGadget(&Root);
  EXPECT_TRUE(Child->ComponentState().Contains(csDesigning));
  Root.SetDesigning(false);
  EXPECT_FALSE(Child->ComponentState().Contains(csDesigning));
}

TEST(Collections, ItemsAreOwnedAndIndexChecked) {
  int Updates = 0;
  TCollection C([](TCollection* Owner) { return new TCollectionItem(Owner); });
  C.OnUpdate = [&](TCollectionItem*) { ++Updates; };
  C.Add();
  TCollectionItem* Second = C.Add();
  EXPECT_EQ(C.Count(), 2);
  EXPECT_EQ(Second->Index(), 1);
  EXPECT_THROW(C.Items(2), EListError);
  C.Delete(0);
  EXPECT_EQ(Second->Index(), 0);
  EXPECT_EQ(Updates, 3);
  C.BeginUpdate();
  C.Add();
  C.Add();
  C.EndUpdate();
  EXPECT_EQ(Updates, 4);
}
