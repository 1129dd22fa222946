// Extraction: checks the whole archive first (see plan.h: names, methods, local headers,
// overlapping data, path lengths, disk space), and only then creates the folders, and
// then the files on a pool of worker threads, one per core (at most 8), each file's CRC
// and size checked (see entrywriter.h). Entries of the same name are written one after
// the other in archive order, as a single thread would; messages about failed entries
// come in archive order whatever order the workers finish in.
//
// Without -o an existing file is kept, reported, and the run ends with Status::Skipped;
// the other entries are still extracted. Files and folders get the entry's modification
// time; attributes are not restored, so every file is an ordinary, writable file.
#pragma once

#include <functional>
#include <string>

#include "status.h"

namespace unzip {

struct Options {
  std::wstring Archive;
  std::wstring Destination;  // empty: the current folder
  bool Overwrite = false;
};

struct Summary {
  unsigned long Files = 0;
  unsigned long Folders = 0;
};

using MessageSink = std::function<void(const std::string& Utf8Message)>;

// Runs the extraction and returns the worst status met; problems with single entries are
// reported through Report (from the calling thread or a worker, one at a time) and do not
// stop the others. Fatal ones (missing or damaged archive, refused names, too little disk
// space) raise UnzipError before anything is written.
Status Extract(const Options& Opt, const MessageSink& Report, Summary& Done);

}  // namespace unzip
