// gui/ layer 4 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 control families (standard, extended, buttons, common controls, grids, tool
// bars, page controls); 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Grids: cells in columns and rows, painted by the library in a window of its
// own class with a sunken edge and scroll bars.
//
//   TCustomGrid   column and row counts, fixed (title) rows and columns, each
//                 column's width and each row's height, scrolling, the current cell
//   TStringGrid   a grid whose cells hold texts
//
// Changing DefaultColWidth (DefaultRowHeight) gives every column (row) that width
// (height); ColWidths and RowHeights then set single ones. Rows and columns that
// are not fixed scroll; the arrow keys and the mouse move the current cell.
#pragma once

#include <string>
#include <vector>

#include "gui/controls.h"
#include "gui/stdctrls.h"

// Makes the string grid known to the form reader (RegisterGuiClasses does).
void RegisterGridsClasses();

class TCustomGrid : public TCustomControl {
  DECLARE_CLASS(TCustomGrid)
public:
  explicit TCustomGrid(TComponent* Owner);
  ~TCustomGrid() override;

  int ColCount() const { return static_cast<int>(ColWidths_.size()); }
  void SetColCount(int Value);
  int RowCount() const { return static_cast<int>(RowHeights_.size()); }
  void SetRowCount(int Value);
  // The leading columns and rows that do not scroll (titles).
  int FixedCols() const { return FixedCols_; }
  void SetFixedCols(int Value);
  int FixedRows() const { return FixedRows_; }
  void SetFixedRows(int Value);

  int DefaultColWidth() const { return DefaultColWidth_; }
  void SetDefaultColWidth(int Value);
  int DefaultRowHeight() const { return DefaultRowHeight_; }
  void SetDefaultRowHeight(int Value);
  // Raise EInvalidOperation "Grid index out of range" for a column or row that is not there.
  int ColWidths(int Index) const;
  void SetColWidths(int Index, int Value);
  int RowHeights(int Index) const;
  void SetRowHeights(int Index, int Value);
  int GridLineWidth() const { return GridLineWidth_; }
  void SetGridLineWidth(int Value);
  TScrollStyle ScrollBars() const { return ScrollBars_; }
  void SetScrollBars(TScrollStyle Value);

  // The current cell, and the first scrolled column and row in view.
  int Col() const { return Col_; }
  void SetCol(int Value) { MoveCurrent(Value, Row_); }
  int Row() const { return Row_; }
  void SetRow(int Value) { MoveCurrent(Col_, Value); }
  int LeftCol() const { return LeftCol_; }
  void SetLeftCol(int Value);
  int TopRow() const { return TopRow_; }
  void SetTopRow(int Value);
  // Where a cell is in the client area; empty when it is scrolled out of view.
  RECT CellRect(int ACol, int ARow) const;
  // The cell at a client point; false outside every cell.
  bool MouseToCell(int X, int Y, int& ACol, int& ARow) const;
  // The texts of the cells in view.
  std::vector<TPaintedText> PaintedTexts() const override;

  TNotifyEvent OnSelectCell;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Paints one cell onto Rect of the canvas; Fixed for title cells.
  virtual void DrawCell(int ACol, int ARow, const RECT& Rect, bool Fixed);
  // A column's width changed (also through DefaultColWidth or ColCount).
  virtual void ColWidthsChanged() {}
  // Text in a cell, left aligned and clipped, in the given font.
  void DrawCellText(const RECT& Rect, const std::string& Text, TFont& Font);
  // The text a cell shows; empty for none.
  virtual std::string CellText(int ACol, int ARow) const { return {}; }

private:
  void MoveCurrent(int ACol, int ARow);
  void ScrollIntoView(int ACol, int ARow);
  void KeyDown(WORD Key);
  void Scroll(int Bar, WORD Request);
  // Which scrolled columns (rows) fit into the client area from LeftCol (TopRow) on.
  int VisibleCols() const;
  int VisibleRows() const;
  void UpdateScrollRanges();
  void Changed();

  std::vector<int> ColWidths_;
  std::vector<int> RowHeights_;
  int FixedCols_ = 1;
  int FixedRows_ = 1;
  int DefaultColWidth_ = 64;
  int DefaultRowHeight_ = 24;
  int GridLineWidth_ = 1;
  TScrollStyle ScrollBars_ = ssBoth;
  int Col_ = 1, Row_ = 1;
  int LeftCol_ = 1, TopRow_ = 1;
  bool UpdatingScrollBars_ = false;
};

class TStringGrid : public TCustomGrid {
  DECLARE_CLASS(TStringGrid)
public:
  explicit TStringGrid(TComponent* Owner);
  // Empty for a cell never written; raises EInvalidOperation outside the grid.
  std::string Cells(int ACol, int ARow) const;
  void SetCells(int ACol, int ARow, const std::string& Value);

protected:
  void DrawCell(int ACol, int ARow, const RECT& Rect, bool Fixed) override;
  std::string CellText(int ACol, int ARow) const override { return Cells(ACol, ARow); }

private:
  std::vector<std::vector<std::string>> Cells_;  // [row][col], grown on writing
};
