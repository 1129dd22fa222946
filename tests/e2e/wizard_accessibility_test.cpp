// A screen reader is another process: from the driver's process, the language
// page of the running instbrisko.exe is read through its accessible objects,
// painted labels included, as a screen reader reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "../gui/accessibility_testing.h"
#include "support/host_paths.h"
#include "wizard_driver.h"

namespace {

TEST(WizardAccessibility, AnotherProcessReadsTheLabelsOfThePageShown) {
  TOleInitializer Ole;
  e2e::TWizard W(testsupport::HostFolder(DIST_DIR) + "instbrisko.exe");
  ASSERT_TRUE(W.WaitForPages({"welcome"}));
  W.Click("welcome", "Next>");
  ASSERT_TRUE(W.WaitForPages({"language"}));

  const acctest::TClient Page = acctest::ReadClient(W.Page("language"));
  ASSERT_TRUE(Page.Object);
  std::vector<std::string> Names;
  for (const acctest::TSimpleChild& S : Page.Simple) {
    EXPECT_EQ(S.Role, ROLE_SYSTEM_STATICTEXT) << S.Name;
    Names.push_back(S.Name);
  }
  EXPECT_EQ(Names, (std::vector<std::string>{"Brisko 1.0", "Brisko Screen language", "Install to:"}))
      << "top to bottom";
  EXPECT_GE(Page.Windows, 5) << "the folder box and button, the language box, Cancel, <Back, Next>";
}

}  // namespace
