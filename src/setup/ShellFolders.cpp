#include "setup/ShellFolders.h"

#include "classes/sysutils.h"
#include "gui/registry.h"

namespace {

const char* const ValueNames[] = {
    nullptr,     "Desktop", "Favorites", "Fonts",   "NetHood",  "Personal",
    "Programs",  "Recent",  "SendTo",    "Start Menu", "Startup", "Templates",
};

}  // namespace

std::string ShellFolderValueName(ShellFolderKind Kind) {
  constexpr int Count = static_cast<int>(sizeof(ValueNames) / sizeof(ValueNames[0]));
  if (Kind < 1 || Kind >= Count) return std::string();
  return ValueNames[Kind];
}

std::string ShellFolderPath(ShellFolderKind Kind) {
  std::string Name = ShellFolderValueName(Kind);
  if (Name.empty()) return std::string();
  TRegistry Registry(HKEY_CURRENT_USER);
  if (!Registry.OpenKeyReadOnly(ShellFoldersKey)) return std::string();
  try {
    return Registry.ReadString(Name);
  } catch (const ERegistryException&) {
    return std::string();  // a value of another type names no folder
  }
}

std::string ShortcutFolder(const std::string& LinkName, ShellFolderKind Kind) {
  if (Kind != sfkLinkFolder) return ShellFolderPath(Kind);
  std::string Folder = ExtractFilePath(LinkName);
  if (!Folder.empty()) Folder.pop_back();
  return Folder;
}

std::string ShortcutFileName(const std::string& LinkName, ShellFolderKind Kind) {
  return ShortcutFolder(LinkName, Kind) + '\\' + ExtractFileName(LinkName);
}
