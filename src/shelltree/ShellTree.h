// ShellTree: a tree view over the shell namespace below a chosen root (a special
// folder such as the drives folder, or a folder path): drives, folders, virtual
// folders and, when asked, files.
//
//   TShellNode  one shell item: its identifier lists, its folder, its attributes,
//               and the monitor that watches its folder once its children were read
//   TShellTree  the control: children read on first expansion, Path read and
//               written (deep paths expand on the way), labels renamed in the shell,
//               the shell's context menu or an application menu on right click,
//               folders re-read when their monitor reports a change, the drives
//               folder re-read when a drive comes or goes
//
// Reports of the monitors run on the GUI thread. A report that arrives while the
// tree is changing its nodes (reading, deleting, walking them, or showing a menu)
// waits until the change is over, and one that arrives for a node already gone
// is dropped: no report ever runs on half-changed nodes.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classes/strings.h"
#include "gui/handles.h"
#include "gui/menus.h"
#include "gui/msgwindow.h"
#include "gui/treeview.h"
#include "shelltree/DiscMonitor.h"
#include "shelltree/ShellTree_helpers.h"

class TShellTree;

enum TFileSortType : uint8_t { so_Name, so_Size, so_Type, so_Date };
enum TFileSortOrder : uint8_t { so_Ascending, so_Descending };
enum TPopupMenuMode : uint8_t { pmm_System, pmm_PopupMenu };

class TShellNode;
// Filename (the file's full path), Attributes (SFGAO_), Allow.
using TOnFileAddEvent = TEvent<const std::string&, ULONG, bool&>;
using TOnPopupMenuEvent = TEvent<TShellNode*, bool&>;
using TSysCMenuPopupEvent = TEvent<TShellNode*, HMENU&>;

// What a node knows of its shell item.
struct TNodeInfo {
  LPITEMIDLIST RelativeId = nullptr;  // relative to ParentFolder (the root: absolute); owned
  LPITEMIDLIST AbsoluteId = nullptr;  // relative to the desktop; owned
  TComPtr<IShellFolder> ParentFolder;
  TComPtr<IShellFolder> Folder;       // the item's own folder, bound when first needed
  ULONG Attributes = 0;               // SFGAO_ bits as last reported
  bool Enumerated = false;            // children read since last cleared
  bool Seen = false;                  // still reported by the shell in this reading
};

class TShellNode : public TTreeNode {
  DECLARE_CLASS(TShellNode)
public:
  explicit TShellNode(TTreeNodes* Owner);
  // Stops the monitor (serving a report on its way) and frees the lists.
  ~TShellNode() override;

  // The tree the node belongs to.
  TShellTree* Tree() const;
  TShellNode* Child(int Index) const { return static_cast<TShellNode*>(Item(Index)); }
  TShellNode* ParentNode() const { return static_cast<TShellNode*>(Parent()); }

  // The item's own folder: bound on first request (a failed bind is tried again
  // next time); a node with an empty relative list stands for its parent folder.
  IShellFolder* GetFolder();
  void BindFolder();
  void ReleaseFolder();
  // Gives the node its item in ParentFolder (the node takes Item); Recurse gives
  // every descendant new absolute lists too.
  void SetItem(IShellFolder* ParentFolder, LPITEMIDLIST Item, bool Recurse);
  void RefreshText() { SetText(GetDisplayName()); }
  virtual std::string GetDisplayName();
  // The item's file-system path; empty for virtual folders.
  std::string NodePath() const { return PathFromIdList(Info.AbsoluteId); }
  bool IsFile() const;
  // Images from the system image list; overlays for shared items and shortcuts.
  // The overlay is set at once; the images (slow to find) when the node is first
  // painted, through LoadIcons.
  virtual void UpdateIcons();
  void LoadIcons();
  // Renames the item in the shell; false when the name is the same or the shell refuses.
  virtual bool Rename(const std::string& NewName);
  // The monitor's report: re-reads the node when it is expanded and the tree follows changes.
  void FolderChanged();

  bool FolderBound = false;
  bool OwnsMonitor = false;
  bool IconsKnown = false;
  TNodeInfo Info;
  std::unique_ptr<TDiscMonitorThread> Monitor;
};

class TShellTree : public TCustomTreeView {
  DECLARE_CLASS(TShellTree)
public:
  explicit TShellTree(TComponent* Owner);
  ~TShellTree() override;

  // --- Published properties ---
  bool About() const { return About_; }
  void SetAbout(bool Value) { About_ = Value; }
  bool ShowVirtualFolders() const { return ShowVirtualFolders_; }
  void SetShowVirtualFolders(bool Value);
  bool ShowSharedOverlay() const { return ShowSharedOverlay_; }
  void SetShowSharedOverlay(bool Value);
  bool ShowLinkOverlay() const { return ShowLinkOverlay_; }
  void SetShowLinkOverlay(bool Value);
  bool RootUsePIDL() const { return RootUsePIDL_; }
  void SetRootUsePIDL(bool Value);
  TPidls RootPIDL() const { return RootPIDL_; }
  void SetRootPIDL(TPidls Value);
  const std::string& RootDir() const { return RootDir_; }
  void SetRootDir(const std::string& Value);
  TVisOptions Options() const { return Options_; }
  void SetOptions(TVisOptions Value);
  // The selected node's path; writing selects a path (cut back to what exists).
  std::string Path() const;
  void SetPath(const std::string& Value);
  bool UpdAutoThread() const { return UpdAutoThread_; }
  void SetUpdAutoThread(bool Value) { UpdAutoThread_ = Value; }
  bool UpdAuto() const { return UpdAuto_; }
  void SetUpdAuto(bool Value) { UpdAuto_ = Value; }
  bool UpdAutoRec() const { return UpdAutoRec_; }
  void SetUpdAutoRec(bool Value) { UpdAutoRec_ = Value; }
  bool ShowIcons() const { return ShowIcons_; }
  void SetShowIcons(bool Value);
  // ";"-separated file masks.
  std::string FileMask() const;
  void SetFileMask(const std::string& Value);
  bool FileMaskUse() const { return FileMaskUse_; }
  void SetFileMaskUse(bool Value);
  TFileSortType FileSortType() const { return FileSortType_; }
  void SetFileSortType(TFileSortType Value);
  TFileSortOrder FileSortOrder() const { return FileSortOrder_; }
  void SetFileSortOrder(TFileSortOrder Value);
  TPopupMenuMode PopupMenuMode() const { return PopupMenuMode_; }
  void SetPopupMenuMode(TPopupMenuMode Value) { PopupMenuMode_ = Value; }
  TPopupMenu* PopupMenu() const { return PopupMenu_; }
  void SetPopupMenu(TPopupMenu* Value);
  bool ShowMessages() const { return ShowMessages_; }
  void SetShowMessages(bool Value) { ShowMessages_ = Value; }

  TOnFileAddEvent OnFileAdd;
  TOnPopupMenuEvent OnPopupMenu;
  // Stored with the form; the tree does not raise it.
  TSysCMenuPopupEvent OnSystemContextMenu;

  // --- Operations ---
  // Re-reads every expanded folder under the root, keeping unchanged nodes.
  void RefreshTree();
  void RefreshNode(TShellNode* Node, bool Recursive);
  // Sorts Node's children (Recursive: every level below it).
  void SortChildren(TShellNode* Node, bool Recursive);
  // Selects the node of Path, expanding the folders on the way.
  void SelectPath(const std::string& Path);
  // The node of an absolute identifier list (the deepest one matched when the list
  // leads off the tree); Expand reads the folders on the way.
  TShellNode* FindNode(LPCITEMIDLIST List, bool Expand);
  // Parses Path within Folder into List (held through the tree's allocator).
  bool ParsePath(IShellFolder* Folder, const std::string& Path, bool Normalise, TShellIdList& List);
  // The device broadcast's work: the drives folder's node read again.
  void DrivesChanged();

  TShellNode* RootNode() const { return RootNode_; }
  IMalloc* Allocator() const { return Allocator_.Get(); }
  IShellFolder* DesktopFolder() const { return DesktopFolder_.Get(); }
  // The hidden top-level window that hears the device broadcasts.
  HWND NotifyWindow() const { return NotifyWindow_.Handle(); }
  // The window shell calls may show messages over (none when ShowMessages is false).
  HWND MessageOwner() const { return ShowMessages_ ? OwnerWindow_ : nullptr; }
  HIMAGELIST SystemImages() const { return SystemImages_; }
  // The list PIDL_USERDEFINED roots the tree at; the empty list (the desktop) by default.
  LPCITEMIDLIST UserRootId() const { return UserRootId_; }
  DWORD NotifyFilter() const { return NotifyFilter_; }

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;

protected:
  void CreateWnd() override;
  TTreeNode* CreateNode() override;
  bool CanExpand(TTreeNode* Node) override;
  bool CanEdit(TTreeNode* Node) override;
  void GetImageIndex(TTreeNode* Node) override;
  void GetSelectedIndex(TTreeNode* Node) override;
  void Edit(TTreeNode* Node, std::string Text) override;

  virtual void InitImageList();
  virtual bool DoPopupMenu(TShellNode* Node);
  virtual void InitRoot();

private:
  friend class TShellNode;
  // Held while nodes change: reports that arrive meanwhile wait for the end.
  class TBusy {
  public:
    explicit TBusy(TShellTree& Tree) : Tree_(Tree) { ++Tree_.Busy_; }
    ~TBusy();
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

  private:
    TShellTree& Tree_;
  };
  class TSeenIndex;

  bool Loading() const { return ComponentState().Contains(csLoading); }
  void InitSpecialIds();
  void FindOwnerWindow();
  void PrepareImages();
  void Rebuild(int Mode);
  void ResetRoot();
  void AddRootNode(LPITEMIDLIST List);
  void EnumerateNode(TShellNode* Node);
  void AddChildItem(TShellNode* Parent, LPITEMIDLIST Item, TSeenIndex& Index);
  bool ProbeForChildren(TShellNode* Node);
  void DeleteUnseen(TShellNode* Node);
  void FireFileAdd(const std::string& Name, ULONG Attributes, bool& Allow);
  int CompareNodes(TTreeNode* N1, TTreeNode* N2, intptr_t Param);
  void StartMonitor(TShellNode* Node);
  void ContextMenu(TMessage& Message);
  void ShowShellMenu(TShellNode* Node, POINT Point);
  LRESULT DeviceChanged(UINT Message, WPARAM WParam, LPARAM LParam);
  void ReloadNode(TShellNode* Node);
  // A node's report, now or (while the tree is busy) later.
  void FolderReport(TShellNode* Node);
  // Reads Node again once the tree is no longer busy.
  void Defer(TShellNode* Node);
  void ServePending();
  void NodeGone(TShellNode* Node);
  void ChangedByRename(TShellNode* Node) { Change(Node); }
  // The notify window's messages: device broadcasts, and CM_SERVEPENDING, which
  // runs the reports that waited while the tree was busy.
  bool NotifyMessage(UINT Msg, WPARAM W, LPARAM L, LRESULT& Result);

  // The allocator goes last: the nodes and lists below still free through it.
  TComPtr<IMalloc> Allocator_;
  TComPtr<IShellFolder> DesktopFolder_;
  std::string PendingPath_;
  TMessageWindow NotifyWindow_;
  LPITEMIDLIST DesktopId_ = nullptr;
  LPITEMIDLIST DrivesId_ = nullptr;
  bool About_ = false;
  std::string RootDir_ = "C:\\";
  TPidls RootPIDL_ = PIDL_DESKTOP;
  TVisOptions Options_{TF_FOLDERS};
  bool RootUsePIDL_ = true;
  bool RootReady_ = false;
  bool ImagesReady_ = false;
  bool UpdAutoThread_ = true;
  bool UpdAuto_ = true;
  bool UpdAutoRec_ = false;
  bool ShowIcons_ = true;
  LPITEMIDLIST UserRootId_;
  bool ShowVirtualFolders_ = true;
  TStringList Masks_;
  bool FileMaskUse_ = false;
  TFileSortType FileSortType_ = so_Name;
  TFileSortOrder FileSortOrder_ = so_Ascending;
  bool ShowSharedOverlay_ = true;
  bool ShowLinkOverlay_ = true;
  TPopupMenuMode PopupMenuMode_ = pmm_System;
  TPopupMenu* PopupMenu_ = nullptr;  // not owned
  HWND OwnerWindow_ = nullptr;
  bool ShowMessages_ = true;
  DWORD NotifyFilter_ = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
  TTreeNode::TCompare Compare_;
  HIMAGELIST SystemImages_ = nullptr;
  TShellNode* RootNode_ = nullptr;

  int Busy_ = 0;
  bool ServePosted_ = false;
  bool DrivesPending_ = false;
  std::vector<TShellNode*> PendingReports_;  // nodes whose report waits, in order
  TShellNode* MenuSelected_ = nullptr;       // the selection before a context menu
};

// Registers the tree's classes for form resources; call at start-up.
void RegisterShellTreeClasses();
