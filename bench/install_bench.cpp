// The installer's own overhead: the whole installation run against unzip.exe alone on
// the same archive, both started the same way from this process.
//
//   install_bench.exe SETUP_FOLDER [REPETITIONS [SETUP_FOLDER...]]
//
// Each SETUP_FOLDER holds unzip.exe and a BRISKO.ZIP (bench/install_bench.sh makes a large
// one, and takes the product's own small one to show the run's fixed part). Each
// repetition extracts into C:\instbrisko bench\ once with unzip.exe alone and once with
// the run (three shortcuts, settings file, fonts when the screen lacks Tahoma, install
// record), in alternating order, and cleans up after itself untimed.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_result.h"
#include "classes/sysutils.h"
#include "gui/dialogs.h"
#include "gui/handles.h"
#include "gui/registry.h"
#include "setup/uinstbrisko5_install.h"

namespace {

const std::string Root = "C:\\instbrisko bench\\";

void DeleteTree(const std::string& Folder) {
  const std::string Dir = ExcludeTrailingBackslash(Folder);
  WIN32_FIND_DATAA Found;
  TFindHandle Find(FindFirstFileA((Dir + "\\*").c_str(), &Found));
  if (Find) {
    do {
      const std::string Name = Found.cFileName;
      if (Name == "." || Name == "..") continue;
      const std::string Path = Dir + "\\" + Name;
      if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) DeleteTree(Path);
      else DeleteFileA(Path.c_str());
    } while (FindNextFileA(Find.Get(), &Found));
  }
  Find.Close();
  RemoveDirectoryA(Dir.c_str());
}

std::string ShellFolder(const char* Name) {
  TRegistry R(HKEY_CURRENT_USER);
  return R.OpenKeyReadOnly(ShellFoldersKey) ? R.ReadString(Name) : std::string();
}

// Whatever a run leaves outside its folder: links, record, fonts and their values.
void CleanUp() {
  DeleteTree(Root);
  for (const char* Folder : {"Desktop", "Start Menu", "Programs"})
    DeleteFileA((ShellFolder(Folder) + "\\Brisko.lnk").c_str());
  TRegistry(HKEY_LOCAL_MACHINE).DeleteKey("Software\\Brisko");
  const auto DeleteValue = [](const char* Key, const char* Name) {
    TRegistry Machine(HKEY_LOCAL_MACHINE);
    if (Machine.OpenKey(Key, false)) Machine.DeleteValue(Name);
  };
  DeleteValue(InstallText::FontsKey, InstallText::FontValue);
  DeleteValue(InstallText::NtFontsKey, "Tahoma (TrueType)");
  DeleteValue(InstallText::NtFontsKey, "Tahoma Bold (TrueType)");
  char Windows[MAX_PATH];
  UINT N = GetWindowsDirectoryA(Windows, MAX_PATH);
  for (const char* Font : {"TAHOMA.TTF", "TAHOMABD.TTF"}) {
    const std::string Path = std::string(Windows, N) + "\\Fonts\\" + Font;
    while (RemoveFontResourceA(Path.c_str())) {
    }
    DeleteFileA(Path.c_str());
  }
}

template <typename F>
double Seconds(F&& Work) {
  auto Start = std::chrono::steady_clock::now();
  Work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// "5 MB", the packed size of the archive in Setup.
std::string ArchiveSize(const std::string& Setup) {
  WIN32_FILE_ATTRIBUTE_DATA Data{};
  if (!GetFileAttributesExA((Setup + InstallText::ProductArchive).c_str(), GetFileExInfoStandard, &Data))
    return "?";
  const double Bytes = static_cast<double>(Data.nFileSizeHigh) * 4294967296.0 + Data.nFileSizeLow;
  char Text[32];
  std::snprintf(Text, sizeof(Text), Bytes >= 10e6 ? "%.0f MB" : "%.1f MB", Bytes / 1e6);
  return Text;
}

// Times both ways on the archive in Setup; false when either failed.
bool Measure(const std::string& Setup, int Repetitions) {
  bool Failed = false;
  const auto UnzipAlone = [&] {
    const std::string Line = UnzipCommandLine(Setup, Root + "Brisko alone", InstallText::ProductArchive);
    auto Code = RunAndWait(Line);
    if (!Code) std::fprintf(stderr, "%s\n", StartFailedText(Line).c_str());
    Failed |= !Code || *Code != 0;
  };
  const auto WholeRun = [&] {
    TInstallChoices Choices;
    Choices.TargetFolder = Root + "Brisko\\";
    Choices.LanguageCode = "US";
    Choices.StartMenuShortcut = true;
    Choices.SetupFolder = Setup;
    Failed |= !InstallBrisko(Choices);
  };

  // One untimed round warms the file cache and proves that both work.
  CleanUp();
  UnzipAlone();
  WholeRun();
  CleanUp();
  if (Failed) {
    std::fprintf(stderr, "the warm-up round failed\n");
    return false;
  }

  bench::TSeries Alone, Whole, Ratios;
  for (int I = 1; I <= Repetitions; ++I) {
    double A, W;
    if (I % 2) {
      A = Seconds(UnzipAlone);
      W = Seconds(WholeRun);
    } else {
      W = Seconds(WholeRun);
      A = Seconds(UnzipAlone);
    }
    CleanUp();
    Alone.Add(A);
    Whole.Add(W);
    Ratios.Add(W / A);
    std::printf("  run %d: unzip.exe alone %.3f s, whole installation run %.3f s\n", I, A, W);
    std::fflush(stdout);
  }
  std::printf("  median: installer's own part %.3f s\n", Whole.Median() - Alone.Median());
  // Other work on the machine slows a whole repetition; the ratio within one pair is steadier.
  bench::PrintResult("installation run / unzip.exe alone, " + ArchiveSize(Setup) + " archive", Ratios, Whole, Alone);
  return !Failed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: install_bench SETUP_FOLDER [REPETITIONS [SETUP_FOLDER...]]\n");
    return 2;
  }
  const int Repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  TOleInitializer Ole;
  // The run's messages go to the console rather than into a box nobody answers.
  SetDialogHandler([](const TDialogRequest& R) {
    std::fprintf(stderr, "%s\n", R.Text.c_str());
    return mrOk;
  });
  bool Ok = true;
  for (int I = 1; I < argc; I += I == 1 ? 2 : 1) {
    std::printf("%s\n", argv[I]);
    Ok = Measure(AddBackslash(argv[I]), Repetitions) && Ok;
  }
  CleanUp();
  return Ok ? 0 : 1;
}
