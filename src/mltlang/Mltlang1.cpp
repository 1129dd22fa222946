#include "mltlang/Mltlang1.h"

#include <algorithm>

#include "classes/streams.h"
#include "classes/typinfo.h"

namespace {

[[noreturn]] void BadVersion() { throw EMLangInvalid("Version not supported !"); }

void ReadVersion(TStream& Stream) {
  if (Stream.ReadInt32() != TCI::RecordVersion) BadVersion();
}

// A count of records that take at least MinSize bytes each; one the rest of the
// stream cannot hold is damage, found before anything is allocated for it.
int ReadCount(TStream& Stream, int64_t MinSize) {
  int32_t N = Stream.ReadInt32();
  if (N < 0 || N > Stream.Remaining() / MinSize) throw EReadError(Msg::ReadError);
  return N;
}

constexpr int64_t MinCountedString = 4;

// Removes from List, starting at From, the first element that is not a T and
// everything after it; those were made by the reader that just ran and are
// freed here whatever the list's owning flag says. The name of the offending
// class, or empty when every element is a T.
template <class T>
std::string DropForeign(TObjectList& List, int From) {
  for (int I = From; I < List.Count(); ++I) {
    TObject* Obj = List.Get(I);
    if (dynamic_cast<T*>(Obj)) continue;
    std::string Name = Obj ? Obj->ClassName() : std::string();
    for (int J = List.Count() - 1; J >= I; --J) delete List.Get(J);
    List.SetCount(I);
    return Name;
  }
  return {};
}

// The container's own read into a list of T, then the check that it read only T.
template <class T>
void ReadElementsOf(TObjectList& List, TStream& Stream, const char* Kind) {
  int Before = List.Count();
  try {
    List.TObjectList::ReadData(Stream);
  } catch (...) {
    DropForeign<T>(List, Before);
    throw;
  }
  std::string Foreign = DropForeign<T>(List, Before);
  if (!Foreign.empty()) throw EMLangInvalid("Class <" + Foreign + "> is no " + Kind);
}

void ReadLanguages(TLngLst& Languages, TStream& Stream) {
  ReadElementsOf<TLngId>(Languages, Stream, "language identifier");
}

void WriteLanguages(const TLngLst* Languages, TStream& Stream) {
  if (Languages) Languages->TObjectList::WriteData(Stream);
  else TLngLst().WriteData(Stream);
}

void AddClone(TObjectList& List, const TObject* Source) {
  std::unique_ptr<TObject> Copy = CloneObject(Source);
  List.Add(Copy.get());
  Copy.release();
}

}  // namespace

void WriteCountedString(TStream& Stream, const std::string& S) {
  Stream.WriteInt32(static_cast<int32_t>(S.size() + 1));
  if (S.empty()) return;
  Stream.WriteBuffer(S.data(), static_cast<int64_t>(S.size()));
  Stream.WriteByte(0);
}

std::string ReadCountedString(TStream& Stream) {
  int32_t L = Stream.ReadInt32();
  if (L <= 1) return {};
  if (L > Stream.Remaining()) throw EReadError(Msg::ReadError);
  std::string S(static_cast<size_t>(L), '\0');
  Stream.ReadBuffer(S.data(), L);
  size_t Zero = S.find('\0');
  if (Zero == std::string::npos) throw EReadError(Msg::ReadError);
  S.resize(Zero);
  return S;
}

// --- TCI -----------------------------------------------------------------------------

BEGIN_CLASS_INFO(TCI, TObject, nullptr)
END_CLASS_INFO

void TCI::SaveToStream(TStream& Stream) const {
  Stream.WriteInt32(RecordVersion);
  Stream.WriteInt32(CloneRefToken(Control_));
  WriteCountedString(Stream, PropName_);
  WriteCountedString(Stream, CompName_);
  Stream.WriteInt32(CompIndex_);
  Stream.WriteInt32(ElemCount_);
}

void TCI::LoadFromStream(TStream& Stream) {
  ReadVersion(Stream);
  Control_ = dynamic_cast<TComponent*>(CloneRefFromToken(Stream.ReadInt32()));
  PropName_ = ReadCountedString(Stream);
  CompName_ = ReadCountedString(Stream);
  CompIndex_ = Stream.ReadInt32();
  ElemCount_ = Stream.ReadInt32();
}

void TCI::SetLength(int N) { throw EMLangInvalid("SetLength not available for TCI !"); }

std::string TCI::GetValue(int Lang) const { throw EMLangInvalid("GetValue not available for Stringlist !"); }

void TCI::SetValue(const std::string& S, int Lang) { throw EMLangInvalid("SetValue not available for Stringlist !"); }

std::string TCI::GetStringList(int Lang, int Index) const {
  throw EMLangInvalid("GetStringList not available for Info !");
}

void TCI::SetStringList(const std::string& S, int Lang, int Index) {
  throw EMLangInvalid("SetStringList not available for Info !");
}

void TCI::WriteStrProp(const std::string& Value) const {
  if (!Control_ || Control_->Name().empty()) return;
  try {
    const TPropInfo* P = GetPropInfo(*Control_, PropName_);
    if (P && P->Kind == TTypeKind::tkString) SetStrProp(*Control_, *P, Value);
  } catch (const std::exception&) {
    // A text that cannot be set stays as it is; translating never stops a form.
  }
}

std::string TCI::ReadStrProp() const {
  if (!Control_) return {};
  const TPropInfo* P = GetPropInfo(*Control_, PropName_);
  return P && P->Kind == TTypeKind::tkString ? GetStrProp(*Control_, *P) : std::string();
}

TStrings* TCI::StringListProp() const {
  if (!Control_) return nullptr;
  const TPropInfo* P = GetPropInfo(*Control_, PropName_);
  return P && P->Kind == TTypeKind::tkClass ? dynamic_cast<TStrings*>(GetObjectProp(*Control_, *P)) : nullptr;
}

// --- TCIStr ----------------------------------------------------------------------------

BEGIN_CLASS_INFO(TCIStr, TCI, nullptr)
END_CLASS_INFO

TCIStr::TCIStr() : Texts_(std::make_unique<TStringList>()) { SetElemCount(1); }

TObject* TCIStr::CreateBlank() { return new TCIStr(TBlank{}); }

void TCIStr::SaveToStream(TStream& Stream) const {
  TCI::SaveToStream(Stream);
  Stream.WriteInt32(RecordVersion);
  int N = Texts_ ? Texts_->Count() : 0;
  Stream.WriteInt32(N);
  for (int I = 0; I < N; ++I) WriteCountedString(Stream, Texts_->Get(I));
}

void TCIStr::LoadFromStream(TStream& Stream) {
  TCI::LoadFromStream(Stream);
  ReadVersion(Stream);
  if (!Texts_) Texts_ = std::make_unique<TStringList>();
  int N = ReadCount(Stream, MinCountedString);
  for (int I = 0; I < N; ++I) Texts_->Add(ReadCountedString(Stream));
}

void TCIStr::SetLength(int N) {
  if (!Texts_) return;
  while (Texts_->Count() > std::max(N, 0)) Texts_->Delete(Texts_->Count() - 1);
}

std::string TCIStr::GetValue(int Lang) const {
  if (!Texts_ || Lang < 0 || Lang >= Texts_->Count()) return {};
  return Texts_->Get(Lang);
}

void TCIStr::SetValue(const std::string& S, int Lang) {
  if (!Texts_) Texts_ = std::make_unique<TStringList>();
  while (Texts_->Count() < Lang + 1) Texts_->Add(std::string());
  Texts_->Put(Lang, Lang == 0 || S != GetValue(0) ? S : std::string());
}

void TCIStr::Apply(int Lang, const TComponentState& State) {
  std::string V = GetValue(Lang);
  if ((State.Contains(csDesigning) && Lang == 0) || !V.empty()) WriteStrProp(V);
}

void TCIStr::Fetch(int Lang) { SetValue(ReadStrProp(), Lang); }

// --- TCIStrList and the collection kinds --------------------------------------------------

BEGIN_CLASS_INFO(TCIStrList, TCI, nullptr)
END_CLASS_INFO

TCIStrList::TCIStrList() : LangLists_(std::make_unique<TLangLists>()) {}

TObject* TCIStrList::CreateBlank() { return new TCIStrList(TBlank{}); }

TStringList* TCIStrList::LangList(int Lang) const {
  if (Lang < 0 || Lang >= LangListCount()) return nullptr;
  return (*LangLists_)[static_cast<size_t>(Lang)].get();
}

int TCIStrList::LongestLangList() const {
  int Longest = 0;
  for (int L = 0; L < LangListCount(); ++L) Longest = std::max(Longest, LangList(L)->Count());
  return Longest;
}

void TCIStrList::SaveToStream(TStream& Stream) const {
  TCI::SaveToStream(Stream);
  Stream.WriteInt32(RecordVersion);
  Stream.WriteInt32(LangListCount());
  for (int L = 0; L < LangListCount(); ++L) {
    const TStringList& Lines = *LangList(L);
    Stream.WriteInt32(Lines.Count());
    for (int I = 0; I < Lines.Count(); ++I) WriteCountedString(Stream, Lines.Get(I));
  }
}

void TCIStrList::LoadFromStream(TStream& Stream) {
  TCI::LoadFromStream(Stream);
  ReadVersion(Stream);
  if (!LangLists_) LangLists_ = std::make_unique<TLangLists>();
  int M = ReadCount(Stream, 4);
  for (int L = 0; L < M; ++L) {
    int K = ReadCount(Stream, MinCountedString);
    LangLists_->push_back(std::make_unique<TStringList>());
    TStringList& Lines = *LangLists_->back();
    for (int I = 0; I < K; ++I) Lines.Add(ReadCountedString(Stream));
  }
}

void TCIStrList::SetLength(int N) {
  if (!LangLists_) return;
  while (LangListCount() > std::max(N, 0)) LangLists_->pop_back();
}

std::string TCIStrList::GetStringList(int Lang, int Index) const {
  const TStringList* Lines = LangList(Lang);
  if (!Lines || Index < 0 || Index >= Lines->Count()) return {};
  return Lines->Get(Index);
}

void TCIStrList::SetStringList(const std::string& S, int Lang, int Index) {
  if (Lang < 0 || Index < 0) throw EStringListError(Format(Msg::ListIndexError, std::min(Lang, Index)));
  if (!LangLists_) LangLists_ = std::make_unique<TLangLists>();
  while (LangListCount() < Lang + 1) LangLists_->push_back(std::make_unique<TStringList>());
  TStringList& Lines = *LangList(Lang);
  while (Lines.Count() < Index + 1) Lines.Add(std::string());
  if (Lang == 0) Lines.Put(Index, S);
  else Lines.Put(Index, S != LangList(0)->Get(Index) ? S : std::string());
  SetElemCount(std::max(ElemCount(), LongestLangList()));
}

template <class TWrite>
void TCIStrList::ApplyElements(int Lang, const TComponentState& State, TWrite Write) {
  bool Base = Lang == 0 && State.Contains(csDesigning);
  // Past the lines of the slot every value is empty and nothing more is written,
  // however large a damaged ElemCount says the item is.
  const TStringList* Lines = LangList(Lang);
  int Limit = Base ? ElemCount() : std::min(ElemCount(), Lines ? Lines->Count() : 0);
  for (int I = 0; I < Limit; ++I) {
    std::string V = GetStringList(Lang, I);
    if (Base || !V.empty()) Write(I, V);
  }
}

void TCIStrList::Apply(int Lang, const TComponentState& State) {
  TStrings* Target = StringListProp();
  if (!Target) return;
  ApplyElements(Lang, State, [Target](int I, const std::string& V) { Target->Put(I, V); });
}

void TCIStrList::Fetch(int Lang) {
  TStrings* Target = StringListProp();
  if (!Target) return;
  for (int I = 0; I < Target->Count(); ++I) SetStringList(Target->Get(I), Lang, I);
}

namespace {
TCollection* CollectionOf(TComponent* Control, const char* CollectionProp) {
  if (!Control) return nullptr;
  const TPropInfo* P = GetPropInfo(*Control, CollectionProp);
  return P && P->Kind == TTypeKind::tkClass ? dynamic_cast<TCollection*>(GetObjectProp(*Control, *P)) : nullptr;
}
}  // namespace

void TCIStrList::ApplyToCollection(int Lang, const TComponentState& State, const char* CollectionProp,
                                   const char* TextProp) {
  TCollection* Target = CollectionOf(Control(), CollectionProp);
  if (!Target) return;
  ApplyElements(Lang, State, [&](int I, const std::string& V) { SetStrProp(*Target->Items(I), TextProp, V); });
}

void TCIStrList::FetchFromCollection(int Lang, const char* CollectionProp, const char* TextProp) {
  TCollection* Target = CollectionOf(Control(), CollectionProp);
  if (!Target) return;
  for (int I = 0; I < Target->Count(); ++I) SetStringList(GetStrProp(*Target->Items(I), TextProp), Lang, I);
}

BEGIN_CLASS_INFO(TCIStPanels, TCIStrList, nullptr)
END_CLASS_INFO

TObject* TCIStPanels::CreateBlank() { return new TCIStPanels(TBlank{}); }
void TCIStPanels::Apply(int Lang, const TComponentState& State) { ApplyToCollection(Lang, State, "Panels", "Text"); }
void TCIStPanels::Fetch(int Lang) { FetchFromCollection(Lang, "Panels", "Text"); }

BEGIN_CLASS_INFO(TCIHdCtrl, TCIStrList, nullptr)
END_CLASS_INFO

TObject* TCIHdCtrl::CreateBlank() { return new TCIHdCtrl(TBlank{}); }
void TCIHdCtrl::Apply(int Lang, const TComponentState& State) { ApplyToCollection(Lang, State, "Sections", "Text"); }
void TCIHdCtrl::Fetch(int Lang) { FetchFromCollection(Lang, "Sections", "Text"); }

BEGIN_CLASS_INFO(TCIListClmns, TCIStrList, nullptr)
END_CLASS_INFO

TObject* TCIListClmns::CreateBlank() { return new TCIListClmns(TBlank{}); }
void TCIListClmns::Apply(int Lang, const TComponentState& State) {
  ApplyToCollection(Lang, State, "Columns", "Caption");
}
void TCIListClmns::Fetch(int Lang) { FetchFromCollection(Lang, "Columns", "Caption"); }

// --- TInfoList ---------------------------------------------------------------------------

BEGIN_CLASS_INFO(TInfoList, TObjectList, nullptr)
END_CLASS_INFO

TInfoList::TInfoList() : Languages_(std::make_unique<TLngLst>()) {}

TInfoList::~TInfoList() { Languages_.reset(); }

TObject* TInfoList::CreateBlank() { return new TInfoList(TBlank{}); }

void TInfoList::ReadData(TStream& Stream) {
  ReadElementsOf<TCI>(*this, Stream, "translation item");
  if (!Languages_) Languages_ = std::make_unique<TLngLst>();
  Languages_->FreeAll();
  ReadLanguages(*Languages_, Stream);
}

void TInfoList::WriteData(TStream& Stream) const {
  TObjectList::WriteData(Stream);
  WriteLanguages(Languages_.get(), Stream);
}

void TInfoList::Assign(const TPersistent* Source) {
  auto* Src = dynamic_cast<const TInfoList*>(Source);
  if (!Src) {
    TObjectList::Assign(Source);
    return;
  }
  if (Src == this) return;
  FreeAll();
  for (int I = 0; I < Src->Count(); ++I) AddClone(*this, Src->Get(I));
  if (!Languages_) Languages_ = std::make_unique<TLngLst>();
  Languages_->FreeAll();
  if (Src->Languages_)
    for (int I = 0; I < Src->Languages_->Count(); ++I) AddClone(*Languages_, Src->Languages_->Get(I));
}

// --- Dictionary --------------------------------------------------------------------------

BEGIN_CLASS_INFO(TDictionaryItem, TObject, nullptr)
END_CLASS_INFO

void TDictionaryItem::LoadRecord(TDictionaryItem& Obj, TStream& Stream) {
  ReadVersion(Stream);
  if (!Obj.Words_) Obj.Words_ = std::make_unique<TStringList>();
  int N = ReadCount(Stream, MinCountedString);
  for (int I = 0; I < N; ++I) Obj.Words_->Add(ReadCountedString(Stream));
}

void TDictionaryItem::StoreRecord(const TDictionaryItem& Obj, TStream& Stream) {
  Stream.WriteInt32(TCI::RecordVersion);
  int N = Obj.Words_ ? Obj.Words_->Count() : 0;
  Stream.WriteInt32(N);
  for (int I = 0; I < N; ++I) WriteCountedString(Stream, Obj.Words_->Get(I));
}

BEGIN_CLASS_INFO(TDictionary, TObjectList, nullptr)
END_CLASS_INFO

TDictionary::TDictionary() : Languages_(std::make_unique<TLngLst>()) {}

TDictionary::~TDictionary() { Languages_.reset(); }

TObject* TDictionary::CreateBlank() { return new TDictionary(TBlank{}); }

void TDictionary::ReadData(TStream& Stream) {
  ReadElementsOf<TDictionaryItem>(*this, Stream, "dictionary entry");
  if (!Languages_) Languages_ = std::make_unique<TLngLst>();
  ReadLanguages(*Languages_, Stream);
}

void TDictionary::WriteData(TStream& Stream) const {
  TObjectList::WriteData(Stream);
  WriteLanguages(Languages_.get(), Stream);
}

// --- Registration --------------------------------------------------------------------------

namespace {

template <class T>
T& As(TObject& O) {
  return static_cast<T&>(O);
}
template <class T>
const T& As(const TObject& O) {
  return static_cast<const T&>(O);
}

}  // namespace

void RegisterMltlangRecordClasses() {
  static const bool Registered = [] {
    RegisterStreamClass(
        TLngId::StaticClassInfo(), &TLngId::CreateBlank,
        [](TObject& O, TStream& S) { TLngId::LoadRecord(As<TLngId>(O), S); },
        [](const TObject& O, TStream& S) { TLngId::StoreRecord(As<TLngId>(O), S); });
    RegisterStreamClass(
        TLngLst::StaticClassInfo(), &TLngLst::CreateBlank,
        [](TObject& O, TStream& S) { As<TLngLst>(O).TObjectList::ReadData(S); },
        [](const TObject& O, TStream& S) { As<TLngLst>(O).TObjectList::WriteData(S); });
    RegisterStreamClass(
        TCIStr::StaticClassInfo(), &TCIStr::CreateBlank,
        [](TObject& O, TStream& S) { As<TCIStr>(O).TCIStr::LoadFromStream(S); },
        [](const TObject& O, TStream& S) { As<TCIStr>(O).TCIStr::SaveToStream(S); });
    // The list kinds share one record.
    auto LoadList = [](TObject& O, TStream& S) { As<TCIStrList>(O).TCIStrList::LoadFromStream(S); };
    auto StoreList = [](const TObject& O, TStream& S) { As<TCIStrList>(O).TCIStrList::SaveToStream(S); };
    RegisterStreamClass(TCIStrList::StaticClassInfo(), &TCIStrList::CreateBlank, LoadList, StoreList);
    RegisterStreamClass(TCIStPanels::StaticClassInfo(), &TCIStPanels::CreateBlank, LoadList, StoreList);
    RegisterStreamClass(TCIHdCtrl::StaticClassInfo(), &TCIHdCtrl::CreateBlank, LoadList, StoreList);
    RegisterStreamClass(TCIListClmns::StaticClassInfo(), &TCIListClmns::CreateBlank, LoadList, StoreList);
    RegisterStreamClass(
        TInfoList::StaticClassInfo(), &TInfoList::CreateBlank,
        [](TObject& O, TStream& S) { As<TInfoList>(O).TInfoList::ReadData(S); },
        [](const TObject& O, TStream& S) { As<TInfoList>(O).TInfoList::WriteData(S); });
    RegisterStreamClass(
        TDictionaryItem::StaticClassInfo(), &TDictionaryItem::CreateBlank,
        [](TObject& O, TStream& S) { TDictionaryItem::LoadRecord(As<TDictionaryItem>(O), S); },
        [](const TObject& O, TStream& S) { TDictionaryItem::StoreRecord(As<TDictionaryItem>(O), S); });
    RegisterStreamClass(
        TDictionary::StaticClassInfo(), &TDictionary::CreateBlank,
        [](TObject& O, TStream& S) { As<TDictionary>(O).TDictionary::ReadData(S); },
        [](const TObject& O, TStream& S) { As<TDictionary>(O).TDictionary::WriteData(S); });
    return true;
  }();
  (void)Registered;
}
