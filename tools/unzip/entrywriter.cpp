// Writing one file entry; see entrywriter.h.
#include "entrywriter.h"

#include <algorithm>

namespace unzip {

namespace {

constexpr size_t kChunk = 256 * 1024;

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

// -o asks for a read-only file to be replaced all the same.
bool ReplaceFile(const std::wstring& Written, const std::wstring& Target) {
  if (MoveFileExW(Written.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  const DWORD a = GetFileAttributesW(Target.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY) &&
         SetFileAttributesW(Target.c_str(), a & ~FILE_ATTRIBUTE_READONLY) &&
         MoveFileExW(Written.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

EntryWriter::EntryWriter(const ArchiveFile& File, bool Overwrite)
    : File_(File), Overwrite_(Overwrite), In_(kChunk), Out_(kChunk) {}

EntryWriter::~EntryWriter() {
  if (ZReady_) inflateEnd(&Z_);
}

Status EntryWriter::Write(const PlannedEntry& P, std::string& Message) {
  const std::wstring target = Win32Path(P.Path);
  Handle out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (out.Valid()) return WriteInto(out, P, target, nullptr, Message);

  const DWORD err = GetLastError();
  if (IsFolder(P.Path)) {
    Message = "cannot write \"" + P.Shown + "\": a folder of that name exists";
    return Status::WriteFailed;
  }
  if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) {
    Message = "cannot create \"" + P.Shown + "\": " + SystemMessage(err);
    return Status::WriteFailed;
  }
  if (!Overwrite_) {
    Message = "kept the existing \"" + P.Shown + "\" (use -o to overwrite)";
    return Status::Skipped;
  }
  // Entries of one name are written by one thread, one after another: the name is free.
  const std::wstring temp = target + L".~unzip" + std::to_wstring(GetCurrentProcessId());
  Handle tmp(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!tmp.Valid()) {
    Message = "cannot create a file beside \"" + P.Shown + "\": " + SystemMessage(GetLastError());
    return Status::WriteFailed;
  }
  return WriteInto(tmp, P, temp, &target, Message);
}

// Writes the entry's data into Out, a new file at Written; on success renames it over
// ReplaceTarget when given. On any failure the file at Written is removed.
Status EntryWriter::WriteInto(Handle& Out, const PlannedEntry& P, const std::wstring& Written,
                              const std::wstring* ReplaceTarget, std::string& Message) {
  std::string why;
  Status s = CopyData(*P.Source, P.DataOffset, Out.Get(), why);
  if (s == Status::Ok) ApplyTimes(Out.Get(), P.Source->Times);
  if (!Out.Close() && s == Status::Ok) {
    s = Status::WriteFailed;
    why = SystemMessage(GetLastError());
  }
  if (s == Status::Ok && ReplaceTarget && !ReplaceFile(Written, *ReplaceTarget)) {
    s = Status::WriteFailed;
    why = SystemMessage(GetLastError());
  }
  if (s == Status::Ok) return s;
  DeleteFileW(Written.c_str());
  Message = (s == Status::Damaged ? "damaged entry \"" : "cannot write \"") + P.Shown + "\": " + why;
  return s;
}

// Copies or inflates the entry into Out and checks size and CRC at the end.
Status EntryWriter::CopyData(const Entry& E, uint64_t Offset, HANDLE Out, std::string& Why) {
  uLong crc = crc32(0, nullptr, 0);
  uint64_t written = 0;
  try {
    if (E.Method == 0) {
      for (uint64_t left = E.CompressedSize; left > 0;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, In_.size()));
        File_.ReadAt(Offset, In_.data(), n);
        Offset += n;
        left -= n;
        crc = crc32(crc, In_.data(), static_cast<uInt>(n));
        if (!Put(Out, In_.data(), n, Why)) return Status::WriteFailed;
        written += n;
      }
    } else {
      const Status s = Inflate(E, Offset, Out, crc, written, Why);
      if (s != Status::Ok) return s;
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

// Inflates the entry, stopping before any byte beyond its recorded size is written.
Status EntryWriter::Inflate(const Entry& E, uint64_t Offset, HANDLE Out, uLong& Crc, uint64_t& Written,
                            std::string& Why) {
  if (!ZReady_) {
    if (inflateInit2(&Z_, -MAX_WBITS) != Z_OK) {
      Why = "out of memory";
      return Status::WriteFailed;
    }
    ZReady_ = true;
  } else {
    inflateReset(&Z_);
  }
  Z_.avail_in = 0;
  uint64_t remainingIn = E.CompressedSize;
  for (int rc = Z_OK; rc != Z_STREAM_END;) {
    if (Z_.avail_in == 0) {
      if (remainingIn == 0) {
        Why = "compressed data ends early";
        return Status::Damaged;
      }
      const size_t n = static_cast<size_t>(std::min<uint64_t>(remainingIn, In_.size()));
      File_.ReadAt(Offset, In_.data(), n);
      Offset += n;
      remainingIn -= n;
      Z_.next_in = In_.data();
      Z_.avail_in = static_cast<uInt>(n);
    }
    Z_.next_out = Out_.data();
    Z_.avail_out = static_cast<uInt>(Out_.size());
    rc = inflate(&Z_, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
      Why = "compressed data is corrupt";
      return Status::Damaged;
    }
    const size_t n = Out_.size() - Z_.avail_out;
    if (n > E.UncompressedSize - Written) {
      Why = "more data than its recorded size";
      return Status::Damaged;
    }
    Crc = crc32(Crc, Out_.data(), static_cast<uInt>(n));
    if (!Put(Out, Out_.data(), n, Why)) return Status::WriteFailed;
    Written += n;
  }
  return Status::Ok;
}

}  // namespace unzip
