// TShellNode: one shell item in the tree.
#include "shelltree/ShellTree.h"

#include <algorithm>

#include "gui/exceptionsink.h"

namespace {
// Takes a counted reference of its own.
template <class T>
void Share(TComPtr<T>& Holder, T* Value) {
  if (Value) Value->AddRef();
  Holder.Attach(Value);
}
}  // namespace

BEGIN_CLASS_INFO(TShellNode, TTreeNode, nullptr)
END_CLASS_INFO

TShellNode::TShellNode(TTreeNodes* Owner) : TTreeNode(Owner) { ReleaseFolder(); }

TShellNode::~TShellNode() {
  TShellTree* T = Tree();
  TShellTree::TBusy Busy(*T);  // the monitor's stop serves reports: they must wait
  T->NodeGone(this);
  if (OwnsMonitor) Monitor.reset();
  FreeIdList(T->Allocator(), Info.RelativeId);
  FreeIdList(T->Allocator(), Info.AbsoluteId);
  ReleaseFolder();
  Info.ParentFolder.Release();
}

TShellTree* TShellNode::Tree() const { return static_cast<TShellTree*>(TreeView()); }

void TShellNode::BindFolder() {
  FolderBound = true;
  if (IdListCount(Info.RelativeId) > 0) {
    if (!Info.ParentFolder ||
        FAILED(Info.ParentFolder->BindToObject(Info.RelativeId, nullptr, IID_IShellFolder, Info.Folder.PPV())))
      Info.Folder.Release();
  } else {
    Share(Info.Folder, Info.ParentFolder.Get());
  }
}

IShellFolder* TShellNode::GetFolder() {
  if (FolderBound && !Info.Folder) FolderBound = false;
  if (!FolderBound) BindFolder();
  return Info.Folder.Get();
}

void TShellNode::ReleaseFolder() {
  FolderBound = false;
  Info.Folder.Release();
}

void TShellNode::SetItem(IShellFolder* ParentFolder, LPITEMIDLIST Item, bool Recurse) {
  IMalloc* Allocator = Tree()->Allocator();
  Share(Info.ParentFolder, ParentFolder);
  if (Item) {
    ReleaseFolder();
    if (Item != Info.RelativeId) {
      FreeIdList(Allocator, Info.RelativeId);
      FreeIdList(Allocator, Info.AbsoluteId);
      Info.RelativeId = Item;
    }
  }
  LPITEMIDLIST Absolute = nullptr;
  if (auto* P = ParentNode()) Absolute = JoinIdList(Allocator, P->Info.AbsoluteId, Info.RelativeId);
  else CopyIdList(Allocator, Info.RelativeId, Absolute);
  FreeIdList(Allocator, Info.AbsoluteId);
  Info.AbsoluteId = Absolute;
  if (!Recurse) return;
  for (int I = 0; I < Count(); ++I) {
    TShellNode* C = Child(I);
    C->SetItem(GetFolder(), C->Info.RelativeId, true);
  }
}

std::string TShellNode::GetDisplayName() {
  return DisplayNameOf(Info.ParentFolder.Get(), Info.RelativeId, SHGDN_NORMAL);
}

bool TShellNode::IsFile() const {
  return (Info.Attributes & SFGAO_FILESYSTEM) && !(Info.Attributes & SFGAO_FOLDER);
}

void TShellNode::UpdateIcons() {
  const TShellTree* T = Tree();
  int Overlay = -1;
  if (T->ShowSharedOverlay() && (Info.Attributes & SFGAO_SHARE)) Overlay = 0;
  else if (T->ShowLinkOverlay() && (Info.Attributes & SFGAO_LINK)) Overlay = 1;
  SetOverlayIndex(Overlay);
  IconsKnown = false;
}

void TShellNode::LoadIcons() {
  IconsKnown = true;
  SHFILEINFOA FileInfo{};
  auto Id = reinterpret_cast<LPCSTR>(Info.AbsoluteId);
  SHGetFileInfoA(Id, 0, &FileInfo, sizeof(FileInfo), SHGFI_PIDL | SHGFI_SYSICONINDEX);
  SetImageIndex(FileInfo.iIcon);
  // Folders show their open icon when selected; other items keep theirs.
  if (Info.Attributes & SFGAO_FOLDER)
    SHGetFileInfoA(Id, 0, &FileInfo, sizeof(FileInfo), SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_OPENICON);
  SetSelectedIndex(FileInfo.iIcon);
}

bool TShellNode::Rename(const std::string& NewName) {
  if (NewName == Text() || !Info.ParentFolder) return false;
  const std::wstring Wide = AnsiToWide(NewName, 259);
  TShellTree* T = Tree();
  LPITEMIDLIST NewItem = nullptr;
  if (Info.ParentFolder->SetNameOf(T->MessageOwner(), Info.RelativeId, Wide.c_str(),
                                   SHGDN_INFOLDER | SHGDN_FOREDITING, &NewItem) != S_OK) {
    FreeIdList(T->Allocator(), NewItem);
    return false;
  }
  if (!NewItem) return false;
  SetItem(Info.ParentFolder.Get(), NewItem, true);
  if (auto* P = ParentNode()) T->SortChildren(P, false);
  T->ChangedByRename(this);
  return true;
}

void TShellNode::FolderChanged() { Tree()->FolderReport(this); }
