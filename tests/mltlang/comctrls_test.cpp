// The status bar, header control and list view over the real comctl32 windows,
// read from a form resource and translated by the three collection items.
#include <gtest/gtest.h>

#include "classes/formstream.h"
#include "gui/comctrls.h"
#include "gui/forms.h"
#include "gui/guiclasses.h"
#include "mltlang/Mltlang1.h"

#include <commctrl.h>

namespace {

const TComponentState RunTime;

std::string PanelText(TStatusBar& Bar, int Index) {
  char Buffer[256] = {};
  LRESULT R = SendMessageA(Bar.Handle(), SB_GETTEXTLENGTHA, Index, 0);
  if (LOWORD(R) >= sizeof Buffer) return "<too long>";
  SendMessageA(Bar.Handle(), SB_GETTEXTA, Index, reinterpret_cast<LPARAM>(Buffer));
  return Buffer;
}

std::vector<int> PanelEdges(TStatusBar& Bar) {
  int Edges[16];
  int N = static_cast<int>(SendMessageA(Bar.Handle(), SB_GETPARTS, 16, reinterpret_cast<LPARAM>(Edges)));
  return std::vector<int>(Edges, Edges + N);
}

std::pair<std::string, int> SectionOf(THeaderControl& Header, int Index) {
  char Buffer[256] = {};
  HDITEMA Item{};
  Item.mask = HDI_TEXT | HDI_WIDTH;
  Item.pszText = Buffer;
  Item.cchTextMax = sizeof Buffer;
  if (!SendMessageA(Header.Handle(), HDM_GETITEMA, Index, reinterpret_cast<LPARAM>(&Item))) return {"<none>", -1};
  return {Buffer, Item.cxy};
}

std::pair<std::string, int> ColumnOf(TListView& View, int Index) {
  char Buffer[256] = {};
  LVCOLUMNA Item{};
  Item.mask = LVCF_TEXT | LVCF_WIDTH;
  Item.pszText = Buffer;
  Item.cchTextMax = sizeof Buffer;
  if (!SendMessageA(View.Handle(), LVM_GETCOLUMNA, Index, reinterpret_cast<LPARAM>(&Item))) return {"<none>", -1};
  return {Buffer, Item.cx};
}

int HeaderCount(THeaderControl& Header) {
  return static_cast<int>(SendMessageA(Header.Handle(), HDM_GETITEMCOUNT, 0, 0));
}

const char* const FormText = R"(object Form1: TForm
  Left = 10
  Top = 10
  Width = 400
  Height = 300
  Caption = 'Common controls'
  object HeaderControl1: THeaderControl
    Sections = <
      item
        Text = 'Name'
        Width = 120
      end
      item
        Text = 'Size'
      end>
  end
  object ListView1: TListView
    Left = 8
    Top = 24
    Width = 300
    Height = 150
    ViewStyle = vsReport
    Columns = <
      item
        Caption = 'File'
        Width = 100
      end
      item
        Caption = 'Folder'
        Width = 140
      end>
  end
  object StatusBar1: TStatusBar
    Panels = <
      item
        Text = 'Ready'
        Width = 80
      end
      item
        Text = 'Line 1'
      end>
  end
end
)";

class ComCtrls : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterGuiClasses();
    Form = new TForm(nullptr);
    Form->InitializeForm(FormText);
    Form->Show();
    Bar = dynamic_cast<TStatusBar*>(Form->FindComponent("StatusBar1"));
    Header = dynamic_cast<THeaderControl*>(Form->FindComponent("HeaderControl1"));
    View = dynamic_cast<TListView*>(Form->FindComponent("ListView1"));
    ASSERT_TRUE(Bar && Header && View);
  }
  void TearDown() override { delete Form; }
  TForm* Form = nullptr;
  TStatusBar* Bar = nullptr;
  THeaderControl* Header = nullptr;
  TListView* View = nullptr;
};

TEST_F(ComCtrls, ReadFromTheResourceIntoTheWindows) {
  ASSERT_TRUE(Bar->HandleAllocated() && Header->HandleAllocated() && View->HandleAllocated());
  EXPECT_EQ(PanelText(*Bar, 0), "Ready");
  EXPECT_EQ(PanelText(*Bar, 1), "Line 1");
  EXPECT_EQ(PanelEdges(*Bar), (std::vector<int>{80, -1})) << "the last panel fills the bar";
  EXPECT_EQ(Bar->Align(), alBottom);
  EXPECT_EQ(Bar->Top() + Bar->Height(), Form->ClientHeight());

  EXPECT_EQ(HeaderCount(*Header), 2);
  EXPECT_EQ(SectionOf(*Header, 0), (std::pair<std::string, int>{"Name", 120}));
  EXPECT_EQ(SectionOf(*Header, 1), (std::pair<std::string, int>{"Size", 50}));

  EXPECT_EQ(GetWindowLongPtrA(View->Handle(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_EQ(ColumnOf(*View, 0), (std::pair<std::string, int>{"File", 100}));
  EXPECT_EQ(ColumnOf(*View, 1), (std::pair<std::string, int>{"Folder", 140}));
  EXPECT_EQ(ColumnOf(*View, 2).second, -1);
}

TEST_F(ComCtrls, ChangesReachTheWindows) {
  Bar->Panels()->Items(0)->SetWidth(100);
  Bar->Panels()->Add()->SetText("Third");
  EXPECT_EQ(PanelEdges(*Bar), (std::vector<int>{100, 150, -1}));
  EXPECT_EQ(PanelText(*Bar, 2), "Third");

  Header->Sections()->Items(1)->SetText("Bytes");
  Header->Sections()->Delete(0);
  EXPECT_EQ(HeaderCount(*Header), 1);
  EXPECT_EQ(SectionOf(*Header, 0), (std::pair<std::string, int>{"Bytes", 50}));

  View->Columns()->Items(1)->SetCaption("Path");
  View->Columns()->Items(0)->SetWidth(60);
  EXPECT_EQ(ColumnOf(*View, 0), (std::pair<std::string, int>{"File", 60}));
  EXPECT_EQ(ColumnOf(*View, 1).first, "Path");
  View->Columns()->Clear();
  EXPECT_EQ(ColumnOf(*View, 0).second, -1);

  // Widths the user gives the windows come back to the items.
  HDITEMA Wide{};
  Wide.mask = HDI_WIDTH;
  Wide.cxy = 90;
  SendMessageA(Header->Handle(), HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Wide));
  EXPECT_EQ(Header->Sections()->Items(0)->Width(), 90);
  View->Columns()->Add()->SetCaption("Again");
  SendMessageA(View->Handle(), LVM_SETCOLUMNWIDTH, 0, 77);
  View->RecreateWnd();
  EXPECT_EQ(ColumnOf(*View, 0), (std::pair<std::string, int>{"Again", 77}));

  // And the form resource written back holds the collections.
  std::string Text = WriteComponent(*Form);
  EXPECT_NE(Text.find("Text = 'Third'"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Width = 90"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Caption = 'Again'"), std::string::npos) << Text;
}

TEST_F(ComCtrls, CollectionItemsTranslateTheControls) {
  TCIStPanels Panels;
  Panels.SetControl(Bar);
  Panels.Fetch(0);
  Panels.SetStringList("Klaar", 2, 0);
  Panels.Apply(2, RunTime);
  EXPECT_EQ(PanelText(*Bar, 0), "Klaar");
  EXPECT_EQ(PanelText(*Bar, 1), "Line 1");

  TCIHdCtrl Sections;
  Sections.SetControl(Header);
  Sections.Fetch(0);
  Sections.SetStringList("Naam", 2, 0);
  Sections.SetStringList("Grootte", 2, 1);
  Sections.Apply(2, RunTime);
  EXPECT_EQ(SectionOf(*Header, 0).first, "Naam");
  EXPECT_EQ(SectionOf(*Header, 1).first, "Grootte");
  Sections.Apply(0, RunTime);
  EXPECT_EQ(SectionOf(*Header, 1).first, "Size");

  TCIListClmns Columns;
  Columns.SetControl(View);
  Columns.Fetch(0);
  EXPECT_EQ(Columns.ElemCount(), 2);
  Columns.SetStringList("Map", 2, 1);
  Columns.Apply(2, RunTime);
  EXPECT_EQ(ColumnOf(*View, 0).first, "File");
  EXPECT_EQ(ColumnOf(*View, 1).first, "Map");

  // Fewer columns than the item holds: the collection's index error.
  View->Columns()->Delete(1);
  EXPECT_THROW(Columns.Apply(2, RunTime), EListError);
}

}  // namespace
