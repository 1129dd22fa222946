// The font part of the installation run: copying a font file, recording, loading and
// announcing it.
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

}  // namespace

void CopyFileTo(const std::string& Source, const std::string& Destination) {
  const std::string Target = FullPathName(Destination);
  auto Buffer = std::make_unique<char[]>(CopyChunkSize);
  TFileStream In(Source, fmOpenRead | fmShareDenyWrite);
  TFileStream Out(Target, fmCreate);
  int64_t Read;
  do {
    Read = In.Read(Buffer.get(), CopyChunkSize);
    if (Read > 0) Out.WriteBuffer(Buffer.get(), Read);
  } while (Read == CopyChunkSize);
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

