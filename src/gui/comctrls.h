// gui/ layer 4 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Common controls over comctl32's windows: the status bar with its panels, the
// header control with its sections and the list view with its columns. Each item
// collection is published (Panels, Sections, Columns) and stored in form
// resources as a collection; every change to an item reaches the window.
#pragma once

#include <string>

#include "gui/controls.h"

// Makes the status bar, header control and list view known to the form reader
// (RegisterGuiClasses does).
void RegisterComCtrlsClasses();

class TStatusBar;
class THeaderControl;
class TListView;

// An item of a common control's collection that carries a text and a width in
// pixels; every change reaches the control's window through the collection.
class TTextWidthItem : public TCollectionItem {
  DECLARE_CLASS(TTextWidthItem)
public:
  explicit TTextWidthItem(TCollection* Collection) : TCollectionItem(Collection) {}
  const std::string& Text() const { return Text_; }
  void SetText(const std::string& Value);
  int Width() const { return Width_; }
  void SetWidth(int Value);
  void Assign(const TPersistent* Source) override;

private:
  std::string Text_;
  int Width_ = 50;
};

// One part of a status bar: its text and its width in pixels. The last panel
// reaches to the bar's right edge.
class TStatusPanel : public TTextWidthItem {
  DECLARE_CLASS(TStatusPanel)
public:
  explicit TStatusPanel(TCollection* Collection) : TTextWidthItem(Collection) {}
};

class TStatusPanels : public TCollection {
  DECLARE_CLASS(TStatusPanels)
public:
  explicit TStatusPanels(TStatusBar* Owner);
  TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
};

// A status bar, at the bottom of its parent unless aligned otherwise.
class TStatusBar : public TWinControl {
  DECLARE_CLASS(TStatusBar)
public:
  explicit TStatusBar(TComponent* Owner);
  ~TStatusBar() override;
  TStatusPanels* Panels() const { return const_cast<TStatusPanels*>(&Panels_); }
  void SetPanels(TStatusPanels* Value) { Panels_.Assign(Value); }

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

private:
  void UpdatePanels();
  TStatusPanels Panels_;
};

// One section of a header control: its text and its width in pixels.
class THeaderSection : public TTextWidthItem {
  DECLARE_CLASS(THeaderSection)
public:
  explicit THeaderSection(TCollection* Collection) : TTextWidthItem(Collection) {}
};

class THeaderSections : public TCollection {
  DECLARE_CLASS(THeaderSections)
public:
  explicit THeaderSections(THeaderControl* Owner);
  THeaderSection* Items(int Index) const { return static_cast<THeaderSection*>(TCollection::Items(Index)); }
  THeaderSection* Add() { return static_cast<THeaderSection*>(TCollection::Add()); }
};

// A header control, at the top of its parent unless aligned otherwise.
class THeaderControl : public TWinControl {
  DECLARE_CLASS(THeaderControl)
public:
  explicit THeaderControl(TComponent* Owner);
  ~THeaderControl() override;
  THeaderSections* Sections() const { return const_cast<THeaderSections*>(&Sections_); }
  void SetSections(THeaderSections* Value) { Sections_.Assign(Value); }

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;

private:
  void UpdateSections(TCollectionItem* Changed);
  THeaderSections Sections_;
};

// One column of a list view in report style: its caption and width in pixels.
class TListColumn : public TTextWidthItem {
  DECLARE_CLASS(TListColumn)
public:
  explicit TListColumn(TCollection* Collection) : TTextWidthItem(Collection) {}
  const std::string& Caption() const { return Text(); }
  void SetCaption(const std::string& Value) { SetText(Value); }
};

class TListColumns : public TCollection {
  DECLARE_CLASS(TListColumns)
public:
  explicit TListColumns(TListView* Owner);
  TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
const TEnumInfo& ViewStyleNames();

// A list view; its columns show in report style.
class TListView : public TWinControl {
  DECLARE_CLASS(TListView)
public:
  explicit TListView(TComponent* Owner);
  ~TListView() override;
  TListColumns* Columns() const { return const_cast<TListColumns*>(&Columns_); }
  void SetColumns(TListColumns* Value) { Columns_.Assign(Value); }
  TViewStyle ViewStyle() const { return ViewStyle_; }
  void SetViewStyle(TViewStyle Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void SaveWindowState() override;

private:
  void UpdateColumns(TCollectionItem* Changed);
  TListColumns Columns_;
  TViewStyle ViewStyle_ = vsIcon;
};
