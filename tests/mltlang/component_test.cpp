// The translation component on small forms read from their text: binding by
// name, slots found by identifier, a switch that fails half-way, controls that
// go, and the form designer's side (configuration, empty base texts).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "gui/forms.h"
#include "gui/guiclasses.h"
#include "gui/stdctrls.h"
#include "mltlang/MLTLANG.h"
#include "support/dialog_answers.h"
#include "testsupport.h"

namespace {

struct TText {
  const char* Comp;
  int CompIndex;
  std::vector<std::string> Texts;  // one per slot; a list item's lines split at '\n'
  bool List = false;
};

// A form with a button, a label and a one-line memo, and a translation component
// storing Texts in the slots English, German, French, German.
std::string FormText(const std::vector<TText>& Texts) {
  TInfoList Items;
  for (const TText& T : Texts) {
    TCI* Item = T.List ? static_cast<TCI*>(new TCIStrList) : new TCIStr;
    Items.Add(Item);
    Item->SetPropName(T.List ? "Lines" : "Caption");
    Item->SetCompName(T.Comp);
    Item->SetCompIndex(T.CompIndex);
    for (int Slot = 0; Slot < int(T.Texts.size()); ++Slot) {
      TStringList Lines;
      Lines.SetText(T.Texts[Slot]);
      for (int Line = 0; Line < Lines.Count(); ++Line) Item->SetStringList(Lines.Get(Line), Slot, Line);
    }
  }
  for (TLangid Id : {lgENGLISH, lgGERMAN, lgFRENCH, lgGERMAN}) Items.Languages()->Add(new TLngId(Id));
  std::string Hex;
  char Byte[3];
  for (uint8_t B : Written([&](TStream& S) { Items.WriteData(S); })) Hex += (std::snprintf(Byte, 3, "%02X", B), Byte);
  return "object Form1: TForm\n Caption = 'Form'\n object Button1: TButton\n  Caption = 'Go'\n end\n"
         " object Label1: TLabel\n  Caption = 'Name'\n end\n object Memo1: TMemo\n  Lines.Strings = ('one')\n end\n"
         " object MltLang1: TMltLang\n  ActiveLang = 0\n  MaxLang = 4\n  Items.ObjectContainer = {" + Hex +
         "}\n end\nend\n";
}

// The form as read from FormText(Texts); its class is TForm's, as the text says.
struct TTestForm : TForm {
  explicit TTestForm(const std::vector<TText>& Texts, bool Designing = false) : TForm(nullptr) {
    RegisterGuiClasses();
    RegisterMltlangClasses();
    SetDesigning(Designing);
    InitializeForm(FormText(Texts));
    Lang = dynamic_cast<TMltLang*>(FindComponent("MltLang1"));
  }
  // Forms made later start in the language chosen last: back to the base one.
  ~TTestForm() override {
    try {
      Lang->SetActiveLang(0);
    } catch (...) {
    }
  }
  std::string ButtonText() const {
    char S[64] = {};
    GetWindowTextA(dynamic_cast<TButton*>(FindComponent("Button1"))->Handle(), S, sizeof S);
    return S;
  }
  TMltLang* Lang = nullptr;
};

TEST(MltLang, BindsByNameFindsTheLastSlotOfALanguageAndLetsGoOfFreedControls) {
  TTestForm F({{"Button1", 7, {"Go", "Los", "Va", "Auf"}}, {"Renamed", -1, {"Form", "Formular"}},
               {"Gone", 3, {"Gone", "Weg"}}});
  ASSERT_EQ(F.Lang->ItemList().Count(), 2) << "an item of no component is dropped";
  EXPECT_EQ(F.Lang->ItemList().Item(0)->CompIndex(), 0) << "renumbered by position";
  EXPECT_EQ(F.Lang->ItemList().Item(1)->Control(), &F) << "-1: the form, whatever its name";

  int Changed = 0;
  F.Lang->OnLanguageChanged = TNotifyEvent([&](TObject*) { ++Changed; });
  F.Lang->SetActiveLangById(lgGERMAN);
  EXPECT_EQ(F.Lang->ActiveLang(), 3);
  EXPECT_EQ(F.ButtonText(), "Auf");
  EXPECT_EQ(F.Caption(), "Form") << "no slot-3 text: the base text";
  F.Lang->SetActiveLangById(lgKOREAN);
  F.Lang->SetActiveLang(4);
  EXPECT_EQ(F.Lang->ActiveLang(), 3);
  EXPECT_EQ(Changed, 1) << "no slot of that language or number: nothing happens";

  // At run time a freed control keeps its item, which no longer writes into it.
  delete F.FindComponent("Button1");
  EXPECT_EQ(F.Lang->ItemList().Item(0)->Control(), nullptr);
  F.Lang->SetActiveLang(1);
  F.Show();
  EXPECT_EQ(F.Caption(), "Formular");
}

TEST(MltLang, AFailedSwitchStopsNoLaterOne) {
  TTestForm A({{"Button1", 0, {"Go", "Los", "Va"}}});
  // B's memo has one line where its item writes three in slot 1.
  TTestForm B({{"Button1", 0, {"Go", "Los", "Va"}}, {"Memo1", 2, {"one\ntwo\nthree", "eins\nzwei\ndrei"}, true}});
  struct {
    const char* Failure;
    std::function<void()> Arrange, Mend;
  } Cases[] = {
      {"an item", [] {}, [&] { B.Lang->ItemList().Item(1)->SetControl(nullptr); }},
      {"a handler", [&] { B.Lang->OnLanguageChanged = TNotifyEvent([](TObject*) { throw Exception("no"); }); },
       [&] { B.Lang->OnLanguageChanged = {}; }},
  };
  for (auto& C : Cases) {
    SCOPED_TRACE(C.Failure);
    A.Lang->SetActiveLang(0);
    C.Arrange();
    EXPECT_ANY_THROW(A.Lang->SetActiveLang(1));
    C.Mend();
    A.Lang->SetActiveLang(2);
    EXPECT_EQ(B.Lang->ActiveLang(), 2);
    EXPECT_EQ(B.ButtonText(), "Va");
  }
}

TEST(MltLang, InTheDesignerTheConfigurationOpensEmptyBaseTextsShowAndRemovedControlsLoseTheirItems) {
  const std::string Config = ExecutableDir() + "mltlang.cfg";
  std::filesystem::remove(Config);
  {
    testsupport::TDialogAnswers Answers(mrOk);
    TTestForm F({{"Button1", 0, {"", "Los"}}, {"Label1", 1, {"Name", "Name"}}}, true);
    EXPECT_EQ(Answers.Texts(), (std::vector<std::string>{"New configuration file created in:\r" + Config}));
    EXPECT_EQ(F.ButtonText(), "") << "slot 0 is written even where it is empty";

    auto* Label = dynamic_cast<TLabel*>(F.FindComponent("Label1"));
    Label->SetCaption("Edited");
    F.Lang->SetActiveLang(1);
    EXPECT_EQ(F.ButtonText(), "Los");
    EXPECT_EQ(F.Lang->ItemList().Item(1)->GetValue(0), "Edited") << "the designer's text goes into the slot left";

    delete F.FindComponent("Button1");
    ASSERT_EQ(F.Lang->ItemList().Count(), 1);
    EXPECT_EQ(F.Lang->ItemList().Item(0)->Control(), Label);
  }
  EXPECT_TRUE(std::filesystem::exists(Config)) << "saved when the last component goes";
  std::filesystem::remove(Config);
}

}  // namespace
