// Every text a person reads on the wizard's seven forms is read by assistive
// technology too: each label, painted by its form or panel, is found through
// the accessible objects of the form's windows, as a screen reader finds it.
#include <gtest/gtest.h>

#include <algorithm>

#include "../gui/accessibility_testing.h"
#include "wizard_support.h"

namespace {

TEST(WizardAccessibility, EveryLabelOnEveryFormIsReadWithItsText) {
  wizardtest::TWizardForms Forms;
  ASSERT_TRUE(Forms.Created());
  int Read = 0;
  for (TForm* F : wizardtest::TWizardForms::All()) {
    SCOPED_TRACE(F->Name());
    F->Show();
    wizardtest::HandlePendingMessages();
    const std::vector<std::string> Texts = acctest::PaintedTexts(F->Handle());
    for (int I = 0; I < F->ComponentCount(); ++I) {
      auto* Label = dynamic_cast<TLabel*>(F->Components(I));
      if (!Label || Label->Caption().empty()) continue;
      EXPECT_NE(std::find(Texts.begin(), Texts.end(), Label->Caption()), Texts.end())
          << Label->Name() << " \"" << Label->Caption() << "\" is not read";
      ++Read;
    }
    F->Hide();
  }
  // The welcome page and the folder dialog have none; the others have eleven.
  EXPECT_EQ(Read, 11);
}

}  // namespace
