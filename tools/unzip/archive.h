// Reading a ZIP archive: the central directory, each entry's raw name and metadata, and
// where its data lies. Nothing here trusts a size, offset or length read from the file:
// every one is checked against the archive's real extent before it is used, so a damaged
// or hostile archive gives an ArchiveError and never a read outside the file.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <windows.h>

#include "status.h"

namespace unzip {

// An open archive file, read at absolute offsets from any thread. Owns the handle.
class ArchiveFile {
public:
  // Opens the file for reading; Status::ArchiveMissing when it cannot be opened.
  explicit ArchiveFile(const std::wstring& Path);
  ~ArchiveFile();
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  uint64_t Size() const { return Size_; }
  // Reads exactly Count bytes at Offset; Status::Damaged when they are not all there.
  void ReadAt(uint64_t Offset, void* Buffer, size_t Count) const;

private:
  HANDLE Handle_ = INVALID_HANDLE_VALUE;
  uint64_t Size_ = 0;
  mutable std::mutex Mutex_;
};

// Times an entry may carry, best first; each is present only when its flag is set.
struct EntryTimes {
  bool HasNtfs = false;        // NTFS extra field: FILETIMEs, UTC
  FILETIME NtfsModified{}, NtfsAccessed{}, NtfsCreated{};
  bool HasUnix = false;        // extended-timestamp extra field: seconds since 1970, UTC
  int64_t UnixModified = 0;
  uint16_t DosDate = 0;        // always present: local time, two-second steps
  uint16_t DosTime = 0;
};

// One central directory record, after Zip64 values have been applied.
struct Entry {
  std::string RawName;         // the name's bytes as stored
  std::string UnicodeName;     // UTF-8 name from a matching Unicode-path extra field, or empty
  uint16_t Flags = 0;
  uint8_t HostSystem = 0;      // high byte of "version made by"
  uint16_t Method = 0;
  uint32_t Crc = 0;
  uint64_t CompressedSize = 0;
  uint64_t UncompressedSize = 0;
  uint64_t LocalHeaderOffset = 0;
  uint32_t ExternalAttributes = 0;
  EntryTimes Times;

  bool Encrypted() const { return (Flags & 0x0001) != 0; }
  bool Utf8Flag() const { return (Flags & 0x0800) != 0; }
};

// The central directory as read, in archive order.
struct Directory {
  std::vector<Entry> Entries;
  uint64_t Start = 0;          // entries' data must end before this offset
};

// Reads the whole central directory. Raises Status::Damaged for anything inconsistent
// and Status::Refused for archives spanning several disks.
Directory ReadCentralDirectory(const ArchiveFile& File);

// Where an entry's data lies, and how its local header agrees with the central record.
struct LocalRecord {
  uint64_t DataOffset = 0;
  // What differs between the local header and the central record ("name", "flags",
  // "compression method", "CRC", "sizes"), or nullptr. Records that differ are how an
  // archive is made to show two readers two different files. With a data descriptor
  // (flag bit 3) the local CRC and sizes may be zero.
  const char* Mismatch = nullptr;
};

// Reads the entry's local header. Raises Status::Damaged, naming the entry as Shown, when
// there is none where the directory says or the data does not end before the directory.
LocalRecord ReadLocalRecord(const ArchiveFile& File, const Directory& Dir, const Entry& E, const std::string& Shown);

}  // namespace unzip
