// Forms built from hand-written form texts, shown under Xvfb and read back
// through Win32; the application's loop, modal forms and error handling.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "classes/formstream.h"
#include "classes/streams.h"
#include "gui/application.h"
#include "gui/buttons.h"
#include "gui/extctrls.h"
#include "gui/stdctrls.h"
#include "window_testing.h"

using namespace wintest;

namespace {

// The bytes of a small BMP: Width x Height, 24-bit, left half red, right half
// blue, the bottom-left pixel (the transparent colour) green.
std::vector<uint8_t> SampleBmp(int Width, int Height) {
  TBitmap B;
  B.SetSize(Width, Height);
  HDC DC = B.Canvas().Handle();
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) SetPixel(DC, X, Y, X < Width / 2 ? RGB(255, 0, 0) : RGB(0, 0, 255));
  SetPixel(DC, 0, Height - 1, RGB(0, 255, 0));
  return B.SaveToBytes();
}

std::string Hex(const std::vector<uint8_t>& Bytes) {
  static const char Digits[] = "0123456789ABCDEF";
  std::string S;
  for (uint8_t B : Bytes) {
    S += Digits[B >> 4];
    S += Digits[B & 15];
  }
  return S;
}

// TBitmap's "Data": the file's length, then the file.
std::string LengthPrefixed(const std::vector<uint8_t>& Bmp) {
  std::string S;
  for (int I = 0; I < 4; ++I) S += static_cast<char>(Bmp.size() >> (8 * I));
  return S + std::string(Bmp.begin(), Bmp.end());
}

std::string Hex(const std::string& Bytes) { return Hex(std::vector<uint8_t>(Bytes.begin(), Bytes.end())); }

// TPicture's "Data": the graphic's class name, then its data.
std::string PictureData(const std::vector<uint8_t>& Bmp) { return Hex("\x07TBitmap" + LengthPrefixed(Bmp)); }

// A wizard-like page: what the setup forms hold, in the order they hold it.
std::string SampleFormText() {
  return R"(object SampleForm: TSampleForm
  Left = 301
  Top = 107
  Width = 465
  Height = 484
  Caption = 'Welcome to the sample'
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  HorzScrollBar.Visible = False
  VertScrollBar.Visible = False
  Position = poScreenCenter
  Scaled = False
  OnActivate = FormActivate
  OnCreate = FormCreate
  OnShow = FormShow
  PixelsPerInch = 96
  object Label3: TLabel
    Left = 16
    Top = 300
    Width = 116
    Height = 23
    AutoSize = False
    Caption = 'Brisko 1.0'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -19
    Font.Name = 'Tahoma'
    Font.Style = [fsBold]
    ParentFont = False
  end
  object Image1: TImage
    Left = 8
    Top = 8
    Width = 137
    Height = 193
    Picture.Data = {)" +
         PictureData(SampleBmp(8, 6)) + R"(}
    Stretch = True
  end
  object Memo1: TMemo
    Left = 152
    Top = 8
    Width = 209
    Height = 273
    BorderStyle = bsNone
    Color = clBtnFace
    Lines.Strings = (
      'This program will install Brisko on '
      'your hard disk. '
      ''
      'All the installation screens have a  "Cancel" '
      '')
    TabOrder = 0
  end
  object RadioButton1: TRadioButton
    Left = 8
    Top = 224
    Width = 113
    Height = 17
    Caption = 'Install'
    Checked = True
    TabOrder = 1
    OnClick = RadioButton1Click
  end
  object RadioButton2: TRadioButton
    Left = 8
    Top = 248
    Width = 113
    Height = 17
    Caption = 'Uninstall'
    TabOrder = 2
    OnClick = RadioButton2Click
  end
  object Button3: TButton
    Left = 272
    Top = 296
    Width = 75
    Height = 25
    Caption = 'Next>'
    Default = True
    TabOrder = 6
    OnClick = Button3Click
  end
  object Button2: TButton
    Left = 8
    Top = 296
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    TabOrder = 5
  end
  object ComboBox1: TComboBox
    Left = 8
    Top = 340
    Width = 337
    Height = 21
    ItemHeight = 13
    Items.Strings = (
      'English'
      'Deutsch'
      'Fran'#231'ais')
    TabOrder = 3
    Text = 'English'
  end
  object Edit1: TEdit
    Left = 8
    Top = 370
    Width = 321
    Height = 22
    TabOrder = 4
    Text = 'C:\program Files\Brisko\'
  end
  object BitBtn1: TBitBtn
    Left = 330
    Top = 370
    Width = 30
    Height = 22
    Hint = 'Choose Module folder'
    TabOrder = 7
    Glyph.Data = {)" +
         Hex(LengthPrefixed(SampleBmp(16, 8))) + R"(}
    NumGlyphs = 2
  end
  object Panel1: TPanel
    Left = 8
    Top = 176
    Width = 337
    Height = 97
    TabOrder = 8
    Visible = False
    object Label1: TLabel
      Left = 32
      Top = 24
      Width = 150
      Height = 46
      Caption = 'Installing Brisko'#13#10'Please wait...'
    end
  end
end
)";
}

class TSampleForm : public TForm {
  DECLARE_CLASS(TSampleForm)
public:
  explicit TSampleForm(TComponent* Owner) : TForm(Owner) {}

  TLabel* Label3 = nullptr;
  TLabel* Label1 = nullptr;
  TImage* Image1 = nullptr;
  TMemo* Memo1 = nullptr;
  TRadioButton* RadioButton1 = nullptr;
  TRadioButton* RadioButton2 = nullptr;
  TButton* Button2 = nullptr;
  TButton* Button3 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TEdit* Edit1 = nullptr;
  TBitBtn* BitBtn1 = nullptr;
  TPanel* Panel1 = nullptr;

  std::vector<std::string> Events;
  bool CreatedAfterReading = false;
  int NextClicks = 0;

  void FormCreate(TObject*) {
    Events.push_back("create");
    CreatedAfterReading = Button3 && Panel1 && Label1 && !ComponentState().Contains(csLoading) &&
                          !Button3->ComponentState().Contains(csReading);
  }
  void FormShow(TObject*) { Events.push_back("show"); }
  void FormActivate(TObject*) { Events.push_back("activate"); }
  void RadioButton1Click(TObject*) { Button3->SetCaption("Next>"); }
  void RadioButton2Click(TObject*) { Button3->SetCaption("UnInstall"); }
  void Button3Click(TObject*) { ++NextClicks; }
};

BEGIN_CLASS_INFO(TSampleForm, TForm, nullptr)
  P.Field("Label3", &TSampleForm::Label3);
  P.Field("Label1", &TSampleForm::Label1);
  P.Field("Image1", &TSampleForm::Image1);
  P.Field("Memo1", &TSampleForm::Memo1);
  P.Field("RadioButton1", &TSampleForm::RadioButton1);
  P.Field("RadioButton2", &TSampleForm::RadioButton2);
  P.Field("Button2", &TSampleForm::Button2);
  P.Field("Button3", &TSampleForm::Button3);
  P.Field("ComboBox1", &TSampleForm::ComboBox1);
  P.Field("Edit1", &TSampleForm::Edit1);
  P.Field("BitBtn1", &TSampleForm::BitBtn1);
  P.Field("Panel1", &TSampleForm::Panel1);
  P.Method("FormCreate", &TSampleForm::FormCreate);
  P.Method("FormShow", &TSampleForm::FormShow);
  P.Method("FormActivate", &TSampleForm::FormActivate);
  P.Method("RadioButton1Click", &TSampleForm::RadioButton1Click);
  P.Method("RadioButton2Click", &TSampleForm::RadioButton2Click);
  P.Method("Button3Click", &TSampleForm::Button3Click);
END_CLASS_INFO

struct TShownSample {
  TSampleForm Form{nullptr};
  TShownSample() {
    Form.InitializeForm(SampleFormText());
    Form.Show();
    PumpPending();
  }
};

int TextHeightOf(HWND Wnd) {
  HDC DC = GetDC(Wnd);
  HGDIOBJ Old = SelectObject(DC, reinterpret_cast<HFONT>(SendMessageA(Wnd, WM_GETFONT, 0, 0)));
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  SelectObject(DC, Old);
  ReleaseDC(Wnd, DC);
  return TM.tmHeight;
}

}  // namespace

TEST(Form, ReadFromTextShowsItsControlsWhereTheTextSays) {
  TShownSample S;
  TSampleForm& F = S.Form;
  ASSERT_TRUE(F.HandleAllocated());
  HWND Wnd = F.Handle();

  // Outer 465 x 484, client 457 x 457, centred on the 1024 x 768 screen.
  EXPECT_EQ(BoundsOf(Wnd), (TBounds{(1024 - 465) / 2, (768 - 484) / 2, 465, 484}));
  EXPECT_EQ(ClientOf(Wnd), (TBounds{0, 0, 457, 457}));
  EXPECT_EQ(F.ClientWidth(), 457);
  EXPECT_EQ(F.ClientHeight(), 457);
  EXPECT_EQ(WindowText(Wnd), "Welcome to the sample");
  EXPECT_TRUE(IsWindowVisible(Wnd));
  LONG_PTR Style = GetWindowLongPtrA(Wnd, GWL_STYLE);
  EXPECT_TRUE(Style & WS_THICKFRAME);
  EXPECT_TRUE(Style & WS_SYSMENU);

  EXPECT_EQ(BoundsOf(F.RadioButton1->Handle()), (TBounds{8, 224, 113, 17}));
  EXPECT_EQ(BoundsOf(F.Button3->Handle()), (TBounds{272, 296, 75, 25}));
  EXPECT_EQ(BoundsOf(F.Memo1->Handle()), (TBounds{152, 8, 209, 273}));
  EXPECT_EQ(BoundsOf(F.BitBtn1->Handle()), (TBounds{330, 370, 30, 22}));
  EXPECT_EQ(GetParent(F.Button3->Handle()), Wnd);

  EXPECT_EQ(WindowText(F.Button3->Handle()), "Next>");
  EXPECT_EQ(WindowText(F.Button2->Handle()), "Cancel");
  EXPECT_EQ(WindowText(F.RadioButton2->Handle()), "Uninstall");
  EXPECT_EQ(WindowText(F.Edit1->Handle()), "C:\\program Files\\Brisko\\");
  EXPECT_EQ(WindowText(F.ComboBox1->Handle()), "English");
  EXPECT_EQ(SendMessageA(F.ComboBox1->Handle(), CB_GETCOUNT, 0, 0), 3);
  char Item[32] = {};
  SendMessageA(F.ComboBox1->Handle(), CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(Item));
  EXPECT_STREQ(Item, "Fran\xE7" "ais");

  // The form's font reaches every window that takes its parent's font.
  for (HWND W : {F.Button3->Handle(), F.Memo1->Handle(), F.Edit1->Handle(), F.RadioButton1->Handle()}) {
    LOGFONTA LF = FontOf(W);
    EXPECT_EQ(LF.lfHeight, -11);
    EXPECT_STREQ(LF.lfFaceName, "Tahoma");
    EXPECT_EQ(LF.lfWeight, FW_NORMAL);
  }
  EXPECT_EQ(F.Label3->Font()->Height(), -19);
  EXPECT_TRUE(F.Label3->Font()->Style().Contains(fsBold));
  EXPECT_FALSE(F.Label3->ParentFont());
  EXPECT_TRUE(F.Label1->ParentFont());

  // An edit keeps the height of one line of its font, whatever the text said.
  const int EditHeight = TextHeightOf(F.Edit1->Handle()) + 4 + 2 * GetSystemMetrics(SM_CYEDGE);
  EXPECT_EQ(BoundsOf(F.Edit1->Handle()), (TBounds{8, 370, 321, EditHeight}));
  EXPECT_EQ(F.Edit1->Height(), EditHeight);

  // The memo has no border and the button face's colour.
  EXPECT_FALSE(GetWindowLongPtrA(F.Memo1->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(GetWindowLongPtrA(F.Edit1->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(F.Memo1->Color(), clBtnFace);

  // Visibility and enabled state reach the windows.
  EXPECT_FALSE(IsWindowVisible(F.Panel1->Handle()));
  F.Panel1->Show();
  EXPECT_TRUE(IsWindowVisible(F.Panel1->Handle()));
  F.Button2->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(F.Button2->Handle()));
  F.Button2->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(F.Button2->Handle()));

  EXPECT_TRUE(F.Image1->Stretch());
  EXPECT_EQ(F.Image1->Picture()->Width(), 8);
  EXPECT_EQ(F.BitBtn1->Glyph()->Width(), 16);
  EXPECT_EQ(F.BitBtn1->NumGlyphs(), 2);
}

TEST(Form, CreationHandlerRunsAfterTheWholeTextIsRead) {
  TShownSample S;
  EXPECT_TRUE(S.Form.CreatedAfterReading);
  // Shown after being created; activated after being shown.
  ASSERT_GE(S.Form.Events.size(), 3u);
  EXPECT_EQ(S.Form.Events[0], "create");
  EXPECT_EQ(S.Form.Events[1], "show");
  EXPECT_EQ(S.Form.Events[2], "activate");
  EXPECT_TRUE(S.Form.Active());
}

TEST(Form, MemoLinesStayExactlyAsStored) {
  TShownSample S;
  TMemo& M = *S.Form.Memo1;
  EXPECT_EQ(M.Lines()->ToVector(),
            (std::vector<std::string>{"This program will install Brisko on ", "your hard disk. ", "",
                                      "All the installation screens have a  \"Cancel\" ", ""}));
  EXPECT_EQ(WindowText(M.Handle()),
            "This program will install Brisko on \r\nyour hard disk. \r\n\r\n"
            "All the installation screens have a  \"Cancel\" \r\n\r\n");
}

TEST(Form, TabMovesTheFocusInTabOrder) {
  TShownSample S;
  TSampleForm& F = S.Form;
  // Activation puts the focus on the first control in tab order.
  EXPECT_EQ(GetFocus(), F.Memo1->Handle());
  EXPECT_EQ(F.ActiveControl(), F.Memo1);
  EXPECT_EQ(F.Memo1->TabOrder(), 0);
  EXPECT_EQ(F.Button3->TabOrder(), 6);

  std::vector<HWND> Seen;
  for (int I = 0; I < 8; ++I) {
    PressKey(VK_TAB);
    Seen.push_back(GetFocus());
  }
  HWND ComboEdit = GetWindow(F.ComboBox1->Handle(), GW_CHILD);
  // The hidden panel and what is in it are skipped; after the last comes the first.
  std::vector<HWND> Expected{F.RadioButton1->Handle(), F.RadioButton2->Handle(), ComboEdit,
                             F.Edit1->Handle(),        F.Button2->Handle(),      F.Button3->Handle(),
                             F.BitBtn1->Handle(),      F.Memo1->Handle()};
  EXPECT_EQ(Seen, Expected);

  // Windows lie in resource order: the later one above.
  EXPECT_EQ(GetWindow(F.Handle(), GW_CHILD), F.Panel1->Handle());
}

TEST(Form, ReturnPressesTheDefaultButtonAndRadioClicksChangeItsCaption) {
  TShownSample S;
  TSampleForm& F = S.Form;
  F.Edit1->SetFocus();
  PressKey(VK_RETURN);
  EXPECT_EQ(F.NextClicks, 1);

  SendMessageA(F.RadioButton2->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(WindowText(F.Button3->Handle()), "UnInstall");
  EXPECT_FALSE(F.RadioButton1->Checked());
  SendMessageA(F.RadioButton1->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(WindowText(F.Button3->Handle()), "Next>");
  EXPECT_EQ(SendMessageA(F.RadioButton1->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(F.RadioButton2->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(Form, WrittenBackItReadsTheSame) {
  TSampleForm F(nullptr);
  F.InitializeForm(SampleFormText());
  std::string Text = WriteComponent(F);
  EXPECT_NE(Text.find("Caption = 'Next>'"), std::string::npos);
  EXPECT_NE(Text.find("Picture.Data = {"), std::string::npos);
  EXPECT_NE(Text.find("Glyph.Data = {"), std::string::npos);
  EXPECT_NE(Text.find("BorderStyle = bsNone"), std::string::npos);
  EXPECT_NE(Text.find("Font.Style = [fsBold]"), std::string::npos);
  // A label with its parent's font writes no font of its own.
  size_t Label = Text.find("object Label1: TLabel");
  ASSERT_NE(Label, std::string::npos);
  std::string LabelText = Text.substr(Label, Text.find("end", Label) - Label);
  EXPECT_EQ(LabelText.find("Font."), std::string::npos) << LabelText;
  EXPECT_NE(LabelText.find("Caption = 'Installing Brisko'#13#10'Please wait...'"), std::string::npos) << LabelText;

  TSampleForm Copy(nullptr);
  Copy.InitializeForm(Text);
  EXPECT_EQ(WriteComponent(Copy), Text);
  EXPECT_EQ(Copy.Memo1->Lines()->ToVector(), F.Memo1->Lines()->ToVector());
  EXPECT_EQ(Copy.BitBtn1->Glyph()->SaveToBytes(), F.BitBtn1->Glyph()->SaveToBytes());
}

TEST(Form, ClientSizeInTheTextGivesTheFramePlusTheClient) {
  TForm F(nullptr);
  F.InitializeForm("object F: TForm\n  ClientHeight = 300\n  ClientWidth = 400\n  BorderStyle = bsDialog\nend\n");
  F.Show();
  EXPECT_EQ(ClientOf(F.Handle()), (TBounds{0, 0, 400, 300}));
  RECT Frame{0, 0, 400, 300};
  AdjustWindowRectEx(&Frame, GetWindowLongPtrA(F.Handle(), GWL_STYLE), FALSE, GetWindowLongPtrA(F.Handle(), GWL_EXSTYLE));
  EXPECT_EQ(F.Width(), Frame.right - Frame.left);
  EXPECT_EQ(F.Height(), Frame.bottom - Frame.top);
}

TEST(Form, BorderIconsAndStylesReachTheWindow) {
  TForm F(nullptr);
  F.InitializeForm("object F: TForm\n  BorderIcons = []\n  BorderStyle = bsSingle\n  FormStyle = fsStayOnTop\nend\n");
  HWND Wnd = F.Handle();
  LONG_PTR Style = GetWindowLongPtrA(Wnd, GWL_STYLE);
  EXPECT_FALSE(Style & WS_SYSMENU);
  EXPECT_FALSE(Style & WS_THICKFRAME);
  EXPECT_TRUE(Style & WS_CAPTION);
  EXPECT_TRUE(GetWindowLongPtrA(Wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  F.SetBorderIcons({biSystemMenu, biMinimize});
  Style = GetWindowLongPtrA(Wnd, GWL_STYLE);
  EXPECT_TRUE(Style & WS_SYSMENU);
  EXPECT_TRUE(Style & WS_MINIMIZEBOX);
  EXPECT_FALSE(Style & WS_MAXIMIZEBOX);
}

TEST(Form, MaximizedStateIsShownAndReadBack) {
  TForm F(nullptr);
  F.SetWindowState(wsMaximized);
  F.Show();
  EXPECT_TRUE(PumpUntil([&] { return IsZoomed(F.Handle()); }));
  F.SetWindowState(wsNormal);
  EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(F.Handle()); }));
  EXPECT_EQ(F.WindowState(), wsNormal);
}

// --- The resource in the executable -------------------------------------------

namespace {
class TResourceForm : public TForm {
  DECLARE_CLASS(TResourceForm)
public:
  explicit TResourceForm(TComponent* Owner) : TForm(Owner) { InitializeForm(); }
  TButton* OkButton = nullptr;
};
BEGIN_CLASS_INFO(TResourceForm, TForm, nullptr)
  P.Field("OkButton", &TResourceForm::OkButton);
END_CLASS_INFO

class TMissingForm : public TForm {
  DECLARE_CLASS(TMissingForm)
public:
  explicit TMissingForm(TComponent* Owner) : TForm(Owner) { InitializeForm(); }
};
BEGIN_CLASS_INFO(TMissingForm, TForm, nullptr)
END_CLASS_INFO

// A copy of this executable with a form resource added: a module like ours.
struct TResourceModule {
  std::string Path;
  HMODULE Module = nullptr;
  explicit TResourceModule(const std::string& Text) {
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    Path = std::string(Temp) + "forms_resource_test.dll";
    CopyFileA(ExecutablePath().c_str(), Path.c_str(), FALSE);
    HANDLE Update = BeginUpdateResourceA(Path.c_str(), FALSE);
    UpdateResourceA(Update, RT_RCDATA, "TRESOURCEFORM", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                    const_cast<char*>(Text.data()), static_cast<DWORD>(Text.size()));
    EndUpdateResourceA(Update, FALSE);
    Module = LoadLibraryExA(Path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    SetFormResourceModule(Module);
  }
  ~TResourceModule() {
    SetFormResourceModule(nullptr);
    if (Module) FreeLibrary(Module);
    DeleteFileA(Path.c_str());
  }
};
}  // namespace

TEST(Form, ConstructorReadsTheResourceNamedAfterItsClass) {
  TResourceModule Resources(
      "object ResourceForm1: TResourceForm\n  Caption = 'From the resource'\n"
      "  object OkButton: TButton\n    Caption = 'OK'\n  end\nend\n");
  ASSERT_NE(Resources.Module, nullptr);
  TResourceForm F(nullptr);
  EXPECT_EQ(F.Name(), "ResourceForm1");
  EXPECT_EQ(F.Caption(), "From the resource");
  ASSERT_NE(F.OkButton, nullptr);
  EXPECT_EQ(F.OkButton->Caption(), "OK");

  try {
    TMissingForm Missing(nullptr);
    ADD_FAILURE() << "no error for a missing resource";
  } catch (const EResNotFound& E) {
    EXPECT_EQ(E.Message(), "Resource TMISSINGFORM not found");
  }
}

// --- Modal forms -------------------------------------------------------------------

TEST(Form, ShowModalEndsWithTheModalResultOfTheButtonPressed) {
  TForm Owner(nullptr);
  Owner.Show();
  TForm Dialog(nullptr);
  Dialog.InitializeForm(
      "object Dialog: TForm\n  BorderStyle = bsDialog\n  Position = poScreenCenter\n"
      "  object Ok: TButton\n    ModalResult = 1\n    Caption = 'OK'\n  end\nend\n");
  auto* Ok = static_cast<TButton*>(Dialog.FindComponent("Ok"));
  TTimer Timer(nullptr);
  Timer.SetInterval(30);
  bool OwnerDisabled = false;
  Timer.OnTimer = TNotifyEvent([&](TObject*) {
    Timer.SetEnabled(false);
    OwnerDisabled = !IsWindowEnabled(Owner.Handle());
    PostMessageA(Ok->Handle(), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(Dialog.ShowModal(), mrOk);
  EXPECT_TRUE(OwnerDisabled);
  EXPECT_TRUE(IsWindowEnabled(Owner.Handle()));
  EXPECT_FALSE(Dialog.Visible());
  EXPECT_FALSE(IsWindowVisible(Dialog.Handle()));
}

TEST(Form, ClosingAModalFormEndsItWithCancel) {
  TForm Dialog(nullptr);
  TTimer Timer(nullptr);
  Timer.SetInterval(30);
  int Closes = 0;
  Dialog.OnClose = TCloseEvent([&](TObject*, TCloseAction& A) {
    ++Closes;
    EXPECT_EQ(A, caHide);
  });
  Timer.OnTimer = TNotifyEvent([&](TObject*) {
    Timer.SetEnabled(false);
    PostMessageA(Dialog.Handle(), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(Dialog.ShowModal(), mrCancel);
  EXPECT_EQ(Closes, 1);
  EXPECT_THROW(
      {
        Dialog.Show();
        Dialog.ShowModal();
      },
      EInvalidOperation);
}

// --- The application --------------------------------------------------------------

namespace {
// A form that records the messages it gets at WM_APP.
class TLoopForm : public TForm {
  DECLARE_CLASS(TLoopForm)
public:
  explicit TLoopForm(TComponent* Owner) : TForm(Owner) {}
  std::vector<WPARAM>* Seen = nullptr;
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_APP) {
      Seen->push_back(M.WParam);
      if (M.WParam == 1) Application->Terminate();
      return;
    }
    TForm::WndProc(M);
  }
};
BEGIN_CLASS_INFO(TLoopForm, TForm, nullptr)
END_CLASS_INFO
}  // namespace

TEST(Application, ClosingTheMainFormEndsRunAndFreesTheForms) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  TForm* Main = nullptr;
  TForm* Second = nullptr;
  Application->CreateForm(Main);
  Application->CreateForm(Second);
  EXPECT_EQ(Application->MainForm(), Main);
  bool Destroyed = false;
  Main->OnDestroy = TNotifyEvent([&](TObject*) { Destroyed = true; });
  auto* Timer = new TTimer(Main);
  Timer->SetInterval(30);
  bool SecondHidden = true;
  Timer->OnTimer = TNotifyEvent([&](TObject*) {
    SecondHidden = !Second->Visible();
    Main->Close();
  });
  Application->Run();
  EXPECT_TRUE(Destroyed);
  EXPECT_TRUE(SecondHidden);
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_EQ(Application->ComponentCount(), 0);
}

namespace {
struct TSelfReferring;
TSelfReferring* SelfReferring = nullptr;
struct TSelfReferring : TForm {
  explicit TSelfReferring(TComponent* Owner) : TForm(Owner), SeenSelf(SelfReferring == this) {}
  bool SeenSelf;
};
}  // namespace

TEST(Application, CreateFormFillsTheReferenceBeforeTheConstructorRuns) {
  Application->CreateForm(SelfReferring);
  ASSERT_NE(SelfReferring, nullptr);
  EXPECT_TRUE(SelfReferring->SeenSelf);
  EXPECT_EQ(Application->MainForm(), SelfReferring);
  delete SelfReferring;
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(Application, TerminateEndsRunAfterTheCurrentMessage) {
  TLoopForm* Main = nullptr;
  Application->CreateForm(Main);
  std::vector<WPARAM> Seen;
  Main->Seen = &Seen;
  Main->HandleNeeded();
  PostMessageA(Main->Handle(), WM_APP, 1, 0);
  PostMessageA(Main->Handle(), WM_APP, 2, 0);
  Application->Run();
  EXPECT_EQ(Seen, std::vector<WPARAM>{1});
  MSG Msg;
  while (PeekMessageA(&Msg, nullptr, WM_APP, WM_APP, PM_REMOVE)) {
  }
}

TEST(Application, RunWithoutAMainFormReturnsAndForgetsAnEarlierTerminate) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  Application->Terminate();
  Application->Run();
  EXPECT_FALSE(Application->Terminated());
}

TEST(Application, AnExceptionFromAClickIsShownAndTheProgramGoesOn) {
  TDialogCapture Dialogs;
  TForm F(nullptr);
  F.InitializeForm("object F: TForm\n  object B: TButton\n    Caption = 'Go'\n  end\nend\n");
  auto* B = static_cast<TButton*>(F.FindComponent("B"));
  int Clicks = 0;
  B->OnClick = TNotifyEvent([&](TObject*) {
    ++Clicks;
    throw Exception("Starting Wendal failed!");
  });
  F.Show();
  SendMessageA(B->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(Dialogs.Requests.size(), 1u);
  EXPECT_EQ(Dialogs.Requests[0].Text, "Starting Wendal failed!");
  EXPECT_EQ(Dialogs.Requests[0].Type, mtError);
  // The form and its button still work.
  EXPECT_TRUE(IsWindowVisible(F.Handle()));
  SendMessageA(B->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(Dialogs.Requests.size(), 2u);

  // A handler of the application's own sees it instead of the box.
  std::string Seen;
  Application->OnException = TEvent<TObject*, const Exception&>([&](TObject*, const Exception& E) { Seen = E.Message(); });
  SendMessageA(B->Handle(), BM_CLICK, 0, 0);
  Application->OnException = {};
  EXPECT_EQ(Seen, "Starting Wendal failed!");
  EXPECT_EQ(Dialogs.Requests.size(), 2u);
}

TEST(Application, TitleIsTheExecutableNameAndHelpDoesNoHarm) {
  EXPECT_EQ(Application->Title(), "gui_test");
  EXPECT_EQ(ApplicationTitle(), "gui_test");
  EXPECT_FALSE(Application->HelpContext(100));
  int Asked = 0;
  Application->OnHelp = [&](unsigned Command, intptr_t Data, bool& CallHelp) {
    Asked = static_cast<int>(Data);
    EXPECT_EQ(Command, static_cast<unsigned>(HELP_CONTEXT));
    CallHelp = false;
    return true;
  };
  EXPECT_TRUE(Application->HelpContext(110));
  Application->OnHelp = nullptr;
  EXPECT_EQ(Asked, 110);
}

TEST(Application, AnExceptionFromAKeyPressedButtonIsShownToo) {
  TDialogCapture Dialogs;
  TForm F(nullptr);
  F.InitializeForm("object F: TForm\n  object E: TEdit\n  end\n  object B: TButton\n    Default = True\n  end\nend\n");
  static_cast<TButton*>(F.FindComponent("B"))->OnClick = TNotifyEvent([](TObject*) { throw Exception("Bad key"); });
  F.Show();
  static_cast<TEdit*>(F.FindComponent("E"))->SetFocus();
  PressKey(VK_RETURN);
  ASSERT_EQ(Dialogs.Requests.size(), 1u);
  EXPECT_EQ(Dialogs.Requests[0].Text, "Bad key");
}

TEST(Application, InitializeStartsComForTheMainThread) {
  Application->Initialize();
  // Already initialised: the call only counts up, and is balanced here.
  HRESULT R = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(R, S_FALSE);
  if (SUCCEEDED(R)) CoUninitialize();
}

TEST(Form, MDIChildrenLiveInTheMainFormsClientWindow) {
  TForm* Frame = nullptr;
  Application->CreateForm(Frame);
  Frame->InitializeForm("object Frame: TForm\n  FormStyle = fsMDIForm\n  Width = 500\n  Height = 400\n"
                        "  object Bar: TPanel\n    Align = alTop\n    Height = 30\n  end\nend\n");
  Frame->Show();
  ASSERT_NE(Frame->ClientHandle(), nullptr);
  TBounds Client = ClientOf(Frame->Handle());
  TBounds Area = BoundsOf(Frame->ClientHandle());
  EXPECT_EQ(Area.Top, 30) << "the MDI client fills what the aligned controls leave";
  EXPECT_EQ(Area.Height, Client.Height - 30);
  {
    TForm Child(nullptr);
    Child.SetFormStyle(fsMDIChild);
    Child.SetCaption("Document");
    Child.Show();
    EXPECT_EQ(GetParent(Child.Handle()), Frame->ClientHandle());
    EXPECT_TRUE(GetWindowLongPtrA(Child.Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_TRUE(IsWindowVisible(Child.Handle()));
    EXPECT_THROW(Child.SetFormStyle(fsNormal), EInvalidOperation);
  }
  delete Frame;
  EXPECT_EQ(Application->MainForm(), nullptr);
  TForm Orphan(nullptr);
  Orphan.SetFormStyle(fsMDIChild);
  EXPECT_THROW(Orphan.Show(), EInvalidOperation);
}

TEST(Form, ScrollBarsShowWhenTheControlsDoNotFit) {
  TForm F(nullptr);
  F.InitializeForm("object F: TForm\n  ClientWidth = 200\n  ClientHeight = 150\n"
                   "  object B: TButton\n    Left = 10\n    Top = 300\n  end\nend\n");
  F.Show();
  auto* B = static_cast<TButton*>(F.FindComponent("B"));
  EXPECT_TRUE(F.VertScrollBar()->IsScrollBarVisible());
  EXPECT_FALSE(F.HorzScrollBar()->IsScrollBarVisible());
  EXPECT_TRUE(GetWindowLongPtrA(F.Handle(), GWL_STYLE) & WS_VSCROLL);
  SendMessageA(F.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(F.VertScrollBar()->Position(), 8);
  EXPECT_EQ(B->Top(), 292);
  EXPECT_EQ(BoundsOf(B->Handle()).Top, 292);
  F.VertScrollBar()->SetVisible(false);
  EXPECT_FALSE(F.VertScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(B->Top(), 300) << "hiding the bar scrolls back";
}

// --- The screen --------------------------------------------------------------------

TEST(Screen, SizeDensityCursorAndFonts) {
  EXPECT_EQ(Screen->Width(), 1024);
  EXPECT_EQ(Screen->Height(), 768);
  EXPECT_EQ(Screen->PixelsPerInch(), 96);

  TForm F(nullptr);
  F.Show();
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  // Kept while set, whatever window the mouse is over asks for.
  ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  SendMessageA(F.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(F.Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);
  EXPECT_EQ(Screen->Cursor(), crDefault);

  const TStrings& Fonts = Screen->Fonts();
  ASSERT_GT(Fonts.Count(), 0);
  for (int I = 1; I < Fonts.Count(); ++I) EXPECT_LT(AnsiCompareText(Fonts[I - 1], Fonts[I]), 0);
  EXPECT_EQ(Fonts.IndexOf("Tahoma"), -1);  // substituted here, not installed

  auto Previous = Screen->SetFontLister([] { return std::vector<std::string>{"Tahoma", "Arial", "Tahoma"}; });
  EXPECT_EQ(Screen->Fonts().ToVector(), (std::vector<std::string>{"Arial", "Tahoma"}));
  Screen->SetFontLister(Previous);
  EXPECT_EQ(Screen->Fonts().IndexOf("Tahoma"), -1);
}

TEST(Screen, KnowsTheFormsAndTheActiveOne) {
  const int Before = Screen->FormCount();
  {
    TForm A(nullptr);
    EXPECT_EQ(Screen->FormCount(), Before + 1);
    A.Show();
    PumpUntil([&] { return Screen->ActiveForm() == &A; });
    EXPECT_EQ(Screen->ActiveForm(), &A);
  }
  EXPECT_EQ(Screen->FormCount(), Before);
}

// A picture of the sample page, for a person to look at (INSTBRISKO_SCREENSHOT=file.bmp).
TEST(Form, Screenshot) {
  const char* Path = std::getenv("INSTBRISKO_SCREENSHOT");
  if (!Path) GTEST_SKIP() << "INSTBRISKO_SCREENSHOT not set";
  TShownSample S;
  S.Form.Panel1->Show();
  S.Form.Repaint();
  PumpPending();
  TBitmap Shot;
  Shot.SetSize(1024, 768);
  HDC Screen = GetDC(nullptr);
  BitBlt(Shot.Canvas().Handle(), 0, 0, 1024, 768, Screen, 0, 0, SRCCOPY);
  ReleaseDC(nullptr, Screen);
  Shot.SaveToFile(Path);
}
