#include "gui/exceptionsink.h"

#include <atomic>
#include <exception>
#include <string>

#include "gui/dialogs.h"

namespace {

std::atomic<TExceptionSink> Installed{nullptr};

void ShowInErrorBox(TObject*) {
  std::string Text = "Unknown exception";
  try {
    throw;
  } catch (const std::exception& E) {
    Text = E.what();
  } catch (...) {
  }
  try {
    MessageDlg(Text, mtError, {mbOK}, 0);
  } catch (...) {
  }
}

}  // namespace

TExceptionSink SetExceptionSink(TExceptionSink Sink) { return Installed.exchange(Sink); }

void HandleWindowException(TObject* Sender) {
  if (!std::current_exception()) return;
  TExceptionSink Sink = Installed.load();
  try {
    (Sink ? Sink : ShowInErrorBox)(Sender);
  } catch (...) {
    // A sink that fails itself: nothing more can be done about it here.
  }
}
