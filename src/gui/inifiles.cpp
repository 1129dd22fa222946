#include "gui/inifiles.h"

#include <windows.h>

TIniFile::~TIniFile() { UpdateFile(); }

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
  std::string Buffer(1024, '\0');
  for (;;) {
    DWORD N = GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), Default.c_str(), Buffer.data(),
                                       static_cast<DWORD>(Buffer.size()), FileName_.c_str());
    // A full buffer (size - 1 characters) may mean a longer value was cut.
    if (N + 1 < Buffer.size()) return Buffer.substr(0, N);
    Buffer.resize(Buffer.size() * 4);
  }
}

void TIniFile::Write(const char* Section, const char* Ident, const char* Value) {
  if (!WritePrivateProfileStringA(Section, Ident, Value, FileName_.c_str()))
    throw EIniFileException(Format("Unable to write to %s", FileName_));
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident,
                           const std::string& Value) {
  Write(Section.c_str(), Ident.c_str(), Value.c_str());
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
  int64_t Value;
  if (!TryStrToInt(ReadString(Section, Ident, std::string()), Value) || Value < INT32_MIN ||
      Value > INT32_MAX)
    return Default;
  return static_cast<int>(Value);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

std::vector<std::string> TIniFile::ReadList(const char* Section) const {
  std::string Buffer(4096, '\0');
  DWORD N;
  for (;;) {
    N = Section ? GetPrivateProfileStringA(Section, nullptr, "", Buffer.data(),
                                           static_cast<DWORD>(Buffer.size()), FileName_.c_str())
                : GetPrivateProfileSectionNamesA(Buffer.data(), static_cast<DWORD>(Buffer.size()),
                                                 FileName_.c_str());
    // A list that did not fit is reported as size - 2.
    if (N + 2 < Buffer.size()) break;
    Buffer.resize(Buffer.size() * 4);
  }
  std::vector<std::string> Names;
  for (size_t Pos = 0; Pos < N;) {
    size_t End = Buffer.find('\0', Pos);
    if (End == std::string::npos || End > N) End = N;
    if (End > Pos) Names.push_back(Buffer.substr(Pos, End - Pos));
    Pos = End + 1;
  }
  return Names;
}

std::vector<std::string> TIniFile::ReadSections() const { return ReadList(nullptr); }

std::vector<std::string> TIniFile::ReadSection(const std::string& Section) const {
  return ReadList(Section.c_str());
}

bool TIniFile::SectionExists(const std::string& Section) const {
  for (const std::string& Name : ReadSections())
    if (SameText(Name, Section)) return true;
  return false;
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
  for (const std::string& Name : ReadSection(Section))
    if (SameText(Name, Ident)) return true;
  return false;
}

void TIniFile::EraseSection(const std::string& Section) { Write(Section.c_str(), nullptr, nullptr); }

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  Write(Section.c_str(), Ident.c_str(), nullptr);
}

// The flush reports FALSE even when it worked, so its result says nothing.
void TIniFile::UpdateFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FileName_.c_str()); }
