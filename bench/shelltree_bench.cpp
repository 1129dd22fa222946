// The shell tree's first expansion and refresh on folders of 1,000 and 10,000
// subfolders, in one run, alternating contenders, medians of the repetitions with
// their spread:
//   expand/walk    the first expansion of the folder's node against a plain
//                  FindFirstFileA walk of the same folder
//   refresh/expand a refresh after one subfolder was added against the first expansion
//   growth         how each grows from 1,000 to 10,000 subfolders
// and a profile of the first expansion's parts, each measured on its own over the
// same folder: the shell's enumeration and names, the icons, the sort by the
// shell's comparison, the tree's inserts.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench_result.h"
#include "gui/application.h"
#include "shelltree/ShellTree.h"

namespace {

const std::string Root = "C:\\instbrisko-shelltree-bench";

double Now() {
  LARGE_INTEGER F, C;
  QueryPerformanceFrequency(&F);
  QueryPerformanceCounter(&C);
  return double(C.QuadPart) / double(F.QuadPart);
}

double Time(const std::function<void()>& F) {
  const double S = Now();
  F();
  return Now() - S;
}

std::string MakeFolder(int Count) {
  const std::string Folder = Root + "\\n" + std::to_string(Count);
  if (GetFileAttributesA((Folder + "\\d" + std::to_string(Count - 1)).c_str()) == INVALID_FILE_ATTRIBUTES) {
    CreateDirectoryA(Folder.c_str(), nullptr);
    for (int I = 0; I < Count; ++I) CreateDirectoryA((Folder + "\\d" + std::to_string(I)).c_str(), nullptr);
  }
  return Folder;
}

int Walk(const std::string& Folder) {
  WIN32_FIND_DATAA D;
  HANDLE H = FindFirstFileA((Folder + "\\*").c_str(), &D);
  int N = 0;
  if (H == INVALID_HANDLE_VALUE) return 0;
  do ++N;
  while (FindNextFileA(H, &D));
  FindClose(H);
  return N;
}

struct TTreeOn {
  TForm Form{nullptr};
  TShellTree* Tree = new TShellTree(&Form);
  TShellNode* Node = nullptr;
  explicit TTreeOn(const std::string& Folder) {
    Form.SetBounds(10, 10, 300, 400);
    Tree->SetAlign(alClient);
    Tree->SetUpdAutoThread(false);  // only the measured refreshes read the folder
    Tree->SetRootUsePIDL(false);
    Tree->SetRootDir(Root);
    Tree->SetParent(&Form);
    Form.Show();
    const std::string Name = Folder.substr(Folder.rfind('\\') + 1);
    for (int I = 0; I < Tree->RootNode()->Count(); ++I)
      if (Tree->RootNode()->Child(I)->Text() == Name) Node = Tree->RootNode()->Child(I);
  }
};

void Profile(const std::string& Folder, int Count) {
  TComPtr<IMalloc> Allocator;
  SHGetMalloc(&Allocator);
  TComPtr<IShellFolder> Desktop, F;
  SHGetDesktopFolder(&Desktop);
  std::wstring W(Folder.begin(), Folder.end());
  TShellIdList Id(Allocator.Get());
  Desktop->ParseDisplayName(nullptr, nullptr, W.data(), nullptr, Id.Receive(), nullptr);
  Desktop->BindToObject(Id.Get(), nullptr, IID_IShellFolder, F.PPV());
  std::vector<LPITEMIDLIST> Items;
  const double Shell = Time([&] {
    TComPtr<IEnumIDList> E;
    F->EnumObjects(nullptr, SHCONTF_FOLDERS, &E);
    for (LPITEMIDLIST I; E->Next(1, &I, nullptr) == S_OK;) {
      ULONG A = 0xF70B0177;
      LPCITEMIDLIST One[1] = {I};
      F->GetAttributesOf(1, One, &A);
      DisplayNameOf(F.Get(), I, SHGDN_NORMAL);
      Items.push_back(I);
    }
  });
  // The tree finds images only for the nodes it paints; their cost per item is
  // measured on a sample.
  const size_t Sample = std::min<size_t>(Items.size(), 200);
  const double Icons = Time([&] {
    for (size_t K = 0; K < Sample; ++K) {
      TShellIdList Abs(Allocator.Get(), JoinIdList(Allocator.Get(), Id.Get(), Items[K]));
      SHFILEINFOA Info;
      SHGetFileInfoA(reinterpret_cast<LPCSTR>(Abs.Get()), 0, &Info, sizeof(Info), SHGFI_PIDL | SHGFI_SYSICONINDEX);
      SHGetFileInfoA(reinterpret_cast<LPCSTR>(Abs.Get()), 0, &Info, sizeof(Info),
                     SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_OPENICON);
    }
  }) / double(Sample);
  long Compares = 0;
  const double Sort = Time([&] {
    std::vector<LPITEMIDLIST> V(Items.rbegin(), Items.rend());
    std::stable_sort(V.begin(), V.end(), [&](LPITEMIDLIST A, LPITEMIDLIST B) {
      ++Compares;
      return static_cast<short>(HRESULT_CODE(F->CompareIDs(0, A, B))) < 0;
    });
  });
  TForm Form(nullptr);
  auto* View = new TTreeView(&Form);
  View->SetParent(&Form);
  Form.Show();
  const double Inserts = Time([&] {
    View->Items()->BeginUpdate();
    TTreeNode* Parent = View->Items()->AddChild(nullptr, "folder");
    for (int I = 0; I < Count; ++I) View->Items()->AddChild(Parent, std::string("d").append(std::to_string(I)));
    Parent->AlphaSort();
    View->Items()->EndUpdate();
  });
  for (LPITEMIDLIST I : Items) Allocator->Free(I);
  std::printf("  profile %5d: shell enumeration+attributes+names %.3f s, sort by the shell %.3f s (%ld comparisons),"
              " tree inserts+sort %.3f s; images %.1f ms per item\n",
              Count, Shell, Sort, Compares, Inserts, Icons * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  const int Reps = argc > 1 ? std::max(5, std::atoi(argv[1])) : 5;
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // each figure as soon as it is known
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  Application->Initialize();
  CreateDirectoryA(Root.c_str(), nullptr);
  const int Sizes[] = {1000, 10000};
  if (argc > 2 && std::string(argv[2]) == "profile") {  // the profiles alone
    for (int Size : Sizes) Profile(MakeFolder(Size), Size);
    return 0;
  }
  bench::TSeries Walks[2], Expand[2], Refresh[2], ExpandRatio[2], RefreshRatio[2];
  for (int S = 0; S < 2; ++S) {
    const std::string Folder = MakeFolder(Sizes[S]);
    for (int R = 0; R < Reps; ++R) {
      // Alternating which contender goes first.
      double WalkTime = 0, ExpandTime = 0, RefreshTime = 0;
      auto DoWalk = [&] { WalkTime = Time([&] { Walk(Folder); }); };
      auto DoTree = [&] {
        TTreeOn T(Folder);
        ExpandTime = Time([&] { T.Node->SetExpanded(true); });
        const std::string Added = Folder + "\\added";
        CreateDirectoryA(Added.c_str(), nullptr);
        RefreshTime = Time([&] { T.Tree->RefreshNode(T.Node, false); });
        RemoveDirectoryA(Added.c_str());
      };
      if (R % 2) { DoWalk(); DoTree(); } else { DoTree(); DoWalk(); }
      std::fprintf(stderr, "  %5d #%d: walk %.4f s, first expansion %.3f s, refresh %.3f s\n", Sizes[S], R, WalkTime,
                   ExpandTime, RefreshTime);
      Walks[S].Add(WalkTime);
      Expand[S].Add(ExpandTime);
      Refresh[S].Add(RefreshTime);
      ExpandRatio[S].Add(ExpandTime / WalkTime);
      RefreshRatio[S].Add(RefreshTime / ExpandTime);
    }
    const std::string Of = Sizes[S] == 1000 ? ", 1,000 subfolders" : ", 10,000 subfolders";
    bench::PrintResult("shell tree's first expansion / FindFirstFileA walk" + Of, ExpandRatio[S], Expand[S], Walks[S]);
    bench::PrintResult("shell tree's refresh after one new folder / its first expansion" + Of, RefreshRatio[S],
                       Refresh[S], Expand[S]);
    Profile(Folder, Sizes[S]);
  }
  bench::TSeries GrowE, GrowR;
  for (int R = 0; R < Reps; ++R) {
    GrowE.Add(Expand[1].Values[R] / Expand[0].Values[R]);
    GrowR.Add(Refresh[1].Values[R] / Refresh[0].Values[R]);
  }
  std::printf("growth 1,000 -> 10,000: first expansion x%s, refresh x%s\n", GrowE.Text(1).c_str(),
              GrowR.Text(1).c_str());
  return 0;
}
