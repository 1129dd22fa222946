// The three collection items translating the status bar, header control and list
// view over the real comctl32 windows.
#include <gtest/gtest.h>

#include "../gui/comctrls_testing.h"
#include "mltlang/Mltlang1.h"

using namespace comctrlstest;

namespace {

const TComponentState RunTime;

TEST_F(ComCtrls, CollectionItemsTranslateTheControls) {
  TCIStPanels Panels;
  Panels.SetControl(Bar);
  Panels.Fetch(0);
  Panels.SetStringList("Klaar", 2, 0);
  Panels.Apply(2, RunTime);
  EXPECT_EQ(PanelText(*Bar, 0), "Klaar");
  EXPECT_EQ(PanelText(*Bar, 1), "Line 1");

  TCIHdCtrl Sections;
  Sections.SetControl(Header);
  Sections.Fetch(0);
  Sections.SetStringList("Naam", 2, 0);
  Sections.SetStringList("Grootte", 2, 1);
  Sections.Apply(2, RunTime);
  EXPECT_EQ(SectionOf(*Header, 0).first, "Naam");
  EXPECT_EQ(SectionOf(*Header, 1).first, "Grootte");
  Sections.Apply(0, RunTime);
  EXPECT_EQ(SectionOf(*Header, 1).first, "Size");

  TCIListClmns Columns;
  Columns.SetControl(View);
  Columns.Fetch(0);
  EXPECT_EQ(Columns.ElemCount(), 2);
  Columns.SetStringList("Map", 2, 1);
  Columns.Apply(2, RunTime);
  EXPECT_EQ(ColumnOf(*View, 0).first, "File");
  EXPECT_EQ(ColumnOf(*View, 1).first, "Map");

  // Fewer columns than the item holds: the collection's index error.
  View->Columns()->Delete(1);
  EXPECT_THROW(Columns.Apply(2, RunTime), EListError);
}

}  // namespace
