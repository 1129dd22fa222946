#include "gui/treeview.h"

#include <algorithm>
#include <cstring>

#include "classes/sysutils.h"
#include "gui/handles.h"

void RegisterTreeViewClasses() { RegisterComponentClass(TTreeView::StaticClassInfo()); }

namespace {

constexpr UINT_PTR ChangeTimerId = 1;

// A merge sort that stays inside the range whatever the comparison answers
// (a shell's comparison need not be a strict order).
template <class Less>
void MergeSort(std::vector<TTreeNode*>& V, Less L) {
  std::vector<TTreeNode*> Buffer(V.size());
  for (size_t Width = 1; Width < V.size(); Width *= 2) {
    for (size_t Lo = 0; Lo < V.size(); Lo += 2 * Width) {
      size_t Mid = std::min(Lo + Width, V.size()), Hi = std::min(Lo + 2 * Width, V.size());
      size_t A = Lo, B = Mid, Out = Lo;
      while (A < Mid && B < Hi) Buffer[Out++] = L(V[B], V[A]) ? V[B++] : V[A++];
      while (A < Mid) Buffer[Out++] = V[A++];
      while (B < Hi) Buffer[Out++] = V[B++];
    }
    V.swap(Buffer);
  }
}

}  // namespace

// --- Nodes ------------------------------------------------------------------------

BEGIN_CLASS_INFO(TTreeNode, TPersistent, nullptr)
END_CLASS_INFO

TTreeNode::TTreeNode(TTreeNodes* Owner) : Owner_(Owner) {}

TTreeNode::~TTreeNode() {
  Deleting_ = true;
  TCustomTreeView* TV = TreeView();
  TV->NodeDeleting(this);
  // One window message removes the whole subtree's items.
  if (ItemId_ && TV->Wnd()) {
    HTREEITEM Item = ItemId_;
    TV->ForgetItems(this);
    SendMessageA(TV->Wnd(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Item));
  }
  std::vector<TTreeNode*> Kids;
  Kids.swap(Children_);
  while (!Kids.empty()) {
    TTreeNode* Kid = Kids.back();
    Kids.pop_back();
    delete Kid;
  }
  auto& Siblings = Owner_->Siblings(Parent_);
  if (auto It = std::find(Siblings.rbegin(), Siblings.rend(), this); It != Siblings.rend())
    Siblings.erase(std::next(It).base());
  --Owner_->Count_;
}

TCustomTreeView* TTreeNode::TreeView() const { return Owner_->Owner(); }

TTreeNode* TTreeNode::Item(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(Msg::ListIndexError, Index));
  return Children_[static_cast<size_t>(Index)];
}

int TTreeNode::Index() const {
  const auto& S = Owner_->Siblings(Parent_);
  auto It = std::find(S.begin(), S.end(), this);
  return It == S.end() ? -1 : static_cast<int>(It - S.begin());
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const auto& S = Owner_->Siblings(Parent_);
  int I = Index();
  return I >= 0 && I + 1 < static_cast<int>(S.size()) ? S[static_cast<size_t>(I) + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  int I = Index();
  return I > 0 ? Owner_->Siblings(Parent_)[static_cast<size_t>(I) - 1] : nullptr;
}

int TTreeNode::Level() const {
  int L = 0;
  for (TTreeNode* P = Parent_; P; P = P->Parent_) ++L;
  return L;
}

bool TTreeNode::HasAsParent(const TTreeNode* Ancestor) const {
  for (TTreeNode* P = Parent_; P; P = P->Parent_)
    if (P == Ancestor) return true;
  return false;
}

void TTreeNode::SetText(const std::string& Value) {
  if (Text_ == Value) return;
  Text_ = Value;
  UpdateItem(TVIF_TEXT);
}

void TTreeNode::SetHasChildren(bool Value) {
  if (HasChildren_ == Value) return;
  HasChildren_ = Value;
  UpdateItem(TVIF_CHILDREN);
}

void TTreeNode::SetImageIndex(int Value) {
  if (ImageIndex_ == Value) return;
  ImageIndex_ = Value;
  RepaintItem();
}

void TTreeNode::SetSelectedIndex(int Value) {
  if (SelectedIndex_ == Value) return;
  SelectedIndex_ = Value;
  RepaintItem();
}

// The window asks for the images when it paints: a changed one needs a new painting.
void TTreeNode::RepaintItem() {
  TCustomTreeView* TV = TreeView();
  if (!ItemId_ || !TV->Wnd() || TV->AnsweringImage_) return;
  RECT R = DisplayRect(false);
  if (R.right > R.left) InvalidateRect(TV->Wnd(), &R, FALSE);
}

void TTreeNode::SetOverlayIndex(int Value) {
  if (OverlayIndex_ == Value) return;
  OverlayIndex_ = Value;
  UpdateItem(TVIF_STATE);
}

void TTreeNode::UpdateItem(UINT Mask) {
  HWND Wnd = TreeView()->Wnd();
  if (!ItemId_ || !Wnd) return;
  TVITEMA Item{};
  Item.mask = Mask | TVIF_HANDLE;
  Item.hItem = ItemId_;
  Item.pszText = const_cast<char*>(Text_.c_str());
  Item.cChildren = HasChildren_ ? 1 : 0;
  Item.state = INDEXTOOVERLAYMASK(OverlayIndex_ + 1);
  Item.stateMask = TVIS_OVERLAYMASK;
  SendMessageA(Wnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
}

bool TTreeNode::Expanded() const {
  HWND Wnd = TreeView()->Wnd();
  if (!ItemId_ || !Wnd) return Expanded_;
  return (SendMessageA(Wnd, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(ItemId_), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TTreeNode::SetExpanded(bool Value) { TreeView()->ExpandNode(this, Value); }

void TTreeNode::Expand(bool Recurse) {
  SetExpanded(true);
  if (Recurse)
    for (size_t I = 0; I < Children_.size(); ++I) Children_[I]->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
  if (Recurse)
    for (size_t I = 0; I < Children_.size(); ++I) Children_[I]->Collapse(true);
  SetExpanded(false);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool Value) {
  TCustomTreeView* TV = TreeView();
  if (Value) TV->SetSelected(this);
  else if (TV->Selected() == this) TV->SetSelected(nullptr);
}

void TTreeNode::MakeVisible() {
  if (HWND Wnd = TreeView()->Wnd(); Wnd && ItemId_)
    SendMessageA(Wnd, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(ItemId_));
}

RECT TTreeNode::DisplayRect(bool TextOnly) const {
  RECT R{};
  HWND Wnd = TreeView()->Wnd();
  if (!Wnd || !ItemId_) return R;
  HTREEITEM Item = ItemId_;
  std::memcpy(&R, &Item, sizeof(Item));  // the message takes the item in the rectangle
  if (!SendMessageA(Wnd, TVM_GETITEMRECT, TextOnly, reinterpret_cast<LPARAM>(&R))) R = RECT{};
  return R;
}

void TTreeNode::Delete() {
  if (!Deleting_) delete this;
}

void TTreeNode::DeleteChildren() {
  while (!Children_.empty()) Children_.back()->Delete();
}

bool TTreeNode::EditText() {
  TCustomTreeView* TV = TreeView();
  if (!ItemId_ || !TV->Wnd()) return false;
  SetFocus(TV->Wnd());
  return SendMessageA(TV->Wnd(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(ItemId_)) != 0;
}

void TTreeNode::EndEdit(bool Cancel) {
  if (HWND Wnd = TreeView()->Wnd()) SendMessageA(Wnd, TVM_ENDEDITLABELNOW, Cancel, 0);
}

bool TTreeNode::CustomSort(const TCompare& Compare, intptr_t Data, bool Recurse) {
  TreeView()->SortNodes(this, Compare, Data, Recurse);
  return true;
}

bool TTreeNode::AlphaSort(bool Recurse) { return CustomSort(TreeView()->TextCompare(), 0, Recurse); }

// --- The nodes of a tree ---------------------------------------------------------------

BEGIN_CLASS_INFO(TTreeNodes, TPersistent, nullptr)
END_CLASS_INFO

TTreeNodes::~TTreeNodes() { Clear(); }

TTreeNode* TTreeNodes::TopItem(int Index) const {
  if (Index < 0 || Index >= TopCount()) throw EListError(Format(Msg::ListIndexError, Index));
  return Top_[static_cast<size_t>(Index)];
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& Text) {
  return InsertNode(Parent, Siblings(Parent).size(), Text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& Text, void* Data) {
  return InsertNode(Parent, Siblings(Parent).size(), Text, Data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const std::string& Text) {
  return InsertNode(Parent, 0, Text, nullptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const std::string& Text) {
  if (!Sibling) return AddChild(nullptr, Text);
  return InsertNode(Sibling->Parent(), static_cast<size_t>(Sibling->Index()), Text, nullptr);
}

TTreeNode* TTreeNodes::InsertNode(TTreeNode* Parent, size_t Position, const std::string& Text, void* Data) {
  TTreeNode* N = Owner_->CreateNode();
  N->Parent_ = Parent;
  N->Text_ = Text;
  N->Data = Data;
  auto& S = Siblings(Parent);
  S.insert(S.begin() + static_cast<std::ptrdiff_t>(std::min(Position, S.size())), N);
  ++Count_;
  if (Parent) Parent->SetHasChildren(true);
  Owner_->InsertItem(N);
  return N;
}

void TTreeNodes::Clear() {
  if (Top_.empty()) return;
  if (HWND Wnd = Owner_->Wnd()) {
    for (TTreeNode* N : Top_) Owner_->ForgetItems(N);
    SendMessageA(Wnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  }
  std::vector<TTreeNode*> Nodes;
  Nodes.swap(Top_);
  while (!Nodes.empty()) {
    TTreeNode* N = Nodes.back();
    Nodes.pop_back();
    delete N;
  }
}

void TTreeNodes::BeginUpdate() {
  if (UpdateCount_++ == 0)
    if (HWND Wnd = Owner_->Wnd()) SendMessageA(Wnd, WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (UpdateCount_ == 0 || --UpdateCount_ > 0) return;
  if (HWND Wnd = Owner_->Wnd()) {
    SendMessageA(Wnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Wnd, nullptr, TRUE);
  }
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM Item) const {
  HWND Wnd = Owner_->Wnd();
  if (!Item || !Wnd) return nullptr;
  TVITEMA TV{};
  TV.mask = TVIF_PARAM | TVIF_HANDLE;
  TV.hItem = Item;
  if (!SendMessageA(Wnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&TV))) return nullptr;
  return reinterpret_cast<TTreeNode*>(TV.lParam);
}

// --- The control -------------------------------------------------------------------

BEGIN_CLASS_INFO(TCustomTreeView, TWinControl, nullptr)
END_CLASS_INFO

BEGIN_CLASS_INFO(TTreeView, TCustomTreeView, ComponentCreator<TTreeView>)
  PublishTreeViewProperties(P);
END_CLASS_INFO

TCustomTreeView::TCustomTreeView(TComponent* Owner) : TWinControl(Owner), Items_(this) {
  Width_ = 121;
  Height_ = 97;
  TabStop_ = true;
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomTreeView::~TCustomTreeView() {
  Destroying();
  Items_.Clear();
}

int CALLBACK TCustomTreeView::CompareSortKeys(LPARAM L1, LPARAM L2, LPARAM) {
  return reinterpret_cast<TTreeNode*>(L1)->SortKey_ - reinterpret_cast<TTreeNode*>(L2)->SortKey_;
}

TTreeNode* TCustomTreeView::CreateNode() { return new TTreeNode(&Items_); }

void TCustomTreeView::SetStyle(DWORD Bit, bool On) {
  DWORD Style = On ? (Style_ | Bit) : (Style_ & ~Bit);
  if (Style == Style_) return;
  Style_ = Style;
  if (!Handle_) return;
  LONG_PTR S = GetWindowLongPtrA(Handle_, GWL_STYLE);
  SetWindowLongPtrA(Handle_, GWL_STYLE, On ? (S | Bit) : (S & ~static_cast<LONG_PTR>(Bit)));
  InvalidateRect(Handle_, nullptr, TRUE);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
  if (BorderStyle_ == Value) return;
  BorderStyle_ = Value;
  RecreateWnd();
}

void TCustomTreeView::SetIndent(int Value) {
  Indent_ = Value;
  if (Handle_ && Value > 0) SendMessageA(Handle_, TVM_SETINDENT, Value, 0);
}

void TCustomTreeView::SetImages(HIMAGELIST Value) {
  Images_ = Value;
  if (Handle_) SendMessageA(Handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Value));
}

void TCustomTreeView::CreateParams(TCreateParams& P) {
  InitCommonControl(ICC_TREEVIEW_CLASSES);
  TWinControl::CreateParams(P);
  CreateSubClass(P, WC_TREEVIEWA);
  P.Style |= Style_;
  if (AutoExpand_) P.Style |= TVS_SINGLEEXPAND;
  if (BorderStyle_ == bsSingle) P.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  if (Images_) SendMessageA(Handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Images_));
  if (Indent_ > 0) SendMessageA(Handle_, TVM_SETINDENT, Indent_, 0);
  if (Color() != clWindow) SendMessageA(Handle_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  // The nodes made before the window (or kept from the last one) come back.
  Items_.BeginUpdate();
  for (TTreeNode* N : Items_.Top_) InsertSubtree(N);
  Items_.EndUpdate();
  if (Selected_ && Selected_->ItemId_) SendMessageA(Handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Selected_->ItemId_));
}

void TCustomTreeView::SaveWindowState() {
  TWinControl::SaveWindowState();
  Selected_ = Selected();
  std::function<void(TTreeNode*)> Keep = [&](TTreeNode* N) {
    N->Expanded_ = N->Expanded();
    for (TTreeNode* C : N->Children_) Keep(C);
    N->ItemId_ = nullptr;
  };
  for (TTreeNode* N : Items_.Top_) Keep(N);
}

void TCustomTreeView::InsertItem(TTreeNode* N) {
  if (!Handle_ || (N->Parent_ && !N->Parent_->ItemId_)) return;
  const auto& S = Items_.Siblings(N->Parent_);
  auto It = std::find(S.rbegin(), S.rend(), N);
  TVINSERTSTRUCTA Ins{};
  Ins.hParent = N->Parent_ ? N->Parent_->ItemId_ : TVI_ROOT;
  if (It == S.rbegin()) Ins.hInsertAfter = TVI_LAST;
  else if (std::next(It) == S.rend()) Ins.hInsertAfter = TVI_FIRST;
  else Ins.hInsertAfter = (*std::next(It))->ItemId_;
  TVITEMA& I = Ins.item;
  I.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
  I.pszText = const_cast<char*>(N->Text_.c_str());
  I.lParam = reinterpret_cast<LPARAM>(N);
  I.iImage = I_IMAGECALLBACK;
  I.iSelectedImage = I_IMAGECALLBACK;
  I.cChildren = N->HasChildren_ ? 1 : 0;
  I.state = INDEXTOOVERLAYMASK(N->OverlayIndex_ + 1);
  I.stateMask = TVIS_OVERLAYMASK;
  N->ItemId_ = reinterpret_cast<HTREEITEM>(SendMessageA(Handle_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Ins)));
}

void TCustomTreeView::InsertSubtree(TTreeNode* N) {
  InsertItem(N);
  for (TTreeNode* C : N->Children_) InsertSubtree(C);
  if (N->Expanded_ && N->ItemId_ && !N->Children_.empty()) {
    TTreeNode* Outer = std::exchange(Changing_, N);
    SendMessageA(Handle_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(N->ItemId_));
    Changing_ = Outer;
  }
}

void TCustomTreeView::ForgetItems(TTreeNode* N) {
  N->ItemId_ = nullptr;
  for (TTreeNode* C : N->Children_) ForgetItems(C);
}

void TCustomTreeView::NodeDeleting(TTreeNode* Node) {
  if (!IsDestroying()) Delete(Node);
  if (Selected_ == Node || (Selected_ && Selected_->HasAsParent(Node))) Selected_ = nullptr;
  if (PendingChange_ == Node) PendingChange_ = nullptr;
  if (Changing_ == Node) Changing_ = nullptr;
}

TTreeNode* TCustomTreeView::Selected() const {
  if (!Handle_) return Selected_;
  auto Item = reinterpret_cast<HTREEITEM>(SendMessageA(Handle_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  return Items_.GetNode(Item);
}

void TCustomTreeView::SetSelected(TTreeNode* Node) {
  if (Handle_ && (!Node || Node->ItemId_)) {
    SendMessageA(Handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Node ? Node->ItemId_ : nullptr));
    return;
  }
  if (Node == Selected_ || !CanChange(Node)) return;
  Selected_ = Node;
  Change(Node);
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) const {
  if (!Handle_) return nullptr;
  TVHITTESTINFO Hit{};
  Hit.pt = POINT{X, Y};
  auto Item = reinterpret_cast<HTREEITEM>(SendMessageA(Handle_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit)));
  if (!Item || !(Hit.flags & TVHT_ONITEM)) return nullptr;
  return Items_.GetNode(Item);
}

bool TCustomTreeView::IsEditing() const {
  return Handle_ && SendMessageA(Handle_, TVM_GETEDITCONTROL, 0, 0) != 0;
}

bool TCustomTreeView::ExpandNode(TTreeNode* Node, bool Expand) {
  if (Node->Expanded() == Expand) return true;
  if (Expand ? !CanExpand(Node) : !CanCollapse(Node)) return false;
  if (Handle_ && Node->ItemId_) {
    TTreeNode* Outer = std::exchange(Changing_, Node);
    SendMessageA(Handle_, TVM_EXPAND, Expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(Node->ItemId_));
    Changing_ = Outer;
    Node->Expanded_ = Node->Expanded();
  } else {
    Node->Expanded_ = Expand && !Node->Children_.empty();
  }
  if (Node->Expanded_ != Expand) return false;
  if (Expand) this->Expand(Node);
  else Collapse(Node);
  return true;
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool Allow = true;
  OnExpanding(this, Node, Allow);
  return Allow;
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool Allow = true;
  OnCollapsing(this, Node, Allow);
  return Allow;
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool Allow = true;
  OnChanging(this, Node, Allow);
  return Allow;
}

void TCustomTreeView::Change(TTreeNode* Node) { OnChange(this, Node); }

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
  bool Allow = true;
  OnEditing(this, Node, Allow);
  return Allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, std::string Text) {
  OnEdited(this, Node, Text);
  if (Node) Node->SetText(Text);
}

void TCustomTreeView::FireChange(TTreeNode* Node) {
  if (IsDestroying()) return;
  if (ChangeDelay_ > 0 && Handle_) {
    PendingChange_ = Node;
    ChangeTimer_ = SetTimer(Handle_, ChangeTimerId, static_cast<UINT>(ChangeDelay_), nullptr);
    return;
  }
  Change(Node);
}

bool TCustomTreeView::CustomSort(const TTreeNode::TCompare& Compare, intptr_t Data, bool Recurse) {
  SortNodes(nullptr, Compare, Data, Recurse);
  return true;
}

bool TCustomTreeView::AlphaSort(bool Recurse) { return CustomSort(TextCompare(), 0, Recurse); }

TTreeNode::TCompare TCustomTreeView::TextCompare() {
  return [this](TTreeNode* A, TTreeNode* B, intptr_t Data) {
    if (OnCompare) {
      int R = 0;
      OnCompare(this, A, B, Data, R);
      return R;
    }
    return AnsiCompareText(A->Text(), B->Text());
  };
}

void TCustomTreeView::SortNodes(TTreeNode* Parent, const TTreeNode::TCompare& Compare, intptr_t Data, bool Recurse) {
  auto& S = Items_.Siblings(Parent);
  if (S.size() > 1) {
    MergeSort(S, [&](TTreeNode* A, TTreeNode* B) { return Compare(A, B, Data) < 0; });
    for (size_t I = 0; I < S.size(); ++I) S[I]->SortKey_ = static_cast<int>(I);
    if (Handle_ && (!Parent || Parent->ItemId_)) {
      TVSORTCB Sort{Parent ? Parent->ItemId_ : TVI_ROOT, CompareSortKeys, 0};
      SendMessageA(Handle_, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&Sort));
    }
  }
  if (Recurse)
    for (size_t I = 0; I < S.size(); ++I) SortNodes(S[I], Compare, Data, true);
}

void TCustomTreeView::FullExpand() {
  for (size_t I = 0; I < Items_.Top_.size(); ++I) Items_.Top_[I]->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (size_t I = 0; I < Items_.Top_.size(); ++I) Items_.Top_[I]->Collapse(true);
}

void TCustomTreeView::Notify(TMessage& M) {
  auto* Hdr = reinterpret_cast<NMHDR*>(M.LParam);
  auto* TV = reinterpret_cast<NMTREEVIEWA*>(M.LParam);
  auto NodeOf = [](LPARAM L) { return reinterpret_cast<TTreeNode*>(L); };
  switch (Hdr->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
      TTreeNode* N = NodeOf(TV->itemNew.lParam);
      if (!N || N == Changing_ || N->Deleting_) return;
      bool Allow = TV->action == TVE_EXPAND ? CanExpand(N) : CanCollapse(N);
      M.Result = Allow ? 0 : 1;
      return;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
      TTreeNode* N = NodeOf(TV->itemNew.lParam);
      if (!N || N->Deleting_) return;
      N->Expanded_ = (TV->itemNew.state & TVIS_EXPANDED) != 0;
      if (N == Changing_) return;
      if (N->Expanded_) Expand(N);
      else Collapse(N);
      return;
    }
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW: {
      TTreeNode* N = NodeOf(TV->itemNew.lParam);
      M.Result = (N && N->Deleting_) || IsDestroying() || CanChange(N) ? 0 : 1;
      return;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
      TTreeNode* N = NodeOf(TV->itemNew.lParam);
      if (N && N->Deleting_) N = nullptr;
      Selected_ = N;
      FireChange(N);
      return;
    }
    case TVN_BEGINLABELEDITA:
    case TVN_BEGINLABELEDITW: {
      TTreeNode* N = NodeOf(reinterpret_cast<NMTVDISPINFOA*>(M.LParam)->item.lParam);
      M.Result = N && CanEdit(N) ? 0 : 1;
      return;
    }
    case TVN_ENDLABELEDITA:
    case TVN_ENDLABELEDITW: {
      const TVITEMA& Item = reinterpret_cast<NMTVDISPINFOA*>(M.LParam)->item;
      TTreeNode* N = Items_.GetNode(Item.hItem);
      if (!Item.pszText) return;  // cancelled
      std::string Text;
      if (Hdr->code == TVN_ENDLABELEDITA) {
        Text = Item.pszText;
      } else {
        auto* W = reinterpret_cast<const wchar_t*>(Item.pszText);
        int N8 = WideCharToMultiByte(CP_ACP, 0, W, -1, nullptr, 0, nullptr, nullptr);
        Text.resize(static_cast<size_t>(std::max(N8, 1)));
        WideCharToMultiByte(CP_ACP, 0, W, -1, Text.data(), N8, nullptr, nullptr);
        Text.resize(Text.size() - 1);
      }
      Edit(N, Text);
      M.Result = 0;  // the node has set its own text
      return;
    }
    case TVN_GETDISPINFOA:
    case TVN_GETDISPINFOW: {
      TVITEMA& Item = reinterpret_cast<NMTVDISPINFOA*>(M.LParam)->item;
      TTreeNode* N = NodeOf(Item.lParam);
      if (!N || N->Deleting_) return;
      {
        AnsweringImage_ = true;
        TScopeGuard Answered([this] { AnsweringImage_ = false; });
        if (Item.mask & TVIF_IMAGE) GetImageIndex(N);
        if (Item.mask & TVIF_SELECTEDIMAGE) GetSelectedIndex(N);
      }
      Item.iImage = N->ImageIndex_;
      Item.iSelectedImage = N->SelectedIndex_;
      return;
    }
    case NM_RCLICK:
      if (RightClickSelect_) {
        POINT P;
        GetCursorPos(&P);
        ::ScreenToClient(Handle_, &P);
        if (TTreeNode* N = GetNodeAt(P.x, P.y)) SetSelected(N);
      }
      return;
    default:
      return;
  }
}

void TCustomTreeView::WndProc(TMessage& M) {
  switch (M.Msg) {
    case CN_NOTIFY:
      M.Result = 0;
      Notify(M);
      return;
    case WM_TIMER:
      if (M.WParam == ChangeTimerId) {
        KillTimer(Handle_, ChangeTimerId);
        ChangeTimer_ = 0;
        TTreeNode* N = std::exchange(PendingChange_, nullptr);
        if (N) Change(N);
        return;
      }
      break;
    default:
      break;
  }
  TWinControl::WndProc(M);
}
