#include "gui/guiclasses.h"

#include "gui/buttons.h"
#include "gui/comctrls.h"
#include "gui/dbgrids.h"
#include "gui/extctrls.h"
#include "gui/grids.h"
#include "gui/pagectrls.h"
#include "gui/stdctrls.h"
#include "gui/toolbars.h"

void RegisterGuiClasses() {
  static const bool Registered = [] {
    const TClassInfo* Classes[] = {
        &TButton::StaticClassInfo(),   &TBitBtn::StaticClassInfo(),   &TCheckBox::StaticClassInfo(),
        &TRadioButton::StaticClassInfo(), &TEdit::StaticClassInfo(),   &TMemo::StaticClassInfo(),
        &TComboBox::StaticClassInfo(), &TLabel::StaticClassInfo(),    &TGroupBox::StaticClassInfo(),
        &TPanel::StaticClassInfo(),    &TImage::StaticClassInfo(),    &TTimer::StaticClassInfo(),
        &TStatusBar::StaticClassInfo(), &THeaderControl::StaticClassInfo(), &TListView::StaticClassInfo(),
        &TToolBar::StaticClassInfo(),  &TToolButton::StaticClassInfo(), &TPageControl::StaticClassInfo(),
        &TTabSheet::StaticClassInfo(), &TStringGrid::StaticClassInfo(), &TDBGrid::StaticClassInfo(),
        &TDataSource::StaticClassInfo(),
    };
    for (const TClassInfo* C : Classes) RegisterComponentClass(*C);
    return true;
  }();
  (void)Registered;
}
