// The shell tree on real folders of the Wine C: drive, in a real window: roots,
// lazy reading, Path, refreshes that keep what did not change, reports of the
// monitors, label editing, files and masks, sorting and the context menu.
#include "shelltree/ShellTree.h"

#include <dbt.h>

#include <memory>
#include <vector>

#include "classes/formstream.h"
#include "shelltree_testing.h"

namespace {

using shelltest::PumpUntil;

// A form with one tree, shown on the screen.
struct TTreeForm {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TShellTree* Tree;
  explicit TTreeForm(const std::function<void(TShellTree&)>& Setup = {}, bool Show = true) {
    shelltest::InitGui();
    Form->SetBounds(20, 20, 320, 420);
    Tree = new TShellTree(Form.get());
    Tree->SetAlign(alClient);
    if (Setup) Setup(*Tree);
    Tree->SetParent(Form.get());
    if (Show) Form->Show();
  }
  TShellNode* Selected() const { return static_cast<TShellNode*>(Tree->Selected()); }
};

// The child of Node whose text is Text, or null.
TShellNode* ChildNamed(TShellNode* Node, const std::string& Text) {
  for (int I = 0; Node && I < Node->Count(); ++I)
    if (SameText(Node->Child(I)->Text(), Text)) return Node->Child(I);
  return nullptr;
}

std::vector<std::string> Texts(TShellNode* Node) {
  std::vector<std::string> T;
  for (int I = 0; I < Node->Count(); ++I) T.push_back(Node->Child(I)->Text());
  return T;
}

void RootAt(TShellTree& T, const std::string& Dir) {
  T.SetRootUsePIDL(false);
  T.SetRootDir(Dir);
}

TEST(ShellTree, RootedAtTheDrivesFolderPathsExpandOnTheWay) {
  shelltest::TScratch Scratch("drives");
  const std::string Deep = Scratch.Folder("a\\b\\c");
  TTreeForm F([](TShellTree& T) { T.SetRootPIDL(PIDL_DRIVES); });
  TShellNode* Root = F.Tree->RootNode();
  ASSERT_NE(Root, nullptr);
  EXPECT_EQ(F.Tree->Path(), "");
  EXPECT_TRUE(Root->Expanded());
  TShellNode* Drive = nullptr;
  for (int I = 0; I < Root->Count(); ++I)
    if (Root->Child(I)->NodePath() == "C:\\") Drive = Root->Child(I);
  ASSERT_NE(Drive, nullptr) << "no node for drive C";
  EXPECT_EQ(Drive->Count(), 0) << "read before it was expanded";
  EXPECT_TRUE(Drive->HasChildren());

  F.Tree->SetPath(Deep);
  EXPECT_EQ(F.Tree->Path(), Deep);
  EXPECT_TRUE(Drive->Expanded());
  F.Tree->SetPath(Scratch.Root() + "\\a\\NoSuchFolder");
  EXPECT_EQ(F.Tree->Path(), Scratch.Root() + "\\a");
  F.Tree->SetPath(Scratch.Root() + "\\a");  // the same path: nothing to do
  EXPECT_EQ(F.Tree->Path(), Scratch.Root() + "\\a");
  F.Tree->SetPath("Q:\\not\\a\\drive");  // nothing of it exists: as the empty path, the root
  EXPECT_EQ(F.Selected(), Root);
}

TEST(ShellTree, RootedAtAFolderAndAPathGivenBeforeTheWindow) {
  shelltest::TScratch Scratch("rootdir");
  const std::string Deep = Scratch.Folder("x\\y");
  TTreeForm F([&](TShellTree& T) { RootAt(T, Scratch.Root()); }, false);
  F.Tree->SetPath(Deep);
  EXPECT_FALSE(F.Tree->HandleAllocated());
  F.Form->Show();
  EXPECT_EQ(F.Tree->RootNode()->NodePath(), Scratch.Root());
  EXPECT_EQ(F.Tree->Path(), Deep);
  EXPECT_EQ(F.Tree->RootDir(), Scratch.Root());
  F.Tree->SetRootDir("");  // ignored
  F.Tree->SetRootDir("Q:\\not\\ready");
  EXPECT_EQ(F.Tree->RootDir(), Scratch.Root());
  TShellNode* X = ChildNamed(F.Tree->RootNode(), "x");
  ASSERT_NE(X, nullptr);
  EXPECT_NE(X->DisplayRect(true).right, 0) << "the window did not get the nodes";
}

TEST(ShellTree, RefreshKeepsUnchangedNodesWithTheirStateAndMonitors) {
  shelltest::TScratch Scratch("refresh");
  const std::string B = Scratch.Folder("a\\b");
  Scratch.Folder("a\\b\\inner");
  Scratch.Folder("other");
  TTreeForm F([&](TShellTree& T) {
    RootAt(T, Scratch.Root());
    T.SetUpdAutoThread(false);  // only RefreshTree re-reads here
  });
  F.Tree->SetPath(B);
  TShellNode* A = ChildNamed(F.Tree->RootNode(), "a");
  TShellNode* NodeB = F.Selected();
  ASSERT_TRUE(A && NodeB);
  NodeB->SetExpanded(true);
  TDiscMonitorThread* MonitorA = A->Monitor.get();
  ASSERT_NE(MonitorA, nullptr);
  Scratch.Folder("a\\new");
  F.Tree->RefreshTree();
  EXPECT_EQ(ChildNamed(F.Tree->RootNode(), "a"), A);
  EXPECT_EQ(ChildNamed(A, "b"), NodeB);
  EXPECT_NE(ChildNamed(A, "new"), nullptr);
  EXPECT_TRUE(A->Expanded());
  EXPECT_TRUE(NodeB->Expanded());
  EXPECT_EQ(F.Selected(), NodeB);
  EXPECT_EQ(A->Monitor.get(), MonitorA);
  EXPECT_EQ(Texts(A), (std::vector<std::string>{"b", "new"}));
}

TEST(ShellTree, AWatchedFolderIsReadOncePerReport) {
  shelltest::TScratch Scratch("watch");
  const std::string W = Scratch.Folder("w");
  Scratch.File("w\\probe.txt");
  int Reads = 0, Reports = 0;
  TTreeForm F([&](TShellTree& T) {
    RootAt(T, W);
    T.SetOptions(TVisOptions{TF_FOLDERS, TF_NONFOLDERS});
    T.OnFileAdd = TOnFileAddEvent([&](const std::string& Name, ULONG, bool&) {
      if (ExtractFileName(Name) == "probe.txt") ++Reads;
    });
  });
  TShellNode* Root = F.Tree->RootNode();
  ASSERT_TRUE(Root->Monitor);
  TNotifyEvent Report = Root->Monitor->OnFolderChange;
  Root->Monitor->OnFolderChange = TNotifyEvent([&, Report](TObject* S) {
    ++Reports;
    Report(S);
  });
  Reads = 0;
  CreateDirectoryA((W + "\\made\\").c_str(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return ChildNamed(Root, "made") != nullptr; }));
  RemoveDirectoryA((W + "\\made").c_str());
  ASSERT_TRUE(PumpUntil([&] { return ChildNamed(Root, "made") == nullptr; }));
  EXPECT_GE(Reports, 2);
  EXPECT_EQ(Reads, Reports);
}

TEST(ShellTree, ANodeDestroyedWhileItsMonitorWaitsToReport) {
  shelltest::TScratch Scratch("destroy");
  const std::string W = Scratch.Folder("w\\sub");
  TTreeForm F([&](TShellTree& T) { RootAt(T, Scratch.Root()); });
  TShellNode* Root = F.Tree->RootNode();
  TShellNode* NodeW = ChildNamed(Root, "w");
  ASSERT_NE(NodeW, nullptr);
  NodeW->SetExpanded(true);
  ASSERT_TRUE(NodeW->Monitor);
  // The node's monitor sees this and waits in its report until the node is gone.
  CreateDirectoryA((Scratch.Root() + "\\w\\x").c_str(), nullptr);
  NodeW->Delete();
  EXPECT_EQ(ChildNamed(Root, "w"), nullptr);
  // The root's monitor still serves the tree.
  CreateDirectoryA((Scratch.Root() + "\\y").c_str(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return ChildNamed(Root, "y") != nullptr && ChildNamed(Root, "w") != nullptr; }));
  EXPECT_EQ(F.Tree->Items()->Count(), 1 + Root->Count());
}

TEST(ShellTree, RenameThroughLabelEditing) {
  shelltest::TScratch Scratch("rename");
  Scratch.Folder("old");
  Scratch.Folder("taken");
  TTreeForm F([&](TShellTree& T) { RootAt(T, Scratch.Root()); });
  TShellNode* Old = ChildNamed(F.Tree->RootNode(), "old");
  ASSERT_NE(Old, nullptr);
  auto EditTo = [&](TShellNode* Node, const char* Text) {
    ASSERT_TRUE(Node->EditText());
    HWND Edit = reinterpret_cast<HWND>(SendMessageA(F.Tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(Edit, nullptr);
    SetWindowTextA(Edit, Text);
    Node->EndEdit(false);
  };
  EditTo(Old, "taken");  // the shell refuses: the label keeps its text
  EXPECT_EQ(Old->Text(), "old");
  EditTo(Old, "renamed");
  EXPECT_EQ(Old->Text(), "renamed");
  EXPECT_TRUE(QuietFolderExists(Scratch.Root() + "\\renamed"));
  EXPECT_FALSE(QuietFolderExists(Scratch.Root() + "\\old"));
  EXPECT_EQ(Old->NodePath(), Scratch.Root() + "\\renamed");
  EXPECT_FALSE(Old->Rename("renamed"));
}

TEST(ShellTree, FilesMasksAndSortOrders) {
  shelltest::TScratch Scratch("files");
  Scratch.Folder("folder");
  for (const char* Name : {"b.pas", "a.pas", "c.dfm", "d.txt"}) Scratch.File(Name);
  std::vector<std::string> Offered;
  TTreeForm F([&](TShellTree& T) {
    RootAt(T, Scratch.Root());
    T.SetOptions(TVisOptions{TF_FOLDERS, TF_NONFOLDERS});
    T.SetFileMask(" *.pas ; *.dfm ;; ");
    T.SetFileMaskUse(true);
    T.OnFileAdd = TOnFileAddEvent([&](const std::string& Name, ULONG, bool& Allow) {
      Offered.push_back(ExtractFileName(Name));
      Allow = ExtractFileName(Name) != "c.dfm";
    });
  });
  EXPECT_EQ(F.Tree->FileMask(), "*.pas;*.dfm");
  TShellNode* Root = F.Tree->RootNode();
  EXPECT_EQ(Texts(Root), (std::vector<std::string>{"folder", "a.pas", "b.pas"}));
  std::sort(Offered.begin(), Offered.end());
  EXPECT_EQ(Offered, (std::vector<std::string>{"a.pas", "b.pas", "c.dfm"}));
  F.Tree->SetFileSortOrder(so_Descending);
  EXPECT_EQ(Texts(Root), (std::vector<std::string>{"folder", "b.pas", "a.pas"}));
  F.Tree->SetFileMask("   ");
  EXPECT_EQ(F.Tree->FileMask(), "*.*");
  F.Tree->OnFileAdd = {};
  F.Tree->SetFileMaskUse(false);
  EXPECT_EQ(Texts(Root), (std::vector<std::string>{"folder", "d.txt", "c.dfm", "b.pas", "a.pas"}));
}

// A real folder whose comparisons answer with codes of any size, as the shell's
// contract allows (Wine's own folders only ever answer -1, 0 or 1).
class TWideComparisons : public IShellFolder {
public:
  explicit TWideComparisons(IShellFolder* Real) : Real_(Real) { Real_->AddRef(); }
  STDMETHODIMP QueryInterface(REFIID Iid, void** Out) override {
    if (Iid != IID_IUnknown && Iid != IID_IShellFolder) return Real_->QueryInterface(Iid, Out);
    *Out = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++Refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG Left = --Refs_;
    if (Left == 0) delete this;
    return Left;
  }
  STDMETHODIMP CompareIDs(LPARAM Column, LPCITEMIDLIST A, LPCITEMIDLIST B) override {
    const HRESULT R = Real_->CompareIDs(Column, A, B);
    const short Code = static_cast<short>(HRESULT_CODE(R));
    return FAILED(R) ? R : MAKE_HRESULT(SEVERITY_SUCCESS, 0, static_cast<USHORT>(Code * 300));
  }
  STDMETHODIMP ParseDisplayName(HWND W, IBindCtx* B, LPWSTR N, ULONG* E, LPITEMIDLIST* L, ULONG* A) override {
    return Real_->ParseDisplayName(W, B, N, E, L, A);
  }
  STDMETHODIMP EnumObjects(HWND W, SHCONTF F, IEnumIDList** E) override { return Real_->EnumObjects(W, F, E); }
  STDMETHODIMP BindToObject(LPCITEMIDLIST L, IBindCtx* B, REFIID I, void** O) override {
    return Real_->BindToObject(L, B, I, O);
  }
  STDMETHODIMP BindToStorage(LPCITEMIDLIST L, IBindCtx* B, REFIID I, void** O) override {
    return Real_->BindToStorage(L, B, I, O);
  }
  STDMETHODIMP CreateViewObject(HWND W, REFIID I, void** O) override { return Real_->CreateViewObject(W, I, O); }
  STDMETHODIMP GetAttributesOf(UINT N, LPCITEMIDLIST* L, SFGAOF* A) override { return Real_->GetAttributesOf(N, L, A); }
  STDMETHODIMP GetUIObjectOf(HWND W, UINT N, LPCITEMIDLIST* L, REFIID I, UINT* R, void** O) override {
    return Real_->GetUIObjectOf(W, N, L, I, R, O);
  }
  STDMETHODIMP GetDisplayNameOf(LPCITEMIDLIST L, SHGDNF F, STRRET* S) override {
    return Real_->GetDisplayNameOf(L, F, S);
  }
  STDMETHODIMP SetNameOf(HWND W, LPCITEMIDLIST L, LPCWSTR N, SHGDNF F, LPITEMIDLIST* O) override {
    return Real_->SetNameOf(W, L, N, F, O);
  }

private:
  virtual ~TWideComparisons() { Real_->Release(); }
  IShellFolder* Real_;
  ULONG Refs_ = 1;
};

TEST(ShellTree, SortingReadsTheShellsComparisonBySign) {
  shelltest::TScratch Scratch("sign");
  Scratch.Folder("zdir");
  for (const char* Name : {"c.dat", "a.dat", "b.dat"}) Scratch.File(Name);
  TTreeForm F([&](TShellTree& T) {
    RootAt(T, Scratch.Root());
    T.SetOptions(TVisOptions{TF_FOLDERS, TF_NONFOLDERS});
  });
  TShellNode* Root = F.Tree->RootNode();
  TComPtr<IShellFolder> Wide(new TWideComparisons(Root->GetFolder()));
  for (int I = 0; I < Root->Count(); ++I) {
    TComPtr<IShellFolder> Held;
    Wide.QueryInterface(IID_IShellFolder, Held);
    Root->Child(I)->Info.ParentFolder = std::move(Held);
  }
  const struct {
    TFileSortOrder Order;
    std::vector<std::string> Texts;
  } Cases[] = {
      {so_Descending, {"zdir", "c.dat", "b.dat", "a.dat"}},  // the folder first, unreversed
      {so_Ascending, {"zdir", "a.dat", "b.dat", "c.dat"}},
  };
  for (const auto& C : Cases) {
    F.Tree->SetFileSortOrder(C.Order);
    EXPECT_EQ(Texts(Root), C.Texts) << "order " << C.Order;
  }
}

TEST(ShellTree, ContextMenuOnAScreenLeftOfThePrimary) {
  shelltest::TScratch Scratch("menu");
  Scratch.Folder("one");
  Scratch.Folder("two");
  std::vector<TShellNode*> Asked;
  TTreeForm F([&](TShellTree& T) {
    RootAt(T, Scratch.Root());
    T.SetPopupMenuMode(pmm_PopupMenu);
    T.OnPopupMenu = TOnPopupMenuEvent([&](TShellNode* Node, bool& Allow) {
      Asked.push_back(Node);
      Allow = Node->Text() != "two";
    });
  });
  F.Form->SetLeft(-250);  // the nodes now lie at negative screen coordinates
  TShellNode* One = ChildNamed(F.Tree->RootNode(), "one");
  TShellNode* Two = ChildNamed(F.Tree->RootNode(), "two");
  auto RightClick = [&](TShellNode* Node) {
    RECT R = Node->DisplayRect(true);
    POINT P{R.left + 2, (R.top + R.bottom) / 2};
    ClientToScreen(F.Tree->Handle(), &P);
    ASSERT_LT(P.x, 0);
    SendMessageA(F.Tree->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(F.Tree->Handle()),
                 MAKELPARAM(static_cast<WORD>(P.x), static_cast<WORD>(P.y)));
  };
  TShellNode* Before = F.Selected();
  RightClick(One);  // no PopupMenu: nothing opens, the selection comes back
  EXPECT_EQ(Asked, std::vector<TShellNode*>{One});
  EXPECT_EQ(F.Selected(), Before);

  bool Shown = false;
  TPopupMenu Menu(nullptr);
  Menu.OnPopup = TNotifyEvent([&](TObject*) {
    Shown = true;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR Id, DWORD) {
      KillTimer(nullptr, Id);
      EndMenu();
    });
  });
  F.Tree->SetPopupMenu(&Menu);
  RightClick(Two);  // refused by OnPopupMenu
  EXPECT_FALSE(Shown);
  RightClick(One);
  EXPECT_TRUE(Shown);
  EXPECT_EQ(Menu.PopupComponent(), F.Tree);
  F.Tree->SetPopupMenu(nullptr);
}

TEST(ShellTree, DriveArrivalAndRemovalReadTheDrivesFolderAgain) {
  shelltest::TScratch Scratch("drive");
  TTreeForm F([](TShellTree& T) { T.SetRootPIDL(PIDL_DRIVES); });
  TShellNode* Root = F.Tree->RootNode();
  auto DriveQ = [&] {
    for (int I = 0; I < Root->Count(); ++I)
      if (Root->Child(I)->NodePath() == "Q:\\") return true;
    return false;
  };
  ASSERT_FALSE(DriveQ());
  const int Children = Root->Count();
  // Any other device event changes nothing and says nothing.
  EXPECT_EQ(SendMessageA(F.Tree->NotifyWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), TRUE);
  EXPECT_EQ(Root->Count(), Children);
  ASSERT_TRUE(DefineDosDeviceA(0, "Q:", Scratch.Root().c_str()));
  // Announced as the system does it, to every top-level window.
  DEV_BROADCAST_VOLUME Volume{sizeof(Volume), DBT_DEVTYP_VOLUME, 0, 1u << ('Q' - 'A'), 0};
  DWORD_PTR Answer = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&Volume),
                      SMTO_ABORTIFHUNG, 5000, &Answer);
  EXPECT_TRUE(DriveQ());
  DefineDosDeviceA(DDD_REMOVE_DEFINITION, "Q:", nullptr);
  SendMessageA(F.Tree->NotifyWindow(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
  EXPECT_FALSE(DriveQ());
  // A top-level window must let the session end.
  EXPECT_NE(SendMessageA(F.Tree->NotifyWindow(), WM_QUERYENDSESSION, 0, 0), 0);
}

TEST(ShellTree, ReadFromAFormResourceWithItsStoredSettings) {
  shelltest::TScratch Scratch("form");
  const std::string Deep = Scratch.Folder("picked");
  shelltest::InitGui();
  RegisterShellTreeClasses();
  TForm Form(nullptr);
  Form.InitializeForm(R"(object Form1: TForm
  Width = 300
  Height = 400
  object ShellTree1: TShellTree
    Left = 0
    Top = 0
    Width = 280
    Height = 360
    ShowVirtualFolders = False
    RootUsePIDL = True
    RootPIDL = PIDL_DRIVES
    Options = [TF_FOLDERS]
    Path = ')" + Deep + R"('
    PopupMenuMode = pmm_PopupMenu
    PopupMenu = PopupMenu1
    FileMaskUse = False
  end
  object PopupMenu1: TPopupMenu
    object Open1: TMenuItem
      Caption = 'Open'
    end
  end
end
)");
  auto* Tree = dynamic_cast<TShellTree*>(Form.FindComponent("ShellTree1"));
  auto* Menu = dynamic_cast<TPopupMenu*>(Form.FindComponent("PopupMenu1"));
  ASSERT_TRUE(Tree && Menu);
  EXPECT_EQ(Tree->PopupMenu(), Menu);
  EXPECT_EQ(Menu->Items()->Count(), 1);
  ASSERT_NE(Tree->RootNode(), nullptr) << "Loaded builds the tree";
  EXPECT_EQ(ChildNamed(Tree->RootNode(), "Control Panel"), nullptr) << "a virtual folder was kept";
  EXPECT_EQ(Tree->Path(), Deep);
  Form.Show();
  EXPECT_EQ(Tree->Path(), Deep);
  const std::string Written = WriteComponent(Form);
  EXPECT_NE(Written.find("RootPIDL = PIDL_DRIVES"), std::string::npos) << Written;
  EXPECT_NE(Written.find("ShowIcons = True"), std::string::npos) << Written;
  EXPECT_EQ(Written.find("About"), std::string::npos) << Written;
  EXPECT_NE(Written.find("object Open1: TMenuItem"), std::string::npos) << Written;
  delete Menu;
  EXPECT_EQ(Tree->PopupMenu(), nullptr);
}

}  // namespace
