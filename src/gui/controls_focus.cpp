// TWinControl: tab order and focus.
#include "gui/controls.h"

#include <algorithm>

int TWinControl::TabOrder() const {
  if (!Parent_) return TabOrderWanted_;
  auto& L = Parent_->TabList_;
  auto It = std::find(L.begin(), L.end(), this);
  return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (!Parent_ || IsReading() || Parent_->IsReading()) {
    TabOrderWanted_ = Value;
    return;
  }
  auto& L = Parent_->TabList_;
  L.erase(std::remove(L.begin(), L.end(), this), L.end());
  if (Value < 0 || Value > static_cast<int>(L.size())) Value = static_cast<int>(L.size());
  L.insert(L.begin() + Value, this);
}

void TWinControl::FixupTabList() {
  std::vector<std::pair<int, TWinControl*>> Keyed;
  for (size_t I = 0; I < TabList_.size(); ++I) {
    TWinControl* C = TabList_[I];
    Keyed.emplace_back(C->TabOrderWanted_ >= 0 ? C->TabOrderWanted_ : static_cast<int>(I), C);
    C->TabOrderWanted_ = -1;
  }
  std::stable_sort(Keyed.begin(), Keyed.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  for (size_t I = 0; I < Keyed.size(); ++I) TabList_[I] = Keyed[I].second;
}

void TWinControl::SetTabStop(bool Value) {
  if (Value == TabStop_) return;
  TabStop_ = Value;
  if (Handle_) {
    LONG_PTR Style = GetWindowLongPtrA(Handle_, GWL_STYLE);
    SetWindowLongPtrA(Handle_, GWL_STYLE, Value ? (Style | WS_TABSTOP) : (Style & ~WS_TABSTOP));
  }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
  for (TWinControl* C : TabList_) {
    List.push_back(C);
    C->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
  std::vector<TWinControl*> List;
  GetTabOrderList(List);
  const int N = static_cast<int>(List.size());
  if (N == 0) return nullptr;
  auto It = std::find(List.begin(), List.end(), Current);
  int I = It == List.end() ? (GoForward ? -1 : N) : static_cast<int>(It - List.begin());
  for (int Step = 0; Step < N; ++Step) {
    I = GoForward ? (I + 1) % N : (I - 1 + N) % N;
    TWinControl* C = List[static_cast<size_t>(I)];
    if (C == Current) break;
    if (C->CanFocus() && (!CheckTabStop || C->TabStop_) && (!CheckParent || C->Parent_ == this)) return C;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop) {
  if (TWinControl* C = FindNextControl(Current, GoForward, CheckTabStop, false)) C->SetFocus();
}

bool TWinControl::CanFocus() const {
  for (const TControl* C = this; C; C = C->Parent_)
    if (!C->Visible_ || !C->Enabled_) return false;
  return true;
}

bool TWinControl::Focused() const {
  HWND F = GetFocus();
  if (!Handle_ || !F) return false;
  return F == Handle_ || (GetParent(F) == Handle_ && !FromHandle(F));
}

void TWinControl::SetFocus() {
  TControlHost* Host = ControlHost(this);
  if (Host && Host != dynamic_cast<TControlHost*>(this)) {
    Host->SetActiveControl(this);
    return;
  }
  ::SetFocus(Handle());
}

void TWinControl::FocusReceived() {
  if (IsDestroying()) return;
  if (TControlHost* Host = ControlHost(this)) Host->FocusChanged(this);
  DoEnter();
}

void TWinControl::FocusLost() {
  if (!IsDestroying()) DoExit();
}
