// gui/ layer 4 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Menus: items with a caption and an OnClick, nested into submenus, and the
// popup menu that shows them at a point of the screen (a right click's menu).
// Form resources hold a popup menu with its items nested inside it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "classes/components.h"

// Makes popup menus and their items known to the form reader (RegisterGuiClasses
// does).
void RegisterMenusClasses();

class TPopupMenu;

class TMenuItem : public TComponent {
  DECLARE_CLASS(TMenuItem)
public:
  explicit TMenuItem(TComponent* Owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return Caption_; }
  void SetCaption(const std::string& Value) { Caption_ = Value; }
  bool Enabled() const { return Enabled_; }
  void SetEnabled(bool Value) { Enabled_ = Value; }
  bool Checked() const { return Checked_; }
  void SetChecked(bool Value) { Checked_ = Value; }
  bool Visible() const { return Visible_; }
  void SetVisible(bool Value) { Visible_ = Value; }
  // "-" makes a separator line.
  bool IsLine() const { return Caption_ == "-"; }

  int Count() const { return static_cast<int>(Items_.size()); }
  TMenuItem* Items(int Index) const;
  // Makes Item a subitem (the last one); it leaves its former parent item.
  void Add(TMenuItem* Item);
  void Remove(TMenuItem* Item);
  TMenuItem* Parent() const { return Parent_; }

  virtual void Click() { OnClick(this); }
  TNotifyEvent OnClick;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

private:
  friend class TPopupMenu;
  // Appends the visible subitems to Menu; commands are numbered from Next on.
  void AppendTo(HMENU Menu, std::vector<TMenuItem*>& Commands) const;

  std::string Caption_;
  bool Enabled_ = true;
  bool Checked_ = false;
  bool Visible_ = true;
  TMenuItem* Parent_ = nullptr;  // not owned
  TPopupMenu* Menu_ = nullptr;   // the menu whose top-level item this is; not owned
  std::vector<TMenuItem*> Items_;  // not owned (their owner frees them)
};

class TPopupMenu : public TComponent {
  DECLARE_CLASS(TPopupMenu)
public:
  explicit TPopupMenu(TComponent* Owner);
  ~TPopupMenu() override;

  // The invisible root item; the menu's entries are its subitems.
  TMenuItem* Items() const { return const_cast<TMenuItem*>(&Items_); }
  // The component the menu was last shown for.
  TComponent* PopupComponent() const { return PopupComponent_; }
  void SetPopupComponent(TComponent* Value);

  // Shows the menu at a screen point and waits; the item the user picks is clicked
  // before it returns.
  virtual void Popup(int X, int Y);

  TNotifyEvent OnPopup;

  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TMenuItem Items_;
  TComponent* PopupComponent_ = nullptr;  // not owned
};
