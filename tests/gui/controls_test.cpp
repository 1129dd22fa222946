// Controls on a shown form, read back through their windows.
#include <gtest/gtest.h>

#include "classes/formstream.h"
#include "gui/buttons.h"
#include "gui/extctrls.h"
#include "gui/stdctrls.h"
#include "window_testing.h"

using namespace wintest;

namespace {

// A shown form holding what a test puts in it.
struct TShownForm {
  TForm Form{nullptr};
  explicit TShownForm(const std::string& Body = "") {
    Form.InitializeForm("object F: TForm\n  Left = 50\n  Top = 40\n  Width = 420\n  Height = 380\n"
                        "  Font.Height = -11\n  Font.Name = 'Tahoma'\n" +
                        Body + "end\n");
    Form.Show();
    PumpPending();
  }
  template <class T>
  T* Get(const char* Name) {
    auto* C = dynamic_cast<T*>(Form.FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
  }
};

}  // namespace

TEST(ParentFont, AParentsFontReachesTheChildrenThatUseIt) {
  TShownForm S(
      "  object P: TPanel\n"
      "    object Inner: TButton\n    end\n"
      "  end\n"
      "  object Own: TButton\n    Font.Height = -19\n    Font.Name = 'Arial'\n    ParentFont = False\n  end\n"
      "  object L: TLabel\n    Caption = 'Text'\n  end\n");
  auto* P = S.Get<TPanel>("P");
  auto* Inner = S.Get<TButton>("Inner");
  auto* Own = S.Get<TButton>("Own");
  auto* L = S.Get<TLabel>("L");
  EXPECT_EQ(FontOf(Inner->Handle()).lfHeight, -11);
  EXPECT_EQ(FontOf(Own->Handle()).lfHeight, -19);

  S.Form.Font()->SetHeight(-27);
  S.Form.Font()->SetStyle({fsBold});
  // Through the panel to its button; the label follows too; the own font stays.
  EXPECT_EQ(P->Font()->Height(), -27);
  EXPECT_EQ(FontOf(Inner->Handle()).lfHeight, -27);
  EXPECT_EQ(FontOf(Inner->Handle()).lfWeight, FW_BOLD);
  EXPECT_EQ(L->Font()->Height(), -27);
  EXPECT_TRUE(Inner->ParentFont());
  EXPECT_EQ(FontOf(Own->Handle()).lfHeight, -19);
  EXPECT_STREQ(FontOf(Own->Handle()).lfFaceName, "Arial");

  // A font of its own ends the inheritance; asking for it again takes the parent's.
  Inner->Font()->SetSize(12);
  EXPECT_FALSE(Inner->ParentFont());
  EXPECT_EQ(Inner->Font()->Height(), -16);
  S.Form.Font()->SetHeight(-11);
  EXPECT_EQ(FontOf(Inner->Handle()).lfHeight, -16);
  Inner->SetParentFont(true);
  EXPECT_EQ(FontOf(Inner->Handle()).lfHeight, -11);
  EXPECT_EQ(Inner->Font()->Size(), 8);
}

TEST(Align, AlignedControlsFollowTheirParentsClientArea) {
  TShownForm S(
      "  object Bottom: TPanel\n    Align = alBottom\n    Height = 30\n  end\n"
      "  object Top: TPanel\n    Align = alTop\n    Height = 40\n  end\n"
      "  object Client: TMemo\n    Align = alClient\n  end\n"
      "  object Free: TButton\n    Left = 5\n    Top = 5\n  end\n");
  HWND Wnd = S.Form.Handle();
  auto* Top = S.Get<TPanel>("Top");
  auto* Bottom = S.Get<TPanel>("Bottom");
  auto* Client = S.Get<TMemo>("Client");
  TBounds C = ClientOf(Wnd);
  EXPECT_EQ(BoundsOf(Top->Handle()), (TBounds{0, 0, C.Width, 40}));
  EXPECT_EQ(BoundsOf(Bottom->Handle()), (TBounds{0, C.Height - 30, C.Width, 30}));
  EXPECT_EQ(BoundsOf(Client->Handle()), (TBounds{0, 40, C.Width, C.Height - 70}));
  EXPECT_EQ(BoundsOf(S.Get<TButton>("Free")->Handle()), (TBounds{5, 5, 75, 25}));

  S.Form.SetBounds(50, 40, 500, 300);
  C = ClientOf(Wnd);
  EXPECT_EQ(BoundsOf(Top->Handle()), (TBounds{0, 0, C.Width, 40}));
  EXPECT_EQ(BoundsOf(Bottom->Handle()), (TBounds{0, C.Height - 30, C.Width, 30}));
  EXPECT_EQ(BoundsOf(Client->Handle()), (TBounds{0, 40, C.Width, C.Height - 70}));

  Top->Hide();
  EXPECT_EQ(BoundsOf(Client->Handle()), (TBounds{0, 0, C.Width, C.Height - 30}));
  // Inside a panel, the bevel is not part of the aligned area.
  auto* Inside = new TButton(&S.Form);
  Inside->SetAlign(alClient);
  Inside->SetParent(Bottom);
  EXPECT_EQ(BoundsOf(Inside->Handle()), (TBounds{1, 1, C.Width - 2, 28}));
}

TEST(RadioButton, OneCheckedPerParent) {
  TShownForm S(
      "  object A: TRadioButton\n    Checked = True\n  end\n"
      "  object B: TRadioButton\n    Top = 20\n  end\n"
      "  object G: TGroupBox\n    Top = 60\n    Height = 80\n"
      "    object C: TRadioButton\n      Top = 20\n      Checked = True\n    end\n"
      "  end\n");
  auto* A = S.Get<TRadioButton>("A");
  auto* B = S.Get<TRadioButton>("B");
  auto* C = S.Get<TRadioButton>("C");
  int AClicks = 0;
  A->OnClick = TNotifyEvent([&](TObject*) { ++AClicks; });
  EXPECT_TRUE(A->Checked());
  EXPECT_TRUE(C->Checked());

  SendMessageA(B->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(B->Checked());
  EXPECT_FALSE(A->Checked());
  EXPECT_EQ(SendMessageA(A->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(C->Checked()) << "another parent's radio button is another group";

  SendMessageA(A->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(AClicks, 1);
  SendMessageA(A->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(AClicks, 1) << "clicking the checked one changes nothing";
  B->SetChecked(true);
  EXPECT_FALSE(A->Checked());
  EXPECT_EQ(SendMessageA(B->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST(ComboBox, ChangeOnSelectionAndOnTypingSeesTheNewText) {
  TShownForm S(
      "  object Box: TComboBox\n    Width = 200\n    Items.Strings = (\n      'English'\n      'Deutsch'\n"
      "      'Fran'#231'ais')\n    Text = 'English'\n  end\n"
      "  object List: TComboBox\n    Top = 40\n    Style = csDropDownList\n"
      "    Items.Strings = (\n      'one'\n      'two')\n    ItemIndex = 0\n  end\n");
  auto* Box = S.Get<TComboBox>("Box");
  auto* List = S.Get<TComboBox>("List");
  std::vector<std::string> Changes;
  Box->OnChange = TNotifyEvent([&](TObject*) { Changes.push_back(Box->Text()); });
  EXPECT_EQ(Box->ItemIndex(), -1);
  EXPECT_EQ(List->ItemIndex(), 0);
  EXPECT_EQ(List->Text(), "one");

  // The user picks an item: the box tells its parent, which hands it on.
  SendMessageA(Box->Handle(), CB_SETCURSEL, 1, 0);
  SendMessageA(S.Form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Box->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(Box->Handle()));
  ASSERT_EQ(Changes.size(), 1u);
  EXPECT_EQ(Changes[0], "Deutsch");
  EXPECT_EQ(Box->ItemIndex(), 1);

  // The user types into the box's edit.
  HWND Edit = GetWindow(Box->Handle(), GW_CHILD);
  SendMessageA(Edit, EM_SETSEL, 0, -1);
  for (char Ch : std::string("Ruski")) SendMessageA(Edit, WM_CHAR, static_cast<unsigned char>(Ch), 1);
  ASSERT_GE(Changes.size(), 6u);
  EXPECT_EQ(Changes.back(), "Ruski");
  EXPECT_EQ(Box->Text(), "Ruski");

  // A drop-down list chosen by keyboard reports the same way.
  std::vector<std::string> ListChanges;
  List->OnChange = TNotifyEvent([&](TObject*) { ListChanges.push_back(List->Text()); });
  List->SetFocus();
  SendMessageA(List->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_EQ(ListChanges.size(), 1u);
  EXPECT_EQ(ListChanges[0], "two");

  // Code changing the selection reports nothing.
  Box->SetItemIndex(2);
  EXPECT_EQ(Box->Text(), "Fran\xE7" "ais");
  EXPECT_EQ(Changes.back(), "Ruski");
  // The box's own height follows its font; the closed box is what Height says.
  EXPECT_EQ(BoundsOf(Box->Handle()).Height, Box->Height());
}

TEST(ComboBox, ItemsAndSelectionSurviveANewWindow) {
  TShownForm S("  object Box: TComboBox\n    Items.Strings = (\n      'b'\n      'a')\n  end\n");
  auto* Box = S.Get<TComboBox>("Box");
  Box->Items()->Add("c");
  Box->SetItemIndex(2);
  Box->SetSorted(true);  // a new window: the items come back sorted
  EXPECT_EQ(Box->Items()->ToVector(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SendMessageA(Box->Handle(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(Box->Text(), "c");
  Box->Items()->Delete(0);
  EXPECT_EQ(SendMessageA(Box->Handle(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_THROW(Box->Items()->Get(5), EStringListError);
}

TEST(Memo, LinesKeepBlanksAndEmptyLines) {
  TShownForm S("  object M: TMemo\n    WordWrap = True\n    Width = 60\n  end\n");
  auto* M = S.Get<TMemo>("M");
  int Changes = 0;
  M->OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  M->Lines()->SetText("one  \r\n\r\n  three\r\n");
  EXPECT_EQ(Changes, 3) << "once per line set (the memo was empty already)";
  EXPECT_EQ(M->Lines()->ToVector(), (std::vector<std::string>{"one  ", "", "  three"}));
  M->Lines()->Add("");
  M->Lines()->Add("a long line that the narrow memo wraps on screen");
  EXPECT_EQ(M->Lines()->Count(), 5);
  EXPECT_EQ(M->Lines()->Get(3), "");
  EXPECT_EQ(M->Lines()->Get(4), "a long line that the narrow memo wraps on screen");
  M->Lines()->Insert(0, "zero ");
  M->Lines()->Delete(2);
  EXPECT_EQ(M->Lines()->ToVector(),
            (std::vector<std::string>{"zero ", "one  ", "  three", "", "a long line that the narrow memo wraps on screen"}));
  EXPECT_EQ(WindowText(M->Handle()), "zero \r\none  \r\n  three\r\n\r\na long line that the narrow memo wraps on screen\r\n");

  // What the user types is what the lines say.
  SetWindowTextA(M->Handle(), "typed\r\nby hand");
  EXPECT_EQ(M->Lines()->ToVector(), (std::vector<std::string>{"typed", "by hand"}));
  M->Lines()->Clear();
  EXPECT_EQ(M->Lines()->Count(), 0);
  EXPECT_THROW(M->Lines()->Delete(0), EStringListError);
}

TEST(Edit, FixedHeightChangeEventsAndLimits) {
  TShownForm S("  object E: TEdit\n    Height = 40\n    MaxLength = 5\n  end\n");
  auto* E = S.Get<TEdit>("E");
  EXPECT_LT(E->Height(), 40);
  const int Height = E->Height();
  E->Font()->SetHeight(-27);
  EXPECT_GT(E->Height(), Height) << "a bigger font makes a taller edit";
  E->SetAutoSize(false);
  E->SetHeight(50);
  EXPECT_EQ(BoundsOf(E->Handle()).Height, 50);

  int Changes = 0;
  E->OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  E->SetText("abc");
  EXPECT_EQ(Changes, 1);
  E->SetSelStart(3);
  for (char Ch : std::string("defgh")) SendMessageA(E->Handle(), WM_CHAR, static_cast<unsigned char>(Ch), 1);
  EXPECT_EQ(E->Text(), "abcde") << "MaxLength stops typing";
  EXPECT_TRUE(E->Modified());

  int Clicks = 0;
  E->OnClick = TNotifyEvent([&](TObject*) { ++Clicks; });
  SendMessageA(E->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(E->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Clicks, 1);

  E->SetReadOnly(true);
  EXPECT_TRUE(GetWindowLongPtrA(E->Handle(), GWL_STYLE) & ES_READONLY);
}

// An edit's window is made empty and given its text once it has its font: made or
// made again, it shows its text, keeps the selection and the user's changes flag, and
// reports no change of its own.
TEST(Edit, AWindowMadeAgainKeepsTextSelectionAndModifiedWithoutAChange) {
  TShownForm S("  object E: TEdit\n    Text = 'ab cd'\n    AutoSelect = False\n  end\n"
               "  object M: TMemo\n    Lines.Strings = (\n      'first'\n      'second')\n  end\n");
  for (TCustomEdit* Box : {static_cast<TCustomEdit*>(S.Get<TEdit>("E")), static_cast<TCustomEdit*>(S.Get<TMemo>("M"))}) {
    SCOPED_TRACE(Box->Name());
    const std::string Text = Box->Text();
    ASSERT_FALSE(Text.empty());
    EXPECT_EQ(WindowText(Box->Handle()), Text);
    EXPECT_FALSE(Box->Modified());
    int Changes = 0;
    Box->OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
    Box->SetSelStart(2);
    Box->SetSelLength(2);
    Box->SetModified(true);
    Box->SetBorderStyle(bsNone);  // a new window
    EXPECT_EQ(WindowText(Box->Handle()), Text);
    EXPECT_EQ(Box->SelStart(), 2);
    EXPECT_EQ(Box->SelLength(), 2);
    EXPECT_TRUE(Box->Modified());
    EXPECT_EQ(Changes, 0);
  }
}

TEST(CheckBox, StatesAndClicks) {
  TShownForm S("  object C: TCheckBox\n    Caption = 'Add to desktop'\n    State = cbChecked\n  end\n");
  auto* C = S.Get<TCheckBox>("C");
  int Clicks = 0;
  C->OnClick = TNotifyEvent([&](TObject*) { ++Clicks; });
  EXPECT_TRUE(C->Checked());
  EXPECT_EQ(SendMessageA(C->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(C->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(C->Checked());
  EXPECT_EQ(SendMessageA(C->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  C->SetAllowGrayed(true);
  SendMessageA(C->Handle(), BM_CLICK, 0, 0);
  SendMessageA(C->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(C->State(), cbGrayed);
  EXPECT_EQ(SendMessageA(C->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  EXPECT_EQ(Clicks, 3);
  C->SetChecked(true);
  EXPECT_EQ(Clicks, 4);
}

TEST(Label, FitsItsTextAndWrapsWithinItsWidth) {
  TShownForm S(
      "  object Short: TLabel\n    Caption = 'Brisko'\n  end\n"
      "  object Wrapped: TLabel\n    Top = 40\n    Width = 120\n    WordWrap = True\n"
      "    Caption = 'You can exit now and (re)install Brisko some other time.'\n  end\n"
      "  object Fixed: TLabel\n    Top = 120\n    Width = 10\n    Height = 10\n    AutoSize = False\n"
      "    Caption = 'Fixed'\n  end\n");
  auto* Short = S.Get<TLabel>("Short");
  auto* Wrapped = S.Get<TLabel>("Wrapped");
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Short->Font()->Handle());
  SIZE Size;
  GetTextExtentPoint32A(DC, "Brisko", 6, &Size);
  TEXTMETRICA TM;
  GetTextMetricsA(DC, &TM);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  EXPECT_EQ(Short->Width(), Size.cx);
  EXPECT_EQ(Short->Height(), TM.tmHeight);
  EXPECT_LE(Wrapped->Width(), 120);
  EXPECT_GE(Wrapped->Height(), 3 * TM.tmHeight);
  EXPECT_EQ(S.Get<TLabel>("Fixed")->Width(), 10);

  Short->SetCaption("Brisko Brisko");
  EXPECT_GT(Short->Width(), Size.cx);

  // A click on the label's place in its parent is the label's click.
  int Clicks = 0;
  Short->OnClick = TNotifyEvent([&](TObject*) { ++Clicks; });
  SendMessageA(S.Form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageA(S.Form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(Clicks, 1);
  SendMessageA(S.Form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 300));
  SendMessageA(S.Form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(300, 300));
  EXPECT_EQ(Clicks, 1);
}

namespace {

// One control of each kind that shows a text, on one form; the first takes the
// focus, so that no caret blinks in the pictures taken.
const char* const TextControls =
    "  object First: TButton\n    Caption = 'Focus'\n  end\n"
    "  object B: TButton\n    Top = 30\n    Width = 120\n    Caption = 'Next>'\n  end\n"
    "  object Bit: TBitBtn\n    Top = 60\n    Width = 120\n    Caption = 'Next>'\n  end\n"
    "  object C: TCheckBox\n    Top = 90\n    Width = 120\n    Caption = 'Next>'\n  end\n"
    "  object R: TRadioButton\n    Top = 120\n    Width = 120\n    Caption = 'Next>'\n  end\n"
    "  object G: TGroupBox\n    Top = 150\n    Width = 120\n    Height = 40\n    Caption = 'Next>'\n  end\n"
    "  object P: TPanel\n    Top = 200\n    Width = 120\n    Height = 30\n    Caption = 'Next>'\n  end\n"
    "  object L: TLabel\n    Top = 240\n    Caption = 'Next>'\n  end\n"
    "  object E: TEdit\n    Top = 260\n    Width = 120\n    Text = 'Next>'\n  end\n"
    "  object M: TMemo\n    Top = 290\n    Width = 120\n    Height = 30\n    Lines.Strings = ('Next>')\n  end\n"
    "  object Box: TComboBox\n    Left = 200\n    Width = 120\n    Text = 'Next>'\n  end\n";

// What the screen shows of a control: its window's client area, or its place on its parent.
std::vector<COLORREF> Pixels(TControl& C) {
  auto* W = dynamic_cast<TWinControl*>(&C);
  HWND Wnd = W ? W->Handle() : C.Parent()->Handle();
  RECT R = C.BoundsRect();
  if (W) GetClientRect(Wnd, &R);
  HDC DC = GetDC(Wnd);
  std::vector<COLORREF> P;
  for (int Y = R.top; Y < R.bottom; ++Y)
    for (int X = R.left; X < R.right; ++X) P.push_back(GetPixel(DC, X, Y));
  ReleaseDC(Wnd, DC);
  return P;
}

}  // namespace

TEST(Text, ANewTextIsOnTheScreenAsAFullRepaintDrawsIt) {
  TShownForm S(TextControls);
  std::vector<TControl*> Controls;
  for (const char* Name : {"B", "Bit", "C", "R", "G", "P", "L", "E", "M"}) Controls.push_back(S.Get<TControl>(Name));
  std::vector<std::vector<COLORREF>> Before, Changed;
  for (TControl* C : Controls) Before.push_back(Pixels(*C));
  for (TControl* C : Controls) C->SetText("Volgende>");
  PumpPending();
  for (TControl* C : Controls) Changed.push_back(Pixels(*C));
  S.Form.Repaint();
  PumpPending();
  for (size_t I = 0; I < Controls.size(); ++I) {
    SCOPED_TRACE(Controls[I]->Name());
    EXPECT_EQ(Controls[I]->Text(), "Volgende>");
    EXPECT_NE(Changed[I], Before[I]);
    EXPECT_EQ(Changed[I], Pixels(*Controls[I])) << "the old text, or part of it, was left on the screen";
  }
}

TEST(Text, SetTextComparesWithWhatTheWindowShowsHoweverItGotThere) {
  TShownForm S(TextControls);
  for (const char* Name : {"B", "Bit", "C", "R", "G", "P", "E", "M", "Box"}) {
    SCOPED_TRACE(Name);
    auto* W = S.Get<TWinControl>(Name);
    SetWindowTextA(W->Handle(), "Elsewhere");
    W->SetText("Next>");
    EXPECT_EQ(WindowText(W->Handle()), "Next>");
  }
  SetWindowTextA(S.Form.Handle(), "Elsewhere");
  S.Form.SetCaption("F");
  EXPECT_EQ(WindowText(S.Form.Handle()), "F");

  // Typed or chosen by the user: the same text set again is no change, another one is.
  auto* E = S.Get<TEdit>("E");
  auto* M = S.Get<TMemo>("M");
  auto* Box = S.Get<TComboBox>("Box");
  Box->Items()->SetText("Deutsch\r\nEnglish\r\n");
  int Changes = 0;
  for (auto* Event : {&E->OnChange, &M->OnChange, &Box->OnChange})
    *Event = TNotifyEvent([&](TObject*) { ++Changes; });
  for (HWND Typed : {E->Handle(), M->Handle()}) {
    SendMessageA(Typed, EM_SETSEL, 0, -1);
    for (char Ch : std::string("Typed")) SendMessageA(Typed, WM_CHAR, static_cast<unsigned char>(Ch), 1);
  }
  SendMessageA(Box->Handle(), CB_SETCURSEL, 0, 0);
  const int Typing = Changes;
  E->SetText("Typed");
  M->SetText("Typed");
  Box->SetText("Deutsch");
  EXPECT_EQ(Changes, Typing);
  E->SetText("Next>");
  M->SetText("Next>");
  EXPECT_EQ(Changes, Typing + 2);
  Box->SetText("Next>");
  EXPECT_EQ(WindowText(E->Handle()) + WindowText(M->Handle()) + WindowText(Box->Handle()), "Next>Next>Next>");
}

TEST(TabOrder, ResourceOrderAndTabOrderAreIndependent) {
  TShownForm S(
      "  object C: TButton\n    TabOrder = 2\n  end\n"
      "  object A: TButton\n    TabOrder = 0\n  end\n"
      "  object Off: TButton\n    TabOrder = 3\n    TabStop = False\n  end\n"
      "  object B: TEdit\n    TabOrder = 1\n  end\n");
  auto* A = S.Get<TButton>("A");
  auto* B = S.Get<TEdit>("B");
  auto* C = S.Get<TButton>("C");
  std::vector<TWinControl*> List;
  S.Form.GetTabOrderList(List);
  EXPECT_EQ(List, (std::vector<TWinControl*>{A, B, C, S.Get<TButton>("Off")}));
  EXPECT_EQ(S.Form.ControlCount(), 4);
  EXPECT_EQ(S.Form.Controls(0), C);

  EXPECT_EQ(S.Form.FindNextControl(C, true, true, false), A) << "skips the control that is no tab stop";
  B->SetEnabled(false);
  EXPECT_EQ(S.Form.FindNextControl(A, true, true, false), C);
  B->SetEnabled(true);
  C->SetTabOrder(0);
  EXPECT_EQ(C->TabOrder(), 0);
  EXPECT_EQ(A->TabOrder(), 1);
  EXPECT_EQ(S.Form.FindNextControl(nullptr, true, true, false), C);

  // The last control in the resource lies on top.
  EXPECT_EQ(GetWindow(S.Form.Handle(), GW_CHILD), B->Handle());
  C->BringToFront();
  EXPECT_EQ(GetWindow(S.Form.Handle(), GW_CHILD), C->Handle());
  EXPECT_EQ(S.Form.Controls(3), C);
}

TEST(WinControl, WindowsComeWhenNeededAndKeepTheirStateWhenRecreated) {
  TForm Form(nullptr);
  Form.InitializeForm("object F: TForm\n  object E: TEdit\n    Text = 'kept'\n  end\nend\n");
  auto* E = static_cast<TEdit*>(Form.FindComponent("E"));
  EXPECT_FALSE(Form.HandleAllocated());
  EXPECT_FALSE(E->HandleAllocated());
  // Asking a control for its window brings its parent's with it.
  HWND Edit = E->Handle();
  EXPECT_TRUE(Form.HandleAllocated());
  EXPECT_EQ(GetParent(Edit), Form.Handle());
  EXPECT_EQ(TWinControl::FromHandle(Edit), E);
  SetWindowTextA(Edit, "typed");
  Form.RecreateWnd();
  EXPECT_NE(E->Handle(), nullptr);
  EXPECT_EQ(WindowText(E->Handle()), "typed");
  Form.DestroyHandle();
  EXPECT_FALSE(E->HandleAllocated());
  EXPECT_EQ(E->Text(), "typed");

  TButton Orphan(nullptr);
  EXPECT_THROW(Orphan.Handle(), EInvalidOperation);
}

TEST(WinControl, ParentsFreeTheirChildrenAndChildrenLeaveTheirParents) {
  TShownForm S("  object P: TPanel\n    object B: TButton\n    end\n  end\n");
  auto* P = S.Get<TPanel>("P");
  auto* B = S.Get<TButton>("B");
  S.Form.Hide();
  S.Form.SetActiveControl(B);
  EXPECT_EQ(S.Form.ActiveControl(), B);
  delete B;
  EXPECT_EQ(P->ControlCount(), 0);
  EXPECT_EQ(S.Form.ActiveControl(), nullptr);
  EXPECT_EQ(S.Form.FindComponent("B"), nullptr);
  auto* Other = new TButton(nullptr);
  Other->SetParent(P);
  delete P;  // takes its child with it, whoever owns that
  EXPECT_EQ(S.Form.ControlCount(), 0);
}

TEST(Panel, PaintsItsCaptionAndChildLabel) {
  TShownForm S(
      "  object P: TPanel\n    Left = 10\n    Top = 10\n    Width = 200\n    Height = 60\n    Color = clWhite\n"
      "    object L: TLabel\n      Left = 4\n      Top = 4\n      Caption = 'Please wait...'\n      Color = clRed\n"
      "      ParentColor = False\n    end\n  end\n");
  auto* P = S.Get<TPanel>("P");
  P->Repaint();
  HDC DC = GetDC(P->Handle());
  // The label's own colour behind its text, the panel's elsewhere, a light bevel at the edge.
  EXPECT_EQ(GetPixel(DC, 5, 5) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(GetPixel(DC, 150, 50) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(GetPixel(DC, 0, 30) & 0xFFFFFF, ColorToRGB(clBtnHighlight));
  EXPECT_EQ(GetPixel(DC, 199, 30) & 0xFFFFFF, ColorToRGB(clBtnShadow));
  ReleaseDC(P->Handle(), DC);
}

TEST(Timer, FiresWhileEnabled) {
  TTimer Timer(nullptr);
  int Ticks = 0;
  Timer.SetInterval(10);
  Timer.OnTimer = TNotifyEvent([&](TObject*) { ++Ticks; });
  EXPECT_TRUE(PumpUntil([&] { return Ticks >= 2; }));
  Timer.SetEnabled(false);
  int Now = Ticks;
  // A second timer of the same interval tells when the first would have fired.
  TTimer Clock(nullptr);
  int Beats = 0;
  Clock.SetInterval(10);
  Clock.OnTimer = TNotifyEvent([&](TObject*) { ++Beats; });
  EXPECT_TRUE(PumpUntil([&] { return Beats >= 3; }));
  EXPECT_EQ(Ticks, Now);
}

TEST(BitBtn, DrawsTheGlyphOfItsStateAndClicks) {
  TShownForm S("  object B: TBitBtn\n    Width = 40\n    Height = 30\n    NumGlyphs = 2\n  end\n");
  auto* B = S.Get<TBitBtn>("B");
  // Two 8 x 8 glyphs: normal red, disabled blue, the bottom-left pixel green (left out).
  TBitmap& G = *B->Glyph();
  G.SetSize(16, 8);
  for (int Y = 0; Y < 8; ++Y)
    for (int X = 0; X < 16; ++X) SetPixel(G.Canvas().Handle(), X, Y, X < 8 ? RGB(255, 0, 0) : RGB(0, 0, 255));
  SetPixel(G.Canvas().Handle(), 0, 7, RGB(0, 255, 0));
  G.SetTransparent(true);
  B->Repaint();
  HDC DC = GetDC(B->Handle());
  const int GX = (40 - 8) / 2, GY = (30 - 8) / 2;
  EXPECT_EQ(GetPixel(DC, GX + 4, GY + 4) & 0xFFFFFF, 0x0000FFu);
  EXPECT_NE(GetPixel(DC, GX, GY + 7) & 0xFFFFFF, 0x00FF00u) << "the transparent colour is left out";
  ReleaseDC(B->Handle(), DC);
  B->SetEnabled(false);
  B->Repaint();
  DC = GetDC(B->Handle());
  EXPECT_EQ(GetPixel(DC, GX + 4, GY + 4) & 0xFFFFFF, 0xFF0000u);
  ReleaseDC(B->Handle(), DC);
  B->SetEnabled(true);

  int Clicks = 0;
  B->OnClick = TNotifyEvent([&](TObject*) { ++Clicks; });
  SendMessageA(B->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(SendMessageA(B->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON);
}

TEST(PublishedProperties, ClassesAnswerByNameIgnoringCase) {
  TEdit E(nullptr);
  TLabel L(nullptr);
  TButton B(nullptr);
  TForm F(nullptr);
  EXPECT_TRUE(IsPublishedProp(E, "AutoSize"));
  EXPECT_TRUE(IsPublishedProp(L, "autosize"));
  EXPECT_FALSE(IsPublishedProp(B, "AutoSize"));
  EXPECT_FALSE(IsPublishedProp(B, "PageIndex"));
  EXPECT_TRUE(IsPublishedProp(F, "HorzScrollBar"));
  // Reading and writing by name goes to the control.
  SetOrdProp(L, "AutoSize", 0);
  EXPECT_FALSE(L.AutoSize());
  EXPECT_EQ(GetOrdProp(E, "AutoSize"), 1);
  TObject* Font = GetObjectProp(B, "Font");
  ASSERT_NE(Font, nullptr);
  SetOrdProp(*Font, "Size", 10);
  EXPECT_EQ(B.Font()->Size(), 10);
  EXPECT_FALSE(B.ParentFont());
}
