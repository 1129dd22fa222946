// The font part of the installation run: copying a font file, recording, loading and
// announcing it, and the list of fonts the screen has.
#include <algorithm>
#include <memory>

#include "classes/streams.h"
#include "classes/sysutils.h"
#include "gui/handles.h"
#include "gui/registry.h"
#include "setup/uinstbrisko5_install.h"

namespace {

std::string FullPathName(const std::string& FileName) {
  char Buffer[MAX_PATH + 1];
  char* FilePart = nullptr;
  DWORD N = GetFullPathNameA(FileName.c_str(), sizeof(Buffer), Buffer, &FilePart);
  return N > 0 && N < sizeof(Buffer) ? std::string(Buffer, N) : FileName;
}

void WriteFontValue(const char* Key, bool CanCreate, const std::string& Name, const std::string& File) {
  TRegistry Registry(HKEY_LOCAL_MACHINE);
  // The font is loaded right after; its record must be on disk should the machine stop then.
  Registry.SetLazyWrite(false);
  if (!Registry.OpenKey(Key, CanCreate))
    throw ERegistryException(Format("Cannot open the registry key %s", Key));
  Registry.WriteString(Name, File);
  Registry.CloseKey();
}

// How long one window may take over the font change before the broadcast moves on.
constexpr UINT FontChangeTimeout = 2000;

int CALLBACK CollectFace(const LOGFONTA* Font, const TEXTMETRICA*, DWORD, LPARAM Data) {
  auto& Names = *reinterpret_cast<std::vector<std::string>*>(Data);
  std::string Name = Font->lfFaceName;
  if (!Name.empty() && Name[0] != '@' && std::find(Names.begin(), Names.end(), Name) == Names.end())
    Names.push_back(std::move(Name));
  return 1;
}

}  // namespace

void CopyFileTo(const std::string& Source, const std::string& Destination) {
  const std::string Target = FullPathName(Destination);
  auto Buffer = std::make_unique<char[]>(8192);
  std::unique_ptr<TFileStream> In, Out;
  try {
    In = std::make_unique<TFileStream>(Source, fmOpenRead | fmShareDenyWrite);
  } catch (const EFOpenError&) {
    throw EFOpenError(Format("Cannot open file %s", Source));
  }
  try {
    Out = std::make_unique<TFileStream>(Target, fmCreate);
  } catch (const EFCreateError&) {
    throw EFCreateError(Format("Cannot create file %s", Target));
  }
  int64_t Read;
  do {
    Read = In->Read(Buffer.get(), 8192);
    if (Read > 0) Out->WriteBuffer(Buffer.get(), Read);
  } while (Read == 8192);
}

void InstallFont(const std::string& Source, const std::string& Destination, const std::string& FontValueName) {
  CopyFileTo(Source, Destination);
  // Every font shares this one value, so it ends up naming the last font installed.
  WriteFontValue(InstallText::FontsKey, false, InstallText::FontValue, ExtractFileName(Source));
  // Windows NT loads fonts at start-up from this key, one value per font.
  WriteFontValue(InstallText::NtFontsKey, true, FontValueName, ExtractFileName(Destination));
  AddFontResourceA(Destination.c_str());
  // Sent, so that open programs have redrawn with the font when we go on; a hung window
  // is skipped rather than waited for.
  SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, FontChangeTimeout, nullptr);
}

std::vector<std::string> InstalledScreenFonts() {
  std::vector<std::string> Names;
  TWindowDC Screen(nullptr);
  if (!Screen) return Names;
  LOGFONTA Query{};
  Query.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(Screen.Get(), &Query, CollectFace, reinterpret_cast<LPARAM>(&Names), 0);
  return Names;
}
