// gui/ layer 6 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// The application: its forms, the message loop, the default exception handling,
// help requests and the title.
//
//   int main() {
//     Application->Initialize();
//     Application->CreateForm(iiForm1);   // the first form is the main form
//     Application->CreateForm(iiForm2);
//     Application->Run();                 // shows the main form, returns when it closes
//     return Application->ExitCode();
//   }
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <new>
#include <optional>
#include <string>

#include "gui/exceptionsink.h"
#include "gui/forms.h"
#include "gui/handles.h"

class TApplication : public TComponent, public TFormRunner {
  DECLARE_CLASS(TApplication)
public:
  explicit TApplication(TComponent* Owner);
  ~TApplication() override;

  // COM (OLE) for the main thread, the main thread's synchronous-call window, the
  // common controls and the control classes of form resources. Call first thing
  // in main.
  void Initialize();

  // Makes a form owned by the application and stores it in Reference before its
  // constructor runs, so that its creation handler may already use the global.
  // The first form made is the main form; the others stay hidden until shown.
  template <class T>
  void CreateForm(T*& Reference);
  TForm* MainForm() const override { return MainForm_; }

  // Shows the main form and handles messages until the main form is closed or
  // Terminate is called. At the end the forms the application owns are
  // destroyed (while the program is still whole). Without a main form it returns
  // at once.
  void Run();
  // Handles every message waiting, then returns.
  void ProcessMessages();
  // Handles one message, waiting for one if there is none.
  void HandleMessage() override;
  // Ends Run once the message being handled is done.
  void Terminate() override { Terminated_ = true; }
  bool Terminated() const override { return Terminated_; }

  // Call from a catch block: gives the exception to OnException, or shows its
  // message in an error box; the program goes on. Never throws.
  void HandleException(TObject* Sender);
  void ShowException(const std::string& Message);

  // A help request. OnHelp sees it first; with no help file nothing else happens.
  bool HelpContext(int Context) override;
  bool HelpCommand(unsigned Command, intptr_t Data);
  const std::string& HelpFile() const { return HelpFile_; }
  void SetHelpFile(const std::string& Value) { HelpFile_ = Value; }

  // The executable's name without extension unless set; message boxes use it.
  std::string Title() const;
  void SetTitle(const std::string& Value);
  std::string ExeName() const;
  // What main returns; a WM_QUIT sets it from its parameter.
  int ExitCode() const { return ExitCode_; }
  void SetExitCode(int Value) { ExitCode_ = Value; }

  bool ShowMainForm = true;

  TEvent<TObject*, const Exception&> OnException;
  // Command (HELP_CONTEXT, ...), Data; clear CallHelp to keep the help file out.
  std::function<bool(unsigned Command, intptr_t Data, bool& CallHelp)> OnHelp;

private:
  void FormCreated(TForm* Form);
  void FormDestroyed(TForm* Form) override;
  // The exception sink the application installs: HandleException.
  static void HandleInApplication(TObject* Sender);
  bool ProcessMessage();
  bool IsDialogKeyMessage(MSG& Msg);
  bool IsMDIMessage(MSG& Msg);

  TForm* MainForm_ = nullptr;  // owned as a component
  bool Terminated_ = false;
  int ExitCode_ = 0;
  std::string Title_;
  bool TitleSet_ = false;
  std::string HelpFile_;
  std::optional<TOleInitializer> Ole_;
  TExceptionSink PreviousSink_ = nullptr;
  TFormRunner* PreviousRunner_ = nullptr;
};

extern TApplication* Application;

template <class T>
void TApplication::CreateForm(T*& Reference) {
  void* Memory = ::operator new(sizeof(T));
  Reference = static_cast<T*>(Memory);
  TScopeGuard Failed([&] {
    Reference = nullptr;
    ::operator delete(Memory);
  });
  new (Memory) T(this);
  Failed.Dismiss();
  FormCreated(Reference);
}
