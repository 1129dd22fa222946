// The elastic layout's cost: a form of 500 named controls rescaled through 10
// size changes, against the same number of windows moved to the same bounds by
// a bare loop of SetWindowPos calls on an identical form without the component.
//
//   elastic_bench.exe [RUNS [SIZE_CHANGES]]   (defaults 5, 10; run through bench/elastic_bench.sh)
//
// Each run does the size changes once per contender, in slices of ten taken in
// turns (the order rotating from slice to slice), so that a change in the
// machine's load falls on both alike; after every change both paint what is
// pending, so both pay for their painting. It prints the result line of
// bench/README.md. Then, untimed, it counts the paint messages the controls get
// per control and rescale, for a plain resize and for a maximise and restore.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_result.h"
#include "elastic/ElastFrm.h"
#include "gui/application.h"
#include "gui/forms.h"
#include "gui/guiclasses.h"
#include "gui/stdctrls.h"
#include "gui/winhook.h"

namespace {

constexpr int ControlCount = 500;
constexpr int Slice = 10;
int SizeChanges = 10;  // each one costs about 2 s per contender under Wine

// 25 columns and 20 rows of buttons on a 1000 × 700 form.
std::string FormText(bool Elastic) {
  std::string T = "object Bench: TForm\n  Left = 0\n  Top = 0\n  Width = 1000\n  Height = 700\n"
                  "  HorzScrollBar.Visible = False\n  VertScrollBar.Visible = False\n  Scaled = False\n";
  for (int I = 0; I < ControlCount; ++I) {
    const int Col = I % 25, Row = I / 25;
    T += "  object Button" + std::to_string(I + 1) + ": TButton\n    Left = " + std::to_string(4 + Col * 39) +
         "\n    Top = " + std::to_string(4 + Row * 33) + "\n    Width = 36\n    Height = 30\n    Caption = '" +
         std::to_string(I + 1) + "'\n  end\n";
  }
  if (Elastic) {
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    T += "  object ElasticForm1: TElasticForm\n    ElasticFont = False\n    DesignScreenWidth = " + std::to_string(W) +
         "\n    DesignScreenHeight = " + std::to_string(H) +
         "\n    DesignFormWidth = 1000\n    DesignFormHeight = 700\n    DesignFormLeft = 0\n    DesignFormTop = 0\n  end\n";
  }
  return T + "end\n";
}

SIZE SizeAt(int Step) {
  // Back and forth between 600 × 420 and 1000 × 700, never the same twice in a row.
  const int Phase = Step % 20, K = Phase < 10 ? Phase : 20 - Phase;
  return SIZE{600 + K * 40, 420 + K * 28};
}

void Flush(HWND Form) { RedrawWindow(Form, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

std::vector<HWND> Children(TForm& Form) {
  std::vector<HWND> Wnds;
  for (int I = 0; I < Form.ControlCount(); ++I)
    if (auto* W = dynamic_cast<TWinControl*>(Form.Controls(I))) Wnds.push_back(W->Handle());
  return Wnds;
}

using TLayout = std::vector<std::vector<RECT>>;  // per size change, per control

double Seconds(std::chrono::steady_clock::duration D) { return std::chrono::duration<double>(D).count(); }

// The contender measured next lies on top of the other (both fill the same place).
void Front(TForm& Form) {
  SetWindowPos(Form.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Application->ProcessMessages();
}

// The elastic form rescales itself to the size of step Step; Record keeps where
// its controls went.
void ElasticStep(TForm& Form, const std::vector<HWND>& Wnds, int Step, TLayout* Record) {
  const SIZE S = SizeAt(Step);
  Form.SetBounds(0, 0, S.cx, S.cy);
  Flush(Form.Handle());
  if (!Record) return;
  std::vector<RECT> Bounds;
  for (HWND W : Wnds) {
    RECT R;
    GetWindowRect(W, &R);
    MapWindowPoints(HWND_DESKTOP, Form.Handle(), reinterpret_cast<POINT*>(&R), 2);
    Bounds.push_back(R);
  }
  Record->push_back(Bounds);
}

// The bare form and its windows are moved to where the elastic form put its own.
void BareStep(TForm& Form, const std::vector<HWND>& Wnds, int Step, const TLayout& Layout) {
  const SIZE S = SizeAt(Step);
  SetWindowPos(Form.Handle(), nullptr, 0, 0, S.cx, S.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  for (size_t I = 0; I < Wnds.size(); ++I) {
    const RECT& R = Layout[static_cast<size_t>(Step)][I];
    SetWindowPos(Wnds[I], nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Flush(Form.Handle());
}

// Seconds the steps From .. From + Slice - 1 took.
template <class F>
double TimeSlice(TForm& Form, int From, F Step) {
  Front(Form);
  const auto Start = std::chrono::steady_clock::now();
  for (int I = From; I < std::min(From + Slice, SizeChanges); ++I) Step(I);
  return Seconds(std::chrono::steady_clock::now() - Start);
}

// Counts the WM_PAINT messages of every control while Action runs.
class TPaintCounter {
public:
  explicit TPaintCounter(const std::vector<HWND>& Wnds) : Hooks_(Wnds.size()) {
    for (size_t I = 0; I < Wnds.size(); ++I)
      Hooks_[I].Install(Wnds[I], [this](HWND, UINT Msg, WPARAM, LPARAM, bool&) -> LRESULT {
        if (Msg == WM_PAINT) ++Paints;
        return 0;
      });
  }
  long Paints = 0;

private:
  std::vector<TWindowHook> Hooks_;
};

void Settle() {
  for (int I = 0; I < 20; ++I) Application->ProcessMessages();
}

}  // namespace

int main(int Argc, char** Argv) {
  const int Runs = Argc > 1 ? std::max(std::atoi(Argv[1]), 5) : 5;
  if (Argc > 2) SizeChanges = std::max(std::atoi(Argv[2]), 1);
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // each line as it comes, also under wine's pipe
  Application->Initialize();
  RegisterGuiClasses();
  RegisterElasticClasses();

  TForm Elastic(nullptr), Bare(nullptr);
  Elastic.InitializeForm(FormText(true));
  Bare.InitializeForm(FormText(false));
  for (TForm* F : {&Elastic, &Bare}) {
    F->Show();
    Settle();
  }
  const std::vector<HWND> ElasticWnds = Children(Elastic), BareWnds = Children(Bare);
  std::printf("%zu named controls, %d size changes per run in turns of %d, %d runs, screen %d x %d\n",
              ElasticWnds.size(), SizeChanges, Slice, Runs, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

  // The first pass settles the form and yields the bounds the bare loop moves to.
  TLayout Layout;
  SetActiveWindow(Elastic.Handle());
  Settle();
  for (int Step = 0; Step < SizeChanges; ++Step) ElasticStep(Elastic, ElasticWnds, Step, &Layout);
  for (int Step = 0; Step < SizeChanges; ++Step) BareStep(Bare, BareWnds, Step, Layout);

  const auto ElasticSteps = [&](int Step) { ElasticStep(Elastic, ElasticWnds, Step, nullptr); };
  const auto BareSteps = [&](int Step) { BareStep(Bare, BareWnds, Step, Layout); };
  bench::TSeries ElasticTimes, BareTimes, Ratios;  // milliseconds per size change
  for (int Run = 0; Run < Runs; ++Run) {
    double E = 0, B = 0;
    for (int From = 0, Turn = Run; From < SizeChanges; From += Slice, ++Turn) {
      if (Turn % 2 == 0) {
        E += TimeSlice(Elastic, From, ElasticSteps);
        B += TimeSlice(Bare, From, BareSteps);
      } else {
        B += TimeSlice(Bare, From, BareSteps);
        E += TimeSlice(Elastic, From, ElasticSteps);
      }
    }
    ElasticTimes.Add(1000 * E / SizeChanges);
    BareTimes.Add(1000 * B / SizeChanges);
    Ratios.Add(E / B);
    std::printf("  run %d: elastic %.2f ms, bare loop %.2f ms per size change, ratio %.3f\n", Run + 1,
                1000 * E / SizeChanges, 1000 * B / SizeChanges, E / B);
  }
  bench::PrintResult("rescale of " + std::to_string(ElasticWnds.size()) + " named controls / bare SetWindowPos loop, " +
                         std::to_string(SizeChanges) + " size changes",
                     Ratios, ElasticTimes, BareTimes, "ms per size change");

  // Paint messages per control and rescale, counted apart from the timing.
  const int Count = 10;
  auto PerControl = [&](long Paints, int Rescales) {
    return static_cast<double>(Paints) / (static_cast<double>(ElasticWnds.size()) * Rescales);
  };
  Front(Elastic);
  {
    TPaintCounter Counter(ElasticWnds);
    for (int Step = 0; Step < Count; ++Step) {
      const SIZE S = SizeAt(Step);
      Elastic.SetBounds(0, 0, S.cx, S.cy);
      Settle();
    }
    std::printf("paint messages per control and rescale, plain resize: %.2f\n", PerControl(Counter.Paints, Count));
  }
  {
    TPaintCounter Counter(ElasticWnds);
    for (int Step = 0; Step < Count; ++Step) {
      ShowWindow(Elastic.Handle(), Step % 2 == 0 ? SW_MAXIMIZE : SW_RESTORE);
      Settle();
    }
    std::printf("paint messages per control and rescale, maximise and restore: %.2f\n",
                PerControl(Counter.Paints, Count));
  }
  Front(Bare);
  {
    TPaintCounter Counter(BareWnds);
    for (int Step = 0; Step < Count; ++Step) {
      const size_t At = static_cast<size_t>(Step) % Layout.size();
      const SIZE S = SizeAt(static_cast<int>(At));
      SetWindowPos(Bare.Handle(), nullptr, 0, 0, S.cx, S.cy, SWP_NOZORDER | SWP_NOACTIVATE);
      for (size_t I = 0; I < BareWnds.size(); ++I) {
        const RECT& R = Layout[At][I];
        SetWindowPos(BareWnds[I], nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      Settle();
    }
    std::printf("paint messages per control and move, bare loop: %.2f\n", PerControl(Counter.Paints, Count));
  }
  return 0;
}
