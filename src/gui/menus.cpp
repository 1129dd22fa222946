#include "gui/menus.h"

#include <algorithm>

#include "classes/sysutils.h"
#include "gui/controls.h"
#include "gui/handles.h"

void RegisterMenusClasses() {
  RegisterComponentClass(TPopupMenu::StaticClassInfo());
  RegisterComponentClass(TMenuItem::StaticClassInfo());
}

BEGIN_CLASS_INFO(TMenuItem, TComponent, ComponentCreator<TMenuItem>)
  P.Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  P.Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false);
  P.Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true);
  P.Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true);
  P.Event("OnClick", &TMenuItem::OnClick);
END_CLASS_INFO

TMenuItem::TMenuItem(TComponent* Owner) : TComponent(Owner) {}

TMenuItem::~TMenuItem() {
  for (TMenuItem* Item : Items_) Item->Parent_ = nullptr;
  if (Parent_) Parent_->Remove(this);
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(Msg::ListIndexError, Index));
  return Items_[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) {
  if (!Item || Item->Parent_ == this) return;
  if (Item->Parent_) Item->Parent_->Remove(Item);
  Item->Parent_ = this;
  Items_.push_back(Item);
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto It = std::find(Items_.begin(), Items_.end(), Item);
  if (It == Items_.end()) return;
  Items_.erase(It);
  Item->Parent_ = nullptr;
}

TComponent* TMenuItem::GetParentComponent() const {
  if (Parent_ && Parent_->Menu_) return Parent_->Menu_;
  return Parent_;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (auto* Item = dynamic_cast<TMenuItem*>(Value)) Item->Add(this);
  else if (auto* Menu = dynamic_cast<TPopupMenu*>(Value)) Menu->Items()->Add(this);
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TMenuItem* Item : std::vector<TMenuItem*>(Items_))
    if (Item->Owner() == Root) Proc(Item);
}

void TMenuItem::AppendTo(HMENU Menu, std::vector<TMenuItem*>& Commands) const {
  for (TMenuItem* Item : Items_) {
    if (!Item->Visible_) continue;
    if (Item->IsLine()) {
      AppendMenuA(Menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT Flags = MF_STRING | (Item->Enabled_ ? MF_ENABLED : MF_GRAYED) | (Item->Checked_ ? MF_CHECKED : 0);
    if (!Item->Items_.empty()) {
      HMENU Sub = CreatePopupMenu();
      Item->AppendTo(Sub, Commands);
      AppendMenuA(Menu, Flags | MF_POPUP, reinterpret_cast<UINT_PTR>(Sub), Item->Caption_.c_str());
      continue;
    }
    Commands.push_back(Item);
    AppendMenuA(Menu, Flags, Commands.size(), Item->Caption_.c_str());
  }
}

BEGIN_CLASS_INFO(TPopupMenu, TComponent, ComponentCreator<TPopupMenu>)
  P.Event("OnPopup", &TPopupMenu::OnPopup);
END_CLASS_INFO

TPopupMenu::TPopupMenu(TComponent* Owner) : TComponent(Owner), Items_(nullptr) { Items_.Menu_ = this; }

TPopupMenu::~TPopupMenu() {
  if (PopupComponent_) PopupComponent_->RemoveFreeNotification(this);
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (PopupComponent_ == Value) return;
  if (PopupComponent_) PopupComponent_->RemoveFreeNotification(this);
  PopupComponent_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == PopupComponent_) PopupComponent_ = nullptr;
}

void TPopupMenu::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  Items_.GetChildren(Proc, Root);
}

void TPopupMenu::Popup(int X, int Y) {
  OnPopup(this);
  TMenuHandle Menu(CreatePopupMenu());
  if (!Menu) return;
  std::vector<TMenuItem*> Commands;
  Items_.AppendTo(Menu.Get(), Commands);
  // The menu needs a window of this thread to report to.
  HWND Owner = nullptr;
  if (auto* Control = dynamic_cast<TWinControl*>(PopupComponent_)) Owner = Control->Handle();
  if (!Owner) Owner = GetActiveWindow();
  if (!Owner) return;
  UINT Command = TrackPopupMenu(Menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, X, Y, 0, Owner, nullptr);
  if (Command > 0 && Command <= Commands.size()) Commands[Command - 1]->Click();
}
