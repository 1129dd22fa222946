// The wizard's seven forms in the test process, read from the resources of the
// built instbrisko.exe, and what the tests need to drive them: pressing buttons,
// answering the modal exit confirmation, and seeing which pages are visible.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "classes/formstream.h"
#include "elastic/ElastFrm.h"
#include "gui/application.h"
#include "gui/extctrls.h"
#include "setup/UinstAskNewDir.h"
#include "setup/UinstallDIR.h"
#include "setup/Uinstbrisko.h"
#include "setup/Uinstbrisko_uninstall.h"
#include "setup/wizard.h"
#include "setup/Uinstbrisko2.h"
#include "setup/Uinstbrisko3.h"
#include "setup/instbrisko_forms.h"
#include "setup/uinstbrisko5.h"
#include "setup/uinstbrisko6.h"
#include "support/host_paths.h"
#include "support/message_pump.h"
#include "support/window_text.h"

namespace wizardtest {

// dist\instbrisko.exe as the build put it there, loaded for its resources only.
class TFormResources {
public:
  TFormResources() {
    const std::string Path = testsupport::HostFolder(DIST_DIR) + "instbrisko.exe";
    Module_ = LoadLibraryExA(Path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!Module_) ADD_FAILURE() << Path << " cannot be loaded: build instbrisko first";
    SetFormResourceModule(Module_);
  }
  ~TFormResources() {
    SetFormResourceModule(nullptr);
    if (Module_) FreeLibrary(Module_);
  }
  TFormResources(const TFormResources&) = delete;
  TFormResources& operator=(const TFormResources&) = delete;
  bool Loaded() const { return Module_ != nullptr; }

private:
  HMODULE Module_ = nullptr;
};

// The seven forms as CreateWizardForms makes them (or as Create does); destroyed with
// the application's forms at the end, as the program's end does.
class TWizardForms {
public:
  explicit TWizardForms(void (*Create)() = CreateWizardForms) {
    Application->Initialize();
    LanguageCode.clear();
    if (Resources_.Loaded()) Create();
  }
  ~TWizardForms() {
    // Run ends at once when the program was asked to end, and frees the forms.
    Application->ShowMainForm = false;
    Application->Terminate();
    Application->Run();
    Application->ShowMainForm = true;
    iiForm1 = nullptr;
    iiForm2 = nullptr;
    iiForm3 = nullptr;
    iiForm5 = nullptr;
    iiForm6 = nullptr;
    iForm10 = nullptr;
    iForm11 = nullptr;
  }
  TWizardForms(const TWizardForms&) = delete;
  TWizardForms& operator=(const TWizardForms&) = delete;
  bool Created() const { return iForm10 != nullptr; }

  static std::vector<TForm*> All() { return {iiForm1, iiForm2, iiForm3, iiForm5, iiForm6, iForm11, iForm10}; }

private:
  TFormResources Resources_;
};

// The form text a class's resource holds.
inline std::string ResourceText(const TForm& F) {
  HMODULE Module = FormResourceModule();
  const std::string Name = UpperCase(F.ClassName());
  HRSRC R = FindResourceA(Module, Name.c_str(), RT_RCDATA);
  if (!R) return std::string();
  const char* Data = static_cast<const char*>(LockResource(LoadResource(Module, R)));
  return std::string(Data, SizeofResource(Module, R));
}

inline const TFormNode* FindNode(const TFormNode& Node, const std::string& Name) {
  if (Node.Name == Name) return &Node;
  for (const TFormNode& C : Node.Children)
    if (const TFormNode* Found = FindNode(C, Name)) return Found;
  return nullptr;
}

inline std::map<std::string, TFormValue> Props(const TFormNode& Node) {
  std::map<std::string, TFormValue> M;
  for (const auto& P : Node.Props) M[P.Name] = P.Value;
  return M;
}

inline std::string PageName(const TForm* F) {
  if (F == iiForm1) return "welcome";
  if (F == iiForm2) return "exit confirmation";
  if (F == iiForm3) return "language";
  if (F == iiForm5) return "shortcuts";
  if (F == iiForm6) return "finish";
  return F->Name();
}

// The wizard's pages now visible, in creation order.
inline std::vector<std::string> VisiblePages() {
  std::vector<std::string> Pages;
  for (TForm* F : TWizardForms::All())
    if (F->Visible()) Pages.push_back(PageName(F));
  return Pages;
}

inline void HandlePendingMessages() { testsupport::PumpPending(); }

using testsupport::WindowText;

// Presses a button as a click does and lets what follows happen.
inline void Press(TButtonControl* Button) {
  SendMessageA(Button->Handle(), BM_CLICK, 0, 0);
  HandlePendingMessages();
}

// Runs Action once the exit confirmation is up (it runs its own message loop);
// records which pages were visible then.
class TWhenConfirming {
public:
  explicit TWhenConfirming(std::function<void()> Action) : Action_(std::move(Action)) {
    Timer_.SetInterval(20);
    Timer_.OnTimer = TNotifyEvent([this](TObject*) {
      if (!iiForm2->Visible() || Done_) return;
      Done_ = true;
      Timer_.SetEnabled(false);
      PagesSeen = VisiblePages();
      Action_();
    });
  }
  bool Done() const { return Done_; }
  std::vector<std::string> PagesSeen;

private:
  std::function<void()> Action_;
  TTimer Timer_{nullptr};
  bool Done_ = false;
};

}  // namespace wizardtest
