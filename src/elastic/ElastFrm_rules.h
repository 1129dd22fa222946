// The elastic layout's rules for single controls: which of a form's controls it
// manages (CollectControls), what it records of each (TFrame), how a control is
// scaled to the screen once (CaptureControl, CaptureGrid) and how it is placed,
// sized and given its fonts on every rescale (ApplyControl). Status bars, tool
// bars, grids and labels have rules of their own; whether a control takes part
// in a rule is asked of its published properties, by name, ignoring case.
//
// Rounding: Round goes to the nearest integer with exact halves to the even one,
// Trunc toward zero, RoundFontSize sends exact halves down.
#pragma once

#include <vector>

class TControl;
class TWinControl;
class TCustomGrid;

int Round(double Value);
int Trunc(double Value);
int RoundFontSize(double Value);

// What the layout keeps of one managed control. Bounds, panel widths, column
// widths and row heights are those of the running screen once captured.
struct TFrame {
  int Left = 0;
  int Width = 0;
  int Top = 0;
  int Height = 0;
  bool IsStatusBar = false;
  int Row0Height = 0;
  std::vector<int> ColWidths;
  int ColCount = 0;
  std::vector<int> PanelWidths;
  int PanelCount = 0;
  int FontSize = 0;       // the control's own font, scaled to the screen
  int TitleFontSize = 0;
  int TabFontSize = 0;
  double TitleRatio = 0;  // TitleFontSize / FontSize
  int DefaultRowHeight = 0;
  int ButtonHeight = 0;
  int ButtonWidth = 0;
  bool SavedVisible = false;
};

// What one rescale pass hands to ApplyControl.
struct TPassFactors {
  bool Horizontal = true;   // ElasticHorizontal
  bool Vertical = true;     // ElasticVertical
  bool ElasticFont = true;
  double Horz = 1;          // the form's client width / its reference client width
  double Vert = 1;          // likewise with heights
  double FontRatio = 1;
  double ScaleX = 1;        // the screen factors, for a grid captured again
  double ScaleY = 1;
  bool GridSelfResize = false;  // DBGridSelfResize: data-bound grids size their own rows and columns
};

// Appends Container's managed descendants, depth first, each container before
// its children: named controls, except a tab sheet (it has a PageIndex but no
// Pages) and a tool bar's buttons. The children of those are still visited.
void CollectControls(const TWinControl& Container, std::vector<TControl*>& List);

// The first pass, once per control, after its design bounds are in the frame:
// scales the frame's bounds and the control's fonts to the screen, and a status
// bar's panels and a grid's columns and rows on the control itself.
void CaptureControl(TFrame& Frame, TControl& Control, double ScaleX, double ScaleY, double ScaleFont);
// The grid's columns and rows scaled by the factors, and recorded.
void CaptureGrid(TFrame& Frame, TCustomGrid& Grid, double WidthFactor, double HeightFactor);
// Every pass: the control's bounds from the frame times the pass's factors (never
// from where the control is now), its fonts, panels, columns, rows and buttons.
void ApplyControl(TFrame& Frame, TControl& Control, const TPassFactors& Factors);
