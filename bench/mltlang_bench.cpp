// The cost of a language switch: the seven real forms switched back and forth
// between English (slot 0) and Dutch (slot 2) through their translation
// components, against the same texts set directly on the same controls: with
// SetWindowTextA on the windows, and through the plain setters for what has no
// window (labels' captions, hints).
//
//   mltlang_bench.exe [RUNS [SWITCHES]]      (defaults: 11 runs of 400 switches)
//
// The forms come from dist\instbrisko.exe, through the drive scripts/with-wine.sh
// maps to the distribution folder. Each run times all three on the same windows,
// taking turns in slices of a few switches.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "gui/application.h"
#include "mltlang/MLTLANG.h"
#include "setup/Uinstbrisko.h"
#include "setup/instbrisko_forms.h"
#include "support/host_paths.h"

namespace {

// One translated text as the baselines set it: English, and Dutch where there is
// one; directly on the window, or through the control's own setter.
struct TDirect {
  std::function<void(const std::string&)> Set, SetProperty;
  std::string English, Dutch;
};

std::vector<TDirect> DirectTexts() {
  std::vector<TDirect> Texts;
  for (int F = 0; F < Screen->FormCount(); ++F) {
    const TMltLang* Lang = dynamic_cast<TMltLang*>(Screen->Forms(F)->FindComponent("MltLang1"));
    for (int I = 0; Lang && I < Lang->ItemList().Count(); ++I) {
      const TCI& Item = *Lang->ItemList().Item(I);
      auto* C = static_cast<TControl*>(Item.Control());
      std::function<void(const std::string&)> Set;
      if (Item.PropName() == "Hint") Set = [C](const std::string& S) { C->SetHint(S); };
      else if (auto* W = dynamic_cast<TWinControl*>(C)) Set = [H = W->Handle()](const std::string& S) { SetWindowTextA(H, S.c_str()); };
      else Set = [C](const std::string& S) { C->SetCaption(S); };
      std::function<void(const std::string&)> SetProperty = Set;
      if (Item.PropName() != "Hint") SetProperty = [C](const std::string& S) { C->SetCaption(S); };
      if (!Item.GetValue(2).empty()) Texts.push_back({Set, SetProperty, Item.GetValue(0), Item.GetValue(2)});
    }
  }
  return Texts;
}

double Median(std::vector<double> V) {
  std::sort(V.begin(), V.end());
  const size_t N = V.size();
  return N % 2 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2;
}

// Microseconds per switch of Switches switches, alternately to Dutch and back.
double PerSwitch(int Switches, const std::function<void(bool Dutch)>& Switch) {
  Application->ProcessMessages();  // what the last batch left in the queue is not this batch's
  const auto Start = std::chrono::steady_clock::now();
  for (int I = 0; I < Switches; ++I) Switch(I % 2 == 0);
  const std::chrono::duration<double, std::micro> Took = std::chrono::steady_clock::now() - Start;
  return Took.count() / Switches;
}

// One run: every contender makes Switches switches, in slices of Slice taken in
// turns (the order rotating from slice to slice), so that a change in the load of
// the machine falls on all of them alike. Microseconds per switch of each.
std::vector<double> Run(int Switches, int Slice, const std::vector<std::function<void(bool)>>& Contenders) {
  std::vector<double> Total(Contenders.size(), 0.0);
  for (int Done = 0, Turn = 0; Done < Switches; Done += Slice, ++Turn)
    for (size_t K = 0; K < Contenders.size(); ++K) {
      const size_t Which = (Turn + K) % Contenders.size();
      Total[Which] += PerSwitch(Slice, Contenders[Which]) * Slice;
    }
  for (double& T : Total) T /= Switches;
  return Total;
}

}  // namespace

int main(int argc, char** argv) {
  const int Runs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 11;
  const int Slice = 20;  // even: each slice ends in English
  const int Switches = std::max(Slice, (argc > 2 ? std::atoi(argv[2]) : 400) / Slice * Slice);
  const std::string Exe = testsupport::HostFolder(DIST_DIR) + "instbrisko.exe";
  HMODULE Forms = LoadLibraryExA(Exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!Forms) {
    std::fprintf(stderr, "%s cannot be loaded: build instbrisko first\n", Exe.c_str());
    return 1;
  }
  SetFormResourceModule(Forms);
  Application->Initialize();
  CreateWizardForms();

  TMltLang& Lang = *iiForm1->MltLang1;
  const auto Component = [&](bool Dutch) { Lang.SetActiveLang(Dutch ? 2 : 0); };
  const std::vector<TDirect> Texts = DirectTexts();
  const auto Direct = [&](bool Dutch) {
    for (const TDirect& T : Texts) T.Set(Dutch ? T.Dutch : T.English);
  };
  const auto Setters = [&](bool Dutch) {
    for (const TDirect& T : Texts) T.SetProperty(Dutch ? T.Dutch : T.English);
  };
  std::printf("%d forms, %zu texts that change, %d runs of %d switches each, in turns of %d\n", Screen->FormCount(),
              Texts.size(), Runs, Switches, Slice);

  const std::vector<std::function<void(bool)>> Contenders = {Component, Direct, Setters};
  Run(Switches, Slice, Contenders);  // untimed: the windows' first texts and fonts
  std::vector<double> ByComponent, ByHand, BySetters, Ratios, SetterRatios;
  for (int R = 1; R <= Runs; ++R) {
    const std::vector<double> T = Run(Switches, Slice, Contenders);
    const double C = T[0], D = T[1], S = T[2];
    ByComponent.push_back(C);
    ByHand.push_back(D);
    BySetters.push_back(S);
    Ratios.push_back(C / D);
    SetterRatios.push_back(S / D);
    std::printf("  run %2d: component %7.1f us, direct %7.1f us, setters %7.1f us per switch; component / direct %.2f\n",
                R, C, D, S, C / D);
  }
  std::sort(Ratios.begin(), Ratios.end());
  std::sort(SetterRatios.begin(), SetterRatios.end());
  std::printf("median per switch: component %.1f us, direct %.1f us, setters %.1f us\n", Median(ByComponent),
              Median(ByHand), Median(BySetters));
  std::printf("ratio component / direct: median %.2f, spread %.2f to %.2f\n", Median(Ratios), Ratios.front(),
              Ratios.back());
  std::printf("ratio setters / direct (the controls' own share): median %.2f, spread %.2f to %.2f\n",
              Median(SetterRatios), SetterRatios.front(), SetterRatios.back());

  Application->ShowMainForm = false;
  Application->Terminate();
  Application->Run();  // frees the forms
  SetFormResourceModule(nullptr);
  FreeLibrary(Forms);
  return 0;
}
