// The rules for single controls, on real windows: which controls are managed,
// and what the capture at the screen factors and a rescale pass do to status
// bars, tool bars, grids, labels and tab fonts.
#include "elastic_testing.h"

#include <commctrl.h>

#include "gui/comctrls.h"
#include "gui/dbgrids.h"
#include "gui/grids.h"
#include "gui/pagectrls.h"
#include "gui/stdctrls.h"
#include "gui/toolbars.h"

using namespace elastictest;

namespace {

// A container with pages of its own: it publishes both PageIndex and Pages, so it
// is managed although it has a page index.
class TPagedBook : public TCustomControl {
  DECLARE_CLASS(TPagedBook)
public:
  explicit TPagedBook(TComponent* Owner) : TCustomControl(Owner) {}
  int PageIndex() const { return 0; }
  std::string Pages() const { return "one"; }
};

BEGIN_CLASS_INFO(TPagedBook, TCustomControl, ComponentCreator<TPagedBook>)
  P.Int("PageIndex", &TPagedBook::PageIndex, nullptr);
  P.Str("Pages", &TPagedBook::Pages, nullptr);
END_CLASS_INFO

// A form without an elastic component: the rules are called directly.
class RulesTest : public ::testing::Test {
protected:
  void Read(const std::string& Controls) {
    RegisterComponentClass(TPagedBook::StaticClassInfo());
    std::string Text = FormText(Controls);
    Text.erase(Text.find("  object ElasticForm1"), Text.rfind("end") - Text.find("  object ElasticForm1"));
    Form_.InitializeForm(Text);
    Form_.Show();
    Application->ProcessMessages();
  }
  template <class T = TControl>
  T& Get(const char* Name) {
    return Form_.Get<T>(Name);
  }
  TFrame Recorded(const char* Name) {
    TFrame F;
    TControl& C = Get(Name);
    F.Left = C.Left();
    F.Top = C.Top();
    F.Width = C.Width();
    F.Height = C.Height();
    return F;
  }
  TLayoutForm Form_{nullptr};
};

TPassFactors Pass(double Horz, double Vert, double FontRatio = 1, bool GridSelfResize = false) {
  TPassFactors F;
  F.Horz = Horz;
  F.Vert = Vert;
  F.FontRatio = FontRatio;
  F.GridSelfResize = GridSelfResize;
  return F;
}

std::vector<int> StatusParts(TStatusBar& Bar) {
  int Edges[8] = {};
  const int Count = static_cast<int>(SendMessageA(Bar.Handle(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(Edges)));
  return std::vector<int>(Edges, Edges + Count);
}

std::vector<int> ColumnWidths(const TCustomGrid& Grid) {
  std::vector<int> W;
  for (int I = 0; I < Grid.ColCount(); ++I) W.push_back(Grid.ColWidths(I));
  return W;
}

}  // namespace

TEST_F(RulesTest, NamedControlsDepthFirstWithoutTabSheetsToolButtonsAndUnnamedContainers) {
  Read(R"(  object ToolBar1: TToolBar
    object ToolButton1: TToolButton
      Caption = 'A'
    end
    object ToolButton2: TToolButton
      Caption = 'B'
    end
  end
  object PageControl1: TPageControl
    Top = 40
    object TabSheet1: TTabSheet
      Caption = 'First'
      object Button1: TButton
      end
    end
    object TabSheet2: TTabSheet
      Caption = 'Second'
      object CheckBox1: TCheckBox
      end
    end
  end
  object TPanel
    Top = 240
    object Label1: TLabel
      Caption = 'In a panel without a name'
    end
  end
  object Book1: TPagedBook
    object Button2: TButton
    end
  end
  object StatusBar1: TStatusBar
  end
)");
  std::vector<TControl*> List;
  CollectControls(Form_, List);
  std::vector<std::string> Names;
  for (TControl* C : List) Names.push_back(C->Name());
  EXPECT_EQ(Names, (std::vector<std::string>{"ToolBar1", "PageControl1", "Button1", "CheckBox1", "Label1", "Book1",
                                             "Button2", "StatusBar1"}));
}

TEST_F(RulesTest, StatusBarPanelsFollowTheScreenOnceAndTheWidthOnly) {
  Read(R"(  object StatusBar1: TStatusBar
    Panels = <
      item
        Width = 100
      end
      item
        Width = 50
      end
      item
        Width = 80
      end>
  end
)");
  auto& Bar = Get<TStatusBar>("StatusBar1");
  TFrame F = Recorded("StatusBar1");
  CaptureControl(F, Bar, 1.5, 2, 1);
  EXPECT_EQ(StatusParts(Bar), (std::vector<int>{150, 225, -1}));
  struct {
    TPassFactors Factors;
    std::vector<int> Parts;
  } Cases[] = {
      {Pass(2, 3), {300, 450, -1}},
      {Pass(1, 0.5), {150, 225, -1}},
      {Pass(0.5, 1), {75, 113, -1}},  // 37.5 rounds to the even 38
  };
  for (const auto& C : Cases) {
    ApplyControl(F, Bar, C.Factors);
    EXPECT_EQ(StatusParts(Bar), C.Parts) << C.Factors.Horz << " x " << C.Factors.Vert;
  }
  TPassFactors Still = Pass(3, 3);
  Still.Horizontal = false;
  ApplyControl(F, Bar, Still);
  EXPECT_EQ(StatusParts(Bar), (std::vector<int>{75, 113, -1}));
}

TEST_F(RulesTest, ToolBarButtonsFollowTheVerticalFactorTruncated) {
  Read(R"(  object ToolBar1: TToolBar
    ButtonWidth = 40
    ButtonHeight = 30
    object ToolButton1: TToolButton
      Caption = 'Go'
    end
  end
)");
  auto& Bar = Get<TToolBar>("ToolBar1");
  TFrame F = Recorded("ToolBar1");
  CaptureControl(F, Bar, 1, 1, 1);
  struct {
    TPassFactors Factors;
    int Width, Height;
  } Cases[] = {{Pass(1, 1.5), 60, 45}, {Pass(3, 0.66), 26, 19}, {Pass(1, 1), 40, 30}};
  for (const auto& C : Cases) {
    ApplyControl(F, Bar, C.Factors);
    const DWORD Size = static_cast<DWORD>(SendMessageA(Bar.Handle(), TB_GETBUTTONSIZE, 0, 0));
    EXPECT_EQ(Bar.ButtonWidth(), C.Width);
    EXPECT_EQ(Bar.ButtonHeight(), C.Height);
    EXPECT_EQ(LOWORD(Size), C.Width) << "the window's buttons";
    EXPECT_EQ(HIWORD(Size), C.Height);
    EXPECT_EQ(Bar.Buttons(0)->Width(), C.Width);
  }
}

TEST_F(RulesTest, StringGridGetsItsOwnFontAndColumnsAndRowsFollowItsClientArea) {
  Read(R"(  object StringGrid1: TStringGrid
    Left = 0
    Top = 0
    Width = 204
    Height = 104
    ColCount = 3
    RowCount = 3
    DefaultColWidth = 50
    DefaultRowHeight = 20
    ScrollBars = ssNone
  end
)");
  auto& Grid = Get<TStringGrid>("StringGrid1");
  ASSERT_EQ(Grid.Width() - Grid.ClientWidth(), 4) << "the sunken edge";
  Grid.SetRowHeights(0, 30);
  TFrame F = Recorded("StringGrid1");
  CaptureControl(F, Grid, 1.5, 2, 1.25);
  EXPECT_FALSE(Grid.ParentFont());
  EXPECT_EQ(F.FontSize, 10);  // 8 points × 1.25
  EXPECT_EQ(ColumnWidths(Grid), (std::vector<int>{75, 75, 75}));
  EXPECT_EQ(Grid.DefaultRowHeight(), 40);
  EXPECT_EQ(Grid.RowHeights(0), 60);
  EXPECT_EQ(F.DefaultRowHeight, 40);

  struct {
    TPassFactors Factors;
    wintest::TBounds Bounds;
    std::vector<int> Columns;
    int DefaultRowHeight, FontSize;
  } Passes[] = {
      {Pass(1, 1), {0, 0, 306, 208}, {75, 75, 75}, 40, 9},
      {Pass(2, 0.5), {0, 0, 612, 104}, {151, 151, 151}, 20, 9},  // the font never goes lower
      {Pass(2, 0.5), {0, 0, 612, 104}, {151, 151, 151}, 20, 9},
      {Pass(1, 1, 2), {0, 0, 306, 208}, {75, 75, 75}, 40, 19},
  };
  for (const auto& P : Passes) {
    ApplyControl(F, Grid, P.Factors);
    EXPECT_EQ(BoundsOf(Grid), P.Bounds);
    EXPECT_EQ(ColumnWidths(Grid), P.Columns);
    EXPECT_EQ(Grid.DefaultRowHeight(), P.DefaultRowHeight);
    EXPECT_EQ(Grid.Font()->Size(), P.FontSize);
  }
}

TEST_F(RulesTest, DataGridKeepsTheParentFontAndATitleRowTallEnoughForItsFont) {
  Read(R"(  object DataSource1: TDataSource
  end
  object DBGrid1: TDBGrid
    Left = 0
    Top = 0
    Width = 204
    Height = 104
    DataSource = DataSource1
    DefaultRowHeight = 5
    ScrollBars = ssNone
    Columns = <
      item
        FieldName = 'Name'
        Width = 60
      end
      item
        FieldName = 'Size'
        Width = 40
      end>
  end
  object DBGrid2: TDBGrid
    Left = 0
    Top = 110
    Width = 204
    Height = 104
    DataSource = DataSource1
    DefaultRowHeight = 30
    ParentFont = False
    Font.Height = -11
    Font.Name = 'Arial'
    TitleFont.Height = -21
    TitleFont.Name = 'Arial'
    ScrollBars = ssNone
    Columns = <
      item
        FieldName = 'Name'
        Width = 60
      end>
  end
)");
  auto& Small = Get<TDBGrid>("DBGrid1");
  TFrame F1 = Recorded("DBGrid1");
  CaptureControl(F1, Small, 1, 1, 1);
  EXPECT_TRUE(Small.ParentFont());
  EXPECT_EQ(F1.DefaultRowHeight, Round(1.2 * Small.Canvas().TextHeight("1")) + 1) << "a row fits its text";
  EXPECT_EQ(F1.ColWidths, (std::vector<int>{60, 40}));

  auto& Titled = Get<TDBGrid>("DBGrid2");
  TFrame F2 = Recorded("DBGrid2");
  CaptureControl(F2, Titled, 1, 1, 1);
  EXPECT_EQ(F2.FontSize, 8);
  EXPECT_EQ(F2.TitleFontSize, 16);
  EXPECT_EQ(F2.TitleRatio, 2.0);
  ApplyControl(F2, Titled, Pass(1, 0.5));
  EXPECT_EQ(Titled.DefaultRowHeight(), 14);  // 30 × (52 − 4) / (104 − 4), rounded
  EXPECT_EQ(Titled.RowHeights(0), 29) << "twice the row height, and a pixel";

  // Grids that size themselves keep their columns and rows; only the plain rule
  // for the default row height applies.
  Titled.SetColWidths(0, 33);
  TPassFactors Self = Pass(2, 2, 1, true);
  ApplyControl(F2, Titled, Self);
  EXPECT_EQ(Titled.ColWidths(0), 33);
  EXPECT_EQ(Titled.DefaultRowHeight(), 60);
  EXPECT_EQ(BoundsOf(Titled), (wintest::TBounds{0, 220, 408, 208}));

  // A column added since the capture: the grid is captured again first.
  Titled.Columns()->Add()->SetWidth(20);
  ApplyControl(F2, Titled, Pass(1, 1));
  EXPECT_EQ(F2.ColCount, 2);
  EXPECT_EQ(Titled.Columns()->Items(1)->Width(), Titled.ColWidths(1)) << "the column and the grid agree";
}

TEST_F(RulesTest, LabelsFitTheirTextButAFixedOneNeverShrinksBelowItsScaledSize) {
  Read(R"(  object Label1: TLabel
    Left = 10
    Top = 10
    Caption = 'Elastic'
    ParentFont = False
    Font.Height = -11
    Font.Name = 'Arial'
  end
  object Label2: TLabel
    Left = 10
    Top = 60
    Width = 30
    Height = 20
    AutoSize = False
    Caption = 'Elastic'
    ParentFont = False
    Font.Height = -11
    Font.Name = 'Arial'
  end
)");
  auto& Fitting = Get<TLabel>("Label1");
  auto& Fixed = Get<TLabel>("Label2");
  TFrame F1 = Recorded("Label1"), F2 = Recorded("Label2");
  CaptureControl(F1, Fitting, 1, 1, 1);
  CaptureControl(F2, Fixed, 1, 1, 1);
  const int SmallWidth = Fitting.Width();

  ApplyControl(F1, Fitting, Pass(1, 1, 2));
  ApplyControl(F2, Fixed, Pass(1, 1, 2));
  EXPECT_EQ(Fitting.Font()->Size(), 16);
  EXPECT_GT(Fitting.Width(), SmallWidth);
  EXPECT_EQ(Fixed.Width(), Fitting.Width()) << "the fixed label grew to its text";
  EXPECT_EQ(Fixed.Height(), Fitting.Height());
  EXPECT_FALSE(Fixed.AutoSize());
  EXPECT_EQ(Fixed.Left(), 10);
  EXPECT_EQ(Fixed.Top(), 60);

  ApplyControl(F1, Fitting, Pass(1, 1, 0.5));
  ApplyControl(F2, Fixed, Pass(1, 1, 0.5));
  EXPECT_LT(Fitting.Width(), SmallWidth);
  EXPECT_EQ(BoundsOf(Fixed), (wintest::TBounds{10, 60, 30, 20})) << "its scaled size";
}

TEST_F(RulesTest, TabFontIsScaledOnTheTabsOfThePageControl) {
  Read(R"(  object PageControl1: TPageControl
    TabFont.Height = -11
    TabFont.Name = 'Arial'
    object TabSheet1: TTabSheet
      Caption = 'Tab'
    end
  end
)");
  auto& Pages = Get<TPageControl>("PageControl1");
  TFrame F = Recorded("PageControl1");
  CaptureControl(F, Pages, 1, 1, 1.5);
  EXPECT_EQ(F.TabFontSize, 12);
  ApplyControl(F, Pages, Pass(1, 1, 1.25));
  EXPECT_EQ(Pages.TabFont()->Size(), 15);
  EXPECT_EQ(wintest::FontOf(Pages.Handle()).lfHeight, -20) << "the tab window shows the tab font";
  TPassFactors Fixed = Pass(1, 1, 2);
  Fixed.ElasticFont = false;
  ApplyControl(F, Pages, Fixed);
  EXPECT_EQ(Pages.TabFont()->Size(), 15);
}

TEST(Rounding, HalvesGoToTheEvenNeighbourAndFontSizesHalvesDown) {
  struct {
    double Value;
    int Rounded, Truncated, FontSize;
  } Cases[] = {{2.5, 2, 2, 2}, {3.5, 4, 3, 3}, {10.5, 10, 10, 10}, {10.51, 11, 10, 11}, {-2.5, -2, -2, -2},
               {10.33, 10, 10, 10}};
  for (const auto& C : Cases) {
    EXPECT_EQ(Round(C.Value), C.Rounded) << C.Value;
    EXPECT_EQ(Trunc(C.Value), C.Truncated) << C.Value;
    EXPECT_EQ(RoundFontSize(C.Value), C.FontSize) << C.Value;
  }
}
