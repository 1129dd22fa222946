// What the elastic-layout tests share: a form read from a form text whose
// creation handler a test can fill in, the standard form they scale (designed on
// an 800 × 600 screen, shown on the 1024 × 768 screen the tests run on: every
// factor is 1.28), and a recorder of what a child window is told.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "../gui/window_testing.h"
#include "elastic/ElastFrm.h"
#include "gui/forms.h"
#include "gui/winhook.h"

namespace elastictest {

class TLayoutForm : public TForm {
  DECLARE_CLASS(TLayoutForm)
public:
  explicit TLayoutForm(TComponent* Owner) : TForm(Owner) {}
  // Runs as the form's creation handler (OnCreate = FormCreate in the text).
  std::function<void(TLayoutForm&)> Creating;
  void FormCreate(TObject*) {
    if (Creating) Creating(*this);
  }
  TElasticForm& Elastic() const { return *dynamic_cast<TElasticForm*>(FindComponent("ElasticForm1")); }
  template <class T = TControl>
  T& Get(const std::string& Name) const {
    auto* C = dynamic_cast<T*>(FindComponent(Name));
    if (!C) throw Exception("no control " + Name);
    return *C;
  }
};

// A 400 × 300 form at 100, 50 with an Arial font of 8 points, holding Controls
// (form text) and an elastic component with the given extra settings.
std::string FormText(const std::string& Controls, const std::string& ElasticSettings = "",
                     const std::string& FormSettings = "");

// Shows the form and waits until it is shown and active (it is then settled:
// its next size change is the user's).
void ShowAndSettle(TForm& Form);
// Moves and sizes the form as a program would, and lets the messages run.
void SetFormBounds(TForm& Form, int Left, int Top, int Width, int Height);

wintest::TBounds BoundsOf(const TControl& Control);

// Records what a window's position messages say: "hide", "show", "size",
// "move", in order (one entry per WM_WINDOWPOSCHANGED, the parts joined by '+').
class TPositionRecorder {
public:
  explicit TPositionRecorder(HWND Wnd);
  std::vector<std::string> Events;

private:
  TWindowHook Hook_;
};

}  // namespace elastictest
