// The elastic layout's cost: a form of 500 named controls rescaled through 100
// size changes, against the same number of windows moved to the same bounds by
// a bare loop of SetWindowPos calls on an identical form without the component.
//
//   elastic_bench.exe [RUNS [SIZE_CHANGES]]   (defaults 7, 100; run through bench/elastic_bench.sh)
//
// Each run does the 100 size changes once per contender, in alternating order;
// after every change both paint what is pending, so both pay for their painting.
// Then, untimed, it counts the paint messages the controls get per control and
// rescale, for a plain resize and for a maximise and restore.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "elastic/ElastFrm.h"
#include "gui/application.h"
#include "gui/forms.h"
#include "gui/guiclasses.h"
#include "gui/stdctrls.h"
#include "gui/winhook.h"

namespace {

constexpr int ControlCount = 500;
int SizeChanges = 100;  // the second argument may lower it for a quick look

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

double TimeElastic(TForm& Form, const std::vector<HWND>& Wnds, TLayout* Record) {
  Front(Form);
  const auto Start = std::chrono::steady_clock::now();
  for (int Step = 0; Step < SizeChanges; ++Step) {
    const SIZE S = SizeAt(Step);
    Form.SetBounds(0, 0, S.cx, S.cy);
    Flush(Form.Handle());
    if (Record) {
      std::vector<RECT> Bounds;
      for (HWND W : Wnds) {
        RECT R;
        GetWindowRect(W, &R);
        MapWindowPoints(HWND_DESKTOP, Form.Handle(), reinterpret_cast<POINT*>(&R), 2);
        Bounds.push_back(R);
      }
      Record->push_back(Bounds);
    }
  }
  return Seconds(std::chrono::steady_clock::now() - Start);
}

double TimeBareLoop(TForm& Form, const std::vector<HWND>& Wnds, const TLayout& Layout) {
  Front(Form);
  const auto Start = std::chrono::steady_clock::now();
  for (int Step = 0; Step < SizeChanges; ++Step) {
    const SIZE S = SizeAt(Step);
    SetWindowPos(Form.Handle(), nullptr, 0, 0, S.cx, S.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    for (size_t I = 0; I < Wnds.size(); ++I) {
      const RECT& R = Layout[static_cast<size_t>(Step)][I];
      SetWindowPos(Wnds[I], nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Flush(Form.Handle());
  }
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

double Median(std::vector<double> V) {
  std::sort(V.begin(), V.end());
  const size_t N = V.size();
  return N % 2 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2;
}

}  // namespace

int main(int Argc, char** Argv) {
  const int Runs = Argc > 1 ? std::max(std::atoi(Argv[1]), 1) : 7;
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
  std::printf("%zu named controls, %d size changes per run, %d runs, screen %d x %d\n", ElasticWnds.size(),
              SizeChanges, Runs, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

  // The first pass settles the form and yields the bounds the bare loop moves to.
  TLayout Layout;
  SetActiveWindow(Elastic.Handle());
  Settle();
  TimeElastic(Elastic, ElasticWnds, &Layout);
  TimeBareLoop(Bare, BareWnds, Layout);

  std::vector<double> ElasticTimes, BareTimes, Ratios;
  for (int Run = 0; Run < Runs; ++Run) {
    double E, B;
    if (Run % 2 == 0) {
      E = TimeElastic(Elastic, ElasticWnds, nullptr);
      B = TimeBareLoop(Bare, BareWnds, Layout);
    } else {
      B = TimeBareLoop(Bare, BareWnds, Layout);
      E = TimeElastic(Elastic, ElasticWnds, nullptr);
    }
    ElasticTimes.push_back(E);
    BareTimes.push_back(B);
    Ratios.push_back(E / B);
    std::printf("  run %d: elastic %.2f ms, bare loop %.2f ms per size change, ratio %.3f\n", Run + 1,
                1000 * E / SizeChanges, 1000 * B / SizeChanges, E / B);
  }
  std::printf("median per size change: elastic %.2f ms, bare loop %.2f ms\n", 1000 * Median(ElasticTimes) / SizeChanges,
              1000 * Median(BareTimes) / SizeChanges);
  std::printf("ratio elastic / bare loop: median %.3f, spread %.3f .. %.3f\n", Median(Ratios),
              *std::min_element(Ratios.begin(), Ratios.end()), *std::max_element(Ratios.begin(), Ratios.end()));

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
