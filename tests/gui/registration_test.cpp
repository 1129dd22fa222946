// The library's classes are registered before the first test, as a program does
// at start-up; one form then holds a control of every family.
#include <gtest/gtest.h>

#include "gui/forms.h"
#include "gui/guiclasses.h"

namespace {

struct TGuiClasses : ::testing::Environment {
  void SetUp() override { RegisterGuiClasses(); }
};
const auto* const Registered = ::testing::AddGlobalTestEnvironment(new TGuiClasses);

TEST(Registration, TheReaderMakesAControlOfEveryFamily) {
  const char* const Classes[] = {"TButton", "TCheckBox", "TRadioButton", "TEdit",  "TMemo",
                                 "TComboBox", "TLabel", "TGroupBox",    "TPanel", "TImage",
                                 "TTimer",  "TBitBtn", "TStatusBar",   "THeaderControl", "TListView",
                                 "TTreeView", "TPopupMenu", "TMenuItem",
                                 "TStringGrid", "TDBGrid", "TDataSource", "TToolBar", "TToolButton",
                                 "TPageControl", "TTabSheet"};
  std::string Text = "object F: TForm\n";
  for (const char* C : Classes) Text += std::string("  object X") + C + ": " + C + "\n  end\n";
  Text += "end\n";
  TForm Form(nullptr);
  Form.InitializeForm(Text);
  for (const char* C : Classes) {
    TComponent* Made = Form.FindComponent(std::string("X") + C);
    ASSERT_NE(Made, nullptr) << C;
    EXPECT_EQ(Made->ClassName(), C);
  }
}

}  // namespace
