// The shell tree's helpers: path strings, item identifier lists (the shell's
// binary item names) and their holders, display names, file masks, and the
// mapping of the tree's enumerations to the shell's numbers.
//
// Identifier lists are allocated through the shell allocator and freed through it
// with FreeIdList, which leaves alone lists the allocator does not own. Failed
// shell calls raise nothing: they give empty names, empty paths or null lists.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <string>
#include <utility>

#include "classes/sets.h"
#include "classes/strings.h"
#include "gui/forms.h"
#include "gui/handles.h"

// Special folders a tree can be rooted at (one byte in form resources).
enum TPidls : uint8_t {
  PIDL_DESKTOP, PIDL_PROGRAMS, PIDL_CONTROLS, PIDL_PRINTERS, PIDL_PERSONAL, PIDL_FAVORITES, PIDL_STARTUP,
  PIDL_RECENT, PIDL_SENDTO, PIDL_BITBUCKET, PIDL_STARTMENU, PIDL_DESKTOPDIRECTORY, PIDL_DRIVES, PIDL_NETWORK,
  PIDL_NETHOOD, PIDL_FONTS, PIDL_TEMPLATES, PIDL_USERDEFINED
};
enum TVisOption : uint8_t { TF_FOLDERS, TF_NONFOLDERS, TF_HIDDEN };
using TVisOptions = TSet<TVisOption>;

// --- Paths (ANSI; a drive root is "C:", a server "\\server\") ----------------------

// The drive or server part of a path: "C:" of "C:\dir", "\\srv\" of "\\srv\share\x",
// "\\srv" of "\\srv"; empty for relative paths.
std::string DriveRoot(const std::string& Path);
// Appends "\" to a path longer than one character that lacks it.
std::string AddSlash(const std::string& Path);
// Drops one trailing "\" from a path longer than one character.
std::string RemoveSlash(const std::string& Path);
// Whether Path is an existing folder; an empty floppy or CD drive asks nothing.
bool QuietFolderExists(const std::string& Path);
// Path cut back to its nearest existing folder (a cut path ends in "\"; an
// existing one keeps its form); a drive-relative "C:sub" is resolved against the
// current folder of drive C. Empty when nothing of it exists.
std::string NormalizePath(const std::string& Path);

// The first Limit characters of an ANSI text as wide text, for the shell's calls.
std::wstring AnsiToWide(const std::string& Text, size_t Limit);

// --- Item identifier lists -----------------------------------------------------------

// Bytes of the items up to the terminator (which is not counted); 0 for null.
UINT IdListSize(LPCITEMIDLIST List);
// Items in the list, counting no further than 200; 0 for null.
int IdListCount(LPCITEMIDLIST List);
// Dest := a copy of Source (Dest is left alone for a null Source). Raises
// std::bad_alloc when the allocator has no memory.
void CopyIdList(IMalloc* Allocator, LPCITEMIDLIST Source, LPITEMIDLIST& Dest);
// ParentId followed by the first item of Item: a new list (a copy of ParentId
// when Item is empty).
LPITEMIDLIST JoinIdList(IMalloc* Allocator, LPCITEMIDLIST ParentId, LPCITEMIDLIST Item);
// Frees List when the allocator owns it, and sets it to null in every case.
void FreeIdList(IMalloc* Allocator, LPITEMIDLIST& List);
// Whether the item at Index (from 0) of List has the same bytes as the first item of Item.
bool SameItem(int Index, LPCITEMIDLIST List, LPCITEMIDLIST Item);
// The file-system path of an item; empty for virtual ones.
std::string PathFromIdList(LPCITEMIDLIST List);
// The item's display name in Folder (SHGDN_ flags); empty when the shell fails.
std::string DisplayNameOf(IShellFolder* Folder, LPCITEMIDLIST Item, DWORD Flags);

// An identifier list owned through an allocator (not owned: the allocator, which
// outlives every list).
class TShellIdList {
public:
  explicit TShellIdList(IMalloc* Allocator, LPITEMIDLIST List = nullptr) : Allocator_(Allocator), List_(List) {}
  ~TShellIdList() { FreeIdList(Allocator_, List_); }
  TShellIdList(const TShellIdList&) = delete;
  TShellIdList& operator=(const TShellIdList&) = delete;
  TShellIdList(TShellIdList&& O) noexcept : Allocator_(O.Allocator_), List_(O.Detach()) {}
  TShellIdList& operator=(TShellIdList&& O) noexcept {
    if (this != &O) {
      FreeIdList(Allocator_, List_);
      Allocator_ = O.Allocator_;
      List_ = O.Detach();
    }
    return *this;
  }

  LPITEMIDLIST Get() const { return List_; }
  explicit operator bool() const { return List_ != nullptr; }
  // For out-parameters: frees what is held and gives the slot to be filled.
  LPITEMIDLIST* Receive() {
    FreeIdList(Allocator_, List_);
    return &List_;
  }
  LPITEMIDLIST Detach() { return std::exchange(List_, nullptr); }

private:
  IMalloc* Allocator_;
  LPITEMIDLIST List_;
};

// The hourglass while the shell works; the cursor of before on every way out.
class THourglass {
public:
  THourglass() : Saved_(Screen ? Screen->Cursor() : crDefault) {
    if (Screen) Screen->SetCursor(crHourGlass);
  }
  ~THourglass() {
    if (Screen) Screen->SetCursor(Saved_);
  }
  THourglass(const THourglass&) = delete;
  THourglass& operator=(const THourglass&) = delete;

private:
  TCursor Saved_;
};

// --- Flags and masks ------------------------------------------------------------------

// SHCONTF_ flags for the tree's options.
DWORD OptionsToFlags(TVisOptions Options);
// The CSIDL_ number of a special folder; -1 for PIDL_USERDEFINED, 0 outside the table.
int FolderKindToCsidl(int Kind);
// Wildcard match without regard to case: "*" any run (also none), "?" one character.
// An empty mask matches nothing.
bool MatchMask(const std::string& Name, const std::string& Mask);
// True for an empty list, otherwise when any mask matches.
bool MatchAnyMask(const std::string& Name, const TStrings& Masks);
