// Reliability: a worker makes and deletes 1,000 folders below an expanded,
// watched folder while the tree collapses, expands again and is destroyed and
// made again. Afterwards the process has the threads, handles and private memory
// it had before the first tree was made.
#include "shelltree/ShellTree.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <atomic>
#include <memory>
#include <thread>

#include "shelltree_testing.h"

namespace {

struct TUsage {
  DWORD Handles = 0, Threads = 0;
  SIZE_T Private = 0;
};

TUsage Usage() {
  TUsage U;
  GetProcessHandleCount(GetCurrentProcess(), &U.Handles);
  HANDLE Snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 T{};
  T.dwSize = sizeof(T);
  for (BOOL More = Thread32First(Snapshot, &T); More; More = Thread32Next(Snapshot, &T))
    if (T.th32OwnerProcessID == GetCurrentProcessId()) ++U.Threads;
  CloseHandle(Snapshot);
  PROCESS_MEMORY_COUNTERS_EX M{};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&M), sizeof(M));
  // Wine leaves PrivateUsage empty; the committed memory is the pagefile usage there.
  U.Private = M.PrivateUsage ? M.PrivateUsage : M.PagefileUsage;
  if (U.Handles == 0) {
    // Nor does it count handles: every handle value the process has open is.
    for (ULONG_PTR V = 4; V < 0x10000; V += 4) {
      DWORD Flags;
      if (GetHandleInformation(reinterpret_cast<HANDLE>(V), &Flags)) ++U.Handles;
    }
  }
  return U;
}

struct TTree {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TShellTree* Tree = new TShellTree(Form.get());
  explicit TTree(const std::string& Root) {
    Form->SetBounds(10, 10, 300, 400);
    Tree->SetAlign(alClient);
    Tree->SetRootUsePIDL(false);
    Tree->SetRootDir(Root);
    Tree->SetParent(Form.get());
    Form->Show();
  }
  TShellNode* Watched() const {
    TShellNode* Root = Tree->RootNode();
    return Root && Root->Count() > 0 ? Root->Child(0) : nullptr;
  }
};

TEST(ShellTreeChurn, FoldersComeAndGoWhileTheTreeChanges) {
  shelltest::InitGui();
  shelltest::TScratch Scratch("churn");
  const std::string Watched = Scratch.Folder("watched\\keep");
  const std::string Parent = Scratch.Root() + "\\watched";
  // One tree made and destroyed first, over some folders: what the shell and Wine
  // keep for good (caches, registry keys) is in the baseline.
  for (int I = 0; I < 20; ++I) Scratch.Folder("watched\\warm" + std::to_string(I));
  {
    TTree Warm(Scratch.Root());
    Warm.Watched()->SetExpanded(true);
  }
  for (int I = 0; I < 20; ++I) RemoveDirectoryA((Parent + "\\warm" + std::to_string(I)).c_str());

  // Two passes: the first may leave what Wine keeps once for large folders; the
  // second must add nothing to it.
  int Rounds = 0;
  auto Churn = [&] {
    Rounds = 0;
    std::atomic<bool> Done{false};
    std::thread Worker([&] {
      // Paced, so that the changes fall into every phase of the trees' lives.
      for (int I = 0; I < 1000; ++I) {
        const std::string Folder = Parent + "\\churn" + std::to_string(I);
        CreateDirectoryA(Folder.c_str(), nullptr);
        if (I % 3 == 0) RemoveDirectoryA(Folder.c_str());
        if (I % 10 == 0) Sleep(15);
      }
      for (int I = 0; I < 1000; ++I) RemoveDirectoryA((Parent + "\\churn" + std::to_string(I)).c_str());
      Done = true;
    });
    while (!Done || Rounds < 3) {
      TTree T(Scratch.Root());
      for (int Step = 0; Step < 6; ++Step) {
        TShellNode* W = T.Watched();
        if (!W) {
          ADD_FAILURE() << "the watched folder has no node";
          break;
        }
        W->SetExpanded(Step % 2 == 0);
        testsupport::PumpPending();
      }
      ++Rounds;
    }
    Worker.join();
    {
      TTree Last(Scratch.Root());
      Last.Watched()->SetExpanded(true);
      EXPECT_EQ(Last.Watched()->Count(), 1) << "the tree missed a change";
    }
  };
  Churn();
  testsupport::PumpPending();
  const TUsage Before = Usage();
  Churn();
  testsupport::PumpPending();
  const TUsage After = Usage();
  std::printf("%d rounds; handles %lu -> %lu, threads %lu -> %lu, private %zu -> %zu KiB\n", Rounds, Before.Handles,
              After.Handles, Before.Threads, After.Threads, Before.Private / 1024, After.Private / 1024);
  EXPECT_EQ(After.Threads, Before.Threads);
  EXPECT_EQ(After.Handles, Before.Handles);
  // The heap keeps some of what it gave back; a leak of the nodes' lists or names would be megabytes.
  EXPECT_LT(After.Private, Before.Private + 2 * 1024 * 1024);
}

}  // namespace
