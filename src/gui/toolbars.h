// gui/ layer 4 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 control families (standard, extended, buttons, common controls, grids, tool
// bars, page controls); 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// A tool bar over comctl32's toolbar window and the buttons on it.
//
// A TToolButton is a control whose parent is the tool bar; the bar keeps one
// button of its window per tool button, in the order of its Controls, and
// places them itself: every button is ButtonWidth × ButtonHeight, and the tool
// button's bounds are read back from the window. A click on a button runs the
// tool button's OnClick.
#pragma once

#include <string>
#include <vector>

#include "gui/controls.h"

// Makes the tool bar and its buttons known to the form reader (RegisterGuiClasses does).
void RegisterToolBarsClasses();

class TToolBar;

class TToolButton : public TGraphicControl {
  DECLARE_CLASS(TToolButton)
public:
  explicit TToolButton(TComponent* Owner);
  ~TToolButton() override;
  void SetParent(TWinControl* NewParent) override;
  // The button's index in its tool bar's window, -1 when it is on none.
  int Index() const;

protected:
  void TextChanged() override;
  void EnabledChanged() override;
  void VisibleChanged() override;

private:
  friend class TToolBar;
  TToolBar* ToolBar() const;
};

class TToolBar : public TWinControl {
  DECLARE_CLASS(TToolBar)
public:
  explicit TToolBar(TComponent* Owner);
  ~TToolBar() override;

  int ButtonWidth() const { return ButtonWidth_; }
  void SetButtonWidth(int Value) { SetButtonSize(Value, ButtonHeight_); }
  int ButtonHeight() const { return ButtonHeight_; }
  void SetButtonHeight(int Value) { SetButtonSize(ButtonWidth_, Value); }
  int ButtonCount() const;
  TToolButton* Buttons(int Index) const;
  // The captions of the buttons shown.
  std::vector<TPaintedText> PaintedTexts() const override;

protected:
  friend class TToolButton;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void FontChanged() override;
  // Makes the window's buttons match the tool buttons again.
  void ButtonsChanged();

private:
  void SetButtonSize(int AWidth, int AHeight);
  void ReadButtonBounds();

  int ButtonWidth_ = 23;
  int ButtonHeight_ = 22;
  bool Rebuilding_ = false;
};
