// Hidden windows and the exception sink: where messages to a window without a
// screen presence go, which broadcasts reach it, and where an exception of a
// callback ends up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "classes/sysutils.h"
#include "gui/exceptionsink.h"
#include "gui/msgwindow.h"
#include "window_testing.h"

namespace {

// The sink for the length of a test: notes what reached it.
struct TSinkCapture {
  TSinkCapture() { Previous = SetExceptionSink(&Note); }
  ~TSinkCapture() { SetExceptionSink(Previous); }
  static void Note(TObject* Sender) {
    Senders.push_back(Sender);
    try {
      throw;
    } catch (const std::exception& E) {
      Messages.push_back(E.what());
    }
  }
  TExceptionSink Previous;
  static inline std::vector<TObject*> Senders;
  static inline std::vector<std::string> Messages;
};

// A registered message every top-level window of the desktop gets when broadcast.
UINT TestBroadcast() {
  static const UINT Msg = RegisterWindowMessageA("InstbriskoHiddenWindowTest");
  return Msg;
}

TEST(MessageWindow, MessageOnlyByDefaultAndWhatItLeavesGoesToTheDefaultProcedure) {
  std::vector<UINT> Seen;
  TMessageWindow Window([&](UINT Msg, WPARAM W, LPARAM, LRESULT& Result) {
    Seen.push_back(Msg);
    if (Msg != WM_APP + 7) return false;
    Result = static_cast<LRESULT>(W) * 2;
    return true;
  });
  ASSERT_NE(Window.Handle(), nullptr);
  EXPECT_FALSE(IsWindowVisible(Window.Handle()));
  EXPECT_EQ(FindWindowExA(HWND_MESSAGE, nullptr, "InstbriskoMessageWindow", nullptr) != nullptr, true);
  EXPECT_EQ(SendMessageA(Window.Handle(), WM_APP + 7, 21, 0), 42);
  // Not taken by the handler: the default procedure stores the text.
  SendMessageA(Window.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("kept by DefWindowProc"));
  EXPECT_EQ(wintest::WindowText(Window.Handle()), "kept by DefWindowProc");
  EXPECT_NE(std::find(Seen.begin(), Seen.end(), static_cast<UINT>(WM_SETTEXT)), Seen.end());

  // A message-only window hears no broadcast; a hidden top-level one does.
  int TopLevelHeard = 0, MessageOnlyHeard = 0;
  TMessageWindow MessageOnly([&](UINT Msg, WPARAM, LPARAM, LRESULT&) {
    if (Msg == TestBroadcast()) ++MessageOnlyHeard;
    return false;
  });
  TMessageWindow TopLevel(
      [&](UINT Msg, WPARAM, LPARAM, LRESULT&) {
        if (Msg == TestBroadcast()) ++TopLevelHeard;
        return false;
      },
      TMessageWindow::THiddenTopLevel{});
  EXPECT_FALSE(IsWindowVisible(TopLevel.Handle()));
  DWORD_PTR Answer = 0;
  SendMessageTimeoutA(HWND_BROADCAST, TestBroadcast(), 0, 0, SMTO_ABORTIFHUNG, 2000, &Answer);
  EXPECT_EQ(TopLevelHeard, 1);
  EXPECT_EQ(MessageOnlyHeard, 0);
}

TEST(MessageWindow, HiddenTopLevelWithAClassAndNameOfItsOwn) {
  bool Heard = false;
  TMessageWindow Helper(
      [&](UINT Msg, WPARAM, LPARAM, LRESULT&) {
        if (Msg == WM_APP) Heard = true;
        return Msg == WM_APP;
      },
      TMessageWindow::THiddenTopLevel{"InstbriskoTestHelper", "Helper window"});
  HWND Found = FindWindowA("InstbriskoTestHelper", "Helper window");
  ASSERT_EQ(Found, Helper.Handle());
  EXPECT_FALSE(IsWindowVisible(Found));
  SendMessageA(Found, WM_APP, 0, 0);
  EXPECT_TRUE(Heard);
  // A second one of the class, and the class outlives the first.
  TMessageWindow Second([](UINT, WPARAM, LPARAM, LRESULT&) { return false; },
                        TMessageWindow::THiddenTopLevel{"InstbriskoTestHelper", "Second"});
  EXPECT_NE(Second.Handle(), Helper.Handle());
}

TEST(MessageWindow, AClassThatIsNotOursOrAWindowThatCannotBeMadeRaises) {
  auto Ignore = [](UINT, WPARAM, LPARAM, LRESULT&) { return false; };
  // The system's button class, and one another part of the program registered.
  EXPECT_THROW(TMessageWindow(Ignore, TMessageWindow::THiddenTopLevel{"Button", ""}), EOSError);
  WNDCLASSA Class{};
  Class.lpfnWndProc = DefWindowProcA;
  Class.hInstance = GetModuleHandleA(nullptr);
  Class.lpszClassName = "InstbriskoSomeoneElsesClass";
  ASSERT_TRUE(RegisterClassA(&Class));
  EXPECT_THROW(TMessageWindow(Ignore, TMessageWindow::THiddenTopLevel{"InstbriskoSomeoneElsesClass", ""}), EOSError);
  // A class name the system refuses outright.
  EXPECT_THROW(TMessageWindow(Ignore, TMessageWindow::THiddenTopLevel{std::string(300, 'x'), ""}), EOSError);
}

TEST(ExceptionSink, CallbacksHandTheirExceptionsToTheSinkWithTheirSender) {
  TSinkCapture Sink;
  EXPECT_NE(Sink.Previous, nullptr) << "the application installs its sink";
  TSinkCapture::Senders.clear();
  TSinkCapture::Messages.clear();
  TObject Owner;
  TMessageWindow Window(
      [](UINT Msg, WPARAM, LPARAM, LRESULT& Result) {
        if (Msg != WM_APP) return false;
        Result = 5;
        throw Exception("Report failed");
      },
      &Owner);
  EXPECT_EQ(SendMessageA(Window.Handle(), WM_APP, 0, 0), 0) << "the answer of a failed handler";
  ASSERT_EQ(TSinkCapture::Messages.size(), 1u);
  EXPECT_EQ(TSinkCapture::Messages[0], "Report failed");
  EXPECT_EQ(TSinkCapture::Senders[0], &Owner);
}

TEST(ExceptionSink, WithoutOneInstalledTheMessageIsShownInAnErrorBox) {
  wintest::TDialogCapture Dialogs;
  TExceptionSink Previous = SetExceptionSink(nullptr);
  try {
    throw std::runtime_error("Nothing installed");
  } catch (...) {
    HandleWindowException(nullptr);
  }
  HandleWindowException(nullptr);  // outside a catch block: nothing to show
  SetExceptionSink(Previous);
  ASSERT_EQ(Dialogs.Requests.size(), 1u);
  EXPECT_EQ(Dialogs.Requests[0].Text, "Nothing installed");
  EXPECT_EQ(Dialogs.Requests[0].Type, mtError);
}

}  // namespace
