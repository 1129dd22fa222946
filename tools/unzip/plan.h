// The plan of an extraction: every entry of the archive checked and given its place
// before the first byte is written. MakePlan refuses the whole archive (UnzipError) when
//   - a name is unsafe or undecodable, an entry encrypted or of an unknown method;
//   - a local header is missing or differs from its central record;
//   - the data of two entries overlap (one record extracted under many names is how a
//     small archive becomes a huge tree) - Status::Damaged, naming the first such entry;
//   - a destination path is longer than Windows programs accept (MAX_PATH) - Refused;
//   - the recorded sizes together exceed the free space of the destination's volume -
//     Status::WriteFailed.
// It writes nothing; the folders it lists are made by the caller.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "archive.h"

namespace unzip {

constexpr size_t kNoFolder = static_cast<size_t>(-1);

struct PlannedEntry {
  const Entry* Source;
  std::wstring Path;      // absolute
  std::string Shown;      // the name as reported, UTF-8
  bool IsFolder;
  uint64_t DataOffset;    // of the compressed data; 0 for folders
  size_t Folder;          // index in Plan::Folders: the folder itself, or a file's folder;
                          // kNoFolder for a file directly in the destination
};

struct Plan {
  std::wstring Root;                      // the destination, absolute
  std::vector<PlannedEntry> Entries;      // archive order; the destination itself left out
  std::vector<std::wstring> Folders;      // every folder below Root to make, parents first
  std::vector<size_t> FolderParents;      // index of each folder's parent, or kNoFolder
  // File entries grouped by destination (names compared as Windows does, ignoring case),
  // each group in archive order, largest groups first. Groups share no file, so they may
  // be written at the same time; within one, the entries are written one after another.
  std::vector<std::vector<size_t>> Groups;
};

Plan MakePlan(const ArchiveFile& File, const Directory& Dir, const std::wstring& Destination);

}  // namespace unzip
