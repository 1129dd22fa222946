// Entry names: turning the stored bytes into a Windows name, and deciding whether that
// name may be written below the destination folder at all.
//
// Decoding, first rule that applies:
//   1. the UTF-8 flag (bit 11) is set: the bytes are UTF-8, and must be valid UTF-8;
//   2. a Unicode-path extra field whose CRC matches the stored name: its UTF-8 text;
//   3. the archive was made on a FAT/NTFS-style system (host 0, 6, 11, 14): code page 437,
//      what such systems have always written;
//   4. otherwise (Unix and the rest, whose tools store the bytes they were given): UTF-8
//      when the bytes are valid UTF-8, else Windows-1252.
//
// Safety: '/' and '\' both separate folders. A name is refused when it is absolute
// (starts with a separator), contains ':' (a drive letter or a stream name), has a ".."
// component or one made only of dots and blanks, has a control character, or names a
// device (CON, NUL, COM1, ...). Empty and "." components are dropped. The characters
// < > " | ? * cannot appear in Windows names and become '_'.
#pragma once

#include <string>
#include <vector>

#include "archive.h"

namespace unzip {

// Strict UTF-8 (no overlong forms, no surrogates); false when Bytes are not valid UTF-8.
bool DecodeUtf8(const std::string& Bytes, std::wstring& Out);
std::string Utf8FromWide(const std::wstring& Text);

// The entry's name as Windows text; Status::Damaged when a UTF-8 name is not UTF-8.
std::wstring DecodeName(const Entry& E);

struct EntryPath {
  std::vector<std::wstring> Parts;  // folders and the final name, all checked
  bool IsFolder = false;
};

// Splits and checks a decoded name; Status::Refused with the reason when it is unsafe.
EntryPath CheckEntryPath(const std::wstring& Name, bool FolderAttribute);

}  // namespace unzip
