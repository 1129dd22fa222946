// What the tests of the status bar, header control and list view share: a form
// with one of each read from its resource, and what their comctl32 windows hold.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "gui/comctrls.h"
#include "gui/forms.h"
#include "gui/guiclasses.h"

namespace comctrlstest {

inline std::string PanelText(TStatusBar& Bar, int Index) {
  char Buffer[256] = {};
  LRESULT R = SendMessageA(Bar.Handle(), SB_GETTEXTLENGTHA, Index, 0);
  if (LOWORD(R) >= sizeof Buffer) return "<too long>";
  SendMessageA(Bar.Handle(), SB_GETTEXTA, Index, reinterpret_cast<LPARAM>(Buffer));
  return Buffer;
}

inline std::vector<int> PanelEdges(TStatusBar& Bar) {
  int Edges[16];
  int N = static_cast<int>(SendMessageA(Bar.Handle(), SB_GETPARTS, 16, reinterpret_cast<LPARAM>(Edges)));
  return std::vector<int>(Edges, Edges + N);
}

inline std::pair<std::string, int> SectionOf(THeaderControl& Header, int Index) {
  char Buffer[256] = {};
  HDITEMA Item{};
  Item.mask = HDI_TEXT | HDI_WIDTH;
  Item.pszText = Buffer;
  Item.cchTextMax = sizeof Buffer;
  if (!SendMessageA(Header.Handle(), HDM_GETITEMA, Index, reinterpret_cast<LPARAM>(&Item))) return {"<none>", -1};
  return {Buffer, Item.cxy};
}

inline std::pair<std::string, int> ColumnOf(TListView& View, int Index) {
  char Buffer[256] = {};
  LVCOLUMNA Item{};
  Item.mask = LVCF_TEXT | LVCF_WIDTH;
  Item.pszText = Buffer;
  Item.cchTextMax = sizeof Buffer;
  if (!SendMessageA(View.Handle(), LVM_GETCOLUMNA, Index, reinterpret_cast<LPARAM>(&Item))) return {"<none>", -1};
  return {Buffer, Item.cx};
}

inline int HeaderCount(THeaderControl& Header) {
  return static_cast<int>(SendMessageA(Header.Handle(), HDM_GETITEMCOUNT, 0, 0));
}

inline const char* const FormText = R"(object Form1: TForm
  Left = 10
  Top = 10
  Width = 400
  Height = 300
  Caption = 'Common controls'
  object HeaderControl1: THeaderControl
    Sections = <
      item
        Text = 'Name'
        Width = 120
      end
      item
        Text = 'Size'
      end>
  end
  object ListView1: TListView
    Left = 8
    Top = 24
    Width = 300
    Height = 150
    ViewStyle = vsReport
    Columns = <
      item
        Caption = 'File'
        Width = 100
      end
      item
        Caption = 'Folder'
        Width = 140
      end>
  end
  object StatusBar1: TStatusBar
    Panels = <
      item
        Text = 'Ready'
        Width = 80
      end
      item
        Text = 'Line 1'
      end>
  end
end
)";

class ComCtrls : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterGuiClasses();
    Form = new TForm(nullptr);
    Form->InitializeForm(FormText);
    Form->Show();
    Bar = dynamic_cast<TStatusBar*>(Form->FindComponent("StatusBar1"));
    Header = dynamic_cast<THeaderControl*>(Form->FindComponent("HeaderControl1"));
    View = dynamic_cast<TListView*>(Form->FindComponent("ListView1"));
    ASSERT_TRUE(Bar && Header && View);
  }
  void TearDown() override { delete Form; }
  TForm* Form = nullptr;
  TStatusBar* Bar = nullptr;
  THeaderControl* Header = nullptr;
  TListView* View = nullptr;
};

}  // namespace comctrlstest
