#include "mltlang/MLTLANG.h"

#include <memory>

#include "gui/dialogs.h"

namespace {

std::string ExeDir_;
std::unique_ptr<TConfiguration> Configuration_;

std::string ConfigurationFile() { return ExeDir_ + "mltlang.cfg"; }

}  // namespace

const std::string& ExeDir() { return ExeDir_; }

TConfiguration* Configuration() { return Configuration_.get(); }

void OpenConfiguration() {
  if (ExeDir_.empty()) ExeDir_ = ExecutableDir();
  if (Configuration_) return;
  std::string Path = ConfigurationFile();
  try {
    Configuration_ = std::make_unique<TConfiguration>(Path);
    return;
  } catch (const EFOpenError&) {
  }
  Configuration_ = std::make_unique<TConfiguration>();
  bool Saved = true;
  try {
    Configuration_->SaveToFile(Path);
  } catch (const Exception&) {
    Saved = false;
  }
  MessageDlg(std::string(Saved ? "New configuration file created in:" : "Error writing new configuration file in:") +
                 "\r" + Path,
             mtInformation, {mbOK}, 0);
}

void CloseConfiguration() {
  if (!Configuration_) return;
  std::unique_ptr<TConfiguration> Closing = std::move(Configuration_);
  Closing->SaveToFile(ConfigurationFile());
}
