// Small pieces over the Windows file functions; see winfile.h.
#include "winfile.h"

#include "entryname.h"

namespace unzip {

std::wstring Win32Path(const std::wstring& Full) {
  if (Full.size() < MAX_PATH - 12 || Full.compare(0, 4, L"\\\\?\\") == 0) return Full;
  if (Full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + Full.substr(2);
  return L"\\\\?\\" + Full;
}

bool IsFolder(const std::wstring& Path) {
  const DWORD a = GetFileAttributesW(Win32Path(Path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string SystemMessage(DWORD Code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, Code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring msg = text ? text : L"";
  if (text) LocalFree(text);
  while (!msg.empty() && (msg.back() == L'\n' || msg.back() == L'\r' || msg.back() == L' ')) msg.pop_back();
  return msg.empty() ? "error " + std::to_string(Code) : Utf8FromWide(msg);
}

namespace {

// The modification time to give a file, or false when the entry's time is unusable.
bool ModifiedTime(const EntryTimes& T, FILETIME& Out) {
  if (T.HasNtfs) {
    Out = T.NtfsModified;
    return true;
  }
  if (T.HasUnix) {
    const int64_t ticks = (T.UnixModified + 11644473600LL) * 10000000LL;
    if (ticks < 0) return false;
    Out.dwLowDateTime = static_cast<DWORD>(ticks);
    Out.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
    return true;
  }
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(1980 + (T.DosDate >> 9));
  local.wMonth = static_cast<WORD>((T.DosDate >> 5) & 15);
  local.wDay = static_cast<WORD>(T.DosDate & 31);
  local.wHour = static_cast<WORD>(T.DosTime >> 11);
  local.wMinute = static_cast<WORD>((T.DosTime >> 5) & 63);
  local.wSecond = static_cast<WORD>((T.DosTime & 31) * 2);
  SYSTEMTIME utc;
  return TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) && SystemTimeToFileTime(&utc, &Out);
}

}  // namespace

void ApplyTimes(HANDLE H, const EntryTimes& T) {
  FILETIME modified;
  if (!ModifiedTime(T, modified)) return;
  if (T.HasNtfs)
    SetFileTime(H, &T.NtfsCreated, &T.NtfsAccessed, &modified);
  else
    SetFileTime(H, nullptr, nullptr, &modified);
}

}  // namespace unzip
