// Helpers of the unzip and demo tests.
#include "testutil.h"

#include "support/host_paths.h"

#include <algorithm>

namespace testutil {

std::string FromBuildPath(const char* UnixPath) { return testsupport::HostPath(UnixPath); }

std::wstring Wide(const std::string& Utf8) {
  if (Utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, Utf8.data(), static_cast<int>(Utf8.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, Utf8.data(), static_cast<int>(Utf8.size()), w.data(), n);
  return w;
}

std::string Utf8(const std::wstring& Wide) {
  if (Wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, Wide.data(), static_cast<int>(Wide.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, Wide.data(), static_cast<int>(Wide.size()), s.data(), n, nullptr, nullptr);
  return s;
}

ScratchFolder::ScratchFolder(const std::string& Name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  Path_ = std::string(temp) + "unziptest" + std::to_string(GetCurrentProcessId()) + "_" + Name + "\\";
  RemoveTree(Wide(Path_));
  CreateDirectoryA(Path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(Wide(Path_)); }

void RemoveTree(const std::wstring& Path) {
  std::wstring dir = Path;
  if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
  const DWORD a = GetFileAttributesW(dir.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(dir.c_str());
    return;
  }
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring n = fd.cFileName;
      if (n != L"." && n != L"..") RemoveTree(dir + L"\\" + n);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

static void ListInto(const std::wstring& Root, const std::wstring& Rel, std::vector<std::wstring>& Out) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((Root + Rel + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring n = fd.cFileName;
    if (n == L"." || n == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Out.push_back(Rel + n + L"\\");
      ListInto(Root, Rel + n + L"\\", Out);
    } else {
      Out.push_back(Rel + n);
    }
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

std::vector<std::wstring> ListTree(const std::wstring& Root) {
  std::vector<std::wstring> out;
  std::wstring root = Root;
  if (!root.empty() && root.back() != L'\\') root += L'\\';
  ListInto(root, L"", out);
  std::sort(out.begin(), out.end());
  return out;
}

bool WriteBytes(const std::wstring& Path, const std::string& Bytes) {
  HANDLE h = CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  const bool ok = WriteFile(h, Bytes.data(), static_cast<DWORD>(Bytes.size()), &wrote, nullptr) && wrote == Bytes.size();
  CloseHandle(h);
  return ok;
}

bool ReadBytes(const std::wstring& Path, std::string& Bytes) {
  HANDLE h = CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  GetFileSizeEx(h, &size);
  Bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  const bool ok = Bytes.empty() || (ReadFile(h, Bytes.data(), static_cast<DWORD>(Bytes.size()), &got, nullptr) && got == Bytes.size());
  CloseHandle(h);
  return ok;
}

bool Exists(const std::wstring& Path) { return GetFileAttributesW(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

uint64_t ModifiedTicks(const std::wstring& Path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(Path.c_str(), GetFileExInfoStandard, &d)) return 0;
  return (static_cast<uint64_t>(d.ftLastWriteTime.dwHighDateTime) << 32) | d.ftLastWriteTime.dwLowDateTime;
}

uint64_t TicksFromUtc(int Year, int Month, int Day, int Hour, int Minute, int Second) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(Year);
  st.wMonth = static_cast<WORD>(Month);
  st.wDay = static_cast<WORD>(Day);
  st.wHour = static_cast<WORD>(Hour);
  st.wMinute = static_cast<WORD>(Minute);
  st.wSecond = static_cast<WORD>(Second);
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

RunResult Run(const std::string& CommandLine, const std::string& CurrentFolder) {
  RunResult result;
  char temp[MAX_PATH], file[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetTempFileNameA(temp, "out", 0, file);
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE out = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  si.hStdInput = nullptr;
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi{};
  std::string line = CommandLine;
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     CurrentFolder.empty() ? nullptr : CurrentFolder.c_str(), &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &result.ExitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(out);
  std::string text;
  ReadBytes(Wide(file), text);
  DeleteFileA(file);
  result.Output = text;
  return result;
}

std::string UnzipCommand() { return "\"" + FromBuildPath(UNZIP_EXE) + "\""; }

}  // namespace testutil
