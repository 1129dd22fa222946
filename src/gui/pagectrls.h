// gui/ layer 4 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 control families (standard, extended, buttons, common controls, grids, tool
// bars, page controls); 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// A page control over comctl32's tab control, and the tab sheets it shows.
//
// Each TTabSheet whose parent is the page control has a tab, in page order
// (PageIndex); the sheet of the selected tab fills the control's display area
// and the others are hidden. The tabs show their captions in TabFont; Font is
// what the sheets and their controls inherit.
#pragma once

#include <string>
#include <vector>

#include "gui/controls.h"

// Makes the page control and its tab sheets known to the form reader (RegisterGuiClasses does).
void RegisterPageCtrlsClasses();

class TPageControl;

class TTabSheet : public TWinControl {
  DECLARE_CLASS(TTabSheet)
public:
  explicit TTabSheet(TComponent* Owner);
  ~TTabSheet() override;
  void SetParent(TWinControl* NewParent) override;
  TPageControl* PageControl() const;
  // The sheet's place among its page control's pages; -1 on none.
  int PageIndex() const;
  void SetPageIndex(int Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void TextChanged() override;
};

class TPageControl : public TWinControl {
  DECLARE_CLASS(TPageControl)
public:
  explicit TPageControl(TComponent* Owner);
  ~TPageControl() override;

  int PageCount() const;
  TTabSheet* Pages(int Index) const;
  // The sheet shown; null when there is none.
  TTabSheet* ActivePage() const { return ActivePage_; }
  void SetActivePage(TTabSheet* Value);
  // The font of the tabs' captions.
  TFont* TabFont() const { return const_cast<TFont*>(&TabFont_); }
  void SetTabFont(TFont* Value) { TabFont_.Assign(Value); }
  // Where the sheets go, in client coordinates.
  RECT DisplayRect() const;
  // The tabs' captions.
  std::vector<TPaintedText> PaintedTexts() const override;

  TNotifyEvent OnChange;

  void Loaded() override;

protected:
  friend class TTabSheet;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void FontChanged() override;
  void Resize() override;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void MovePage(TTabSheet* Page, int NewIndex);
  // The tabs follow the sheets again (added, removed, moved or renamed).
  void UpdateTabs();

private:
  void TabFontChanged();
  void PlaceSheets();

  std::vector<TTabSheet*> Pages_;    // not owned: children, in page order
  TTabSheet* ActivePage_ = nullptr;  // not owned: one of the pages
  TFont TabFont_;
  bool OwnTabFont_ = false;          // set once TabFont is given; until then it follows Font
  bool FollowingFont_ = false;
};
