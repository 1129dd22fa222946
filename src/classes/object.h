// The root object and the run-time class information every class of the library
// carries: its name, its parent class, how to create a component of it by name,
// its published properties, published methods (event handlers) and published
// fields (the components a form refers to by name).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TObject;
class TComponent;
struct TPropInfo;
struct TMethodInfo;
struct TFieldInfo;

// One class's entry: name, parent and what it publishes. Built once per class by
// its StaticClassInfo() and never changed afterwards.
class TClassInfo {
public:
  using TCreateComponent = TComponent* (*)(TComponent* Owner);

  TClassInfo(std::string Name, const TClassInfo* Parent, TCreateComponent Create = nullptr);
  TClassInfo(const TClassInfo&) = delete;
  TClassInfo& operator=(const TClassInfo&) = delete;
  ~TClassInfo();

  const std::string& Name() const { return Name_; }
  const TClassInfo* Parent() const { return Parent_; }
  // Creates a component of exactly this class; null for abstract and non-component classes.
  TCreateComponent Creator() const { return Create_; }
  bool InheritsFrom(const TClassInfo& Other) const;
  // Compares the names of this class and its ancestors with Name, ignoring case.
  bool InheritsFrom(std::string_view Name) const;

  // Published property by name, ignoring case, searching this class then its ancestors.
  const TPropInfo* FindProp(std::string_view Name) const;
  // Every published property, ancestors' first, each class's in declaration order.
  std::vector<const TPropInfo*> Props() const;
  const TMethodInfo* FindMethod(std::string_view Name) const;
  const TFieldInfo* FindField(std::string_view Name) const;

  // Used by the registration helpers of typinfo.h while the entry is built.
  void AddProp(TPropInfo Prop);
  void AddMethod(TMethodInfo Method);
  void AddField(TFieldInfo Field);

private:
  std::string Name_;
  const TClassInfo* Parent_;
  TCreateComponent Create_;
  std::vector<std::unique_ptr<TPropInfo>> Props_;
  std::vector<std::unique_ptr<TMethodInfo>> Methods_;
  std::vector<std::unique_ptr<TFieldInfo>> Fields_;
};

// Declares the class information of a class derived from TObject. The matching
// definition is StaticClassInfo() in the class's source file (see typinfo.h).
#define DECLARE_CLASS(Cls)                                                     \
public:                                                                        \
  static const TClassInfo& StaticClassInfo();                                  \
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }   \
                                                                               \
private:

// The root of every class with class information.
class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const TClassInfo& StaticClassInfo();
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
  const std::string& ClassName() const { return ClassInfo().Name(); }
  bool InheritsFrom(const TClassInfo& C) const { return ClassInfo().InheritsFrom(C); }
  bool InheritsFrom(std::string_view Name) const { return ClassInfo().InheritsFrom(Name); }
};

// Classes the form reader may create by name. A class registered twice keeps its
// first entry. <windows.h> makes RegisterClass a macro; code that includes it
// calls RegisterComponentClass, which means the same everywhere.
#pragma push_macro("RegisterClass")
#undef RegisterClass
void RegisterClass(const TClassInfo& C);
inline void RegisterComponentClass(const TClassInfo& C) { RegisterClass(C); }
#pragma pop_macro("RegisterClass")
const TClassInfo* FindClass(std::string_view Name);
// Like FindClass, but raises EClassNotFound with "Class %s not found".
const TClassInfo& GetClass(std::string_view Name);
