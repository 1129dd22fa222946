// Extraction: the plan (every entry checked before anything is written), folder
// creation, writing each file with CRC and size checks, and file times.
#include "extract.h"

#include <set>
#include <vector>

#include <zlib.h>

#include "archive.h"
#include "entryname.h"

namespace unzip {

namespace {

constexpr size_t kChunk = 256 * 1024;

std::string SystemMessage(DWORD Code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, Code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring msg = text ? text : L"";
  if (text) LocalFree(text);
  while (!msg.empty() && (msg.back() == L'\n' || msg.back() == L'\r' || msg.back() == L' ')) msg.pop_back();
  return msg.empty() ? "error " + std::to_string(Code) : Utf8FromWide(msg);
}

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

// Windows refuses ordinary paths beyond MAX_PATH; the \\?\ form lifts that limit. Our
// paths are already absolute and made only of checked components, as that form requires.
std::wstring Win32Path(const std::wstring& Full) {
  if (Full.size() < MAX_PATH - 12 || Full.compare(0, 4, L"\\\\?\\") == 0) return Full;
  if (Full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + Full.substr(2);
  return L"\\\\?\\" + Full;
}

bool IsFolder(const std::wstring& Path) {
  const DWORD a = GetFileAttributesW(Win32Path(Path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool EntryIsFolderByAttributes(const Entry& E) {
  if ((E.ExternalAttributes & FILE_ATTRIBUTE_DIRECTORY) && E.UncompressedSize == 0 && E.CompressedSize == 0)
    return true;
  return E.HostSystem == 3 && ((E.ExternalAttributes >> 16) & 0170000) == 0040000;
}

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

void ApplyTimes(HANDLE H, const EntryTimes& T) {
  FILETIME modified;
  if (!ModifiedTime(T, modified)) return;
  if (T.HasNtfs)
    SetFileTime(H, &T.NtfsCreated, &T.NtfsAccessed, &modified);
  else
    SetFileTime(H, nullptr, nullptr, &modified);
}

struct PlannedEntry {
  const Entry* Source;
  std::wstring Path;      // absolute
  std::string Shown;      // the name as reported, UTF-8
  bool IsFolder;
  uint64_t DataOffset;
};

class Extractor {
public:
  Extractor(const Options& Opt, const MessageSink& Report) : Opt_(Opt), Report_(Report), File_(Opt.Archive) {}

  Status Run(Summary& Done) {
    Dir_ = ReadCentralDirectory(File_);
    Plan();
    Status status = Status::Ok;
    if (!MakeFolders(Root_)) {
      Fail(Status::WriteFailed, "cannot create the folder \"" + Utf8FromWide(Root_) + "\": " + SystemMessage(Error_));
      return Status::WriteFailed;
    }
    for (const PlannedEntry& p : Plan_) {
      const Status s = p.IsFolder ? WriteFolder(p) : WriteFile(p);
      if (s == Status::Ok) ++(p.IsFolder ? Done.Folders : Done.Files);
      status = Worse(status, s);
    }
    // Writing files into a folder moves its time, so folders get theirs last.
    for (const PlannedEntry& p : Plan_)
      if (p.IsFolder) SetFolderTime(p);
    return status;
  }

private:
  Status Fail(Status S, const std::string& Message) {
    Report_(Message);
    return S;
  }

  // Everything that can refuse the archive happens here, before the first write.
  void Plan() {
    Root_ = FullPath(Opt_.Destination.empty() ? L"." : Opt_.Destination);
    for (const Entry& e : Dir_.Entries) {
      const std::wstring name = DecodeName(e);
      const EntryPath path = CheckEntryPath(name, EntryIsFolderByAttributes(e));
      const std::string shown = Utf8FromWide(name);
      if (e.Encrypted()) throw UnzipError(Status::Refused, "entry \"" + shown + "\" is encrypted, which is not supported");
      if (e.Method != 0 && e.Method != 8)
        throw UnzipError(Status::Refused, "entry \"" + shown + "\" uses compression method " +
                                              std::to_string(e.Method) + ", which is not supported");
      if (e.Method == 0 && e.CompressedSize != e.UncompressedSize)
        throw UnzipError(Status::Damaged, "damaged archive: stored entry \"" + shown + "\" has two different sizes");
      if (path.IsFolder && path.Parts.empty()) continue;  // the destination itself
      std::wstring full = Root_;
      for (const std::wstring& part : path.Parts) {
        if (full.back() != L'\\') full += L'\\';
        full += part;
      }
      const uint64_t data = path.IsFolder ? 0 : LocateEntryData(File_, Dir_, e);
      Plan_.push_back({&e, std::move(full), shown, path.IsFolder, data});
    }
  }

  static std::wstring FullPath(const std::wstring& Path) {
    const DWORD n = GetFullPathNameW(Path.c_str(), 0, nullptr, nullptr);
    if (n == 0) throw UnzipError(Status::WriteFailed, "bad destination folder \"" + Utf8FromWide(Path) + "\"");
    std::wstring full(n, L'\0');
    const DWORD m = GetFullPathNameW(Path.c_str(), n, full.data(), nullptr);
    full.resize(m < n ? m : 0);
    if (full.empty()) throw UnzipError(Status::WriteFailed, "bad destination folder \"" + Utf8FromWide(Path) + "\"");
    // Keep "C:\" whole; any other trailing separator goes.
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
    return full;
  }

  // Creates Path and any missing folder above it; sets Error_ when that fails.
  bool MakeFolders(const std::wstring& Path) {
    if (Known_.count(Path)) return true;
    if (CreateDirectoryW(Win32Path(Path).c_str(), nullptr) || IsFolder(Path)) {
      Known_.insert(Path);
      return true;
    }
    Error_ = GetLastError();
    if (Error_ != ERROR_PATH_NOT_FOUND) return false;
    const size_t cut = Path.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut < 2) return false;
    const std::wstring parent = (cut == 2 && Path[1] == L':') ? Path.substr(0, 3) : Path.substr(0, cut);
    if (!MakeFolders(parent)) return false;
    if (!CreateDirectoryW(Win32Path(Path).c_str(), nullptr) && !IsFolder(Path)) {
      Error_ = GetLastError();
      return false;
    }
    Known_.insert(Path);
    return true;
  }

  bool MakeParent(const std::wstring& Path) { return MakeFolders(Path.substr(0, Path.find_last_of(L'\\'))); }

  Status WriteFolder(const PlannedEntry& P) {
    if (MakeFolders(P.Path)) return Status::Ok;
    return Fail(Status::WriteFailed, "cannot create the folder \"" + P.Shown + "\": " + SystemMessage(Error_));
  }

  Status WriteFile(const PlannedEntry& P) {
    if (!MakeParent(P.Path))
      return Fail(Status::WriteFailed, "cannot create the folder for \"" + P.Shown + "\": " + SystemMessage(Error_));
    const std::wstring target = Win32Path(P.Path);
    Handle out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (out.Valid()) return WriteInto(out, P, target, nullptr);

    const DWORD err = GetLastError();
    if (IsFolder(P.Path)) return Fail(Status::WriteFailed, "cannot write \"" + P.Shown + "\": a folder of that name exists");
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS)
      return Fail(Status::WriteFailed, "cannot create \"" + P.Shown + "\": " + SystemMessage(err));
    if (!Opt_.Overwrite) return Fail(Status::Skipped, "kept the existing \"" + P.Shown + "\" (use -o to overwrite)");

    const std::wstring temp = target + L".~unzip" + std::to_wstring(GetCurrentProcessId());
    Handle tmp(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!tmp.Valid()) return Fail(Status::WriteFailed, "cannot create a file beside \"" + P.Shown + "\": " + SystemMessage(GetLastError()));
    return WriteInto(tmp, P, temp, &target);
  }

  // Writes the entry's data into Out (a new file at Written); on success renames it over
  // ReplaceTarget when given. On any failure the file at Written is removed.
  Status WriteInto(Handle& Out, const PlannedEntry& P, const std::wstring& Written, const std::wstring* ReplaceTarget) {
    std::string why;
    Status s = CopyData(*P.Source, P.DataOffset, Out.Get(), why);
    if (s == Status::Ok) ApplyTimes(Out.Get(), P.Source->Times);
    if (!Out.Close() && s == Status::Ok) {
      s = Status::WriteFailed;
      why = SystemMessage(GetLastError());
    }
    if (s == Status::Ok && ReplaceTarget) {
      if (!MoveFileExW(Written.c_str(), ReplaceTarget->c_str(), MOVEFILE_REPLACE_EXISTING)) {
        // A read-only file is replaced all the same: -o asked for it.
        const DWORD a = GetFileAttributesW(ReplaceTarget->c_str());
        if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_READONLY) ||
            !SetFileAttributesW(ReplaceTarget->c_str(), a & ~FILE_ATTRIBUTE_READONLY) ||
            !MoveFileExW(Written.c_str(), ReplaceTarget->c_str(), MOVEFILE_REPLACE_EXISTING)) {
          s = Status::WriteFailed;
          why = SystemMessage(GetLastError());
        }
      }
    }
    if (s == Status::Ok) return s;
    DeleteFileW(Written.c_str());
    return Fail(s, (s == Status::Damaged ? "damaged entry \"" : "cannot write \"") + P.Shown + "\": " + why);
  }

  bool Put(HANDLE Out, const uint8_t* Data, size_t Count, std::string& Why) {
    while (Count > 0) {
      DWORD wrote = 0;
      if (!::WriteFile(Out, Data, static_cast<DWORD>(Count), &wrote, nullptr) || wrote == 0) {
        Why = SystemMessage(GetLastError());
        return false;
      }
      Data += wrote;
      Count -= wrote;
    }
    return true;
  }

  // Copies (stored) or inflates (deflated) the entry into Out, never writing more than
  // the recorded size, and checks size and CRC at the end.
  Status CopyData(const Entry& E, uint64_t Offset, HANDLE Out, std::string& Why) {
    In_.resize(kChunk);
    Buf_.resize(kChunk);
    uLong crc = crc32(0, nullptr, 0);
    uint64_t remainingIn = E.CompressedSize, written = 0;
    try {
      if (E.Method == 0) {
        while (remainingIn > 0) {
          const size_t n = static_cast<size_t>(std::min<uint64_t>(remainingIn, kChunk));
          File_.ReadAt(Offset, In_.data(), n);
          Offset += n;
          remainingIn -= n;
          crc = crc32(crc, In_.data(), static_cast<uInt>(n));
          if (!Put(Out, In_.data(), n, Why)) return Status::WriteFailed;
          written += n;
        }
      } else {
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
          Why = "out of memory";
          return Status::WriteFailed;
        }
        struct End { z_stream& z; ~End() { inflateEnd(&z); } } end{z};
        int rc = Z_OK;
        while (rc != Z_STREAM_END) {
          if (z.avail_in == 0) {
            if (remainingIn == 0) {
              Why = "compressed data ends early";
              return Status::Damaged;
            }
            const size_t n = static_cast<size_t>(std::min<uint64_t>(remainingIn, kChunk));
            File_.ReadAt(Offset, In_.data(), n);
            Offset += n;
            remainingIn -= n;
            z.next_in = In_.data();
            z.avail_in = static_cast<uInt>(n);
          }
          z.next_out = Buf_.data();
          z.avail_out = static_cast<uInt>(Buf_.size());
          rc = inflate(&z, Z_NO_FLUSH);
          if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            Why = "compressed data is corrupt";
            return Status::Damaged;
          }
          const size_t n = Buf_.size() - z.avail_out;
          if (n > E.UncompressedSize - written) {
            Why = "more data than its recorded size";
            return Status::Damaged;
          }
          crc = crc32(crc, Buf_.data(), static_cast<uInt>(n));
          if (!Put(Out, Buf_.data(), n, Why)) return Status::WriteFailed;
          written += n;
        }
      }
    } catch (const UnzipError& e) {
      Why = e.what();
      return Status::Damaged;
    }
    if (written != E.UncompressedSize) {
      Why = "size differs from the recorded size";
      return Status::Damaged;
    }
    if (crc != E.Crc) {
      Why = "CRC mismatch";
      return Status::Damaged;
    }
    return Status::Ok;
  }

  void SetFolderTime(const PlannedEntry& P) {
    Handle h(CreateFileW(Win32Path(P.Path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (h.Valid()) ApplyTimes(h.Get(), P.Source->Times);
  }

  const Options& Opt_;
  const MessageSink& Report_;
  ArchiveFile File_;
  Directory Dir_;
  std::wstring Root_;
  std::vector<PlannedEntry> Plan_;
  std::set<std::wstring> Known_;
  DWORD Error_ = 0;
  std::vector<uint8_t> In_, Buf_;
};

}  // namespace

Status Extract(const Options& Opt, const MessageSink& Report, Summary& Done) {
  Extractor x(Opt, Report);
  return x.Run(Done);
}

}  // namespace unzip
