#include "classes/strings.h"

#include <algorithm>

#include "classes/sysutils.h"

BEGIN_CLASS_INFO(TStrings, TPersistent, nullptr)
END_CLASS_INFO

BEGIN_CLASS_INFO(TStringList, TStrings, nullptr)
END_CLASS_INFO

void TStrings::Error(const char* Pattern, int Index) const { throw EStringListError(Format(Pattern, Index)); }

void TStrings::Put(int Index, const std::string& S) {
  TObject* Obj = GetObject(Index);
  Delete(Index);
  Insert(Index, S);
  PutObject(Index, Obj);
}

int TStrings::Add(const std::string& S) {
  int Index = Count();
  Insert(Index, S);
  return Index;
}

int TStrings::AddObject(const std::string& S, TObject* Obj) {
  int Index = Add(S);
  PutObject(Index, Obj);
  return Index;
}

void TStrings::AddStrings(const TStrings& Other) {
  BeginUpdate();
  for (int I = 0; I < Other.Count(); ++I) AddObject(Other.Get(I), Other.GetObject(I));
  EndUpdate();
}

int TStrings::IndexOf(const std::string& S) const {
  for (int I = 0; I < Count(); ++I)
    if (AnsiCompareText(Get(I), S) == 0) return I;
  return -1;
}

int TStrings::IndexOfObject(const TObject* Obj) const {
  for (int I = 0; I < Count(); ++I)
    if (GetObject(I) == Obj) return I;
  return -1;
}

std::string TStrings::Text() const {
  std::string R;
  for (int I = 0; I < Count(); ++I) R += Get(I) + "\r\n";
  return R;
}

void TStrings::SetText(const std::string& Text) {
  BeginUpdate();
  Clear();
  size_t Start = 0;
  while (Start < Text.size()) {
    size_t End = Text.find_first_of("\r\n", Start);
    if (End == std::string::npos) {
      Add(Text.substr(Start));
      break;
    }
    Add(Text.substr(Start, End - Start));
    Start = End + 1;
    if (Text[End] == '\r' && Start < Text.size() && Text[Start] == '\n') ++Start;
  }
  EndUpdate();
}

std::vector<std::string> TStrings::ToVector() const {
  std::vector<std::string> R;
  for (int I = 0; I < Count(); ++I) R.push_back(Get(I));
  return R;
}

void TStrings::BeginUpdate() {
  if (UpdateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (UpdateCount_ > 0 && --UpdateCount_ == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* Source) {
  if (auto* S = dynamic_cast<const TStrings*>(Source)) {
    if (S == this) return;
    BeginUpdate();
    Clear();
    AddStrings(*S);
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

void TStrings::DefineProperties(TFiler& Filer) {
  Filer.DefineProperty(
      "Strings",
      [this](const TFormValue& V) {
        if (V.Kind != TFormValue::vkList) throw EReadError("Invalid property value");
        BeginUpdate();
        Clear();
        for (const TFormValue& Line : V.List) {
          if (Line.Kind != TFormValue::vkString) {
            EndUpdate();
            throw EReadError("Invalid property value");
          }
          Add(Line.Str);
        }
        EndUpdate();
      },
      [this] {
        TFormValue V;
        V.Kind = TFormValue::vkList;
        for (int I = 0; I < Count(); ++I) V.List.push_back(TFormValue::String(Get(I)));
        return V;
      },
      Count() > 0);
}

TStringList::~TStringList() {
  if (OwnsObjects_)
    for (auto& It : Items_) delete It.Obj;
}

void TStringList::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index >= Limit) Error(Msg::ListIndexError, Index);
}

std::string TStringList::Get(int Index) const {
  CheckIndex(Index, Count());
  return Items_[static_cast<size_t>(Index)].S;
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index, Count());
  return Items_[static_cast<size_t>(Index)].Obj;
}

void TStringList::Put(int Index, const std::string& S) {
  if (Sorted_) throw EStringListError(Msg::SortedListError);
  CheckIndex(Index, Count());
  Items_[static_cast<size_t>(Index)].S = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* Obj) {
  CheckIndex(Index, Count());
  auto& Item = Items_[static_cast<size_t>(Index)];
  if (Item.Obj != Obj) FreeObject(Item.Obj);
  Item.Obj = Obj;
  Changed();
}

void TStringList::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const std::string& S, TObject* Obj) {
  if (Sorted_) throw EStringListError(Msg::SortedListError);
  CheckIndex(Index, Count() + 1);
  InsertItem(Index, S, Obj);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* Obj) {
  Items_.insert(Items_.begin() + Index, TItem{S, Obj});
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index, Count());
  TObject* Obj = Items_[static_cast<size_t>(Index)].Obj;
  Items_.erase(Items_.begin() + Index);
  FreeObject(Obj);
  Changed();
}

void TStringList::Clear() {
  if (Items_.empty()) return;
  std::vector<TItem> Old;
  Old.swap(Items_);
  for (auto& It : Old) FreeObject(It.Obj);
  Changed();
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* Obj) {
  int Index = Count();
  if (Sorted_) {
    if (Find(S, Index)) {
      if (Duplicates_ == dupIgnore) return Index;
      if (Duplicates_ == dupError) throw EStringListError(Msg::DuplicateString);
    }
  }
  InsertItem(Index, S, Obj);
  return Index;
}

int TStringList::IndexOf(const std::string& S) const {
  if (!Sorted_) {
    for (int I = 0; I < Count(); ++I)
      if (Compare(Items_[static_cast<size_t>(I)].S, S) == 0) return I;
    return -1;
  }
  int Index;
  return Find(S, Index) ? Index : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const {
  int Lo = 0, Hi = Count() - 1;
  bool Found = false;
  while (Lo <= Hi) {
    int Mid = Lo + (Hi - Lo) / 2;
    int C = Compare(Items_[static_cast<size_t>(Mid)].S, S);
    if (C < 0) {
      Lo = Mid + 1;
    } else {
      Hi = Mid - 1;
      if (C == 0) {
        Found = true;
        // With duplicates accepted the first equal string is the one found.
        if (Duplicates_ != dupAccept) Lo = Mid;
      }
    }
  }
  Index = Lo;
  return Found;
}

void TStringList::Sort() {
  std::stable_sort(Items_.begin(), Items_.end(),
                   [this](const TItem& A, const TItem& B) { return Compare(A.S, B.S) < 0; });
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (Value && !Sorted_) Sort();
  Sorted_ = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == CaseSensitive_) return;
  CaseSensitive_ = Value;
  if (Sorted_) Sort();
}

int TStringList::Compare(const std::string& A, const std::string& B) const {
  return CaseSensitive_ ? AnsiCompareStr(A, B) : AnsiCompareText(A, B);
}

void TStringList::Changed() { OnChange(this); }

void TStringList::FreeObject(TObject* Obj) {
  if (OwnsObjects_) delete Obj;
}

void TList::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index >= Limit) throw EListError(Format(Msg::ListIndexError, Index));
}

void* TList::Get(int Index) const {
  CheckIndex(Index, Count());
  return Items_[static_cast<size_t>(Index)];
}

void TList::Put(int Index, void* Item) {
  CheckIndex(Index, Count());
  Items_[static_cast<size_t>(Index)] = Item;
}

int TList::Add(void* Item) {
  Items_.push_back(Item);
  return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
  CheckIndex(Index, Count() + 1);
  Items_.insert(Items_.begin() + Index, Item);
}

void TList::Delete(int Index) {
  CheckIndex(Index, Count());
  Items_.erase(Items_.begin() + Index);
}

int TList::Remove(void* Item) {
  int Index = IndexOf(Item);
  if (Index >= 0) Delete(Index);
  return Index;
}

int TList::IndexOf(const void* Item) const {
  auto It = std::find(Items_.begin(), Items_.end(), Item);
  return It == Items_.end() ? -1 : static_cast<int>(It - Items_.begin());
}

void TList::Pack() { Items_.erase(std::remove(Items_.begin(), Items_.end(), nullptr), Items_.end()); }
