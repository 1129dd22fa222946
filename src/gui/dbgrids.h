// gui/ layer 4 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 control families (standard, extended, buttons, common controls, grids, tool
// bars, page controls); 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// A grid bound to a data source: one column per entry of Columns, a title row
// that shows each column's title in TitleFont, and the rows of its data below.
//
//   TDataSource   the component a data-bound control names as its source
//   TColumn       one column: the field it shows, its width and its title
//   TDBGrid       the grid; a column's width and the grid's ColWidths are one value
//
// This program has no data sets: a source only says whether it is enabled, and
// the grid shows an empty record row under its titles.
#pragma once

#include <string>

#include "gui/grids.h"

// Makes the data-bound grid and its data source known to the form reader (RegisterGuiClasses does).
void RegisterDBGridsClasses();

class TDataSource : public TComponent {
  DECLARE_CLASS(TDataSource)
public:
  explicit TDataSource(TComponent* Owner) : TComponent(Owner) {}
  bool Enabled() const { return Enabled_; }
  void SetEnabled(bool Value) { Enabled_ = Value; }

private:
  bool Enabled_ = true;
};

class TColumn;

// What a column's title shows.
class TColumnTitle : public TPersistent {
  DECLARE_CLASS(TColumnTitle)
public:
  explicit TColumnTitle(TColumn& Column) : Column_(Column) {}
  const std::string& Caption() const { return Caption_; }
  void SetCaption(const std::string& Value);
  void Assign(const TPersistent* Source) override;

private:
  TColumn& Column_;
  std::string Caption_;
};

class TColumn : public TCollectionItem {
  DECLARE_CLASS(TColumn)
public:
  explicit TColumn(TCollection* Collection) : TCollectionItem(Collection), Title_(*this) {}
  const std::string& FieldName() const { return FieldName_; }
  void SetFieldName(const std::string& Value);
  int Width() const { return Width_; }
  void SetWidth(int Value);
  TColumnTitle* Title() const { return const_cast<TColumnTitle*>(&Title_); }
  void SetTitle(TColumnTitle* Value) { Title_.Assign(Value); }
  // The title's caption, or the field name when it has none.
  std::string TitleText() const { return Title_.Caption().empty() ? FieldName_ : Title_.Caption(); }
  void Assign(const TPersistent* Source) override;

private:
  friend class TColumnTitle;
  std::string FieldName_;
  int Width_ = 64;
  TColumnTitle Title_;
};

class TDBGrid;

class TDBGridColumns : public TCollection {
  DECLARE_CLASS(TDBGridColumns)
public:
  explicit TDBGridColumns(TDBGrid* Owner);
  TColumn* Items(int Index) const { return static_cast<TColumn*>(TCollection::Items(Index)); }
  TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
};

class TDBGrid : public TCustomGrid {
  DECLARE_CLASS(TDBGrid)
public:
  explicit TDBGrid(TComponent* Owner);
  ~TDBGrid() override;

  TDataSource* DataSource() const { return DataSource_; }
  void SetDataSource(TDataSource* Value);
  TDBGridColumns* Columns() const { return const_cast<TDBGridColumns*>(&Columns_); }
  void SetColumns(TDBGridColumns* Value) { Columns_.Assign(Value); }
  // The font of the title row.
  TFont* TitleFont() const { return const_cast<TFont*>(&TitleFont_); }
  void SetTitleFont(TFont* Value) { TitleFont_.Assign(Value); }

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void DrawCell(int ACol, int ARow, const RECT& Rect, bool Fixed) override;
  // The titles; there are no records to show.
  std::string CellText(int ACol, int ARow) const override;
  void ColWidthsChanged() override;
  // With ParentFont the titles take the parent's font too.
  void FontChanged() override;

private:
  void ColumnsChanged();

  TDataSource* DataSource_ = nullptr;  // not owned
  TDBGridColumns Columns_;
  TFont TitleFont_;
  bool Syncing_ = false;  // widths going from the columns to the grid or back
};
