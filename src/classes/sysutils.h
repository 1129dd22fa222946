// Exceptions and small string, path and number helpers shared by every layer.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Root of every error the program raises; carries only its message.
class Exception : public std::exception {
public:
  explicit Exception(std::string Message) : Message_(std::move(Message)) {}
  const std::string& Message() const { return Message_; }
  void SetMessage(std::string M) { Message_ = std::move(M); }
  const char* what() const noexcept override { return Message_.c_str(); }

private:
  std::string Message_;
};

#define INSTBRISKO_EXCEPTION(Name, Base)                     \
  class Name : public Base {                                 \
  public:                                                    \
    using Base::Base;                                        \
  }

INSTBRISKO_EXCEPTION(EListError, Exception);
INSTBRISKO_EXCEPTION(EStringListError, EListError);
INSTBRISKO_EXCEPTION(EClassNotFound, Exception);
INSTBRISKO_EXCEPTION(EConvertError, Exception);
INSTBRISKO_EXCEPTION(EComponentError, Exception);
INSTBRISKO_EXCEPTION(EPropertyError, Exception);
INSTBRISKO_EXCEPTION(EStreamError, Exception);
INSTBRISKO_EXCEPTION(EReadError, EStreamError);
INSTBRISKO_EXCEPTION(EWriteError, EStreamError);
INSTBRISKO_EXCEPTION(EFilerError, EStreamError);
INSTBRISKO_EXCEPTION(EFOpenError, EStreamError);
INSTBRISKO_EXCEPTION(EFCreateError, EStreamError);
INSTBRISKO_EXCEPTION(EOSError, Exception);

// The library's own texts.
namespace Msg {
inline constexpr const char* ReadError = "Stream read error";
inline constexpr const char* WriteError = "Stream write error";
inline constexpr const char* ListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SortedListError = "Operation not allowed on sorted string list";
inline constexpr const char* DuplicateString = "String list does not allow duplicates";
inline constexpr const char* FOpenError = "Cannot open file %s";
inline constexpr const char* FCreateError = "Cannot create file %s";
}  // namespace Msg

// Replaces the first %s or %d of Pattern by Arg (the only formats the library's texts use).
std::string Format(std::string_view Pattern, std::string_view Arg);
std::string Format(std::string_view Pattern, int64_t Arg);

std::string IntToStr(int64_t Value);
// Decimal or $hex; raises EConvertError with the text in its message.
int64_t StrToInt(std::string_view S);
bool TryStrToInt(std::string_view S, int64_t& Value);

// Case-insensitive and case-sensitive comparison with the platform's ANSI rules
// (the user's locale; Windows-1252 here). Negative, zero or positive.
int AnsiCompareText(std::string_view A, std::string_view B);
int AnsiCompareStr(std::string_view A, std::string_view B);
bool SameText(std::string_view A, std::string_view B);
std::string AnsiUpperCase(std::string_view S);
std::string AnsiLowerCase(std::string_view S);
// Upper case of the letters a to z only, whatever the locale.
std::string UpperCase(std::string_view S);

// Windows paths, backslash-separated; a colon also ends a drive part.
std::string ExtractFilePath(std::string_view FileName);  // with its trailing backslash
std::string ExtractFileName(std::string_view FileName);
std::string ExtractFileExt(std::string_view FileName);
std::string ChangeFileExt(std::string_view FileName, std::string_view Ext);
// The path with one backslash appended unless it is empty or ends with one already.
std::string AddBackslash(std::string_view Path);
std::string IncludeTrailingBackslash(std::string_view Path);  // appends even to an empty path
std::string ExcludeTrailingBackslash(std::string_view Path);
// True when Path is Folder or lies below it, case ignored; both end with a backslash.
bool IsPathAtOrBelow(std::string_view Path, std::string_view Folder);

// The running executable's full path (platform helper).
std::string ExecutablePath();
