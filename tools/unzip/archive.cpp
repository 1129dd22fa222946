// Reading a ZIP archive: end record (plain and Zip64), central directory records with
// their extra fields, local headers. Offsets and lengths are checked before each use.
#include "archive.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <zlib.h>

#include "entryname.h"

namespace unzip {

namespace {

constexpr uint32_t kLocalHeaderSig = 0x04034b50;
constexpr uint32_t kCentralHeaderSig = 0x02014b50;
constexpr uint32_t kEndSig = 0x06054b50;
constexpr uint32_t kZip64EndSig = 0x06064b50;
constexpr uint32_t kZip64LocatorSig = 0x07064b50;
constexpr size_t kEndSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalHeaderSize = 30;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (static_cast<uint32_t>(Get16(p + 2)) << 16); }
uint64_t Get64(const uint8_t* p) { return Get32(p) | (static_cast<uint64_t>(Get32(p + 4)) << 32); }

[[noreturn]] void Damaged(const std::string& Why) { throw UnzipError(Status::Damaged, "damaged archive: " + Why); }

// True when [Offset, Offset + Length) lies within [0, Limit), without overflow.
bool Fits(uint64_t Offset, uint64_t Length, uint64_t Limit) { return Offset <= Limit && Length <= Limit - Offset; }

struct EndRecord {
  uint64_t EndOffset = 0;       // where the end record (or the Zip64 one) starts
  uint64_t EntryCount = 0;
  uint64_t DirectorySize = 0;
  uint64_t DirectoryOffset = 0;
};

// The end record is the last 22 bytes unless a comment of up to 64 KiB follows it.
uint64_t FindEndRecord(const ArchiveFile& File, std::vector<uint8_t>& Tail, uint64_t& TailStart) {
  if (File.Size() < kEndSize) Damaged("too short to be a ZIP archive");
  const uint64_t tailSize = std::min<uint64_t>(File.Size(), kEndSize + 0xFFFF);
  TailStart = File.Size() - tailSize;
  Tail.resize(static_cast<size_t>(tailSize));
  File.ReadAt(TailStart, Tail.data(), Tail.size());
  for (size_t pos = Tail.size() - kEndSize + 1; pos-- > 0;) {
    if (Get32(&Tail[pos]) != kEndSig) continue;
    if (pos + kEndSize + Get16(&Tail[pos + 20]) <= Tail.size()) return pos;
  }
  Damaged("no end of central directory (not a ZIP archive, or truncated)");
}

// Reads the Zip64 end record named by the locator just before the plain end record.
// Returns false when there is no locator; a present but broken one is damage.
bool ReadZip64End(const ArchiveFile& File, uint64_t EndOffset, EndRecord& Out) {
  if (EndOffset < kZip64LocatorSize) return false;
  uint8_t loc[kZip64LocatorSize];
  File.ReadAt(EndOffset - kZip64LocatorSize, loc, sizeof loc);
  if (Get32(loc) != kZip64LocatorSig) return false;
  const uint64_t recordOffset = Get64(loc + 8);
  if (Get32(loc + 4) != 0 || Get32(loc + 16) > 1)
    throw UnzipError(Status::Refused, "archives spanning several disks are not supported");
  if (!Fits(recordOffset, kZip64EndSize, EndOffset - kZip64LocatorSize)) Damaged("Zip64 end record out of range");
  uint8_t rec[kZip64EndSize];
  File.ReadAt(recordOffset, rec, sizeof rec);
  if (Get32(rec) != kZip64EndSig) Damaged("Zip64 end record missing");
  if (Get32(rec + 16) != 0 || Get32(rec + 20) != 0 || Get64(rec + 24) != Get64(rec + 32))
    throw UnzipError(Status::Refused, "archives spanning several disks are not supported");
  Out.EndOffset = recordOffset;
  Out.EntryCount = Get64(rec + 32);
  Out.DirectorySize = Get64(rec + 40);
  Out.DirectoryOffset = Get64(rec + 48);
  return true;
}

EndRecord ReadEnd(const ArchiveFile& File) {
  std::vector<uint8_t> tail;
  uint64_t tailStart = 0;
  const uint64_t pos = FindEndRecord(File, tail, tailStart);
  const uint8_t* e = &tail[static_cast<size_t>(pos)];
  EndRecord end;
  if (ReadZip64End(File, tailStart + pos, end)) return end;
  if (Get16(e + 4) != 0 || Get16(e + 6) != 0 || Get16(e + 8) != Get16(e + 10))
    throw UnzipError(Status::Refused, "archives spanning several disks are not supported");
  end.EndOffset = tailStart + pos;
  end.EntryCount = Get16(e + 10);
  end.DirectorySize = Get32(e + 12);
  end.DirectoryOffset = Get32(e + 16);
  return end;
}

// Applies the Zip64 extended information: a value is there only for the fields whose
// ordinary slot holds the escape value, in this fixed order.
void ApplyZip64(const uint8_t* p, size_t n, Entry& E, bool NeedUncompressed, bool NeedCompressed,
                bool NeedOffset, bool NeedDisk, uint32_t& Disk) {
  size_t at = 0;
  auto take64 = [&](uint64_t& field) {
    if (at + 8 > n) Damaged("Zip64 extra field too short");
    field = Get64(p + at);
    at += 8;
  };
  if (NeedUncompressed) take64(E.UncompressedSize);
  if (NeedCompressed) take64(E.CompressedSize);
  if (NeedOffset) take64(E.LocalHeaderOffset);
  if (NeedDisk) {
    if (at + 4 > n) Damaged("Zip64 extra field too short");
    Disk = Get32(p + at);
  }
}

void ReadNtfsTimes(const uint8_t* p, size_t n, EntryTimes& T) {
  for (size_t at = 4; at + 4 <= n;) {
    const uint16_t tag = Get16(p + at), size = Get16(p + at + 2);
    at += 4;
    if (size > n - at) return;
    if (tag == 1 && size >= 24) {
      auto ft = [&](size_t o) {
        const uint64_t v = Get64(p + at + o);
        return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
      };
      T.NtfsModified = ft(0);
      T.NtfsAccessed = ft(8);
      T.NtfsCreated = ft(16);
      T.HasNtfs = true;
    }
    at += size;
  }
}

// Walks the extra fields of one central record; a malformed tail is ignored, since some
// writers pad with junk, but a missing Zip64 value is damage.
void ReadExtraFields(const uint8_t* p, size_t n, Entry& E, bool NeedUncompressed, bool NeedCompressed,
                     bool NeedOffset, bool NeedDisk, uint32_t& Disk) {
  bool zip64Seen = false;
  for (size_t at = 0; at + 4 <= n;) {
    const uint16_t id = Get16(p + at), size = Get16(p + at + 2);
    at += 4;
    if (size > n - at) break;
    const uint8_t* d = p + at;
    switch (id) {
      case 0x0001:
        ApplyZip64(d, size, E, NeedUncompressed, NeedCompressed, NeedOffset, NeedDisk, Disk);
        zip64Seen = true;
        break;
      case 0x000A: ReadNtfsTimes(d, size, E.Times); break;
      case 0x5455:
        if (size >= 5 && (d[0] & 1)) {
          E.Times.UnixModified = static_cast<int32_t>(Get32(d + 1));
          E.Times.HasUnix = true;
        }
        break;
      case 0x7075:
        if (size >= 5 && d[0] == 1 &&
            Get32(d + 1) == crc32(0, reinterpret_cast<const Bytef*>(E.RawName.data()),
                                  static_cast<uInt>(E.RawName.size())))
          E.UnicodeName.assign(reinterpret_cast<const char*>(d + 5), size - 5);
        break;
      default: break;
    }
    at += size;
  }
  if (!zip64Seen && (NeedUncompressed || NeedCompressed || NeedOffset || NeedDisk))
    Damaged("Zip64 sizes announced but missing");
}

}  // namespace

ArchiveFile::ArchiveFile(const std::wstring& Path) {
  Handle_ = CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (Handle_ == INVALID_HANDLE_VALUE)
    throw UnzipError(Status::ArchiveMissing, "cannot open archive \"" + Utf8FromWide(Path) + "\"");
  LARGE_INTEGER size;
  if (!GetFileSizeEx(Handle_, &size) || size.QuadPart < 0) {
    CloseHandle(Handle_);
    throw UnzipError(Status::ArchiveMissing, "cannot read archive \"" + Utf8FromWide(Path) + "\"");
  }
  Size_ = static_cast<uint64_t>(size.QuadPart);
}

ArchiveFile::~ArchiveFile() {
  if (Handle_ != INVALID_HANDLE_VALUE) CloseHandle(Handle_);
}

// Plain reads from the file position: with an OVERLAPPED offset Wine makes every read a
// round trip to its server. The position is shared, so one read at a time.
void ArchiveFile::ReadAt(uint64_t Offset, void* Buffer, size_t Count) const {
  if (!Fits(Offset, Count, Size_)) Damaged("read past the end of the archive");
  std::lock_guard<std::mutex> lock(Mutex_);
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(Offset);
  if (!SetFilePointerEx(Handle_, at, nullptr, FILE_BEGIN)) throw UnzipError(Status::Damaged, "cannot read the archive");
  auto* out = static_cast<uint8_t*>(Buffer);
  while (Count > 0) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(Count, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(Handle_, out, want, &got, nullptr) || got == 0)
      throw UnzipError(Status::Damaged, "cannot read the archive");
    out += got;
    Count -= got;
  }
}

Directory ReadCentralDirectory(const ArchiveFile& File) {
  const EndRecord end = ReadEnd(File);
  if (!Fits(end.DirectoryOffset, end.DirectorySize, end.EndOffset)) Damaged("central directory out of range");
  if (end.EntryCount > end.DirectorySize / kCentralHeaderSize) Damaged("entry count larger than the directory");
  // The directory is read whole; a 32-bit build cannot hold one beyond its address space.
  if (end.DirectorySize > std::numeric_limits<size_t>::max() / 4)
    throw UnzipError(Status::Refused, "central directory too large for this program");

  std::vector<uint8_t> cd(static_cast<size_t>(end.DirectorySize));
  if (!cd.empty()) File.ReadAt(end.DirectoryOffset, cd.data(), cd.size());

  Directory dir;
  dir.Start = end.DirectoryOffset;
  dir.Entries.reserve(static_cast<size_t>(end.EntryCount));
  size_t at = 0;
  for (uint64_t i = 0; i < end.EntryCount; ++i) {
    if (cd.size() - at < kCentralHeaderSize) Damaged("central directory ends early");
    const uint8_t* h = &cd[at];
    if (Get32(h) != kCentralHeaderSig) Damaged("bad central directory record");
    const size_t nameLen = Get16(h + 28), extraLen = Get16(h + 30), commentLen = Get16(h + 32);
    if (cd.size() - at - kCentralHeaderSize < nameLen + extraLen + commentLen)
      Damaged("central directory record longer than the directory");

    Entry e;
    e.HostSystem = h[5];
    e.Flags = Get16(h + 8);
    e.Method = Get16(h + 10);
    e.Times.DosTime = Get16(h + 12);
    e.Times.DosDate = Get16(h + 14);
    e.Crc = Get32(h + 16);
    e.CompressedSize = Get32(h + 20);
    e.UncompressedSize = Get32(h + 24);
    uint32_t disk = Get16(h + 34);
    e.ExternalAttributes = Get32(h + 38);
    e.LocalHeaderOffset = Get32(h + 42);
    e.RawName.assign(reinterpret_cast<const char*>(h + kCentralHeaderSize), nameLen);
    ReadExtraFields(h + kCentralHeaderSize + nameLen, extraLen, e, e.UncompressedSize == 0xFFFFFFFF,
                    e.CompressedSize == 0xFFFFFFFF, e.LocalHeaderOffset == 0xFFFFFFFF, disk == 0xFFFF, disk);
    if (disk != 0) throw UnzipError(Status::Refused, "archives spanning several disks are not supported");
    dir.Entries.push_back(std::move(e));
    at += kCentralHeaderSize + nameLen + extraLen + commentLen;
  }
  return dir;
}

namespace {

// The local sizes after the Zip64 extra field: it holds both sizes, uncompressed first,
// whenever either is escaped; a writer that stores only the escaped one is also read.
bool LocalZip64Sizes(const uint8_t* Extra, size_t n, uint64_t& Uncompressed, uint64_t& Compressed) {
  const bool needU = Uncompressed == 0xFFFFFFFF, needC = Compressed == 0xFFFFFFFF;
  if (!needU && !needC) return true;
  for (size_t at = 0; at + 4 <= n;) {
    const uint16_t id = Get16(Extra + at), size = Get16(Extra + at + 2);
    at += 4;
    if (size > n - at) return false;
    if (id == 0x0001) {
      const uint8_t* d = Extra + at;
      if (size >= 16) {
        if (needU) Uncompressed = Get64(d);
        if (needC) Compressed = Get64(d + 8);
        return true;
      }
      if (size < 8 || (needU && needC)) return false;
      (needU ? Uncompressed : Compressed) = Get64(d);
      return true;
    }
    at += size;
  }
  return false;
}

// What of the local header differs from the central record, or nullptr.
const char* LocalDifference(const uint8_t* h, const uint8_t* Name, const Entry& E, uint64_t Uncompressed,
                            uint64_t Compressed, bool Zip64Ok) {
  if (Get16(h + 26) != E.RawName.size() || std::memcmp(Name, E.RawName.data(), E.RawName.size()) != 0)
    return "name";
  if (Get16(h + 6) != E.Flags) return "flags";
  if (Get16(h + 8) != E.Method) return "compression method";
  // A data descriptor after the data carries CRC and sizes; the local header may hold zeros.
  const bool descriptor = (E.Flags & 0x0008) != 0;
  auto same = [&](uint64_t Local, uint64_t Central) { return Local == Central || (descriptor && Local == 0); };
  if (!same(Get32(h + 14), E.Crc)) return "CRC";
  if (!Zip64Ok) return descriptor ? nullptr : "sizes";
  if (!same(Uncompressed, E.UncompressedSize) || !same(Compressed, E.CompressedSize)) return "sizes";
  return nullptr;
}

}  // namespace

LocalRecord ReadLocalRecord(const ArchiveFile& File, const Directory& Dir, const Entry& E, const std::string& Shown) {
  const std::string entry = "entry \"" + Shown + "\"";
  if (!Fits(E.LocalHeaderOffset, kLocalHeaderSize, Dir.Start)) Damaged(entry + ": offset out of range");
  // One read usually brings header, name and extra fields; a longer extra needs a second.
  const uint64_t room = Dir.Start - E.LocalHeaderOffset;
  std::vector<uint8_t> h(static_cast<size_t>(std::min<uint64_t>(room, kLocalHeaderSize + E.RawName.size() + 64)));
  File.ReadAt(E.LocalHeaderOffset, h.data(), h.size());
  if (Get32(h.data()) != kLocalHeaderSig) Damaged(entry + ": no local header where the directory says");
  const size_t nameLen = Get16(&h[26]), extraLen = Get16(&h[28]);
  const uint64_t data = E.LocalHeaderOffset + kLocalHeaderSize + nameLen + extraLen;
  if (!Fits(data, E.CompressedSize, Dir.Start)) Damaged(entry + ": data runs past the end of the archive");
  if (h.size() < kLocalHeaderSize + nameLen + extraLen) {
    h.resize(kLocalHeaderSize + nameLen + extraLen);
    File.ReadAt(E.LocalHeaderOffset, h.data(), h.size());
  }
  uint64_t uncompressed = Get32(&h[22]), compressed = Get32(&h[18]);
  const bool zip64Ok = LocalZip64Sizes(&h[kLocalHeaderSize + nameLen], extraLen, uncompressed, compressed);
  return {data, LocalDifference(h.data(), &h[kLocalHeaderSize], E, uncompressed, compressed, zip64Ok)};
}

}  // namespace unzip
