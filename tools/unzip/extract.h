// Extraction: checks every entry of an archive first (names, methods, where the data
// lies), and only then creates folders and files below the destination, verifying each
// file's CRC and size.
//
// A new file is written in place and removed again if its data turns out damaged. An
// existing file is replaced only with -o, and then through a temporary file beside it that
// is renamed over the old one once the new data is complete, so a damaged entry never
// costs the file that was there. Without -o an existing file is kept, reported, and the
// run ends with Status::Skipped; the other entries are still extracted.
//
// Files and folders get the entry's modification time (NTFS, then extended-timestamp
// extra fields, then the local DOS time); attributes are not restored, so every file is
// written as an ordinary, writable file.
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
// reported through Report and do not stop the others. Fatal ones (missing or damaged
// archive, refused names) raise UnzipError before anything is written.
Status Extract(const Options& Opt, const MessageSink& Report, Summary& Done);

}  // namespace unzip
