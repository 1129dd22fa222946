// Start-up of the wizard to its painted welcome page against an empty Win32 program
// that shows one window, both started the same way from this process.
//
//   startup_bench.exe RUNS WIZARD_EXE EMPTY_EXE
//
// A program counts as started when a window of its process with the expected caption
// is visible and neither that window nor any of its visible child windows has anything
// left to paint (a window's region to paint is emptied as its painting starts, so this
// is late by at most the painting of the last window). It counts as answering when,
// after that, its thread has handled a message sent to the window: from then on a
// click would be handled. Each run starts both, one
// after the other, in alternating order; the program is then closed as a person
// would (WM_CLOSE to its window) and waited for, untimed.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_result.h"

namespace {

struct TContender {
  const char* Name;
  std::string Exe;
  const char* Caption;
};

struct TFound {
  DWORD Pid;
  const char* Caption;
  HWND Wnd;
};

HWND VisibleWindowOf(DWORD Pid, const char* Caption) {
  TFound F{Pid, Caption, nullptr};
  EnumWindows(
      [](HWND Wnd, LPARAM L) {
        auto* F = reinterpret_cast<TFound*>(L);
        DWORD Owner = 0;
        GetWindowThreadProcessId(Wnd, &Owner);
        char Text[256] = "";
        if (Owner != F->Pid || !IsWindowVisible(Wnd) || !GetWindowTextA(Wnd, Text, sizeof(Text))) return TRUE;
        if (std::string(Text) != F->Caption) return TRUE;
        F->Wnd = Wnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&F));
  return F.Wnd;
}

bool NothingToPaint(HWND Wnd) {
  if (GetUpdateRect(Wnd, nullptr, FALSE)) return false;
  bool Clean = true;
  EnumChildWindows(
      Wnd,
      [](HWND Child, LPARAM L) {
        if (IsWindowVisible(Child) && GetUpdateRect(Child, nullptr, FALSE)) {
          *reinterpret_cast<bool*>(L) = false;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Clean));
  return Clean;
}

[[noreturn]] void Fail(const std::string& Text) {
  std::fprintf(stderr, "%s\n", Text.c_str());
  std::exit(1);
}

struct TStart {
  double Painted;    // seconds from CreateProcess
  double Answering;
};

TStart TimeStart(const TContender& C) {
  STARTUPINFOA Startup{};
  Startup.cb = sizeof(Startup);
  PROCESS_INFORMATION Process{};
  std::string Line = "\"" + C.Exe + "\"";
  const std::string Folder = C.Exe.substr(0, C.Exe.find_last_of('\\') + 1);
  const auto Start = std::chrono::steady_clock::now();
  if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.c_str(), &Startup,
                      &Process))
    Fail("cannot start " + C.Exe);
  CloseHandle(Process.hThread);
  HWND Wnd = nullptr;
  for (;;) {
    if (WaitForSingleObject(Process.hProcess, 0) == WAIT_OBJECT_0) Fail(C.Exe + " ended before showing its window");
    if (!Wnd) Wnd = VisibleWindowOf(Process.dwProcessId, C.Caption);
    if (Wnd && NothingToPaint(Wnd)) break;
    if (std::chrono::steady_clock::now() - Start > std::chrono::seconds(60)) Fail(C.Exe + " showed no window");
    Sleep(1);
  }
  const auto Since = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count(); };
  TStart Result{Since(), 0};
  DWORD_PTR Ignored;
  if (!SendMessageTimeoutA(Wnd, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &Ignored)) Fail(C.Exe + " does not answer");
  Result.Answering = Since();
  PostMessageA(Wnd, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(Process.hProcess, 20000) != WAIT_OBJECT_0) {
    TerminateProcess(Process.hProcess, 1);
    Fail(C.Exe + " did not end when its window was closed");
  }
  CloseHandle(Process.hProcess);
  return Result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) Fail("usage: startup_bench RUNS WIZARD_EXE EMPTY_EXE");
  const int Runs = std::max(1, std::atoi(argv[1]));
  const TContender Wizard{"wizard", argv[2], "Welcome to the brisko installation program"};
  const TContender Empty{"empty window", argv[3], "Empty window"};
  // Wine closes its desktop a moment after the last program with windows ends and
  // starts it again for the next: a window of ours keeps it, out of every timing.
  CreateWindowExA(0, "STATIC", "startup_bench", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);

  // Untimed: the files into the cache, and proof that both start and end.
  TimeStart(Wizard);
  TimeStart(Empty);

  bench::TSeries WizardPainted, EmptyPainted, PaintedRatios, WizardAnswering, EmptyAnswering, AnsweringRatios;
  for (int I = 1; I <= Runs; ++I) {
    TStart W, E;
    if (I % 2) {
      W = TimeStart(Wizard);
      E = TimeStart(Empty);
    } else {
      E = TimeStart(Empty);
      W = TimeStart(Wizard);
    }
    WizardPainted.Add(W.Painted);
    EmptyPainted.Add(E.Painted);
    PaintedRatios.Add(W.Painted / E.Painted);
    WizardAnswering.Add(W.Answering);
    EmptyAnswering.Add(E.Answering);
    AnsweringRatios.Add(W.Answering / E.Answering);
    std::printf("  run %d: welcome page painted after %.3f s, answering after %.3f s; empty window %.3f s, %.3f s\n",
                I, W.Painted, W.Answering, E.Painted, E.Answering);
    std::fflush(stdout);
  }
  bench::PrintResult("start-up to the painted welcome page / empty window program", PaintedRatios, WizardPainted,
                     EmptyPainted);
  bench::PrintResult("start-up until the welcome page answers / empty window program", AnsweringRatios,
                     WizardAnswering, EmptyAnswering);
  return 0;
}
