// A small ZIP writer for the tests; see testzip.h.
#include "testzip.h"

#include <zlib.h>

namespace testzip {

namespace {

void Put16(std::string& S, uint64_t V) {
  S += static_cast<char>(V & 0xFF);
  S += static_cast<char>((V >> 8) & 0xFF);
}
void Put32(std::string& S, uint64_t V) {
  Put16(S, V & 0xFFFF);
  Put16(S, (V >> 16) & 0xFFFF);
}
void Put64(std::string& S, uint64_t V) {
  Put32(S, V & 0xFFFFFFFF);
  Put32(S, V >> 32);
}

}  // namespace

std::string Deflate(const std::string& Data) {
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, static_cast<uLong>(Data.size())) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Data.data()));
  z.avail_in = static_cast<uInt>(Data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::string Build(const ArchiveSpec& Spec) {
  std::string file, central;
  for (const EntrySpec& e : Spec.Entries) {
    const std::string packed = e.Method == 8 ? Deflate(e.Data) : e.Data;
    const uint32_t crc = e.Crc.value_or(
        crc32(0, reinterpret_cast<const Bytef*>(e.Data.data()), static_cast<uInt>(e.Data.size())));
    const uint64_t csize = e.CompressedSize.value_or(packed.size());
    const uint64_t usize = e.UncompressedSize.value_or(e.Data.size());
    const uint64_t offset = file.size();
    const uint64_t centralOffset = e.LocalOffset.value_or(offset);
    std::string extra;
    if (e.Zip64) {
      Put16(extra, 1);
      Put16(extra, 24);
      Put64(extra, usize);
      Put64(extra, csize);
      Put64(extra, centralOffset);
    }
    auto field32 = [&](uint64_t v) { return e.Zip64 ? 0xFFFFFFFFull : v; };

    Put32(file, 0x04034b50);
    Put16(file, e.Zip64 ? 45 : 20);
    Put16(file, e.Flags);
    Put16(file, e.Method);
    Put16(file, 0x6000);  // 12:00:00
    Put16(file, 0x5A21);  // 2025-01-01
    Put32(file, crc);
    Put32(file, field32(csize));
    Put32(file, field32(usize));
    const std::string& localName = e.LocalName.value_or(e.Name);
    Put16(file, localName.size());
    Put16(file, e.Zip64 ? 20 : 0);
    file += localName;
    if (e.Zip64) {
      Put16(file, 1);
      Put16(file, 16);
      Put64(file, usize);
      Put64(file, csize);
    }
    file += packed;

    Put32(central, 0x02014b50);
    Put16(central, (e.Host << 8) | 45);
    Put16(central, e.Zip64 ? 45 : 20);
    Put16(central, e.Flags);
    Put16(central, e.Method);
    Put16(central, 0x6000);
    Put16(central, 0x5A21);
    Put32(central, crc);
    Put32(central, field32(csize));
    Put32(central, field32(usize));
    Put16(central, e.CentralNameLength.value_or(e.Name.size()));
    Put16(central, extra.size());
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, e.ExternalAttributes);
    Put32(central, field32(centralOffset));
    central += e.Name;
    central += extra;
  }
  const uint64_t count = Spec.EntryCount.value_or(Spec.Entries.size());
  const uint64_t cdOffset = Spec.DirectoryOffset.value_or(file.size());
  const uint64_t cdSize = Spec.DirectorySize.value_or(central.size());
  file += central;
  if (Spec.Zip64End) {
    const uint64_t recordOffset = file.size();
    Put32(file, 0x06064b50);
    Put64(file, 44);
    Put16(file, 45);
    Put16(file, 45);
    Put32(file, 0);
    Put32(file, 0);
    Put64(file, count);
    Put64(file, count);
    Put64(file, cdSize);
    Put64(file, cdOffset);
    Put32(file, 0x07064b50);
    Put32(file, 0);
    Put64(file, recordOffset);
    Put32(file, 1);
  }
  Put32(file, 0x06054b50);
  Put16(file, 0);
  Put16(file, 0);
  Put16(file, Spec.Zip64End ? 0xFFFF : count);
  Put16(file, Spec.Zip64End ? 0xFFFF : count);
  Put32(file, Spec.Zip64End ? 0xFFFFFFFF : cdSize);
  Put32(file, Spec.Zip64End ? 0xFFFFFFFF : cdOffset);
  Put16(file, 0);
  return file;
}

void Patch(std::string& Archive, size_t Offset, uint64_t Value, int Size) {
  for (int i = 0; i < Size; ++i) Archive[Offset + i] = static_cast<char>((Value >> (8 * i)) & 0xFF);
}

}  // namespace testzip
