// TShellTree: construction, published properties, building the root, the
// hidden notify window and the class registration.
#include "shelltree/ShellTree.h"

#include <dbt.h>

#include <new>

#include "classes/sysutils.h"
#include "gui/messages.h"

namespace {

// The empty list (the desktop), not owned by the shell allocator.
BYTE EmptyIdList[2] = {0, 0};

const TEnumInfo& PidlNames() {
  static const TEnumInfo Names{"PIDL_DESKTOP", "PIDL_PROGRAMS", "PIDL_CONTROLS", "PIDL_PRINTERS", "PIDL_PERSONAL",
                               "PIDL_FAVORITES", "PIDL_STARTUP", "PIDL_RECENT", "PIDL_SENDTO", "PIDL_BITBUCKET",
                               "PIDL_STARTMENU", "PIDL_DESKTOPDIRECTORY", "PIDL_DRIVES", "PIDL_NETWORK",
                               "PIDL_NETHOOD", "PIDL_FONTS", "PIDL_TEMPLATES", "PIDL_USERDEFINED"};
  return Names;
}
const TEnumInfo& VisOptionNames() {
  static const TEnumInfo Names{"TF_FOLDERS", "TF_NONFOLDERS", "TF_HIDDEN"};
  return Names;
}
const TEnumInfo& FileSortTypeNames() {
  static const TEnumInfo Names{"so_Name", "so_Size", "so_Type", "so_Date"};
  return Names;
}
const TEnumInfo& FileSortOrderNames() {
  static const TEnumInfo Names{"so_Ascending", "so_Descending"};
  return Names;
}
const TEnumInfo& PopupMenuModeNames() {
  static const TEnumInfo Names{"pmm_System", "pmm_PopupMenu"};
  return Names;
}

std::string Trim(const std::string& S) {
  size_t B = 0, E = S.size();
  while (B < E && static_cast<unsigned char>(S[B]) <= ' ') ++B;
  while (E > B && static_cast<unsigned char>(S[E - 1]) <= ' ') --E;
  return S.substr(B, E - B);
}

}  // namespace

BEGIN_CLASS_INFO(TShellTree, TCustomTreeView, ComponentCreator<TShellTree>)
  using T = TShellTree;
  P.Bool("About", &T::About, &T::SetAbout, {}, [](const T&) { return false; });
  P.Bool("ShowVirtualFolders", &T::ShowVirtualFolders, &T::SetShowVirtualFolders);
  P.Bool("ShowSharedOverlay", &T::ShowSharedOverlay, &T::SetShowSharedOverlay);
  P.Bool("ShowLinkOverlay", &T::ShowLinkOverlay, &T::SetShowLinkOverlay);
  P.Bool("RootUsePIDL", &T::RootUsePIDL, &T::SetRootUsePIDL);
  P.Enum("RootPIDL", &T::RootPIDL, &T::SetRootPIDL, PidlNames());
  P.Str("RootDir", &T::RootDir, &T::SetRootDir);
  P.Set("Options", &T::Options, &T::SetOptions, VisOptionNames());
  P.Str("Path", &T::Path, &T::SetPath);
  P.Bool("UpdAutoThread", &T::UpdAutoThread, &T::SetUpdAutoThread);
  P.Bool("UpdAuto", &T::UpdAuto, &T::SetUpdAuto);
  P.Bool("UpdAutoRec", &T::UpdAutoRec, &T::SetUpdAutoRec);
  P.Bool("ShowIcons", &T::ShowIcons, &T::SetShowIcons);
  P.Str("FileMask", &T::FileMask, &T::SetFileMask);
  P.Bool("FileMaskUse", &T::FileMaskUse, &T::SetFileMaskUse);
  P.Enum("FileSortType", &T::FileSortType, &T::SetFileSortType, FileSortTypeNames());
  P.Enum("FileSortOrder", &T::FileSortOrder, &T::SetFileSortOrder, FileSortOrderNames());
  P.Event("OnFileAdd", &T::OnFileAdd);
  P.Enum("PopupMenuMode", &T::PopupMenuMode, &T::SetPopupMenuMode, PopupMenuModeNames());
  P.Obj<TPopupMenu>("PopupMenu", &T::PopupMenu, &T::SetPopupMenu);
  P.Bool("ShowMessages", &T::ShowMessages, &T::SetShowMessages);
  P.Event("OnPopupMenu", &T::OnPopupMenu);
  P.Event("OnSystemContextMenu", &T::OnSystemContextMenu);
  PublishTreeViewProperties(P);
END_CLASS_INFO

void RegisterShellTreeClasses() {
  static const bool Registered = [] {
    RegisterComponentClass(TShellTree::StaticClassInfo());
    return true;
  }();
  (void)Registered;
}

TShellTree::TShellTree(TComponent* Owner)
    : TCustomTreeView(Owner),
      // Top-level: a message-only window never hears the device broadcasts.
      NotifyWindow_([this](UINT Msg, WPARAM W, LPARAM L, LRESULT& Result) { return NotifyMessage(Msg, W, L, Result); },
                    TMessageWindow::THiddenTopLevel{}, this),
      UserRootId_(reinterpret_cast<LPITEMIDLIST>(EmptyIdList)) {
  if (FAILED(SHGetMalloc(&Allocator_)) || FAILED(SHGetDesktopFolder(&DesktopFolder_))) throw std::bad_alloc();
  Compare_ = [this](TTreeNode* N1, TTreeNode* N2, intptr_t Param) { return CompareNodes(N1, N2, Param); };
  Height_ = 270;
  Width_ = 170;
  SetHideSelection(false);
  Masks_.Add("*.*");
}

TShellTree::~TShellTree() {
  // Every node and its monitor go while the allocator and the desktop folder are here.
  Destroying();
  ++Busy_;
  PendingReports_.clear();
  Items()->Clear();
  RootNode_ = nullptr;
  FreeIdList(Allocator_.Get(), UserRootId_);
  FreeIdList(Allocator_.Get(), DesktopId_);
  FreeIdList(Allocator_.Get(), DrivesId_);
  if (PopupMenu_) PopupMenu_->RemoveFreeNotification(this);
}

TShellTree::TBusy::~TBusy() {
  if (--Tree_.Busy_ == 0 && (!Tree_.PendingReports_.empty() || Tree_.DrivesPending_) && !Tree_.ServePosted_ &&
      !Tree_.IsDestroying()) {
    Tree_.ServePosted_ = PostMessageA(Tree_.NotifyWindow(), CM_SERVEPENDING, 0, 0) != 0;
  }
}

// --- Properties ------------------------------------------------------------------------

void TShellTree::SetShowVirtualFolders(bool Value) {
  if (ShowVirtualFolders_ == Value) return;
  ShowVirtualFolders_ = Value;
  if (!Loading()) RefreshTree();
}

void TShellTree::SetShowSharedOverlay(bool Value) {
  if (ShowSharedOverlay_ == Value) return;
  ShowSharedOverlay_ = Value;
  RefreshTree();
}

void TShellTree::SetShowLinkOverlay(bool Value) {
  if (ShowLinkOverlay_ == Value) return;
  ShowLinkOverlay_ = Value;
  RefreshTree();
}

void TShellTree::SetRootUsePIDL(bool Value) {
  if (RootUsePIDL_ == Value) return;
  RootUsePIDL_ = Value;
  if (HandleAllocated()) Rebuild(0);
}

void TShellTree::SetRootPIDL(TPidls Value) {
  if (RootPIDL_ == Value) return;
  RootPIDL_ = Value;
  if (HandleAllocated() && RootUsePIDL_) Rebuild(1);
}

void TShellTree::SetRootDir(const std::string& Value) {
  const std::string Dir = NormalizePath(Value);
  if (Dir.empty() || Dir == RootDir_) return;
  RootDir_ = Dir;
  if (HandleAllocated() && !RootUsePIDL_) Rebuild(2);
}

void TShellTree::SetOptions(TVisOptions Value) {
  if (Options_ == Value) return;
  Options_ = Value;
  if (HandleAllocated()) RefreshTree();
}

void TShellTree::SetShowIcons(bool Value) {
  ShowIcons_ = Value;
  if (!Loading()) SetImages(Value ? SystemImages_ : nullptr);
}

std::string TShellTree::FileMask() const {
  std::string Joined;
  for (int I = 0; I < Masks_.Count(); ++I) Joined += (I ? ";" : "") + Masks_.Get(I);
  return Joined;
}

void TShellTree::SetFileMask(const std::string& Value) {
  std::string Masks = Trim(Value).empty() ? std::string("*.*") : Value;
  Masks_.Clear();
  size_t Start = 0;
  for (;;) {
    const size_t End = Masks.find(';', Start);
    std::string Piece = Trim(Masks.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
    if (!Piece.empty()) Masks_.Add(Piece);
    if (End == std::string::npos) break;
    Start = End + 1;
  }
  if (Options_.Contains(TF_NONFOLDERS)) RefreshTree();
}

void TShellTree::SetFileMaskUse(bool Value) {
  if (FileMaskUse_ == Value) return;
  FileMaskUse_ = Value;
  if (Options_.Contains(TF_NONFOLDERS)) RefreshTree();
}

void TShellTree::SetFileSortType(TFileSortType Value) {
  if (FileSortType_ == Value) return;
  FileSortType_ = Value;
  SortChildren(RootNode_, true);
}

void TShellTree::SetFileSortOrder(TFileSortOrder Value) {
  if (FileSortOrder_ == Value) return;
  FileSortOrder_ = Value;
  SortChildren(RootNode_, true);
}

void TShellTree::SetPopupMenu(TPopupMenu* Value) {
  if (PopupMenu_ == Value) return;
  if (PopupMenu_) PopupMenu_->RemoveFreeNotification(this);
  PopupMenu_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TShellTree::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomTreeView::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == PopupMenu_) PopupMenu_ = nullptr;
}

// --- Building -----------------------------------------------------------------------------

void TShellTree::Loaded() {
  TCustomTreeView::Loaded();
  Rebuild(0);
}

void TShellTree::CreateWnd() {
  TCustomTreeView::CreateWnd();
  InitSpecialIds();
  FindOwnerWindow();
  if (!ImagesReady_ && !Loading()) Rebuild(0);
}

void TShellTree::InitSpecialIds() {
  if (!DesktopId_) SHGetSpecialFolderLocation(Handle_, CSIDL_DESKTOP, &DesktopId_);
  if (!DrivesId_) SHGetSpecialFolderLocation(Handle_, CSIDL_DRIVES, &DrivesId_);
}

void TShellTree::FindOwnerWindow() {
  if (TForm* Form = GetParentForm(this); Form && Form->HandleAllocated()) OwnerWindow_ = Form->Handle();
  else if (Parent() && Parent()->HandleAllocated()) OwnerWindow_ = Parent()->Handle();
  else OwnerWindow_ = Handle_;
}

void TShellTree::PrepareImages() {
  if (!ImagesReady_) InitImageList();
  ImagesReady_ = true;
}

void TShellTree::InitImageList() {
  TShellIdList Desktop(Allocator_.Get());
  if (FAILED(SHGetSpecialFolderLocation(MessageOwner(), CSIDL_DESKTOP, Desktop.Receive()))) return;
  SHFILEINFOA Info{};
  SystemImages_ = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(reinterpret_cast<LPCSTR>(Desktop.Get()), 0, &Info,
                                                               sizeof(Info),
                                                               SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (ShowIcons_) SetImages(SystemImages_);
}

void TShellTree::Rebuild(int Mode) {
  Items()->BeginUpdate();
  TScopeGuard EndUpdate([this] { Items()->EndUpdate(); });
  if (!ImagesReady_) PrepareImages();
  if (Loading()) return;
  const std::string OldPath = Path(), OldRoot = RootDir_;
  ResetRoot();
  // A path asked for before there were nodes to select.
  if (!PendingPath_.empty()) SelectPath(std::exchange(PendingPath_, std::string()));
  if (Mode == 2) SetPath(OldPath);
  if (OldRoot.size() > 1 && Mode != 2) SetRootDir(OldRoot);
}

void TShellTree::ResetRoot() {
  TBusy Busy(*this);
  RootNode_ = nullptr;
  Items()->Clear();
  InitRoot();
}

void TShellTree::InitRoot() {
  TShellIdList List(Allocator_.Get());
  if (RootUsePIDL_) {
    const int Csidl = FolderKindToCsidl(RootPIDL_);
    if (Csidl == -1) {
      LPITEMIDLIST Copy = nullptr;
      CopyIdList(Allocator_.Get(), UserRootId_, Copy);
      *List.Receive() = Copy;
    } else if (FAILED(SHGetSpecialFolderLocation(MessageOwner(), Csidl, List.Receive()))) {
      SHGetSpecialFolderLocation(MessageOwner(), CSIDL_DESKTOP, List.Receive());
    }
  } else if (!ParsePath(DesktopFolder_.Get(), RootDir_, true, List)) {
    ParsePath(DesktopFolder_.Get(), "C:\\", true, List);
  }
  AddRootNode(List.Detach());
}

void TShellTree::AddRootNode(LPITEMIDLIST List) {
  RootNode_ = nullptr;
  auto* Node = static_cast<TShellNode*>(Items()->AddChild(nullptr, ""));
  Node->SetItem(DesktopFolder_.Get(), List, false);
  Node->RefreshText();
  Node->SetHasChildren(true);
  Node->UpdateIcons();
  RootReady_ = true;
  Node->SetExpanded(true);
  Node->SetSelected(true);
  RootNode_ = Node;
  if (!RootUsePIDL_) RootDir_ = PathFromIdList(Node->Info.RelativeId);
}

TTreeNode* TShellTree::CreateNode() { return new TShellNode(Items()); }

// --- The notify window ------------------------------------------------------------------

bool TShellTree::NotifyMessage(UINT Msg, WPARAM W, LPARAM L, LRESULT& Result) {
  if (IsDestroying()) return false;
  if (Msg == CM_SERVEPENDING) {
    ServePosted_ = false;
    ServePending();
    return true;
  }
  if (Msg == WM_DEVICECHANGE) {
    Result = DeviceChanged(Msg, W, L);
    return true;
  }
  // DefWindowProc has the rest: a top-level window that answered 0 to everything
  // would block the user's logoff.
  return false;
}

LRESULT TShellTree::DeviceChanged(UINT, WPARAM Event, LPARAM) {
  // Other device events come whenever any device comes or goes: nothing to do.
  if (Event != DBT_DEVICEARRIVAL && Event != DBT_DEVICEREMOVECOMPLETE) return TRUE;
  if (Busy_) {
    DrivesPending_ = true;
    return TRUE;
  }
  DrivesChanged();
  return TRUE;
}
