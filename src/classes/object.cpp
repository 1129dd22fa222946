#include "classes/object.h"

#include <map>

#include "classes/sysutils.h"
#include "classes/typinfo.h"

TClassInfo::TClassInfo(std::string Name, const TClassInfo* Parent, TCreateComponent Create)
    : Name_(std::move(Name)), Parent_(Parent), Create_(Create) {}

TClassInfo::~TClassInfo() = default;

bool TClassInfo::InheritsFrom(const TClassInfo& Other) const {
  for (const TClassInfo* C = this; C; C = C->Parent_)
    if (C == &Other) return true;
  return false;
}

bool TClassInfo::InheritsFrom(std::string_view Name) const {
  for (const TClassInfo* C = this; C; C = C->Parent_)
    if (SameText(C->Name_, Name)) return true;
  return false;
}

const TPropInfo* TClassInfo::FindProp(std::string_view Name) const {
  for (const TClassInfo* C = this; C; C = C->Parent_)
    for (const auto& P : C->Props_)
      if (SameText(P->Name, Name)) return P.get();
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::Props() const {
  std::vector<const TPropInfo*> Result;
  if (Parent_) Result = Parent_->Props();
  for (const auto& P : Props_) {
    // A class that publishes a name again replaces its ancestor's entry in place.
    bool Replaced = false;
    for (auto& Q : Result)
      if (SameText(Q->Name, P->Name)) {
        Q = P.get();
        Replaced = true;
      }
    if (!Replaced) Result.push_back(P.get());
  }
  return Result;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view Name) const {
  for (const TClassInfo* C = this; C; C = C->Parent_)
    for (const auto& M : C->Methods_)
      if (SameText(M->Name, Name)) return M.get();
  return nullptr;
}

const TFieldInfo* TClassInfo::FindField(std::string_view Name) const {
  for (const TClassInfo* C = this; C; C = C->Parent_)
    for (const auto& F : C->Fields_)
      if (SameText(F->Name, Name)) return F.get();
  return nullptr;
}

void TClassInfo::AddProp(TPropInfo Prop) { Props_.push_back(std::make_unique<TPropInfo>(std::move(Prop))); }
void TClassInfo::AddMethod(TMethodInfo Method) { Methods_.push_back(std::make_unique<TMethodInfo>(std::move(Method))); }
void TClassInfo::AddField(TFieldInfo Field) { Fields_.push_back(std::make_unique<TFieldInfo>(std::move(Field))); }

const TClassInfo& TObject::StaticClassInfo() {
  static TClassInfo Info("TObject", nullptr);
  return Info;
}

namespace {
// Class names upper-cased with the letters a to z only, so that lookup does not
// depend on the locale.
std::map<std::string, const TClassInfo*>& Registry() {
  static std::map<std::string, const TClassInfo*> R;
  return R;
}
}  // namespace

void RegisterClass(const TClassInfo& C) { Registry().emplace(UpperCase(C.Name()), &C); }

const TClassInfo* FindClass(std::string_view Name) {
  auto It = Registry().find(UpperCase(Name));
  return It == Registry().end() ? nullptr : It->second;
}

const TClassInfo& GetClass(std::string_view Name) {
  const TClassInfo* C = FindClass(Name);
  if (!C) throw EClassNotFound(Format("Class %s not found", Name));
  return *C;
}
