// The seven forms as the program makes them from its resources: order, frames,
// fonts, every control with its bounds, text and initial state, tab orders, the
// pictures, and the stored layout settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/buttons.h"
#include "shelltree/ShellTree.h"
#include "wizard_support.h"

using namespace wizardtest;

namespace {

int64_t StoredInt(const TFormNode& Node, const std::string& Prop) {
  auto M = Props(Node);
  auto It = M.find(Prop);
  return It == M.end() ? -1 : It->second.Int;
}

struct TExpected {
  TForm* (*Form)();
  const char* Name;
  const char* Class;
  int Left, Top, Width, Height;
  std::string Text;  // caption or text; for a memo its lines joined by CR LF
};

TForm* F1() { return iiForm1; }
TForm* F2() { return iiForm2; }
TForm* F3() { return iiForm3; }
TForm* F5() { return iiForm5; }
TForm* F6() { return iiForm6; }
TForm* F10() { return iForm10; }
TForm* F11() { return iForm11; }

const std::string MemoText =
    "This program will install Brisko on \r\n"
    "your hard disk. \r\n"
    "\r\n"
    "First you need to choose which \r\n"
    "screen language you want to use and \r\n"
    "finally you can set some shortcut  keys.\r\n"
    "\r\n"
    "All the installation screens have a  \"Cancel\" \r\n"
    "button . The \"Cancel\" button will ask you if \r\n"
    "you want to abort the brisko\r\n"
    "installation. The \"Next>\" button will open \r\n"
    "the next screen of the installation \r\n"
    "procedure. The \"<Back\" button will go back \r\n"
    "to the previous screen.\r\n";

const std::vector<TExpected>& Controls() {
  static const std::vector<TExpected> Table = {
      {F1, "Image1", "TImage", 8, 8, 137, 193, ""},
      {F1, "Memo1", "TMemo", 152, 8, 209, 273, MemoText},
      {F1, "RadioButton1", "TRadioButton", 8, 224, 113, 17, "Install"},
      {F1, "RadioButton2", "TRadioButton", 8, 248, 113, 17, "Uninstall"},
      {F1, "Button2", "TButton", 8, 296, 75, 25, "Cancel"},
      {F1, "Button3", "TButton", 272, 296, 75, 25, "Next>"},
      {F2, "Label1", "TLabel", 8, 16, 282, 65,
       "You have interrupted the Brisko installation program.  If you exit now you will NOT have installed "
       "Wendal.\r\nYou can exit now and (re)install Brisko some other time.\r\nBy pressing the \"Resume\" button "
       "you will not exit Brisko and continue the installation."},
      {F2, "Button1", "TButton", 8, 144, 75, 25, "Resume"},
      {F2, "Button2", "TButton", 96, 144, 75, 25, "Exit setup"},
      {F3, "Label3", "TLabel", 16, 24, 116, 23, "Brisko 1.0"},
      {F3, "Image1", "TImage", 216, 16, 113, 137, ""},
      {F3, "Label1", "TLabel", 8, 160, 145, 13, "Brisko Screen language"},
      {F3, "ComboBox1", "TComboBox", 8, 184, 337, 21, "English"},
      {F3, "Label2", "TLabel", 8, 232, 54, 13, "Install to:"},
      {F3, "Edit1", "TEdit", 8, 248, 321, 22, "C:\\program Files\\Brisko\\"},
      {F3, "BitBtn1", "TBitBtn", 312, 248, 30, 22, ""},
      {F3, "Button2", "TButton", 8, 296, 75, 25, "Cancel"},
      {F3, "Button4", "TButton", 184, 296, 75, 25, "<Back"},
      {F3, "Button3", "TButton", 272, 296, 75, 25, "Next>"},
      {F5, "Label3", "TLabel", 16, 16, 116, 23, "Brisko 1.0"},
      {F5, "Image1", "TImage", 216, 16, 113, 137, ""},
      {F5, "GroupBox1", "TGroupBox", 8, 184, 332, 81, "Shortcuts"},
      {F5, "CheckBox1", "TCheckBox", 8, 18, 209, 23, "Add to desktop"},
      {F5, "CheckBox2", "TCheckBox", 8, 38, 177, 17, "Add to Start menu"},
      {F5, "CheckBox3", "TCheckBox", 8, 58, 209, 17, "Add to Programs"},
      {F5, "Button2", "TButton", 8, 296, 75, 25, "Cancel"},
      {F5, "Button4", "TButton", 184, 296, 75, 25, "<Back"},
      {F5, "Button3", "TButton", 272, 296, 75, 25, "Install"},
      {F5, "Panel1", "TPanel", 8, 176, 337, 97, ""},
      {F5, "Label1", "TLabel", 32, 24, -1, -1, "Installing Brisko\r\nPlease wait..."},
      {F6, "Label3", "TLabel", 224, 16, 108, 32, "Brisko"},
      {F6, "Image1", "TImage", 64, 16, 145, 177, ""},
      {F6, "Label2", "TLabel", 32, 208, 194, 13, "You have successfully installed Brisko."},
      // The credits: four lines of names and a date.
      {F6, "Label1", "TLabel", 32, 232, 67, 52, "Tam Orvik\r\nLene Haskard\r\nIvo Brandes\r\nJune 1999"},
      {F6, "Button2", "TButton", 32, 300, 97, 25, "Start Brisko"},
      {F6, "Button1", "TButton", 216, 300, 97, 25, "Finish"},
      {F10, "Panel4", "TPanel", 0, 0, 357, 41, ""},
      {F10, "Button2", "TButton", 272, 8, 75, 25, "Accept"},
      {F10, "BitBtn1", "TBitBtn", 8, 8, 75, 25, "Create folder"},
      {F10, "Button3", "TButton", 184, 8, 75, 25, "Abort"},
      {F10, "Button1", "TButton", 96, 8, 75, 25, "Help"},
      {F10, "Panel1", "TPanel", 0, 41, 357, 287, ""},
      {F10, "ShellTree1", "TShellTree", 1, 1, 355, 285, ""},
      {F11, "Label1", "TLabel", 16, 8, 265, 25, "Current folder"},
      {F11, "Label2", "TLabel", 16, 32, 259, 33, ""},
      {F11, "Label3", "TLabel", 16, 64, 41, 33, "New"},
      {F11, "Edit1", "TEdit", 56, 64, 201, 22, ""},
      {F11, "Button3", "TButton", 280, 40, 75, 25, "OK"},
      {F11, "Button1", "TButton", 280, 8, 75, 25, "Help"},
      {F11, "Button2", "TButton", 280, 69, 75, 25, "Cancel"},
  };
  return Table;
}

class WizardForms : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(Forms.Created()); }
  TWizardForms Forms;
};

template <class T>
T* Find(TForm* F, const char* Name) {
  return dynamic_cast<T*>(F->FindComponent(Name));
}

std::vector<std::string> TabOrder(TWinControl* Parent) {
  std::vector<std::pair<int, std::string>> Order;
  for (int I = 0; I < Parent->ControlCount(); ++I)
    if (auto* W = dynamic_cast<TWinControl*>(Parent->Controls(I))) Order.emplace_back(W->TabOrder(), W->Name());
  std::sort(Order.begin(), Order.end());
  std::vector<std::string> Names;
  for (auto& [Index, Name] : Order) Names.push_back(Name);
  return Names;
}

}  // namespace

TEST_F(WizardForms, AreMadeInTheirOrderWithTheWelcomePageAsMainForm) {
  EXPECT_EQ(Application->MainForm(), iiForm1);
  std::vector<TComponent*> Made;
  for (int I = 0; I < Application->ComponentCount(); ++I) Made.push_back(Application->Components(I));
  const std::vector<TForm*> Expected = TWizardForms::All();
  EXPECT_EQ(Made, std::vector<TComponent*>(Expected.begin(), Expected.end()));
  const char* Names[] = {"iiForm1", "iiForm2", "iiForm3", "iiForm5", "iiForm6", "iForm11", "iForm10"};
  for (size_t I = 0; I < Expected.size(); ++I) EXPECT_EQ(Expected[I]->Name(), Names[I]);
  for (TForm* F : Expected) EXPECT_FALSE(F->Visible()) << F->Name() << " is shown by Run, not when made";
}

TEST_F(WizardForms, FramesCaptionsSizesAndFonts) {
  struct {
    TForm* Form;
    const char* Caption;
    int Width, Height;
    const char* Font;
    bool Page;
  } Forms[] = {
      {iiForm1, "Welcome to the brisko installation program", 372, 363, "Tahoma", true},
      {iiForm2, "Exit setup", 367, 205, "Tahoma", true},
      {iiForm3, "Installing", 367, 360, "Tahoma", true},
      {iiForm5, "Installing", 365, 362, "Tahoma", true},
      {iiForm6, "Finish", 358, 363, "Tahoma", true},
      {iForm10, "Select/create directory", 365, 355, "Arial", false},
      {iForm11, "New folder", 377, 127, "Arial", false},
  };
  for (const auto& E : Forms) {
    SCOPED_TRACE(E.Form->Name());
    TForm& F = *E.Form;
    EXPECT_EQ(F.Caption(), E.Caption);
    EXPECT_EQ(F.Width(), E.Width);
    EXPECT_EQ(F.Height(), E.Height);
    EXPECT_EQ(F.Font()->Name(), E.Font);
    EXPECT_EQ(F.Font()->Height(), -11);
    EXPECT_TRUE(F.Font()->Style().Empty());
    EXPECT_EQ(F.Color(), clBtnFace);
    EXPECT_FALSE(F.Scaled());
    EXPECT_FALSE(F.HorzScrollBar()->Visible());
    EXPECT_FALSE(F.VertScrollBar()->Visible());
    EXPECT_EQ(F.Position(), poScreenCenter);
    EXPECT_EQ(F.BorderStyle(), bsSizeable);
    EXPECT_FALSE(F.ShowHint());
    const LONG_PTR Style = GetWindowLongPtrA(F.Handle(), GWL_STYLE);
    EXPECT_TRUE(Style & WS_THICKFRAME);
    if (E.Page) {
      EXPECT_EQ(F.BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize, biMaximize}));
      EXPECT_TRUE(Style & WS_SYSMENU);
    } else {
      EXPECT_TRUE(F.BorderIcons().Empty());
      EXPECT_FALSE(Style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    }
  }
  EXPECT_EQ(iForm10->HelpContext(), 100);
  EXPECT_EQ(iForm11->HelpContext(), 110);
  EXPECT_EQ(iForm10->Button1->HelpContext(), 110);
  EXPECT_EQ(iForm11->Button1->HelpContext(), 110);
}

TEST_F(WizardForms, EveryControlWhereItsTableSaysWithItsText) {
  for (const TExpected& E : Controls()) {
    TForm* F = E.Form();
    SCOPED_TRACE(F->Name() + "." + E.Name);
    auto* C = dynamic_cast<TControl*>(F->FindComponent(E.Name));
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(C->ClassName(), E.Class);
    EXPECT_FALSE(C->ShowHint());

    // The resource holds the bounds as laid out; a label that sizes itself to
    // its text, and an edit to its font, may differ on the screen.
    const TFormNode Root = ParseForm(ResourceText(*F));
    const TFormNode* Node = FindNode(Root, E.Name);
    ASSERT_NE(Node, nullptr);
    if (E.Width >= 0) {
      auto M = Props(*Node);
      const bool Aligned = M.count("Align") != 0;
      if (!Aligned) {
        EXPECT_EQ(StoredInt(*Node, "Left"), E.Left);
        EXPECT_EQ(StoredInt(*Node, "Top"), E.Top);
      }
      EXPECT_EQ(StoredInt(*Node, "Width"), E.Width);
      EXPECT_EQ(StoredInt(*Node, "Height"), E.Height);
    }
    EXPECT_EQ(C->Left(), E.Left);
    EXPECT_EQ(C->Top(), E.Top);
    const bool SizesItself = C->AutoSize() && dynamic_cast<TImage*>(C) == nullptr;
    if (!SizesItself && dynamic_cast<TComboBox*>(C) == nullptr) {
      EXPECT_EQ(C->Width(), E.Width);
      EXPECT_EQ(C->Height(), E.Height);
    }
    if (auto* Memo = dynamic_cast<TMemo*>(C))
      EXPECT_EQ(Memo->Lines()->Text(), E.Text);
    else
      EXPECT_EQ(C->Caption(), E.Text);
  }

  // Parents: the check boxes in their group, the label in the panel, the buttons in the top panel.
  EXPECT_EQ(iiForm5->CheckBox2->Parent(), iiForm5->GroupBox1);
  EXPECT_EQ(iiForm5->Label1->Parent(), iiForm5->Panel1);
  EXPECT_EQ(iForm10->BitBtn1->Parent(), iForm10->Panel4);
  EXPECT_EQ(iForm10->Panel4->Align(), alTop);
  EXPECT_EQ(iForm10->Panel1->Align(), alClient);
  // The panel lies above the group box it covers while the installation runs.
  EXPECT_GT(iiForm5->ControlCount(), 0);
  std::vector<TControl*> Order;
  for (int I = 0; I < iiForm5->ControlCount(); ++I) Order.push_back(iiForm5->Controls(I));
  EXPECT_GT(std::find(Order.begin(), Order.end(), iiForm5->Panel1),
            std::find(Order.begin(), Order.end(), iiForm5->GroupBox1));
}

TEST_F(WizardForms, TextsAreStoredByteForByte) {
  std::vector<std::string> Languages = {"English",         "Czech",      "Dansk",     "Deutsch", "Fran\xE7" "ais",
                                        "Nederlands",      "Po polsku",  "Ruski",     "Slovak"};
  EXPECT_EQ(iiForm3->ComboBox1->Items()->ToVector(), Languages);
  char Item[32] = {};
  SendMessageA(iiForm3->ComboBox1->Handle(), CB_GETLBTEXT, 4, reinterpret_cast<LPARAM>(Item));
  EXPECT_STREQ(Item, "Fran\xE7" "ais");
  EXPECT_EQ(iiForm3->ComboBox1->Style(), csDropDown);

  const std::vector<std::string> Lines = iiForm1->Memo1->Lines()->ToVector();
  ASSERT_EQ(Lines.size(), 14u);
  EXPECT_EQ(Lines[0], "This program will install Brisko on ");
  EXPECT_EQ(Lines[5], "finally you can set some shortcut  keys.");
  EXPECT_EQ(Lines[7], "All the installation screens have a  \"Cancel\" ");
  EXPECT_EQ(Lines[9], "you want to abort the brisko");
  EXPECT_EQ(Lines[13], "to the previous screen.");
  char Buffer[1024] = {};
  GetWindowTextA(iiForm1->Memo1->Handle(), Buffer, sizeof(Buffer));
  EXPECT_EQ(Buffer, MemoText);
  EXPECT_EQ(iiForm1->Memo1->BorderStyle(), bsNone);
  EXPECT_EQ(iiForm1->Memo1->Color(), clBtnFace);
  EXPECT_FALSE(GetWindowLongPtrA(iiForm1->Memo1->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  EXPECT_EQ(iiForm3->BitBtn1->Hint(), "Choose Module folder");
  EXPECT_EQ(iForm10->Button2->Hint(), "Use highlighted folder ");
  EXPECT_EQ(iForm10->BitBtn1->Hint(), "Create a new folder");
  EXPECT_EQ(iForm10->Button3->Hint(), "Quit folder selection");
}

TEST_F(WizardForms, FontsOfTheirOwn) {
  struct {
    TLabel* Label;
    const char* Name;
    int Height;
  } Bold[] = {
      {iiForm3->Label3, "Tahoma", -19}, {iiForm5->Label3, "Tahoma", -19}, {iiForm5->Label1, "Tahoma", -19},
      {iiForm3->Label1, "Tahoma", -11}, {iiForm3->Label2, "Tahoma", -11}, {iiForm6->Label3, "Arial", -27},
  };
  for (const auto& B : Bold) {
    SCOPED_TRACE(B.Label->Owner()->Name() + "." + B.Label->Name());
    EXPECT_FALSE(B.Label->ParentFont());
    EXPECT_EQ(B.Label->Font()->Name(), B.Name);
    EXPECT_EQ(B.Label->Font()->Height(), B.Height);
    EXPECT_EQ(B.Label->Font()->Style(), TFontStyles{fsBold});
  }
  // Everything else takes the form's font.
  for (TControl* C : {static_cast<TControl*>(iiForm6->Label2), static_cast<TControl*>(iiForm1->Button3),
                      static_cast<TControl*>(iiForm1->Memo1), static_cast<TControl*>(iiForm2->Label1)})
    EXPECT_TRUE(C->ParentFont()) << C->Name();
  EXPECT_TRUE(iiForm2->Label1->WordWrap());
  for (TLabel* L : {iForm11->Label1, iForm11->Label2, iForm11->Label3}) {
    EXPECT_FALSE(L->AutoSize()) << L->Name();
    EXPECT_TRUE(L->WordWrap()) << L->Name();
  }
}

TEST_F(WizardForms, TabOrders) {
  using V = std::vector<std::string>;
  EXPECT_EQ(TabOrder(iiForm1), (V{"Memo1", "RadioButton1", "RadioButton2", "Button2", "Button3"}));
  EXPECT_EQ(TabOrder(iiForm2), (V{"Button1", "Button2"}));
  EXPECT_EQ(TabOrder(iiForm3), (V{"ComboBox1", "Edit1", "Button2", "Button4", "Button3", "BitBtn1"}));
  EXPECT_EQ(TabOrder(iiForm5), (V{"GroupBox1", "Button2", "Button4", "Button3", "Panel1"}));
  EXPECT_EQ(TabOrder(iiForm5->GroupBox1), (V{"CheckBox1", "CheckBox2", "CheckBox3"}));
  EXPECT_EQ(TabOrder(iiForm6), (V{"Button2", "Button1"}));
  EXPECT_EQ(TabOrder(iForm10), (V{"Panel4", "Panel1"}));
  EXPECT_EQ(TabOrder(iForm10->Panel4), (V{"Button2", "Button1", "BitBtn1", "Button3"}));
  EXPECT_EQ(TabOrder(iForm11), (V{"Edit1", "Button3", "Button1", "Button2"}));
}

TEST_F(WizardForms, TheFolderTreeShowsTheDrivesFoldersWithItsStoredSettings) {
  TShellTree* T = iForm10->ShellTree1;
  ASSERT_NE(T, nullptr);
  EXPECT_TRUE(T->Parent() == iForm10->Panel1 && T->Align() == alClient && T->BorderStyle() == bsNone);
  EXPECT_EQ(T->Indent(), 19);
  EXPECT_TRUE(T->RootUsePIDL() && T->RootPIDL() == PIDL_DRIVES && T->Options() == TVisOptions{TF_FOLDERS});
  EXPECT_FALSE(T->ShowVirtualFolders() || T->UpdAutoRec() || T->FileMaskUse() || T->RightClickSelect());
  EXPECT_TRUE(T->ShowIcons() && T->ShowMessages() && T->UpdAuto() && T->UpdAutoThread() && T->OnChange);
  ASSERT_TRUE(T->RootNode() && T->RootNode()->Count() > 0);
  EXPECT_EQ(T->RootNode()->Child(0)->NodePath().substr(1), ":\\") << "the drives at the root";
}

TEST_F(WizardForms, InitialStateAfterCreation) {
  EXPECT_TRUE(iiForm1->RadioButton1->Checked());
  EXPECT_FALSE(iiForm1->RadioButton2->Checked());
  EXPECT_EQ(iiForm3->ComboBox1->ItemIndex(), 0);
  EXPECT_EQ(iiForm3->ComboBox1->Text(), "English");
  EXPECT_EQ(iiForm3->Edit1->Text(), "C:\\program Files\\Brisko\\");
  EXPECT_EQ(LanguageCode, "US");
  EXPECT_TRUE(iiForm5->CheckBox1->Checked());
  EXPECT_FALSE(iiForm5->CheckBox2->Checked());
  EXPECT_TRUE(iiForm5->CheckBox3->Checked());
  EXPECT_FALSE(iiForm5->Panel1->Visible());
  EXPECT_TRUE(iiForm6->Button2->Enabled());
  EXPECT_TRUE(iForm10->PendingDir.empty());
  EXPECT_TRUE(iForm10->SelectedDir.empty());
  EXPECT_TRUE(iForm11->NewName.empty());
  EXPECT_TRUE(iForm11->Edit1->Text().empty());
}

TEST_F(WizardForms, ThePagesCopyTheWelcomePicture) {
  TPicture* Product = iiForm1->Image1->Picture();
  ASSERT_FALSE(Product->Empty());
  EXPECT_EQ(Product->Width(), 137);
  EXPECT_EQ(Product->Height(), 193);
  const std::vector<uint8_t> Bytes = Product->Bitmap()->SaveToBytes();
  for (TImage* Image : {iiForm1->Image1, iiForm3->Image1, iiForm5->Image1, iiForm6->Image1}) {
    SCOPED_TRACE(Image->Owner()->Name());
    EXPECT_TRUE(Image->Stretch());
    ASSERT_FALSE(Image->Picture()->Empty());
    EXPECT_EQ(Image->Picture()->Bitmap()->SaveToBytes(), Bytes);
  }
  // Only the welcome page stores it; the others get it when made.
  EXPECT_NE(ResourceText(*iiForm1).find("Picture.Data"), std::string::npos);
  for (TForm* F : {static_cast<TForm*>(iiForm3), static_cast<TForm*>(iiForm5), static_cast<TForm*>(iiForm6)})
    EXPECT_EQ(ResourceText(*F).find("Picture.Data"), std::string::npos) << F->Name();

  for (TBitBtn* B : {iiForm3->BitBtn1, iForm10->BitBtn1}) {
    SCOPED_TRACE(B->Owner()->Name());
    EXPECT_EQ(B->Glyph()->Width(), 32);
    EXPECT_EQ(B->Glyph()->Height(), 16);
    EXPECT_EQ(B->NumGlyphs(), 2);
  }
}

TEST_F(WizardForms, LayoutSettingsAreStoredWithTheFormsOwnMetrics) {
  for (TForm* F : TWizardForms::All()) {
    SCOPED_TRACE(F->Name());
    const TFormNode Root = ParseForm(ResourceText(*F));
    const TFormNode* Node = FindNode(Root, "ElasticForm1");
    ASSERT_NE(Node, nullptr);
    EXPECT_EQ(Node->ClassName, "TElasticForm");
    auto M = Props(*Node);
    EXPECT_EQ(M["ElasticFont"].Str, "False");
    EXPECT_EQ(M["DesignScreenWidth"].Int, 800);
    EXPECT_EQ(M["DesignScreenHeight"].Int, 600);
    EXPECT_EQ(M["DesignPixelsPerInch"].Int, 96);
    EXPECT_EQ(M["DesignFormWidth"].Int, F->Width());
    EXPECT_EQ(M["DesignFormHeight"].Int, F->Height());
    EXPECT_EQ(M["DesignFormLeft"].Int, StoredInt(Root, "Left"));
    EXPECT_EQ(M["DesignFormTop"].Int, StoredInt(Root, "Top"));
    // The sizeable frame here: 4 pixels each side, a 19-pixel caption.
    EXPECT_EQ(M["DesignFormClientWidth"].Int, F->Width() - 8);
    EXPECT_EQ(M["DesignFormClientHeight"].Int, F->Height() - 27);
    EXPECT_EQ(M["Font.Name"].Str, F->Font()->Name());
    EXPECT_EQ(M["Font.Height"].Int, -11);
    EXPECT_EQ(M["Version"].Kind, TFormValue::vkFloat);
    EXPECT_DOUBLE_EQ(M["Version"].Float, static_cast<double>(3.05f));
    // Properties at their defaults are left out.
    for (const char* Default : {"ElasticHorizontal", "ElasticVertical", "MaximizedPosX", "MaximizedPosY",
                                "MinimumTrackWidth", "MinimumTrackHeight", "MaximumTrackWidth",
                                "MaximumTrackHeight", "MaintainProportions", "BkGrndImage", "DBGridSelfResize",
                                "ElFrmIniFile"})
      EXPECT_EQ(M.count(Default), 0u) << Default;

    TElasticForm* E = Find<TElasticForm>(F, "ElasticForm1");
    ASSERT_NE(E, nullptr);
    EXPECT_FALSE(E->ElasticFont);
    EXPECT_TRUE(E->ElasticHorizontal);
    EXPECT_FALSE(E->MaintainProportions);
    EXPECT_FLOAT_EQ(E->Version(), 3.05f);
    EXPECT_EQ(E->Font()->Name(), F->Font()->Name());
  }
}

TEST_F(WizardForms, ShownCentredWithTheirClientArea) {
  for (TForm* F : {static_cast<TForm*>(iiForm1), static_cast<TForm*>(iiForm3), static_cast<TForm*>(iiForm6)}) {
    SCOPED_TRACE(F->Name());
    F->Show();
    HandlePendingMessages();
    RECT R;
    GetWindowRect(F->Handle(), &R);
    EXPECT_EQ(R.right - R.left, F->Width());
    EXPECT_EQ(R.bottom - R.top, F->Height());
    EXPECT_EQ(R.left, (Screen->Width() - F->Width()) / 2);
    EXPECT_EQ(R.top, (Screen->Height() - F->Height()) / 2);
    RECT C;
    GetClientRect(F->Handle(), &C);
    EXPECT_EQ(C.right, F->Width() - 8);
    EXPECT_EQ(C.bottom, F->Height() - 27);
    F->Hide();
  }
}
