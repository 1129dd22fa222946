#include "shelltree/ItemProp.h"

#include <algorithm>
#include <optional>

#include "gui/forms.h"
#include "gui/handles.h"
#include "gui/msgwindow.h"

bool IsMenu3 = false;

namespace {

// The helper window that receives the owner-drawn messages of a tracked menu
// (the "Send To" and "Open With" submenus are drawn by the shell). A top-level
// window of a class and name of its own, as the shell's menus expect to find it.
const TMessageWindow::THiddenTopLevel HelperWindow{"ItemPropMenuCallbackHelper", "ItemPropCallbackProcessor"};

bool Invoke(IContextMenu* Menu, HWND Owner, LPCSTR Verb) {
  CMINVOKECOMMANDINFO Info{};
  Info.cbSize = sizeof(Info);
  Info.hwnd = Owner;
  Info.lpVerb = Verb;
  Info.nShow = SW_SHOWNORMAL;
  return SUCCEEDED(Menu->InvokeCommand(&Info));
}

bool RunMenuAction(const TItemMenu& Item, ULONG Attributes, int Action, HWND Owner, POINT Point) {
  IContextMenu* Menu = Item.Menu.Get();
  switch (Action) {
    case imaShowMenu: {
      TMenuHandle Popup(CreatePopupMenu());
      if (!Popup || !FillItemMenu(Menu, Popup.Get(), CMF_EXPLORE)) return false;
      std::optional<TMessageWindow> Helper;
      if (Item.Menu2) {
        // Not a counted reference: the helper goes before Item's menu does.
        auto* Menu2 = static_cast<IContextMenu2*>(Menu);
        Helper.emplace([Menu2](UINT Msg, WPARAM W, LPARAM L, LRESULT& Result) {
          return MenuCallbackProc(Menu2, Msg, W, L, Result);
        }, HelperWindow);
      }
      HWND Target = Helper ? Helper->Handle() : Owner;
      const UINT Command = static_cast<UINT>(
          TrackPopupMenuEx(Popup.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, Point.x, Point.y, Target, nullptr));
      if (Command == 0) return true;
      return Invoke(Menu, Owner, MAKEINTRESOURCEA(Command - 1));
    }
    case imaProperties:
      return (Attributes & SFGAO_HASPROPSHEET) && Invoke(Menu, Owner, "properties");
    case imaDefault: {
      TMenuHandle Popup(CreatePopupMenu());
      if (!Popup || !FillItemMenu(Menu, Popup.Get(), CMF_DEFAULTONLY)) return false;
      const UINT Default = GetMenuDefaultItem(Popup.Get(), FALSE, 0);
      if (Default == 0 || Default == static_cast<UINT>(-1)) return false;
      return Invoke(Menu, Owner, MAKEINTRESOURCEA(Default - 1));
    }
    default:
      return false;
  }
}

bool ItemContextMenu(HWND Owner, IShellFolder* Folder, LPCITEMIDLIST Item, ULONG Attributes, int Action,
                     POINT Point) {
  TItemMenu Menu;
  if (!GetItemMenu(Owner, Folder, Item, Menu)) return false;
  IsMenu3 = Menu.Menu3;
  return RunMenuAction(Menu, Attributes, Action, Owner, Point);
}

// Parses Name (at most MAX_PATH characters) within Folder; the list comes with
// the attributes asked for.
bool Parse(IShellFolder* Folder, HWND Owner, const std::string& Name, TItemIdList& List, ULONG& Attributes) {
  WCHAR Wide[MAX_PATH + 1] = L"";
  const int Length = static_cast<int>(std::min<size_t>(Name.size(), MAX_PATH));
  if (Length == 0 || MultiByteToWideChar(CP_ACP, 0, Name.data(), Length, Wide, MAX_PATH) == 0) return false;
  ULONG Eaten = 0;
  return Folder->ParseDisplayName(Owner, nullptr, Wide, &Eaten, List.Receive(), &Attributes) == S_OK;
}

bool PathMenuAction(const std::string& Path, int Action, HWND Owner, POINT Point) {
  TComPtr<IShellFolder> Desktop;
  if (FAILED(SHGetDesktopFolder(&Desktop))) return false;
  const size_t Cut = Path.find_last_of("\\:");
  const std::string FolderPart = Cut == std::string::npos ? std::string() : Path.substr(0, Cut + 1);
  const std::string NamePart = Cut == std::string::npos ? Path : Path.substr(Cut + 1);

  // The shell's lists, each freed through the shell's allocator (CoTaskMemFree).
  TItemIdList FolderId, ItemId;
  TComPtr<IShellFolder> Folder;
  ULONG Attributes = 0;
  if (Parse(Desktop.Get(), Owner, FolderPart, FolderId, Attributes) &&
      SUCCEEDED(Desktop->BindToObject(FolderId.Get(), nullptr, IID_IShellFolder, Folder.PPV()))) {
    Attributes = SFGAO_HASPROPSHEET;
    if (Parse(Folder.Get(), Owner, NamePart, ItemId, Attributes))
      return ItemContextMenu(Owner, Folder.Get(), ItemId.Get(), Attributes, Action, Point);
  }
  // The name would not parse in its folder: the desktop's first folder may know it.
  TComPtr<IEnumIDList> Enum;
  TItemIdList First;
  if (Desktop->EnumObjects(Owner, SHCONTF_FOLDERS, &Enum) != S_OK || Enum->Next(1, First.Receive(), nullptr) != S_OK)
    return false;
  if (FAILED(Desktop->BindToObject(First.Get(), nullptr, IID_IShellFolder, Folder.PPV()))) return false;
  Attributes = SFGAO_HASPROPSHEET;
  if (!Parse(Folder.Get(), Owner, Path, ItemId, Attributes)) return false;
  return ItemContextMenu(Owner, Folder.Get(), ItemId.Get(), Attributes, Action, Point);
}

}  // namespace

bool GetItemMenu(HWND Owner, IShellFolder* Folder, LPCITEMIDLIST Item, TItemMenu& Out) {
  Out.Menu.Release();
  Out.Menu2 = Out.Menu3 = false;
  if (!Folder || !Item) return false;
  if (FAILED(Folder->GetUIObjectOf(Owner, 1, &Item, IID_IContextMenu, nullptr, Out.Menu.PPV()))) return false;
  TComPtr<IContextMenu2> Menu2;
  if (Out.Menu.QueryInterface(IID_IContextMenu2, Menu2) == S_OK) {
    Out.Menu2 = true;
    TComPtr<IContextMenu3> Menu3;
    if (Menu2.QueryInterface(IID_IContextMenu3, Menu3) == S_OK) {
      Out.Menu3 = true;
      Out.Menu.Attach(Menu3.Detach());
    } else {
      Out.Menu.Attach(Menu2.Detach());
    }
  }
  return true;
}

bool FillItemMenu(IContextMenu* Menu, HMENU Popup, UINT Flags) {
  return Menu && SUCCEEDED(Menu->QueryContextMenu(Popup, 0, 1, 0x7FFF, Flags));
}

bool ShowItemMenu(IShellFolder* Folder, LPCITEMIDLIST Item, ULONG Attributes, POINT ScreenPoint, HWND OwnerWindow) {
  return ItemMenuAction({}, Folder, Item, Attributes, imaShowMenu, OwnerWindow, ScreenPoint);
}

bool ItemMenuAction(const std::string& Path, IShellFolder* Folder, LPCITEMIDLIST Item, ULONG Attributes,
                    int Action, HWND OwnerWindow, POINT ScreenPoint) {
  IsMenu3 = false;
  const TCursor Saved = Screen->Cursor();
  Screen->SetCursor(crHourGlass);
  TScopeGuard Restore([Saved] { Screen->SetCursor(Saved); });
  if (Item) return ItemContextMenu(OwnerWindow, Folder, Item, Attributes, Action, ScreenPoint);
  return PathMenuAction(Path, Action, OwnerWindow, ScreenPoint);
}

bool MenuCallbackProc(IContextMenu2* Menu, UINT Message, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
  if (Message != WM_DRAWITEM && Message != WM_MEASUREITEM && Message != WM_INITMENUPOPUP) return false;
  if (IsMenu3) {
    LRESULT Ignored = 0;
    static_cast<IContextMenu3*>(Menu)->HandleMenuMsg2(Message, WParam, LParam, &Ignored);
  } else {
    Menu->HandleMenuMsg(Message, WParam, LParam);
  }
  // What the menu answered does not matter to the menu's owner.
  Result = Message == WM_INITMENUPOPUP ? 0 : 1;
  return true;
}
