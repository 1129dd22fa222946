// A handler in front of a form's window procedure, tested as a table of the
// messages it and the form saw, in order.
#include <gtest/gtest.h>

#include <memory>

#include "gui/stdctrls.h"
#include "gui/winhook.h"
#include "window_testing.h"

using namespace wintest;

namespace {

enum TWho { byHook, byForm };

struct TSeen {
  TWho Who;
  UINT Msg;
};

// The messages the layout component lives on.
const UINT Watched[] = {WM_SIZE,        WM_SHOWWINDOW,     WM_ACTIVATE,     WM_WINDOWPOSCHANGING,
                        WM_GETMINMAXINFO, WM_SIZING,       WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE,
                        WM_ERASEBKGND,  WM_DESTROY};

bool IsWatched(UINT Msg) {
  for (UINT W : Watched)
    if (W == Msg) return true;
  return false;
}

std::vector<TSeen>* Log = nullptr;

// A form that notes each watched message its own procedure gets.
class TLoggingForm : public TForm {
  DECLARE_CLASS(TLoggingForm)
public:
  explicit TLoggingForm(TComponent* Owner) : TForm(Owner) {}
  void WndProc(TMessage& M) override {
    if (Log && IsWatched(M.Msg)) Log->push_back({byForm, M.Msg});
    TForm::WndProc(M);
  }
};
BEGIN_CLASS_INFO(TLoggingForm, TForm, nullptr)
END_CLASS_INFO

struct TExpected {
  TWho Who;
  UINT Msg;
  bool Optional = false;
};

// Like Wine's ok_sequence: the expected entries occur in Seen in this order
// (other entries may come between them); optional ones may be missing.
::testing::AssertionResult InOrder(const std::vector<TSeen>& Seen, const std::vector<TExpected>& Expected) {
  size_t At = 0;
  for (const TExpected& E : Expected) {
    size_t Found = At;
    while (Found < Seen.size() && !(Seen[Found].Who == E.Who && Seen[Found].Msg == E.Msg)) ++Found;
    if (Found == Seen.size()) {
      if (E.Optional) continue;
      return ::testing::AssertionFailure() << "message 0x" << std::hex << E.Msg << " by "
                                           << (E.Who == byHook ? "hook" : "form") << " missing or out of order";
    }
    At = Found + 1;
  }
  return ::testing::AssertionSuccess();
}

// Every watched message the form got came through the hook just before.
::testing::AssertionResult HookSawEachFirst(const std::vector<TSeen>& Seen) {
  for (size_t I = 0; I < Seen.size(); ++I) {
    if (Seen[I].Who != byForm) continue;
    if (I == 0 || Seen[I - 1].Who != byHook || Seen[I - 1].Msg != Seen[I].Msg)
      return ::testing::AssertionFailure() << "message 0x" << std::hex << Seen[I].Msg << " reached the form first";
  }
  return ::testing::AssertionSuccess();
}

TWindowHook::THandler Recorder() {
  return [](HWND, UINT Msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (Log && IsWatched(Msg)) Log->push_back({byHook, Msg});
    return 0;
  };
}

struct TLogScope {
  std::vector<TSeen> Seen;
  TLogScope() { Log = &Seen; }
  ~TLogScope() { Log = nullptr; }
};

}  // namespace

TEST(WindowHook, SeesEveryMessageFirstAndPassesItOn) {
  TLogScope Scope;
  TLoggingForm Form(nullptr);
  Form.SetBounds(100, 100, 300, 200);
  TWindowHook Hook;
  // As the layout component does while the form is being read.
  Hook.Install(Form.Handle(), Recorder());
  const WNDPROC Ours = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Form.Handle(), GWLP_WNDPROC));
  EXPECT_NE(Ours, Hook.Previous());

  Form.Show();
  const std::vector<TExpected> ShowAndActivate = {
      {byHook, WM_SHOWWINDOW}, {byForm, WM_SHOWWINDOW}, {byHook, WM_ACTIVATE}, {byForm, WM_ACTIVATE}};
  PumpUntil([&] { return InOrder(Scope.Seen, ShowAndActivate); });
  EXPECT_TRUE(InOrder(Scope.Seen, ShowAndActivate));

  Scope.Seen.clear();
  Form.SetBounds(120, 110, 400, 260);
  EXPECT_TRUE(InOrder(Scope.Seen, {{byHook, WM_WINDOWPOSCHANGING},
                                   {byForm, WM_WINDOWPOSCHANGING},
                                   {byHook, WM_GETMINMAXINFO, true},
                                   {byForm, WM_GETMINMAXINFO, true},
                                   {byHook, WM_SIZE},
                                   {byForm, WM_SIZE}}));
  EXPECT_EQ(Form.Width(), 400);

  // What a user's drag of the frame sends.
  Scope.Seen.clear();
  RECT Drag{120, 110, 500, 300};
  SendMessageA(Form.Handle(), WM_ENTERSIZEMOVE, 0, 0);
  SendMessageA(Form.Handle(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&Drag));
  SendMessageA(Form.Handle(), WM_EXITSIZEMOVE, 0, 0);
  RedrawWindow(Form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  EXPECT_TRUE(InOrder(Scope.Seen, {{byHook, WM_ENTERSIZEMOVE},
                                   {byForm, WM_ENTERSIZEMOVE},
                                   {byHook, WM_SIZING},
                                   {byForm, WM_SIZING},
                                   {byHook, WM_EXITSIZEMOVE},
                                   {byForm, WM_EXITSIZEMOVE},
                                   {byHook, WM_ERASEBKGND},
                                   {byForm, WM_ERASEBKGND}}));

  // At WM_DESTROY the hook takes itself out; the form still gets the message.
  Scope.Seen.clear();
  Form.DestroyHandle();
  EXPECT_TRUE(InOrder(Scope.Seen, {{byHook, WM_DESTROY}, {byForm, WM_DESTROY}}));
  EXPECT_FALSE(Hook.Installed());
  EXPECT_TRUE(HookSawEachFirst(Scope.Seen));
}

TEST(WindowHook, AllMessagesOfAShowAndResizeComeThroughItFirst) {
  TLogScope Scope;
  TLoggingForm Form(nullptr);
  TWindowHook Hook;
  Hook.Install(Form.Handle(), Recorder());
  Scope.Seen.clear();  // what creating the window sent came before the hook
  Form.Show();
  Form.SetBounds(10, 10, 350, 250);
  SendMessageA(Form.Handle(), WM_ENTERSIZEMOVE, 0, 0);
  SendMessageA(Form.Handle(), WM_EXITSIZEMOVE, 0, 0);
  PumpPending();
  EXPECT_TRUE(HookSawEachFirst(Scope.Seen));
  size_t Hooked = 0;
  for (const TSeen& S : Scope.Seen) Hooked += S.Who == byHook;
  EXPECT_EQ(Hooked * 2, Scope.Seen.size()) << "every message the hook saw went on to the form";
}

TEST(WindowHook, HandledMessagesGoNoFurtherAndRestoreBringsTheOldProcedureBack) {
  TLogScope Scope;
  TLoggingForm Form(nullptr);
  Form.Show();
  PumpPending();
  HWND Wnd = Form.Handle();
  const LONG_PTR Before = GetWindowLongPtrA(Wnd, GWLP_WNDPROC);
  TWindowHook Hook;
  Hook.Install(Wnd, [&](HWND, UINT Msg, WPARAM, LPARAM, bool& Handled) -> LRESULT {
    if (Msg == WM_ERASEBKGND) {
      Log->push_back({byHook, Msg});
      Handled = true;
      return 1;
    }
    return 0;
  });
  Scope.Seen.clear();
  RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  ASSERT_FALSE(Scope.Seen.empty());
  for (const TSeen& S : Scope.Seen) EXPECT_EQ(S.Who, byHook);

  Hook.Restore();
  EXPECT_FALSE(Hook.Installed());
  EXPECT_EQ(GetWindowLongPtrA(Wnd, GWLP_WNDPROC), Before);
  Scope.Seen.clear();
  RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  EXPECT_TRUE(InOrder(Scope.Seen, {{byForm, WM_ERASEBKGND}}));
  for (const TSeen& S : Scope.Seen) EXPECT_EQ(S.Who, byForm);
}

namespace {
// Someone else's subclass, the plain Win32 way.
WNDPROC ForeignPrevious = nullptr;
int ForeignSizes = 0;
LRESULT CALLBACK ForeignProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_SIZE) ++ForeignSizes;
  return CallWindowProcA(ForeignPrevious, Wnd, Msg, W, L);
}
}  // namespace

TEST(WindowHook, TheLibraryKeepsWorkingBehindOtherProcedures) {
  TForm Form(nullptr);
  Form.InitializeForm("object F: TForm\n  object B: TButton\n    Caption = 'Go'\n  end\nend\n");
  auto* Button = static_cast<TButton*>(Form.FindComponent("B"));
  int Clicks = 0, Resizes = 0;
  Button->OnClick = TNotifyEvent([&](TObject*) { ++Clicks; });
  Form.OnResize = TNotifyEvent([&](TObject*) { ++Resizes; });
  Form.Show();
  PumpPending();
  Resizes = 0;
  HWND Wnd = Form.Handle();

  TWindowHook Inner, Outer;
  int InnerSeen = 0, OuterSeen = 0;
  Inner.Install(Wnd, [&](HWND, UINT Msg, WPARAM, LPARAM, bool&) -> LRESULT { InnerSeen += Msg == WM_SIZE; return 0; });
  ForeignPrevious = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
  Outer.Install(Wnd, [&](HWND, UINT Msg, WPARAM, LPARAM, bool&) -> LRESULT { OuterSeen += Msg == WM_SIZE; return 0; });

  // Resizing reaches every procedure and the form; a click reaches the button.
  ForeignSizes = 0;
  Form.SetBounds(0, 0, 300, 200);
  EXPECT_EQ(OuterSeen, 1);
  EXPECT_EQ(ForeignSizes, 1);
  EXPECT_EQ(InnerSeen, 1);
  EXPECT_EQ(Resizes, 1);
  SendMessageA(Button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(Clicks, 1);

  // The inner hook cannot leave the chain under the others: it only stops acting.
  Inner.Restore();
  EXPECT_FALSE(Inner.Installed());
  Form.SetBounds(0, 0, 320, 210);
  EXPECT_EQ(InnerSeen, 1);
  EXPECT_EQ(OuterSeen, 2);
  EXPECT_EQ(ForeignSizes, 2);
  EXPECT_EQ(Resizes, 2);

  // The outer one is in front and leaves for real; the foreign one is in front again.
  Outer.Restore();
  EXPECT_EQ(GetWindowLongPtrA(Wnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ForeignProc));
  Form.SetBounds(0, 0, 330, 220);
  EXPECT_EQ(OuterSeen, 2);
  EXPECT_EQ(Resizes, 3);
  Form.DestroyHandle();
}

TEST(WindowHook, AnExceptionInTheHandlerIsShownAndTheMessageGoesOn) {
  TDialogCapture Dialogs;
  TLogScope Scope;
  TLoggingForm Form(nullptr);
  Form.Show();
  TWindowHook Hook;
  Hook.Install(Form.Handle(), [](HWND, UINT Msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (Msg == WM_SIZE) throw Exception("Layout failed");
    return 0;
  });
  Scope.Seen.clear();
  Form.SetBounds(0, 0, 310, 230);
  ASSERT_EQ(Dialogs.Requests.size(), 1u);
  EXPECT_EQ(Dialogs.Requests[0].Text, "Layout failed");
  EXPECT_TRUE(InOrder(Scope.Seen, {{byForm, WM_SIZE}}));
}

TEST(WindowHook, RefusesWindowsThatDoNotExistAndASecondInstall) {
  TWindowHook Hook;
  EXPECT_THROW(Hook.Install(nullptr, Recorder()), EOSError);
  TForm Form(nullptr);
  Hook.Install(Form.Handle(), Recorder());
  EXPECT_THROW(Hook.Install(Form.Handle(), Recorder()), EOSError);
  EXPECT_EQ(Hook.Window(), Form.Handle());
  // A hook that outlives its window's procedure chain is simply gone with it.
  Form.DestroyHandle();
  EXPECT_FALSE(Hook.Installed());
  EXPECT_EQ(Hook.CallPrevious(WM_NULL, 0, 0), 0);
}

// The code a hook puts in front of a window can run but never be written; the
// memory it is written through can never run.
TEST(WindowHook, ThunksAreNeverWritableAndExecutable) {
  TForm Form(nullptr);
  std::vector<std::unique_ptr<TWindowHook>> Hooks;
  int Calls = 0;
  // More hooks than one page holds, each in front of the one before.
  for (int I = 0; I < 300; ++I) {
    Hooks.push_back(std::make_unique<TWindowHook>());
    Hooks.back()->Install(Form.Handle(), [&](HWND, UINT Msg, WPARAM, LPARAM, bool&) -> LRESULT {
      if (Msg == WM_NULL) ++Calls;
      return 0;
    });
    MEMORY_BASIC_INFORMATION Info{};
    ASSERT_NE(VirtualQuery(reinterpret_cast<void*>(GetWindowLongPtrA(Form.Handle(), GWLP_WNDPROC)), &Info,
                           sizeof Info),
              0u);
    ASSERT_EQ(Info.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ)) << "hook " << I;
  }
  SendMessageA(Form.Handle(), WM_NULL, 0, 0);
  EXPECT_EQ(Calls, 300);
  // No page of the process is writable and executable at once.
  auto* Address = static_cast<uint8_t*>(nullptr);
  MEMORY_BASIC_INFORMATION Info{};
  while (VirtualQuery(Address, &Info, sizeof Info) == sizeof Info) {
    if (Info.State == MEM_COMMIT && Info.Type == MEM_PRIVATE) {
      EXPECT_FALSE(Info.Protect & (PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) << Info.BaseAddress;
    }
    Address = static_cast<uint8_t*>(Info.BaseAddress) + Info.RegionSize;
  }
  while (!Hooks.empty()) Hooks.pop_back();
  Calls = 0;
  SendMessageA(Form.Handle(), WM_NULL, 0, 0);
  EXPECT_EQ(Calls, 0);
}

namespace {
// What the layout component does while its form is read: it hooks the form's
// window at once and expects no message before the creation handler has run.
class THookWhileRead : public TComponent {
  DECLARE_CLASS(THookWhileRead)
public:
  explicit THookWhileRead(TComponent* Owner) : TComponent(Owner) {
    auto* Form = dynamic_cast<TForm*>(Owner);
    Hook.Install(Form->Handle(), [this](HWND, UINT, WPARAM, LPARAM, bool&) -> LRESULT {
      ++Messages;
      return 0;
    });
  }
  TWindowHook Hook;
  int Messages = 0;
};
BEGIN_CLASS_INFO(THookWhileRead, TComponent, ComponentCreator<THookWhileRead>)
END_CLASS_INFO

class THookedForm : public TForm {
  DECLARE_CLASS(THookedForm)
public:
  explicit THookedForm(TComponent* Owner) : TForm(Owner) {}
  THookWhileRead* Layout1 = nullptr;
  TEdit* Edit1 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  int MessagesBeforeCreate = -1;
  int MessagesAfterChildren = -1;
  int MessagesAfterCaption = -1;
  void FormCreate(TObject*) {
    MessagesBeforeCreate = Layout1->Messages;
    Edit1->SetText("C:\\program Files\\Brisko\\");
    ComboBox1->SetItemIndex(0);
    Edit1->Font()->SetHeight(-13);
    MessagesAfterChildren = Layout1->Messages;
    SetCaption("Installing");
    MessagesAfterCaption = Layout1->Messages;
  }
};
BEGIN_CLASS_INFO(THookedForm, TForm, nullptr)
  P.Field("Layout1", &THookedForm::Layout1);
  P.Field("Edit1", &THookedForm::Edit1);
  P.Field("ComboBox1", &THookedForm::ComboBox1);
  P.Method("FormCreate", &THookedForm::FormCreate);
END_CLASS_INFO
}  // namespace

TEST(WindowHook, AFormReadWithAHookGetsNoMessageBeforeItIsShown) {
  RegisterComponentClass(THookWhileRead::StaticClassInfo());
  THookedForm Form(nullptr);
  Form.InitializeForm(
      "object F: THookedForm\n  ClientHeight = 333\n  ClientWidth = 359\n  Caption = 'x'\n"
      "  Position = poScreenCenter\n  OnCreate = FormCreate\n"
      "  object Layout1: THookWhileRead\n  end\n"
      "  object Panel1: TPanel\n    Align = alBottom\n    object Label1: TLabel\n      Caption = 'Please wait...'\n"
      "    end\n  end\n"
      "  object Edit1: TEdit\n    Text = 'a'\n  end\n"
      "  object ComboBox1: TComboBox\n    Items.Strings = (\n      'English')\n  end\n"
      "end\n");
  // Only what the creation handler asked of the form's own window reached it.
  EXPECT_EQ(Form.MessagesBeforeCreate, 0);
  EXPECT_EQ(Form.MessagesAfterChildren, 0);
  EXPECT_GT(Form.MessagesAfterCaption, 0);
  EXPECT_EQ(ClientOf(Form.Handle()), (TBounds{0, 0, 359, 333}));
  EXPECT_FALSE(Form.Edit1->HandleAllocated());
  Form.Show();
  EXPECT_GT(Form.Layout1->Messages, 1);
  EXPECT_EQ(WindowText(Form.Edit1->Handle()), "C:\\program Files\\Brisko\\");
  EXPECT_EQ(WindowText(Form.ComboBox1->Handle()), "English");
}
