// What assistive technology reads of a form through its accessible objects
// (MSAA, as a screen reader asks for them): the painted labels too, with their
// texts, roles and bounds, beside the windows of the other controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accessibility_testing.h"
#include "gui/extctrls.h"
#include "gui/stdctrls.h"
#include "window_testing.h"

using namespace acctest;

namespace {

RECT OnScreen(const TControl& C) {
  RECT R = C.BoundsRect();
  MapWindowPoints(C.Parent()->Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&R), 2);
  return R;
}

bool SameRect(const RECT& A, const RECT& B) {
  return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

struct TLabelledForm {
  TLabelledForm() {
    Form.InitializeForm(
        "object F: TForm\n  Left = 60\n  Top = 50\n  ClientWidth = 320\n  ClientHeight = 240\n"
        "  object Title: TLabel\n    Left = 10\n    Top = 8\n    Caption = 'Brisko 1.0'\n  end\n"
        "  object Go: TButton\n    Left = 200\n    Top = 200\n    Caption = 'Next>'\n  end\n"
        "  object Folder: TLabel\n    Left = 10\n    Top = 60\n    Caption = '&Install to: Tom && Jerry'\n  end\n"
        "  object Later: TLabel\n    Left = 10\n    Top = 90\n    Caption = 'Not yet'\n    Visible = False\n  end\n"
        "  object Grey: TLabel\n    Left = 150\n    Top = 8\n    Caption = 'Greyed'\n    Enabled = False\n  end\n"
        "  object Picture: TImage\n    Left = 250\n    Top = 8\n    Width = 40\n    Height = 40\n  end\n"
        "  object Wait: TPanel\n    Left = 10\n    Top = 120\n    Width = 180\n    Height = 60\n"
        "    object Busy: TLabel\n      Left = 8\n      Top = 8\n      Caption = 'Please wait...'\n"
        "      Transparent = True\n    end\n  end\n"
        "end\n");
    Form.Show();
    wintest::PumpPending();
  }
  TLabel* Label(const char* Name) { return dynamic_cast<TLabel*>(Form.FindComponent(Name)); }
  TOleInitializer Ole;
  TForm Form{nullptr};
};

TEST(Accessibility, AFormListsItsPaintedLabelsWithTheirWindowsInReadingOrder) {
  TLabelledForm F;
  TClient C = ReadClient(F.Form.Handle());
  ASSERT_TRUE(C.Object);
  // The button and the panel, and three labels: the hidden one is not listed,
  // the picture has nothing to read, the panel's label is the panel's.
  EXPECT_EQ(C.Windows, 2);
  ASSERT_EQ(C.Simple.size(), 3u);
  EXPECT_EQ(C.Count, 5);
  struct TExpected {
    const char* Label;
    const char* Name;
    LONG State;
  };
  const TExpected Expected[] = {{"Title", "Brisko 1.0", STATE_SYSTEM_READONLY},
                                {"Grey", "Greyed", STATE_SYSTEM_READONLY | STATE_SYSTEM_UNAVAILABLE},
                                {"Folder", "Install to: Tom & Jerry", STATE_SYSTEM_READONLY}};
  for (size_t I = 0; I < 3; ++I) {
    SCOPED_TRACE(Expected[I].Label);
    const TSimpleChild& S = C.Simple[I];
    EXPECT_EQ(S.Name, Expected[I].Name) << "top to bottom, then left to right";
    EXPECT_EQ(S.Role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(S.State, Expected[I].State);
    EXPECT_TRUE(SameRect(S.Screen, OnScreen(*F.Label(Expected[I].Label)))) << "the label's bounds on the screen";
  }
  // The first child is the title; the button comes last, below everything.
  EXPECT_EQ(C.Simple[0].Id, 1);

  TClient Panel = ReadClient(dynamic_cast<TPanel*>(F.Form.FindComponent("Wait"))->Handle());
  ASSERT_EQ(Panel.Simple.size(), 1u);
  EXPECT_EQ(Panel.Simple[0].Name, "Please wait...");
  EXPECT_TRUE(SameRect(Panel.Simple[0].Screen, OnScreen(*F.Label("Busy"))));
}

TEST(Accessibility, PointingAtALabelFindsItAndItsNeighboursAreReachable) {
  TLabelledForm F;
  TClient C = ReadClient(F.Form.Handle());
  ASSERT_TRUE(C.Object);
  ASSERT_FALSE(C.Simple.empty());
  const RECT Title = OnScreen(*F.Label("Title"));
  VARIANT Hit;
  VariantInit(&Hit);
  ASSERT_EQ(C.Object->accHitTest(Title.left + 2, Title.top + 2, &Hit), S_OK);
  ASSERT_EQ(Hit.vt, VT_I4);
  EXPECT_EQ(Hit.lVal, C.Simple[0].Id);
  // Where nothing is painted, the form itself.
  RECT Client;
  GetClientRect(F.Form.Handle(), &Client);
  POINT Empty{Client.right - 5, 60};
  ClientToScreen(F.Form.Handle(), &Empty);
  VariantInit(&Hit);
  ASSERT_EQ(C.Object->accHitTest(Empty.x, Empty.y, &Hit), S_OK);
  ASSERT_EQ(Hit.vt, VT_I4);
  EXPECT_EQ(Hit.lVal, CHILDID_SELF);

  VARIANT Next;
  VariantInit(&Next);
  ASSERT_EQ(C.Object->accNavigate(NAVDIR_NEXT, Child(1), &Next), S_OK);
  ASSERT_EQ(Next.vt, VT_I4);
  BSTR Name = nullptr;
  C.Object->get_accName(Next, &Name);
  EXPECT_EQ(Narrow(Name), "Greyed");
  VARIANT First;
  VariantInit(&First);
  ASSERT_EQ(C.Object->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &First), S_OK);
  EXPECT_EQ(First.vt, VT_I4);
  EXPECT_EQ(C.Object->get_accName(Child(C.Count + 1), &Name), E_INVALIDARG);
}

TEST(Accessibility, ALabelShownLaterOrRenamedIsReadAsItIsNow) {
  TLabelledForm F;
  F.Label("Later")->Show();
  F.Label("Title")->SetCaption("Brisko 2.0");
  TClient C = ReadClient(F.Form.Handle());
  std::vector<std::string> Names;
  for (const TSimpleChild& S : C.Simple) Names.push_back(S.Name);
  EXPECT_EQ(Names, (std::vector<std::string>{"Brisko 2.0", "Greyed", "Install to: Tom & Jerry", "Not yet"}));
  // An object a screen reader kept outlives the form's window without harm.
  TComPtr<IAccessible> Kept = std::move(C.Object);
  F.Form.DestroyHandle();
  long Count = -1;
  EXPECT_NE(Kept->get_accChildCount(&Count), S_OK);
}

}  // namespace
