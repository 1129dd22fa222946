#include "setup/uinstbrisko5_install.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <utility>

#include "classes/sysutils.h"
#include "gui/dialogs.h"
#include "gui/forms.h"
#include "gui/handles.h"
#include "gui/inifiles.h"
#include "gui/registry.h"
#include "setup/SetupFiles.h"
#include "setup/ShellFolders.h"

namespace {

bool IsBlank(const std::string& S) { return S.find_first_not_of(" \t") == std::string::npos; }

std::wstring Widen(const std::string& S) {
  if (S.empty()) return std::wstring();
  int N = MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
  std::wstring W(static_cast<size_t>(N), L'\0');
  MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), W.data(), N);
  return W;
}

std::string HResultText(HRESULT Result) {
  char Buffer[16];
  wsprintfA(Buffer, "%08lX", static_cast<unsigned long>(Result));
  return Buffer;
}

// Keeps the "Please wait" panel up for as long as the run works: shown when made,
// hidden on the first Hide or at the latest when the run is left, also by an error.
class TWaitPanel {
public:
  explicit TWaitPanel(const TInstallEdges& Edges) : Hide_(Edges.HidePanel) {
    if (Edges.ShowPanel) Edges.ShowPanel();
  }
  ~TWaitPanel() {
    try {
      Hide();
    } catch (...) {
      // The panel stays up; the run's own outcome matters more than the page's looks.
    }
  }
  TWaitPanel(const TWaitPanel&) = delete;
  TWaitPanel& operator=(const TWaitPanel&) = delete;
  void Hide() {
    if (Shown_ && Hide_) Hide_();
    Shown_ = false;
  }

private:
  const std::function<void()>& Hide_;
  bool Shown_ = true;
};

// The run's steps. Each gets only what it needs.


void WriteSettings(const std::string& Folder, const std::string& LanguageCode) {
  TIniFile Settings(Folder + "\\TALMOR.INI");
  Settings.WriteString("System", "Web2cBINDir", Folder + "\\");
  Settings.WriteString("UserChoice", "TalmorLanguage", LanguageCode);
  Settings.WriteString("UserChoice", "SpellLanguage", LanguageCode);
}

// Read afresh: an earlier Install may have added the fonts. The name is compared with
// its case: another spelling is not the font.
bool ScreenHasTahoma() {
  Screen->ResetFonts();
  for (const std::string& Name : Screen->Fonts().ToVector())
    if (Name == "Tahoma") return true;
  return false;
}

std::string WindowsFolder() {
  char Buffer[MAX_PATH + 1];
  DWORD N = GetEnvironmentVariableA("windir", Buffer, sizeof(Buffer));
  if (N > 0 && N < sizeof(Buffer)) return std::string(Buffer, N);
  N = GetWindowsDirectoryA(Buffer, sizeof(Buffer));
  return N > 0 && N < sizeof(Buffer) ? std::string(Buffer, N) : std::string();
}

// The two fonts the product's screens are drawn with, taken from the install folder.
void InstallTahoma(const std::string& Folder) {
  static const struct {
    const char* File;
    const char* Value;
  } Fonts[] = {{"TAHOMA.TTF", "Tahoma (TrueType)"}, {"TAHOMABD.TTF", "Tahoma Bold (TrueType)"}};
  const std::string FontsFolder = WindowsFolder() + "\\FONTS\\";
  struct TRemoveCopies {
    const std::string& Folder;
    ~TRemoveCopies() {
      for (const auto& Font : Fonts) DeleteFileA((Folder + "\\" + Font.File).c_str());
    }
  } RemoveCopies{Folder};
  for (const auto& Font : Fonts) InstallFont(Folder + "\\" + Font.File, FontsFolder + Font.File, Font.Value);
}

void CreateShortcuts(const std::string& Target, const TInstallChoices& Choices) {
  if (Choices.DesktopShortcut) CreateShortcut(Target, "", "Brisko.lnk", sfkDesktop);
  if (Choices.StartMenuShortcut) CreateShortcut(Target, "", "Brisko.lnk", sfkStartMenu);
  if (Choices.ProgramsShortcut) CreateShortcut(Target, "", "Brisko.lnk", sfkPrograms);
}

}  // namespace

bool InstallBrisko(const TInstallChoices& Choices, const TInstallEdges& Edges) {
  if (IsBlank(Choices.TargetFolder)) {
    ShowMessage(InstallText::NoFolder);
    return false;
  }
  TWaitPanel Panel(Edges);
  // The box's text normally ends with a backslash; the folder itself is named without.
  const std::string Target = AddBackslash(Choices.TargetFolder);
  const std::string Folder = ExcludeTrailingBackslash(Choices.TargetFolder);
  const std::string Setup = Choices.SetupFolder.empty() ? DefaultSetupFolder() : AddBackslash(Choices.SetupFolder);
  // A message says the run has stopped, so the panel must not claim otherwise behind it.
  const auto Stop = [&](const std::string& Text) {
    Panel.Hide();
    ShowMessage(Text);
    return false;
  };
  // Unzip says why it failed on a console nobody sees; the user learns which archive.
  const auto Extract = [&](const char* Archive) {
    const std::string Line = UnzipCommandLine(Setup, Folder, Archive);
    const std::optional<uint32_t> ExitCode = RunAndWait(Line);
    if (!ExitCode) return Stop(StartFailedText(Line));
    return *ExitCode == 0 || Stop(Format(InstallText::ExtractingFailed, Archive));
  };

  ForceDirectories(Folder);
  if (!Extract(InstallText::ProductArchive)) return false;
  // Without a viewer for the compiled help the product shows its help as plain pages.
  if (!KeyExists(HKEY_LOCAL_MACHINE, InstallText::HelpTypeKey) && !Extract(InstallText::HelpArchive)) return false;
  WriteSettings(Folder, Choices.LanguageCode);
  if (!ScreenHasTahoma()) InstallTahoma(Folder);
  CreateShortcuts(Target + "BRISKO.EXE", Choices);
  WriteRegString(HKEY_LOCAL_MACHINE, InstallText::InstallKey, "", Target);
  return true;
}

std::string DefaultSetupFolder() {
  std::string Folder = ExtractFilePath(ExecutablePath());
  if (!Folder.empty()) return Folder;
  char Buffer[MAX_PATH + 1];
  DWORD N = GetCurrentDirectoryA(sizeof(Buffer), Buffer);
  return N > 0 && N < sizeof(Buffer) ? AddBackslash(std::string(Buffer, N)) : std::string();
}

std::string UnzipCommandLine(const std::string& SetupFolder, const std::string& Folder, const std::string& Archive) {
  return "\"" + SetupFolder + "unzip.exe\" -d \"" + Folder + "\" -o \"" + SetupFolder + Archive + "\"";
}

std::optional<uint32_t> RunAndWait(const std::string& CommandLine) {
  TKernelHandle Process = StartProcess(CommandLine, SW_HIDE);
  if (!Process) return std::nullopt;
  // Slices rather than one endless wait, so that a debugger can break in between.
  DWORD Wait;
  do Wait = WaitForSingleObject(Process.Get(), 10000);
  while (Wait == WAIT_TIMEOUT);
  DWORD ExitCode = 0;
  if (Wait != WAIT_OBJECT_0 || !GetExitCodeProcess(Process.Get(), &ExitCode)) return UINT32_MAX;
  return ExitCode;
}

std::string StartFailedText(const std::string& CommandLine) { return "Executing \r" + CommandLine + "\r failed!"; }

bool KeyExists(HKEY Root, const std::string& Key) {
  TRegistry Registry(Root);
  return Registry.OpenKeyReadOnly(Key);
}

void WriteRegString(HKEY Root, const std::string& Key, const std::string& Name, const std::string& Value) {
  TRegistry Registry(Root);
  if (!Registry.OpenKey(Key, true)) return;
  try {
    Registry.WriteString(Name, Value);
  } catch (const ERegistryException&) {
    // Recording the folder is a convenience for the uninstaller; the product works without it.
  }
}

bool CreateShortcut(const std::string& Target, const std::string& Arguments, const std::string& LinkName,
                    ShellFolderKind Kind) {
  TComPtr<IShellLinkA> Link;
  HRESULT Result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, Link.PPV());
  if (FAILED(Result)) throw EOSError("Cannot create a shell link object (error " + HResultText(Result) + ")");
  TComPtr<IPersistFile> File;
  Result = Link.QueryInterface(IID_IPersistFile, File);
  if (FAILED(Result)) throw EOSError("A shell link object cannot be saved (error " + HResultText(Result) + ")");
  Link->SetArguments(Arguments.c_str());
  Link->SetPath(Target.c_str());
  Link->SetWorkingDirectory(ExtractFilePath(Target).c_str());

  const std::string Folder = ShortcutFolder(LinkName, Kind);
  // Without a folder the link would land in the root of the current drive.
  if (Folder.empty()) return false;
  if (!DirectoryExists(Folder)) CreateDirectoryA(Folder.c_str(), nullptr);
  const std::wstring Path = Widen(Folder + "\\" + ExtractFileName(LinkName));
  return File->Save(Path.c_str(), FALSE) == S_OK;
}
