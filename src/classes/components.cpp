#include "classes/components.h"

#include <algorithm>

#include "classes/sysutils.h"

BEGIN_CLASS_INFO(TComponent, TPersistent, nullptr)
  P.Str("Name", &TComponent::Name, &TComponent::SetName);
  P.Int("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
END_CLASS_INFO

namespace {
bool IsIdent(const std::string& S) {
  if (S.empty()) return false;
  for (size_t I = 0; I < S.size(); ++I) {
    char C = S[I];
    bool Alpha = (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_';
    bool Digit = C >= '0' && C <= '9';
    if (!(Alpha || (I > 0 && Digit))) return false;
  }
  return true;
}
}  // namespace

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) {
    // A component made while its owner is designed is designed too.
    if (AOwner->State_.Contains(csDesigning)) State_.Include(csDesigning);
    AOwner->InsertComponent(this);
  }
}

TComponent::~TComponent() {
  Destroying();
  // Tell everyone who asked, then forget them (they may be destroyed already by then).
  while (!FreeNotifies_.empty()) {
    TComponent* C = FreeNotifies_.back();
    FreeNotifies_.pop_back();
    C->RemoveNotification(this);
    C->Notification(this, opRemove);
  }
  DestroyComponents();
  if (Owner_) Owner_->RemoveComponent(this);
}

void TComponent::SetName(const std::string& NewName) {
  if (NewName == Name_) return;
  if (!NewName.empty() && !IsIdent(NewName))
    throw EComponentError(Format("''%s'' is not a valid component name", NewName));
  if (!NewName.empty() && Owner_) {
    TComponent* Other = Owner_->FindComponent(NewName);
    if (Other && Other != this) throw EComponentError(Format("A component named %s already exists", NewName));
  }
  Name_ = NewName;
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) throw EListError(Format(Msg::ListIndexError, Index));
  return Components_[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
  if (!Owner_) return -1;
  auto& L = Owner_->Components_;
  auto It = std::find(L.begin(), L.end(), this);
  return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

TComponent* TComponent::FindComponent(std::string_view Name) const {
  if (Name.empty()) return nullptr;
  for (TComponent* C : Components_)
    if (SameText(C->Name_, Name)) return C;
  return nullptr;
}

void TComponent::SetDesigning(bool Value) {
  if (Value) State_.Include(csDesigning);
  else State_.Exclude(csDesigning);
  for (TComponent* C : Components_) C->SetDesigning(Value);
}

void TComponent::InsertComponent(TComponent* C) {
  if (C->Owner_) C->Owner_->RemoveComponent(C);
  if (!C->Name_.empty() && FindComponent(C->Name_))
    throw EComponentError(Format("A component named %s already exists", C->Name_));
  Components_.push_back(C);
  C->Owner_ = this;
  // Every component of the owner hears of the newcomer, and so does the owner.
  for (size_t I = 0; I < Components_.size(); ++I)
    if (Components_[I] != C) Components_[I]->Notification(C, opInsert);
  Notification(C, opInsert);
}

void TComponent::RemoveComponent(TComponent* C) {
  auto It = std::find(Components_.begin(), Components_.end(), C);
  if (It == Components_.end()) return;
  Notification(C, opRemove);
  It = std::find(Components_.begin(), Components_.end(), C);
  if (It != Components_.end()) Components_.erase(It);
  C->Owner_ = nullptr;
  for (size_t I = 0; I < Components_.size(); ++I) Components_[I]->Notification(C, opRemove);
}

void TComponent::DestroyComponents() {
  while (!Components_.empty()) {
    TComponent* C = Components_.back();
    RemoveComponent(C);
    delete C;
  }
}

void TComponent::Destroying() {
  if (State_.Contains(csDestroying)) return;
  State_.Include(csDestroying);
  for (TComponent* C : Components_) C->Destroying();
}

void TComponent::FreeNotification(TComponent* C) {
  if (!C || C == this) return;
  if (std::find(FreeNotifies_.begin(), FreeNotifies_.end(), C) == FreeNotifies_.end()) {
    FreeNotifies_.push_back(C);
    C->FreeNotification(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* C) {
  RemoveNotification(C);
  C->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* C) {
  FreeNotifies_.erase(std::remove(FreeNotifies_.begin(), FreeNotifies_.end(), C), FreeNotifies_.end());
}

void TComponent::Loaded() { State_.Exclude(csLoading); }

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove) RemoveNotification(AComponent);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  // Only the root writes the components it owns that live in no parent.
  if (Root != this) return;
  for (TComponent* C : std::vector<TComponent*>(Components_))
    if (!C->HasParent()) Proc(C);
}

void TComponent::SetReading(bool Value) {
  if (Value) State_.Include(csReading);
  else State_.Exclude(csReading);
}

void TComponent::SetLoading(bool Value) {
  if (Value) State_.Include(csLoading);
  else State_.Exclude(csLoading);
}

void TComponent::SetWriting(bool Value) {
  if (Value) State_.Include(csWriting);
  else State_.Exclude(csWriting);
}

BEGIN_CLASS_INFO(TCollectionItem, TPersistent, nullptr)
END_CLASS_INFO

TCollectionItem::TCollectionItem(TCollection* Collection) : Collection_(Collection) {}

TCollectionItem::~TCollectionItem() {
  if (Collection_) {
    auto& L = Collection_->Items_;
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
    Collection_->Changed(nullptr);
  }
}

int TCollectionItem::Index() const {
  if (!Collection_) return -1;
  auto& L = Collection_->Items_;
  auto It = std::find(L.begin(), L.end(), this);
  return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TCollectionItem::Changed() {
  if (Collection_) Collection_->Changed(this);
}

BEGIN_CLASS_INFO(TCollection, TPersistent, nullptr)
END_CLASS_INFO

TCollection::TCollection(TItemFactory Factory, TPersistent* Owner) : Factory_(std::move(Factory)), Owner_(Owner) {}

TCollection::~TCollection() {
  OnUpdate = nullptr;
  Clear();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(Msg::ListIndexError, Index));
  return Items_[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::Add() { return Insert(Count()); }

TCollectionItem* TCollection::Insert(int Index) {
  if (Index < 0 || Index > Count()) throw EListError(Format(Msg::ListIndexError, Index));
  TCollectionItem* Item = Factory_(this);
  Item->Collection_ = this;
  Items_.insert(Items_.begin() + Index, Item);
  Changed(nullptr);
  return Item;
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear() {
  if (Items_.empty()) return;
  BeginUpdate();
  while (!Items_.empty()) delete Items_.back();
  EndUpdate();
}

void TCollection::BeginUpdate() { ++UpdateCount_; }

void TCollection::EndUpdate() {
  if (UpdateCount_ > 0 && --UpdateCount_ == 0) Changed(nullptr);
}

void TCollection::Assign(const TPersistent* Source) {
  auto* S = dynamic_cast<const TCollection*>(Source);
  if (!S) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  Clear();
  for (TCollectionItem* Item : S->Items_) Add()->Assign(Item);
  EndUpdate();
}

void TCollection::Changed(TCollectionItem* Item) {
  if (UpdateCount_ == 0 && OnUpdate) OnUpdate(Item);
}
