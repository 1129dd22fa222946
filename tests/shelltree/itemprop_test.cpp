// The shell's item menu for real folders: the menu built, shown and closed, and
// the actions that must not reach the shell.
#include "shelltree/ItemProp.h"
#include "shelltree/ShellTree_helpers.h"

#include "shelltree_testing.h"

namespace {

struct TShellItem {
  TComPtr<IMalloc> Allocator;
  TComPtr<IShellFolder> Parent;
  TShellIdList Item{nullptr};
  explicit TShellItem(const std::string& Path) {
    SHGetMalloc(&Allocator);
    TComPtr<IShellFolder> Desktop;
    SHGetDesktopFolder(&Desktop);
    const size_t Cut = Path.rfind('\\');
    std::wstring Folder(Path.begin(), Path.begin() + static_cast<std::ptrdiff_t>(Cut) + 1);
    std::wstring Name(Path.begin() + static_cast<std::ptrdiff_t>(Cut) + 1, Path.end());
    TShellIdList FolderId(Allocator.Get());
    Desktop->ParseDisplayName(nullptr, nullptr, Folder.data(), nullptr, FolderId.Receive(), nullptr);
    Desktop->BindToObject(FolderId.Get(), nullptr, IID_IShellFolder, Parent.PPV());
    Item = TShellIdList(Allocator.Get());
    if (Parent) Parent->ParseDisplayName(nullptr, nullptr, Name.data(), nullptr, Item.Receive(), nullptr);
  }
};

HWND HelperWhileShown = nullptr;

// Closes the menu a moment after it opened, as a person pressing Escape would.
VOID CALLBACK CloseMenu(HWND, UINT, UINT_PTR Id, DWORD) {
  KillTimer(nullptr, Id);
  HelperWhileShown = FindWindowA("ItemPropMenuCallbackHelper", "ItemPropCallbackProcessor");
  EndMenu();
}

TEST(ItemProp, TheMenuOfAFolderIsBuiltShownAndClosed) {
  shelltest::InitGui();
  shelltest::TScratch Scratch("menu");
  TShellItem Folder(Scratch.Folder("Menu Folder"));
  ASSERT_TRUE(Folder.Item);
  TItemMenu Menu;
  ASSERT_TRUE(GetItemMenu(nullptr, Folder.Parent.Get(), Folder.Item.Get(), Menu));
  TMenuHandle Popup(CreatePopupMenu());
  ASSERT_TRUE(FillItemMenu(Menu.Menu.Get(), Popup.Get(), CMF_EXPLORE));
  EXPECT_GT(GetMenuItemCount(Popup.Get()), 2);

  TForm Owner(nullptr);
  Owner.SetBounds(10, 10, 200, 200);
  Owner.Show();
  SetTimer(nullptr, 0, 200, CloseMenu);
  EXPECT_TRUE(ShowItemMenu(Folder.Parent.Get(), Folder.Item.Get(), 0, POINT{50, 50}, Owner.Handle()));
  ASSERT_TRUE(Menu.Menu2) << "a folder's menu draws some of its items itself";
  EXPECT_NE(HelperWhileShown, nullptr) << "no helper window of its class and name while the menu was shown";
  // The same menu for the item given by its path.
  HelperWhileShown = nullptr;
  SetTimer(nullptr, 0, 200, CloseMenu);
  EXPECT_TRUE(ItemMenuAction(Scratch.Root() + "\\Menu Folder", nullptr, nullptr, 0, imaShowMenu, Owner.Handle(),
                             POINT{50, 50}));
  EXPECT_NE(HelperWhileShown, nullptr);
  EXPECT_EQ(FindWindowA("ItemPropMenuCallbackHelper", "ItemPropCallbackProcessor"), nullptr)
      << "the helper window outlives its menu";
}

TEST(ItemProp, ActionsThatNeedWhatTheItemLacksFail) {
  shelltest::InitGui();
  shelltest::TScratch Scratch("props");
  TShellItem Folder(Scratch.Folder("plain"));
  ASSERT_TRUE(Folder.Item);
  EXPECT_FALSE(ItemMenuAction({}, Folder.Parent.Get(), Folder.Item.Get(), 0, imaProperties, nullptr, POINT{}));
  // A path whose folder does not exist names no item at all.
  EXPECT_FALSE(ItemMenuAction(Scratch.Root() + "\\none\\x.txt", nullptr, nullptr, SFGAO_HASPROPSHEET, imaDefault,
                              nullptr, POINT{}));
  EXPECT_EQ(Screen->Cursor(), crDefault) << "the hourglass stays";
}

}  // namespace
