// TShellTree: paths, finding and selecting nodes, label editing, the context
// menu and the drives folder after a device change.
#include "shelltree/ShellTree.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "gui/application.h"
#include "shelltree/ItemProp.h"

std::string TShellTree::Path() const {
  auto* Node = static_cast<TShellNode*>(Selected());
  return Node ? Node->NodePath() : std::string();
}

void TShellTree::SetPath(const std::string& Value) {
  const std::string Wanted = NormalizePath(Value);
  if (Wanted.empty()) {
    if (Items()->Count() == 0) return;
    if (RootNode_) RootNode_->SetSelected(true);
  }
  if (Wanted == Path()) return;
  // The nodes live without a window too: only a tree not yet built keeps the path for later.
  if (RootNode_) SelectPath(Wanted);
  else PendingPath_ = Wanted;
}

bool TShellTree::ParsePath(IShellFolder* Folder, const std::string& Path, bool Normalise, TShellIdList& List) {
  const std::string P = Normalise ? NormalizePath(Path) : Path;
  if (P.empty() || !Folder) return false;
  std::wstring Wide = AnsiToWide(P, 300);
  ULONG Eaten = 0, Attributes = SFGAO_VALIDATE;
  if (Folder->ParseDisplayName(MessageOwner(), nullptr, Wide.data(), &Eaten, List.Receive(), &Attributes) == S_OK)
    return true;
  List.Receive();
  return false;
}

void TShellTree::SelectPath(const std::string& Path) {
  TShellIdList List(Allocator_.Get());
  if (!ParsePath(DesktopFolder_.Get(), Path, true, List)) return;
  Items()->BeginUpdate();
  TShellNode* Node = FindNode(List.Get(), true);
  if (Node) {
    Node->SetExpanded(true);
    Node->SetSelected(true);
    Node->MakeVisible();
  }
  Items()->EndUpdate();
}

TShellNode* TShellTree::FindNode(LPCITEMIDLIST List, bool Expand) {
  if (!RootNode_) return nullptr;
  const int N = IdListCount(List), R = IdListCount(RootNode_->Info.AbsoluteId);
  if (N == R) {
    const HRESULT Same = DesktopFolder_->CompareIDs(0, List, RootNode_->Info.AbsoluteId);
    return SUCCEEDED(Same) && HRESULT_CODE(Same) == 0 ? RootNode_ : nullptr;
  }
  if (N < R) return nullptr;
  // The first R items are taken to be the root's.
  const SHITEMID* Item = &List->mkid;
  for (int I = 0; I < R; ++I) Item = reinterpret_cast<const SHITEMID*>(reinterpret_cast<const BYTE*>(Item) + Item->cb);
  TShellNode* Current = RootNode_;
  for (int Step = R; Step < N; ++Step) {
    // A one-item list of this step's item.
    std::vector<BYTE> One(Item->cb + 2u, 0);
    std::memcpy(One.data(), Item, Item->cb);
    auto OneId = reinterpret_cast<LPCITEMIDLIST>(One.data());
    IShellFolder* Folder = Current->GetFolder();
    TShellNode* Found = nullptr;
    for (int I = 0; Folder && I < Current->Count() && !Found; ++I) {
      const HRESULT Same = Folder->CompareIDs(0, OneId, Current->Child(I)->Info.RelativeId);
      if (SUCCEEDED(Same) && HRESULT_CODE(Same) == 0) Found = Current->Child(I);
    }
    if (!Found) return Current;
    if (Step == N - 1) return Found;
    if (Expand && !Found->Expanded()) Found->SetExpanded(true);
    if (!Found->Expanded()) return nullptr;
    Current = Found;
    Item = reinterpret_cast<const SHITEMID*>(reinterpret_cast<const BYTE*>(Item) + Item->cb);
  }
  return Current;
}

// --- Label editing -------------------------------------------------------------------------

bool TShellTree::CanEdit(TTreeNode* Node) {
  return TCustomTreeView::CanEdit(Node) && (static_cast<TShellNode*>(Node)->Info.Attributes & SFGAO_CANRENAME);
}

void TShellTree::Edit(TTreeNode* Node, std::string Text) {
  OnEdited(this, Node, Text);
  auto* N = static_cast<TShellNode*>(Node);
  if (N && N->Rename(Text)) N->SetText(Text);
}

void TShellTree::GetImageIndex(TTreeNode* Node) {
  if (auto* N = static_cast<TShellNode*>(Node); !N->IconsKnown) N->LoadIcons();
  TCustomTreeView::GetImageIndex(Node);
}

void TShellTree::GetSelectedIndex(TTreeNode* Node) {
  if (auto* N = static_cast<TShellNode*>(Node); !N->IconsKnown) N->LoadIcons();
  TCustomTreeView::GetSelectedIndex(Node);
}

// --- Context menu ----------------------------------------------------------------------------

void TShellTree::WndProc(TMessage& M) {
  if (M.Msg == WM_CONTEXTMENU) {
    ContextMenu(M);
    return;
  }
  TCustomTreeView::WndProc(M);
}

bool TShellTree::DoPopupMenu(TShellNode* Node) {
  if (!Node) return false;
  bool Allow = true;
  OnPopupMenu(Node, Allow);
  return Allow;
}

void TShellTree::ContextMenu(TMessage& M) {
  M.Result = 0;
  TShellNode* Node = nullptr;
  POINT Point;
  if (M.LParam == -1) {  // from the keyboard: the selected node's middle
    Node = static_cast<TShellNode*>(Selected());
    if (!Node) return;
    const RECT R = Node->DisplayRect(true);
    Point = POINT{R.left + (R.right - R.left) / 2, R.top + (R.bottom - R.top) / 2};
  } else {
    // Signed: a monitor left of or above the primary one has negative coordinates.
    Point = POINT{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    ::ScreenToClient(Handle_, &Point);
    Node = static_cast<TShellNode*>(GetNodeAt(Point.x, Point.y));
  }
  if (!DoPopupMenu(Node)) return;
  ::ClientToScreen(Handle_, &Point);
  TBusy Busy(*this);  // reports wait while the menu is open
  MenuSelected_ = static_cast<TShellNode*>(Selected());
  Node->SetSelected(true);
  if (PopupMenuMode_ == pmm_PopupMenu) {
    if (PopupMenu_) {
      PopupMenu_->SetPopupComponent(this);
      PopupMenu_->Popup(Point.x, Point.y);
    }
  } else {
    ShowShellMenu(Node, Point);
  }
  // The menu's command may have deleted the node selected before.
  if (MenuSelected_) MenuSelected_->SetSelected(true);
  MenuSelected_ = nullptr;
}

void TShellTree::ShowShellMenu(TShellNode* Node, POINT Point) {
  if (Node->Info.ParentFolder)
    ShowItemMenu(Node->Info.ParentFolder.Get(), Node->Info.RelativeId, 0, Point, OwnerWindow_);
}

// --- Drives ----------------------------------------------------------------------------------

void TShellTree::DrivesChanged() {
  if (!RootNode_ || IdListCount(RootNode_->Info.AbsoluteId) > 1) return;
  if (!DrivesId_) InitSpecialIds();
  if (!DrivesId_) return;
  TShellNode* Node = FindNode(DrivesId_, false);
  if (!Node || !Node->Expanded()) return;
  TBusy Busy(*this);
  ULONG Attributes = SFGAO_VALIDATE;
  LPCITEMIDLIST ItemArray[1] = {Node->Info.RelativeId};
  if (Node->Info.ParentFolder) Node->Info.ParentFolder->GetAttributesOf(1, ItemArray, &Attributes);
  for (int I = 0; I < 101; ++I) Application->ProcessMessages();
  ReloadNode(Node);
  // The drives folder has no path, so reloading its item changes nothing: its
  // children are what a drive's arrival or removal changes.
  RefreshNode(Node, false);
}

void TShellTree::ReloadNode(TShellNode* Node) {
  Items()->BeginUpdate();
  TShellIdList List(Allocator_.Get());
  ParsePath(Node->Info.ParentFolder.Get(), Node->NodePath(), false, List);
  Node->SetItem(Node->Info.ParentFolder.Get(), List.Detach(), false);
  Node->RefreshText();
  Node->UpdateIcons();
  Items()->EndUpdate();
}
