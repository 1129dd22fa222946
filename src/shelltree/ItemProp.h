// ItemProp: the shell's own context menu for one shell item, and the commands
// behind it. An item is given either as a folder and an identifier list relative
// to it, or as a full file path. Actions: 0 shows the menu and runs the command
// the user picks, 1 opens the item's property sheet, 2 runs its default command.
// Nothing here shows a message of its own; a failed shell call ends the action
// with false. Only a helper window for the menu that cannot be made raises
// (EOSError), as every hidden window of the library does.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "gui/handles.h"

enum TItemMenuAction { imaShowMenu = 0, imaProperties = 1, imaDefault = 2 };

// True while the menu being tracked speaks IContextMenu3 (one menu at a time).
extern bool IsMenu3;

// The tree's entry: the context menu of Item at ScreenPoint (action 0).
bool ShowItemMenu(IShellFolder* Folder, LPCITEMIDLIST Item, ULONG Attributes, POINT ScreenPoint, HWND OwnerWindow);
// Action 0: true once the menu was built, then whether the picked command
// succeeded. Actions 1 and 2: whether the command succeeded. With a null Item,
// Path names the item.
bool ItemMenuAction(const std::string& Path, IShellFolder* Folder, LPCITEMIDLIST Item, ULONG Attributes,
                    int Action, HWND OwnerWindow, POINT ScreenPoint);

// The richest context menu interface the shell offers for Item.
struct TItemMenu {
  TComPtr<IContextMenu> Menu;  // IContextMenu2 or 3 when Menu2 or Menu3 says so
  bool Menu2 = false;
  bool Menu3 = false;
};
bool GetItemMenu(HWND Owner, IShellFolder* Folder, LPCITEMIDLIST Item, TItemMenu& Out);
// Fills Popup with the item's commands, numbered from 1; CMF_ flags.
bool FillItemMenu(IContextMenu* Menu, HMENU Popup, UINT Flags);

// The helper window's handler: hands the owner-drawn menu messages to Menu (an
// IContextMenu3 while IsMenu3) and answers them; false for every other message.
bool MenuCallbackProc(IContextMenu2* Menu, UINT Message, WPARAM WParam, LPARAM LParam, LRESULT& Result);
