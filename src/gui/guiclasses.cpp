#include "gui/guiclasses.h"

#include "gui/buttons.h"
#include "gui/comctrls.h"
#include "gui/extctrls.h"
#include "gui/stdctrls.h"

void RegisterGuiClasses() {
  static const bool Registered = [] {
    const TClassInfo* Classes[] = {
        &TButton::StaticClassInfo(),   &TBitBtn::StaticClassInfo(),   &TCheckBox::StaticClassInfo(),
        &TRadioButton::StaticClassInfo(), &TEdit::StaticClassInfo(),   &TMemo::StaticClassInfo(),
        &TComboBox::StaticClassInfo(), &TLabel::StaticClassInfo(),    &TGroupBox::StaticClassInfo(),
        &TPanel::StaticClassInfo(),    &TImage::StaticClassInfo(),    &TTimer::StaticClassInfo(),
        &TStatusBar::StaticClassInfo(), &THeaderControl::StaticClassInfo(), &TListView::StaticClassInfo(),
    };
    for (const TClassInfo* C : Classes) RegisterComponentClass(*C);
    return true;
  }();
  (void)Registered;
}
