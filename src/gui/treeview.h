// gui/ layer 4 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Tree views over comctl32's tree view control.
//
//   TTreeNode        one item: text, image indexes, expand button, children, Data
//   TTreeNodes       the nodes of one tree (Items): adding, deleting, BeginUpdate
//   TCustomTreeView  the control: selection, expansion, label editing, custom sort,
//                    and the events a user of a tree expects (OnChange, OnExpanding,
//                    OnEditing, OnEdited, ...)
//   TTreeView        the same with its properties published for form resources
//
// The nodes belong to the object, not to the window: a tree can be filled before
// its window exists, and a window made again (RecreateWnd) gets every node back
// with its expansion and selection. While a window exists, each change to a node
// reaches it at once.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/controls.h"

// Makes TTreeView known to the form reader (RegisterGuiClasses does).
void RegisterTreeViewClasses();

class TTreeNodes;
class TCustomTreeView;

class TTreeNode : public TPersistent {
  DECLARE_CLASS(TTreeNode)
public:
  explicit TTreeNode(TTreeNodes* Owner);
  // Frees the children first, and leaves the parent and the window. Use Delete.
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return Owner_; }
  TCustomTreeView* TreeView() const;
  TTreeNode* Parent() const { return Parent_; }
  // The window's item; null while the tree has no window.
  HTREEITEM ItemId() const { return ItemId_; }

  int Count() const { return static_cast<int>(Children_.size()); }
  // Raises EListError out of range.
  TTreeNode* Item(int Index) const;
  TTreeNode* GetFirstChild() const { return Children_.empty() ? nullptr : Children_.front(); }
  TTreeNode* GetLastChild() const { return Children_.empty() ? nullptr : Children_.back(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // Position among the parent's children (or the top-level nodes).
  int Index() const;
  // 0 for a top-level node.
  int Level() const;
  bool HasAsParent(const TTreeNode* Ancestor) const;

  const std::string& Text() const { return Text_; }
  void SetText(const std::string& Value);
  // Whether the node shows an expand button, whatever its children (a tree that
  // reads children when a node is expanded sets it before it has any).
  bool HasChildren() const { return HasChildren_; }
  void SetHasChildren(bool Value);
  // Indexes into the tree's image list; -1 shows no image. The window asks for
  // them when it paints the node (GetImageIndex, OnGetImageIndex), so a tree can
  // find images only for the nodes that are seen. The overlay index is the overlay
  // image's number counted from 0 (-1: none).
  int ImageIndex() const { return ImageIndex_; }
  void SetImageIndex(int Value);
  int SelectedIndex() const { return SelectedIndex_; }
  void SetSelectedIndex(int Value);
  int OverlayIndex() const { return OverlayIndex_; }
  void SetOverlayIndex(int Value);

  bool Expanded() const;
  // Expanding asks the tree first (CanExpand, OnExpanding), collapsing too.
  void SetExpanded(bool Value);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  bool Selected() const;
  void SetSelected(bool Value);
  // Scrolls and expands the parents so that the node can be seen.
  void MakeVisible();
  // The node's rectangle in the tree's client area (only its text with TextOnly);
  // empty without a window or when the node is inside a collapsed parent.
  RECT DisplayRect(bool TextOnly) const;

  // Deletes the node with its subtree.
  void Delete();
  void DeleteChildren();
  // Starts editing the label (the window gets the focus); false when refused.
  bool EditText();
  void EndEdit(bool Cancel);

  // Sorts the children by Compare (negative: N1 first); Recurse sorts every level.
  using TCompare = std::function<int(TTreeNode* N1, TTreeNode* N2, intptr_t Data)>;
  bool CustomSort(const TCompare& Compare, intptr_t Data, bool Recurse = false);
  // Sorts the children by text, ignoring case.
  bool AlphaSort(bool Recurse = false);

  void* Data = nullptr;

private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void UpdateItem(UINT Mask);
  void RepaintItem();

  TTreeNodes* Owner_;
  TTreeNode* Parent_ = nullptr;
  std::vector<TTreeNode*> Children_;
  HTREEITEM ItemId_ = nullptr;
  std::string Text_;
  int ImageIndex_ = -1;
  int SelectedIndex_ = -1;
  int OverlayIndex_ = -1;
  int SortKey_ = 0;
  bool HasChildren_ = false;
  bool Expanded_ = false;
  bool Deleting_ = false;
};

class TTreeNodes : public TPersistent {
  DECLARE_CLASS(TTreeNodes)
public:
  explicit TTreeNodes(TCustomTreeView* Owner) : Owner_(Owner) {}
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return Owner_; }
  // Every node of the tree.
  int Count() const { return Count_; }
  TTreeNode* GetFirstNode() const { return Top_.empty() ? nullptr : Top_.front(); }
  int TopCount() const { return static_cast<int>(Top_.size()); }
  TTreeNode* TopItem(int Index) const;

  // A new last child of Parent (a new last top-level node for null).
  TTreeNode* AddChild(TTreeNode* Parent, const std::string& Text);
  TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& Text, void* Data);
  // A new first child of Parent.
  TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& Text);
  // A new node right before Sibling.
  TTreeNode* Insert(TTreeNode* Sibling, const std::string& Text);
  void Delete(TTreeNode* Node) { if (Node) Node->Delete(); }
  void Clear();

  // Held updates (nested) keep the window from painting until the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return UpdateCount_ > 0; }

  // The node of a window item; null for none.
  TTreeNode* GetNode(HTREEITEM Item) const;

private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* InsertNode(TTreeNode* Parent, size_t Position, const std::string& Text, void* Data);
  std::vector<TTreeNode*>& Siblings(TTreeNode* Parent) { return Parent ? Parent->Children_ : Top_; }

  TCustomTreeView* Owner_;
  std::vector<TTreeNode*> Top_;
  int Count_ = 0;
  int UpdateCount_ = 0;
};

using TTVChangedEvent = TEvent<TObject*, TTreeNode*>;
using TTVChangingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVExpandingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVExpandedEvent = TEvent<TObject*, TTreeNode*>;
using TTVEditingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVEditedEvent = TEvent<TObject*, TTreeNode*, std::string&>;
// Sender, Node1, Node2, Data, Compare (negative: Node1 first).
using TTVCompareEvent = TEvent<TObject*, TTreeNode*, TTreeNode*, intptr_t, int&>;

class TCustomTreeView : public TWinControl {
  DECLARE_CLASS(TCustomTreeView)
public:
  explicit TCustomTreeView(TComponent* Owner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return const_cast<TTreeNodes*>(&Items_); }
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* Node);
  // The node at a point of the client area, or null.
  TTreeNode* GetNodeAt(int X, int Y) const;
  bool IsEditing() const;

  // The image list for the nodes' images (not owned; null for none).
  HIMAGELIST Images() const { return Images_; }
  void SetImages(HIMAGELIST Value);

  bool ShowButtons() const { return HasStyle(TVS_HASBUTTONS); }
  void SetShowButtons(bool Value) { SetStyle(TVS_HASBUTTONS, Value); }
  bool ShowLines() const { return HasStyle(TVS_HASLINES); }
  void SetShowLines(bool Value) { SetStyle(TVS_HASLINES, Value); }
  bool ShowRoot() const { return HasStyle(TVS_LINESATROOT); }
  void SetShowRoot(bool Value) { SetStyle(TVS_LINESATROOT, Value); }
  bool ReadOnly() const { return !HasStyle(TVS_EDITLABELS); }
  void SetReadOnly(bool Value) { SetStyle(TVS_EDITLABELS, !Value); }
  bool HideSelection() const { return !HasStyle(TVS_SHOWSELALWAYS); }
  void SetHideSelection(bool Value) { SetStyle(TVS_SHOWSELALWAYS, !Value); }
  bool HotTrack() const { return HasStyle(TVS_TRACKSELECT); }
  void SetHotTrack(bool Value) { SetStyle(TVS_TRACKSELECT, Value); }
  bool RowSelect() const { return HasStyle(TVS_FULLROWSELECT); }
  void SetRowSelect(bool Value) { SetStyle(TVS_FULLROWSELECT, Value); }
  bool ToolTips() const { return !HasStyle(TVS_NOTOOLTIPS); }
  void SetToolTips(bool Value) { SetStyle(TVS_NOTOOLTIPS, !Value); }
  TBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  // Pixels a level is indented by; 0: the window's choice.
  int Indent() const { return Indent_; }
  void SetIndent(int Value);
  // A right click selects the node under the mouse.
  bool RightClickSelect() const { return RightClickSelect_; }
  void SetRightClickSelect(bool Value) { RightClickSelect_ = Value; }
  // Selecting a node expands it (and collapses the one selected before).
  bool AutoExpand() const { return AutoExpand_; }
  void SetAutoExpand(bool Value) { AutoExpand_ = Value; }
  // Milliseconds OnChange waits after the selection moved; 0: at once.
  int ChangeDelay() const { return ChangeDelay_; }
  void SetChangeDelay(int Value) { ChangeDelay_ = Value < 0 ? 0 : Value; }

  // Sorts the top-level nodes (Recurse: every level) by Compare.
  bool CustomSort(const TTreeNode::TCompare& Compare, intptr_t Data, bool Recurse = false);
  bool AlphaSort(bool Recurse = false);
  void FullExpand();
  void FullCollapse();

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVExpandingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVExpandedEvent OnDeletion;
  TTVCompareEvent OnCompare;
  // The window is about to paint Node's image: a handler may set its index now.
  TTVExpandedEvent OnGetImageIndex;
  TTVExpandedEvent OnGetSelectedIndex;

  void WndProc(TMessage& Message) override;

protected:
  friend class TTreeNode;
  friend class TTreeNodes;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void SaveWindowState() override;

  // What a new node is made of; a tree of its own node class overrides it.
  virtual TTreeNode* CreateNode();
  // The user or the program is expanding (collapsing) Node: false refuses.
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node) { OnExpanded(this, Node); }
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node) { OnCollapsed(this, Node); }
  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  // Whether the label of Node may be edited (OnEditing).
  virtual bool CanEdit(TTreeNode* Node);
  // The user finished editing Node's label with Text: OnEdited may change it, then
  // the node takes it.
  virtual void Edit(TTreeNode* Node, std::string Text);
  // Node is being deleted (its own destructor's start).
  virtual void Delete(TTreeNode* Node) { OnDeletion(this, Node); }
  // The window paints Node and asks for its image (selected image).
  virtual void GetImageIndex(TTreeNode* Node) { OnGetImageIndex(this, Node); }
  virtual void GetSelectedIndex(TTreeNode* Node) { OnGetSelectedIndex(this, Node); }

private:
  bool HasStyle(DWORD Bit) const { return (Style_ & Bit) != 0; }
  void SetStyle(DWORD Bit, bool On);
  void InsertItem(TTreeNode* Node);
  void InsertSubtree(TTreeNode* Node);
  void ForgetItems(TTreeNode* Node);
  HWND Wnd() const { return Handle_; }
  // Sorts Parent's children (the top-level nodes for null) in the object, then
  // the window's items into the same order.
  void SortNodes(TTreeNode* Parent, const TTreeNode::TCompare& Compare, intptr_t Data, bool Recurse);
  TTreeNode::TCompare TextCompare();
  static int CALLBACK CompareSortKeys(LPARAM L1, LPARAM L2, LPARAM);
  void NodeDeleting(TTreeNode* Node);
  bool ExpandNode(TTreeNode* Node, bool Expand);
  void Notify(TMessage& M);
  void FireChange(TTreeNode* Node);

  TTreeNodes Items_;
  HIMAGELIST Images_ = nullptr;
  DWORD Style_ = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS;
  TBorderStyle BorderStyle_ = bsSingle;
  int Indent_ = 0;
  bool RightClickSelect_ = false;
  bool AutoExpand_ = false;
  int ChangeDelay_ = 0;
  TTreeNode* Selected_ = nullptr;   // kept while there is no window
  TTreeNode* Changing_ = nullptr;   // the node whose expansion the program drives
  TTreeNode* PendingChange_ = nullptr;
  bool AnsweringImage_ = false;     // inside the window's question for an image
  UINT_PTR ChangeTimer_ = 0;
};

// A tree view with its properties published.
class TTreeView : public TCustomTreeView {
  DECLARE_CLASS(TTreeView)
public:
  explicit TTreeView(TComponent* Owner) : TCustomTreeView(Owner) {}
};

// Publishes the tree view properties and events every tree shares; a derived
// tree calls it in its own class information.
template <class C>
void PublishTreeViewProperties(TPublish<C>& P) {
  using T = TCustomTreeView;
  P.Bool("ShowButtons", &T::ShowButtons, &T::SetShowButtons, true);
  P.Bool("ShowLines", &T::ShowLines, &T::SetShowLines, true);
  P.Bool("ShowRoot", &T::ShowRoot, &T::SetShowRoot, true);
  P.Bool("ReadOnly", &T::ReadOnly, &T::SetReadOnly, false);
  P.Bool("HideSelection", &T::HideSelection, &T::SetHideSelection, true);
  P.Enum("BorderStyle", &T::BorderStyle, &T::SetBorderStyle, BorderStyleNames(), bsSingle);
  P.Int("Indent", &T::Indent, &T::SetIndent, 0);
  P.Bool("RightClickSelect", &T::RightClickSelect, &T::SetRightClickSelect, false);
  P.Bool("AutoExpand", &T::AutoExpand, &T::SetAutoExpand, false);
  P.Bool("HotTrack", &T::HotTrack, &T::SetHotTrack, false);
  P.Bool("RowSelect", &T::RowSelect, &T::SetRowSelect, false);
  P.Bool("ToolTips", &T::ToolTips, &T::SetToolTips, true);
  P.Int("ChangeDelay", &T::ChangeDelay, &T::SetChangeDelay, 0);
  PublishFont(P);
  PublishColor(P, clWindow, false);
  PublishTabStop(P, true);
  P.Event("OnChange", &T::OnChange);
  P.Event("OnChanging", &T::OnChanging);
  P.Event("OnCollapsed", &T::OnCollapsed);
  P.Event("OnCollapsing", &T::OnCollapsing);
  P.Event("OnCompare", &T::OnCompare);
  P.Event("OnDeletion", &T::OnDeletion);
  P.Event("OnEdited", &T::OnEdited);
  P.Event("OnEditing", &T::OnEditing);
  P.Event("OnExpanded", &T::OnExpanded);
  P.Event("OnExpanding", &T::OnExpanding);
  P.Event("OnGetImageIndex", &T::OnGetImageIndex);
  P.Event("OnGetSelectedIndex", &T::OnGetSelectedIndex);
}
