#include "gui/application.h"

#include <commctrl.h>

#include <exception>

#include "classes/sysutils.h"
#include "gui/dialogs.h"
#include "gui/guiclasses.h"
#include "gui/exceptionsink.h"
#include "gui/thread.h"

TApplication* Application = nullptr;

namespace {
// The application exists from start-up on. It is never destroyed by static
// destruction: by then much of the program is gone; Run destroys the forms
// while everything is still whole.
struct TGlobals {
  TGlobals() { Application = new TApplication(nullptr); }
} Globals;
}  // namespace

BEGIN_CLASS_INFO(TApplication, TComponent, nullptr)
END_CLASS_INFO

// The control classes are registered when a form is read or the application
// initialised, not here: this runs during static initialisation, before other
// units' class tables may be ready.
TApplication::TApplication(TComponent* Owner) : TComponent(Owner) {
  if (Application) return;
  PreviousSink_ = SetExceptionSink(&HandleInApplication);
  PreviousRunner_ = SetFormRunner(this);
}

TApplication::~TApplication() {
  // The forms go first; they may still want the application while they do.
  DestroyComponents();
  if (Application == this) {
    Application = nullptr;
    SetExceptionSink(PreviousSink_);
    SetFormRunner(PreviousRunner_);
  }
}

void TApplication::HandleInApplication(TObject* Sender) {
  if (Application) Application->HandleException(Sender);
}

void TApplication::Initialize() {
  if (!Ole_) Ole_.emplace();
  InitMainThread();
  RegisterGuiClasses();
  InitCommonControl(ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES);
}

void TApplication::FormCreated(TForm* Form) {
  if (!MainForm_) MainForm_ = Form;
}

void TApplication::FormDestroyed(TForm* Form) {
  if (MainForm_ == Form) MainForm_ = nullptr;
}

void TApplication::Run() {
  InitMainThread();
  // Run may be called again (tests do); what was terminated is over.
  TScopeGuard Over([this] { Terminated_ = false; });
  if (!MainForm_) return;
  if (ShowMainForm) MainForm_->Show();
  while (!Terminated_) HandleMessage();
  DestroyComponents();
}

bool TApplication::ProcessMessage() {
  MSG Msg;
  if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    Terminated_ = true;
    ExitCode_ = static_cast<int>(Msg.wParam);
    return true;
  }
  try {
    if (!IsDialogKeyMessage(Msg) && !IsMDIMessage(Msg)) {
      TranslateMessage(&Msg);
      DispatchMessageA(&Msg);
    }
  } catch (...) {
    HandleException(TWinControl::FindControl(Msg.hwnd));
  }
  FreeDeviceContexts();
  return true;
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::HandleMessage() {
  if (ProcessMessage()) return;
  FreeDeviceContexts();
  CheckSynchronize();
  WaitMessage();
}

bool TApplication::IsDialogKeyMessage(MSG& Msg) {
  if (Msg.message != WM_KEYDOWN) return false;
  TWinControl* Control = TWinControl::FindControl(Msg.hwnd);
  TForm* Form = Control ? GetParentForm(Control) : nullptr;
  return Form && Form->DialogKey(Msg);
}

bool TApplication::IsMDIMessage(MSG& Msg) {
  if (!MainForm_ || !MainForm_->ClientHandle()) return false;
  return TranslateMDISysAccel(MainForm_->ClientHandle(), &Msg) != 0;
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr Current = std::current_exception();
  if (!Current) return;
  std::string Text;
  try {
    try {
      std::rethrow_exception(Current);
    } catch (const Exception& E) {
      if (OnException) {
        OnException(Sender, E);
        return;
      }
      Text = E.Message();
    } catch (const std::exception& E) {
      if (OnException) {
        OnException(Sender, Exception(E.what()));
        return;
      }
      Text = E.what();
    } catch (...) {
      Text = "Unknown exception";
    }
  } catch (...) {
    // A handler that fails itself: nothing more can be done about it here.
    return;
  }
  ShowException(Text);
}

void TApplication::ShowException(const std::string& Message) {
  try {
    MessageDlg(Message, mtError, {mbOK}, 0);
  } catch (...) {
  }
}

bool TApplication::HelpContext(int Context) { return HelpCommand(HELP_CONTEXT, Context); }

bool TApplication::HelpCommand(unsigned Command, intptr_t Data) {
  bool CallHelp = true;
  bool Result = false;
  if (OnHelp) Result = OnHelp(Command, Data, CallHelp);
  if (CallHelp && !HelpFile_.empty()) {
    HWND Owner = MainForm_ && MainForm_->HandleAllocated() ? MainForm_->Handle() : nullptr;
    Result = WinHelpA(Owner, HelpFile_.c_str(), Command, static_cast<ULONG_PTR>(Data)) != 0;
  }
  return Result;
}

std::string TApplication::Title() const {
  if (TitleSet_) return Title_;
  return ChangeFileExt(ExtractFileName(ExeName()), "");
}

void TApplication::SetTitle(const std::string& Value) {
  Title_ = Value;
  TitleSet_ = true;
  SetApplicationTitle(Value);
}

std::string TApplication::ExeName() const { return ExecutablePath(); }
