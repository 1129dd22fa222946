#include "gui/dialogs.h"

#include "classes/sysutils.h"

#include <windows.h>

#include <mutex>
#include <utility>

static_assert(mrOk == IDOK && mrCancel == IDCANCEL && mrAbort == IDABORT && mrRetry == IDRETRY &&
              mrIgnore == IDIGNORE && mrYes == IDYES && mrNo == IDNO);

namespace {

std::mutex StateLock;
TDialogHandler Handler;
std::string Title;
bool TitleSet = false;

struct TLayout {
  UINT Style;
  TMsgDlgButtons Buttons;
};

// The system box's button rows, smallest first.
const TLayout Layouts[] = {
    {MB_OK, {mbOK}},
    {MB_OKCANCEL, {mbOK, mbCancel}},
    {MB_YESNO, {mbYes, mbNo}},
    {MB_RETRYCANCEL, {mbRetry, mbCancel}},
    {MB_YESNOCANCEL, {mbYes, mbNo, mbCancel}},
    {MB_ABORTRETRYIGNORE, {mbAbort, mbRetry, mbIgnore}},
};

UINT LayoutFor(TMsgDlgButtons Buttons) {
  Buttons.Exclude(mbHelp);
  for (const TLayout& L : Layouts)
    if ((Buttons.Bits() & ~L.Buttons.Bits()) == 0) return L.Style;
  throw Exception("The message box cannot show this set of buttons");
}

UINT IconFor(TMsgDlgType Type) {
  switch (Type) {
    case mtWarning: return MB_ICONWARNING;
    case mtError: return MB_ICONERROR;
    case mtInformation: return MB_ICONINFORMATION;
    case mtConfirmation: return MB_ICONQUESTION;
    default: return 0;
  }
}

std::string CaptionFor(TMsgDlgType Type) {
  switch (Type) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirm";
    default: return ApplicationTitle();
  }
}

// The box breaks lines at CR LF; our texts break them at a lone CR.
std::string WithLineBreaks(const std::string& Text) {
  std::string R;
  R.reserve(Text.size() + 8);
  for (size_t I = 0; I < Text.size(); ++I) {
    R += Text[I];
    if (Text[I] == '\r' && (I + 1 == Text.size() || Text[I + 1] != '\n')) R += '\n';
  }
  return R;
}

int Show(const TDialogRequest& Request) {
  TDialogHandler H;
  {
    std::lock_guard<std::mutex> Guard(StateLock);
    H = Handler;
  }
  if (H) return H(Request);

  UINT Style = LayoutFor(Request.Buttons) | IconFor(Request.Type) | MB_TASKMODAL | MB_SETFOREGROUND;
  if (Request.Buttons.Contains(mbHelp)) Style |= MB_HELP;
  std::string Text = WithLineBreaks(Request.Text);
  MSGBOXPARAMSA Params{};
  Params.cbSize = sizeof(Params);
  Params.hInstance = GetModuleHandleA(nullptr);
  Params.lpszText = Text.c_str();
  Params.lpszCaption = Request.Caption.c_str();
  Params.dwStyle = Style;
  Params.dwContextHelpId = static_cast<DWORD_PTR>(Request.HelpCtx);
  return MessageBoxIndirectA(&Params);
}

}  // namespace

int MessageDlg(const std::string& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons, int HelpCtx) {
  TDialogRequest R;
  R.Type = Type;
  R.Text = Msg;
  R.Caption = CaptionFor(Type);
  R.Buttons = Buttons;
  R.HelpCtx = HelpCtx;
  return Show(R);
}

void ShowMessage(const std::string& Msg) {
  TDialogRequest R;
  R.Simple = true;
  R.Text = Msg;
  R.Caption = ApplicationTitle();
  R.Buttons = {mbOK};
  Show(R);
}

std::string ApplicationTitle() {
  std::lock_guard<std::mutex> Guard(StateLock);
  if (!TitleSet) return ChangeFileExt(ExtractFileName(ExecutablePath()), "");
  return Title;
}

void SetApplicationTitle(std::string Value) {
  std::lock_guard<std::mutex> Guard(StateLock);
  Title = std::move(Value);
  TitleSet = true;
}

TDialogHandler SetDialogHandler(TDialogHandler Value) {
  std::lock_guard<std::mutex> Guard(StateLock);
  return std::exchange(Handler, std::move(Value));
}
