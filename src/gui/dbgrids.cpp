#include "gui/dbgrids.h"

#include <algorithm>

#include "gui/handles.h"

void RegisterDBGridsClasses() {
  for (const TClassInfo* C : {&TDBGrid::StaticClassInfo(), &TDataSource::StaticClassInfo()})
    RegisterComponentClass(*C);
}

// --- TDataSource ------------------------------------------------------------------------

BEGIN_CLASS_INFO(TDataSource, TComponent, ComponentCreator<TDataSource>)
  P.Bool("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled, true);
END_CLASS_INFO

// --- Columns ----------------------------------------------------------------------------

BEGIN_CLASS_INFO(TColumnTitle, TPersistent, nullptr)
  P.Str("Caption", &TColumnTitle::Caption, &TColumnTitle::SetCaption);
END_CLASS_INFO

void TColumnTitle::SetCaption(const std::string& Value) {
  if (Caption_ == Value) return;
  Caption_ = Value;
  Column_.Changed();
}

void TColumnTitle::Assign(const TPersistent* Source) {
  auto* S = dynamic_cast<const TColumnTitle*>(Source);
  if (!S) return TPersistent::Assign(Source);
  SetCaption(S->Caption_);
}

BEGIN_CLASS_INFO(TColumn, TCollectionItem, nullptr)
  P.Str("FieldName", &TColumn::FieldName, &TColumn::SetFieldName);
  P.Int("Width", &TColumn::Width, &TColumn::SetWidth, 64);
  P.Obj<TColumnTitle>("Title", &TColumn::Title, &TColumn::SetTitle);
END_CLASS_INFO

void TColumn::SetFieldName(const std::string& Value) {
  if (FieldName_ == Value) return;
  FieldName_ = Value;
  Changed();
}

void TColumn::SetWidth(int Value) {
  Value = std::max(Value, 0);
  if (Width_ == Value) return;
  Width_ = Value;
  Changed();
}

void TColumn::Assign(const TPersistent* Source) {
  auto* S = dynamic_cast<const TColumn*>(Source);
  if (!S) return TCollectionItem::Assign(Source);
  FieldName_ = S->FieldName_;
  Width_ = S->Width_;
  Title_.Assign(&S->Title_);
  Changed();
}

BEGIN_CLASS_INFO(TDBGridColumns, TCollection, nullptr)
END_CLASS_INFO

TDBGridColumns::TDBGridColumns(TDBGrid* Owner) : TCollection([](TCollection* C) { return new TColumn(C); }, Owner) {}

// --- TDBGrid ----------------------------------------------------------------------------

BEGIN_CLASS_INFO(TDBGrid, TCustomGrid, ComponentCreator<TDBGrid>)
  P.Obj<TDataSource>("DataSource", &TDBGrid::DataSource, &TDBGrid::SetDataSource);
  P.Obj<TDBGridColumns>("Columns", &TDBGrid::Columns, &TDBGrid::SetColumns);
  P.Obj<TFont>("TitleFont", &TDBGrid::TitleFont, &TDBGrid::SetTitleFont);
  P.Int("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight, 24);
  P.Enum("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars, ScrollStyleNames(), ssBoth);
  PublishFont(P);
  PublishColor(P, clWindow, false);
  PublishTabStop(P, true);
END_CLASS_INFO

TDBGrid::TDBGrid(TComponent* Owner) : TCustomGrid(Owner), Columns_(this) {
  SetRowCount(2);  // the titles and the current record
  SetColCount(1);
  SetFixedCols(0);
  TitleFont_.Assign(Font());
  TitleFont_.OnChange = TNotifyEvent([this](TObject*) { Invalidate(); });
  Columns_.OnUpdate = [this](TCollectionItem*) { ColumnsChanged(); };
}

TDBGrid::~TDBGrid() {
  Columns_.OnUpdate = nullptr;
  TitleFont_.OnChange = {};
}

void TDBGrid::SetDataSource(TDataSource* Value) {
  if (Value == DataSource_) return;
  if (DataSource_) DataSource_->RemoveFreeNotification(this);
  DataSource_ = Value;
  if (Value) Value->FreeNotification(this);
  Invalidate();
}

void TDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomGrid::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == DataSource_) DataSource_ = nullptr;
}

void TDBGrid::ColumnsChanged() {
  if (Syncing_) return;
  {
    Syncing_ = true;
    TScopeGuard Done([this] { Syncing_ = false; });
    SetColCount(std::max(Columns_.Count(), 1));
    for (int I = 0; I < Columns_.Count(); ++I) SetColWidths(I, Columns_.Items(I)->Width());
  }
  Invalidate();
}

void TDBGrid::ColWidthsChanged() {
  if (Syncing_) return;
  Syncing_ = true;
  TScopeGuard Done([this] { Syncing_ = false; });
  for (int I = 0; I < Columns_.Count() && I < ColCount(); ++I) Columns_.Items(I)->SetWidth(ColWidths(I));
}

void TDBGrid::FontChanged() {
  if (ParentFont()) TitleFont_.Assign(Font());
  TCustomGrid::FontChanged();
}

void TDBGrid::DrawCell(int ACol, int ARow, const RECT& Rect, bool Fixed) {
  TCustomGrid::DrawCell(ACol, ARow, Rect, Fixed);
  DrawCellText(Rect, CellText(ACol, ARow), TitleFont_);
}

std::string TDBGrid::CellText(int ACol, int ARow) const {
  return ARow == 0 && ACol < Columns_.Count() ? Columns_.Items(ACol)->TitleText() : std::string();
}
