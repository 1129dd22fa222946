#include "shelltree/ShellTree_helpers.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

const SHITEMID* NextItem(const SHITEMID* Item) {
  return reinterpret_cast<const SHITEMID*>(reinterpret_cast<const BYTE*>(Item) + Item->cb);
}

const SHITEMID* FirstItem(LPCITEMIDLIST List) { return &List->mkid; }

std::string Lower(std::string S) {
  if (!S.empty()) CharLowerBuffA(S.data(), static_cast<DWORD>(S.size()));
  return S;
}

std::string WideToAnsi(const wchar_t* W) {
  int Size = WideCharToMultiByte(CP_ACP, 0, W, -1, nullptr, 0, nullptr, nullptr);
  if (Size <= 1) return {};
  std::string S(static_cast<size_t>(Size), '\0');
  WideCharToMultiByte(CP_ACP, 0, W, -1, S.data(), Size, nullptr, nullptr);
  S.resize(static_cast<size_t>(Size) - 1);
  return S;
}

}  // namespace

// --- Paths --------------------------------------------------------------------------------

std::string DriveRoot(const std::string& Path) {
  if (Path.empty()) return {};
  if (Path.compare(0, 2, "\\\\") == 0) {
    const std::string Rest = Path.substr(2);
    const size_t Slash = Rest.find('\\');
    return Slash == std::string::npos ? "\\\\" + Rest : "\\\\" + Rest.substr(0, Slash + 1);
  }
  if (Path.size() >= 2 && Path[1] == ':') return Path.substr(0, 2);
  return {};
}

std::string AddSlash(const std::string& Path) {
  return Path.size() > 1 && Path.back() != '\\' ? Path + '\\' : Path;
}

std::string RemoveSlash(const std::string& Path) {
  return Path.size() > 1 && Path.back() == '\\' ? Path.substr(0, Path.size() - 1) : Path;
}

bool QuietFolderExists(const std::string& Path) {
  const UINT Previous = SetErrorMode(SEM_FAILCRITICALERRORS);
  const DWORD Attributes = GetFileAttributesA(Path.c_str());
  SetErrorMode(Previous);
  return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string NormalizePath(const std::string& Path) {
  std::string Result = Path;
  const std::string Root = AddSlash(DriveRoot(Path));
  if (Result.empty() || Root.empty()) return {};
  if (!QuietFolderExists(Result)) {
    while (Result.find('\\') != std::string::npos) {
      if (Result.back() == '\\') Result.pop_back();
      const size_t Slash = Result.rfind('\\');
      if (Slash == std::string::npos) break;
      Result.resize(Slash + 1);
      if (Result.size() <= Root.size() || QuietFolderExists(Result)) break;
    }
  }
  if (!QuietFolderExists(Result)) return {};
  // "C:sub" means sub in drive C's own current folder, whatever the process's is.
  if (Result.size() > 2 && Result[1] == ':' && Result[2] != '\\') {
    char Full[MAX_PATH + 1];
    const DWORD Length = GetFullPathNameA(Result.c_str(), sizeof(Full), Full, nullptr);
    if (Length == 0 || Length >= sizeof(Full)) return {};
    Result.assign(Full, Length);
  }
  return Result;
}

std::wstring AnsiToWide(const std::string& Text, size_t Limit) {
  const int Length = static_cast<int>(std::min(Text.size(), Limit));
  std::wstring Wide(static_cast<size_t>(Length), L'\0');
  const int N = Length ? MultiByteToWideChar(CP_ACP, 0, Text.data(), Length, Wide.data(), Length) : 0;
  Wide.resize(static_cast<size_t>(std::max(N, 0)));
  return Wide;
}

// --- Identifier lists -----------------------------------------------------------------------

UINT IdListSize(LPCITEMIDLIST List) {
  if (!List) return 0;
  UINT Size = 0;
  for (const SHITEMID* Item = FirstItem(List); Item->cb != 0; Item = NextItem(Item)) Size += Item->cb;
  return Size;
}

int IdListCount(LPCITEMIDLIST List) {
  if (!List) return 0;
  int Count = 0;
  for (const SHITEMID* Item = FirstItem(List); Item->cb != 0 && Count < 200; Item = NextItem(Item)) ++Count;
  return Count;
}

void CopyIdList(IMalloc* Allocator, LPCITEMIDLIST Source, LPITEMIDLIST& Dest) {
  if (!Source) return;
  const UINT Size = IdListSize(Source);
  auto* Copy = static_cast<BYTE*>(Allocator->Alloc(Size + 2));
  if (!Copy) throw std::bad_alloc();
  std::memcpy(Copy, Source, Size);
  Copy[Size] = Copy[Size + 1] = 0;
  Dest = reinterpret_cast<LPITEMIDLIST>(Copy);
}

LPITEMIDLIST JoinIdList(IMalloc* Allocator, LPCITEMIDLIST ParentId, LPCITEMIDLIST Item) {
  const UINT ParentSize = IdListSize(ParentId);
  const UINT ItemSize = Item ? FirstItem(Item)->cb : 0;
  auto* Joined = static_cast<BYTE*>(Allocator->Alloc(ParentSize + ItemSize + 2));
  if (!Joined) throw std::bad_alloc();
  if (ParentSize) std::memcpy(Joined, ParentId, ParentSize);
  if (ItemSize) std::memcpy(Joined + ParentSize, Item, ItemSize);
  Joined[ParentSize + ItemSize] = Joined[ParentSize + ItemSize + 1] = 0;
  return reinterpret_cast<LPITEMIDLIST>(Joined);
}

void FreeIdList(IMalloc* Allocator, LPITEMIDLIST& List) {
  if (List && Allocator && Allocator->DidAlloc(List) > 0) Allocator->Free(List);
  List = nullptr;
}

bool SameItem(int Index, LPCITEMIDLIST List, LPCITEMIDLIST Item) {
  if (!List || !Item || IdListCount(List) <= Index) return false;
  const SHITEMID* A = FirstItem(List);
  for (int I = 0; I < Index; ++I) A = NextItem(A);
  const SHITEMID* B = FirstItem(Item);
  if (A->cb != B->cb) return false;
  return A->cb < 3 || std::memcmp(A->abID, B->abID, A->cb - 2u) == 0;
}

std::string PathFromIdList(LPCITEMIDLIST List) {
  char Buffer[261] = {};
  if (!List || !SHGetPathFromIDListA(List, Buffer)) return {};
  return std::string(Buffer, strnlen(Buffer, sizeof(Buffer)));
}

std::string DisplayNameOf(IShellFolder* Folder, LPCITEMIDLIST Item, DWORD Flags) {
  if (!Folder) return {};
  STRRET Name{};
  if (Folder->GetDisplayNameOf(Item, Flags, &Name) != S_OK) return {};
  switch (Name.uType) {
    case STRRET_WSTR: {
      std::string S = Name.pOleStr ? WideToAnsi(Name.pOleStr) : std::string();
      CoTaskMemFree(Name.pOleStr);  // the shell's allocator
      return S;
    }
    case STRRET_OFFSET: {
      const char* Text = reinterpret_cast<const char*>(Item) + Name.uOffset;
      return std::string(Text);
    }
    case STRRET_CSTR:
      return std::string(Name.cStr, strnlen(Name.cStr, sizeof(Name.cStr)));
    default:
      return Flags == SHGDN_NORMAL ? DisplayNameOf(Folder, Item, SHGDN_FORPARSING) : std::string();
  }
}

// --- Flags and masks -------------------------------------------------------------------------

DWORD OptionsToFlags(TVisOptions Options) {
  DWORD Flags = 0;
  if (Options.Contains(TF_FOLDERS)) Flags |= SHCONTF_FOLDERS;
  if (Options.Contains(TF_NONFOLDERS)) Flags |= SHCONTF_NONFOLDERS;
  if (Options.Contains(TF_HIDDEN)) Flags |= SHCONTF_INCLUDEHIDDEN;
  return Flags;
}

int FolderKindToCsidl(int Kind) {
  static const int Csidl[] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18, 19, 20, 21, -1};
  const int Index = Kind & 0x7F;
  return Index < static_cast<int>(std::size(Csidl)) ? Csidl[Index] : 0;
}

bool MatchMask(const std::string& Name, const std::string& Mask) {
  if (Mask.empty()) return false;
  const std::string N = Lower(Name), M = Lower(Mask);
  // Classic two-pointer walk: on a mismatch, the last "*" takes one more character.
  size_t I = 0, J = 0, StarJ = std::string::npos, StarI = 0;
  while (I < N.size()) {
    if (J < M.size() && M[J] == '*') {
      StarJ = J++;
      StarI = I;
    } else if (J < M.size() && (M[J] == '?' || M[J] == N[I])) {
      ++I;
      ++J;
    } else if (StarJ != std::string::npos) {
      J = StarJ + 1;
      I = ++StarI;
    } else {
      return false;
    }
  }
  while (J < M.size() && M[J] == '*') ++J;
  return J == M.size();
}

bool MatchAnyMask(const std::string& Name, const TStrings& Masks) {
  if (Masks.Count() == 0) return true;
  for (int I = 0; I < Masks.Count(); ++I)
    if (MatchMask(Name, Masks.Get(I))) return true;
  return false;
}
