// The shell tree as a person sees it: a form with the tree rooted at the drives
// folder, showing C:\stt_demo_<pid>; a folder made on disk appears in the tree,
// and the program prints how long that took. With a number of seconds as its
// argument it stays on the screen that long afterwards (for a screenshot).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gui/application.h"
#include "shelltree/ShellTree.h"

int main(int argc, char** argv) {
  Application->Initialize();
  const std::string Root = "C:\\stt_demo_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(Root.c_str(), nullptr);
  CreateDirectoryA((Root + "\\Existing folder").c_str(), nullptr);
  int Result = 1;
  {
    TForm Form(nullptr);
    Form.SetCaption("Shell tree");
    Form.SetBounds(40, 40, 360, 480);
    auto* Tree = new TShellTree(&Form);
    Tree->SetAlign(alClient);
    Tree->SetRootPIDL(PIDL_DRIVES);
    Tree->SetParent(&Form);
    Form.Show();
    Tree->SetPath(Root);
    auto* Node = static_cast<TShellNode*>(Tree->Selected());
    const DWORD Start = GetTickCount();
    CreateDirectoryA((Root + "\\Made on disk").c_str(), nullptr);
    TShellNode* Made = nullptr;
    while (!Made && GetTickCount() - Start < 10000) {
      Application->HandleMessage();
      for (int I = 0; Node && I < Node->Count(); ++I)
        if (Node->Child(I)->Text() == "Made on disk") Made = Node->Child(I);
    }
    if (Made) {
      std::printf("The tree showed the new folder after %lu ms\n", GetTickCount() - Start);
      Made->SetSelected(true);
      Result = 0;
    } else {
      std::printf("The tree did not show the new folder\n");
    }
    std::fflush(stdout);
    const DWORD Hold = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) * 1000 : 0;
    const DWORD Shown = GetTickCount();
    while (GetTickCount() - Shown < Hold) {
      Application->ProcessMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
  }
  RemoveDirectoryA((Root + "\\Made on disk").c_str());
  RemoveDirectoryA((Root + "\\Existing folder").c_str());
  RemoveDirectoryA(Root.c_str());
  return Result;
}
