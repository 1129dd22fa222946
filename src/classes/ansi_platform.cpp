// The platform's ANSI text rules and the executable's path. On Windows these are
// the system's own (CompareStringA in the user's locale); the native build, which
// exists for sanitizers and fuzzers, folds Windows-1252 case by table.
#include "classes/sysutils.h"

#ifdef _WIN32
#include <windows.h>

namespace {
int Compare(std::string_view A, std::string_view B, DWORD Flags) {
  int R = CompareStringA(LOCALE_USER_DEFAULT, Flags, A.data(), static_cast<int>(A.size()), B.data(),
                         static_cast<int>(B.size()));
  return R - CSTR_EQUAL;
}
std::string Map(std::string_view S, DWORD Flags) {
  std::string R(S);
  if (R.empty()) return R;
  if (Flags == LCMAP_UPPERCASE) CharUpperBuffA(R.data(), static_cast<DWORD>(R.size()));
  else CharLowerBuffA(R.data(), static_cast<DWORD>(R.size()));
  return R;
}
}  // namespace

int AnsiCompareText(std::string_view A, std::string_view B) { return Compare(A, B, NORM_IGNORECASE); }
int AnsiCompareStr(std::string_view A, std::string_view B) { return Compare(A, B, 0); }
std::string AnsiUpperCase(std::string_view S) { return Map(S, LCMAP_UPPERCASE); }
std::string AnsiLowerCase(std::string_view S) { return Map(S, LCMAP_LOWERCASE); }

std::string ExecutablePath() {
  char Buffer[MAX_PATH + 1];
  DWORD N = GetModuleFileNameA(nullptr, Buffer, MAX_PATH);
  return std::string(Buffer, N);
}

#else
#include <climits>
#include <unistd.h>

namespace {
unsigned char Lower1252(unsigned char C) {
  if (C >= 'A' && C <= 'Z') return C + 32;
  if ((C >= 0xC0 && C <= 0xDE && C != 0xD7)) return C + 32;
  if (C == 0x8A || C == 0x8C || C == 0x8E) return C + 16;
  if (C == 0x9F) return 0xFF;
  return C;
}
unsigned char Upper1252(unsigned char C) {
  if (C >= 'a' && C <= 'z') return C - 32;
  if ((C >= 0xE0 && C <= 0xFE && C != 0xF7)) return C - 32;
  if (C == 0x9A || C == 0x9C || C == 0x9E) return C - 16;
  if (C == 0xFF) return 0x9F;
  return C;
}
int CompareBy(std::string_view A, std::string_view B, bool IgnoreCase) {
  size_t N = A.size() < B.size() ? A.size() : B.size();
  for (size_t I = 0; I < N; ++I) {
    unsigned char X = A[I], Y = B[I];
    if (IgnoreCase) { X = Lower1252(X); Y = Lower1252(Y); }
    if (X != Y) return X < Y ? -1 : 1;
  }
  return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}
}  // namespace

int AnsiCompareText(std::string_view A, std::string_view B) { return CompareBy(A, B, true); }
int AnsiCompareStr(std::string_view A, std::string_view B) { return CompareBy(A, B, false); }
std::string AnsiUpperCase(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = static_cast<char>(Upper1252(static_cast<unsigned char>(C)));
  return R;
}
std::string AnsiLowerCase(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = static_cast<char>(Lower1252(static_cast<unsigned char>(C)));
  return R;
}
std::string ExecutablePath() {
  char Buffer[PATH_MAX];
  ssize_t N = readlink("/proc/self/exe", Buffer, sizeof Buffer);
  return N > 0 ? std::string(Buffer, static_cast<size_t>(N)) : std::string();
}
#endif
