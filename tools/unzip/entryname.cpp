// Entry names: decoding of the stored bytes and the checks that keep every written file
// inside the destination folder. The rules are listed in entryname.h.
#include "entryname.h"

#include <cwctype>

namespace unzip {

bool DecodeUtf8(const std::string& Bytes, std::wstring& Out) {
  Out.clear();
  size_t i = 0;
  const size_t n = Bytes.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(Bytes[i]);
    uint32_t cp;
    size_t len;
    if (c < 0x80) { cp = c; len = 1; }
    else if (c >= 0xC2 && c <= 0xDF) { cp = c & 0x1F; len = 2; }
    else if (c >= 0xE0 && c <= 0xEF) { cp = c & 0x0F; len = 3; }
    else if (c >= 0xF0 && c <= 0xF4) { cp = c & 0x07; len = 4; }
    else return false;
    if (len > n - i) return false;
    for (size_t k = 1; k < len; ++k) {
      const unsigned char t = static_cast<unsigned char>(Bytes[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    // Overlong forms are refused: they are how "." or "/" would be smuggled past the checks.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
    if (cp >= 0xD800 && cp <= 0xDFFF) return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      Out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      Out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      Out.push_back(static_cast<wchar_t>(cp));
    }
    i += len;
  }
  return true;
}

std::string Utf8FromWide(const std::wstring& Text) {
  if (Text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}

namespace {

std::wstring FromCodePage(UINT CodePage, const std::string& Bytes) {
  if (Bytes.empty()) return {};
  const int n = MultiByteToWideChar(CodePage, 0, Bytes.data(), static_cast<int>(Bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CodePage, 0, Bytes.data(), static_cast<int>(Bytes.size()), out.data(), n);
  return out;
}

bool MadeOnDosLikeSystem(uint8_t Host) { return Host == 0 || Host == 6 || Host == 11 || Host == 14; }

bool IsDeviceName(const std::wstring& Part) {
  // Windows opens the device for these whatever extension follows.
  std::wstring base = Part.substr(0, Part.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  for (auto& ch : base) ch = static_cast<wchar_t>(std::towupper(ch));
  if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$" ||
      base == L"CONOUT$")
    return true;
  return base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
         base[3] >= L'1' && base[3] <= L'9';
}

[[noreturn]] void Refuse(const std::wstring& Name, const char* Why) {
  throw UnzipError(Status::Refused, "unsafe entry name \"" + Utf8FromWide(Name) + "\": " + Why);
}

}  // namespace

std::wstring DecodeName(const Entry& E) {
  std::wstring name;
  if (E.Utf8Flag()) {
    if (!DecodeUtf8(E.RawName, name))
      throw UnzipError(Status::Damaged, "entry name marked as UTF-8 is not valid UTF-8");
    return name;
  }
  if (!E.UnicodeName.empty() && DecodeUtf8(E.UnicodeName, name)) return name;
  if (MadeOnDosLikeSystem(E.HostSystem)) return FromCodePage(437, E.RawName);
  if (DecodeUtf8(E.RawName, name)) return name;
  return FromCodePage(1252, E.RawName);
}

EntryPath CheckEntryPath(const std::wstring& Name, bool FolderAttribute) {
  if (Name.empty()) Refuse(Name, "the name is empty");
  if (Name.front() == L'/' || Name.front() == L'\\') Refuse(Name, "absolute path");
  if (Name.find(L':') != std::wstring::npos) Refuse(Name, "drive letter or stream name");

  EntryPath path;
  path.IsFolder = FolderAttribute || Name.back() == L'/' || Name.back() == L'\\';
  size_t start = 0;
  while (start <= Name.size()) {
    size_t end = Name.find_first_of(L"/\\", start);
    if (end == std::wstring::npos) end = Name.size();
    std::wstring part = Name.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == L".") continue;
    if (part.find_first_not_of(L". ") == std::wstring::npos) Refuse(Name, "\"..\" or a name of dots");
    for (auto& ch : part) {
      if (ch < 0x20 || ch == 0x7F) Refuse(Name, "control character");
      if (ch == L'<' || ch == L'>' || ch == L'"' || ch == L'|' || ch == L'?' || ch == L'*') ch = L'_';
    }
    if (IsDeviceName(part)) Refuse(Name, "device name");
    path.Parts.push_back(std::move(part));
  }
  if (path.Parts.empty() && !path.IsFolder) Refuse(Name, "no file name");
  return path;
}

}  // namespace unzip
