// The elastic component on real forms on the 1024 × 768 test screen: the form
// designed for 800 × 600 comes up 1.28 times its design size, its controls with
// it, and follows every later size change.
#include "elastic_testing.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include "gui/extctrls.h"
#include "gui/stdctrls.h"

using namespace elastictest;
using wintest::TBounds;

namespace {

// Button3 sits in a panel without a name: the panel is not managed, the button is.
const char* Controls = R"(  object Button1: TButton
    Left = 8
    Top = 8
    Width = 75
    Height = 25
    Caption = 'One'
  end
  object Panel1: TPanel
    Left = 100
    Top = 8
    Width = 200
    Height = 100
    object Button2: TButton
      Left = 10
      Top = 10
      Width = 100
      Height = 30
      Caption = 'Two'
    end
  end
  object TPanel
    Left = 8
    Top = 150
    Width = 300
    Height = 80
    object Button3: TButton
      Left = 5
      Top = 5
      Width = 50
      Height = 20
      Caption = 'Three'
    end
  end
)";

struct TControlBounds {
  const char* Name;
  TBounds Bounds;
};

// On 1024 × 768: the form at 128, 64, 512 × 384 with a client area of 504 × 357.
const TControlBounds Scaled[] = {{"Button1", {10, 10, 96, 32}},
                                 {"Panel1", {128, 10, 256, 128}},
                                 {"Button2", {13, 13, 128, 38}},
                                 {"Button3", {6, 6, 64, 26}}};
// The client area twice as wide and as high (the form 1016 × 741).
const TControlBounds Doubled[] = {{"Button1", {20, 20, 192, 64}},
                                  {"Panel1", {256, 20, 512, 256}},
                                  {"Button2", {26, 26, 256, 76}},
                                  {"Button3", {12, 12, 128, 52}}};

class LayoutTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "these tables are for a 1024 x 768 screen";
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  }
  void Read(const std::string& ElasticSettings = "", const std::string& FormSettings = "") {
    Form.InitializeForm(FormText(Controls, ElasticSettings, FormSettings));
  }
  void ExpectControls(const TControlBounds (&Table)[4]) {
    for (const auto& Row : Table) {
      auto& C = Form.Get<TWinControl>(Row.Name);
      EXPECT_EQ(wintest::BoundsOf(C.Handle()), Row.Bounds) << Row.Name;
      EXPECT_TRUE(IsWindowVisible(C.Handle())) << Row.Name;
    }
  }
  TBounds FormBounds() { return wintest::BoundsOf(Form.Handle()); }
  // Sends a message through the form's window, as any message would come.
  void Nudge() { SendMessageA(Form.Handle(), WM_NULL, 0, 0); }

  TLayoutForm Form{nullptr};
};

std::string TempFile(const char* Name) {
  char Folder[MAX_PATH];
  GetTempPathA(MAX_PATH, Folder);
  std::string Path = std::string(Folder) + Name;
  DeleteFileA(Path.c_str());
  return Path;
}

std::vector<uint8_t> FileBytes(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(In), {});
}

template <class T>
T At(const std::vector<uint8_t>& Bytes, size_t Offset) {
  T Value{};
  if (Offset + sizeof(T) <= Bytes.size()) std::memcpy(&Value, Bytes.data() + Offset, sizeof(T));
  return Value;
}

void WriteFile(const std::string& Path, const std::vector<uint8_t>& Bytes) {
  std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
}

template <class T>
void Append(std::vector<uint8_t>& Bytes, T Value) {
  const auto* P = reinterpret_cast<const uint8_t*>(&Value);
  Bytes.insert(Bytes.end(), P, P + sizeof(T));
}

}  // namespace

TEST_F(LayoutTest, TheSetupTakesTheDesignScreenTheCreationHandlerWrites) {
  Form.Creating = [](TLayoutForm& F) {
    F.SetCaption("Created");  // a message to the form's window before the design screen is set
    F.Elastic().DesignScreenWidth = 512;
    F.Elastic().DesignScreenHeight = 384;
  };
  Read();
  ShowAndSettle(Form);
  EXPECT_EQ(FormBounds(), (TBounds{200, 100, 800, 600}));
  EXPECT_EQ(wintest::BoundsOf(Form.Get<TWinControl>("Button1").Handle()), (TBounds{16, 16, 150, 50}));
}

TEST_F(LayoutTest, ControlsFollowTheScreenAndEverySizeChangeFromTheirRecord) {
  Read();
  ShowAndSettle(Form);
  EXPECT_EQ(FormBounds(), (TBounds{128, 64, 512, 384}));
  ASSERT_EQ(wintest::ClientOf(Form.Handle()), (TBounds{0, 0, 504, 357}));
  ExpectControls(Scaled);
  EXPECT_EQ(Form.Elastic().ManagedControls().size(), 4u);

  // Whatever the program did to a control, the next pass puts it back.
  auto& Button1 = Form.Get<TButton>("Button1");
  Button1.SetBounds(300, 300, 5, 5);
  Button1.Hide();
  SetFormBounds(Form, 0, 0, 1016, 741);
  ExpectControls(Doubled);
  SetFormBounds(Form, 128, 64, 512, 384);
  ExpectControls(Scaled);
}

TEST_F(LayoutTest, UntilSettledAndAlwaysWhenBorderlessTheFormSnapsBack) {
  Read("", "  BorderStyle = bsNone\n");
  Form.Show();
  // Not yet activated: a size change goes back to the computed bounds.
  SetFormBounds(Form, 10, 10, 600, 400);
  EXPECT_EQ(FormBounds(), (TBounds{128, 64, 502, 349})) << "the design client size, scaled";
  ASSERT_TRUE(wintest::PumpUntil([&] { return Form.Active(); }));
  SetFormBounds(Form, 10, 10, 600, 400);
  EXPECT_EQ(FormBounds(), (TBounds{128, 64, 502, 349}));
}

TEST_F(LayoutTest, FormFontIsScaledOnceAndFollowsTheSizeOnlyWithElasticFont) {
  struct {
    const char* Setting;
    int Shown, Doubled;
  } Cases[] = {{"    ElasticFont = False\n", 10, 10}, {"", 10, 20}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Setting);
    TLayoutForm F(nullptr);
    F.InitializeForm(FormText(Controls, C.Setting));
    ShowAndSettle(F);
    SendMessageA(F.Handle(), WM_NULL, 0, 0);
    EXPECT_EQ(F.Font()->Size(), C.Shown);
    EXPECT_EQ(F.Elastic().TargetFontSize(), 10);
    SetFormBounds(F, 0, 0, 1016, 741);
    SendMessageA(F.Handle(), WM_NULL, 0, 0);
    EXPECT_EQ(F.Font()->Size(), C.Doubled);
    EXPECT_EQ(wintest::FontOf(F.Get<TWinControl>("Button2").Handle()).lfHeight, -MulDiv(C.Doubled, 96, 72))
        << "controls with the form's font follow it";
  }
}

TEST_F(LayoutTest, TheComponentsFontIsTheMasterOfTheFormsFont) {
  Read("    ElasticFont = False\n");
  ShowAndSettle(Form);
  Form.Font()->SetSize(20);
  Form.Font()->SetColor(clRed);
  Nudge();
  EXPECT_EQ(Form.Font()->Size(), 10);
  EXPECT_EQ(Form.Font()->Color(), Form.Elastic().Font()->Color());

  TFont Other;
  Other.Assign(Form.Elastic().Font());
  Other.SetSize(14);
  Form.Elastic().SetFont(&Other);
  EXPECT_EQ(Form.Font()->Size(), 14) << "at once";
}

TEST_F(LayoutTest, MaximiseAndRestoreHideTheControlsWhileTheyMove) {
  Read();
  ShowAndSettle(Form);
  TPositionRecorder Button1(Form.Get<TWinControl>("Button1").Handle());
  TPositionRecorder Button2(Form.Get<TWinControl>("Button2").Handle());

  SetFormBounds(Form, 0, 0, 1016, 741);
  EXPECT_EQ(Button1.Events, (std::vector<std::string>{"move+size"})) << "a plain resize hides nothing";

  for (int Command : {SW_MAXIMIZE, SW_RESTORE}) {
    SCOPED_TRACE(Command == SW_MAXIMIZE ? "maximise" : "restore");
    Button1.Events.clear();
    Button2.Events.clear();
    ShowWindow(Form.Handle(), Command);
    Application->ProcessMessages();
    EXPECT_EQ(Button1.Events, (std::vector<std::string>{"hide", "move+size", "show"}));
    EXPECT_EQ(Button2.Events, (std::vector<std::string>{"hide", "move+size", "show"}));
  }
  EXPECT_EQ(FormBounds(), (TBounds{0, 0, 1016, 741}));
  ExpectControls(Doubled);
}

TEST_F(LayoutTest, AUserDragEndsInTheStartingProportions) {
  struct {
    SIZE Dragged, Kept;
  } Cases[] = {{{500, 320}, {500, 375}},
               {{420, 400}, {533, 400}},
               {{300, 290}, {300, 225}},
               {{390, 200}, {267, 200}},
               {{450, 350}, {450, 350}}};
  Form.Creating = [](TLayoutForm& F) {
    F.Elastic().DesignScreenWidth = 1024;  // no scaling: the form keeps 400 × 300
    F.Elastic().DesignScreenHeight = 768;
  };
  Read("    MaintainProportions = True\n");
  ShowAndSettle(Form);
  TPositionRecorder Button1(Form.Get<TWinControl>("Button1").Handle());
  for (const auto& C : Cases) {
    SetFormBounds(Form, 100, 50, 400, 300);
    Button1.Events.clear();
    HWND Wnd = Form.Handle();
    SendMessageA(Wnd, WM_ENTERSIZEMOVE, 0, 0);
    RECT Drag{100, 50, 100 + C.Dragged.cx, 50 + C.Dragged.cy};
    SendMessageA(Wnd, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&Drag));
    SetWindowPos(Wnd, nullptr, 100, 50, C.Dragged.cx, C.Dragged.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(Button1.Events.empty()) << "nothing is rescaled during the drag";
    SendMessageA(Wnd, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(FormBounds(), (TBounds{100, 50, C.Kept.cx, C.Kept.cy})) << C.Dragged.cx << " x " << C.Dragged.cy;
    EXPECT_EQ(Button1.Events, (std::vector<std::string>{"hide", "move+size", "show"}));
  }
}

TEST_F(LayoutTest, TrackingLimitsInPixelsOrPercentOfTheScreen) {
  Read("    MaximizedPosX = -10\n    MinimumTrackWidth = -50\n    MinimumTrackHeight = 100\n"
       "    MaximumTrackWidth = -75\n");
  const MINMAXINFO Untouched{{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}};
  MINMAXINFO Info = Untouched;
  Form.HandleNeeded();
  SendMessageA(Form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
  EXPECT_EQ(std::memcmp(&Info, &Untouched, sizeof(Info)), 0) << "nothing before the first pass";

  ShowAndSettle(Form);
  Info = Untouched;
  SendMessageA(Form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
  EXPECT_EQ(Info.ptMinTrackSize.x, 512);
  EXPECT_EQ(Info.ptMinTrackSize.y, 100);
  EXPECT_EQ(Info.ptMaxTrackSize.x, 768);
  EXPECT_EQ(Info.ptMaxTrackSize.y, 10) << "unset: left alone";
  EXPECT_EQ(Info.ptMaxPosition.x, 102);
  EXPECT_EQ(Info.ptMaxPosition.y, 6);
  EXPECT_EQ(Info.ptMaxSize.x, 3);
}

TEST_F(LayoutTest, TheLayoutFileRecordsANormalAndAMaximisedForm) {
  const std::string Path = TempFile("elastic_layout.bin");
  Read("    ElFrmIniFile = '" + Path + "'\n");
  ShowAndSettle(Form);
  SetFormBounds(Form, 0, 0, 1016, 741);
  std::vector<uint8_t> Bytes = FileBytes(Path);
  ASSERT_EQ(Bytes.size(), 4u + 1 + 32 + 8 + 4);
  EXPECT_EQ(At<int32_t>(Bytes, 0), 4);
  EXPECT_EQ(Bytes[4], 0);
  EXPECT_EQ(At<double>(Bytes, 5), 0.0);
  EXPECT_EQ(At<double>(Bytes, 13), 0.0);
  EXPECT_EQ(At<double>(Bytes, 21), 1016.0 / 1024);
  EXPECT_EQ(At<double>(Bytes, 29), 741.0 / 768);
  EXPECT_EQ(At<int32_t>(Bytes, 37), 0);
  EXPECT_EQ(At<int32_t>(Bytes, 41), 0);
  EXPECT_EQ(std::vector<uint8_t>(Bytes.begin() + 45, Bytes.end()), (std::vector<uint8_t>{1, 1, 1, 1}));

  ShowWindow(Form.Handle(), SW_MAXIMIZE);
  Application->ProcessMessages();
  Bytes = FileBytes(Path);
  // A maximised form that fills the screen: no fractions, no size in percent.
  EXPECT_EQ(Bytes, (std::vector<uint8_t>{4, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1}));
  DeleteFileA(Path.c_str());
}

// Each form records its own state: another form being maximised does not make
// this one's file say so.
TEST_F(LayoutTest, AFormsLayoutFileIgnoresAnotherMaximisedForm) {
  const std::string Path = TempFile("elastic_layout_own.bin");
  const std::string OtherPath = TempFile("elastic_layout_other.bin");
  Read("    ElFrmIniFile = '" + Path + "'\n");
  ShowAndSettle(Form);
  TLayoutForm Other(nullptr);
  Other.InitializeForm(FormText(Controls, "    ElFrmIniFile = '" + OtherPath + "'\n"));
  ShowAndSettle(Other);
  ShowWindow(Other.Handle(), SW_MAXIMIZE);
  Application->ProcessMessages();
  ASSERT_EQ(FileBytes(OtherPath).at(4), 2);

  SetFormBounds(Form, 0, 0, 1016, 741);
  const std::vector<uint8_t> Bytes = FileBytes(Path);
  ASSERT_EQ(Bytes.size(), 4u + 1 + 32 + 8 + 4);
  EXPECT_EQ(Bytes[4], 0);
  EXPECT_EQ(At<double>(Bytes, 21), 1016.0 / 1024);
  Other.Elastic().ElFrmIniFile.clear();
  Form.Elastic().ElFrmIniFile.clear();
  DeleteFileA(Path.c_str());
  DeleteFileA(OtherPath.c_str());
}

TEST_F(LayoutTest, ALayoutFileIsReadBackOnlyWhenItFitsTheForm) {
  const std::string Path = TempFile("elastic_layout_in.bin");
  std::vector<uint8_t> Normal;
  Append<int32_t>(Normal, 4);
  Append<uint8_t>(Normal, 0);
  for (double Fraction : {0.25, 0.25, 0.5, 0.5}) Append<double>(Normal, Fraction);
  Append<int32_t>(Normal, 0);
  Append<int32_t>(Normal, 0);
  for (uint8_t Visible : {1, 0, 1, 1}) Append<uint8_t>(Normal, Visible);
  std::vector<uint8_t> OtherCount = Normal;
  OtherCount[0] = 3;
  OtherCount[4] = 2;
  std::vector<uint8_t> Cut(Normal.begin(), Normal.end() - 2);

  struct {
    const char* What;
    std::vector<uint8_t> Bytes;
    TBounds Bounds;
    bool PanelVisible;
  } Cases[] = {{"fits", Normal, {256, 192, 512, 384}, false},
               {"another control count", OtherCount, {128, 64, 512, 384}, true},
               {"cut short", Cut, {128, 64, 512, 384}, true}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    WriteFile(Path, C.Bytes);
    TLayoutForm F(nullptr);
    F.InitializeForm(FormText(Controls, "    ElFrmIniFile = '" + Path + "'\n"));
    F.Show();
    Application->ProcessMessages();
    EXPECT_EQ(wintest::BoundsOf(F.Handle()), C.Bounds);
    EXPECT_EQ(F.WindowState(), wsNormal);
    EXPECT_EQ(IsWindowVisible(F.Get<TWinControl>("Panel1").Handle()) != 0, C.PanelVisible);
    F.Elastic().ElFrmIniFile.clear();  // its size changes at the end are not ours to keep
  }
  DeleteFileA(Path.c_str());
}

TEST_F(LayoutTest, TheBackgroundIsTiledWithAPixelOverlapOrStretched) {
  Read();
  auto* Image = new TImage(&Form);
  Image->SetParent(&Form);
  TBitmap Picture;
  Picture.SetSize(3, 4);  // three columns of colour
  const COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255);
  for (int Y = 0; Y < 4; ++Y) {
    SetPixel(Picture.Canvas().Handle(), 0, Y, Red);
    SetPixel(Picture.Canvas().Handle(), 1, Y, Green);
    SetPixel(Picture.Canvas().Handle(), 2, Y, Blue);
  }
  ShowAndSettle(Form);

  TBitmap Target;  // the form erases into it
  Target.SetSize(600, 2);
  HDC Memory = Target.Canvas().Handle();
  auto Erase = [&] {
    RECT All{0, 0, 600, 2};
    FillRect(Memory, &All, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SendMessageA(Form.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(Memory), 0);
  };

  Form.Elastic().SetBkGrndImage(Image);
  EXPECT_FALSE(Image->Visible());
  Erase();
  EXPECT_EQ(GetPixel(Memory, 0, 0), ColorToRGB(clBtnFace)) << "an empty picture: the form erases as always";

  Image->Picture()->SetGraphic(&Picture);
  Erase();
  const COLORREF Row[] = {Red, Green, Red, Green, Red, Green, Red};
  for (int X = 0; X < 7; ++X) {
    EXPECT_EQ(GetPixel(Memory, X, 0), Row[X]) << X;
    EXPECT_EQ(GetPixel(Memory, X, 1), Row[X]) << X;
  }
  EXPECT_EQ(GetPixel(Memory, 503, 0) == Red || GetPixel(Memory, 503, 0) == Green, true) << "to the client's edge";

  Image->SetAlign(alClient);
  Erase();
  EXPECT_EQ(GetPixel(Memory, 0, 0), Red);
  EXPECT_EQ(GetPixel(Memory, 511, 0), Blue) << "stretched over the whole form";
}
