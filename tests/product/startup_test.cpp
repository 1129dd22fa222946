// The program's start: the welcome page is shown and painted before the other pages
// are made, and still nothing a person does can reach a page that is not there yet.
#include <gtest/gtest.h>

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
