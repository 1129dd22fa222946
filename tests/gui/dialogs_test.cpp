// Message boxes through the test seam, and the real system box answered by a
// second thread the way an end-to-end driver does it.
#include "gui/dialogs.h"
#include "gui/handles.h"
#include "gui/thread.h"

#include "classes/sysutils.h"

#include <gtest/gtest.h>

#include "support/dialog_answers.h"

#include <cstdlib>
#include <thread>

namespace {

// Installs a handler for one test and puts the previous one back.
using TScopedHandler = testsupport::TDialogAnswers;

TEST(Dialogs, TheSeamGetsTheRequestAndAnswersForTheBox) {
  std::vector<TDialogRequest> Seen;
  TDialogHandler Previous = SetDialogHandler([&](const TDialogRequest& R) {
    Seen.push_back(R);
    return mrNo;
  });
  EXPECT_FALSE(Previous);  // the real box is the default

  std::string Ask = "Do you really want to delete all files and subdirs from\rthe directory C:\\B\\";
  EXPECT_EQ(MessageDlg(Ask, mtInformation, {mbYes, mbNo}, 0), mrNo);
  ShowMessage("You have never installed Brisko!\rSo we do not have to UnInstall it.");
  ASSERT_EQ(Seen.size(), 2u);
  EXPECT_FALSE(Seen[0].Simple);
  EXPECT_EQ(Seen[0].Type, mtInformation);
  EXPECT_EQ(Seen[0].Text, Ask);
  EXPECT_EQ(Seen[0].Caption, "Information");
  EXPECT_EQ(Seen[0].Buttons, (TMsgDlgButtons{mbNo, mbYes}));
  EXPECT_FALSE(Seen[0].Buttons.Contains(mbOK));
  EXPECT_EQ(Seen[0].HelpCtx, 0);
  EXPECT_TRUE(Seen[1].Simple);
  EXPECT_EQ(Seen[1].Caption, "gui_test");  // the executable's name
  EXPECT_EQ(Seen[1].Buttons, TMsgDlgButtons{mbOK});

  TDialogHandler Mine = SetDialogHandler(std::move(Previous));
  EXPECT_TRUE(Mine);
}

TEST(Dialogs, CaptionsFollowTheTypeAndTheApplicationTitle) {
  std::vector<std::string> Captions;
  TScopedHandler Handler([&](const TDialogRequest& R) {
    Captions.push_back(R.Caption);
    return mrOk;
  });
  for (TMsgDlgType T : {mtWarning, mtError, mtInformation, mtConfirmation, mtCustom})
    MessageDlg("x", T, {mbOK}, 0);
  SetApplicationTitle("Brisko Setup");
  ShowMessage("x");
  SetApplicationTitle(ChangeFileExt(ExtractFileName(ExecutablePath()), ""));
  EXPECT_EQ(Captions, (std::vector<std::string>{"Warning", "Error", "Information", "Confirm",
                                                "gui_test", "Brisko Setup"}));
}

TEST(Dialogs, ButtonSetsTheSystemBoxCannotShowRaise) {
  EXPECT_THROW(MessageDlg("x", mtConfirmation, {mbYes, mbYesToAll, mbNo}, 0), Exception);
  EXPECT_THROW(MessageDlg("x", mtConfirmation, {mbOK, mbYes}, 0), Exception);
}

// What the answering thread saw of the real box.
struct TSeenBox {
  bool Found = false;
  std::string Text, Buttons;
  RECT Bounds{};
  bool OwnWindowDisabled = false;
};

// Finds the system box by caption, reads it, and presses the button captioned Press.
TSeenBox AnswerBox(const std::string& Caption, const std::string& Press, HWND OwnWindow) {
  TSeenBox Seen;
  HWND Box = nullptr;
  // The box is shown once it has laid itself out.
  for (int I = 0; I < 2000; ++I) {
    Box = FindWindowA("#32770", Caption.c_str());
    if (Box && IsWindowVisible(Box)) break;
    Box = nullptr;
    Sleep(10);
  }
  if (!Box) return Seen;
  Seen.Found = true;
  if (const char* Hold = std::getenv("GUI_TEST_HOLD_MS")) Sleep(atoi(Hold));  // time for a screenshot
  char Buffer[512];
  GetDlgItemTextA(Box, 0xFFFF, Buffer, sizeof Buffer);  // the text's static control
  Seen.Text = Buffer;
  GetWindowRect(Box, &Seen.Bounds);
  Seen.OwnWindowDisabled = OwnWindow && !IsWindowEnabled(OwnWindow);
  HWND Target = nullptr;
  for (HWND B = FindWindowExA(Box, nullptr, "Button", nullptr); B;
       B = FindWindowExA(Box, B, "Button", nullptr)) {
    if (!IsWindowVisible(B)) continue;
    GetWindowTextA(B, Buffer, sizeof Buffer);
    Seen.Buttons += std::string(Seen.Buttons.empty() ? "" : "|") + Buffer;
    if (Press == Buffer) Target = B;
  }
  if (Target) PostMessageA(Box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Target), BN_CLICKED),
                           reinterpret_cast<LPARAM>(Target));
  else PostMessageA(Box, WM_COMMAND, IDCANCEL, 0);
  return Seen;
}

void ExpectCentredOnScreen(const RECT& R) {
  int ScreenW = GetSystemMetrics(SM_CXSCREEN), ScreenH = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR((R.left + R.right) / 2, ScreenW / 2, 2);
  EXPECT_NEAR((R.top + R.bottom) / 2, ScreenH / 2, 30);
}

TEST(Dialogs, TheRealSimpleBoxIsAnsweredByAnotherThread) {
  InitMainThread();
  // One of our own windows, which the task-modal box must disable meanwhile.
  HWND Own = CreateWindowExA(0, "STATIC", "gui_test window", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(Own, nullptr);
  SetApplicationTitle("Brisko Setup Test");
  TSeenBox Seen;
  bool SynchronizedMeanwhile = false;
  std::thread Driver([&] {
    // The box's own message loop serves calls into the main thread too.
    TThread::Synchronize([&] { SynchronizedMeanwhile = true; });
    Seen = AnswerBox("Brisko Setup Test", "OK", Own);
  });
  ShowMessage("You have never installed Brisko!\rSo we do not have to UnInstall it.");
  Driver.join();
  SetApplicationTitle(ChangeFileExt(ExtractFileName(ExecutablePath()), ""));
  EXPECT_TRUE(IsWindowEnabled(Own));
  DestroyWindow(Own);

  ASSERT_TRUE(Seen.Found);
  EXPECT_TRUE(SynchronizedMeanwhile);
  EXPECT_EQ(Seen.Text, "You have never installed Brisko!\r\nSo we do not have to UnInstall it.");
  EXPECT_EQ(Seen.Buttons, "OK");
  EXPECT_TRUE(Seen.OwnWindowDisabled);
  ExpectCentredOnScreen(Seen.Bounds);
}

TEST(Dialogs, TheRealQuestionReturnsTheButtonPressed) {
  TSeenBox Seen;
  std::thread Driver([&] { Seen = AnswerBox("Information", "&No", nullptr); });
  int Answer = MessageDlg("Do you really want to delete all files and subdirs from\rthe directory C:\\B\\",
                          mtInformation, {mbYes, mbNo}, 0);
  Driver.join();
  ASSERT_TRUE(Seen.Found);
  EXPECT_EQ(Answer, mrNo);
  EXPECT_EQ(Seen.Buttons, "&Yes|&No");
  EXPECT_EQ(Seen.Text, "Do you really want to delete all files and subdirs from\r\nthe directory C:\\B\\");
  ExpectCentredOnScreen(Seen.Bounds);
}

}  // namespace
