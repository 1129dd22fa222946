// gui/ layer 1 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Message boxes: the simple one (ShowMessage) and the message dialog (MessageDlg).
// Both use the system's own message box, task-modal, centred on the screen.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn {
  mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp
};

// A set of buttons, written as {mbYes, mbNo}.
class TMsgDlgButtons {
public:
  constexpr TMsgDlgButtons() = default;
  constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> Buttons) {
    for (TMsgDlgBtn B : Buttons) Bits_ |= Bit(B);
  }
  constexpr bool Contains(TMsgDlgBtn B) const { return (Bits_ & Bit(B)) != 0; }
  constexpr TMsgDlgButtons& Include(TMsgDlgBtn B) { Bits_ |= Bit(B); return *this; }
  constexpr TMsgDlgButtons& Exclude(TMsgDlgBtn B) { Bits_ &= ~Bit(B); return *this; }
  constexpr bool Empty() const { return Bits_ == 0; }
  constexpr uint16_t Bits() const { return Bits_; }
  friend constexpr bool operator==(TMsgDlgButtons A, TMsgDlgButtons B) { return A.Bits_ == B.Bits_; }

private:
  static constexpr uint16_t Bit(TMsgDlgBtn B) { return static_cast<uint16_t>(1u << B); }
  uint16_t Bits_ = 0;
};

// What a modal dialog answered; the first ones are the system's IDOK to IDNO.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

// Shows Msg with the icon and caption of Type ("Warning", "Error", "Information",
// "Confirm"; mtCustom: no icon, the application's title) and the buttons asked for,
// and returns the button pressed as a modal result. A carriage return in Msg starts
// a new line. The system box offers OK, OK/Cancel, Yes/No, Yes/No/Cancel,
// Abort/Retry/Ignore and Retry/Cancel, each with an optional Help: a set is shown as
// the smallest of these that holds it (empty: OK); a set none holds (any with All,
// NoToAll or YesToAll) raises Exception. HelpCtx goes with the Help button's WM_HELP.
int MessageDlg(const std::string& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons, int HelpCtx);
// The simple message box: Msg, no icon, only OK, titled with the application's title.
void ShowMessage(const std::string& Msg);

// The title of the simple box; by default the executable's file name without extension.
std::string ApplicationTitle();
void SetApplicationTitle(std::string Title);

// What a dialog is about to show, handed to a dialog handler instead.
struct TDialogRequest {
  bool Simple = false;  // ShowMessage rather than MessageDlg
  TMsgDlgType Type = mtCustom;
  std::string Text;     // as given by the caller, carriage returns unchanged
  std::string Caption;
  TMsgDlgButtons Buttons;
  int HelpCtx = 0;
};

// Answers dialogs in place of the system's message box (for tests): gets the request,
// returns the modal result. An empty handler, the default, means the real message box.
using TDialogHandler = std::function<int(const TDialogRequest&)>;
// Installs Handler for every thread and gives back the one it replaces.
TDialogHandler SetDialogHandler(TDialogHandler Handler);
