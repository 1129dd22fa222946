// Exit codes of unzip.exe and the error that carries one up to the command line.
// When several problems occur the largest code wins, so a caller can tell "something
// was left alone" (1) from "something went wrong" (2 and above).
#pragma once

#include <stdexcept>
#include <string>

namespace unzip {

enum class Status : int {
  Ok = 0,              // every entry was written and its CRC checked
  Skipped = 1,         // existing files were kept because -o was not given
  Damaged = 2,         // the archive or an entry's data is damaged (structure, CRC, sizes)
  Refused = 3,         // unsafe names or unsupported features; nothing was written
  WriteFailed = 4,     // a folder or file could not be created or written
  ArchiveMissing = 9,  // the archive cannot be opened
  Usage = 10,          // bad command line
};

inline Status Worse(Status A, Status B) { return static_cast<int>(A) >= static_cast<int>(B) ? A : B; }

// Message is UTF-8 so that entry names of any script survive until they are printed.
class UnzipError : public std::runtime_error {
public:
  UnzipError(Status Code, const std::string& Message) : std::runtime_error(Message), Code_(Code) {}
  Status Code() const { return Code_; }

private:
  Status Code_;
};

}  // namespace unzip
