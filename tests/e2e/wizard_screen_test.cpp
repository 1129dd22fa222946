// The pages on the screen they run on: make test runs this once on each of the
// three design screens (INSTBRISKO_SCREEN = 640x480, 800x600, 1024x768). Each
// page lays itself out for the design screen nearest to the running one, so on
// these three it shows at its own size, centred.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "../setup/wizard_support.h"
#include "wizard_driver.h"

namespace {

struct TSize {
  int Width = 0, Height = 0;
};

// The screen make test started, or the one there is.
TSize RunningScreen() {
  TSize S{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (const char* Env = std::getenv("INSTBRISKO_SCREEN")) std::sscanf(Env, "%dx%d", &S.Width, &S.Height);
  return S;
}

TSize DesignScreenFor(int ScreenWidth) {
  if (ScreenWidth <= 640) return {640, 480};
  if (ScreenWidth > 800) return {1024, 768};
  return {800, 600};
}

std::string SizeName(TSize S) { return std::to_string(S.Width) + "x" + std::to_string(S.Height); }

}  // namespace

TEST(WizardScreen, EveryFormIsLaidOutForTheNearestDesignScreen) {
  const TSize Running = RunningScreen();
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), Running.Width) << "not the screen INSTBRISKO_SCREEN names";
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), Running.Height);
  const TSize Design = DesignScreenFor(Running.Width);

  wizardtest::TWizardForms Forms;
  ASSERT_TRUE(Forms.Created());
  for (TForm* F : wizardtest::TWizardForms::All()) {
    SCOPED_TRACE(F->Name());
    auto* Elastic = dynamic_cast<TElasticForm*>(F->FindComponent("ElasticForm1"));
    ASSERT_NE(Elastic, nullptr);
    EXPECT_EQ(Elastic->DesignScreenWidth, Design.Width);
    EXPECT_EQ(Elastic->DesignScreenHeight, Design.Height);
  }
}

TEST(WizardScreen, TheProgramShowsItsWelcomePageUnscaledAndCentred) {
  const TSize Running = RunningScreen();
  e2e::TWizard W(testsupport::HostFolder(DIST_DIR) + "instbrisko.exe");
  ASSERT_TRUE(W.WaitForPages({"welcome"}));
  e2e::Screenshot("welcome on " + SizeName(Running));
  RECT R;
  GetWindowRect(W.Page("welcome"), &R);
  EXPECT_EQ(R.right - R.left, 372);
  EXPECT_EQ(R.bottom - R.top, 363);
  EXPECT_EQ(R.left, (Running.Width - 372) / 2);
  EXPECT_EQ(R.top, (Running.Height - 363) / 2);

  W.Click("welcome", "Next>");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  e2e::Screenshot("language on " + SizeName(Running));
  W.Click("language", "Cancel");
  ASSERT_TRUE(W.WaitForPages({"exit confirmation", "language"}));
  W.Click("exit confirmation", "Exit setup");
  EXPECT_EQ(W.WaitForExit(), 0u);
}
