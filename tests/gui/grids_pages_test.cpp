// Grids, tool bars and page controls as a person uses them: the keys and the
// scroll bar move through a grid, a tool button's click reaches its handler, a
// tab shows its sheet, a screen reader reads what they paint, and what form
// resources store comes back.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "classes/formstream.h"
#include "gui/dbgrids.h"
#include "gui/forms.h"
#include "gui/grids.h"
#include "gui/guiclasses.h"
#include "gui/pagectrls.h"
#include "gui/toolbars.h"
#include "accessibility_testing.h"
#include "window_testing.h"

namespace {

class TControlsForm : public TForm {
  DECLARE_CLASS(TControlsForm)
public:
  explicit TControlsForm(TComponent* Owner) : TForm(Owner) {}
  template <class T>
  T& Get(const char* Name) {
    return *dynamic_cast<T*>(FindComponent(Name));
  }
};

BEGIN_CLASS_INFO(TControlsForm, TForm, nullptr)
END_CLASS_INFO

const char* Text = R"(object Page: TControlsForm
  Width = 500
  Height = 400
  object ToolBar1: TToolBar
    ButtonWidth = 60
    object ToolButton1: TToolButton
      Caption = 'Open'
    end
    object ToolButton2: TToolButton
      Caption = 'Save'
    end
  end
  object PageControl1: TPageControl
    Left = 0
    Top = 40
    Width = 240
    Height = 150
    ActivePage = TabSheet2
    object TabSheet1: TTabSheet
      Caption = 'First'
    end
    object TabSheet2: TTabSheet
      Caption = 'Second'
    end
  end
  object StringGrid1: TStringGrid
    Left = 250
    Top = 40
    Width = 200
    Height = 100
    ColCount = 4
    RowCount = 30
    DefaultColWidth = 40
    DefaultRowHeight = 18
  end
  object DBGrid1: TDBGrid
    Left = 250
    Top = 200
    Width = 200
    Height = 100
    Columns = <
      item
        FieldName = 'Name'
        Width = 80
        Title.Caption = 'Full name'
      end
      item
        FieldName = 'Size'
      end>
  end
end
)";

class ControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Form_.InitializeForm(Text);
    Form_.Show();
    Application->ProcessMessages();
  }
  TControlsForm Form_{nullptr};
};

int SelectedTab(TPageControl& P) { return static_cast<int>(SendMessageA(P.Handle(), TCM_GETCURSEL, 0, 0)); }

}  // namespace

TEST_F(ControlsTest, ATabShowsItsSheetInTheDisplayArea) {
  auto& Pages = Form_.Get<TPageControl>("PageControl1");
  auto& First = Form_.Get<TTabSheet>("TabSheet1");
  auto& Second = Form_.Get<TTabSheet>("TabSheet2");
  ASSERT_EQ(Pages.PageCount(), 2);
  EXPECT_EQ(Pages.ActivePage(), &Second) << "as stored";
  EXPECT_EQ(SelectedTab(Pages), 1);
  EXPECT_TRUE(IsWindowVisible(Second.Handle()));
  EXPECT_FALSE(IsWindowVisible(First.Handle()));
  RECT Display = Pages.DisplayRect();
  EXPECT_EQ(wintest::BoundsOf(Second.Handle()),
            (wintest::TBounds{Display.left, Display.top, Display.right - Display.left, Display.bottom - Display.top}));

  // The user picks the first tab: the control tells its parent, as on a click.
  bool Changed = false;
  Pages.OnChange = TNotifyEvent([&](TObject*) { Changed = true; });
  SendMessageA(Pages.Handle(), TCM_SETCURSEL, 0, 0);
  NMHDR Note{Pages.Handle(), 0, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(Form_.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Note));
  EXPECT_TRUE(Changed);
  EXPECT_EQ(Pages.ActivePage(), &First);
  EXPECT_TRUE(IsWindowVisible(First.Handle()));
  EXPECT_FALSE(IsWindowVisible(Second.Handle()));

  Second.SetPageIndex(0);
  char Caption[32] = {};
  TCITEMA Item{};
  Item.mask = TCIF_TEXT;
  Item.pszText = Caption;
  Item.cchTextMax = sizeof(Caption);
  SendMessageA(Pages.Handle(), TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
  EXPECT_STREQ(Caption, "Second");
  EXPECT_EQ(SelectedTab(Pages), 1) << "the active page moved with its tab";
}

TEST_F(ControlsTest, AToolButtonsClickRunsItsHandler) {
  auto& Bar = Form_.Get<TToolBar>("ToolBar1");
  auto& Save = Form_.Get<TToolButton>("ToolButton2");
  int Clicks = 0;
  Save.OnClick = TNotifyEvent([&](TObject*) { ++Clicks; });
  ASSERT_EQ(SendMessageA(Bar.Handle(), TB_BUTTONCOUNT, 0, 0), 2);
  EXPECT_EQ(Save.Left(), 60) << "after the first button, ButtonWidth wide";
  EXPECT_EQ(Save.Width(), 60);
  // What the tool bar sends its parent when the button is pressed.
  SendMessageA(Form_.Handle(), WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), reinterpret_cast<LPARAM>(Bar.Handle()));
  EXPECT_EQ(Clicks, 1);

  Save.SetEnabled(false);
  EXPECT_FALSE(SendMessageA(Bar.Handle(), TB_ISBUTTONENABLED, 2, 0));
  delete &Form_.Get<TToolButton>("ToolButton1");
  EXPECT_EQ(SendMessageA(Bar.Handle(), TB_BUTTONCOUNT, 0, 0), 1);
  EXPECT_EQ(Save.Index(), 0);
}

TEST_F(ControlsTest, KeysAndTheScrollBarMoveThroughAGrid) {
  auto& Grid = Form_.Get<TStringGrid>("StringGrid1");
  Grid.SetCells(1, 1, "one");
  EXPECT_EQ(Grid.Cells(1, 1), "one");
  EXPECT_EQ(Grid.Cells(3, 29), "");
  EXPECT_THROW(Grid.Cells(4, 0), EInvalidOperation);
  Grid.SetFocus();
  ASSERT_TRUE(wintest::PumpUntil([&] { return Grid.Focused(); }));

  struct {
    WORD Key;
    int Col, Row;
  } Keys[] = {{VK_RIGHT, 2, 1}, {VK_DOWN, 2, 2}, {VK_END, 3, 2}, {VK_HOME, 1, 2}, {VK_UP, 1, 1}, {VK_UP, 1, 1}};
  for (const auto& K : Keys) {
    wintest::PressKey(K.Key);
    EXPECT_EQ(Grid.Col(), K.Col) << K.Key;
    EXPECT_EQ(Grid.Row(), K.Row) << K.Key;
  }
  // Down past the last row in view: the rows scroll, the title row stays.
  for (int I = 0; I < 10; ++I) wintest::PressKey(VK_DOWN);
  EXPECT_EQ(Grid.Row(), 11);
  EXPECT_GT(Grid.TopRow(), 1);
  EXPECT_EQ(Grid.CellRect(0, 0).top, 0);
  EXPECT_EQ(GetScrollPos(Grid.Handle(), SB_VERT), Grid.TopRow() - 1);

  SendMessageA(Grid.Handle(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(Grid.TopRow(), 1);
  SendMessageA(Grid.Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  RECT Last = Grid.CellRect(1, 29);
  EXPECT_LE(Last.bottom, Grid.ClientHeight()) << "the last row in full view";
}

TEST_F(ControlsTest, ADataGridsColumnsAreItsColumnWidths) {
  auto& Grid = Form_.Get<TDBGrid>("DBGrid1");
  ASSERT_EQ(Grid.ColCount(), 2);
  EXPECT_EQ(Grid.ColWidths(0), 80);
  EXPECT_EQ(Grid.ColWidths(1), 64);
  EXPECT_EQ(Grid.Columns()->Items(0)->TitleText(), "Full name");
  EXPECT_EQ(Grid.Columns()->Items(1)->TitleText(), "Size");
  Grid.SetColWidths(1, 30);
  EXPECT_EQ(Grid.Columns()->Items(1)->Width(), 30);
  Grid.Columns()->Items(0)->SetWidth(90);
  EXPECT_EQ(Grid.ColWidths(0), 90);

  const std::string Written = WriteComponent(Form_);
  EXPECT_NE(Written.find("Width = 90"), std::string::npos);
  EXPECT_NE(Written.find("Title.Caption = 'Full name'"), std::string::npos);
  EXPECT_NE(Written.find("ActivePage = TabSheet2"), std::string::npos);
}

TEST_F(ControlsTest, AScreenReaderReadsTheTextsTheyPaint) {
  TOleInitializer Ole;
  auto& Grid = Form_.Get<TStringGrid>("StringGrid1");
  Grid.SetCells(1, 1, "Brisko");
  Grid.SetCells(2, 25, "out of view");
  struct {
    const char* Control;
    std::vector<std::string> Texts;
  } Cases[] = {{"ToolBar1", {"Open", "Save"}},
               {"PageControl1", {"First", "Second"}},
               {"StringGrid1", {"Brisko"}},
               {"DBGrid1", {"Full name", "Size"}}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Control);
    auto& Control = Form_.Get<TWinControl>(C.Control);
    const acctest::TClient Client = acctest::ReadClient(Control.Handle());
    std::vector<std::string> Names;
    for (const acctest::TSimpleChild& Child : Client.Simple) {
      Names.push_back(Child.Name);
      EXPECT_EQ(Child.Role, ROLE_SYSTEM_STATICTEXT);
      RECT Inside = Control.ClientRect();
      MapWindowPoints(Control.Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&Inside), 2);
      RECT Both;
      EXPECT_TRUE(IntersectRect(&Both, &Child.Screen, &Inside)) << Child.Name << " where it is painted";
    }
    EXPECT_EQ(Names, C.Texts);
  }
}
