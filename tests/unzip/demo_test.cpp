// BRISKO.EXE, the demo product: started from a folder of its own, it shows the language
// of the TALMOR.INI beside it (or says what is missing) and ends on WM_CLOSE.
#include <gtest/gtest.h>

#include "testutil.h"

using namespace testutil;

namespace {

struct Found {
  DWORD Process;
  HWND Window;
};

BOOL CALLBACK FindBrisko(HWND Window, LPARAM Param) {
  auto* f = reinterpret_cast<Found*>(Param);
  DWORD pid = 0;
  GetWindowThreadProcessId(Window, &pid);
  char caption[64] = "";
  GetWindowTextA(Window, caption, sizeof caption);
  if (pid == f->Process && std::string(caption) == "Brisko" && IsWindowVisible(Window)) {
    f->Window = Window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectTexts(HWND Window, LPARAM Param) {
  char text[256] = "";
  GetWindowTextA(Window, text, sizeof text);
  reinterpret_cast<std::vector<std::string>*>(Param)->push_back(text);
  return TRUE;
}

// Starts a copy of BRISKO.EXE in Folder, returns the texts its window shows, closes it
// with WM_CLOSE and checks that it ends with exit code 0.
std::vector<std::string> ShowAndClose(const std::string& Folder) {
  std::vector<std::string> texts;
  const std::string exe = Folder + "BRISKO.EXE";
  EXPECT_TRUE(CopyFileA(FromBuildPath(BRISKO_EXE).c_str(), exe.c_str(), FALSE));
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = "\"" + exe + "\"";
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.c_str(), &si, &pi)) {
    ADD_FAILURE() << "cannot start " << exe;
    return texts;
  }
  Found f{pi.dwProcessId, nullptr};
  for (int i = 0; i < 200 && !f.Window; ++i) {
    Sleep(50);
    EnumWindows(FindBrisko, reinterpret_cast<LPARAM>(&f));
  }
  if (f.Window) {
    EnumChildWindows(f.Window, CollectTexts, reinterpret_cast<LPARAM>(&texts));
    PostMessageA(f.Window, WM_CLOSE, 0, 0);
  } else {
    ADD_FAILURE() << "no window \"Brisko\" appeared";
    TerminateProcess(pi.hProcess, 99);
  }
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 0xFFFF;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return texts;
}

}  // namespace

TEST(BriskoDemo, ShowsTheLanguageFromTalmorIni) {
  ScratchFolder dir("demo_lang");
  ASSERT_TRUE(WriteBytes(Wide(dir / "TALMOR.INI"),
                         "[System]\r\nWeb2cBINDir=C:\\x\\\r\n[UserChoice]\r\nTalmorLanguage=DE\r\nSpellLanguage=DE\r\n"));
  const auto texts = ShowAndClose(dir.Path());
  EXPECT_EQ(texts, (std::vector<std::string>{"Brisko 1.0", "Language: DE"}));
}

TEST(BriskoDemo, SaysWhatIsMissing) {
  {
    ScratchFolder dir("demo_nofile");
    const auto texts = ShowAndClose(dir.Path());
    EXPECT_EQ(texts, (std::vector<std::string>{"Brisko 1.0", "No TALMOR.INI beside BRISKO.EXE"}));
  }
  {
    ScratchFolder dir("demo_nokey");
    ASSERT_TRUE(WriteBytes(Wide(dir / "TALMOR.INI"), "[UserChoice]\r\nSpellLanguage=FR\r\n"));
    const auto texts = ShowAndClose(dir.Path());
    EXPECT_EQ(texts, (std::vector<std::string>{"Brisko 1.0", "TALMOR.INI has no TalmorLanguage in [UserChoice]"}));
  }
}
