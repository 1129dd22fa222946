// TShellTree: reading a folder's children, sorting them, watching folders and
// running the monitors' reports.
#include "shelltree/ShellTree.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "gui/application.h"
#include "gui/exceptionsink.h"

namespace {

constexpr ULONG ChildAttributes = 0xF70B0177;  // capabilities, link, share, ghosted, validate, removable,
                                               // compressed, file-system ancestor, folder, file system, subfolders

std::string_view FirstItemBytes(LPCITEMIDLIST List) {
  if (!List || List->mkid.cb == 0) return {};
  return std::string_view(reinterpret_cast<const char*>(List), List->mkid.cb);
}

}  // namespace

// The children of one node by their item bytes, built once per reading so that
// finding the child of each item the shell returns costs no walk over all of
// them. It keeps the meaning of a walk: the first unseen child, in child order,
// with the same item bytes.
class TShellTree::TSeenIndex {
public:
  explicit TSeenIndex(TShellNode* Parent) {
    Bytes_.reserve(static_cast<size_t>(Parent->Count()));
    for (int I = 0; I < Parent->Count(); ++I) {
      TShellNode* C = Parent->Child(I);
      Bytes_[FirstItemBytes(C->Info.RelativeId)].push_back(C);
    }
  }
  TShellNode* FindUnseenChild(LPCITEMIDLIST Item) {
    auto It = Bytes_.find(FirstItemBytes(Item));
    if (It == Bytes_.end()) return nullptr;
    for (TShellNode* C : It->second)
      if (!C->Info.Seen) {
        C->Info.Seen = true;
        return C;
      }
    return nullptr;
  }

private:
  // The views point into the children's own lists, which live as long as the reading.
  std::unordered_map<std::string_view, std::vector<TShellNode*>> Bytes_;
};

bool TShellTree::CanExpand(TTreeNode* Node) {
  bool Allow = RootReady_;
  OnExpanding(this, Node, Allow);
  auto* N = static_cast<TShellNode*>(Node);
  if (!Allow || (!UpdAuto_ && N->Info.Enumerated)) return Allow;
  // Expanded again while a reading is under way (the message loop runs inside
  // it): the nodes being walked must stay, so the node is read once that is over.
  if (Busy_ && N->Info.Enumerated) {
    Defer(N);
    return Allow;
  }
  RefreshNode(N, UpdAutoRec_);
  N->Info.Enumerated = true;
  return Allow;
}

void TShellTree::RefreshTree() {
  Items()->BeginUpdate();
  RefreshNode(RootNode_, true);
  Items()->EndUpdate();
}

void TShellTree::RefreshNode(TShellNode* Node, bool Recursive) {
  if (!Node) return;
  TBusy Busy(*this);
  EnumerateNode(Node);
  if (!Recursive) return;
  // The children may change under the walk (the message loop runs after each
  // reading): each one is looked up again by position.
  for (int I = 0; I < Node->Count(); ++I) {
    TShellNode* C = Node->Child(I);
    if (C->HasChildren() && C->Expanded()) RefreshNode(C, true);
    else C->Info.Enumerated = false;
  }
}

void TShellTree::EnumerateNode(TShellNode* Node) {
  TBusy Busy(*this);
  {
    Items()->BeginUpdate();
    TScopeGuard EndUpdate([this] { Items()->EndUpdate(); });
    THourglass Hourglass;
    IShellFolder* Folder = Node->GetFolder();
    DWORD Flags = OptionsToFlags(Options_);
    if (!Node->Info.RelativeId) Flags |= SHCONTF_FOLDERS;
    for (int I = 0; I < Node->Count(); ++I) Node->Child(I)->Info.Seen = false;
    TSeenIndex Index(Node);
    TComPtr<IEnumIDList> Enum;
    if (!Folder || Folder->EnumObjects(MessageOwner(), Flags, &Enum) != S_OK || !Enum) {
      Node->SetHasChildren(false);
    } else {
      Enum->Reset();
      int Returned = 0;
      LPITEMIDLIST Item = nullptr;
      while (Enum->Next(1, &Item, nullptr) == S_OK) {
        ++Returned;
        AddChildItem(Node, std::exchange(Item, nullptr), Index);
      }
      Node->SetHasChildren(Returned > 0);
    }
    SortChildren(Node, false);
    DeleteUnseen(Node);
    if (!Node->OwnsMonitor && Node->Count() > 0 && !Node->NodePath().empty()) StartMonitor(Node);
  }
  Application->ProcessMessages();
}

void TShellTree::AddChildItem(TShellNode* Parent, LPITEMIDLIST Item, TSeenIndex& Index) {
  TShellIdList Owned(Allocator_.Get(), Item);
  IShellFolder* PF = Parent->GetFolder();
  TShellNode* Existing = Index.FindUnseenChild(Item);
  ULONG Attr = ChildAttributes;
  LPCITEMIDLIST ItemArray[1] = {Item};
  if (!PF || PF->GetAttributesOf(1, ItemArray, &Attr) != S_OK) Attr = 0;
  bool Keep = ShowVirtualFolders_ || (Attr & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR));
  if (Options_.Contains(TF_NONFOLDERS) && Keep && (Attr & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) &&
      !(Attr & SFGAO_FOLDER)) {
    const std::string Name = DisplayNameOf(PF, Item, SHGDN_FORPARSING);
    if (!FileMaskUse_ || MatchAnyMask(Name.substr(Name.find_last_of('\\') + 1), Masks_)) FireFileAdd(Name, Attr, Keep);
    else Keep = false;
  }
  if (!Keep) {
    if (Existing) Existing->Info.Seen = false;
    return;
  }
  // An item whose bytes changed (a folder's carry its modification time) is still
  // the node the user expanded and selected: matched by the shell's own comparison.
  bool Renewed = false;
  if (!Existing && PF) {
    for (int I = 0; I < Parent->Count() && !Existing; ++I) {
      TShellNode* C = Parent->Child(I);
      if (C->Info.Seen || !C->Info.RelativeId) continue;
      const HRESULT Same = PF->CompareIDs(0, Item, C->Info.RelativeId);
      if (SUCCEEDED(Same) && HRESULT_CODE(Same) == 0) Existing = C;
    }
    Renewed = Existing != nullptr;
  }
  // A new node comes with its name: the window takes it with the item.
  TShellNode* Node =
      Existing ? Existing : static_cast<TShellNode*>(Items()->AddChild(Parent, DisplayNameOf(PF, Item, SHGDN_NORMAL)));
  // The same bytes in the same folder: the node keeps its lists (and its bound folder).
  if (!Existing || Renewed || Node->Info.ParentFolder.Get() != PF) Node->SetItem(PF, Owned.Detach(), Renewed);
  Node->RefreshText();
  if (!Existing) Node->Info.Enumerated = false;
  Node->Info.Seen = true;
  // The same item with the same attributes keeps its images (finding them is slow).
  const bool NewLook = !Existing || Renewed || Node->Info.Attributes != Attr;
  Node->Info.Attributes = Attr;
  bool HasKids = (Attr & SFGAO_HASSUBFOLDER) != 0;
  if (Options_.Contains(TF_NONFOLDERS) && !HasKids && (Attr & SFGAO_FOLDER)) HasKids = ProbeForChildren(Node);
  if (!HasKids) {
    Node->Info.Enumerated = false;
    Node->DeleteChildren();
  }
  Node->SetHasChildren(HasKids);
  if (NewLook) Node->UpdateIcons();
}

// A folder without subfolders may still hold files worth an expand button.
bool TShellTree::ProbeForChildren(TShellNode* Node) {
  IShellFolder* F = Node->GetFolder();
  TComPtr<IEnumIDList> Enum;
  if (!F || F->EnumObjects(MessageOwner(), OptionsToFlags(Options_), &Enum) != S_OK || !Enum) return false;
  Enum->Reset();
  TShellIdList Probe(Allocator_.Get());
  return Enum->Next(1, Probe.Receive(), nullptr) == S_OK;
}

void TShellTree::DeleteUnseen(TShellNode* Node) {
  for (int I = Node->Count() - 1; I >= 0; --I) {
    if (I >= Node->Count()) continue;
    TShellNode* C = Node->Child(I);
    if (!C->Info.Seen) C->Delete();
  }
}

void TShellTree::FireFileAdd(const std::string& Name, ULONG Attributes, bool& Allow) {
  if (!ComponentState().Contains(csDesigning) && OnFileAdd) OnFileAdd(Name, Attributes, Allow);
}

void TShellTree::SortChildren(TShellNode* Node, bool Recursive) {
  if (!Node) return;
  const intptr_t Param = static_cast<intptr_t>(FileSortOrder_) | (static_cast<intptr_t>(FileSortType_) << 8);
  Node->CustomSort(Compare_, Param, Recursive);
}

int TShellTree::CompareNodes(TTreeNode* A, TTreeNode* B, intptr_t Param) {
  auto* N1 = static_cast<TShellNode*>(A);
  auto* N2 = static_cast<TShellNode*>(B);
  UINT Column = 0;
  bool Reverse = false;
  if (N1->IsFile() && N2->IsFile()) {
    Column = static_cast<UINT>((Param >> 8) & 0xFF);
    Reverse = (Param & 0xFF) == so_Descending;
  }
  IShellFolder* Folder = N1->Info.ParentFolder.Get();
  if (!Folder) return 0;
  const HRESULT R = Folder->CompareIDs(Column, N1->Info.RelativeId, N2->Info.RelativeId);
  if (FAILED(R)) return 0;
  const short Code = static_cast<short>(HRESULT_CODE(R));
  const int Sign = Code > 0 ? 1 : Code < 0 ? -1 : 0;
  return Reverse ? -Sign : Sign;
}

void TShellTree::StartMonitor(TShellNode* Node) {
  auto Monitor = std::make_unique<TDiscMonitorThread>();
  Monitor->SetWatchSubtree(true);
  Monitor->SetFilter(NotifyFilter_);
  Monitor->OnFolderChange = TNotifyEvent([Node](TObject*) { Node->FolderChanged(); }, Node);
  Monitor->SetDirectory(Node->NodePath());
  Node->Monitor = std::move(Monitor);
  Node->OwnsMonitor = true;
  Node->Monitor->Resume();
}

void TShellTree::FolderReport(TShellNode* Node) {
  if (IsDestroying() || !UpdAutoThread_ || !Node->Expanded()) return;
  if (Busy_) Defer(Node);
  else RefreshNode(Node, false);
}

void TShellTree::Defer(TShellNode* Node) {
  if (std::find(PendingReports_.begin(), PendingReports_.end(), Node) == PendingReports_.end())
    PendingReports_.push_back(Node);
}

void TShellTree::ServePending() {
  if (Busy_ || IsDestroying()) return;
  if (DrivesPending_) {
    DrivesPending_ = false;
    DrivesChanged();
    return;  // the end of its busy time posts the rest
  }
  if (PendingReports_.empty()) return;
  TShellNode* Node = PendingReports_.front();
  PendingReports_.erase(PendingReports_.begin());
  try {
    if (Node->Expanded()) RefreshNode(Node, false);
  } catch (...) {
    HandleWindowException(this);
  }
  if (!PendingReports_.empty() && !Busy_ && !ServePosted_)
    ServePosted_ = PostMessageA(NotifyWindow(), CM_SERVEPENDING, 0, 0) != 0;
}

void TShellTree::NodeGone(TShellNode* Node) {
  PendingReports_.erase(std::remove(PendingReports_.begin(), PendingReports_.end(), Node), PendingReports_.end());
  if (MenuSelected_ == Node) MenuSelected_ = nullptr;
  if (RootNode_ == Node) RootNode_ = nullptr;
}
