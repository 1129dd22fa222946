#include "gui/grids.h"

#include <algorithm>

#include "gui/handles.h"

void RegisterGridsClasses() {
  for (const TClassInfo* C : {&TStringGrid::StaticClassInfo()})
    RegisterComponentClass(*C);
}

namespace {

void CheckIndex(int Index, int Count) {
  if (Index < 0 || Index >= Count) throw EInvalidOperation("Grid index out of range");
}

}  // namespace

// --- TCustomGrid ------------------------------------------------------------------------

BEGIN_CLASS_INFO(TCustomGrid, TCustomControl, nullptr)
END_CLASS_INFO

TCustomGrid::TCustomGrid(TComponent* Owner) : TCustomControl(Owner) {
  Width_ = 320;
  Height_ = 120;
  ColWidths_.assign(5, DefaultColWidth_);
  RowHeights_.assign(5, DefaultRowHeight_);
  TabStop_ = true;
  SetColor(clWindow);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::CreateParams(TCreateParams& P) {
  TCustomControl::CreateParams(P);
  P.ExStyle |= WS_EX_CLIENTEDGE;
  // The scroll bars exist from the start; UpdateScrollRanges shows the ones needed.
  if (ScrollBars_ == ssVertical || ScrollBars_ == ssBoth) P.Style |= WS_VSCROLL;
  if (ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth) P.Style |= WS_HSCROLL;
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollRanges();
}

void TCustomGrid::SetColCount(int Value) {
  Value = std::max(Value, 1);
  if (Value == ColCount()) return;
  ColWidths_.resize(static_cast<size_t>(Value), DefaultColWidth_);
  FixedCols_ = std::min(FixedCols_, Value - 1);
  MoveCurrent(std::min(Col_, Value - 1), Row_);
  ColWidthsChanged();
  Changed();
}

void TCustomGrid::SetRowCount(int Value) {
  Value = std::max(Value, 1);
  if (Value == RowCount()) return;
  RowHeights_.resize(static_cast<size_t>(Value), DefaultRowHeight_);
  FixedRows_ = std::min(FixedRows_, Value - 1);
  MoveCurrent(Col_, std::min(Row_, Value - 1));
  Changed();
}

void TCustomGrid::SetFixedCols(int Value) {
  if (Value < 0 || Value >= ColCount()) throw EInvalidOperation("Fixed column count must be less than column count");
  FixedCols_ = Value;
  LeftCol_ = std::max(LeftCol_, Value);
  MoveCurrent(std::max(Col_, Value), Row_);
  Changed();
}

void TCustomGrid::SetFixedRows(int Value) {
  if (Value < 0 || Value >= RowCount()) throw EInvalidOperation("Fixed row count must be less than row count");
  FixedRows_ = Value;
  TopRow_ = std::max(TopRow_, Value);
  MoveCurrent(Col_, std::max(Row_, Value));
  Changed();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
  DefaultColWidth_ = std::max(Value, 0);
  std::fill(ColWidths_.begin(), ColWidths_.end(), DefaultColWidth_);
  ColWidthsChanged();
  Changed();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
  DefaultRowHeight_ = std::max(Value, 0);
  std::fill(RowHeights_.begin(), RowHeights_.end(), DefaultRowHeight_);
  Changed();
}

int TCustomGrid::ColWidths(int Index) const {
  CheckIndex(Index, ColCount());
  return ColWidths_[static_cast<size_t>(Index)];
}

void TCustomGrid::SetColWidths(int Index, int Value) {
  CheckIndex(Index, ColCount());
  Value = std::max(Value, 0);
  if (ColWidths_[static_cast<size_t>(Index)] == Value) return;
  ColWidths_[static_cast<size_t>(Index)] = Value;
  ColWidthsChanged();
  Changed();
}

int TCustomGrid::RowHeights(int Index) const {
  CheckIndex(Index, RowCount());
  return RowHeights_[static_cast<size_t>(Index)];
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
  CheckIndex(Index, RowCount());
  Value = std::max(Value, 0);
  if (RowHeights_[static_cast<size_t>(Index)] == Value) return;
  RowHeights_[static_cast<size_t>(Index)] = Value;
  Changed();
}

void TCustomGrid::SetGridLineWidth(int Value) {
  GridLineWidth_ = std::max(Value, 0);
  Changed();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
  if (Value == ScrollBars_) return;
  ScrollBars_ = Value;
  RecreateWnd();
}

void TCustomGrid::Changed() {
  if (IsReading()) return;
  UpdateScrollRanges();
  Invalidate();
}

void TCustomGrid::Resize() {
  UpdateScrollRanges();
  TCustomControl::Resize();
}

// --- Geometry ---------------------------------------------------------------------------

RECT TCustomGrid::CellRect(int ACol, int ARow) const {
  RECT Empty{0, 0, 0, 0};
  if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount()) return Empty;
  if ((ACol >= FixedCols_ && ACol < LeftCol_) || (ARow >= FixedRows_ && ARow < TopRow_)) return Empty;
  auto Start = [this](const std::vector<int>& Sizes, int Fixed, int First, int Index) {
    int At = 0;
    for (int I = 0; I < Fixed && I < Index; ++I) At += Sizes[static_cast<size_t>(I)] + GridLineWidth_;
    for (int I = std::max(First, Fixed); I < Index; ++I) At += Sizes[static_cast<size_t>(I)] + GridLineWidth_;
    return At;
  };
  const int X = Start(ColWidths_, FixedCols_, LeftCol_, ACol);
  const int Y = Start(RowHeights_, FixedRows_, TopRow_, ARow);
  RECT Client = ClientRect();
  if (X >= Client.right || Y >= Client.bottom) return Empty;
  return RECT{X, Y, X + ColWidths_[static_cast<size_t>(ACol)], Y + RowHeights_[static_cast<size_t>(ARow)]};
}

bool TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
  for (int R = 0; R < RowCount(); ++R)
    for (int C = 0; C < ColCount(); ++C) {
      RECT Cell = CellRect(C, R);
      if (X >= Cell.left && X < Cell.right + GridLineWidth_ && Y >= Cell.top && Y < Cell.bottom + GridLineWidth_ &&
          Cell.right > Cell.left) {
        ACol = C;
        ARow = R;
        return true;
      }
    }
  return false;
}

std::vector<TWinControl::TPaintedText> TCustomGrid::PaintedTexts() const {
  std::vector<TPaintedText> Texts;
  for (int R = 0; R < RowCount(); ++R)
    for (int C = 0; C < ColCount(); ++C) {
      const RECT Cell = CellRect(C, R);
      if (Cell.right <= Cell.left || Cell.bottom <= Cell.top) continue;
      if (std::string Text = CellText(C, R); !Text.empty()) Texts.push_back(TPaintedText{std::move(Text), Cell});
    }
  return Texts;
}

int TCustomGrid::VisibleCols() const {
  int Space = ClientWidth();
  for (int I = 0; I < FixedCols_; ++I) Space -= ColWidths_[static_cast<size_t>(I)] + GridLineWidth_;
  int Count = 0;
  for (int I = LeftCol_; I < ColCount(); ++I) {
    Space -= ColWidths_[static_cast<size_t>(I)] + GridLineWidth_;
    if (Space < 0) break;
    ++Count;
  }
  return std::max(Count, 1);
}

int TCustomGrid::VisibleRows() const {
  int Space = ClientHeight();
  for (int I = 0; I < FixedRows_; ++I) Space -= RowHeights_[static_cast<size_t>(I)] + GridLineWidth_;
  int Count = 0;
  for (int I = TopRow_; I < RowCount(); ++I) {
    Space -= RowHeights_[static_cast<size_t>(I)] + GridLineWidth_;
    if (Space < 0) break;
    ++Count;
  }
  return std::max(Count, 1);
}

void TCustomGrid::UpdateScrollRanges() {
  if (!HandleAllocated() || UpdatingScrollBars_) return;
  UpdatingScrollBars_ = true;
  // Showing or hiding a bar resizes the client area, which comes back here.
  auto Apply = [this](int Bar, bool Allowed, int Count, int Fixed, int First, int Page) {
    SCROLLINFO SI{sizeof(SI), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    const int Scrolled = Count - Fixed;
    if (Allowed && Scrolled > Page) {
      SI.nMax = Scrolled - 1;
      SI.nPage = static_cast<UINT>(Page);
      SI.nPos = First - Fixed;
    }
    SetScrollInfo(Handle_, Bar, &SI, TRUE);
  };
  TScopeGuard Done([this] { UpdatingScrollBars_ = false; });
  for (int Pass = 0; Pass < 2; ++Pass) {  // a second pass settles what the first bar took away
    Apply(SB_HORZ, ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth, ColCount(), FixedCols_, LeftCol_,
          VisibleCols());
    Apply(SB_VERT, ScrollBars_ == ssVertical || ScrollBars_ == ssBoth, RowCount(), FixedRows_, TopRow_,
          VisibleRows());
  }
}

// --- Scrolling and the current cell ----------------------------------------------------

void TCustomGrid::SetLeftCol(int Value) {
  Value = std::clamp(Value, FixedCols_, std::max(FixedCols_, ColCount() - 1));
  if (Value == LeftCol_) return;
  LeftCol_ = Value;
  Changed();
}

void TCustomGrid::SetTopRow(int Value) {
  Value = std::clamp(Value, FixedRows_, std::max(FixedRows_, RowCount() - 1));
  if (Value == TopRow_) return;
  TopRow_ = Value;
  Changed();
}

void TCustomGrid::MoveCurrent(int ACol, int ARow) {
  ACol = std::clamp(ACol, std::min(FixedCols_, ColCount() - 1), ColCount() - 1);
  ARow = std::clamp(ARow, std::min(FixedRows_, RowCount() - 1), RowCount() - 1);
  if (ACol == Col_ && ARow == Row_) return;
  Col_ = ACol;
  Row_ = ARow;
  ScrollIntoView(ACol, ARow);
  Invalidate();
  if (!IsReading()) OnSelectCell(this);
}

void TCustomGrid::ScrollIntoView(int ACol, int ARow) {
  if (ACol < LeftCol_) SetLeftCol(ACol);
  else if (ACol >= LeftCol_ + VisibleCols()) SetLeftCol(ACol - VisibleCols() + 1);
  if (ARow < TopRow_) SetTopRow(ARow);
  else if (ARow >= TopRow_ + VisibleRows()) SetTopRow(ARow - VisibleRows() + 1);
}

void TCustomGrid::Scroll(int Bar, WORD Request) {
  const bool Vertical = Bar == SB_VERT;
  const int First = Vertical ? TopRow_ : LeftCol_;
  const int Page = Vertical ? VisibleRows() : VisibleCols();
  const int Fixed = Vertical ? FixedRows_ : FixedCols_;
  const int Last = (Vertical ? RowCount() : ColCount()) - 1;
  int Target = First;
  switch (Request) {
    case SB_LINEUP: Target = First - 1; break;
    case SB_LINEDOWN: Target = First + 1; break;
    case SB_PAGEUP: Target = First - Page; break;
    case SB_PAGEDOWN: Target = First + Page; break;
    case SB_TOP: Target = Fixed; break;
    case SB_BOTTOM: Target = Last; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO SI{sizeof(SI), SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(Handle_, Bar, &SI);
      Target = Fixed + SI.nTrackPos;
      break;
    }
    default: return;
  }
  // The last page stays full.
  Target = std::min(Target, std::max(Fixed, Last - Page + 1));
  if (Vertical) SetTopRow(Target);
  else SetLeftCol(Target);
}

void TCustomGrid::KeyDown(WORD Key) {
  switch (Key) {
    case VK_LEFT: MoveCurrent(Col_ - 1, Row_); break;
    case VK_RIGHT: MoveCurrent(Col_ + 1, Row_); break;
    case VK_UP: MoveCurrent(Col_, Row_ - 1); break;
    case VK_DOWN: MoveCurrent(Col_, Row_ + 1); break;
    case VK_PRIOR: MoveCurrent(Col_, Row_ - VisibleRows()); break;
    case VK_NEXT: MoveCurrent(Col_, Row_ + VisibleRows()); break;
    case VK_HOME: MoveCurrent(FixedCols_, Row_); break;
    case VK_END: MoveCurrent(ColCount() - 1, Row_); break;
    default: break;
  }
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CanFocus()) SetFocus();
  int C = 0, R = 0;
  if (Button == mbLeft && MouseToCell(X, Y, C, R) && C >= FixedCols_ && R >= FixedRows_) MoveCurrent(C, R);
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS;
      return;
    case WM_KEYDOWN:
      TCustomControl::WndProc(M);
      KeyDown(static_cast<WORD>(M.WParam));
      return;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (M.LParam == 0) {
        Scroll(M.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(M.WParam));
        M.Result = 0;
        return;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();  // the current cell shows the focus
      break;
    default:
      break;
  }
  TCustomControl::WndProc(M);
}

// --- Painting ---------------------------------------------------------------------------

void TCustomGrid::Paint() {
  TCanvas& C = Canvas();
  RECT Client = ClientRect();
  C.Brush().SetColor(clBtnFace);  // the grid lines show through between the cells
  C.FillRect(Client);
  RECT Covered{0, 0, 0, 0};
  for (int R = 0; R < RowCount(); ++R)
    for (int Col = 0; Col < ColCount(); ++Col) {
      RECT Cell = CellRect(Col, R);
      if (Cell.right <= Cell.left || Cell.bottom <= Cell.top) continue;
      DrawCell(Col, R, Cell, Col < FixedCols_ || R < FixedRows_);
      Covered.right = std::max<LONG>(Covered.right, Cell.right + GridLineWidth_);
      Covered.bottom = std::max<LONG>(Covered.bottom, Cell.bottom + GridLineWidth_);
    }
  // The area beyond the last column and row is the grid's own colour.
  C.Brush().SetColor(Color_);
  C.FillRect(RECT{Covered.right, 0, Client.right, Client.bottom});
  C.FillRect(RECT{0, Covered.bottom, Covered.right, Client.bottom});
  C.Font().Assign(Font());  // measuring on the canvas afterwards uses the grid's font
}

void TCustomGrid::DrawCell(int ACol, int ARow, const RECT& Rect, bool Fixed) {
  TCanvas& C = Canvas();
  if (Fixed) {
    C.Brush().SetColor(clBtnFace);
    C.FillRect(Rect);
    RECT Edge = Rect;
    DrawEdge(C.Handle(), &Edge, BDR_RAISEDINNER, BF_RECT);
    return;
  }
  const bool Current = ACol == Col_ && ARow == Row_;
  C.Brush().SetColor(Current && Focused() ? clHighlight : Color_);
  C.FillRect(Rect);
  if (Current && Focused()) DrawFocusRect(C.Handle(), &Rect);
}

void TCustomGrid::DrawCellText(const RECT& Rect, const std::string& Text, TFont& Font) {
  if (Text.empty()) return;
  TCanvas& C = Canvas();
  C.Font().Assign(&Font);
  RECT Inner{Rect.left + 2, Rect.top, Rect.right - 2, Rect.bottom};
  C.Brush().SetStyle(bsClear);
  C.FormatText(Text, Inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

// --- TStringGrid ------------------------------------------------------------------------

BEGIN_CLASS_INFO(TStringGrid, TCustomGrid, ComponentCreator<TStringGrid>)
  P.Int("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount, 5);
  P.Int("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount, 5);
  P.Int("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols, 1);
  P.Int("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows, 1);
  P.Int("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth, 64);
  P.Int("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight, 24);
  P.Int("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth, 1);
  P.Enum("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars, ScrollStyleNames(), ssBoth);
  PublishFont(P);
  PublishColor(P, clWindow, false);
  PublishTabStop(P, true);
  P.Event("OnSelectCell", &TCustomGrid::OnSelectCell);
END_CLASS_INFO

TStringGrid::TStringGrid(TComponent* Owner) : TCustomGrid(Owner) {}

std::string TStringGrid::Cells(int ACol, int ARow) const {
  CheckIndex(ACol, ColCount());
  CheckIndex(ARow, RowCount());
  if (static_cast<size_t>(ARow) >= Cells_.size()) return {};
  const auto& Line = Cells_[static_cast<size_t>(ARow)];
  return static_cast<size_t>(ACol) < Line.size() ? Line[static_cast<size_t>(ACol)] : std::string();
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value) {
  CheckIndex(ACol, ColCount());
  CheckIndex(ARow, RowCount());
  if (static_cast<size_t>(ARow) >= Cells_.size()) Cells_.resize(static_cast<size_t>(ARow) + 1);
  auto& Line = Cells_[static_cast<size_t>(ARow)];
  if (static_cast<size_t>(ACol) >= Line.size()) Line.resize(static_cast<size_t>(ACol) + 1);
  Line[static_cast<size_t>(ACol)] = Value;
  RECT R = CellRect(ACol, ARow);
  if (HandleAllocated()) InvalidateRect(Handle_, &R, FALSE);
}

void TStringGrid::DrawCell(int ACol, int ARow, const RECT& Rect, bool Fixed) {
  TCustomGrid::DrawCell(ACol, ARow, Rect, Fixed);
  TFont Text;
  Text.Assign(Font());
  if (!Fixed && ACol == Col() && ARow == Row() && Focused()) Text.SetColor(clHighlightText);
  DrawCellText(Rect, CellText(ACol, ARow), Text);
}
