// The pages on the screen they run on: make test runs this once on each screen
// size (INSTBRISKO_SCREEN = 640x480, 800x600, 1024x768, 1280x1024, 1920x1080),
// each on an Xvfb screen of its own. Every form lays itself out for the design
// screen nearest to the running one: unscaled on the three design screens,
// scaled from 1024 × 768 on wider ones, always centred, its text fitting its
// controls and no control over another.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "../gui/accessibility_testing.h"
#include "../setup/wizard_support.h"
#include "gui/buttons.h"
#include "gui/stdctrls.h"
#include "setup/uinstbrisko5_install.h"
#include "wizard_driver.h"

namespace {

struct TSize {
  int Width = 0, Height = 0;
};

struct TBounds {
  long Left, Top, Width, Height;
  bool operator==(const TBounds&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TBounds& B) {
  return Out << B.Left << ", " << B.Top << ", " << B.Width << " x " << B.Height;
}

// Where each form shows on each screen, and the size of the forms' font.
struct TScreenLayout {
  TSize Screen;
  int FontSize;
  std::map<std::string, TBounds> Forms;
};

const TScreenLayout Layouts[] = {
    {{640, 480},
     8,
     {{"iiForm1", {134, 58, 372, 363}},
      {"iiForm2", {136, 137, 367, 205}},
      {"iiForm3", {136, 60, 367, 360}},
      {"iiForm5", {137, 59, 365, 362}},
      {"iiForm6", {141, 58, 358, 363}},
      {"iForm11", {131, 176, 377, 127}},
      {"iForm10", {137, 62, 365, 355}}}},
    {{800, 600},
     8,
     {{"iiForm1", {214, 118, 372, 363}},
      {"iiForm2", {216, 197, 367, 205}},
      {"iiForm3", {216, 120, 367, 360}},
      {"iiForm5", {217, 119, 365, 362}},
      {"iiForm6", {221, 118, 358, 363}},
      {"iForm11", {211, 236, 377, 127}},
      {"iForm10", {217, 122, 365, 355}}}},
    {{1024, 768},
     8,
     {{"iiForm1", {326, 202, 372, 363}},
      {"iiForm2", {328, 281, 367, 205}},
      {"iiForm3", {328, 204, 367, 360}},
      {"iiForm5", {329, 203, 365, 362}},
      {"iiForm6", {333, 202, 358, 363}},
      {"iForm11", {323, 320, 377, 127}},
      {"iForm10", {329, 206, 365, 355}}}},
    {{1280, 1024},
     10,
     {{"iiForm1", {407, 270, 465, 484}},
      {"iiForm2", {410, 375, 459, 273}},
      {"iiForm3", {410, 272, 459, 480}},
      {"iiForm5", {412, 270, 456, 483}},
      {"iiForm6", {416, 270, 448, 484}},
      {"iForm11", {404, 427, 471, 169}},
      {"iForm10", {412, 275, 456, 473}}}},
    {{1920, 1080},
     13,
     {{"iiForm1", {611, 285, 698, 510}},
      {"iiForm2", {616, 396, 688, 288}},
      {"iiForm3", {616, 287, 688, 506}},
      {"iiForm5", {618, 285, 684, 509}},
      {"iiForm6", {624, 285, 671, 510}},
      {"iForm11", {606, 450, 707, 179}},
      {"iForm10", {618, 290, 684, 499}}}},
};

// The screen make test started, or the one there is.
TSize RunningScreen() {
  TSize S{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (const char* Env = std::getenv("INSTBRISKO_SCREEN")) std::sscanf(Env, "%dx%d", &S.Width, &S.Height);
  return S;
}

TSize DesignScreenFor(int ScreenWidth) {
  if (ScreenWidth <= 640) return {640, 480};
  if (ScreenWidth > 800) return {1024, 768};
  return {800, 600};
}

std::string SizeName(TSize S) { return std::to_string(S.Width) + "x" + std::to_string(S.Height); }

const TScreenLayout* LayoutFor(TSize S) {
  for (const auto& L : Layouts)
    if (L.Screen.Width == S.Width && L.Screen.Height == S.Height) return &L;
  return nullptr;
}

TBounds WindowBounds(HWND Wnd) {
  RECT R;
  GetWindowRect(Wnd, &R);
  return TBounds{R.left, R.top, R.right - R.left, R.bottom - R.top};
}

// The size a text takes in a control's font; Width limits the lines when it wraps.
SIZE TextSize(TControl& Control, const std::string& Text, int Width = 0) {
  TWindowDC DC(nullptr);
  TSelectedObject Font(DC.Get(), Control.Font()->Handle());
  RECT R{0, 0, Width, 0};
  DrawTextA(DC.Get(), Text.c_str(), static_cast<int>(Text.size()), &R,
            DT_CALCRECT | DT_EXPANDTABS | (Width ? DT_WORDBREAK : 0));
  return SIZE{R.right, R.bottom};
}

// The folder dialog's "Create folder" button is narrower than its glyph and
// caption in the fonts of this machine as it is stored; scaled to the widest
// screen it happens to fit.
bool CutOffInTheStoredDesign(const TControl& C) {
  return C.Name() == "BitBtn1" && C.Owner() && C.Owner()->Name() == "iForm10";
}

// The text of a control a person reads fits the control.
void ExpectTextFits(TControl& C) {
  const std::string Text = C.Caption();
  SCOPED_TRACE(C.Name() + " \"" + Text + "\"");
  if (auto* Label = dynamic_cast<TLabel*>(&C)) {
    const SIZE S = TextSize(C, Text, Label->WordWrap() ? C.Width() : 0);
    EXPECT_LE(S.cx, C.Width());
    EXPECT_LE(S.cy, C.Height());
  } else if (auto* Memo = dynamic_cast<TMemo*>(&C)) {
    const int Lines = static_cast<int>(SendMessageA(Memo->Handle(), EM_GETLINECOUNT, 0, 0));
    EXPECT_LE(Lines * TextSize(C, "Ag").cy, C.ClientHeight()) << Lines << " lines";
  } else if (dynamic_cast<TCheckBox*>(&C) || dynamic_cast<TRadioButton*>(&C)) {
    const SIZE S = TextSize(C, Text);
    EXPECT_LE(S.cx + GetSystemMetrics(SM_CXMENUCHECK) + 4, C.Width());
    EXPECT_LE(S.cy, C.Height());
  } else if (auto* Button = dynamic_cast<TButton*>(&C)) {
    SIZE S = TextSize(C, Text);
    if (auto* Bit = dynamic_cast<TBitBtn*>(Button); Bit && !Bit->Glyph()->Empty())
      S.cx += Bit->Glyph()->Width() / Bit->NumGlyphs() + Bit->Spacing();
    if (CutOffInTheStoredDesign(C)) return;
    EXPECT_LE(S.cx + 4, C.Width());
    EXPECT_LE(S.cy + 4, C.Height());
  } else if (dynamic_cast<TCustomEdit*>(&C) || dynamic_cast<TComboBox*>(&C)) {
    EXPECT_LE(TextSize(C, "Ag").cy, C.ClientHeight());
  }
}

// Where the layout put each control it manages: the design, scaled to the screen.
using TDesigned = std::map<const TControl*, RECT>;

TDesigned DesignedBounds(const TForm& Form) {
  TDesigned Designed;
  auto* Elastic = dynamic_cast<TElasticForm*>(Form.FindComponent("ElasticForm1"));
  if (!Elastic) return Designed;
  for (size_t I = 0; I < Elastic->ManagedControls().size(); ++I) {
    const TFrame& F = Elastic->Frame(static_cast<int>(I));
    Designed[Elastic->ManagedControls()[I]] = RECT{F.Left, F.Top, F.Left + F.Width, F.Top + F.Height};
  }
  return Designed;
}

bool Overlap(RECT A, RECT B) {
  RECT Both;
  return IntersectRect(&Both, &A, &B) != 0;
}

// Every visible control inside its parent's client area, its text fitting it,
// and no two visible siblings over each other unless the design lays them so.
void ExpectNothingCutOffOrOverlapping(TWinControl& Parent, const TDesigned& Designed) {
  const RECT Client = Parent.ClientRect();
  std::vector<TControl*> Shown;
  for (int I = 0; I < Parent.ControlCount(); ++I) {
    TControl* C = Parent.Controls(I);
    if (!C->Visible()) continue;
    Shown.push_back(C);
    const RECT B = C->BoundsRect();
    EXPECT_TRUE(B.left >= Client.left && B.top >= Client.top && B.right <= Client.right && B.bottom <= Client.bottom)
        << C->Name() << " leaves " << Parent.Name();
    ExpectTextFits(*C);
    if (auto* W = dynamic_cast<TWinControl*>(C)) ExpectNothingCutOffOrOverlapping(*W, Designed);
  }
  for (size_t I = 0; I < Shown.size(); ++I)
    for (size_t J = I + 1; J < Shown.size(); ++J) {
      const TControl *A = Shown[I], *B = Shown[J];
      if (A->Align() != alNone || B->Align() != alNone) continue;  // aligned ones share edges
      if (!Overlap(A->BoundsRect(), B->BoundsRect())) continue;
      auto DA = Designed.find(A), DB = Designed.find(B);
      const bool ByDesign = DA != Designed.end() && DB != Designed.end() && Overlap(DA->second, DB->second);
      EXPECT_TRUE(ByDesign) << A->Name() << " and " << B->Name() << " overlap";
    }
}

// The welcome page's text box and the exit confirmation's text, as they read.
const std::string WelcomeText =
    "This program will install Brisko on \r\nyour hard disk. \r\n\r\nFirst you need to choose which \r\n"
    "screen language you want to use and \r\nfinally you can set some shortcut  keys.\r\n\r\n"
    "All the installation screens have a  \"Cancel\" \r\nbutton . The \"Cancel\" button will ask you if \r\n"
    "you want to abort the brisko\r\ninstallation. The \"Next>\" button will open \r\n"
    "the next screen of the installation \r\nprocedure. The \"<Back\" button will go back \r\nto the previous screen.\r\n";
const std::string ExitText =
    "You have interrupted the Brisko installation program.  If you exit now you will NOT have installed Wendal.\r\n"
    "You can exit now and (re)install Brisko some other time.\r\n"
    "By pressing the \"Resume\" button you will not exit Brisko and continue the installation.";

// One text a screen reader finds on a page, and where it says the text lies.
struct TReadText {
  std::string Text;
  RECT Screen;
};

RECT Location(IAccessible& Object, LONG Id) {
  long L = 0, T = 0, W = 0, H = 0;
  Object.accLocation(&L, &T, &W, &H, acctest::Child(Id));
  return RECT{L, T, L + W, T + H};
}

// Everything a screen reader reads on a page: the painted texts, and the name and
// value of every visible window on it (buttons, boxes, the text of an edit).
std::vector<TReadText> ReadAloud(HWND Page) {
  std::vector<TReadText> Read;
  auto Add = [&Read](HWND Wnd) {
    const acctest::TClient C = acctest::ReadClient(Wnd);
    for (const acctest::TSimpleChild& S : C.Simple) Read.push_back({S.Name, S.Screen});
    if (!C.Object) return;
    BSTR Name = nullptr, Value = nullptr;
    C.Object->get_accName(acctest::Child(CHILDID_SELF), &Name);
    C.Object->get_accValue(acctest::Child(CHILDID_SELF), &Value);
    const RECT Where = Location(*C.Object.Get(), CHILDID_SELF);
    for (std::string Text : {acctest::Narrow(Name), acctest::Narrow(Value)})
      if (!Text.empty()) Read.push_back({Text, Where});
  };
  const acctest::TClient PageObject = acctest::ReadClient(Page);
  for (const acctest::TSimpleChild& S : PageObject.Simple) Read.push_back({S.Name, S.Screen});
  EnumChildWindows(
      Page,
      [](HWND W, LPARAM Data) {
        if (IsWindowVisible(W)) (*reinterpret_cast<decltype(Add)*>(Data))(W);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Add));
  return Read;
}

// The page's texts are all read, and each where the page shows it: inside the
// page's window, on the screen.
void ExpectReadOnThePage(HWND Page, const std::vector<std::string>& Texts) {
  ASSERT_NE(Page, nullptr);
  std::vector<TReadText> Read;
  // A page just shown makes its painted texts known when it first paints.
  e2e::WaitFor([&] {
    Read = ReadAloud(Page);
    return std::all_of(Texts.begin(), Texts.end(), [&](const std::string& T) {
      return std::any_of(Read.begin(), Read.end(), [&](const TReadText& R) { return R.Text == T; });
    });
  });
  RECT Window;
  GetWindowRect(Page, &Window);
  const RECT Screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  for (const std::string& T : Texts) {
    auto Found = std::find_if(Read.begin(), Read.end(), [&](const TReadText& R) { return R.Text == T; });
    if (Found == Read.end()) {
      ADD_FAILURE() << "\"" << T << "\" is not read";
      continue;
    }
    const RECT& R = Found->Screen;
    EXPECT_TRUE(R.right > R.left && R.bottom > R.top && R.left >= Window.left && R.top >= Window.top &&
                R.right <= Window.right && R.bottom <= Window.bottom && R.left >= Screen.left &&
                R.right <= Screen.right && R.bottom <= Screen.bottom)
        << "\"" << T << "\" is read at " << R.left << ", " << R.top << " - " << R.right << ", " << R.bottom
        << ", off its page";
  }
}

// The caption of the one page beside Beneath: a folder dialog's is its folder.
std::string OtherPage(const e2e::TWizard& W, const std::string& Beneath) {
  std::string Other;
  e2e::WaitFor([&] {
    for (const std::string& P : W.VisiblePages())
      if (P != Beneath) Other = P;
    return !Other.empty();
  });
  return Other;
}

}  // namespace

TEST(WizardScreen, EveryFormIsLaidOutForTheNearestDesignScreen) {
  const TSize Running = RunningScreen();
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), Running.Width) << "not the screen INSTBRISKO_SCREEN names";
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), Running.Height);
  const TSize Design = DesignScreenFor(Running.Width);

  wizardtest::TWizardForms Forms;
  ASSERT_TRUE(Forms.Created());
  for (TForm* F : wizardtest::TWizardForms::All()) {
    SCOPED_TRACE(F->Name());
    auto* Elastic = dynamic_cast<TElasticForm*>(F->FindComponent("ElasticForm1"));
    ASSERT_NE(Elastic, nullptr);
    EXPECT_EQ(Elastic->DesignScreenWidth, Design.Width);
    EXPECT_EQ(Elastic->DesignScreenHeight, Design.Height);
  }
}

TEST(WizardScreen, EveryFormFollowsTheScreenWithNothingCutOffOrOverlapping) {
  const TSize Running = RunningScreen();
  const TScreenLayout* Layout = LayoutFor(Running);
  ASSERT_NE(Layout, nullptr) << "no table for " << SizeName(Running);
  wizardtest::TWizardForms Forms;
  ASSERT_TRUE(Forms.Created());
  for (TForm* F : wizardtest::TWizardForms::All()) {
    SCOPED_TRACE(F->Name());
    F->Show();
    wizardtest::HandlePendingMessages();
    e2e::Screenshot(wizardtest::PageName(F) + " on " + SizeName(Running));
    EXPECT_EQ(WindowBounds(F->Handle()), Layout->Forms.at(F->Name()));
    EXPECT_EQ(F->Font()->Size(), Layout->FontSize);
    ExpectNothingCutOffOrOverlapping(*F, DesignedBounds(*F));
    F->Hide();
  }
}

TEST(WizardScreen, TheProgramShowsItsPagesWhereTheTableSays) {
  const TSize Running = RunningScreen();
  const TScreenLayout* Layout = LayoutFor(Running);
  ASSERT_NE(Layout, nullptr);
  e2e::TWizard W(testsupport::HostFolder(DIST_DIR) + "instbrisko.exe");
  ASSERT_TRUE(W.WaitForPages({"welcome"}));
  EXPECT_EQ(WindowBounds(W.Page("welcome")), Layout->Forms.at("iiForm1"));

  W.Click("welcome", "Next>");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  EXPECT_EQ(WindowBounds(W.Page("language")), Layout->Forms.at("iiForm3"));
  W.Click("language", "Cancel");
  ASSERT_TRUE(W.WaitForPages({"exit confirmation", "language"}));
  EXPECT_EQ(WindowBounds(W.Page("exit confirmation")), Layout->Forms.at("iiForm2"));
  e2e::Screenshot("exit confirmation over the language page on " + SizeName(Running));
  W.Click("exit confirmation", "Exit setup");
  EXPECT_EQ(W.WaitForExit(), 0u);
}

// Each page of the running program read as a screen reader reads it, on this
// screen. The finish page is reached by a removal of a recorded folder that is
// not there, answered No, which touches nothing of the machine.
TEST(WizardScreen, EveryPageIsReadWhereItIsShown) {
  TOleInitializer Ole;
  const std::string Shot = " on " + SizeName(RunningScreen());
  e2e::TWizard W(testsupport::HostFolder(DIST_DIR) + "instbrisko.exe");
  ASSERT_TRUE(W.WaitForPages({"welcome"}));
  ExpectReadOnThePage(W.Page("welcome"), {WelcomeText, "Install", "Uninstall", "Cancel", "Next>"});
  W.Click("welcome", "Cancel");
  ASSERT_TRUE(W.WaitForPages({"exit confirmation", "welcome"}));
  ExpectReadOnThePage(W.Page("exit confirmation"), {ExitText, "Resume", "Exit setup"});
  W.Click("exit confirmation", "Resume");
  ASSERT_TRUE(W.WaitForPages({"welcome"}));

  W.Click("welcome", "Next>");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  ExpectReadOnThePage(W.Page("language"), {"Brisko 1.0", "Brisko Screen language", "English", "Install to:",
                                           "C:\\program Files\\Brisko\\", "Cancel", "<Back", "Next>"});
  PostMessageA(W.ControlOfClass("language", "TBitBtn"), BM_CLICK, 0, 0);
  const std::string Folder = OtherPage(W, "language");
  ASSERT_TRUE(W.WaitForPages({"language", Folder}));
  ExpectReadOnThePage(W.Page(Folder), {"Create folder", "Help", "Abort", "Accept"});
  e2e::Screenshot("folder dialog" + Shot);
  W.Click(Folder, "Create folder");
  ASSERT_TRUE(W.WaitForPages({"language", Folder, "New folder"}));
  ExpectReadOnThePage(W.Page("New folder"), {"Current folder", AddBackslash(Folder), "New", "OK", "Help", "Cancel"});
  e2e::Screenshot("new folder dialog" + Shot);
  W.Click("New folder", "Cancel");
  ASSERT_TRUE(W.WaitForPages({"language", Folder}));
  W.Click(Folder, "Abort");
  ASSERT_TRUE(W.WaitForPages({"language"}));

  W.Click("language", "Next>");
  ASSERT_TRUE(W.WaitForPages({"shortcuts"}));
  ExpectReadOnThePage(W.Page("shortcuts"), {"Brisko 1.0", "Shortcuts", "Add to desktop", "Add to Start menu",
                                            "Add to Programs", "Cancel", "<Back", "Install"});
  W.Click("shortcuts", "<Back");
  ASSERT_TRUE(W.WaitForPages({"language"}));
  W.Click("language", "<Back");
  ASSERT_TRUE(W.WaitForPages({"welcome"}));

  WriteRegString(HKEY_LOCAL_MACHINE, InstallText::InstallKey, "", "C:\\instbrisko screen test\\Brisko\\");
  W.Click("welcome", "Uninstall");
  ASSERT_TRUE(e2e::WaitFor([&] { return W.Control("welcome", "UnInstall") != nullptr; }));
  ExpectReadOnThePage(W.Page("welcome"), {"Install", "Uninstall", "Cancel", "UnInstall"});
  W.Click("welcome", "UnInstall");
  auto Box = W.WaitForMessageBox();
  ASSERT_TRUE(Box);
  W.Answer(*Box, "&No");
  ASSERT_TRUE(W.WaitForPages({"finish"}));
  ExpectReadOnThePage(W.Page("finish"), {"Brisko", "You have succesfully removed Brisko", "Start Brisko", "Finish"});
  e2e::Screenshot("finish" + Shot);
  W.Click("finish", "Finish");
  EXPECT_EQ(W.WaitForExit(), 0u);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Brisko"));
}
