// Answers the GUI library's message boxes and dialogs in place of a person while it
// lives (through SetDialogHandler), keeps what they asked, and puts the handler it
// replaced back afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/dialogs.h"

namespace testsupport {

class TDialogAnswers {
public:
  // Every dialog gets Answer (mrOk, mrYes, ...).
  explicit TDialogAnswers(int Answer = mrOk)
      : TDialogAnswers([Answer](const TDialogRequest&) { return Answer; }) {}
  // Each dialog gets what Answer says; Answer may also fail the test, or throw as the
  // dialog's caller would see it.
  explicit TDialogAnswers(std::function<int(const TDialogRequest&)> Answer)
      : Previous_(SetDialogHandler([this, Answer = std::move(Answer)](const TDialogRequest& R) {
          Requests.push_back(R);
          return Answer(R);
        })) {}
  ~TDialogAnswers() { SetDialogHandler(std::move(Previous_)); }
  TDialogAnswers(const TDialogAnswers&) = delete;
  TDialogAnswers& operator=(const TDialogAnswers&) = delete;

  std::vector<std::string> Texts() const {
    std::vector<std::string> T;
    for (const TDialogRequest& R : Requests) T.push_back(R.Text);
    return T;
  }

  std::vector<TDialogRequest> Requests;

private:
  TDialogHandler Previous_;
};

}  // namespace testsupport
