// The installation run behind the shortcuts page's Install button, and the routines it
// is made of. The run takes its inputs as parameters, so that the page, the tests and the
// benchmark drive the same code. It tells the user through the message boxes of the GUI
// library and reads the installed fonts from the screen (Screen->Fonts()).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "setup/ShellFolders.h"

// What the wizard pages have gathered for the run.
struct TInstallChoices {
  std::string TargetFolder;  // the language page's folder box, exactly as it stands
  std::string LanguageCode;  // "US", "DE", ...
  bool DesktopShortcut = true;
  bool StartMenuShortcut = false;
  bool ProgramsShortcut = true;
  // Where unzip.exe and the archives lie; empty: the folder of this executable.
  std::string SetupFolder;
};

// The page's part in the run: makes the "Please wait" panel visible and repaints the
// page at once, since nothing is repainted while unzip runs; and hides it again.
// Empty members do nothing.
struct TInstallEdges {
  std::function<void()> ShowPanel;
  std::function<void()> HidePanel;
};

// Installs Brisko. True when the run reached its end, so that the finish page follows;
// false when it stopped with a message (no folder given, an extraction failed). The
// panel is hidden again on every way out, also before an error escapes to the caller
// (a font that cannot be copied, a shell link object that cannot be created).
bool InstallBrisko(const TInstallChoices& Choices, const TInstallEdges& Edges = {});

// The folder the run takes unzip.exe and the archives from: this executable's folder,
// or the current directory when that is unknown; with a trailing backslash.
std::string DefaultSetupFolder();

// The command that extracts Archive (a file in SetupFolder, which ends with a backslash)
// into Folder, overwriting: every path quoted, since any of them may hold blanks.
std::string UnzipCommandLine(const std::string& SetupFolder, const std::string& Folder,
                             const std::string& Archive);

// Starts CommandLine with its window hidden and waits until it ends, without handling
// messages. Gives its exit code, or nothing when it could not be started.
std::optional<uint32_t> RunAndWait(const std::string& CommandLine);

// What the user is told when CommandLine could not be started.
std::string StartFailedText(const std::string& CommandLine);

// True when Key can be opened under Root without creating it; any error gives false.
bool KeyExists(HKEY Root, const std::string& Key);

// Writes the string value Name (empty: the key's default value) of Key under Root,
// creating the key when missing. Errors are ignored.
void WriteRegString(HKEY Root, const std::string& Key, const std::string& Name, const std::string& Value);

// Copies Source to Destination (replacing it) in chunks of CopyChunkSize bytes. Raises EFOpenError
// "Cannot open file <Source>" or EFCreateError "Cannot create file <full destination>",
// and EWriteError when the destination cannot take all of it.
void CopyFileTo(const std::string& Source, const std::string& Destination);
inline constexpr int CopyChunkSize = 8192;

// Installs one font file into the fonts folder: copies Source to Destination, records it
// under HKLM "Software\Microsoft\Windows\CurrentVersion\Fonts" as "TESTMICR (TrueType)"
// and under the NT fonts key as FontValueName (e.g. "Tahoma (TrueType)"), which Windows
// NT reads at start-up, adds it to the system's font table and tells every top-level
// window. Errors escape (EFOpenError, EFCreateError, ERegistryException, EWriteError).
void InstallFont(const std::string& Source, const std::string& Destination, const std::string& FontValueName);

// Saves a shell link to Target (with Arguments, working folder the target's folder) as
// the file-name part of LinkName in the per-user shell folder of kind Kind (1 Desktop,
// 6 Programs, 9 Start Menu, ...; 0: the folder part of LinkName). A missing folder is
// created, one level. True when the link was saved; false also when the kind names no
// folder. Raises EOSError when no shell link object can be made (COM not initialised).
bool CreateShortcut(const std::string& Target, const std::string& Arguments, const std::string& LinkName,
                    ShellFolderKind Kind);

// The program's own texts.
namespace InstallText {
inline constexpr const char* NoFolder = "Please choose a folder to install Brisko to.";
inline constexpr const char* ExtractingFailed = "Extracting %s failed!";
inline constexpr const char* ProductArchive = "BRISKO.ZIP";
inline constexpr const char* HelpArchive = "HTMLhelp.ZIP";
inline constexpr const char* InstallKey = "Software\\Brisko\\InstallTO";
inline constexpr const char* HelpTypeKey = "Software\\Classes\\.chm";
inline constexpr const char* FontsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";
inline constexpr const char* NtFontsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
inline constexpr const char* FontValue = "TESTMICR (TrueType)";
}  // namespace InstallText
