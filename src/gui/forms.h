// gui/ layer 5 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Forms (top-level windows built from their form resource) and the screen.
//
// A form class names its published fields (the components it refers to by
// name) and methods (the handlers its resource names), and reads its resource at
// the end of its constructor:
//
//   class TiiForm1 : public TForm {
//     DECLARE_CLASS(TiiForm1)
//   public:
//     explicit TiiForm1(TComponent* Owner) : TForm(Owner) { InitializeForm(); }
//     TButton* Button3 = nullptr;
//     void Button3Click(TObject* Sender);
//   };
//
//   BEGIN_CLASS_INFO(TiiForm1, TForm, nullptr)
//     P.Field("Button3", &TiiForm1::Button3);
//     P.Method("Button3Click", &TiiForm1::Button3Click);
//   END_CLASS_INFO
//
// InitializeForm reads the RCDATA resource named after the class (TIIFORM1) in
// the executable: "TIIFORM1 RCDATA "forms/Uinstbrisko.txt"" in a .rc file. It
// cannot be done by TForm's own constructor: there the object is not yet a
// TiiForm1, and its fields would be reset after reading. The classes the
// resource names must be registered first (guiclasses.h).
//
// What a component read with a form may rely on (the translation and layout
// components do):
// - It is made while the form is read, owned by the form, before OnCreate; its
//   Loaded runs once the whole form is read, and the form's named controls are
//   its owner's components (FindComponent), their properties reached by name
//   through the property tables (classes/typinfo.h).
// - It may put itself in front of the form's window procedure at once (a
//   TWindowHook on Handle(), winhook.h): the window is made then, but nothing
//   is sent to it before the creation handler has run.
// - It may chain into the form's events (OnShow, OnActivate, ...): keep the
//   handler it replaces and call it from its own.
// - Screen->Forms lists every form of the program, to act on all of them.
// - An exception in anything it hooks goes to the exception sink
//   (exceptionsink.h), never into user32.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "classes/strings.h"
#include "gui/controls.h"
#include "gui/dialogs.h"

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TScrollBarKind { sbHorizontal, sbVertical };

const TEnumInfo& FormBorderStyleNames();

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

// Where a form's resource is looked up: the executable unless set (a module
// loaded as a data file, for instance).
void SetFormResourceModule(HMODULE Module);
HMODULE FormResourceModule();

class TForm;

// What forms need of the program that runs them: the main form, the message
// loop (for ShowModal), ending the program, help. The application lies above
// forms in the library's order; it installs itself here, and forms reach it only
// through this.
class TFormRunner {
public:
  virtual TForm* MainForm() const = 0;
  // Handles one message, waiting for one if there is none.
  virtual void HandleMessage() = 0;
  virtual void Terminate() = 0;
  virtual bool Terminated() const = 0;
  // Help on the topic Context (F1 on a form or a control).
  virtual bool HelpContext(int Context) = 0;
  // A form is going; it can no longer be the main form.
  virtual void FormDestroyed(TForm* Form) = 0;

protected:
  ~TFormRunner() = default;
};

// Installs Runner (null: none) and returns the one it replaces. Without one,
// forms have no main form and ShowModal raises EInvalidOperation.
TFormRunner* SetFormRunner(TFormRunner* Runner);
TFormRunner* FormRunner();

// One of a form's scroll bars. It shows when Visible and the form's content (its
// Range, or with AutoScroll the extent of its controls) exceeds the client area.
class TControlScrollBar : public TPersistent {
  DECLARE_CLASS(TControlScrollBar)
public:
  TControlScrollBar(TForm& Form, TScrollBarKind Kind) : Form_(Form), Kind_(Kind) {}
  TScrollBarKind Kind() const { return Kind_; }
  bool Visible() const { return Visible_; }
  void SetVisible(bool Value);
  int Range() const { return Range_; }
  void SetRange(int Value);
  int Position() const { return Position_; }
  void SetPosition(int Value);
  int Increment() const { return Increment_; }
  void SetIncrement(int Value) { Increment_ = Value > 0 ? Value : 1; }
  bool Tracking() const { return Tracking_; }
  void SetTracking(bool Value) { Tracking_ = Value; }
  // Whether the bar is shown now.
  bool IsScrollBarVisible() const;
  void Assign(const TPersistent* Source) override;

private:
  friend class TForm;
  void Update();
  void ScrollMessage(WPARAM W);
  int ControlExtent() const;
  int ClientExtent() const;

  TForm& Form_;
  TScrollBarKind Kind_;
  bool Visible_ = true;
  int Range_ = 0;
  int Position_ = 0;
  int Increment_ = 8;
  bool Tracking_ = false;
  bool Shown_ = false;
};

class TForm : public TCustomControl, public TControlHost {
  DECLARE_CLASS(TForm)
public:
  // An empty, hidden form; see InitializeForm for one with a resource.
  explicit TForm(TComponent* Owner);
  ~TForm() override;

  // Reads the RCDATA resource named after the form's class, then runs OnCreate.
  // A missing resource raises EResNotFound; a damaged one EReadError.
  void InitializeForm();
  // The same from a form text.
  void InitializeForm(std::string_view FormText);

  TFormBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return BorderIcons_; }
  void SetBorderIcons(TBorderIcons Value);
  TPosition Position() const { return Position_; }
  void SetPosition(TPosition Value) { Position_ = Value; }
  // The state the form is in (or will be shown in).
  TWindowState WindowState() const { return WindowState_; }
  void SetWindowState(TWindowState Value);
  TFormStyle FormStyle() const { return FormStyle_; }
  void SetFormStyle(TFormStyle Value);
  // With Scaled, a form made at another PixelsPerInch is scaled to the screen's when read.
  bool Scaled() const { return Scaled_; }
  void SetScaled(bool Value) { Scaled_ = Value; }
  int PixelsPerInch() const { return PixelsPerInch_; }
  void SetPixelsPerInch(int Value);
  TControlScrollBar* HorzScrollBar() const { return const_cast<TControlScrollBar*>(&HorzScrollBar_); }
  TControlScrollBar* VertScrollBar() const { return const_cast<TControlScrollBar*>(&VertScrollBar_); }
  bool AutoScroll() const { return AutoScroll_; }
  void SetAutoScroll(bool Value);

  // The control that has (or gets, when the form is activated) the focus.
  TWinControl* ActiveControl() const { return ActiveControl_; }
  void SetActiveControl(TWinControl* Control) override;
  bool Active() const { return Active_; }
  TModalResult ModalResult() const { return ModalResult_; }
  // In a modal form, a value other than mrNone ends ShowModal with it.
  void SetModalResult(TModalResult Value) override { ModalResult_ = Value; }
  // The MDI client window of an fsMDIForm.
  HWND ClientHandle() const { return ClientHandle_; }

  // Shows the form and brings it to the front.
  void Show();
  // Shows the form with every other window of the program disabled and runs
  // messages until ModalResult is set or the form is closed; returns ModalResult.
  int ShowModal();
  // OnCloseQuery, then OnClose; the main form ends the application, another form
  // is hidden (or what OnClose's action says). A modal form ends with mrCancel.
  void Close();
  bool CloseQuery();
  // Frees the form once the messages being handled are done.
  void Release();
  void SetFocus() override;
  void BringToFront();

  // Tab, arrow, Return and Escape keys of a message for this form's controls;
  // true when the form acted on it (the message is then not dispatched).
  bool DialogKey(const MSG& Msg);
  // A control of the form got the focus.
  void FocusChanged(TWinControl* Control) override;
  // A control leaves the form: it can no longer be the active control.
  void ControlRemoved(TControl* Control) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void Loaded() override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void ChangeScale(int M, int D) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void VisibleChanged() override;
  void Paint() override { OnPaint(this); }
  void AlignControls(TControl* Control, RECT& Rect) override;
  void Resize() override;
  virtual void DoCreate() { OnCreate(this); }
  virtual void DoShow() { OnShow(this); }
  virtual void DoHide() { OnHide(this); }
  virtual void DoClose(TCloseAction& Action) { OnClose(this, Action); }
  virtual void Activate() { OnActivate(this); }
  virtual void Deactivate() { OnDeactivate(this); }

private:
  friend class TControlScrollBar;
  void ReadForm(std::string_view Text);
  void ShowWindowNow();
  void HideWindowNow();
  void PlaceForShow();
  void CloseModal();
  void RestoreFocus();
  void UpdateStyle();
  void UpdateScrollBars();
  void HelpRequest(const HELPINFO* Info);

  TFormBorderStyle BorderStyle_ = bsSizeable;
  TBorderIcons BorderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition Position_ = poDesigned;
  TWindowState WindowState_ = wsNormal;
  TFormStyle FormStyle_ = fsNormal;
  bool Scaled_ = true;
  int PixelsPerInch_;
  bool AutoScroll_ = true;
  TControlScrollBar HorzScrollBar_;
  TControlScrollBar VertScrollBar_;
  TWinControl* ActiveControl_ = nullptr;  // not owned
  bool Active_ = false;
  bool Modal_ = false;
  TModalResult ModalResult_ = mrNone;
  HWND ClientHandle_ = nullptr;
  int WantedClientWidth_ = -1;  // ClientWidth/ClientHeight read with the form
  int WantedClientHeight_ = -1;
  bool UpdatingScrollBars_ = false;
};

INSTBRISKO_EXCEPTION(EResNotFound, Exception);

// The form a control is on (its topmost parent, when that is a form), or null.
TForm* GetParentForm(const TControl* Control);

// The screen: its size and density, the program's forms, the mouse cursor shown
// over all of them, and the installed screen fonts.
class TScreen : public TComponent {
  DECLARE_CLASS(TScreen)
public:
  explicit TScreen(TComponent* Owner);
  ~TScreen() override;

  int Width() const;
  int Height() const;
  int PixelsPerInch() const;
  // The screen less the task bar.
  RECT WorkAreaRect() const;

  // A cursor other than crDefault is shown at once over every window of the
  // program and kept while set.
  TCursor Cursor() const { return GlobalCursor(); }
  void SetCursor(TCursor Value);
  HCURSOR Cursors(TCursor Value) const { return CursorHandle(Value); }

  // The names of the installed screen fonts, sorted, each once.
  const TStrings& Fonts();
  // Reads the fonts again at the next Fonts() (after installing one).
  void ResetFonts();
  // Where the font names come from; the default enumerates the screen's fonts.
  // Returns the lister it replaces (an empty one for the default).
  using TFontLister = std::function<std::vector<std::string>()>;
  TFontLister SetFontLister(TFontLister Lister);

  int FormCount() const { return static_cast<int>(Forms_.size()); }
  TForm* Forms(int Index) const;
  TForm* ActiveForm() const { return ActiveForm_; }
  TWinControl* ActiveControl() const;

  // Forms report themselves here: made, activated, their window gone, destroyed.
  void AddForm(TForm* Form);
  void FormActivated(TForm* Form);
  void FormWindowDestroyed(TForm* Form);
  void RemoveForm(TForm* Form);

private:
  TStringList Fonts_;
  bool FontsRead_ = false;
  TFontLister FontLister_;
  std::vector<TForm*> Forms_;  // not owned
  TForm* ActiveForm_ = nullptr;
};

extern TScreen* Screen;
