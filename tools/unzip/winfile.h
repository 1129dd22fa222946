// Small pieces over the Windows file functions shared by the writers: an owned handle,
// long-path spelling, the system's text for an error code, and entry times on a handle.
#pragma once

#include <string>

#include <windows.h>

#include "archive.h"

namespace unzip {

class Handle {
public:
  explicit Handle(HANDLE H) : H_(H) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return H_; }
  bool Valid() const { return H_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    const bool ok = !Valid() || CloseHandle(H_);
    H_ = INVALID_HANDLE_VALUE;
    return ok;
  }

private:
  HANDLE H_;
};

// Full, an absolute path of checked components, in the \\?\ form when it is too long for
// the ordinary one (temporary names beside a long path need this).
std::wstring Win32Path(const std::wstring& Full);
bool IsFolder(const std::wstring& Path);
std::string SystemMessage(DWORD Code);

// Gives the open file or folder H the entry's modification time (NTFS, then
// extended-timestamp extra field, then the local DOS time), and with NTFS times also the
// creation and access times.
void ApplyTimes(HANDLE H, const EntryTimes& T);

}  // namespace unzip
