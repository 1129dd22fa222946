// gui/ layer 4 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 control families (standard, extended, buttons, common controls, grids, tool
// bars, page controls); 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Standard controls. Buttons, check boxes, radio buttons, edits, memos and
// combo boxes are superclasses of the system's BUTTON, EDIT and COMBOBOX; labels
// and group boxes are painted by the library.
#pragma once

#include <string>
#include <vector>

#include "classes/strings.h"
#include "gui/controls.h"
#include "gui/dialogs.h"

// Makes the standard controls known to the form reader (RegisterGuiClasses does).
void RegisterStdCtrlsClasses();

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// Index, item rectangle, ODS_ state: an owner-drawn item to paint.
using TDrawItemEvent = TEvent<TObject*, int, RECT, UINT>;
using TMeasureItemEvent = TEvent<TObject*, int, int&>;

// A control over the system BUTTON class; it reports its own clicks (BN_CLICKED).
class TButtonControl : public TWinControl {
  DECLARE_CLASS(TButtonControl)
public:
  explicit TButtonControl(TComponent* Owner);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  bool ClicksOnMouseUp() const override { return false; }
  // The button was clicked (BN_CLICKED).
  virtual void Clicked() { Click(); }
};

// A push button. With ModalResult set, a click ends its form's ShowModal with it.
class TButton : public TButtonControl {
  DECLARE_CLASS(TButton)
public:
  explicit TButton(TComponent* Owner);
  // Return on the form presses the default button; Escape the cancel button.
  bool Default() const { return Default_; }
  void SetDefault(bool Value);
  bool Cancel() const { return Cancel_; }
  void SetCancel(bool Value) { Cancel_ = Value; }
  TModalResult ModalResult() const { return ModalResult_; }
  void SetModalResult(TModalResult Value) { ModalResult_ = Value; }
  void Click() override;
  bool WantsDialogKey(WORD Key) const override;

protected:
  void CreateParams(TCreateParams& Params) override;
  // The BS_ type of the button.
  virtual DWORD ButtonStyle() const { return Default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }

private:
  bool Default_ = false;
  bool Cancel_ = false;
  TModalResult ModalResult_ = mrNone;
};

// A check box: unchecked, checked or (with AllowGrayed) grayed. OnClick runs
// whenever the state changes, by a click or by code.
class TCheckBox : public TButtonControl {
  DECLARE_CLASS(TCheckBox)
public:
  explicit TCheckBox(TComponent* Owner);
  bool Checked() const { return State_ == cbChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return State_; }
  void SetState(TCheckBoxState Value);
  bool AllowGrayed() const { return AllowGrayed_; }
  void SetAllowGrayed(bool Value) { AllowGrayed_ = Value; }
  // taRightJustify: the text to the right of the box.
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Clicked() override;

private:
  TCheckBoxState State_ = cbUnchecked;
  bool AllowGrayed_ = false;
  TAlignment Alignment_ = taRightJustify;
};

// A radio button: checking one unchecks the other radio buttons of its parent.
// OnClick runs when it becomes checked, by a click or by code.
class TRadioButton : public TButtonControl {
  DECLARE_CLASS(TRadioButton)
public:
  explicit TRadioButton(TComponent* Owner);
  bool Checked() const { return Checked_; }
  void SetChecked(bool Value);
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Clicked() override { SetChecked(true); }

private:
  bool Checked_ = false;
  TAlignment Alignment_ = taRightJustify;
};

// What single-line edits and memos share, over the system EDIT class.
class TCustomEdit : public TWinControl {
  DECLARE_CLASS(TCustomEdit)
public:
  explicit TCustomEdit(TComponent* Owner);
  bool ReadOnly() const { return ReadOnly_; }
  void SetReadOnly(bool Value);
  // The most characters the user may type; 0: no limit.
  int MaxLength() const { return MaxLength_; }
  void SetMaxLength(int Value);
  TBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  char PasswordChar() const { return PasswordChar_; }
  void SetPasswordChar(char Value);
  // Select the whole text when the edit gets the focus by keyboard.
  bool AutoSelect() const { return AutoSelect_; }
  void SetAutoSelect(bool Value) { AutoSelect_ = Value; }
  // Whether the user changed the text since it was last set.
  bool Modified() const;
  void SetModified(bool Value);
  int SelStart() const;
  void SetSelStart(int Value);
  int SelLength() const;
  void SetSelLength(int Value);
  std::string SelText() const;
  void SetSelText(const std::string& Value);
  void SelectAll();
  void Clear() { SetText(""); }

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  // The window is made empty and given its text once it has its font: an edit lays
  // its text out again for every size and font it gets while it is made.
  void CreateWindowHandle(const TCreateParams& Params) override;
  void CreateWnd() override;
  void SaveWindowState() override;
  void WndProc(TMessage& Message) override;
  void TextChanged() override;
  bool TextEditedInPlace() const override { return true; }
  // A single-line edit with AutoSize keeps the height of one line of its font.
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  virtual void Change() { OnChange(this); }
  virtual bool MultiLine() const { return false; }

private:
  bool ReadOnly_ = false;
  int MaxLength_ = 0;
  TBorderStyle BorderStyle_ = bsSingle;
  char PasswordChar_ = 0;
  bool AutoSelect_ = true;
  bool Modified_ = false;
  int SelStart_ = 0;
  int SelLength_ = 0;
  bool Filling_ = false;  // the new window gets its text: not a change
};

// A single-line edit box, of fixed height by default (AutoSize).
class TEdit : public TCustomEdit {
  DECLARE_CLASS(TEdit)
public:
  explicit TEdit(TComponent* Owner);
};

class TMemo;

// The lines of a memo: the memo's text split at its line breaks, each line
// exactly as stored (trailing blanks, empty lines). Soft breaks of word-wrapped
// lines are not line breaks.
class TMemoStrings : public TStrings {
public:
  explicit TMemoStrings(TMemo& Memo) : Memo_(Memo) {}
  int Count() const override;
  std::string Get(int Index) const override;
  void Put(int Index, const std::string& S) override;
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;

protected:
  void SetUpdateState(bool Updating) override;

private:
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& Lines);
  TMemo& Memo_;
};

// A multi-line edit box. Its text is its lines, each followed by a line break.
class TMemo : public TCustomEdit {
  DECLARE_CLASS(TMemo)
public:
  explicit TMemo(TComponent* Owner);
  TStrings* Lines() const { return const_cast<TMemoStrings*>(&Lines_); }
  void SetLines(TStrings* Value) { Lines_.Assign(Value); }
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment Value);
  TScrollStyle ScrollBars() const { return ScrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  bool WordWrap() const { return WordWrap_; }
  void SetWordWrap(bool Value);
  // Whether Return types a line break (else it goes to the form's default button).
  bool WantReturns() const { return WantReturns_; }
  void SetWantReturns(bool Value) { WantReturns_ = Value; }
  bool WantTabs() const { return WantTabs_; }
  void SetWantTabs(bool Value) { WantTabs_ = Value; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  bool MultiLine() const override { return true; }
  bool CanAutoSize(int&, int&) override { return false; }

private:
  TMemoStrings Lines_;
  TAlignment Alignment_ = taLeftJustify;
  TScrollStyle ScrollBars_ = ssNone;
  bool WordWrap_ = true;
  bool WantReturns_ = true;
  bool WantTabs_ = false;
};

class TComboBox;

// The items of a combo box, kept by the control and given to its window.
class TComboBoxStrings : public TStrings {
public:
  explicit TComboBoxStrings(TComboBox& Combo) : Combo_(Combo) {}
  int Count() const override { return static_cast<int>(Items_.size()); }
  std::string Get(int Index) const override;
  void Insert(int Index, const std::string& S) override;
  int Add(const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int IndexOf(const std::string& S) const override;

protected:
  void SetUpdateState(bool Updating) override;

private:
  friend class TComboBox;
  TComboBox& Combo_;
  std::vector<std::string> Items_;
};

// A combo box: an edit with a drop-down list (csDropDown), an always open list
// (csSimple), or a drop-down list alone (csDropDownList). OnChange runs when the
// user types and when the selection changes; then Text is the new text. Its
// height follows its font; Height is the closed box's.
class TComboBox : public TWinControl {
  DECLARE_CLASS(TComboBox)
public:
  explicit TComboBox(TComponent* Owner);
  TComboBoxStyle Style() const { return Style_; }
  void SetStyle(TComboBoxStyle Value);
  TStrings* Items() const { return const_cast<TComboBoxStrings*>(&Items_); }
  void SetItems(TStrings* Value) { Items_.Assign(Value); }
  // The selected item, -1 for none.
  int ItemIndex() const;
  void SetItemIndex(int Value);
  bool Sorted() const { return Sorted_; }
  void SetSorted(bool Value);
  int DropDownCount() const { return DropDownCount_; }
  void SetDropDownCount(int Value);
  int MaxLength() const { return MaxLength_; }
  void SetMaxLength(int Value);
  // The height of a list item.
  int ItemHeight() const;
  void SetItemHeight(int Value);
  bool DroppedDown() const;
  void SetDroppedDown(bool Value);
  bool Focused() const;
  bool HandlesDialogKey(WORD Key) const override;
  // The owner-drawn styles paint items here during OnDrawItem.
  TCanvas& Canvas() { return Canvas_; }

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void Loaded() override;

protected:
  friend class TComboBoxStrings;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void SaveWindowState() override;
  void WndProc(TMessage& Message) override;
  void TextChanged() override;
  // Typed into, or chosen from the list.
  bool TextEditedInPlace() const override { return true; }
  void SetWindowBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  bool ClicksOnMouseUp() const override { return false; }
  virtual void Change() { OnChange(this); }
  virtual void DrawItem(int Index, const RECT& Rect, UINT State);

private:
  int DropDownHeight() const;

  TComboBoxStrings Items_;
  TComboBoxStyle Style_ = csDropDown;
  int ItemIndex_ = -1;
  int ItemIndexWanted_ = -2;  // ItemIndex read with the form, applied once the items are there
  bool Sorted_ = false;
  int DropDownCount_ = 8;
  int MaxLength_ = 0;
  int ItemHeight_ = 16;
  TControlCanvas Canvas_;
};

// Text painted on the parent. With AutoSize (the default) it takes the size of
// its text; with WordWrap the text breaks into lines at the label's width.
class TLabel : public TGraphicControl {
  DECLARE_CLASS(TLabel)
public:
  explicit TLabel(TComponent* Owner);
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return Layout_; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return WordWrap_; }
  void SetWordWrap(bool Value);
  // Without Transparent the label paints its colour behind the text.
  bool Transparent() const { return Transparent_; }
  void SetTransparent(bool Value);
  // With ShowAccelChar an "&" underlines the next character.
  bool ShowAccelChar() const { return ShowAccelChar_; }
  void SetShowAccelChar(bool Value);
  // The control that gets the focus when the label's accelerator is used.
  TWinControl* FocusControl() const { return FocusControl_; }
  void SetFocusControl(TWinControl* Value) { FocusControl_ = Value; }
  // The caption as it reads: with ShowAccelChar, without the accelerator's "&".
  std::string AccessibleText() const override;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;
  void AdjustSize() override;

private:
  UINT TextFormat() const;
  std::string MeasuredText() const;

  TAlignment Alignment_ = taLeftJustify;
  TTextLayout Layout_ = tlTop;
  bool WordWrap_ = false;
  bool Transparent_ = false;
  bool ShowAccelChar_ = true;
  TWinControl* FocusControl_ = nullptr;  // not owned
};

// A frame with a caption around a group of controls.
class TGroupBox : public TCustomControl {
  DECLARE_CLASS(TGroupBox)
public:
  explicit TGroupBox(TComponent* Owner);
  void AdjustClientRect(RECT& Rect) const override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
};

const TEnumInfo& TextLayoutNames();
const TEnumInfo& ScrollStyleNames();
const TEnumInfo& ComboBoxStyleNames();
const TEnumInfo& CheckBoxStateNames();
