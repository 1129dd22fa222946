// The status bar, header control and list view over the real comctl32 windows,
// read from a form resource, changed by code and by the user, and written back.
#include <gtest/gtest.h>

#include "classes/formstream.h"
#include "comctrls_testing.h"

using namespace comctrlstest;

namespace {

TEST_F(ComCtrls, ReadFromTheResourceIntoTheWindows) {
  ASSERT_TRUE(Bar->HandleAllocated() && Header->HandleAllocated() && View->HandleAllocated());
  EXPECT_EQ(PanelText(*Bar, 0), "Ready");
  EXPECT_EQ(PanelText(*Bar, 1), "Line 1");
  EXPECT_EQ(PanelEdges(*Bar), (std::vector<int>{80, -1})) << "the last panel fills the bar";
  EXPECT_EQ(Bar->Align(), alBottom);
  EXPECT_EQ(Bar->Top() + Bar->Height(), Form->ClientHeight());

  EXPECT_EQ(HeaderCount(*Header), 2);
  EXPECT_EQ(SectionOf(*Header, 0), (std::pair<std::string, int>{"Name", 120}));
  EXPECT_EQ(SectionOf(*Header, 1), (std::pair<std::string, int>{"Size", 50}));

  EXPECT_EQ(GetWindowLongPtrA(View->Handle(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_EQ(ColumnOf(*View, 0), (std::pair<std::string, int>{"File", 100}));
  EXPECT_EQ(ColumnOf(*View, 1), (std::pair<std::string, int>{"Folder", 140}));
  EXPECT_EQ(ColumnOf(*View, 2).second, -1);
}

TEST_F(ComCtrls, ChangesReachTheWindows) {
  Bar->Panels()->Items(0)->SetWidth(100);
  Bar->Panels()->Add()->SetText("Third");
  EXPECT_EQ(PanelEdges(*Bar), (std::vector<int>{100, 150, -1}));
  EXPECT_EQ(PanelText(*Bar, 2), "Third");

  Header->Sections()->Items(1)->SetText("Bytes");
  Header->Sections()->Delete(0);
  EXPECT_EQ(HeaderCount(*Header), 1);
  EXPECT_EQ(SectionOf(*Header, 0), (std::pair<std::string, int>{"Bytes", 50}));

  View->Columns()->Items(1)->SetCaption("Path");
  View->Columns()->Items(0)->SetWidth(60);
  EXPECT_EQ(ColumnOf(*View, 0), (std::pair<std::string, int>{"File", 60}));
  EXPECT_EQ(ColumnOf(*View, 1).first, "Path");
  View->Columns()->Clear();
  EXPECT_EQ(ColumnOf(*View, 0).second, -1);

  // Widths the user gives the windows come back to the items.
  HDITEMA Wide{};
  Wide.mask = HDI_WIDTH;
  Wide.cxy = 90;
  SendMessageA(Header->Handle(), HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Wide));
  EXPECT_EQ(Header->Sections()->Items(0)->Width(), 90);
  View->Columns()->Add()->SetCaption("Again");
  SendMessageA(View->Handle(), LVM_SETCOLUMNWIDTH, 0, 77);
  View->RecreateWnd();
  EXPECT_EQ(ColumnOf(*View, 0), (std::pair<std::string, int>{"Again", 77}));

  // And the form resource written back holds the collections.
  std::string Text = WriteComponent(*Form);
  EXPECT_NE(Text.find("Text = 'Third'"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Width = 90"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Caption = 'Again'"), std::string::npos) << Text;
}

}  // namespace
