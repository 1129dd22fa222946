// Shared by the installation tests: files, registry values and shell links of the
// test's own Wine prefix, and a fixture that leaves the prefix as it found it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "classes/sysutils.h"
#include "gui/handles.h"
#include "gui/forms.h"
#include "gui/registry.h"
#include "setup/uinstbrisko5_install.h"
#include "support/dialog_answers.h"
#include "support/files.h"
#include "support/host_paths.h"

namespace installtest {

// unzip.exe and the two archives, as the build put them beside the setup program.
inline std::string DistFolder() { return testsupport::HostFolder(DIST_DIR); }

inline const std::string ScratchRoot = "C:\\instbrisko install tests\\";
inline const std::string DefaultTarget = "C:\\program Files\\Brisko\\";

using testsupport::DeleteTree;
using testsupport::DirectoryExists;
using testsupport::FileExists;
using testsupport::MakeFolder;
using testsupport::ReadAll;
using testsupport::WriteAll;

inline std::optional<std::string> ReadValue(HKEY Root, const std::string& Key, const std::string& Name) {
  TRegistry R(Root);
  if (!R.OpenKeyReadOnly(Key) || !R.ValueExists(Name)) return std::nullopt;
  return R.ReadString(Name);
}

inline std::vector<std::string> ValueNames(HKEY Root, const std::string& Key) {
  TRegistry R(Root);
  return R.OpenKeyReadOnly(Key) ? R.GetValueNames() : std::vector<std::string>();
}

inline void DeleteKey(HKEY Root, const std::string& Key) {
  TRegistry R(Root);
  R.DeleteKey(Key);
}

// One registry value, put back as it was (type and bytes), or removed again, when the
// holder goes.
class TSavedValue {
public:
  TSavedValue(HKEY Root, std::string Key, std::string Name) : Root_(Root), Key_(std::move(Key)), Name_(std::move(Name)) {
    TRegKey K;
    if (RegOpenKeyExA(Root_, Key_.c_str(), 0, KEY_READ, K.Receive()) != ERROR_SUCCESS) return;
    DWORD Size = 0;
    if (RegQueryValueExA(K.Get(), Name_.c_str(), nullptr, &Type_, nullptr, &Size) != ERROR_SUCCESS) return;
    Data_.resize(Size);
    Existed_ = RegQueryValueExA(K.Get(), Name_.c_str(), nullptr, &Type_, Data_.data(), &Size) == ERROR_SUCCESS;
  }
  ~TSavedValue() {
    TRegKey K;
    if (Existed_) {
      if (RegCreateKeyExA(Root_, Key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, K.Receive(), nullptr) == ERROR_SUCCESS)
        RegSetValueExA(K.Get(), Name_.c_str(), 0, Type_, Data_.data(), static_cast<DWORD>(Data_.size()));
    } else if (RegOpenKeyExA(Root_, Key_.c_str(), 0, KEY_WRITE, K.Receive()) == ERROR_SUCCESS) {
      RegDeleteValueA(K.Get(), Name_.c_str());
    }
  }
  TSavedValue(const TSavedValue&) = delete;
  TSavedValue& operator=(const TSavedValue&) = delete;
  void Set(const std::string& Value) {
    TRegistry R(Root_);
    ASSERT_TRUE(R.OpenKey(Key_, true));
    R.WriteString(Name_, Value);
  }
  void Remove() {
    TRegistry R(Root_);
    if (R.OpenKey(Key_, false)) R.DeleteValue(Name_);
  }

private:
  HKEY Root_;
  std::string Key_, Name_;
  bool Existed_ = false;
  DWORD Type_ = REG_NONE;
  std::vector<BYTE> Data_;
};

// A registry key with its whole tree, moved aside while the holder lives.
class TKeyAside {
public:
  TKeyAside(HKEY Root, std::string Key) : Root_(Root), Key_(std::move(Key)) {
    TRegKey From;
    if (RegOpenKeyExA(Root_, Key_.c_str(), 0, KEY_READ, From.Receive()) != ERROR_SUCCESS) return;
    DeleteKey(Root_, Backup);
    TRegKey To;
    EXPECT_EQ(RegCreateKeyExA(Root_, Backup, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, To.Receive(), nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCopyTreeA(From.Get(), nullptr, To.Get()), ERROR_SUCCESS);
    From.Close();
    EXPECT_EQ(RegDeleteTreeA(Root_, Key_.c_str()), ERROR_SUCCESS);
    Moved_ = true;
  }
  ~TKeyAside() {
    if (!Moved_) return;
    TRegKey From, To;
    RegOpenKeyExA(Root_, Backup, 0, KEY_READ, From.Receive());
    RegCreateKeyExA(Root_, Key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, To.Receive(), nullptr);
    if (From && To) RegCopyTreeA(From.Get(), nullptr, To.Get());
    From.Close();
    DeleteKey(Root_, BackupParent);
  }
  TKeyAside(const TKeyAside&) = delete;
  TKeyAside& operator=(const TKeyAside&) = delete;

private:
  static constexpr const char* BackupParent = "Software\\instbrisko tests";
  static constexpr const char* Backup = "Software\\instbrisko tests\\moved aside";
  HKEY Root_;
  std::string Key_;
  bool Moved_ = false;
};

inline std::string ShellFolder(const char* Name) {
  return ReadValue(HKEY_CURRENT_USER, ShellFoldersKey, Name).value_or("");
}

struct TLink {
  std::string Path, WorkingDirectory, Arguments;
};

// Reads a saved shell link back through the shell's own link object.
inline std::optional<TLink> ReadLink(const std::string& File) {
  if (!FileExists(File)) return std::nullopt;
  TComPtr<IShellLinkA> Link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, Link.PPV())))
    return std::nullopt;
  TComPtr<IPersistFile> Persist;
  if (FAILED(Link.QueryInterface(IID_IPersistFile, Persist))) return std::nullopt;
  wchar_t Wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, File.c_str(), -1, Wide, MAX_PATH);
  if (FAILED(Persist->Load(Wide, STGM_READ))) return std::nullopt;
  char Buffer[MAX_PATH] = "";
  TLink Result;
  Link->GetPath(Buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
  Result.Path = Buffer;
  Buffer[0] = 0;
  Link->GetWorkingDirectory(Buffer, MAX_PATH);
  Result.WorkingDirectory = Buffer;
  Buffer[0] = 0;
  Link->GetArguments(Buffer, MAX_PATH);
  Result.Arguments = Buffer;
  return Result;
}

inline std::string FontsFolder() {
  char Buffer[MAX_PATH];
  UINT N = GetWindowsDirectoryA(Buffer, MAX_PATH);
  return std::string(Buffer, N) + "\\Fonts\\";
}

inline const char* const FontFiles[] = {"TAHOMA.TTF", "TAHOMABD.TTF"};
inline const char* const LinkFolders[] = {"Desktop", "Start Menu", "Programs"};

// Installs into scratch folders of the prefix and, before and after each test, removes
// what an installation leaves: the product folders, links, the recorded folder, fonts.
class InstallTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Ole.Succeeded());
    Clean();
    MakeFolder(ScratchRoot);
    Edges.ShowPanel = [this] { Events.push_back("show panel"); };
    Edges.HidePanel = [this] { Events.push_back("hide panel"); };
    // The font steps have tests of their own; elsewhere the screen has Tahoma.
    PreviousFonts_ = Screen->SetFontLister([] { return std::vector<std::string>{"Arial", "Tahoma"}; });
    Choices.TargetFolder = ScratchRoot + "Brisko\\";
    Choices.LanguageCode = "DE";
    Choices.SetupFolder = DistFolder();
  }
  void TearDown() override {
    Screen->SetFontLister(std::move(PreviousFonts_));
    Screen->ResetFonts();
    Clean();
  }

  // The fonts the screen reports from now on; an empty lister: the real ones.
  static void ScreenFonts(TScreen::TFontLister Lister) {
    Screen->SetFontLister(std::move(Lister));
    Screen->ResetFonts();
  }

  static void Clean() {
    DeleteTree(ScratchRoot);
    DeleteTree(DefaultTarget);
    for (const char* Folder : LinkFolders) DeleteFileA((ShellFolder(Folder) + "\\Brisko.lnk").c_str());
    DeleteKey(HKEY_LOCAL_MACHINE, "Software\\Brisko");
    for (const char* Font : FontFiles) {
      const std::string Path = FontsFolder() + Font;
      while (RemoveFontResourceA(Path.c_str())) {
      }
      DeleteFileA(Path.c_str());
    }
  }

  std::string Target() const { return AddBackslash(Choices.TargetFolder); }
  std::optional<std::string> RecordedFolder() const {
    return ReadValue(HKEY_LOCAL_MACHINE, InstallText::InstallKey, "");
  }
  // An installation that is to succeed; when it stops, the failure says what it showed.
  testing::AssertionResult Installs() {
    if (InstallBrisko(Choices, Edges)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the run stopped, showing " << testing::PrintToString(Messages());
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> R;
    for (const auto& E : Events)
      if (E.rfind("message: ", 0) == 0) R.push_back(E.substr(9));
    return R;
  }

  TOleInitializer Ole;
  // Whatever the font steps write is put back.
  TSavedValue FontValue{HKEY_LOCAL_MACHINE, InstallText::FontsKey, InstallText::FontValue};
  TSavedValue NtRegular{HKEY_LOCAL_MACHINE, InstallText::NtFontsKey, "Tahoma (TrueType)"};
  TSavedValue NtBold{HKEY_LOCAL_MACHINE, InstallText::NtFontsKey, "Tahoma Bold (TrueType)"};
  TInstallChoices Choices;
  TInstallEdges Edges;
  std::vector<std::string> Events;
  // The run's messages, in order with the panel's showing and hiding.
  testsupport::TDialogAnswers Dialogs{[this](const TDialogRequest& R) {
    Events.push_back("message: " + R.Text);
    return mrOk;
  }};

private:
  TScreen::TFontLister PreviousFonts_;
};

}  // namespace installtest
