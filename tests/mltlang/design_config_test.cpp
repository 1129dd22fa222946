// The design session's configuration beside the executable: created when
// missing (with one information box), read silently otherwise, saved at the end.
#include <gtest/gtest.h>

#include "support/dialog_answers.h"

#include <filesystem>

#include "gui/dialogs.h"
#include "mltlang/MLTLANG.h"
#include "testsupport.h"

namespace {

// Answers every dialog with OK and keeps what it was asked.
using TDialogs = testsupport::TDialogAnswers;

class DesignConfiguration : public ::testing::Test {
protected:
  void SetUp() override { std::filesystem::remove_all(Path); }
  void TearDown() override {
    if (Configuration()) {
      try {
        CloseConfiguration();
      } catch (const Exception&) {
      }
    }
    std::filesystem::remove_all(Path);
  }
  const std::string Path = ExecutableDir() + "mltlang.cfg";
};

TEST_F(DesignConfiguration, MissingFileIsCreatedWithOneMessage) {
  TDialogs Dialogs;
  OpenConfiguration();
  ASSERT_EQ(Dialogs.Requests.size(), 1u);
  EXPECT_EQ(Dialogs.Requests[0].Type, mtInformation);
  EXPECT_TRUE(Dialogs.Requests[0].Buttons == TMsgDlgButtons{mbOK});
  EXPECT_EQ(Dialogs.Requests[0].Text, "New configuration file created in:\r" + Path);
  EXPECT_EQ(ExeDir(), ExecutableDir());
  ASSERT_NE(Configuration(), nullptr);
  EXPECT_EQ(ReadFileBytes(Path).size(), 4u + 476 + 4 + 4 + 4 + Configuration()->DictPath().size() + 1);

  TConfiguration* First = Configuration();
  OpenConfiguration();
  EXPECT_EQ(Configuration(), First) << "one configuration per process";
  EXPECT_EQ(Dialogs.Requests.size(), 1u);

  First->SetDefMaxLang(9);
  CloseConfiguration();
  EXPECT_EQ(Configuration(), nullptr);
  EXPECT_EQ(TConfiguration(Path).DefMaxLang(), 9) << "saved when the session ends";
}

TEST_F(DesignConfiguration, ExistingFileIsReadSilently) {
  TConfiguration Stored;
  Stored.SetDefMaxLang(5);
  Stored.SetDictPath("C:\\dict.dct");
  Stored.SaveToFile(Path);
  TDialogs Dialogs;
  OpenConfiguration();
  EXPECT_TRUE(Dialogs.Requests.empty());
  ASSERT_NE(Configuration(), nullptr);
  EXPECT_EQ(Configuration()->DefMaxLang(), 5);
  EXPECT_EQ(Configuration()->DictPath(), "C:\\dict.dct");
}

TEST_F(DesignConfiguration, FileOfAnotherVersionIsRewritten) {
  WriteFileBytes(Path, Bytes()({101, 0, 0, 0})({1, 0, 0})({2, 0, 0, 0})({0, 0, 0, 0})({1, 0, 0, 0}));
  TDialogs Dialogs;
  OpenConfiguration();
  EXPECT_TRUE(Dialogs.Requests.empty());
  ASSERT_NE(Configuration(), nullptr);
  EXPECT_EQ(Configuration()->LangList().Count(), 43);
  CloseConfiguration();
  std::vector<uint8_t> Data = ReadFileBytes(Path);
  ASSERT_GE(Data.size(), 7u);
  EXPECT_EQ(std::vector<uint8_t>(Data.begin(), Data.begin() + 7), (std::vector<uint8_t>{100, 0, 0, 0, 1, 43, 0}));
}

TEST_F(DesignConfiguration, UnwritableFileIsReportedAndTheDefaultsUsed) {
  // A folder in the file's place can be neither opened nor created.
  std::filesystem::create_directory(Path);
  TDialogs Dialogs;
  OpenConfiguration();
  ASSERT_EQ(Dialogs.Requests.size(), 1u);
  EXPECT_EQ(Dialogs.Requests[0].Type, mtInformation);
  EXPECT_EQ(Dialogs.Requests[0].Text, "Error writing new configuration file in:\r" + Path);
  ASSERT_NE(Configuration(), nullptr);
  EXPECT_EQ(Configuration()->DefMaxLang(), 2);
  EXPECT_THROW(CloseConfiguration(), EFCreateError);
  EXPECT_EQ(Configuration(), nullptr);
}

}  // namespace
