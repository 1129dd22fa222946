// The translation component of the wizard's seven forms as instbrisko.exe holds
// them: what each stores, English on every page, and a switch on one form that
// reaches all of them, read back through the windows. The wizard itself never
// switches; these tests do, as other code may.
#include <gtest/gtest.h>

#include <algorithm>

#include "classes/streams.h"
#include "gui/buttons.h"
#include "mltlang/MLTLANG.h"
#include "wizard_support.h"

using namespace wizardtest;

namespace {

using TIds = std::vector<TLangid>;
const TIds RussianList = {lgENGLISH, lgGERMAN, lgDUTCH, lgFRENCH, lgPOLISH, lgCZECH, lgSLOVAK, lgDANISH, lgRUSSIAN};
const TIds SpanishList = {lgENGLISH,   lgGERMAN,   lgDUTCH,   lgFRENCH,  lgSPANISH,
                          lgPORTUGUESE, lgITALIAN, lgJAPANESE, lgCHINESE};

TMltLang& Lang(const TForm* F) { return *dynamic_cast<TMltLang*>(F->FindComponent("MltLang1")); }

// What a person sees of an item's text: a window's text, a label's caption.
std::string Shown(const TCI& Item) {
  auto* C = static_cast<TControl*>(Item.Control());
  if (Item.PropName() == "Hint") return C->Hint();
  if (auto* W = dynamic_cast<TWinControl*>(C)) return WindowText(W->Handle());
  return C->Caption();
}

TIds Slots(const TMltLang& L) {
  TIds Ids;
  for (int S = 0; S < L.MaxLang(); ++S) Ids.push_back(L.ItemList().Languages()->GetId(S));
  return Ids;
}

std::vector<int> ActiveSlots() {
  std::vector<int> Active;
  for (TForm* F : TWizardForms::All()) Active.push_back(Lang(F).ActiveLang());
  return Active;
}

// Every item of every form shows its active slot's text, or the base text where that slot has none.
void ExpectActiveSlotsShown() {
  for (TForm* F : TWizardForms::All()) {
    const TMltLang& L = Lang(F);
    for (int I = 0; I < L.ItemList().Count(); ++I) {
      const TCI& Item = *L.ItemList().Item(I);
      const std::string Want = Item.GetValue(L.ActiveLang());
      EXPECT_EQ(Shown(Item), Want.empty() ? Item.GetValue(0) : Want)
          << F->Name() << "." << Item.CompName() << "." << Item.PropName() << " in slot " << L.ActiveLang();
    }
  }
}

std::vector<uint8_t> StoredItems(const TForm& F) {
  const std::string Bytes = Props(*FindNode(ParseForm(ResourceText(F)), "MltLang1"))["Items.ObjectContainer"].Str;
  return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
}

// The extent of Text in Font; a text that wraps does so at Width.
SIZE TextExtent(HFONT Font, const std::string& Text, int Width = 0) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font);
  RECT R{0, 0, Width, 0};
  DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, DT_CALCRECT | (Width ? DT_WORDBREAK : 0));
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return SIZE{R.right, R.bottom};
}

// The width a control leaves its one-line text beside its frame, glyph, check mark or caption buttons.
int TextRoom(TControl& C) {
  if (auto* B = dynamic_cast<TBitBtn*>(&C))
    return B->Width() - 8 - (B->Glyph()->Empty() ? 0 : B->Glyph()->Width() / B->NumGlyphs() + B->Spacing());
  if (dynamic_cast<TButtonControl*>(&C) && !dynamic_cast<TButton*>(&C))
    return C.Width() - GetSystemMetrics(SM_CXMENUCHECK) - 4;
  if (dynamic_cast<TForm*>(&C)) return C.Width() - 4 * GetSystemMetrics(SM_CXSIZE) - 8;
  return C.Width() - (dynamic_cast<TGroupBox*>(&C) ? 16 : 8);
}

HFONT CaptionFont() {
  NONCLIENTMETRICSA M{};
  M.cbSize = sizeof M;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof M, &M, 0);
  static HFONT Font = CreateFontIndirectA(&M.lfCaptionFont);
  return Font;
}

// A label's text fits its bounds and, where it is drawn, lies inside its parent and under no other control.
void ExpectLabelFits(TLabel& L, const std::string& Text) {
  const SIZE Need = TextExtent(L.Font()->Handle(), Text, L.WordWrap() ? L.Width() : 0);
  EXPECT_TRUE(Need.cx <= L.Width() && Need.cy <= L.Height());
  RECT Drawn{L.Left(), L.Top(), L.Left() + Need.cx, L.Top() + Need.cy}, Client = L.Parent()->ClientRect(), Overlap;
  EXPECT_TRUE(Drawn.right <= Client.right && Drawn.bottom <= Client.bottom);
  for (int I = 0; I < L.Parent()->ControlCount(); ++I) {
    TControl* Other = L.Parent()->Controls(I);
    RECT Bounds = Other->BoundsRect();
    if (Other->Visible() && dynamic_cast<TWinControl*>(Other)) {
      EXPECT_FALSE(IntersectRect(&Overlap, &Drawn, &Bounds)) << "under " << Other->Name();
    }
  }
}

class WizardLanguages : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(Forms.Created()); }
  // Forms made later start in the language chosen last: back to English.
  void TearDown() override {
    for (TForm* F : TWizardForms::All()) Lang(F).OnBeforeChanging = {};
    iiForm1->MltLang1->SetActiveLang(0);
  }
  TWizardForms Forms;
};

}  // namespace

TEST_F(WizardLanguages, EveryFormStoresItsTextsAndShowsEnglish) {
  for (TForm* F : TWizardForms::All()) {
    SCOPED_TRACE(F->Name());
    const TFormNode Root = ParseForm(ResourceText(*F));
    const TFormNode* Node = FindNode(Root, "MltLang1");
    ASSERT_NE(Node, nullptr);
    auto M = Props(*Node);
    EXPECT_EQ(Node->ClassName, "TMltLang");
    EXPECT_EQ(M["ActiveLang"].Int, 0);
    EXPECT_EQ(M["ActiveLangById"].Str, "lgENGLISH");
    EXPECT_EQ(M["MaxLang"].Int, 9);
    EXPECT_EQ(M["LangId"].Str, "lgENGLISH");
    EXPECT_FALSE(M["DefDictionary"].Str.empty());
    TMltLang& L = Lang(F);
    EXPECT_EQ(L.LangId(), lgENGLISH);
    if (F == iiForm6) {  // no items: the slots are the ones MaxLang makes
      EXPECT_EQ(M.count("Items.ObjectContainer") + L.ItemList().Count(), 0u);
      EXPECT_EQ(Slots(L), TIds(DefaultLangOrder.begin(), DefaultLangOrder.begin() + 9));
      continue;
    }
    TInfoList Stored;
    TMemoryStream Stream(StoredItems(*F));
    Stored.ReadData(Stream);
    EXPECT_EQ(Stream.Remaining(), 0);
    EXPECT_EQ(Slots(L), F == iForm10 ? SpanishList : RussianList);
    ASSERT_EQ(L.ItemList().Count(), Stored.Count()) << "every stored item finds its component";
    for (int I = 0; I < Stored.Count(); ++I) {
      const auto& Item = dynamic_cast<const TCIStr&>(*L.ItemList().Item(I));
      SCOPED_TRACE(Item.CompName() + "." + Item.PropName());
      EXPECT_EQ(Item.Control(), Item.CompName() == F->Name() ? F : F->FindComponent(Item.CompName()));
      EXPECT_EQ(Item.Control() == F ? -1 : Item.CompIndex(), Stored.Item(I)->CompIndex());
      EXPECT_EQ(Item.Texts()->Count(), 9);
      for (int Slot : {1, 3, 4, 5, 6, 7, 8}) EXPECT_EQ(Item.GetValue(Slot), "");
      EXPECT_NE(Item.GetValue(2), Item.GetValue(0)) << "Dutch equal to the English is stored empty";
      EXPECT_EQ(Shown(Item), Item.GetValue(0));
    }
  }
}

TEST_F(WizardLanguages, TheWelcomePageStoresItsTwoItemsIn382Bytes) {
  const std::vector<uint8_t> B = StoredItems(*iiForm1);
  ASSERT_EQ(B.size(), 382u);
  auto At = [&](size_t Offset, size_t N) { return std::string(B.begin() + Offset, B.begin() + Offset + N); };
  EXPECT_EQ(At(0, 3), std::string("\x01\x02\x00", 3)) << "owning, two items";
  EXPECT_EQ(At(3, 7), "\x06TCIStr");
  EXPECT_EQ(At(173, 7), "\x06TCIStr") << "the first item takes bytes 3 to 172";
  EXPECT_EQ(At(280, 3), std::string("\x01\x09\x00", 3)) << "the second 173 to 279, then nine slots";
  for (size_t S = 0; S < 9; ++S) EXPECT_EQ(At(283 + 11 * S, 11), "\x06TLngId" + std::string({char(RussianList[S]), 0, 0, 0}));
  TInfoList Stored;
  TMemoryStream Stream(B);
  Stored.ReadData(Stream);
  const TCI &Caption = *Stored.Item(0), &Next = *Stored.Item(1);
  EXPECT_EQ(Caption.CompName() + " " + std::to_string(Caption.CompIndex()), "iiForm1 -1");
  EXPECT_EQ(Caption.GetValue(0) + "|" + Caption.GetValue(2),
            "Welcome to the brisko installation program|Welkom bij het installatieprogramma");
  EXPECT_EQ(Next.CompName() + " " + Next.GetValue(0) + "|" + Next.GetValue(2), "Button3 Next>|Volgende>");
}

TEST_F(WizardLanguages, ASwitchOnOneFormReachesEveryFormAndThoseMadeLater) {
  // Forms in the order of TWizardForms::All(): the finish page fifth, the folder dialog last.
  struct {
    TForm* On;
    int Slot;  // -1: by the identifier
    TLangid Id;
    std::vector<int> Active;
  } Steps[] = {
      {iiForm5, 2, {}, {2, 2, 2, 2, 2, 2, 2}},
      {iiForm5, 3, {}, {3, 3, 3, 3, 3, 3, 3}},  // nothing in slot 3: English throughout
      {iForm10, 0, {}, {0, 0, 0, 0, 0, 0, 0}},
      {iForm10, -1, lgSPANISH, {0, 0, 0, 0, 3, 0, 4}},  // no Spanish on five; the finish page by DefaultLangOrder
      {iiForm1, 4, {}, {4, 4, 4, 4, 4, 4, 4}},          // each form its own slot 4
      {iiForm6, 2, {}, {2, 2, 2, 2, 2, 2, 2}},
      {iForm10, -1, lgSPANISH, {2, 2, 2, 2, 3, 2, 4}},
      {iiForm2, -1, lgDUTCH, {2, 2, 2, 2, 3, 2, 2}},  // the finish page has no Dutch slot
      {iiForm3, 9, {}, {2, 2, 2, 2, 3, 2, 2}},         // no slot 9
      {iiForm6, -1, lgKOREAN, {2, 2, 2, 2, 8, 2, 2}},
      {iiForm6, 2, {}, {2, 2, 2, 2, 2, 2, 2}},
  };
  for (const auto& S : Steps) {
    SCOPED_TRACE(S.On->Name() + (S.Slot < 0 ? " by " + LangidNames().NameOf(S.Id) : " slot " + std::to_string(S.Slot)));
    if (S.Slot < 0) Lang(S.On).SetActiveLangById(S.Id);
    else Lang(S.On).SetActiveLang(S.Slot);
    EXPECT_EQ(ActiveSlots(), S.Active);
    ExpectActiveSlotsShown();
  }
  EXPECT_EQ(WindowText(iiForm1->Handle()), "Welkom bij het installatieprogramma");
  TiForm11 Later(nullptr);  // in Dutch from its first showing
  Later.Show();
  EXPECT_EQ(WindowText(Later.Handle()) + "|" + Later.Label1->Caption(), "Nieuwe map|Huidige map");
}

TEST_F(WizardLanguages, TheActiveSlotAppliesNothingButIsPassedOnAndARefusalStopsEverything) {
  std::map<TForm*, int> Asked, Changed;
  for (TForm* F : TWizardForms::All()) {
    Lang(F).OnBeforeChanging = TBeforeChangingEvent([&Asked, F](TObject*, bool&) { ++Asked[F]; });
    Lang(F).OnLanguageChanged = TNotifyEvent([&Changed, F](TObject*) { ++Changed[F]; });
  }
  iiForm1->Button3->SetCaption("Manual");
  iiForm3->MltLang1->SetActiveLang(0);
  EXPECT_EQ(WindowText(iiForm1->Button3->Handle()), "Manual");
  for (TForm* F : TWizardForms::All()) EXPECT_TRUE(Asked[F] == 1 && Changed[F] == 1) << F->Name();

  const TBeforeChangingEvent Refuse([](TObject*, bool& Allowed) { Allowed = false; });
  iiForm3->MltLang1->OnBeforeChanging = Refuse;
  iiForm3->MltLang1->SetActiveLang(2);
  EXPECT_EQ(ActiveSlots(), std::vector<int>(7, 0));
  EXPECT_TRUE(Asked[iiForm1] == 1 && Changed[iiForm3] == 1) << "nobody else asked, nothing reported";
  // A form that refuses stays where it is while the others follow.
  iiForm3->MltLang1->OnBeforeChanging = {};
  iiForm1->MltLang1->OnBeforeChanging = Refuse;
  iiForm3->MltLang1->SetActiveLang(2);
  EXPECT_EQ(ActiveSlots(), (std::vector<int>{0, 2, 2, 2, 2, 2, 2}));
  for (TForm* F : TWizardForms::All()) Lang(F).OnLanguageChanged = {};
}

TEST_F(WizardLanguages, MaxLangIsKeptWithinTheIdentifiersAndCutsTheItems) {
  TMltLang& L = *iForm10->MltLang1;
  struct {
    int Active, Max, Slots;
  } Cases[] = {{0, 1, 9}, {0, 44, 9}, {5, 3, 9}, {0, 43, 43}, {0, 3, 3}};
  for (const auto& C : Cases) {
    SCOPED_TRACE("MaxLang " + std::to_string(C.Max) + " in slot " + std::to_string(C.Active));
    L.SetActiveLang(C.Active);
    L.SetMaxLang(C.Max);
    EXPECT_EQ(L.MaxLang(), C.Slots);
    if (C.Slots == 43) {
      EXPECT_EQ(Slots(L).back(), DefaultLangOrder.back()) << "new slots in DefaultLangOrder";
    }
    for (int I = 0; I < L.ItemList().Count(); ++I)
      EXPECT_EQ(dynamic_cast<TCIStr*>(L.ItemList().Item(I))->Texts()->Count(), std::min(C.Slots, 9));
  }
  EXPECT_EQ(Slots(L), TIds(SpanishList.begin(), SpanishList.begin() + 3));
  L.SetActiveLang(2);
  ExpectActiveSlotsShown();
}

TEST_F(WizardLanguages, NoDutchTextIsCutOffByItsControl) {
  iiForm1->MltLang1->SetActiveLang(2);
  for (TForm* F : TWizardForms::All()) {
    F->Show();
    for (int I = 0; I < Lang(F).ItemList().Count(); ++I) {
      const TCI& Item = *Lang(F).ItemList().Item(I);
      if (Item.PropName() != "Caption") continue;  // hints are not shown
      auto& C = *static_cast<TControl*>(Item.Control());
      const std::string Text = Shown(Item);
      SCOPED_TRACE(F->Name() + "." + C.Name() + ": " + Text);
      if (auto* Label = dynamic_cast<TLabel*>(&C)) ExpectLabelFits(*Label, Text);
      else EXPECT_LE(TextExtent(&C == F ? CaptionFont() : C.Font()->Handle(), Text).cx, TextRoom(C));
    }
    F->Hide();
  }
}
