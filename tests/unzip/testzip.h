// A small ZIP writer for the tests, able to write archives no honest tool makes: every
// field of an entry can be overridden after the real value has been computed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testzip {

struct EntrySpec {
  std::string Name;              // raw bytes as stored
  std::string Data;
  uint16_t Method = 8;           // 0 stored, 8 deflated, anything else written as stored bytes
  uint16_t Flags = 0;
  uint8_t Host = 3;              // "version made by" high byte
  uint32_t ExternalAttributes = 0;
  bool Zip64 = false;            // sizes and offset escaped to 0xFFFFFFFF, real ones in the extra field
  std::optional<uint32_t> Crc;   // overrides, written into both headers
  std::optional<uint64_t> CompressedSize;
  std::optional<uint64_t> UncompressedSize;
  std::optional<uint64_t> LocalOffset;      // central directory only
  std::optional<uint16_t> CentralNameLength;
  std::optional<std::string> LocalName;     // local header only
};

struct ArchiveSpec {
  std::vector<EntrySpec> Entries;
  bool Zip64End = false;                    // Zip64 end record and locator
  std::optional<uint64_t> EntryCount;       // overrides in the end record(s)
  std::optional<uint64_t> DirectoryOffset;
  std::optional<uint64_t> DirectorySize;
};

std::string Build(const ArchiveSpec& Spec);
// Overwrites a little-endian field of Size bytes at Offset of an archive made by Build.
void Patch(std::string& Archive, size_t Offset, uint64_t Value, int Size);
std::string Deflate(const std::string& Data);

}  // namespace testzip
