// TFileStream over the platform's files: Win32 handles on Windows (so that the
// share modes mean what they say), POSIX descriptors in the native build.
#include "classes/streams.h"
#include "classes/sysutils.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

namespace {
HANDLE H(intptr_t V) { return reinterpret_cast<HANDLE>(V); }
}  // namespace

TFileStream::TFileStream(const std::string& FileName, unsigned Mode) : FileName_(FileName) {
  HANDLE Handle;
  if (Mode == fmCreate) {
    Handle = CreateFileA(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (Handle == INVALID_HANDLE_VALUE) throw EFCreateError(Format(Msg::FCreateError, FileName));
  } else {
    static const DWORD Access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    DWORD Share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (Mode & fmShareExclusive) Share = 0;
    else if (Mode & fmShareDenyWrite) Share = FILE_SHARE_READ;
    Handle = CreateFileA(FileName.c_str(), Access[Mode & 3], Share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
    if (Handle == INVALID_HANDLE_VALUE) throw EFOpenError(Format(Msg::FOpenError, FileName));
  }
  Handle_ = reinterpret_cast<intptr_t>(Handle);
}

TFileStream::~TFileStream() {
  if (H(Handle_) != INVALID_HANDLE_VALUE) CloseHandle(H(Handle_));
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  DWORD Done = 0;
  if (!ReadFile(H(Handle_), Buffer, static_cast<DWORD>(std::min<int64_t>(Count, 0x7FFFFFFF)), &Done, nullptr)) return 0;
  return Done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  DWORD Done = 0;
  if (!WriteFile(H(Handle_), Buffer, static_cast<DWORD>(std::min<int64_t>(Count, 0x7FFFFFFF)), &Done, nullptr))
    return 0;
  return Done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  static const DWORD Methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  LARGE_INTEGER Distance, NewPos;
  Distance.QuadPart = Offset;
  if (!SetFilePointerEx(H(Handle_), Distance, &NewPos, Methods[Origin])) return -1;
  return NewPos.QuadPart;
}

void TFileStream::SetSize(int64_t NewSize) {
  int64_t Pos = Position();
  Seek(NewSize, soBeginning);
  if (!SetEndOfFile(H(Handle_))) throw EWriteError(Msg::WriteError);
  if (Pos < NewSize) Seek(Pos, soBeginning);
}

#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TFileStream::TFileStream(const std::string& FileName, unsigned Mode) : FileName_(FileName) {
  if (Mode == fmCreate) {
    Handle_ = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (Handle_ < 0) throw EFCreateError(Format(Msg::FCreateError, FileName));
  } else {
    static const int Flags[] = {O_RDONLY, O_WRONLY, O_RDWR};
    Handle_ = ::open(FileName.c_str(), Flags[Mode & 3]);
    if (Handle_ < 0) throw EFOpenError(Format(Msg::FOpenError, FileName));
  }
}

TFileStream::~TFileStream() {
  if (Handle_ >= 0) ::close(static_cast<int>(Handle_));
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  ssize_t N = ::read(static_cast<int>(Handle_), Buffer, static_cast<size_t>(Count));
  return N < 0 ? 0 : N;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  ssize_t N = ::write(static_cast<int>(Handle_), Buffer, static_cast<size_t>(Count));
  return N < 0 ? 0 : N;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  static const int Whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  return ::lseek(static_cast<int>(Handle_), Offset, Whence[Origin]);
}

void TFileStream::SetSize(int64_t NewSize) {
  if (::ftruncate(static_cast<int>(Handle_), NewSize) != 0) throw EWriteError(Msg::WriteError);
}
#endif
