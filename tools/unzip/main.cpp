// unzip.exe: the command line and the exit code.
//
//   unzip.exe [-o] [-d folder] archive.zip      (options before or after the archive)
//
//   -d folder  extract below folder (created with its parents when missing);
//              default: the current folder. "-dfolder" works as well.
//   -o         replace existing files; without it they are kept and the exit code is 1.
//   -h, -?     show this help.
//   --         everything after it is the archive name.
//
// The words are split from the raw command line: blanks separate them outside double
// quotes, and a double quote only switches quoting on or off. A backslash is an ordinary
// character (no Windows name contains a quote), so "C:\Target\" means C:\Target\. Since the
// program takes exactly one archive, several words that are not options are taken as one
// archive name with blanks, as an unquoted path gets split.
//
// Exit codes (see status.h): 0 all written and checked, 1 existing files kept, 2 damaged
// archive or entry, 3 refused (unsafe names, unsupported), 4 write failure or too little
// disk space, 9 archive not found, 10 bad command line. The worst code met wins.
//
// The environment variable UNZIP_WORKERS (1 to 8) sets the number of writing threads;
// by default there is one per core, at most 8.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include <windows.h>

#include "entryname.h"
#include "extract.h"

namespace {

using unzip::Status;

std::vector<std::wstring> SplitCommandLine(const wchar_t* Line) {
  std::vector<std::wstring> words;
  std::wstring word;
  bool inWord = false, quoted = false;
  for (const wchar_t* p = Line; *p; ++p) {
    if (*p == L'"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (*p == L' ' || *p == L'\t')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += *p;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

// To a console as wide text; to a file or pipe in the ANSI code page.
void Print(DWORD Which, const std::string& Utf8) {
  const HANDLE h = GetStdHandle(Which);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  std::wstring wide;
  if (!unzip::DecodeUtf8(Utf8 + "\r\n", wide)) return;
  DWORD mode, done;
  if (GetConsoleMode(h, &mode)) {
    WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr);
    return;
  }
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
}

void Error(const std::string& Utf8) { Print(STD_ERROR_HANDLE, "unzip: " + Utf8); }

const char kUsage[] =
    "usage: unzip [-o] [-d folder] archive.zip\r\n"
    "  -d folder  extract below folder (default: the current folder)\r\n"
    "  -o         overwrite existing files (otherwise they are kept, exit code 1)";

// Fills Opt from the words after the program name; false with a message on bad usage.
bool ParseArguments(const std::vector<std::wstring>& Words, unzip::Options& Opt, bool& Help) {
  std::vector<std::wstring> names;
  bool haveDestination = false, optionsDone = false;
  for (size_t i = 1; i < Words.size(); ++i) {
    const std::wstring& w = Words[i];
    if (optionsDone || w.size() < 2 || w[0] != L'-') {
      names.push_back(w);
    } else if (w == L"--") {
      optionsDone = true;
    } else if (w == L"-o" || w == L"-O") {
      Opt.Overwrite = true;
    } else if (w == L"-h" || w == L"-?" || w == L"--help") {
      Help = true;
    } else if (w[1] == L'd' || w[1] == L'D') {
      if (haveDestination) {
        Error("-d given twice");
        return false;
      }
      if (w.size() > 2) {
        Opt.Destination = w.substr(2);
      } else if (i + 1 < Words.size()) {
        Opt.Destination = Words[++i];
      } else {
        Error("-d needs a folder");
        return false;
      }
      if (Opt.Destination.empty()) {
        Error("-d needs a folder");
        return false;
      }
      haveDestination = true;
    } else {
      Error("unknown option " + unzip::Utf8FromWide(w));
      return false;
    }
  }
  if (Help) return true;
  if (names.empty()) {
    Error("no archive named");
    return false;
  }
  for (size_t i = 0; i < names.size(); ++i) Opt.Archive += (i ? L" " : L"") + names[i];
  return true;
}

int Run() {
  unzip::Options opt;
  bool help = false;
  if (!ParseArguments(SplitCommandLine(GetCommandLineW()), opt, help)) {
    Print(STD_ERROR_HANDLE, kUsage);
    return static_cast<int>(Status::Usage);
  }
  if (help) {
    Print(STD_OUTPUT_HANDLE, kUsage);
    return 0;
  }
  unzip::Summary done;
  try {
    const Status s = unzip::Extract(opt, Error, done);
    Print(STD_OUTPUT_HANDLE, std::to_string(done.Files) + " files and " + std::to_string(done.Folders) +
                                 " folders extracted from " + unzip::Utf8FromWide(opt.Archive));
    return static_cast<int>(s);
  } catch (const unzip::UnzipError& e) {
    Error(e.what());
    if (e.Code() != Status::ArchiveMissing) Error("nothing was extracted");
    return static_cast<int>(e.Code());
  } catch (const std::bad_alloc&) {
    Error("damaged archive: sizes beyond the memory available");
    return static_cast<int>(Status::Damaged);
  }
}

}  // namespace

int main() { return Run(); }
