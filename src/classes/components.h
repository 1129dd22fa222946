// Components: named persistent objects in an ownership tree. An owner frees what
// it owns and tells its components when one is inserted or removed; the form
// reader and writer walk the tree. Collections: owned lists of persistent items
// (status-bar panels, header sections, list-view columns).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classes/persistent.h"
#include "classes/sets.h"
#include "classes/typinfo.h"

enum TComponentStateFlag { csLoading, csReading, csWriting, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateFlag>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
  DECLARE_CLASS(TComponent)
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return Owner_; }
  const std::string& Name() const { return Name_; }
  // Raises EComponentError for a name that is not an identifier or that another
  // component of the same owner already has (names compare without case).
  virtual void SetName(const std::string& NewName);
  int Tag() const { return Tag_; }
  void SetTag(int V) { Tag_ = V; }

  int ComponentCount() const { return static_cast<int>(Components_.size()); }
  TComponent* Components(int Index) const;
  // Position among the owner's components; -1 without an owner.
  int ComponentIndex() const;
  TComponent* FindComponent(std::string_view Name) const;

  const TComponentState& ComponentState() const { return State_; }
  // Switches design state for this component and every component it owns.
  void SetDesigning(bool Value);

  void InsertComponent(TComponent* C);
  void RemoveComponent(TComponent* C);
  // Frees every owned component, the last first.
  void DestroyComponents();
  // Marks the component and what it owns as being destroyed.
  void Destroying();

  // Asks for a Notification(this, opRemove) to C when this component goes,
  // whoever owns it.
  void FreeNotification(TComponent* C);
  void RemoveFreeNotification(TComponent* C);

  // Called once the whole form holding this component has been read.
  virtual void Loaded();
  virtual void Notification(TComponent* AComponent, TOperation Operation);

  // Form reading and writing. A component that lives inside another in the
  // resource (a control in its parent) has a parent component; GetChildren
  // lists what is written nested inside this one, for the given root.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* Value) {}
  virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root);

  // Used by the form reader and writer around their work.
  void SetReading(bool Value);
  void SetLoading(bool Value);
  void SetWriting(bool Value);

protected:
  TComponentState State_;

private:
  void RemoveNotification(TComponent* C);

  TComponent* Owner_ = nullptr;
  std::string Name_;
  int Tag_ = 0;
  std::vector<TComponent*> Components_;
  std::vector<TComponent*> FreeNotifies_;
};

// Creator for the class information of a component class.
template <class T>
TComponent* ComponentCreator(TComponent* Owner) {
  return new T(Owner);
}

class TCollection;

// One item of a collection, freed by it.
class TCollectionItem : public TPersistent {
  DECLARE_CLASS(TCollectionItem)
public:
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;
  TCollection* Collection() const { return Collection_; }
  int Index() const;

protected:
  // Tells the collection (and through it its owner) that this item changed.
  void Changed();

private:
  friend class TCollection;
  TCollection* Collection_;
};

class TCollection : public TPersistent {
  DECLARE_CLASS(TCollection)
public:
  using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
  TCollection(TItemFactory Factory, TPersistent* Owner = nullptr);
  ~TCollection() override;

  int Count() const { return static_cast<int>(Items_.size()); }
  // Raises EListError "List index out of bounds (%d)".
  TCollectionItem* Items(int Index) const;
  TCollectionItem* Add();
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  TPersistent* Owner() const { return Owner_; }

  void Assign(const TPersistent* Source) override;

  // Runs whenever an item is added, removed or changed (Item null: many changed),
  // unless updates are held.
  std::function<void(TCollectionItem* Item)> OnUpdate;

private:
  friend class TCollectionItem;
  void Changed(TCollectionItem* Item);

  TItemFactory Factory_;
  TPersistent* Owner_;
  std::vector<TCollectionItem*> Items_;
  int UpdateCount_ = 0;
};
