// The object container: bounds, growth, ownership, its stream and the class
// registry behind it.
#include <gtest/gtest.h>

#include "classes/formstream.h"
#include "mltlang/Mltlang1.h"
#include "mltlang/tContain.h"
#include "testsupport.h"

namespace {

int Freed = 0;

// An element that counts its destruction; its record is its value.
class TCounted : public TObject {
  DECLARE_CLASS(TCounted)
public:
  explicit TCounted(int V = 0) : Value(V) {}
  ~TCounted() override { ++Freed; }
  static TObject* CreateBlank() { return new TCounted; }
  int Value;
};

BEGIN_CLASS_INFO(TCounted, TObject, nullptr)
END_CLASS_INFO

// Same name but for case: a different class that must not pass for TCounted.
class TCounted2 : public TObject {
public:
  static const TClassInfo& StaticClassInfo() {
    static TClassInfo Info("tcounted", &TObject::StaticClassInfo());
    return Info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

const std::string LongName = "TLongName" + std::string(61, 'x');  // 70 characters

class TLong : public TObject {
public:
  static const TClassInfo& StaticClassInfo() {
    static TClassInfo Info(LongName, &TObject::StaticClassInfo());
    return Info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  static TObject* CreateBlank() { return new TLong; }
};

// The test's own record classes, registered before the first test.
struct TTestClasses : ::testing::Environment {
  void SetUp() override {
    RegisterStreamClass(
        TCounted::StaticClassInfo(), &TCounted::CreateBlank,
        [](TObject& O, TStream& S) { static_cast<TCounted&>(O).Value = S.ReadInt32(); },
        [](const TObject& O, TStream& S) { S.WriteInt32(static_cast<const TCounted&>(O).Value); });
    // Both come too late: the first registration of a name wins.
    RegisterStreamClass(
        TCounted::StaticClassInfo(), &TCounted::CreateBlank,
        [](TObject& O, TStream& S) { static_cast<TCounted&>(O).Value = -1; }, [](const TObject&, TStream&) {});
    RegisterStreamClass(
        TCounted2::StaticClassInfo(), [] { return static_cast<TObject*>(new TCounted2); },
        [](TObject&, TStream&) {}, [](const TObject&, TStream&) {});
    RegisterStreamClass(
        TLong::StaticClassInfo(), &TLong::CreateBlank, [](TObject&, TStream& S) { S.ReadByte(); },
        [](const TObject&, TStream& S) { S.WriteByte(0x5A); });
  }
};
const auto* const Registered = ::testing::AddGlobalTestEnvironment(new TTestClasses);

void ExpectIndexError(const std::function<void()>& F) {
  try {
    F();
    ADD_FAILURE() << "no error";
  } catch (const EListError& E) {
    EXPECT_EQ(E.Message(), "tObjectList Index Eror!");
  }
}

TEST(ObjectList, GrowsInTheFixedSteps) {
  TObjectList L;
  L.SetOwnsObjects(false);
  EXPECT_EQ(L.Capacity(), 0);
  std::vector<int> Seen;
  TObject Dummy;
  for (int I = 0; I < 65; ++I) {
    int Before = L.Capacity();
    EXPECT_EQ(L.Add(&Dummy), I);
    if (L.Capacity() != Before) Seen.push_back(L.Capacity());
  }
  EXPECT_EQ(Seen, (std::vector<int>{4, 8, 16, 32, 48, 64, 80}));
  EXPECT_EQ(L.Count(), 65);
}

TEST(ObjectList, RangeChecks) {
  TObjectList L;
  L.SetOwnsObjects(false);
  TObject A, B;
  ExpectIndexError([&] { L.First(); });
  ExpectIndexError([&] { L.Last(); });
  ExpectIndexError([&] { L.Get(0); });
  L.Add(&A);
  ExpectIndexError([&] { L.Get(1); });
  ExpectIndexError([&] { L.Get(-1); });
  ExpectIndexError([&] { L.Put(1, &B); });
  ExpectIndexError([&] { L.Delete(1); });
  ExpectIndexError([&] { L.Insert(2, &B); });
  L.Insert(1, &B);  // Count itself is a valid place to insert
  L.Insert(0, &B);
  EXPECT_EQ(L.Get(0), &B);
  EXPECT_EQ(L.Get(1), &A);
  EXPECT_EQ(L.Last(), &B);

  ExpectIndexError([&] { L.SetCapacity(2); });  // below Count
  ExpectIndexError([&] { L.SetCapacity(16384); });
  L.SetCapacity(16383);
  EXPECT_EQ(L.Capacity(), 16383);
  ExpectIndexError([&] { L.SetCount(-1); });
  ExpectIndexError([&] { L.SetCount(16384); });
  // A full list of the largest size cannot grow.
  L.SetCount(16383);
  ExpectIndexError([&] { L.Add(&A); });
  L.SetCount(3);
  L.SetCapacity(3);
  L.SetCount(6);
  EXPECT_EQ(L.Capacity(), 6);
  EXPECT_EQ(L.Get(5), nullptr);
}

TEST(ObjectList, OwnershipAndPack) {
  Freed = 0;
  auto* A = new TCounted(1);
  auto* B = new TCounted(2);
  auto* C = new TCounted(3);
  {
    TObjectList L;
    EXPECT_TRUE(L.OwnsObjects());
    L.Add(A);
    L.Add(B);
    L.Add(C);
    L.Put(1, nullptr);
    L.Pack();
    EXPECT_EQ(Freed, 0) << "neither Put nor Pack frees";
    ASSERT_EQ(L.Count(), 2);
    EXPECT_EQ(L.Get(1), C);
    L.Delete(0);
    EXPECT_EQ(Freed, 0);
    L.FreeItem(nullptr);
    L.SetOwnsObjects(false);
    L.FreeItem(A);
    EXPECT_EQ(Freed, 0);
    L.SetOwnsObjects(true);
    L.FreeItem(A);
    EXPECT_EQ(Freed, 1);
  }
  EXPECT_EQ(Freed, 2) << "the destructor frees what is left (C)";
  delete B;

  TObjectList Loose;
  Loose.SetOwnsObjects(false);
  TCounted D;
  Loose.Add(&D);
  Loose.FreeAll();
  EXPECT_EQ(Loose.Count(), 0);
  EXPECT_EQ(Loose.Capacity(), 0);
  EXPECT_EQ(Freed, 3) << "a list that does not own frees nothing";
}

TEST(ObjectList, NeighbourAndIndexOf) {
  TObjectList L;
  L.SetOwnsObjects(false);
  ExpectIndexError([&] { L.Neighbour(nullptr, true); });
  ExpectIndexError([&] { L.Neighbour(nullptr, false); });
  TCounted A, B, C, Outside;
  L.Add(&A);
  L.Add(&B);
  L.Add(&C);
  L.Add(&B);
  EXPECT_EQ(L.IndexOf(&B), 1);
  EXPECT_EQ(L.IndexOf(&Outside), -1);
  EXPECT_EQ(L.Neighbour(nullptr, true), &A);
  EXPECT_EQ(L.Neighbour(nullptr, false), &B);
  EXPECT_EQ(L.Neighbour(&A, true), &B);
  EXPECT_EQ(L.Neighbour(&A, false), nullptr);
  EXPECT_EQ(L.Neighbour(&C, true), &B);
  L.Delete(3);
  EXPECT_EQ(L.Neighbour(&C, true), nullptr);
  try {
    L.Neighbour(&Outside, true);
    ADD_FAILURE();
  } catch (const EListError& E) {
    EXPECT_EQ(E.Message(), "tObject TCounted not in item list");
  }
}

TEST(Registry, LookupIgnoresCaseAndCutsNames) {
  ASSERT_NE(FindStreamClass("TCIStr"), nullptr);
  EXPECT_EQ(FindStreamClass("tcistr"), FindStreamClass("TCIStr"));
  EXPECT_EQ(FindStreamClass("tcistr")->ObjClass, &TCIStr::StaticClassInfo());
  EXPECT_EQ(FindStreamClass("TCI"), nullptr) << "the bare item is not streamable";

  // A stream naming "tcistr" is read as TCIStr.
  std::vector<uint8_t> Stream = Written([](TStream& S) { WriteObject(std::make_unique<TCIStr>().get(), S); });
  Stream[1] = 't', Stream[2] = 'c', Stream[3] = 'i', Stream[4] = 's';
  TMemoryStream In(Stream);
  EXPECT_EQ(ReadObject(In)->ClassName(), "TCIStr");

  // 70 characters are written as the first 63 and found again by them.
  TLong Long;
  std::vector<uint8_t> Bytes = Written([&](TStream& S) { WriteObject(&Long, S); });
  ASSERT_EQ(Bytes.size(), 1u + 63 + 1);
  EXPECT_EQ(Bytes[0], 63);
  EXPECT_EQ(std::string(Bytes.begin() + 1, Bytes.begin() + 64), LongName.substr(0, 63));
  EXPECT_EQ(FindStreamClass(LongName), FindStreamClass(LongName.substr(0, 63)));
  TMemoryStream LongIn(Bytes);
  EXPECT_EQ(&ReadObject(LongIn)->ClassInfo(), &TLong::StaticClassInfo());
}

TEST(Registry, FirstRegistrationWins) {
  TCounted A(42);
  TMemoryStream S;
  WriteObject(&A, S);
  S.SetPosition(0);
  auto Copy = ReadObject(S);
  EXPECT_EQ(static_cast<TCounted&>(*Copy).Value, 42);
  // The later "tcounted" is a different class; it is not written as TCounted.
  TCounted2 Other;
  try {
    WriteObject(&Other, S);
    ADD_FAILURE();
  } catch (const EClassNotFound& E) {
    EXPECT_EQ(E.Message(), "Source Class <tcounted> not registered");
  }
}

TEST(Registry, ErrorsOfWritingAndReading) {
  TMemoryStream S;
  try {
    WriteObject(nullptr, S);
    ADD_FAILURE();
  } catch (const EClassNotFound& E) {
    EXPECT_EQ(E.Message(), "Nil Source Class!");
  }
  try {
    CloneObject(nullptr);
    ADD_FAILURE();
  } catch (const EClassNotFound& E) {
    EXPECT_EQ(E.Message(), "Nil Source Class!");
  }
  TObjectList NotRegistered;
  try {
    WriteObject(&NotRegistered, S);
    ADD_FAILURE();
  } catch (const EClassNotFound& E) {
    EXPECT_EQ(E.Message(), "Source Class <TObjectList> not registered");
  }
  EXPECT_EQ(S.Size(), 0);

  TMemoryStream Unknown(Bytes()({5})("TNone"));
  try {
    ReadObject(Unknown);
    ADD_FAILURE();
  } catch (const EClassNotFound& E) {
    EXPECT_EQ(E.Message(), "Class <TNone> not registered");
  }
}

TEST(ObjectListStream, HeaderOwningFlagAndAppending) {
  TObjectList L;
  TMemoryStream Empty(Bytes()({0, 0, 0}));
  L.ReadData(Empty);
  EXPECT_FALSE(L.OwnsObjects()) << "a count of 0 still takes the flag";
  EXPECT_EQ(L.Count(), 0);

  // Elements the reader makes are owned, whatever the flag says.
  Freed = 0;
  {
    TObjectList Made;
    Made.SetOwnsObjects(false);
    TMemoryStream One(Bytes()({0, 1, 0})({8})("TCounted")({5, 0, 0, 0}));
    Made.ReadData(One);
    EXPECT_TRUE(Made.OwnsObjects());
  }
  EXPECT_EQ(Freed, 1);

  L.Add(new TCounted(1));
  TMemoryStream Two(Bytes()({1, 2, 0})({8})("TCounted")({2, 0, 0, 0})({8})("TCOUNTED")({3, 0, 0, 0}));
  L.ReadData(Two);
  ASSERT_EQ(L.Count(), 3);
  EXPECT_EQ(static_cast<TCounted*>(L.Get(0))->Value, 1) << "reading appends";
  EXPECT_EQ(static_cast<TCounted*>(L.Get(2))->Value, 3);
  EXPECT_EQ(Written([&](TStream& S) { L.WriteData(S); }),
            (std::vector<uint8_t>)Bytes()({1, 3, 0})({8})("TCounted")({1, 0, 0, 0})({8})("TCounted")({2, 0, 0, 0})(
                {8})("TCounted")({3, 0, 0, 0}));
}

TEST(ObjectListStream, DamagedStreams) {
  auto ReadInto = [](TObjectList& L, std::vector<uint8_t> B) {
    TMemoryStream S(std::move(B));
    L.ReadData(S);
  };
  TObjectList L;
  EXPECT_THROW(ReadInto(L, Bytes()({1, 2})), EReadError);
  // The count promises three elements; the one that is there stays.
  EXPECT_THROW(ReadInto(L, Bytes()({1, 3, 0})({8})("TCounted")({9, 0, 0, 0})({8})("TCou")), EReadError);
  ASSERT_EQ(L.Count(), 1);
  EXPECT_EQ(static_cast<TCounted*>(L.Get(0))->Value, 9);
  // A class name cannot be longer than 63 characters.
  EXPECT_THROW(ReadInto(L, Bytes()({1, 1, 0, 64})(std::string(64, 'T'))), EReadError);
  EXPECT_THROW(ReadInto(L, Bytes()({1, 0xFF, 0xFF})), EReadError) << "negative count";
  // 16383 elements promised by 3 bytes: nothing is reserved for them.
  TObjectList Big;
  EXPECT_THROW(ReadInto(Big, Bytes()({1, 0xFF, 0x3F})), EReadError);
  EXPECT_LE(Big.Capacity(), 4);
  // More than a list can ever hold.
  Big.Add(new TCounted);
  ExpectIndexError([&] { ReadInto(Big, Bytes()({1, 0xFF, 0x3F})); });
}

TEST(ObjectListStream, DeepNestingIsRefused) {
  // Language lists inside language lists, far deeper than any stored form.
  Bytes B;
  for (int I = 0; I < 200; ++I) B({1, 1, 0})({7})("TLngLst");
  B({1, 0, 0});
  TMemoryStream S(B);
  TObjectList L;
  EXPECT_THROW(L.ReadData(S), EReadError);
}

// A component that publishes its item list, as the translation component does.
class THolder : public TComponent {
  DECLARE_CLASS(THolder)
public:
  using TComponent::TComponent;
  TInfoList Items;
};

BEGIN_CLASS_INFO(THolder, TComponent, nullptr)
  P.Obj<TObjectList>("Items", [](const THolder& H) { return const_cast<TInfoList*>(&H.Items); });
END_CLASS_INFO

TEST(ObjectListStream, StoredInAFormResource) {
  THolder Empty(nullptr);
  Empty.SetName("Holder1");
  std::string EmptyText = WriteComponent(Empty);
  EXPECT_EQ(EmptyText.find("ObjectContainer"), std::string::npos) << EmptyText;
  THolder FromEmpty(nullptr);
  ReadComponent(EmptyText, FromEmpty);
  EXPECT_EQ(FromEmpty.Items.Count(), 0);
  EXPECT_TRUE(FromEmpty.Items.OwnsObjects());

  THolder Full(nullptr);
  Full.SetName("Holder1");
  auto* Item = new TCIStr;
  Item->SetPropName("Caption");
  Item->SetCompName("Holder1");
  Item->SetCompIndex(-1);
  Item->SetValue("Setup", 0);
  Item->SetValue("Installatie", 2);
  Full.Items.Add(Item);
  Full.Items.Languages()->IndexOfId(lgENGLISH);
  std::string Text = WriteComponent(Full);
  ASSERT_NE(Text.find("Items.ObjectContainer = {"), std::string::npos) << Text;

  // The bytes in the text are exactly what WriteData produces.
  TFormNode Node = ParseForm(Text);
  ASSERT_EQ(Node.Props.size(), 1u);
  EXPECT_EQ(Node.Props[0].Name, "Items.ObjectContainer");
  std::vector<uint8_t> Data = Written([&](TStream& S) { Full.Items.WriteData(S); });
  EXPECT_EQ(Node.Props[0].Value.Str, std::string(Data.begin(), Data.end()));

  THolder Read(nullptr);
  ReadComponent(Text, Read);
  ASSERT_EQ(Read.Items.Count(), 1);
  EXPECT_EQ(Read.Items.Item(0)->GetValue(2), "Installatie");
  EXPECT_EQ(Read.Items.Item(0)->Control(), nullptr) << "resolved only by the translation component";
  ASSERT_EQ(Read.Items.Languages()->Count(), 1);
  EXPECT_EQ(Read.Items.Languages()->GetId(0), lgENGLISH);
  EXPECT_EQ(WriteComponent(Read), Text);
}

}  // namespace
