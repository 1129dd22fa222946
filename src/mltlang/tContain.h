// The streamable object container and the class registry its stream format
// depends on. Every element of a container stream is written as its class name
// followed by the record of that class; a stream can be read back only when every
// class it names is registered here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "classes/persistent.h"
#include "classes/sysutils.h"

class TStream;

// Tag of the constructors that make blank instances for the stream reader: every
// field zero, null or empty, and none of the class's own construction steps run.
// The class's record reader creates whatever it finds absent.
struct TBlank {
  explicit TBlank() = default;
};

// An ordered, optionally owning list of object references with a 16-bit count,
// range-checked access and a binary stream form. As the value of a published
// property it stores itself in a form resource as the binary property
// "ObjectContainer".
class TObjectList : public TPersistent {
  DECLARE_CLASS(TObjectList)
public:
  static constexpr int MaxListSize = 16383;

  TObjectList();
  ~TObjectList() override;
  static TObject* CreateBlank();

  bool OwnsObjects() const { return OwnsObjects_; }
  void SetOwnsObjects(bool Value) { OwnsObjects_ = Value; }
  int Count() const { return Count_; }
  int Capacity() const { return Capacity_; }

  // Raises EListError "tObjectList Index Eror!".
  [[noreturn]] virtual void Error() const;
  // Enlarges Capacity by one step: 4, 8, 16, 32, 48, 64, ...
  virtual void Grow();
  // Replaces the element at Index without freeing the previous one.
  virtual void Put(int Index, TObject* Item);
  // Frees Item when the list owns its elements.
  virtual void FreeItem(TObject* Item);
  virtual int Add(TObject* Item);
  // Empties the list and releases its array; frees no element.
  virtual void Clear();
  // Index of the first slot holding exactly Item, -1 when none.
  virtual int IndexOf(const TObject* Item) const;
  virtual void Insert(int Index, TObject* Item);
  // Appends the elements of a container stream and takes its owning flag; a
  // list that reads elements owns them whatever the flag says.
  virtual void ReadData(TStream& Stream);
  virtual void WriteData(TStream& Stream) const;
  virtual TObject* First() const;
  virtual TObject* Last() const;
  // The element after (Forward) or before Item, null at either end; for a null
  // Item the first or the last element. Raises EListError when Item is not here.
  virtual TObject* Neighbour(const TObject* Item, bool Forward) const;

  TObject* Get(int Index) const;
  TObject* operator[](int Index) const { return Get(Index); }
  // Removes the slot at Index without freeing its element.
  void Delete(int Index);
  // FreeItem on every slot, then Clear.
  void FreeAll();
  // Removes every slot that holds null.
  void Pack();
  void SetCapacity(int NewCapacity);
  // Grows with null slots or shrinks without freeing.
  void SetCount(int NewCount);

  void DefineProperties(TFiler& Filer) override;

protected:
  explicit TObjectList(TBlank);

private:
  bool OwnsObjects_ = false;
  std::unique_ptr<TObject*[]> Items_;
  int16_t Count_ = 0;
  int16_t Capacity_ = 0;
};

// --- The class registry -----------------------------------------------------------

using TBlankFactory = TObject* (*)();
using TLoadProc = void (*)(TObject& Obj, TStream& Stream);
using TStoreProc = void (*)(const TObject& Obj, TStream& Stream);

// One registered class: how to make a blank instance of it and the procedures
// that read and write its record. Reading and writing an element always uses the
// entry of its exact class name, never a virtual call on the element.
class tRegisterRec : public TObject {
public:
  tRegisterRec(const TClassInfo& Class, TBlankFactory Blank, TLoadProc Load, TStoreProc Store)
      : ObjClass(&Class), CreateBlank(Blank), LoadProc(Load), StoreProc(Store) {}
  const TClassInfo* ObjClass;
  TBlankFactory CreateBlank;
  TLoadProc LoadProc;
  TStoreProc StoreProc;
};

// Adds the class under its name (compared ignoring case); a name registered
// before keeps its first entry.
void RegisterStreamClass(const TClassInfo& ObjClass, TBlankFactory CreateBlank, TLoadProc LoadProc,
                         TStoreProc StoreProc);

// The entry for Name cut to its first 63 characters; null when there is none.
const tRegisterRec* FindStreamClass(std::string_view Name);

// One element: the class-name length byte, the name, the class's record.
void WriteObject(const TObject* Object, TStream& Stream);
// Reads one element and returns the new object, owned by the caller.
std::unique_ptr<TObject> ReadObject(TStream& Stream);
// A deep copy made through the stream form: written and read back.
std::unique_ptr<TObject> CloneObject(const TObject* Object);

// A record has 32 bits for a reference it does not own (an item's component),
// too few for a pointer. While CloneObject runs, a writer exchanges such a
// reference for a small token and the reader of the copy redeems it. At any other
// time the token is 0 and nothing is redeemed, so a record read from a form
// resource never comes back bound to a stale reference.
int32_t CloneRefToken(TObject* Ref);
TObject* CloneRefFromToken(int32_t Token);
