// gui/ layer 1 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Access to the system registry: one root key, at most one open key under it.
#pragma once

#include "classes/sysutils.h"
#include "gui/handles.h"

#include <string>
#include <vector>

INSTBRISKO_EXCEPTION(ERegistryException, Exception);

// Opens keys under a root key and reads and writes the values of the one key open.
//
// Key paths: a path that starts with a backslash is taken from the root key; any
// other path is taken from the open key, or from the root key when none is open.
// Trailing backslashes are ignored, so OpenKey("\\", false) opens the root itself.
// Key and value names are compared without case by the registry itself. Values are
// read and written in the open key; with no key open, reads find nothing and writes
// raise ERegistryException.
class TRegistry {
public:
  TRegistry() = default;
  explicit TRegistry(HKEY RootKey) : RootKey_(RootKey) {}
  ~TRegistry() { CloseKey(); }
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // HKEY_CURRENT_USER unless set; setting it closes the open key.
  HKEY RootKey() const { return RootKey_; }
  void SetRootKey(HKEY Value);
  // The open key, or nullptr.
  HKEY CurrentKey() const { return Current_.Get(); }
  // The open key's path below the root, without leading backslash.
  const std::string& CurrentPath() const { return CurrentPath_; }
  // When false, closing the key commits its changes to disk at once (RegFlushKey).
  bool LazyWrite() const { return LazyWrite_; }
  void SetLazyWrite(bool Value) { LazyWrite_ = Value; }

  // Opens the key for reading and writing, creating it (and missing parents) when
  // CanCreate; on success it replaces the open key. False when it cannot be opened.
  bool OpenKey(const std::string& Key, bool CanCreate);
  // Opens an existing key for reading only.
  bool OpenKeyReadOnly(const std::string& Key);
  // True when the key exists, even if we may not read it.
  bool KeyExists(const std::string& Key);
  void CloseKey();
  // Deletes the key with all its subkeys and values; false when it failed or
  // the path names no key (an empty path never deletes the root or open key).
  bool DeleteKey(const std::string& Key);

  // The string value (REG_SZ or REG_EXPAND_SZ, unexpanded); empty when missing.
  // A value of another type raises ERegistryException. Name "" is the default value.
  std::string ReadString(const std::string& Name);
  // Writes a REG_SZ value; failure raises ERegistryException.
  void WriteString(const std::string& Name, const std::string& Value);
  bool ValueExists(const std::string& Name);
  bool DeleteValue(const std::string& Name);
  std::vector<std::string> GetValueNames();
  std::vector<std::string> GetKeyNames();

private:
  // Where a path starts from, and the path below the root it names.
  HKEY BaseFor(const std::string& Key, std::string& Relative, std::string& FullPath) const;
  bool Open(const std::string& Key, REGSAM Access, bool CanCreate);

  HKEY RootKey_ = HKEY_CURRENT_USER;
  TRegKey Current_;
  std::string CurrentPath_;
  bool LazyWrite_ = true;
};
