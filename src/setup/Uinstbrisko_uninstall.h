// The uninstallation run: finds the recorded install folder, removes the
// shortcuts and the product's registry key, asks, deletes the folder's tree
// without ever following a link out of it, and says what the finish page shows.
#pragma once

#include "setup/ShellFolders.h"

#include <string>
#include <vector>

class TStringList;

// Where the install folder is recorded, under HKEY_LOCAL_MACHINE.
inline constexpr const char* InstallToKey = "Software\\Brisko\\InstallTo";
inline constexpr const char* ProductKey = "Software\\Brisko";

namespace UninstallText {
inline constexpr const char* NeverInstalled =
    "You have never installed Brisko!\rSo we do not have to UnInstall it.";
inline constexpr const char* Removed = "You have succesfully removed Brisko";
std::string Question(const std::string& Folder);
std::string NotAProductFolder(const std::string& Folder);
std::string Remnants(const std::string& Folder);
}  // namespace UninstallText

// The whole run. Asks and tells through the GUI library's message boxes, lets the
// application handle its messages once per folder it walks, and stops the walk when
// the application terminates. Returns the text of the finish page's Label2; ends
// the process with exit code 0 when nothing is recorded.
std::string RunUninstall();

// The recorded install folder; empty when the key or its default value is missing.
std::string RecordedInstallFolder();

// Removes the link file CreateShortcut saved for LinkName and Kind; Target and
// Arguments do not change which file that is. Failures are ignored.
void DeleteShortcut(const std::string& Target, const std::string& Arguments,
                    const std::string& LinkName, ShellFolderKind Kind);

// Deletes the files matching Mask under Folder (and, with Descend, in every
// folder below), adds each folder it deleted from or entered to RemovedFolders
// (sorted, duplicates ignored), and lets the application handle its messages once
// per folder, with the hourglass as the screen's cursor meanwhile. Links and
// folders that lead out of the tree are neither entered nor followed: a link is
// removed only where the platform removes the link itself. Returns false when it
// stopped because the application is terminating.
bool DeleteTree(const std::string& Folder, const std::string& Mask, bool Descend, TStringList& RemovedFolders);

// Removes the listed folders from the last entry to the first (so the deepest
// first), each only if empty; failures are ignored.
void RemoveFolders(const TStringList& Folders);

// The folders no product may be installed in as a whole, each normalised
// (absolute, one trailing backslash).
struct TSystemFolders {
  std::vector<std::string> Windows;  // windir and the like: neither they, nor above, nor inside
  std::vector<std::string> Others;   // Program Files, profiles, shell folders: neither they nor above
};

// What this machine protects: the environment, the profiles and the shell folders.
TSystemFolders SystemFolders();

// Whether Folder, as recorded, may have its whole tree deleted: an absolute local
// path with at least one folder name, no "." or ".." parts, and neither a drive
// root nor a protected folder, nor above one, nor inside the Windows folder.
// Comparison ignores case and trailing backslashes; Folder and System are taken
// as spelt (see IsSafeProductFolder(Folder) for the one that resolves them).
bool IsSafeProductFolder(const std::string& Folder, const TSystemFolders& System);

// The same against this machine, with Folder resolved first to what it really is
// (links, aliases and other spellings of the same folder), and a Folder that is
// itself a link refused.
bool IsSafeProductFolder(const std::string& Folder);

// The folder's real name: absolute, without trailing backslash (a drive root keeps
// its own), resolved through links when it exists; empty for an unusable path.
std::string ResolvedFolder(const std::string& Folder);
