#include "classes/typinfo.h"

TEnumInfo::TEnumInfo(std::initializer_list<const char*> Names) {
  for (const char* N : Names) Names_.emplace_back(N);
}

int TEnumInfo::ValueOf(std::string_view Name) const {
  for (size_t I = 0; I < Names_.size(); ++I)
    if (SameText(Names_[I], Name)) return static_cast<int>(I);
  return -1;
}

const std::string& TEnumInfo::NameOf(int Value) const {
  if (Value < 0 || Value >= Count()) throw EPropertyError(Format("Enumeration value %d out of range", Value));
  return Names_[static_cast<size_t>(Value)];
}

TIdentMap::TIdentMap(std::initializer_list<std::pair<int64_t, const char*>> Entries) {
  for (const auto& [V, N] : Entries) Entries_.emplace_back(V, N);
}

bool TIdentMap::ToInt(std::string_view Ident, int64_t& Value) const {
  for (const auto& [V, N] : Entries_)
    if (SameText(N, Ident)) {
      Value = V;
      return true;
    }
  return false;
}

bool TIdentMap::ToIdent(int64_t Value, std::string& Ident) const {
  for (const auto& [V, N] : Entries_)
    if (V == Value) {
      Ident = N;
      return true;
    }
  return false;
}

const TEnumInfo& BooleanEnumInfo() {
  static const TEnumInfo Info{"False", "True"};
  return Info;
}

namespace {

[[noreturn]] void ReadOnly(const TPropInfo& P) { throw EPropertyError(Format("Property %s is read-only", P.Name)); }

void CheckKind(const TPropInfo& P, bool Ok) {
  if (!Ok) throw EPropertyError(Format("Invalid property type of %s", P.Name));
}

}  // namespace

const TPropInfo* GetPropInfo(const TObject& Obj, std::string_view Name) { return Obj.ClassInfo().FindProp(Name); }

bool IsPublishedProp(const TObject& Obj, std::string_view Name) { return GetPropInfo(Obj, Name) != nullptr; }

const TPropInfo& GetPropInfoOrRaise(const TObject& Obj, std::string_view Name) {
  const TPropInfo* P = GetPropInfo(Obj, Name);
  if (!P) throw EPropertyError(Format("Property %s does not exist", Name));
  return *P;
}

int64_t GetOrdProp(const TObject& Obj, const TPropInfo& P) {
  CheckKind(P, P.IsOrdinal());
  return P.GetOrd(Obj);
}

void SetOrdProp(TObject& Obj, const TPropInfo& P, int64_t Value) {
  CheckKind(P, P.IsOrdinal());
  if (!P.SetOrd) ReadOnly(P);
  P.SetOrd(Obj, Value);
}

double GetFloatProp(const TObject& Obj, const TPropInfo& P) {
  CheckKind(P, P.Kind == TTypeKind::tkFloat);
  return P.GetFloat(Obj);
}

void SetFloatProp(TObject& Obj, const TPropInfo& P, double Value) {
  CheckKind(P, P.Kind == TTypeKind::tkFloat);
  if (!P.SetFloat) ReadOnly(P);
  P.SetFloat(Obj, Value);
}

std::string GetStrProp(const TObject& Obj, const TPropInfo& P) {
  CheckKind(P, P.Kind == TTypeKind::tkString);
  return P.GetStr(Obj);
}

void SetStrProp(TObject& Obj, const TPropInfo& P, const std::string& Value) {
  CheckKind(P, P.Kind == TTypeKind::tkString);
  if (!P.SetStr) ReadOnly(P);
  P.SetStr(Obj, Value);
}

TObject* GetObjectProp(const TObject& Obj, const TPropInfo& P) {
  CheckKind(P, P.Kind == TTypeKind::tkClass);
  return P.GetObj(Obj);
}

void SetObjectProp(TObject& Obj, const TPropInfo& P, TObject* Value) {
  CheckKind(P, P.Kind == TTypeKind::tkClass);
  if (!P.SetObj) ReadOnly(P);
  P.SetObj(Obj, Value);
}

TMethodValue GetMethodProp(const TObject& Obj, const TPropInfo& P) {
  CheckKind(P, P.Kind == TTypeKind::tkMethod);
  return P.GetMethod(Obj);
}

void SetMethodProp(TObject& Obj, const TPropInfo& P, const TMethodValue& Value) {
  CheckKind(P, P.Kind == TTypeKind::tkMethod);
  P.SetMethod(Obj, Value);
}

std::string GetEnumProp(const TObject& Obj, const TPropInfo& P) {
  CheckKind(P, P.Kind == TTypeKind::tkEnumeration || P.Kind == TTypeKind::tkBoolean);
  return P.Enum->NameOf(static_cast<int>(P.GetOrd(Obj)));
}

void SetEnumProp(TObject& Obj, const TPropInfo& P, std::string_view Value) {
  CheckKind(P, P.Kind == TTypeKind::tkEnumeration || P.Kind == TTypeKind::tkBoolean);
  int V = P.Enum->ValueOf(Value);
  if (V < 0) throw EPropertyError(Format("Invalid property value %s", Value));
  SetOrdProp(Obj, P, V);
}

std::string GetStrProp(const TObject& Obj, std::string_view Name) {
  return GetStrProp(Obj, GetPropInfoOrRaise(Obj, Name));
}

void SetStrProp(TObject& Obj, std::string_view Name, const std::string& Value) {
  SetStrProp(Obj, GetPropInfoOrRaise(Obj, Name), Value);
}

int64_t GetOrdProp(const TObject& Obj, std::string_view Name) { return GetOrdProp(Obj, GetPropInfoOrRaise(Obj, Name)); }

void SetOrdProp(TObject& Obj, std::string_view Name, int64_t Value) {
  SetOrdProp(Obj, GetPropInfoOrRaise(Obj, Name), Value);
}

TObject* GetObjectProp(const TObject& Obj, std::string_view Name) {
  return GetObjectProp(Obj, GetPropInfoOrRaise(Obj, Name));
}
