// gui/ layer 1 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Settings files of sections and keys, read and written through the system's
// private-profile functions, which keep every other entry of the file as it was.
#pragma once

#include "classes/sysutils.h"

#include <string>
#include <vector>

INSTBRISKO_EXCEPTION(EIniFileException, Exception);

// One settings file. Give a full path: the system looks for a bare file name in the
// Windows folder. Section and key names are compared without case.
class TIniFile {
public:
  explicit TIniFile(std::string FileName) : FileName_(std::move(FileName)) {}
  // Flushes the system's cache, so that the file on disk is complete once we are gone.
  ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const std::string& FileName() const { return FileName_; }

  // The value, or Default when the key (or the file) is missing.
  std::string ReadString(const std::string& Section, const std::string& Ident,
                         const std::string& Default) const;
  // Writes one entry, creating the file and the section as needed; failure (a
  // missing folder, a read-only file) raises EIniFileException.
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
  // Decimal or hexadecimal ($1F, 0x1F); anything else gives Default.
  int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
  void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
  // Stored as "1" and "0"; any other number counts as true.
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
  void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

  std::vector<std::string> ReadSections() const;
  // The key names of one section, in file order.
  std::vector<std::string> ReadSection(const std::string& Section) const;
  bool SectionExists(const std::string& Section) const;
  bool ValueExists(const std::string& Section, const std::string& Ident) const;
  // Remove a whole section, or one key; failure raises EIniFileException.
  void EraseSection(const std::string& Section);
  void DeleteKey(const std::string& Section, const std::string& Ident);
  // Writes the system's cached copy of the file to disk.
  void UpdateFile();

private:
  void Write(const char* Section, const char* Ident, const char* Value);
  // A list of NUL-separated names, as the profile functions return them.
  std::vector<std::string> ReadList(const char* Section) const;

  std::string FileName_;
};
