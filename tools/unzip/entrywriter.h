// Writing one file entry of a checked plan: its data copied (stored) or inflated
// (deflated) through fixed buffers, whatever the entry's size, never past its recorded
// size; then size and CRC checked and the entry's time set.
//
// A new file is written in place and removed again when anything goes wrong. An existing
// file is replaced only with -o, and then through a temporary file beside it that is
// renamed over the old one once the new data is complete, so a failed entry never leaves
// a half-written file under its name nor costs the file that was there. Without -o an
// existing file is kept and the entry ends with Status::Skipped.
//
// One writer per thread: it owns its buffers and inflate state.
#pragma once

#include <string>
#include <vector>

#include <zlib.h>

#include "plan.h"
#include "winfile.h"

namespace unzip {

class EntryWriter {
public:
  EntryWriter(const ArchiveFile& File, bool Overwrite);
  ~EntryWriter();
  EntryWriter(const EntryWriter&) = delete;
  EntryWriter& operator=(const EntryWriter&) = delete;

  // Status::Ok, or what went wrong with Message saying so.
  Status Write(const PlannedEntry& P, std::string& Message);

private:
  Status WriteInto(Handle& Out, const PlannedEntry& P, const std::wstring& Written, const std::wstring* ReplaceTarget,
                   std::string& Message);
  Status CopyData(const Entry& E, uint64_t Offset, HANDLE Out, std::string& Why);
  Status Inflate(const Entry& E, uint64_t Offset, HANDLE Out, uLong& Crc, uint64_t& Written, std::string& Why);

  const ArchiveFile& File_;
  bool Overwrite_;
  std::vector<uint8_t> In_, Out_;
  z_stream Z_{};
  bool ZReady_ = false;
};

}  // namespace unzip
