#include "mltlang/tContain.h"

#include <algorithm>
#include <vector>

#include "classes/streams.h"
#include "classes/strings.h"
#include "classes/typinfo.h"

namespace {

constexpr size_t MaxClassName = 63;
// Stored forms nest elements two deep at most; the limit keeps a damaged stream
// that nests containers inside containers from exhausting the stack.
constexpr int MaxNesting = 32;

std::string_view CutName(std::string_view Name) { return Name.substr(0, std::min(Name.size(), MaxClassName)); }

// Sorted by name, ignoring case as sorted string lists do; owns its entries.
TStringList& Registry() {
  static struct TRegistry {
    TRegistry() {
      List.SetSorted(true);
      List.SetDuplicates(dupIgnore);
      List.SetOwnsObjects(true);
    }
    TStringList List;
  } R;
  return R.List;
}

thread_local int ReadDepth = 0;

struct TCloneScope {
  std::vector<TObject*> Refs;
  TCloneScope* Outer;
};
thread_local TCloneScope* CurrentClone = nullptr;

}  // namespace

// --- TObjectList -------------------------------------------------------------------

BEGIN_CLASS_INFO(TObjectList, TPersistent, nullptr)
END_CLASS_INFO

TObjectList::TObjectList() : OwnsObjects_(true) {}

TObjectList::TObjectList(TBlank) {}

TObject* TObjectList::CreateBlank() { return new TObjectList(TBlank{}); }

TObjectList::~TObjectList() {
  FreeAll();
  Clear();
}

void TObjectList::Error() const { throw EListError("tObjectList Index Eror!"); }

void TObjectList::Grow() {
  int Step = Capacity_ > 8 ? 16 : Capacity_ > 4 ? 8 : 4;
  SetCapacity(Capacity_ + Step);
}

TObject* TObjectList::Get(int Index) const {
  if (Index < 0 || Index >= Count_) Error();
  return Items_[Index];
}

void TObjectList::Put(int Index, TObject* Item) {
  if (Index < 0 || Index >= Count_) Error();
  Items_[Index] = Item;
}

void TObjectList::FreeItem(TObject* Item) {
  if (OwnsObjects_) delete Item;
}

int TObjectList::Add(TObject* Item) {
  if (Count_ == Capacity_) Grow();
  Items_[Count_] = Item;
  return Count_++;
}

void TObjectList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

int TObjectList::IndexOf(const TObject* Item) const {
  for (int I = 0; I < Count_; ++I)
    if (Items_[I] == Item) return I;
  return -1;
}

void TObjectList::Insert(int Index, TObject* Item) {
  if (Index < 0 || Index > Count_) Error();
  if (Count_ == Capacity_) Grow();
  std::move_backward(Items_.get() + Index, Items_.get() + Count_, Items_.get() + Count_ + 1);
  Items_[Index] = Item;
  ++Count_;
}

void TObjectList::Delete(int Index) {
  if (Index < 0 || Index >= Count_) Error();
  --Count_;
  std::move(Items_.get() + Index + 1, Items_.get() + Count_ + 1, Items_.get() + Index);
}

TObject* TObjectList::First() const { return Get(0); }

TObject* TObjectList::Last() const { return Get(Count_ - 1); }

TObject* TObjectList::Neighbour(const TObject* Item, bool Forward) const {
  if (!Item) return Forward ? First() : Last();
  int I = IndexOf(Item);
  if (I < 0) throw EListError(Format("tObject %s not in item list", Item->ClassName()));
  int J = Forward ? I + 1 : I - 1;
  return J < 0 || J >= Count_ ? nullptr : Items_[J];
}

void TObjectList::FreeAll() {
  for (int I = 0; I < Count_; ++I) FreeItem(Items_[I]);
  Clear();
}

void TObjectList::Pack() {
  for (int I = Count_ - 1; I >= 0; --I)
    if (!Items_[I]) Delete(I);
}

void TObjectList::SetCapacity(int NewCapacity) {
  if (NewCapacity == Capacity_) return;
  if (NewCapacity < Count_ || NewCapacity > MaxListSize) Error();
  std::unique_ptr<TObject*[]> New;
  if (NewCapacity > 0) {
    New.reset(new TObject*[NewCapacity]);
    if (Count_ > 0) std::copy(Items_.get(), Items_.get() + Count_, New.get());
  }
  Items_ = std::move(New);
  Capacity_ = static_cast<int16_t>(NewCapacity);
}

void TObjectList::SetCount(int NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize) Error();
  if (NewCount > Capacity_) SetCapacity(NewCount);
  for (int I = Count_; I < NewCount; ++I) Items_[I] = nullptr;
  Count_ = static_cast<int16_t>(NewCount);
}

void TObjectList::ReadData(TStream& Stream) {
  OwnsObjects_ = Stream.ReadByte() != 0;
  int N = Stream.ReadInt16();
  if (N < 0) throw EReadError(Msg::ReadError);
  // What the reader makes belongs to nobody else: a stream that says "not
  // owning" but holds elements would leave them to be lost.
  if (N > 0) OwnsObjects_ = true;
  if (Capacity_ - Count_ < N) {
    if (Count_ + N > MaxListSize) Error();
    // Every element takes at least one byte: a count the stream cannot back
    // reserves nothing and fails at the stream's end instead.
    if (N <= Stream.Remaining()) SetCapacity(Count_ + N);
  }
  for (int I = 0; I < N; ++I) {
    std::unique_ptr<TObject> Obj = ReadObject(Stream);
    Add(Obj.get());
    Obj.release();
  }
}

void TObjectList::WriteData(TStream& Stream) const {
  Stream.WriteByte(OwnsObjects_ ? 1 : 0);
  Stream.WriteInt16(Count_);
  for (int I = 0; I < Count_; ++I) WriteObject(Items_[I], Stream);
}

void TObjectList::DefineProperties(TFiler& Filer) {
  TPersistent::DefineProperties(Filer);
  Filer.DefineBinaryProperty(
      "ObjectContainer", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, Count_ > 0);
}

// --- Registry -------------------------------------------------------------------------

void RegisterStreamClass(const TClassInfo& ObjClass, TBlankFactory CreateBlank, TLoadProc LoadProc,
                         TStoreProc StoreProc) {
  // Kept under the name as streams carry it, so that a long name finds itself.
  std::string Name(CutName(ObjClass.Name()));
  int Index;
  if (Registry().Find(Name, Index)) return;
  Registry().AddObject(Name, new tRegisterRec(ObjClass, CreateBlank, LoadProc, StoreProc));
}

const tRegisterRec* FindStreamClass(std::string_view Name) {
  int Index;
  if (!Registry().Find(std::string(CutName(Name)), Index)) return nullptr;
  return static_cast<const tRegisterRec*>(Registry().GetObject(Index));
}

void WriteObject(const TObject* Object, TStream& Stream) {
  if (!Object) throw EClassNotFound("Nil Source Class!");
  std::string Name(CutName(Object->ClassName()));
  const tRegisterRec* Entry = FindStreamClass(Name);
  // Another class whose name differs only in case, or shares the first 63
  // characters, is not the registered one: its procedures would misread it.
  if (!Entry || Entry->ObjClass != &Object->ClassInfo())
    throw EClassNotFound(Format("Source Class <%s> not registered", Name));
  Stream.WriteByte(static_cast<uint8_t>(Name.size()));
  Stream.WriteBuffer(Name.data(), static_cast<int64_t>(Name.size()));
  Entry->StoreProc(*Object, Stream);
}

std::unique_ptr<TObject> ReadObject(TStream& Stream) {
  size_t Length = Stream.ReadByte();
  if (Length > MaxClassName) throw EReadError(Msg::ReadError);
  std::string Name(Length, '\0');
  Stream.ReadBuffer(Name.data(), static_cast<int64_t>(Length));
  const tRegisterRec* Entry = FindStreamClass(Name);
  if (!Entry) throw EClassNotFound(Format("Class <%s> not registered", Name));
  if (ReadDepth >= MaxNesting) throw EReadError(Msg::ReadError);
  struct TDepth {
    TDepth() { ++ReadDepth; }
    ~TDepth() { --ReadDepth; }
  } Depth;
  std::unique_ptr<TObject> Obj(Entry->CreateBlank());
  Entry->LoadProc(*Obj, Stream);
  return Obj;
}

std::unique_ptr<TObject> CloneObject(const TObject* Object) {
  if (!Object) throw EClassNotFound("Nil Source Class!");
  TCloneScope Scope{{}, CurrentClone};
  CurrentClone = &Scope;
  struct TRestore {
    TCloneScope& S;
    ~TRestore() { CurrentClone = S.Outer; }
  } Restore{Scope};
  TMemoryStream Stream;
  WriteObject(Object, Stream);
  Stream.SetPosition(0);
  return ReadObject(Stream);
}

int32_t CloneRefToken(TObject* Ref) {
  if (!CurrentClone || !Ref) return 0;
  auto& Refs = CurrentClone->Refs;
  auto It = std::find(Refs.begin(), Refs.end(), Ref);
  if (It == Refs.end()) It = Refs.insert(Refs.end(), Ref);
  return static_cast<int32_t>(It - Refs.begin()) + 1;
}

TObject* CloneRefFromToken(int32_t Token) {
  if (!CurrentClone || Token <= 0 || static_cast<size_t>(Token) > CurrentClone->Refs.size()) return nullptr;
  return CurrentClone->Refs[static_cast<size_t>(Token) - 1];
}
