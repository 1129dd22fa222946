// Arbitrary bytes as the item list of a form resource (Items.ObjectContainer).
// Reading may fail only with the library's errors; what reads completely writes
// and reads back to the same bytes, and its items apply to a component that
// publishes every kind of translated property without hanging or crashing.
#include <cstdint>
#include <vector>

#include "classes/streams.h"
#include "classes/typinfo.h"
#include "fuzz_support.h"

namespace {

class TFuzzItem : public TCollectionItem {
  DECLARE_CLASS(TFuzzItem)
public:
  using TCollectionItem::TCollectionItem;
  std::string Text;
};

BEGIN_CLASS_INFO(TFuzzItem, TCollectionItem, nullptr)
  P.Str("Text", [](const TFuzzItem& I) { return I.Text; }, [](TFuzzItem& I, const std::string& V) { I.Text = V; });
  P.Str("Caption", [](const TFuzzItem& I) { return I.Text; },
        [](TFuzzItem& I, const std::string& V) { I.Text = V; });
END_CLASS_INFO

// Everything an item may translate: a string, lines and three collections.
class TFuzzControl : public TComponent {
  DECLARE_CLASS(TFuzzControl)
public:
  TFuzzControl()
      : TComponent(nullptr),
        Panels(Make, this),
        Sections(Make, this),
        Columns(Make, this) {
    SetName("Control1");
    Lines.SetText("one\ntwo\nthree\n");
    for (TCollection* C : {&Panels, &Sections, &Columns})
      for (int I = 0; I < 3; ++I) C->Add();
  }
  static TCollectionItem* Make(TCollection* C) { return new TFuzzItem(C); }
  std::string Caption;
  TStringList Lines;
  TCollection Panels, Sections, Columns;
};

BEGIN_CLASS_INFO(TFuzzControl, TComponent, nullptr)
  P.Str("Caption", [](const TFuzzControl& C) { return C.Caption; },
        [](TFuzzControl& C, const std::string& V) { C.Caption = V; });
  P.Obj<TStrings>("Lines", [](const TFuzzControl& C) { return const_cast<TStringList*>(&C.Lines); });
  P.Obj<TCollection>("Panels", [](const TFuzzControl& C) { return const_cast<TCollection*>(&C.Panels); });
  P.Obj<TCollection>("Sections", [](const TFuzzControl& C) { return const_cast<TCollection*>(&C.Sections); });
  P.Obj<TCollection>("Columns", [](const TFuzzControl& C) { return const_cast<TCollection*>(&C.Columns); });
END_CLASS_INFO

std::vector<uint8_t> Write(const TInfoList& List) {
  TMemoryStream S;
  List.WriteData(S);
  return S.Bytes();
}

void Exercise(TInfoList& List) {
  TFuzzControl Control;
  const TComponentState Designing{csDesigning};
  for (int I = 0; I < List.Count(); ++I) {
    TCI* Item = List.Item(I);
    FUZZ_CHECK(Item);
    Item->SetControl(&Control);
    for (int Lang : {0, 1, 2}) {
      try {
        Item->Apply(Lang, {});
        Item->Apply(Lang, Designing);
        Item->Fetch(Lang);
      } catch (const Exception&) {
        // Lists longer than the component's are refused with an index error.
      }
    }
    Item->SetLength(2);
  }
  TInfoList Copy;
  Copy.Assign(&List);
  // A copy takes elements, not the owning flags an empty list read from the stream.
  Copy.SetOwnsObjects(List.OwnsObjects());
  Copy.Languages()->SetOwnsObjects(List.Languages()->OwnsObjects());
  FUZZ_CHECK(Write(Copy) == Write(List));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TInfoList List;
  TMemoryStream In(std::vector<uint8_t>(Data, Data + Size));
  bool Complete = false;
  try {
    List.ReadData(In);
    Complete = true;
  } catch (const Exception&) {
  }
  if (!Complete) return 0;

  std::vector<uint8_t> Once = Write(List);
  TInfoList Again;
  TMemoryStream Back(Once);
  Again.ReadData(Back);
  FUZZ_CHECK(Back.Position() == Back.Size());
  FUZZ_CHECK(Write(Again) == Once);

  Exercise(List);
  return 0;
}
