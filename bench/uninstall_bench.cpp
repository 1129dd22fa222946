// One step of the uninstallation benchmark; bench/uninstall_bench.sh runs the steps
// and does the statistics, so that the disk can settle between building a tree and
// timing its removal.
//
//   uninstall_bench.exe make    builds C:\instbrisko-uninstall-bench\tree\:
//                               2,000 folders with 10 files of 100 bytes each
//   uninstall_bench.exe walk    removes it as the run does: DeleteTree with the real
//                               message handling once per folder, then the collected folders
//   uninstall_bench.exe rmdir   removes it with "cmd /c rmdir /s /q", started from here
//   uninstall_bench.exe start   starts "cmd /c exit" only: the start-up inside rmdir's time
//   uninstall_bench.exe pump N  N rounds of message handling, one message waiting in each
//
// Each timed step prints its seconds and fails when the tree is not gone after it.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "classes/strings.h"
#include "classes/sysutils.h"
#include "gui/application.h"
#include "setup/Uinstbrisko_uninstall.h"

namespace {

const std::string Base = "C:\\instbrisko-uninstall-bench\\";
const std::string Tree = Base + "tree\\";
constexpr int TopFolders = 40;
constexpr int SubFolders = 49;      // 40 + 40 * 49 = 2,000 folders
constexpr int FilesPerFolder = 10;  // 20,000 files

[[noreturn]] void Fail(const std::string& Text) {
  std::fprintf(stderr, "%s\n", Text.c_str());
  std::exit(1);
}

void Fill(const std::string& Folder) {
  static const std::string Data(100, 'x');
  for (int I = 0; I < FilesPerFolder; ++I) {
    std::string Name = Folder + "file" + std::to_string(I) + ".dat";
    HANDLE H = CreateFileA(Name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (H == INVALID_HANDLE_VALUE) Fail("cannot create " + Name);
    DWORD Written;
    WriteFile(H, Data.data(), static_cast<DWORD>(Data.size()), &Written, nullptr);
    CloseHandle(H);
  }
}

void MakeTree() {
  CreateDirectoryA(Base.c_str(), nullptr);
  if (!CreateDirectoryA(Tree.c_str(), nullptr)) Fail(Tree + " is in the way");
  for (int T = 0; T < TopFolders; ++T) {
    std::string Top = Tree + "top" + std::to_string(T) + "\\";
    CreateDirectoryA(Top.c_str(), nullptr);
    Fill(Top);
    for (int S = 0; S < SubFolders; ++S) {
      std::string Sub = Top + "sub" + std::to_string(S) + "\\";
      CreateDirectoryA(Sub.c_str(), nullptr);
      Fill(Sub);
    }
  }
}

void RemoveAsTheRunDoes() {
  TStringList RemovedFolders;
  RemovedFolders.SetSorted(true);
  DeleteTree(Tree, "*.*", true, RemovedFolders);
  RemovedFolders.Add(Tree);
  RemoveFolders(RemovedFolders);
}

void RunAndWait(const std::string& CommandLine) {
  STARTUPINFOA Startup{};
  Startup.cb = sizeof(Startup);
  PROCESS_INFORMATION Process{};
  std::string Line = CommandLine;
  if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &Startup, &Process))
    Fail("cannot start " + CommandLine);
  WaitForSingleObject(Process.hProcess, INFINITE);
  CloseHandle(Process.hThread);
  CloseHandle(Process.hProcess);
}

}  // namespace

int main(int argc, char** argv) {
  std::string Step = argc > 1 ? argv[1] : "";
  if (Step == "make") {
    MakeTree();
    return 0;
  }
  // A window of ours, so that the queue the walk empties has something in it.
  HWND Window = CreateWindowExA(0, "STATIC", "bench", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  auto Start = std::chrono::steady_clock::now();
  if (Step == "walk") {
    PostMessageA(Window, WM_NULL, 0, 0);
    RemoveAsTheRunDoes();
  } else if (Step == "rmdir") {
    RunAndWait("cmd /c rmdir /s /q \"" + ExcludeTrailingBackslash(Tree) + "\"");
  } else if (Step == "start") {
    RunAndWait("cmd /c exit");
  } else if (Step == "pump" && argc > 2) {
    for (int I = std::atoi(argv[2]); I > 0; --I) {
      PostMessageA(Window, WM_NULL, 0, 0);
      Application->ProcessMessages();
    }
  } else {
    Fail("usage: uninstall_bench.exe make|walk|rmdir|start|pump N");
  }
  double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  DestroyWindow(Window);
  if ((Step == "walk" || Step == "rmdir") &&
      GetFileAttributesA(Tree.c_str()) != INVALID_FILE_ATTRIBUTES)
    Fail(Step + " left the tree behind");
  RemoveDirectoryA(Base.c_str());
  std::printf("%.3f\n", Seconds);
  return 0;
}
