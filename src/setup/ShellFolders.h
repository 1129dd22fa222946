// The per-user shell folders that shortcuts go into, named by a small number
// (ShellFolderKind) and read from the registry. Shortcut creation and removal
// both find their folder here, so a removal always looks where creation saved.
#pragma once

#include <string>

using ShellFolderKind = int;

inline constexpr ShellFolderKind sfkLinkFolder = 0;  // the folder part of the link name
inline constexpr ShellFolderKind sfkDesktop = 1;
inline constexpr ShellFolderKind sfkPrograms = 6;
inline constexpr ShellFolderKind sfkStartMenu = 9;

// Under HKEY_CURRENT_USER; the capital S of "MicroSoft" is how the key has always been written.
inline constexpr const char* ShellFoldersKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The value name for kinds 1 to 11 ("Desktop", "Favorites", ... "Templates");
// empty for kind 0 and for every kind outside the table.
std::string ShellFolderValueName(ShellFolderKind Kind);

// The folder the registry names for Kind; empty when the kind has no value name,
// the key or value is missing, or the value is not a string.
std::string ShellFolderPath(ShellFolderKind Kind);

// The folder a link named LinkName of this kind lives in, without trailing
// backslash: the shell folder for kinds 1 to 11, the folder part of LinkName for
// kind 0, empty otherwise.
std::string ShortcutFolder(const std::string& LinkName, ShellFolderKind Kind);

// The full name of that link file: ShortcutFolder, a backslash, the file-name part of LinkName.
std::string ShortcutFileName(const std::string& LinkName, ShellFolderKind Kind);
