#include "gui/registry.h"

namespace {

std::string SystemMessage(LONG Code) {
  char* Text = nullptr;
  DWORD N = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(Code), 0, reinterpret_cast<char*>(&Text), 0,
                           nullptr);
  std::string Result = N && Text ? std::string(Text, N) : "error " + IntToStr(Code);
  if (Text) LocalFree(Text);
  while (!Result.empty() && (Result.back() == '\n' || Result.back() == '\r' || Result.back() == ' ' ||
                             Result.back() == '.'))
    Result.pop_back();
  return Result;
}

[[noreturn]] void Fail(const char* What, const std::string& Name, LONG Code) {
  std::string Message = std::string(What) + " '" + Name + "'";
  if (Code != ERROR_SUCCESS) Message += ": " + SystemMessage(Code);
  throw ERegistryException(Message);
}

// Names returned by RegEnumKeyExA or RegEnumValueA, index by index.
template <typename Enum>
std::vector<std::string> EnumNames(Enum Next) {
  std::vector<std::string> Names;
  std::string Buffer(256, '\0');
  for (DWORD Index = 0;;) {
    DWORD Size = static_cast<DWORD>(Buffer.size());
    LONG R = Next(Index, Buffer.data(), &Size);
    if (R == ERROR_MORE_DATA) {
      Buffer.resize(Buffer.size() * 2);
      continue;
    }
    if (R != ERROR_SUCCESS) break;
    Names.emplace_back(Buffer.data(), Size);
    ++Index;
  }
  return Names;
}

}  // namespace

void TRegistry::SetRootKey(HKEY Value) {
  CloseKey();
  RootKey_ = Value;
}

HKEY TRegistry::BaseFor(const std::string& Key, std::string& Relative, std::string& FullPath) const {
  bool Absolute = !Key.empty() && Key.front() == '\\';
  size_t First = Key.find_first_not_of('\\');
  size_t Last = Key.find_last_not_of('\\');
  Relative = First == std::string::npos ? std::string() : Key.substr(First, Last - First + 1);
  if (Absolute || !Current_) {
    FullPath = Relative;
    return RootKey_;
  }
  FullPath = CurrentPath_.empty() || Relative.empty() ? CurrentPath_ + Relative
                                                      : CurrentPath_ + '\\' + Relative;
  return Current_.Get();
}

bool TRegistry::Open(const std::string& Key, REGSAM Access, bool CanCreate) {
  std::string Relative, FullPath;
  HKEY Base = BaseFor(Key, Relative, FullPath);
  HKEY Opened = nullptr;
  LONG R = CanCreate ? RegCreateKeyExA(Base, Relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       Access, nullptr, &Opened, nullptr)
                     : RegOpenKeyExA(Base, Relative.c_str(), 0, Access, &Opened);
  if (R != ERROR_SUCCESS) return false;
  // Base may be the open key itself, so it is replaced only now.
  CloseKey();
  Current_.Attach(Opened);
  CurrentPath_ = FullPath;
  return true;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  return Open(Key, KEY_READ | KEY_WRITE, CanCreate);
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) { return Open(Key, KEY_READ, false); }

bool TRegistry::KeyExists(const std::string& Key) {
  std::string Relative, FullPath;
  HKEY Base = BaseFor(Key, Relative, FullPath);
  TRegKey Probe;
  LONG R = RegOpenKeyExA(Base, Relative.c_str(), 0, KEY_QUERY_VALUE, Probe.Receive());
  // A key we may not read still exists.
  return R == ERROR_SUCCESS || R == ERROR_ACCESS_DENIED;
}

void TRegistry::CloseKey() {
  if (!Current_) return;
  if (!LazyWrite_) RegFlushKey(Current_.Get());
  Current_.Close();
  CurrentPath_.clear();
}

bool TRegistry::DeleteKey(const std::string& Key) {
  std::string Relative, FullPath;
  HKEY Base = BaseFor(Key, Relative, FullPath);
  if (Relative.empty()) return false;
  return RegDeleteTreeA(Base, Relative.c_str()) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& Name) {
  if (!Current_) return std::string();
  std::string Buffer(256, '\0');
  for (;;) {
    DWORD Type = REG_NONE;
    DWORD Size = static_cast<DWORD>(Buffer.size());
    LONG R = RegQueryValueExA(Current_.Get(), Name.c_str(), nullptr, &Type,
                              reinterpret_cast<BYTE*>(Buffer.data()), &Size);
    if (R == ERROR_FILE_NOT_FOUND) return std::string();
    if (R == ERROR_MORE_DATA) {
      Buffer.resize(Size + 1);
      continue;
    }
    if (R != ERROR_SUCCESS) Fail("Failed to get data for", Name, R);
    if (Type != REG_SZ && Type != REG_EXPAND_SZ) Fail("Invalid data type for", Name, ERROR_SUCCESS);
    // The stored size may or may not count the terminator; the text ends at the first NUL.
    Buffer.resize(Size);
    auto Nul = Buffer.find('\0');
    if (Nul != std::string::npos) Buffer.resize(Nul);
    return Buffer;
  }
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  if (!Current_) Fail("No key is open to write", Name, ERROR_SUCCESS);
  LONG R = RegSetValueExA(Current_.Get(), Name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(Value.c_str()),
                          static_cast<DWORD>(Value.size() + 1));
  if (R != ERROR_SUCCESS) Fail("Failed to set data for", Name, R);
}

bool TRegistry::ValueExists(const std::string& Name) {
  if (!Current_) return false;
  return RegQueryValueExA(Current_.Get(), Name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& Name) {
  if (!Current_) return false;
  return RegDeleteValueA(Current_.Get(), Name.c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> TRegistry::GetValueNames() {
  if (!Current_) return {};
  HKEY Key = Current_.Get();
  return EnumNames([Key](DWORD I, char* Buf, DWORD* Size) {
    return RegEnumValueA(Key, I, Buf, Size, nullptr, nullptr, nullptr, nullptr);
  });
}

std::vector<std::string> TRegistry::GetKeyNames() {
  if (!Current_) return {};
  HKEY Key = Current_.Get();
  return EnumNames([Key](DWORD I, char* Buf, DWORD* Size) {
    return RegEnumKeyExA(Key, I, Buf, Size, nullptr, nullptr, nullptr, nullptr);
  });
}
