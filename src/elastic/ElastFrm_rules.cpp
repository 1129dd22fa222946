#include "elastic/ElastFrm_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "classes/typinfo.h"
#include "gui/comctrls.h"
#include "gui/grids.h"
#include "gui/stdctrls.h"
#include "gui/toolbars.h"

int Round(double Value) {
  // Far outside what a window can measure: the nearest representable value.
  if (!(Value > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (!(Value < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  const double Floor = std::floor(Value);
  const double Rest = Value - Floor;
  double Result = Floor;
  if (Rest > 0.5 || (Rest == 0.5 && std::fmod(Floor, 2.0) != 0)) Result = Floor + 1;
  return static_cast<int>(Result);
}

int Trunc(double Value) {
  if (!(Value > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (!(Value < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(Value);
}

int RoundFontSize(double Value) { return Value - Trunc(Value) > 0.5 ? Round(Value) : Trunc(Value); }

namespace {

bool Publishes(const TControl& Control, std::string_view Name) { return IsPublishedProp(Control, Name); }

// A font the control publishes under Name, or null.
TFont* PublishedFont(TControl& Control, std::string_view Name) {
  const TPropInfo* P = GetPropInfo(Control, Name);
  if (!P || P->Kind != TTypeKind::tkClass) return nullptr;
  return dynamic_cast<TFont*>(GetObjectProp(Control, *P));
}

// A grid that shows columns of data: the rules for its rows and columns differ.
bool IsDataGrid(const TControl& Control) { return Publishes(Control, "columns") || Publishes(Control, "DataSource"); }

bool HasColumnRules(const TControl& Control) {
  return Publishes(Control, "defaultcolwidth") || IsDataGrid(Control);
}

// Sets a published Boolean AutoSize to False and back to True, so that the control
// fits its content again; true when it was on.
bool RefitAutoSize(TControl& Control) {
  const TPropInfo* P = GetPropInfo(Control, "AutoSize");
  if (!P || P->Kind != TTypeKind::tkBoolean || GetOrdProp(Control, *P) == 0) return false;
  SetOrdProp(Control, *P, 0);
  SetOrdProp(Control, *P, 1);
  return true;
}

int TextHeightOfOne(TCustomGrid& Grid) { return Grid.Canvas().TextHeight("1"); }

void ScaleColumns(const TFrame& Frame, TCustomGrid& Grid, double Factor) {
  for (int I = 0; I < Frame.ColCount && I < Grid.ColCount(); ++I)
    Grid.SetColWidths(I, Round(Frame.ColWidths[static_cast<size_t>(I)] * Factor));
}

// The factor for a grid's columns (rows): what its client area gains or loses,
// its border and scroll bars kept as they are.
double ClientFactor(int Recorded, int Scaled, int NonClient, double Fallback) {
  if (Recorded - NonClient > 0 && Scaled - NonClient > 0)
    return static_cast<double>(Scaled - NonClient) / (Recorded - NonClient);
  return Fallback;
}

void CaptureStatusBar(TFrame& Frame, TStatusBar& Bar, double ScaleX) {
  Frame.IsStatusBar = true;
  TStatusPanels& Panels = *Bar.Panels();
  Frame.PanelCount = Panels.Count();
  Frame.PanelWidths.assign(static_cast<size_t>(Frame.PanelCount), 0);
  for (int I = 0; I < Frame.PanelCount; ++I) {
    Panels.Items(I)->SetWidth(Round(Panels.Items(I)->Width() * ScaleX));
    Frame.PanelWidths[static_cast<size_t>(I)] = Panels.Items(I)->Width();
  }
}

void CaptureFonts(TFrame& Frame, TControl& Control, double ScaleFont) {
  if (!Control.ParentFont()) {
    Frame.FontSize = Trunc(Control.Font()->Size() * ScaleFont);
    if (TFont* Title = PublishedFont(Control, "TitleFont")) {
      Frame.TitleFontSize = Trunc(Title->Size() * ScaleFont);
      Frame.TitleRatio = Frame.FontSize != 0 ? static_cast<double>(Frame.TitleFontSize) / Frame.FontSize : 1.0;
    }
  }
  if (TFont* Tabs = PublishedFont(Control, "TabFont")) Frame.TabFontSize = Trunc(Tabs->Size() * ScaleFont);
}

void ApplyFonts(const TFrame& Frame, TControl& Control, double Ratio) {
  if (!Control.ParentFont()) {
    Control.Font()->SetSize(RoundFontSize(Frame.FontSize * Ratio));
    if (TFont* Title = PublishedFont(Control, "titlefont")) Title->SetSize(RoundFontSize(Frame.TitleFontSize * Ratio));
  }
  if (TFont* Tabs = PublishedFont(Control, "TabFont")) Tabs->SetSize(RoundFontSize(Frame.TabFontSize * Ratio));
}

void ApplyGridColumns(TFrame& Frame, TCustomGrid& Grid, int NewWidth, const TPassFactors& F) {
  const double Factor = ClientFactor(Frame.Width, NewWidth, Grid.Width() - Grid.ClientWidth(), F.Horz);
  if (Grid.ColCount() != Frame.ColCount) CaptureGrid(Frame, Grid, F.ScaleX, F.ScaleY);
  ScaleColumns(Frame, Grid, Factor);
}

void ApplyGridRows(TFrame& Frame, TCustomGrid& Grid, int NewHeight, const TPassFactors& F) {
  const double Factor = ClientFactor(Frame.Height, NewHeight, Grid.Height() - Grid.ClientHeight(), F.Vert);
  if (Grid.ColCount() != Frame.ColCount) CaptureGrid(Frame, Grid, F.ScaleX, F.ScaleY);
  Grid.SetDefaultRowHeight(Round(Frame.DefaultRowHeight * Factor));
  if (!IsDataGrid(Grid)) {
    // A plain grid's text a point smaller than its scaled size, so that it fits
    // the lower rows; taken from the record, so passes do not add up.
    if (!Grid.ParentFont()) {
      const int Size = F.ElasticFont ? RoundFontSize(Frame.FontSize * F.FontRatio) : Frame.FontSize;
      Grid.Font()->SetSize(Size - 1);
    }
    return;
  }
  const int Text = Round(TextHeightOfOne(Grid));
  if (Factor < 0.8 && Grid.DefaultRowHeight() <= 0.6 * Text) Grid.SetDefaultRowHeight(Round(0.6 * Text));
  Grid.SetRowHeights(0, Round(Frame.Row0Height * Factor));
  // The title row stays tall enough for the title font.
  if (Grid.DefaultRowHeight() != 0 &&
      static_cast<double>(Grid.RowHeights(0)) / Grid.DefaultRowHeight() < Frame.TitleRatio)
    Grid.SetRowHeights(0, Round(Grid.DefaultRowHeight() * Frame.TitleRatio) + 1);
}

// A label without AutoSize may grow to fit its text, but never shrinks below its
// scaled size and keeps its place.
void RefitFixedLabel(TLabel& Label) {
  const int Left = Label.Left(), Top = Label.Top(), Width = Label.Width(), Height = Label.Height();
  Label.SetAutoSize(true);
  Label.SetAutoSize(false);
  Label.SetBounds(Left, Top, std::max(Label.Width(), Width), std::max(Label.Height(), Height));
}

}  // namespace

void CollectControls(const TWinControl& Container, std::vector<TControl*>& List) {
  for (int I = 0; I < Container.ControlCount(); ++I) {
    TControl* Child = Container.Controls(I);
    const bool Page = Publishes(*Child, "PageIndex") && !Publishes(*Child, "Pages");
    const bool ToolButton = dynamic_cast<TToolBar*>(Child->Parent()) != nullptr;
    if (!Child->Name().empty() && !Page && !ToolButton) List.push_back(Child);
    if (auto* W = dynamic_cast<TWinControl*>(Child)) CollectControls(*W, List);
  }
}

void CaptureGrid(TFrame& Frame, TCustomGrid& Grid, double WidthFactor, double HeightFactor) {
  Frame.Row0Height = Grid.RowHeights(0);
  if (Grid.ClientHeight() - 1 < Grid.DefaultRowHeight()) Grid.SetDefaultRowHeight(Grid.ClientHeight() - 2);
  Frame.ColCount = Grid.ColCount();
  Frame.ColWidths.assign(static_cast<size_t>(Frame.ColCount), 0);
  for (int I = 0; I < Frame.ColCount; ++I) Grid.SetColWidths(I, Round(Grid.ColWidths(I) * WidthFactor));
  Grid.SetDefaultRowHeight(Round(Grid.DefaultRowHeight() * HeightFactor));
  Frame.Row0Height = Round(Frame.Row0Height * HeightFactor);
  Grid.SetRowHeights(0, Frame.Row0Height);
  for (int I = 0; I < Frame.ColCount; ++I) Frame.ColWidths[static_cast<size_t>(I)] = Grid.ColWidths(I);
  Frame.DefaultRowHeight = Grid.DefaultRowHeight();
}

void CaptureControl(TFrame& Frame, TControl& Control, double ScaleX, double ScaleY, double ScaleFont) {
  Frame.IsStatusBar = false;
  auto* Grid = dynamic_cast<TCustomGrid*>(&Control);
  if (auto* Bar = dynamic_cast<TStatusBar*>(&Control)) {
    CaptureStatusBar(Frame, *Bar, ScaleX);
  } else if (auto* Tools = dynamic_cast<TToolBar*>(&Control)) {
    Frame.ButtonHeight = Tools->ButtonHeight();
    Frame.ButtonWidth = Tools->ButtonWidth();
  } else if (Grid && HasColumnRules(Control)) {
    CaptureGrid(Frame, *Grid, ScaleX, ScaleY);
  }
  if (Grid && Publishes(Control, "defaultrowheight")) {
    Frame.DefaultRowHeight = Grid->DefaultRowHeight();
    if (IsDataGrid(Control)) {
      const int T = Round(1.2 * TextHeightOfOne(*Grid));
      if (Frame.DefaultRowHeight <= T) Frame.DefaultRowHeight = T + 1;
    }
  }
  Frame.Left = Round(Frame.Left * ScaleX);
  Frame.Top = Round(Frame.Top * ScaleY);
  Frame.Width = Round(Frame.Width * ScaleX);
  Frame.Height = Round(Frame.Height * ScaleY);
  // A data-bound grid keeps its parent's font; every other grid gets its own.
  const bool KeepsParentFont =
      Publishes(Control, "DataSource") && (!Publishes(Control, "defaultRowHeight") || Publishes(Control, "columns"));
  if (Grid && !KeepsParentFont) Grid->SetParentFont(false);
  CaptureFonts(Frame, Control, ScaleFont);
}

void ApplyControl(TFrame& Frame, TControl& Control, const TPassFactors& F) {
  int Left = Frame.Left, Top = Frame.Top, Width = Frame.Width, Height = Frame.Height;
  double ToolBarFactor = 1.0;
  auto* Grid = dynamic_cast<TCustomGrid*>(&Control);
  if (F.ElasticFont) ApplyFonts(Frame, Control, F.FontRatio);
  if (F.Horizontal) {
    if (Frame.IsStatusBar)
      if (auto* Bar = dynamic_cast<TStatusBar*>(&Control))
        for (int I = 0; I < Frame.PanelCount && I < Bar->Panels()->Count(); ++I)
          Bar->Panels()->Items(I)->SetWidth(Round(Frame.PanelWidths[static_cast<size_t>(I)] * F.Horz));
    Left = Round(Frame.Left * F.Horz);
    Width = Round(Frame.Width * F.Horz);
    if (!F.GridSelfResize && Grid && HasColumnRules(Control)) ApplyGridColumns(Frame, *Grid, Width, F);
  }
  if (F.Vertical) {
    ToolBarFactor = F.Vert;
    Top = Round(Frame.Top * F.Vert);
    Height = Round(Frame.Height * F.Vert);
    if (Grid && Publishes(Control, "defaultrowheight")) Grid->SetDefaultRowHeight(Round(Frame.DefaultRowHeight * F.Vert));
    if (!F.GridSelfResize && Grid && (Publishes(Control, "defaultRowHeight") || IsDataGrid(Control)))
      ApplyGridRows(Frame, *Grid, Height, F);
  }
  Control.SetBounds(Left, Top, Width, Height);
  if (auto* Tools = dynamic_cast<TToolBar*>(&Control)) {
    Tools->SetButtonHeight(Trunc(Frame.ButtonHeight * ToolBarFactor));
    Tools->SetButtonWidth(Trunc(Frame.ButtonWidth * ToolBarFactor));
  }
  if (auto* Label = dynamic_cast<TLabel*>(&Control)) {
    if (!RefitAutoSize(*Label)) RefitFixedLabel(*Label);
  }
  RefitAutoSize(Control);
}
