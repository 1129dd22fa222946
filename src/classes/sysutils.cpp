#include "classes/sysutils.h"

#include <cerrno>
#include <cstdlib>

namespace {

std::string ReplaceFirst(std::string_view Pattern, std::string_view Spec, std::string_view Arg) {
  std::string Result(Pattern);
  auto Pos = Result.find(Spec);
  if (Pos != std::string::npos) Result.replace(Pos, Spec.size(), Arg);
  return Result;
}

}  // namespace

std::string Format(std::string_view Pattern, std::string_view Arg) {
  return ReplaceFirst(Pattern, "%s", Arg);
}

std::string Format(std::string_view Pattern, int64_t Arg) {
  return ReplaceFirst(Pattern, "%d", IntToStr(Arg));
}

std::string IntToStr(int64_t Value) { return std::to_string(Value); }

bool TryStrToInt(std::string_view S, int64_t& Value) {
  std::string T(S);
  while (!T.empty() && (T.front() == ' ' || T.front() == '\t')) T.erase(T.begin());
  while (!T.empty() && (T.back() == ' ' || T.back() == '\t')) T.pop_back();
  if (T.empty()) return false;
  bool Negative = false;
  size_t I = 0;
  if (T[I] == '-' || T[I] == '+') Negative = T[I++] == '-';
  int Base = 10;
  if (I < T.size() && T[I] == '$') { Base = 16; ++I; }
  else if (I + 1 < T.size() && T[I] == '0' && (T[I + 1] == 'x' || T[I + 1] == 'X')) { Base = 16; I += 2; }
  if (I >= T.size()) return false;
  errno = 0;
  char* End = nullptr;
  unsigned long long U = std::strtoull(T.c_str() + I, &End, Base);
  if (errno != 0 || *End != '\0' || T[I] == '-' || T[I] == '+') return false;
  Value = Negative ? -static_cast<int64_t>(U) : static_cast<int64_t>(U);
  return true;
}

int64_t StrToInt(std::string_view S) {
  int64_t V;
  if (!TryStrToInt(S, V)) throw EConvertError("'" + std::string(S) + "' is not a valid integer value");
  return V;
}

bool SameText(std::string_view A, std::string_view B) { return AnsiCompareText(A, B) == 0; }

std::string UpperCase(std::string_view S) {
  std::string R(S);
  for (char& C : R)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return R;
}

std::string ExtractFilePath(std::string_view FileName) {
  auto Pos = FileName.find_last_of("\\:");
  return Pos == std::string_view::npos ? std::string() : std::string(FileName.substr(0, Pos + 1));
}

std::string ExtractFileName(std::string_view FileName) {
  auto Pos = FileName.find_last_of("\\:");
  return std::string(Pos == std::string_view::npos ? FileName : FileName.substr(Pos + 1));
}

std::string ExtractFileExt(std::string_view FileName) {
  auto Pos = FileName.find_last_of(".\\:");
  if (Pos == std::string_view::npos || FileName[Pos] != '.') return std::string();
  return std::string(FileName.substr(Pos));
}

std::string ChangeFileExt(std::string_view FileName, std::string_view Ext) {
  auto Pos = FileName.find_last_of(".\\:");
  if (Pos == std::string_view::npos || FileName[Pos] != '.') return std::string(FileName) + std::string(Ext);
  return std::string(FileName.substr(0, Pos)) + std::string(Ext);
}

std::string AddBackslash(std::string_view Path) {
  if (Path.empty() || Path.back() == '\\') return std::string(Path);
  return std::string(Path) + '\\';
}

std::string IncludeTrailingBackslash(std::string_view Path) {
  if (!Path.empty() && Path.back() == '\\') return std::string(Path);
  return std::string(Path) + '\\';
}

std::string ExcludeTrailingBackslash(std::string_view Path) {
  if (!Path.empty() && Path.back() == '\\') Path.remove_suffix(1);
  return std::string(Path);
}

bool IsPathAtOrBelow(std::string_view Path, std::string_view Folder) {
  return Path.size() >= Folder.size() && SameText(Path.substr(0, Folder.size()), Folder);
}
