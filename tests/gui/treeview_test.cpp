// The tree view over comctl32's control, read back through its window: nodes made
// before the window, a window made again, sorting, expansion and selection events.
#include "gui/treeview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window_testing.h"

namespace {

// The texts of the window's items below Parent (the top level for null), in window order.
std::vector<std::string> WindowTexts(HWND Tree, HTREEITEM Parent) {
  std::vector<std::string> Texts;
  auto Item = reinterpret_cast<HTREEITEM>(
      SendMessageA(Tree, TVM_GETNEXTITEM, Parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(Parent)));
  for (; Item; Item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(Item)))) {
    char Buffer[64] = {};
    TVITEMA TV{};
    TV.mask = TVIF_TEXT | TVIF_HANDLE;
    TV.hItem = Item;
    TV.pszText = Buffer;
    TV.cchTextMax = sizeof(Buffer);
    SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&TV));
    Texts.push_back(Buffer);
  }
  return Texts;
}

TEST(TreeView, NodesMadeBeforeTheWindowAndKeptAcrossANewOne) {
  Application->Initialize();
  TForm Form(nullptr);
  Form.SetBounds(10, 10, 300, 300);
  auto* View = new TTreeView(&Form);
  View->SetAlign(alClient);
  View->SetParent(&Form);
  std::vector<std::string> Log;
  View->OnChange = TTVChangedEvent([&](TObject*, TTreeNode* N) { Log.push_back("change " + (N ? N->Text() : "-")); });
  View->OnExpanding = TTVExpandingEvent([&](TObject*, TTreeNode* N, bool& Allow) {
    Log.push_back("expanding " + N->Text());
    Allow = N->Text() != "locked";
  });
  TTreeNode* Top = View->Items()->AddChild(nullptr, "top");
  for (const char* Name : {"c", "a", "b"}) View->Items()->AddChild(Top, Name);
  TTreeNode* Locked = View->Items()->AddChild(nullptr, "locked");
  View->Items()->AddChild(Locked, "inside");
  Top->SetExpanded(true);
  Top->Item(1)->SetSelected(true);
  EXPECT_EQ(Log, (std::vector<std::string>{"expanding top", "change a"}));
  EXPECT_FALSE(View->HandleAllocated());

  Form.Show();
  HWND Wnd = View->Handle();
  EXPECT_EQ(WindowTexts(Wnd, nullptr), (std::vector<std::string>{"top", "locked"}));
  EXPECT_EQ(WindowTexts(Wnd, Top->ItemId()), (std::vector<std::string>{"c", "a", "b"}));
  EXPECT_TRUE(Top->Expanded());
  EXPECT_EQ(View->Selected(), Top->Item(1));

  Top->AlphaSort();
  EXPECT_EQ(Top->Item(0)->Text(), "a");
  EXPECT_EQ(WindowTexts(Wnd, Top->ItemId()), (std::vector<std::string>{"a", "b", "c"}));
  Locked->SetExpanded(true);
  EXPECT_FALSE(Locked->Expanded());

  View->RecreateWnd();
  EXPECT_NE(View->Handle(), nullptr);
  EXPECT_EQ(WindowTexts(View->Handle(), Top->ItemId()), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(Top->Expanded());
  EXPECT_EQ(View->Selected()->Text(), "a");

  Log.clear();
  Top->Item(0)->Delete();  // the selected node: the window selects another
  EXPECT_EQ(View->Items()->Count(), 5);
  EXPECT_EQ(WindowTexts(View->Handle(), Top->ItemId()), (std::vector<std::string>{"b", "c"}));
  EXPECT_NE(View->Selected(), nullptr);
  EXPECT_FALSE(Log.empty());
  View->Items()->Clear();
  EXPECT_EQ(View->Items()->Count(), 0);
  EXPECT_TRUE(WindowTexts(View->Handle(), nullptr).empty());
}

TEST(TreeView, LabelEditingAsksAndTakesTheText) {
  Application->Initialize();
  TForm Form(nullptr);
  Form.SetBounds(10, 10, 300, 300);
  auto* View = new TTreeView(&Form);
  View->SetAlign(alClient);
  View->SetParent(&Form);
  Form.Show();
  TTreeNode* Fixed = View->Items()->AddChild(nullptr, "fixed");
  TTreeNode* Free = View->Items()->AddChild(nullptr, "free");
  View->OnEditing = TTVEditingEvent([](TObject*, TTreeNode* N, bool& Allow) { Allow = N->Text() != "fixed"; });
  View->OnEdited = TTVEditedEvent([](TObject*, TTreeNode*, std::string& S) { S += "!"; });
  EXPECT_FALSE(Fixed->EditText());
  ASSERT_TRUE(Free->EditText());
  SetWindowTextA(reinterpret_cast<HWND>(SendMessageA(View->Handle(), TVM_GETEDITCONTROL, 0, 0)), "named");
  Free->EndEdit(false);
  EXPECT_EQ(Free->Text(), "named!");
  EXPECT_EQ(WindowTexts(View->Handle(), nullptr), (std::vector<std::string>{"fixed", "named!"}));
}

}  // namespace
