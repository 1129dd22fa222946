// Reading and writing form resources on hand-written texts.
#include <gtest/gtest.h>

#include "classes/components.h"
#include "classes/formstream.h"
#include "classes/streams.h"
#include "classes/strings.h"
#include "classes/typinfo.h"

namespace {

enum TShape { shRound, shSquare, shStar };
enum TEdge { edLeft, edTop, edRight };
using TEdges = TSet<TEdge>;

const TEnumInfo ShapeNames{"shRound", "shSquare", "shStar"};
const TEnumInfo EdgeNames{"edLeft", "edTop", "edRight"};
const TIdentMap ColourIdents{{0xFF0000, "clBlue"}, {0x8000000F, "clBtnFace"}};

std::vector<std::string> LoadedOrder;

// A nested persistent value, as a font is.
class TStyle : public TPersistent {
  DECLARE_CLASS(TStyle)
public:
  int Height = 0;
  std::string Face;
};

BEGIN_CLASS_INFO(TStyle, TPersistent, nullptr)
  P.Int("Height", [](const TStyle& S) { return S.Height; }, [](TStyle& S, int64_t V) { S.Height = int(V); }, 0);
  P.Str("Face", [](const TStyle& S) { return S.Face; }, [](TStyle& S, const std::string& V) { S.Face = V; });
END_CLASS_INFO

class TTag : public TCollectionItem {
  DECLARE_CLASS(TTag)
public:
  using TCollectionItem::TCollectionItem;
  std::string Text;
  int Width = 50;
};

BEGIN_CLASS_INFO(TTag, TCollectionItem, nullptr)
  P.Str("Text", [](const TTag& T) { return T.Text; }, [](TTag& T, const std::string& V) { T.Text = V; });
  P.Int("Width", [](const TTag& T) { return T.Width; }, [](TTag& T, int64_t V) { T.Width = int(V); }, 50);
END_CLASS_INFO

class TWidget : public TComponent {
  DECLARE_CLASS(TWidget)
public:
  explicit TWidget(TComponent* Owner)
      : TComponent(Owner), Tags([](TCollection* C) { return new TTag(C); }, this) {}

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return Parent; }
  void SetParentComponent(TComponent* V) override {
    Parent = dynamic_cast<TWidget*>(V);
    if (Parent) Parent->Kids.push_back(this);
  }
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override {
    for (TWidget* K : Kids) Proc(K);
  }
  void Loaded() override {
    TComponent::Loaded();
    LoadedOrder.push_back(Name() + (ComponentState().Contains(csReading) ? "+reading" : ""));
  }

  // Binary data that the widget defines itself, written only when present.
  void DefineProperties(TFiler& Filer) override {
    TComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Blob",
        [this](TStream& S) {
          Blob.resize(static_cast<size_t>(S.Size()));
          S.ReadBuffer(Blob.data(), S.Size());
        },
        [this](TStream& S) { S.WriteBuffer(Blob.data(), static_cast<int64_t>(Blob.size())); }, !Blob.empty());
  }

  std::string Caption;
  int64_t Colour = 0x8000000F;
  bool Enabled = true;
  TShape Shape = shRound;
  TEdges Edges{edLeft, edTop};
  double Ratio = 0;
  TStyle Style;
  TStringList Lines;
  TCollection Tags;
  TWidget* Buddy = nullptr;
  std::vector<uint8_t> Blob;
  TNotifyEvent OnPoke;
  TWidget* Parent = nullptr;
  std::vector<TWidget*> Kids;
  std::vector<std::string> SeenCaptionsWhileReading;
};

BEGIN_CLASS_INFO(TWidget, TComponent, ComponentCreator<TWidget>)
  P.Str("Caption", [](const TWidget& W) { return W.Caption; },
        [](TWidget& W, const std::string& V) {
          W.Caption = V;
          if (W.ComponentState().Contains(csReading)) W.SeenCaptionsWhileReading.push_back(V);
        });
  P.Int("Colour", [](const TWidget& W) { return W.Colour; }, [](TWidget& W, int64_t V) { W.Colour = V; },
        0x8000000F, &ColourIdents);
  P.Bool("Enabled", [](const TWidget& W) { return W.Enabled; }, [](TWidget& W, int64_t V) { W.Enabled = V; }, true);
  P.Enum("Shape", [](const TWidget& W) { return W.Shape; }, [](TWidget& W, int64_t V) { W.Shape = TShape(V); },
         ShapeNames, shRound);
  P.Set("Edges", [](const TWidget& W) { return W.Edges.Mask(); }, [](TWidget& W, int64_t V) { W.Edges = TEdges(V); },
        EdgeNames, TEdges{edLeft, edTop}.Mask());
  P.Float("Ratio", [](const TWidget& W) { return W.Ratio; }, [](TWidget& W, double V) { W.Ratio = V; });
  P.Obj<TStyle>("Style", [](const TWidget& W) { return const_cast<TStyle*>(&W.Style); });
  P.Obj<TStrings>("Lines", [](const TWidget& W) { return const_cast<TStringList*>(&W.Lines); },
                  [](TWidget& W, TStrings* V) { W.Lines.Assign(V); });
  P.Obj<TCollection>("Tags", [](const TWidget& W) { return const_cast<TCollection*>(&W.Tags); });
  P.Obj<TWidget>("Buddy", [](const TWidget& W) { return W.Buddy; }, [](TWidget& W, TWidget* V) { W.Buddy = V; });
  P.Event("OnPoke", &TWidget::OnPoke);
END_CLASS_INFO

class TPanelForm : public TWidget {
  DECLARE_CLASS(TPanelForm)
public:
  using TWidget::TWidget;
  TWidget* Button1 = nullptr;
  TWidget* Inner = nullptr;
  int Pokes = 0;
  void Button1Poke(TObject* Sender) { ++Pokes; }
};

BEGIN_CLASS_INFO(TPanelForm, TWidget, nullptr)
  P.Field("Button1", &TPanelForm::Button1);
  P.Field("Inner", &TPanelForm::Inner);
  P.Method("Button1Poke", &TPanelForm::Button1Poke);
END_CLASS_INFO

class TThing : public TComponent {
  DECLARE_CLASS(TThing)
public:
  using TComponent::TComponent;
};

BEGIN_CLASS_INFO(TThing, TComponent, ComponentCreator<TThing>)
END_CLASS_INFO

struct Registered {
  Registered() {
    RegisterClass(TWidget::StaticClassInfo());
    RegisterClass(TThing::StaticClassInfo());
    RegisterClass(TPanelForm::StaticClassInfo());  // no creator: never made by the reader
  }
} Registration;

const char* SampleForm = R"(object PanelForm1: TPanelForm
  Caption = 'Fran'#231'ais ''quoted'''
  Colour = clBlue
  Style.Height = -11
  Style.Face = 'Tahoma'
  object Inner: TWidget
    Caption = 'first' +
      ' and more'
    Enabled = False
    Shape = shStar
    Edges = [edRight, edLeft]
    Ratio = 3.0499999523162842
    Buddy = Button1
    Lines.Strings = (
      'line one '
      ''
      'line three')
    Tags = <
      item
        Text = 'a'
        Width = 20
      end
      item
        Text = 'b'
      end>
    object Button1: TWidget
      Colour = 255
      OnPoke = Button1Poke
      Blob = {
        0001FEFF}
    end
  end
end
)";

}  // namespace

TEST(FormReader, EveryValueKindNestingAndLoaded) {
  LoadedOrder.clear();
  TPanelForm Form(nullptr);
  ReadComponent(SampleForm, Form);

  EXPECT_EQ(Form.Name(), "PanelForm1");
  EXPECT_EQ(Form.Caption, "Fran\xE7" "ais 'quoted'");
  EXPECT_EQ(Form.Colour, 0xFF0000);
  EXPECT_EQ(Form.Style.Height, -11);
  EXPECT_EQ(Form.Style.Face, "Tahoma");

  ASSERT_NE(Form.Inner, nullptr);
  ASSERT_NE(Form.Button1, nullptr);
  TWidget& Inner = *Form.Inner;
  EXPECT_EQ(Inner.Owner(), &Form);
  EXPECT_EQ(Form.Button1->Owner(), &Form);  // owned by the root, parented by Inner
  EXPECT_EQ(Form.Button1->Parent, &Inner);
  EXPECT_EQ(Inner.Caption, "first and more");
  EXPECT_FALSE(Inner.Enabled);
  EXPECT_EQ(Inner.Shape, shStar);
  EXPECT_EQ(Inner.Edges, (TEdges{edLeft, edRight}));
  EXPECT_DOUBLE_EQ(Inner.Ratio, 3.0499999523162842);
  EXPECT_EQ(Inner.Buddy, Form.Button1);  // a reference to a component read later
  EXPECT_EQ(Inner.Lines.ToVector(), (std::vector<std::string>{"line one ", "", "line three"}));
  ASSERT_EQ(Inner.Tags.Count(), 2);
  EXPECT_EQ(static_cast<TTag*>(Inner.Tags.Items(0))->Width, 20);
  EXPECT_EQ(static_cast<TTag*>(Inner.Tags.Items(1))->Width, 50);
  EXPECT_EQ(static_cast<TTag*>(Inner.Tags.Items(1))->Text, "b");
  EXPECT_EQ(Form.Button1->Blob, (std::vector<uint8_t>{0x00, 0x01, 0xFE, 0xFF}));
  EXPECT_EQ(Form.Button1->Colour, 255);

  // The event is bound to the root's published method.
  Form.Button1->OnPoke(Form.Button1);
  EXPECT_EQ(Form.Pokes, 1);
  EXPECT_EQ(Form.Button1->OnPoke.Name, "Button1Poke");

  // Properties were applied in reading state; Loaded came once per component,
  // after everything was read and the reading state was over.
  EXPECT_EQ(Inner.SeenCaptionsWhileReading, std::vector<std::string>{"first and more"});
  EXPECT_EQ(LoadedOrder, (std::vector<std::string>{"PanelForm1", "Inner", "Button1"}));
  EXPECT_FALSE(Form.ComponentState().Contains(csLoading));
}

TEST(FormWriter, WritesWhatDiffersFromDefaultsAndReadsBack) {
  TPanelForm Form(nullptr);
  ReadComponent(SampleForm, Form);
  std::string Text = WriteComponent(Form);

  // Defaults and empty values are left out; what the objects define is written.
  EXPECT_EQ(Text.find("Enabled = True"), std::string::npos);
  EXPECT_EQ(Text.find("Shape = shRound"), std::string::npos);
  EXPECT_EQ(Text.find("Width = 50"), std::string::npos);
  EXPECT_NE(Text.find("Enabled = False"), std::string::npos);
  EXPECT_NE(Text.find("Colour = clBlue"), std::string::npos);
  EXPECT_NE(Text.find("Style.Face = 'Tahoma'"), std::string::npos);
  EXPECT_NE(Text.find("Lines.Strings = ("), std::string::npos);
  EXPECT_NE(Text.find("Blob = {"), std::string::npos);
  EXPECT_NE(Text.find("Ratio = 3.0499999523162842"), std::string::npos);
  EXPECT_NE(Text.find("Caption = 'Fran'#231'ais ''quoted'''"), std::string::npos);
  EXPECT_NE(Text.find("Buddy = Button1"), std::string::npos);
  EXPECT_NE(Text.find("OnPoke = Button1Poke"), std::string::npos);

  TPanelForm Copy(nullptr);
  ReadComponent(Text, Copy);
  EXPECT_EQ(WriteComponent(Copy), Text);
  EXPECT_EQ(Copy.Button1->Blob, Form.Button1->Blob);
}

TEST(FormWriter, EmptyDefinedPropertyIsNotWritten) {
  TPanelForm Form(nullptr);
  Form.SetName("F");
  auto* W = new TWidget(&Form);
  W->SetName("W");
  W->SetParentComponent(&Form);
  std::string Text = WriteComponent(Form);
  EXPECT_EQ(Text, "object F: TPanelForm\n  object W: TWidget\n  end\nend\n");
}

namespace {
std::string ReadError(const std::string& Text) {
  TPanelForm Form(nullptr);
  try {
    ReadComponent(Text, Form);
  } catch (const EReadError& E) {
    return E.Message();
  }
  return "no error";
}
}  // namespace

TEST(FormReader, DamagedOrUnknownInputNamesLineAndCulprit) {
  EXPECT_EQ(ReadError("object F: TPanelForm\n  object X: TNoSuchClass\n  end\nend\n"),
            "Line 2: Class TNoSuchClass not found");
  EXPECT_EQ(ReadError("object F: TPanelForm\n\n  Width = 3\nend\n"),
            "Line 3: Property Width does not exist in TPanelForm");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  Enabled = Maybe\nend\n"), "Line 2: Invalid property value of Enabled");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  Edges = [edLeft, edDown]\nend\n"),
            "Line 2: Invalid set element edDown of Edges");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  OnPoke = Nowhere\nend\n"),
            "Line 2: Method Nowhere not found in TPanelForm");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  Buddy = Nobody\nend\n"),
            "Line 2: Invalid reference Nobody for property Buddy");
  EXPECT_EQ(ReadError("object F: TWidget\nend\n"), "Line 1: The resource describes TWidget, not TPanelForm");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  object Inner: TPanelForm\n  end\nend\n"),
            "Line 2: Class TPanelForm not found");
  // A field of the wrong class is refused rather than filled.
  EXPECT_EQ(ReadError("object F: TPanelForm\n  object Inner: TThing\n  end\nend\n"),
            "Line 2: Field Inner of TPanelForm is not a TThing");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  object A: TThing\n  end\n  object a: TThing\n  end\nend\n"),
            "Line 4: A component named a already exists");

  // Truncated and malformed texts.
  EXPECT_EQ(ReadError("object F: TPanelForm\n  Caption = 'abc\nend\n"), "Line 2: unterminated string");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  Caption = 'abc'"), "Line 2: missing end of object F");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  object Button1: TWidget\n    Blob = {00F}\n  end\nend\n"),
            "Line 3: odd number of hex digits in binary value");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  Blob = {0G}\nend"), "Line 2: invalid binary value character 'G'");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  Caption = #256\nend"), "Line 2: invalid character code");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  Colour = 12x\nend"), "Line 2: invalid number 12x");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  Lines.Strings = ( 'a' 3 )\nend"),
            "Line 2: Error reading Lines.Strings: Invalid property value");
  EXPECT_EQ(ReadError("object F: TPanelForm\n  Style.Missing = 1\nend"),
            "Line 2: Property Style.Missing does not exist in TPanelForm");
  EXPECT_EQ(ReadError("object F: TPanelForm\nend\nend\n"), "Line 3: text after the last end");
  EXPECT_EQ(ReadError(""), "Line 1: expected object");
}

TEST(FormReader, EveryPrefixOfAValidTextFailsCleanly) {
  // Cut anywhere, the sample either reads or raises the read error; nothing else.
  std::string Text = SampleForm;
  for (size_t N = 0; N < Text.size(); ++N) {
    TPanelForm Form(nullptr);
    try {
      ReadComponent(std::string_view(Text).substr(0, N), Form);
    } catch (const EReadError&) {
    }
  }
  SUCCEED();
}
