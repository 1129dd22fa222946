// gui/ layer 3 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 control families (standard, extended, buttons, common controls, grids, tool
// bars, page controls); 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Controls: the visual components of a form.
//
//   TControl         bounds, visibility, text, font, colour, alignment, mouse events
//   TWinControl      a control with a window of its own: owns its HWND, its child
//                    controls, their tab order, and dispatches its messages
//   TGraphicControl  a control without a window, painted by its parent (labels, images)
//   TCustomControl   a window of our own class that paints itself (panels, forms)
//
// One class, TWinControl, in several source files by concept:
//   controls.cpp           TControl, cursors, shift states, the control host
//   controls_window.cpp    window classes, making and binding the window, child controls
//   controls_dispatch.cpp  WndProc: reflection, mouse, keys, cursor
//   controls_focus.cpp     tab order and focus
//   controls_align.cpp     bounds, alignment of children, scrolling
//   controls_paint.cpp     canvases, painting, TGraphicControl and TCustomControl
//   controls_accessible.cpp  what assistive technology reads of graphic controls
//
// The window procedure. Every window of the library has one static procedure that
// finds its object from the HWND (a window property, bound at the first message
// of CreateWindowEx) and calls the object's virtual WndProc. What WndProc does not
// handle goes to the class's own procedure: DefWindowProcA for our classes, the
// system procedure for superclassed system controls (BUTTON, EDIT, COMBOBOX and
// comctl32's). Notifications a parent gets about a child (WM_COMMAND, WM_NOTIFY,
// WM_CTLCOLOR*, WM_DRAWITEM, ...) are reflected to the child as CN_ messages. No
// exception ever unwinds into user32: the procedure hands it to the exception
// sink (exceptionsink.h), which the application fills.
// Someone else's procedure may sit in front of ours (see winhook.h); nothing here
// relies on GWLP_WNDPROC being ours.
//
// Adding a control over another system or comctl32 class: derive from
// TWinControl, call CreateSubClass(Params, WC_...) in CreateParams, bring the
// object's state to the new window in CreateWnd (after TWinControl::CreateWnd)
// and keep what the window holds in SaveWindowState, and handle the reflected
// CN_COMMAND / CN_NOTIFY in WndProc. InitCommonControl registers comctl32's
// classes. Register the class for form resources in its family's
// Register...Classes function (see guiclasses.h).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classes/components.h"
#include "classes/sets.h"
#include "classes/typinfo.h"
#include "gui/dialogs.h"
#include "gui/graphics.h"
#include "gui/messages.h"

INSTBRISKO_EXCEPTION(EInvalidOperation, Exception);

class TWinControl;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;

// A form's border; controls with a border use bsNone and bsSingle (TBorderStyle).
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

const TEnumInfo& AlignNames();
const TEnumInfo& AlignmentNames();
const TEnumInfo& BorderStyleNames();  // bsNone and bsSingle, for controls
// The keyboard's shift keys now, and the modifier bits of a mouse message.
TShiftState KeyboardShiftState();
TShiftState MouseShiftState(WPARAM Keys);

// Mouse cursors: crDefault means "whatever the window class shows".
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
const TIdentMap& CursorIdents();
// The system cursor for one of the values above (the arrow for unknown ones).
HCURSOR CursorHandle(TCursor Cursor);
// The cursor shown over every window of the program while it is not crDefault
// (TScreen::Cursor); with crDefault each control shows its own.
TCursor GlobalCursor();
void SetGlobalCursor(TCursor Cursor);

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
using TKeyEvent = TEvent<TObject*, WORD&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char&>;

// A message on its way through an object's WndProc; Result is what the window
// procedure returns.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// Registers comctl32's window classes of the given ICC_ groups (once each).
void InitCommonControl(DWORD Classes);
// Gives back the device contexts control canvases took outside painting; the
// message loop does it after every message.
void FreeDeviceContexts();

class TControl;

// The form a control is on, as the controls see it. Forms lie above controls in
// the library's order; a control reaches its form only through this, and TForm
// implements it. Only the topmost parent of a control tree can be one.
class TControlHost {
public:
  // Control, on this form, is to have the focus (the form's active control).
  virtual void SetActiveControl(TWinControl* Control) = 0;
  // The window of Control, on this form, got the focus.
  virtual void FocusChanged(TWinControl* Control) = 0;
  // Control leaves the form (it or a parent of it is removed).
  virtual void ControlRemoved(TControl* Control) = 0;
  // A button of the form with a modal result was clicked.
  virtual void SetModalResult(TModalResult Value) = 0;

protected:
  ~TControlHost() = default;
};

// The host of the control tree Control is in (its topmost parent, when that is a
// form), or null.
TControlHost* ControlHost(const TControl* Control);

// A canvas on a control: during painting the DC handed to it, otherwise the
// control's window DC (a graphic control: its parent's, moved to its place), or a
// screen-compatible DC for measuring when there is no window yet.
class TControlCanvas : public TCanvas {
public:
  explicit TControlCanvas(TControl& Control) : Control_(Control) {}
  ~TControlCanvas() override;
  void FreeHandle() override;
  // Paints on DC until EndPaint (the DC is borrowed).
  void BeginPaint(HDC DC);
  void EndPaint();
  // Runs Paint with the canvas on DC, and gives the DC back also when Paint throws.
  template <class TPaint>
  void PaintOn(HDC DC, TPaint&& Paint) {
    BeginPaint(DC);
    TScopeGuard Done([this] { EndPaint(); });
    Paint();
  }

protected:
  void CreateHandle() override;

private:
  TControl& Control_;
  // The DC the canvas took itself: a window's, or one for measuring.
  TWindowDC WindowDC_;
  TMemoryDC MemoryDC_;
};

class TControl : public TComponent {
  DECLARE_CLASS(TControl)
public:
  explicit TControl(TComponent* Owner);
  ~TControl() override;

  // Position and size in the parent's client area (a form: on the screen).
  int Left() const { return Left_; }
  int Top() const { return Top_; }
  int Width() const { return Width_; }
  int Height() const { return Height_; }
  void SetLeft(int Value) { SetBounds(Value, Top_, Width_, Height_); }
  void SetTop(int Value) { SetBounds(Left_, Value, Width_, Height_); }
  void SetWidth(int Value) { SetBounds(Left_, Top_, Value, Height_); }
  void SetHeight(int Value) { SetBounds(Left_, Top_, Width_, Value); }
  // Moves and sizes in one operation (one SetWindowPos for a window).
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  RECT BoundsRect() const { return RECT{Left_, Top_, Left_ + Width_, Top_ + Height_}; }
  void SetBoundsRect(const RECT& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }

  // The client area, at 0, 0: the window's own, or the whole control without one.
  virtual RECT ClientRect() const;
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
  void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
  virtual void SetClientSize(int AWidth, int AHeight);
  // Where the client area's top left lies on the screen.
  virtual POINT ClientOrigin() const;
  POINT ClientToScreen(POINT P) const;
  POINT ScreenToClient(POINT P) const;

  TWinControl* Parent() const { return Parent_; }
  virtual void SetParent(TWinControl* NewParent);

  bool Visible() const { return Visible_; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all its parents up to a shown window.
  virtual bool Showing() const;
  bool Enabled() const { return Enabled_; }
  virtual void SetEnabled(bool Value);

  // Caption and Text are one value: a window's text, or the control's own.
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& Value) { SetText(Value); }
  std::string Text() const { return GetText(); }
  void SetText(const std::string& Value);

  const std::string& Hint() const { return Hint_; }
  void SetHint(const std::string& Value) { Hint_ = Value; }
  bool ShowHint() const { return ShowHint_; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return ParentShowHint_; }
  void SetParentShowHint(bool Value);

  // The control's font; with ParentFont it follows the parent's. Changing the
  // font itself clears ParentFont.
  TFont* Font() const { return const_cast<TFont*>(&Font_); }
  void SetFont(TFont* Value) { Font_.Assign(Value); }
  bool ParentFont() const { return ParentFont_; }
  void SetParentFont(bool Value);

  // The background colour; with ParentColor it follows the parent's.
  TColor Color() const { return Color_; }
  void SetColor(TColor Value);
  bool ParentColor() const { return ParentColor_; }
  void SetParentColor(bool Value);

  TAlign Align() const { return Align_; }
  void SetAlign(TAlign Value);
  int HelpContext() const { return HelpContext_; }
  void SetHelpContext(int Value) { HelpContext_ = Value; }
  TCursor Cursor() const { return Cursor_; }
  void SetCursor(TCursor Value);
  // Whether the control sizes itself to its content (only some classes publish it).
  bool AutoSize() const { return AutoSize_; }
  virtual void SetAutoSize(bool Value);

  // Marks the control for repainting; Update paints what is marked now;
  // Repaint does both.
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  // Moves the control above (below) its siblings; also its place in Controls.
  void BringToFront();
  void SendToBack();

  // Runs a message through the control's WndProc (no window needed).
  LRESULT Perform(UINT Msg, WPARAM W = 0, LPARAM L = 0);
  // The control's message handling; a graphic control gets its parent's mouse
  // messages here, with coordinates in its own client area.
  virtual void WndProc(TMessage& Message);

  // What OnClick does: the user's click, or a button pressed by keyboard.
  virtual void Click();
  virtual void DblClick();
  // A Return or Escape the form did not give to the focused control: true when
  // this control acts on it (a default or cancel button).
  virtual bool WantsDialogKey(WORD Key) const { return false; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void Loaded() override;
  // Scales the bounds and an own font by M / D (a form made for another screen density).
  virtual void ChangeScale(int M, int D);

protected:
  friend class TWinControl;
  friend class TControlCanvas;

  bool IsReading() const {
    return ComponentState().Contains(csLoading) || ComponentState().Contains(csReading);
  }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }

  virtual std::string GetText() const { return Text_; }
  // Whether the text shown can change without SetText (a person types into the
  // window): SetText then compares with the window's text, not its own copy.
  virtual bool TextEditedInPlace() const { return false; }
  // The text changed (the window, if any, has it already).
  virtual void TextChanged();
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void EnabledChanged();
  virtual void VisibleChanged();
  // The parent's font, colour or hint setting changed.
  void ParentFontChanged();
  void ParentColorChanged();
  void ParentShowHintChanged();
  // The size changed (OnResize).
  virtual void Resize();
  // The size the control's content asks for; false: it does not size itself.
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight) { return false; }
  // Applies AutoSize now (not while the control is being read).
  virtual void AdjustSize();
  // Whether a mouse click on the control means OnClick (buttons report their own).
  virtual bool ClicksOnMouseUp() const { return true; }
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  // Asks the parent to align its children again when this one is aligned.
  void RequestAlign();
  // Repaints the area the control covers in its parent.
  void InvalidateControl();

  TWinControl* Parent_ = nullptr;  // not owned
  int Left_ = 0;
  int Top_ = 0;
  int Width_ = 0;
  int Height_ = 0;
  std::string Text_;
  bool Visible_ = true;
  bool Enabled_ = true;
  bool ParentFont_ = true;
  TColor Color_ = clWindow;
  bool ParentColor_ = false;
  bool AutoSize_ = false;

private:
  void OwnFontChanged();

  std::string Hint_;
  bool ShowHint_ = false;
  bool ParentShowHint_ = true;
  TFont Font_;
  bool TakingParentFont_ = false;
  bool TakingParentColor_ = false;
  TAlign Align_ = alNone;
  int HelpContext_ = 0;
  TCursor Cursor_ = crDefault;
  bool MouseClicked_ = false;
};

class TWinControl : public TControl {
  DECLARE_CLASS(TWinControl)
public:
  explicit TWinControl(TComponent* Owner);
  ~TWinControl() override;

  // The window: made on first request, with the windows of its parents.
  HWND Handle();
  void HandleNeeded() { (void)Handle(); }
  bool HandleAllocated() const { return Handle_ != nullptr; }
  // Destroys the window (and its children's); the objects keep their state and
  // make new windows when asked.
  void DestroyHandle();
  // A new window for the same object, for settings a window takes only when made.
  void RecreateWnd();
  // Makes the windows of every descendant that has none yet.
  void CreateAllHandles();
  // The object behind a window of the library, or null.
  static TWinControl* FromHandle(HWND Wnd);
  // The object behind the window or its nearest ancestor of the library.
  static TWinControl* FindControl(HWND Wnd);

  // Child controls in the order they were inserted (for a form read from its
  // resource, the resource's order); later ones lie above earlier ones.
  int ControlCount() const { return static_cast<int>(Controls_.size()); }
  TControl* Controls(int Index) const;
  void InsertControl(TControl* Control);
  void RemoveControl(TControl* Control);
  // True when Control is a descendant of this one.
  bool ContainsControl(const TControl* Control) const;
  // The topmost visible child at P (client coordinates); graphic ones only unless
  // AllowWindows.
  TControl* ControlAtPos(POINT P, bool AllowDisabled, bool AllowWindows = false) const;

  // Position among the parent's window children for keyboard navigation.
  int TabOrder() const;
  void SetTabOrder(int Value);
  bool TabStop() const { return TabStop_; }
  void SetTabStop(bool Value);
  // Every descendant window control in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& List) const;
  // The control after (before) Current in tab order that can take the focus;
  // with CheckParent only this control's own children count.
  TWinControl* FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop, bool CheckParent) const;
  // Moves the focus to FindNextControl(Current, ...).
  void SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop);
  virtual bool CanFocus() const;
  // True when the window, or a foreign child window of it (a combo box's edit), has the focus.
  bool Focused() const;
  virtual void SetFocus();
  // True when the control acts itself on this Tab, arrow, Return or Escape key
  // now, so that the form leaves the key to it (an open drop-down list takes
  // Return and Escape).
  virtual bool HandlesDialogKey(WORD Key) const { return false; }

  // While disabled (nested), children are not aligned; enabling aligns once.
  void DisableAlign() { ++AlignDisabled_; }
  void EnableAlign();
  void Realign();
  RECT ClientRect() const override;
  // The part of the client area aligned children share.
  virtual void AdjustClientRect(RECT& Rect) const {}

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // Moves every child by DeltaX, DeltaY (what scroll bars do).
  void ScrollBy(int DeltaX, int DeltaY);
  void Invalidate() override;
  void Update() override;
  // Repaints the window and all its child windows at once.
  void Repaint() override;
  POINT ClientOrigin() const override;
  bool Showing() const override;
  // The brush the background is painted with (the control's colour).
  TBrush& Brush() { return Brush_; }

  void WndProc(TMessage& Message) override;
  // The window class's own handling of a message.
  virtual void DefaultHandler(TMessage& Message);
  // Paints the graphic children that meet Area onto DC (client coordinates).
  void PaintControls(HDC DC, const RECT& Area);

  // A text the window paints itself, with no control for it (a grid's cell, a
  // tab's or a tool button's caption), and where, in client coordinates.
  struct TPaintedText {
    std::string Text;
    RECT Bounds;
  };
  // What assistive technology reads of the window beside its children, as
  // static texts; a window that lists any answers WM_GETOBJECT for them, also
  // one over a system class.
  virtual std::vector<TPaintedText> PaintedTexts() const { return {}; }

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void Loaded() override;
  void ChangeScale(int M, int D) override;

protected:
  // What CreateWindowEx gets. Classes fill it in CreateParams.
  struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;  // null for a child: the parent's window
    void* Param = nullptr;     // lpCreateParams; null: the object itself
    WNDCLASSA WindowClass{};
    std::string WinClassName;  // the class registered for this control
    std::string SystemClass;   // set by CreateSubClass
  };
  virtual void CreateParams(TCreateParams& Params);
  // Makes the window class a superclass of a system class (BUTTON, EDIT, WC_TREEVIEWA, ...).
  static void CreateSubClass(TCreateParams& Params, const char* SystemClassName);
  // Makes the window from CreateParams; derived classes bring state the window
  // does not take from CreateWindowEx to it after calling this.
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  // The window is going: keep in the object what only the window holds.
  virtual void SaveWindowState();
  // Our own window classes: paints the client area (graphic children come after).
  virtual void PaintWindow(HDC DC) {}
  // Places aligned children in Rect.
  virtual void AlignControls(TControl* Control, RECT& Rect);
  // Sends the window to its place; a combo box adds its drop-down height.
  virtual void SetWindowBounds(int ALeft, int ATop, int AWidth, int AHeight);
  // Reads the bounds back from the window.
  void UpdateBounds();
  // The window got or lost the focus (or a foreign child of it did).
  void FocusReceived();
  void FocusLost();
  virtual void DoEnter() { OnEnter(this); }
  virtual void DoExit() { OnExit(this); }
  // True for windows of our own classes (painted by the library).
  bool OwnClass() const { return OwnClass_; }
  // A child's window was made; puts it in its place in the Z order.
  void PlaceInZOrder(TWinControl* Child);

  void TextChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void EnabledChanged() override;
  void VisibleChanged() override;
  std::string GetText() const override;

  HWND Handle_ = nullptr;
  WNDPROC DefWndProc_ = nullptr;
  bool TabStop_ = false;

private:
  friend class TControl;
  static LRESULT CALLBACK StdWndProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L);
  void CreateHandle();
  void Bind(HWND Wnd);
  void Unbind();
  bool Reflect(TMessage& M, HWND Child);
  TWinControl* ChildWithID(UINT ID) const;
  bool ForwardMouseToChild(TMessage& M);
  // WM_GETOBJECT: answers for the graphic children with an accessible text and
  // for the painted texts.
  bool AnswerGetObject(TMessage& M);
  void FixupTabList();
  void PaintHandler(TMessage& M);
  void SetCursorHandler(TMessage& M);

  std::vector<TControl*> Controls_;    // not owned (the owner frees them)
  std::vector<TWinControl*> TabList_;  // window children in tab order
  int TabOrderWanted_ = -1;            // TabOrder read from a resource, applied in Loaded
  int AlignDisabled_ = 0;
  bool AlignPending_ = false;
  bool Aligning_ = false;
  bool OwnClass_ = true;
  UINT ControlID_ = 0;
  TControl* MouseCapture_ = nullptr;   // the graphic child that got the button down
  TBrush Brush_;
};

// A control without a window, painted by its parent's WM_PAINT.
//
// Having no window, it cannot be read by assistive technology on its own: its
// parent's window answers for it. A parent of our own class that holds graphic
// controls with an AccessibleText answers WM_GETOBJECT with an accessible object
// (MSAA's IAccessible) whose children are its child windows and, as static
// texts with their bounds, those graphic controls, in reading order (top to
// bottom, then left to right). A screen reader then hears a label as it hears
// a STATIC window's text.
class TGraphicControl : public TControl {
  DECLARE_CLASS(TGraphicControl)
public:
  explicit TGraphicControl(TComponent* Owner);
  ~TGraphicControl() override;
  TCanvas& Canvas() { return Canvas_; }
  // Paints onto DC, whose origin and clipping the parent has set to the control.
  void PaintTo(HDC DC);
  // The text a person reads on the control, for assistive technology; empty for
  // a control with nothing to read (a picture).
  virtual std::string AccessibleText() const { return {}; }

protected:
  virtual void Paint() {}
  void FontChanged() override;
  // Tells assistive technology that the text changed.
  void TextChanged() override;

private:
  TControlCanvas Canvas_;
};

// A window of our own class that paints itself on its canvas.
class TCustomControl : public TWinControl {
  DECLARE_CLASS(TCustomControl)
public:
  explicit TCustomControl(TComponent* Owner);
  ~TCustomControl() override;
  TCanvas& Canvas() { return Canvas_; }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  void FontChanged() override;

private:
  TControlCanvas Canvas_;
};

// --- Publishing helpers: the usual properties of a control class ------------------

template <class C>
void PublishCaption(TPublish<C>& P) {
  P.Str("Caption", &TControl::Caption, &TControl::SetCaption);
}

template <class C>
void PublishText(TPublish<C>& P) {
  P.Str("Text", &TControl::Text, &TControl::SetText);
}

template <class C>
void PublishFont(TPublish<C>& P) {
  P.template Obj<TFont>("Font", &TControl::Font, &TControl::SetFont,
                        [](const C& Control) { return !Control.ParentFont(); });
  P.Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true);
}

template <class C>
void PublishColor(TPublish<C>& P, TColor Default, bool DefaultParentColor) {
  P.Int("Color", &TControl::Color, &TControl::SetColor, Default, &ColorIdents(),
        [](const C& Control) { return !Control.ParentColor(); });
  P.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, DefaultParentColor);
}

template <class C>
void PublishTabStop(TPublish<C>& P, bool Default) {
  P.Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  P.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, Default);
}
