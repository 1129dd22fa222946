#include "setup/Uinstbrisko_uninstall.h"

#include "classes/strings.h"
#include "classes/sysutils.h"
#include "gui/application.h"
#include "gui/dialogs.h"
#include "gui/handles.h"
#include "gui/registry.h"
#include "setup/SetupFiles.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace UninstallText {
std::string Question(const std::string& Folder) {
  return "Do you really want to delete all files and subdirs from\rthe directory " + Folder;
}
std::string NotAProductFolder(const std::string& Folder) {
  return "The recorded folder\r" + Folder + "\ris not a product folder and is left as it is.";
}
std::string Remnants(const std::string& Folder) {
  return "Brisko was removed, but some files remain in\r" + Folder;
}
}  // namespace UninstallText

// ---------------------------------------------------------------------------
// Paths as the file system sees them

namespace {

// The name the file system gives the object behind the handle, after every link.
std::string FinalName(HANDLE Handle) {
  std::string Buffer(MAX_PATH, '\0');
  for (;;) {
    DWORD N = GetFinalPathNameByHandleA(Handle, Buffer.data(), static_cast<DWORD>(Buffer.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (N == 0) return std::string();
    if (N < Buffer.size()) {
      Buffer.resize(N);
      break;
    }
    Buffer.resize(N + 1);
  }
  if (Buffer.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + Buffer.substr(8);
  if (Buffer.rfind("\\\\?\\", 0) == 0) return Buffer.substr(4);
  return Buffer;
}

TKernelHandle OpenEntry(const std::string& Path, DWORD Access, DWORD Flags) {
  return TKernelHandle(CreateFileA(Path.c_str(), Access,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, Flags, nullptr));
}

// The real name of an existing folder, without trailing backslash; empty if it cannot be opened.
std::string RealFolderName(const std::string& Path) {
  TKernelHandle Folder = OpenEntry(Path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
  return Folder ? FinalName(Folder.Get()) : std::string();
}

// Deletes the entry at Path, but only when what Path opens is the entry itself,
// whose real name is Real. Where a link is followed even when asked not to be
// (Wine does so for Unix links), the real name is the target's, and nothing
// is deleted: a walk over one folder must never delete in another.
bool DeleteOwnEntry(const std::string& Path, const std::string& Real, bool Folder) {
  DWORD Flags = FILE_FLAG_OPEN_REPARSE_POINT | (Folder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
  TKernelHandle Entry = OpenEntry(Path, DELETE | FILE_READ_ATTRIBUTES, Flags);
  if (!Entry || !SameText(FinalName(Entry.Get()), Real)) return false;
  FILE_DISPOSITION_INFO Disposition{};
  Disposition.DeleteFile = TRUE;
  return SetFileInformationByHandle(Entry.Get(), FileDispositionInfo, &Disposition,
                                    sizeof(Disposition)) != 0;
}

// Nothing at all by that name; a folder that cannot be looked at is not missing.
bool IsMissing(const std::string& Path) {
  if (PathExists(Path)) return false;
  const DWORD Error = GetLastError();
  return Error == ERROR_FILE_NOT_FOUND || Error == ERROR_PATH_NOT_FOUND || Error == ERROR_INVALID_NAME ||
         Error == ERROR_INVALID_DRIVE || Error == ERROR_BAD_PATHNAME;
}

}  // namespace

std::string ResolvedFolder(const std::string& Folder) {
  if (Folder.empty()) return std::string();
  DWORD N = GetFullPathNameA(Folder.c_str(), 0, nullptr, nullptr);
  if (N == 0) return std::string();
  std::string Full(N, '\0');
  N = GetFullPathNameA(Folder.c_str(), N, Full.data(), nullptr);
  if (N == 0 || N >= Full.size()) return std::string();
  Full.resize(N);
  std::string Real = RealFolderName(Full);
  if (Real.empty()) Real = Full;
  std::string Result = IncludeTrailingBackslash(Real);
  bool DriveRoot = Result.size() == 3 && Result[1] == ':';
  if (!DriveRoot) Result.pop_back();
  return Result;
}

// ---------------------------------------------------------------------------
// Which folders are never deleted as a whole

namespace {

bool IsLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }

// "X:\name\...": each part a name the file system keeps as written, so that no
// other spelling ("..", "name.", "name ") can stand for a protected folder.
bool IsPlainLocalFolder(const std::string& Folder) {
  if (Folder.size() < 4 || !IsLetter(Folder[0]) || Folder[1] != ':' || Folder[2] != '\\')
    return false;
  std::string Rest = Folder.substr(3);
  if (Rest.back() == '\\') Rest.pop_back();
  if (Rest.empty()) return false;
  size_t Start = 0;
  for (;;) {
    size_t End = Rest.find('\\', Start);
    std::string Part = Rest.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
    if (Part.empty() || Part == "." || Part == ".." || Part.back() == '.' || Part.back() == ' ')
      return false;
    for (unsigned char C : Part)
      if (C < 0x20 || std::string_view("<>:\"/|?*").find(static_cast<char>(C)) != std::string_view::npos)
        return false;
    if (End == std::string::npos) return true;
    Start = End + 1;
  }
}

bool IsAbsolute(const std::string& Path) {
  return (Path.size() >= 3 && IsLetter(Path[0]) && Path[1] == ':' && Path[2] == '\\') ||
         Path.rfind("\\\\", 0) == 0;
}

std::string Expanded(const std::string& Text) {
  DWORD N = ExpandEnvironmentStringsA(Text.c_str(), nullptr, 0);
  if (N == 0) return Text;
  std::string Result(N, '\0');
  N = ExpandEnvironmentStringsA(Text.c_str(), Result.data(), N);
  if (N == 0 || N > Result.size()) return Text;
  Result.resize(N - 1);
  return Result;
}

std::string Environment(const char* Name) {
  DWORD N = GetEnvironmentVariableA(Name, nullptr, 0);
  if (N == 0) return std::string();
  std::string Value(N, '\0');
  N = GetEnvironmentVariableA(Name, Value.data(), N);
  Value.resize(N < Value.size() ? N : 0);
  return Value;
}

// Every string value of a key, expanded; missing keys and other types give nothing.
std::vector<std::string> StringValues(HKEY Root, const std::string& Key) {
  std::vector<std::string> Values;
  TRegistry Registry(Root);
  if (!Registry.OpenKeyReadOnly(Key)) return Values;
  for (const std::string& Name : Registry.GetValueNames()) {
    try {
      Values.push_back(Expanded(Registry.ReadString(Name)));
    } catch (const ERegistryException&) {
    }
  }
  return Values;
}

std::vector<std::string> Subfolders(const std::string& Folder) {
  std::vector<std::string> Result;
  WIN32_FIND_DATAA Data;
  TFindHandle Find(FindFirstFileA((AddBackslash(Folder) + "*").c_str(), &Data));
  if (!Find) return Result;
  do {
    std::string Name = Data.cFileName;
    if ((Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && Name != "." && Name != "..")
      Result.push_back(AddBackslash(Folder) + Name);
  } while (FindNextFileA(Find.Get(), &Data));
  return Result;
}

void AddResolved(std::vector<std::string>& List, const std::string& Path) {
  if (!IsAbsolute(Path)) return;  // values such as "!Do not use this registry key" name no folder
  std::string Real = ResolvedFolder(Path);
  if (!Real.empty()) List.push_back(AddBackslash(Real));
}

}  // namespace

TSystemFolders SystemFolders() {
  TSystemFolders System;
  char Buffer[MAX_PATH + 1];
  for (const char* Name : {"windir", "SystemRoot"}) AddResolved(System.Windows, Environment(Name));
  if (UINT N = GetWindowsDirectoryA(Buffer, MAX_PATH); N && N < MAX_PATH)
    AddResolved(System.Windows, Buffer);
  if (UINT N = GetSystemWindowsDirectoryA(Buffer, MAX_PATH); N && N < MAX_PATH)
    AddResolved(System.Windows, Buffer);

  std::vector<std::string> Others;
  for (const char* Name :
       {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles",
        "CommonProgramFiles(x86)", "CommonProgramW6432", "ProgramData", "ALLUSERSPROFILE", "PUBLIC",
        "USERPROFILE", "APPDATA", "LOCALAPPDATA", "TEMP", "TMP"})
    Others.push_back(Environment(Name));
  Others.push_back(Environment("HOMEDRIVE") + Environment("HOMEPATH"));

  {
    TRegistry Registry(HKEY_LOCAL_MACHINE);
    if (Registry.OpenKeyReadOnly("Software\\Microsoft\\Windows\\CurrentVersion")) {
      for (const char* Name : {"ProgramFilesDir", "ProgramFilesDir (x86)", "ProgramW6432Dir",
                               "CommonFilesDir", "CommonFilesDir (x86)", "CommonW6432Dir"}) {
        try {
          Others.push_back(Expanded(Registry.ReadString(Name)));
        } catch (const ERegistryException&) {
        }
      }
    }
  }

  // The profiles folder, every profile in it and every profile the system knows of,
  // besides the shared folders the list names (ProgramData, Public, Default). Each is
  // protected with what lies above it; what lies below a shared folder is another
  // program's folder, C:\ProgramData\Brisko\ a product folder like any other.
  const std::string ProfileList = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
  for (const std::string& Value : StringValues(HKEY_LOCAL_MACHINE, ProfileList)) Others.push_back(Value);
  {
    TRegistry Registry(HKEY_LOCAL_MACHINE);
    if (Registry.OpenKeyReadOnly(ProfileList) && Registry.ValueExists("ProfilesDirectory")) {
      const std::string Profiles = Expanded(Registry.ReadString("ProfilesDirectory"));
      if (IsAbsolute(Profiles))
        for (const std::string& Profile : Subfolders(Profiles)) Others.push_back(Profile);
    }
  }
  {
    TRegistry Registry(HKEY_LOCAL_MACHINE);
    if (Registry.OpenKeyReadOnly(ProfileList))
      for (const std::string& Sid : Registry.GetKeyNames())
        for (const std::string& Value : StringValues(HKEY_LOCAL_MACHINE, ProfileList + '\\' + Sid))
          Others.push_back(Value);
  }

  const std::string Explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
  for (HKEY Root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    for (const char* Key : {"Shell Folders", "User Shell Folders"})
      for (const std::string& Value : StringValues(Root, Explorer + Key)) Others.push_back(Value);

  for (const std::string& Path : Others) AddResolved(System.Others, Path);
  return System;
}

bool IsSafeProductFolder(const std::string& Folder, const TSystemFolders& System) {
  if (!IsPlainLocalFolder(Folder)) return false;
  std::string Candidate = IncludeTrailingBackslash(Folder);
  for (const std::string& Windows : System.Windows) {
    if (Windows.empty()) continue;
    std::string W = IncludeTrailingBackslash(Windows);
    if (IsPathAtOrBelow(W, Candidate) || IsPathAtOrBelow(Candidate, W)) return false;
  }
  for (const std::string& Other : System.Others)
    if (!Other.empty() && IsPathAtOrBelow(IncludeTrailingBackslash(Other), Candidate)) return false;
  return true;
}

bool IsSafeProductFolder(const std::string& Folder) {
  if (!IsPlainLocalFolder(Folder)) return false;
  // Asked without its trailing backslash, a link reports itself rather than its target.
  DWORD Attributes = GetFileAttributesA(ExcludeTrailingBackslash(Folder).c_str());
  if (Attributes != INVALID_FILE_ATTRIBUTES &&
      ((Attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(Attributes & FILE_ATTRIBUTE_DIRECTORY)))
    return false;
  std::string Real = ResolvedFolder(Folder);
  if (Real.empty()) return false;
  TSystemFolders System = SystemFolders();
  return IsSafeProductFolder(Folder, System) && IsSafeProductFolder(AddBackslash(Real), System);
}

// ---------------------------------------------------------------------------
// Shortcuts and the registry

std::string RecordedInstallFolder() {
  TRegistry Registry(HKEY_LOCAL_MACHINE);
  if (!Registry.OpenKeyReadOnly(InstallToKey)) return std::string();
  try {
    return Registry.ReadString("");
  } catch (const ERegistryException&) {
    return std::string();
  }
}

void DeleteShortcut(const std::string& Target, const std::string& Arguments,
                    const std::string& LinkName, ShellFolderKind Kind) {
  // Without a folder the name would point at the root of the current drive.
  std::string Folder = ShortcutFolder(LinkName, Kind);
  if (Folder.empty()) return;
  std::string Real = ResolvedFolder(Folder);
  if (Real.empty()) return;
  DeleteOwnEntry(ShortcutFileName(LinkName, Kind), AddBackslash(Real) + ExtractFileName(LinkName),
                 false);
}

// ---------------------------------------------------------------------------
// The tree

namespace {

// Adds names to a sorted list (of names only) in one sort, not one insertion each,
// which would make a walk over many folders quadratic.
void AddAll(TStringList& List, std::vector<std::string> Names) {
  if (Names.empty()) return;
  if (!List.Sorted() || List.Duplicates() != dupIgnore) {
    for (const std::string& Name : Names) List.Add(Name);
    return;
  }
  bool CaseSensitive = List.CaseSensitive();
  auto Compare = [CaseSensitive](const std::string& A, const std::string& B) {
    return CaseSensitive ? AnsiCompareStr(A, B) : AnsiCompareText(A, B);
  };
  for (int I = 0; I < List.Count(); ++I) Names.push_back(List.Get(I));
  std::stable_sort(Names.begin(), Names.end(),
                   [&](const std::string& A, const std::string& B) { return Compare(A, B) < 0; });
  Names.erase(std::unique(Names.begin(), Names.end(),
                          [&](const std::string& A, const std::string& B) { return Compare(A, B) == 0; }),
              Names.end());
  List.Clear();
  List.SetSorted(false);
  for (const std::string& Name : Names) List.Add(Name);
  List.SetSorted(true);
}

bool MatchesEverything(const std::string& Mask) { return Mask == "*.*" || Mask == "*"; }

class TTreeWalk {
public:
  TTreeWalk(const std::string& Mask, bool Descend) : Mask_(Mask), Descend_(Descend) {}

  // Path and Real end with a backslash: the folder as named and as it really is.
  bool Walk(const std::string& Path, const std::string& Real) {
    std::vector<std::string> Files;
    std::vector<TFolderEntry> Folders;
    bool CollectFolders = Descend_ && MatchesEverything(Mask_);
    List(Path + Mask_, Files, CollectFolders ? &Folders : nullptr);
    if (Descend_ && !CollectFolders) {
      std::vector<std::string> Ignored;
      List(Path + "*", Ignored, &Folders);
    }

    bool DeletedHere = false;
    for (const std::string& Name : Files)
      if (DeleteOwnEntry(Path + Name, Real + Name, false)) DeletedHere = true;
    if (DeletedHere) Collected.push_back(Path);

    Application->ProcessMessages();
    bool GoOn = !Application->Terminated();
    for (size_t I = 0; GoOn && I < Folders.size(); ++I) {
      const TFolderEntry& Entry = Folders[I];
      std::string Sub = Path + Entry.Name;
      if (Entry.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        DeleteOwnEntry(Sub, Real + Entry.Name, true);
        continue;
      }
      // A folder that is really somewhere else (a link the listing did not show
      // as one, another drive's view of the same disk) is not part of this tree.
      if (!SameText(RealFolderName(Sub), Real + Entry.Name)) continue;
      Collected.push_back(Sub + '\\');
      GoOn = Walk(Sub + '\\', Real + Entry.Name + '\\');
    }
    return GoOn;
  }

  std::vector<std::string> Collected;

private:
  struct TFolderEntry {
    std::string Name;
    DWORD Attributes;
  };

  // Files (not folders) matching Pattern, and the folders too when asked for.
  static void List(const std::string& Pattern, std::vector<std::string>& Files,
                   std::vector<TFolderEntry>* Folders) {
    WIN32_FIND_DATAA Data;
    TFindHandle Find(FindFirstFileExA(Pattern.c_str(), FindExInfoBasic, &Data,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!Find) return;
    do {
      std::string_view Name = Data.cFileName;
      if (Name == "." || Name == "..") continue;
      if (!(Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) Files.emplace_back(Name);
      else if (Folders) Folders->push_back({std::string(Name), Data.dwFileAttributes});
    } while (FindNextFileA(Find.Get(), &Data));
  }

  std::string Mask_;
  bool Descend_;
};

// The hourglass for as long as it lives, the default cursor after.
class TBusyCursor {
public:
  TBusyCursor() { Screen->SetCursor(crHourGlass); }
  ~TBusyCursor() { Screen->SetCursor(crDefault); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace

bool DeleteTree(const std::string& Folder, const std::string& Mask, bool Descend, TStringList& RemovedFolders) {
  TBusyCursor Busy;
  std::string Path = AddBackslash(Folder);
  TTreeWalk Walk(Mask, Descend);
  DWORD Attributes = GetFileAttributesA(ExcludeTrailingBackslash(Path).c_str());
  // A root that is itself a link is not entered either.
  if (Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return true;
  std::string Real = RealFolderName(Path);
  if (Real.empty()) return true;
  const bool Completed = Walk.Walk(Path, AddBackslash(Real));
  AddAll(RemovedFolders, std::move(Walk.Collected));
  return Completed;
}

void RemoveFolders(const TStringList& Folders) {
  for (int I = Folders.Count() - 1; I >= 0; --I) RemoveDirectoryA(Folders.Get(I).c_str());
}

// ---------------------------------------------------------------------------
// The run

namespace {

void DeleteShortcuts(const std::string& Folder) {
  for (ShellFolderKind Kind : {sfkDesktop, sfkStartMenu, sfkPrograms}) {
    try {
      DeleteShortcut(Folder + "BRISKO.EXE", "", "Brisko.lnk", Kind);
    } catch (const std::exception&) {
      // Each shortcut is removed on its own; one that fails does not stop the others.
    }
  }
}

void DeleteProductKey() {
  try {
    TRegistry Registry(HKEY_LOCAL_MACHINE);
    Registry.DeleteKey(ProductKey);
  } catch (const std::exception&) {
  }
}

}  // namespace

std::string RunUninstall() {
  std::string Folder = RecordedInstallFolder();
  if (Folder.empty()) {
    ShowMessage(UninstallText::NeverInstalled);
    ExitProcess(0);
  }

  TStringList RemovedFolders;
  RemovedFolders.SetSorted(true);
  RemovedFolders.SetDuplicates(dupIgnore);

  DeleteShortcuts(Folder);
  DeleteProductKey();

  if (!IsSafeProductFolder(Folder)) {
    // Of a folder that is not there, nothing can remain.
    if (IsMissing(Folder)) return UninstallText::Removed;
    ShowMessage(UninstallText::NotAProductFolder(Folder));
    return UninstallText::Remnants(Folder);
  }
  if (MessageDlg(UninstallText::Question(Folder), mtInformation, {mbYes, mbNo}, 0) != mrYes)
    return UninstallText::Removed;

  // Names are appended to the folder, so it needs its backslash for them to be found.
  std::string Root = AddBackslash(Folder);
  DeleteTree(Root, "*.*", true, RemovedFolders);
  RemovedFolders.Add(Root);
  RemoveFolders(RemovedFolders);
  RemovedFolders.Clear();
  return PathExists(Root) ? UninstallText::Remnants(Folder) : UninstallText::Removed;
}
