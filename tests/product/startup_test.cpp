// The program's start: the welcome page is shown and painted before the other pages
// are made, and still nothing a person does can reach a page that is not there yet.
#include <gtest/gtest.h>

#include <functional>

#include "../e2e/wizard_driver.h"
#include "../setup/wizard_support.h"

namespace {

bool NothingToPaint(HWND Wnd) {
  if (GetUpdateRect(Wnd, nullptr, FALSE)) return false;
  for (HWND C = GetWindow(Wnd, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT))
    if (!NothingToPaint(C)) return false;
  return true;
}

TEST(WizardStart, WelcomePageIsPaintedBeforeAnyMessageIsHandledAndEveryFormIsMade) {
  wizardtest::TWizardForms Forms(CreateWizardFormsWelcomeFirst);
  ASSERT_TRUE(Forms.Created());
  EXPECT_EQ(Application->MainForm(), iiForm1);
  std::vector<TComponent*> Made;
  for (int I = 0; I < Application->ComponentCount(); ++I) Made.push_back(Application->Components(I));
  const std::vector<TForm*> Expected = wizardtest::TWizardForms::All();
  EXPECT_EQ(Made, std::vector<TComponent*>(Expected.begin(), Expected.end())) << "the order of CreateWizardForms";

  EXPECT_EQ(wizardtest::VisiblePages(), std::vector<std::string>{"welcome"});
  EXPECT_TRUE(IsWindowVisible(iiForm1->Handle()));
  EXPECT_TRUE(NothingToPaint(iiForm1->Handle())) << "painted without the message loop";
  for (TForm* F : Expected) {
    if (F == iiForm1) continue;
    EXPECT_FALSE(F->HandleAllocated() && IsWindowVisible(F->Handle())) << F->Name();
  }
}

// Runs Action when the first message loop, whichever it is, comes to it.
class TPostedAction {
public:
  explicit TPostedAction(std::function<void()> Action) : Action_(std::move(Action)) {
    WNDCLASSA C{};
    C.lpfnWndProc = [](HWND W, UINT M, WPARAM Wp, LPARAM Lp) -> LRESULT {
      if (M == WM_APP) (*reinterpret_cast<std::function<void()>*>(Lp))();
      return DefWindowProcA(W, M, Wp, Lp);
    };
    C.hInstance = GetModuleHandleA(nullptr);
    C.lpszClassName = "StartupTestAction";
    RegisterClassA(&C);
    Wnd_ = CreateWindowExA(0, C.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, C.hInstance, nullptr);
    PostMessageA(Wnd_, WM_APP, 0, reinterpret_cast<LPARAM>(&Action_));
  }
  ~TPostedAction() { DestroyWindow(Wnd_); }

private:
  std::function<void()> Action_;
  HWND Wnd_;
};

// A click handled while the later pages are still being made (the folder dialog's
// tree handles messages as it fills) leads on, and the start of the message loop
// does not bring the page that was left back beside the one it led to.
TEST(WizardStart, AClickHandledWhileThePagesAreMadeIsNotUndoneWhenTheLoopStarts) {
  bool Clicked = false;
  TPostedAction Click([&] {
    ASSERT_NE(iiForm1, nullptr);
    SendMessageA(iiForm1->Button3->Handle(), BM_CLICK, 0, 0);
    Clicked = true;
  });
  wizardtest::TWizardForms Forms(CreateWizardFormsWelcomeFirst);
  ASSERT_TRUE(Forms.Created());
  ASSERT_TRUE(Clicked) << "no message was handled while the pages were made";
  std::vector<std::string> Shown;
  TPostedAction Look([&] {
    Shown = wizardtest::VisiblePages();
    Application->Terminate();
  });
  Application->Run();
  EXPECT_EQ(Shown, std::vector<std::string>{"language"});
}

// Whatever the driver does as soon as the page is there is handled once all pages are.
TEST(WizardStart, AClickTheMomentTheWelcomePageShowsFindsThePageItOpens) {
  e2e::TWizard W(testsupport::HostFolder(DIST_DIR) + "instbrisko.exe");
  HWND Cancel = nullptr;
  ASSERT_TRUE(e2e::WaitFor([&] { return (Cancel = W.Control("welcome", "Cancel")) != nullptr; }, 20000));
  PostMessageA(Cancel, BM_CLICK, 0, 0);
  ASSERT_TRUE(W.WaitForPages({"exit confirmation", "welcome"}));
  W.Click("exit confirmation", "Exit setup");
  EXPECT_EQ(W.WaitForExit(), 0u);
}

}  // namespace
