// Published-property information: what a class offers to the form reader and
// writer, to the translation items and to the layout component, looked up by name
// at run time. A class fills its table once, between BEGIN_CLASS_INFO and
// END_CLASS_INFO in its source file:
//
//   BEGIN_CLASS_INFO(TButton, TWinControl, ComponentCreator<TButton>)
//     P.Str("Caption", &TButton::Caption, &TButton::SetCaption);
//     P.Bool("Default", &TButton::Default, &TButton::SetDefault, false);
//     P.Event("OnClick", &TButton::OnClick);
//   END_CLASS_INFO
//
// Getters are callables taking the object (const C&), setters the object (C&) and
// the value; member function pointers and lambdas both work.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "classes/object.h"
#include "classes/sysutils.h"

enum class TTypeKind { tkInteger, tkBoolean, tkEnumeration, tkSet, tkFloat, tkString, tkClass, tkMethod };

// Names of the values of an enumeration, value i having name i. Also the element
// names of a set over that enumeration.
class TEnumInfo {
public:
  TEnumInfo(std::initializer_list<const char*> Names);
  int Count() const { return static_cast<int>(Names_.size()); }
  // Value of a name, ignoring case; -1 when there is none.
  int ValueOf(std::string_view Name) const;
  const std::string& NameOf(int Value) const;  // raises EPropertyError out of range

private:
  std::vector<std::string> Names_;
};

// Identifiers an integer property also accepts and writes (clBtnFace, crHourGlass).
class TIdentMap {
public:
  TIdentMap(std::initializer_list<std::pair<int64_t, const char*>> Entries);
  bool ToInt(std::string_view Ident, int64_t& Value) const;
  bool ToIdent(int64_t Value, std::string& Ident) const;

private:
  std::vector<std::pair<int64_t, std::string>> Entries_;
};

// The value of an event property: the handler's callable, the object it belongs to
// and, when it came from a form resource, the published method's name.
struct TMethodValue {
  std::any Code;
  TObject* Data = nullptr;
  std::string Name;
  bool Assigned() const { return Code.has_value(); }
};

// An event: a code-and-object pair. Keeping a copy of the previous value and
// calling it from the new handler chains the two.
template <class... Args>
class TEvent {
public:
  using TCode = std::function<void(Args...)>;
  TEvent() = default;
  TEvent(TCode C, TObject* D = nullptr, std::string N = {}) : Code(std::move(C)), Data(D), Name(std::move(N)) {}
  explicit operator bool() const { return static_cast<bool>(Code); }
  void operator()(Args... A) const {
    if (Code) Code(std::forward<Args>(A)...);
  }
  TCode Code;
  TObject* Data = nullptr;
  std::string Name;
};

using TNotifyEvent = TEvent<TObject*>;

// One published property.
struct TPropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::tkInteger;
  const TEnumInfo* Enum = nullptr;        // tkEnumeration, tkSet
  const TIdentMap* Idents = nullptr;      // tkInteger, optional
  // tkClass: the declared class of the value (asked lazily: a class may publish
  // a property of its own class).
  const TClassInfo& (*PropClassOf)() = nullptr;
  const TClassInfo* PropClass() const { return PropClassOf ? &PropClassOf() : nullptr; }

  std::function<int64_t(const TObject&)> GetOrd;  // integer, boolean, enumeration, set (bit mask)
  std::function<void(TObject&, int64_t)> SetOrd;
  std::function<double(const TObject&)> GetFloat;
  std::function<void(TObject&, double)> SetFloat;
  std::function<std::string(const TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<TObject*(const TObject&)> GetObj;
  std::function<void(TObject&, TObject*)> SetObj;  // empty: the reader fills the object in place
  std::function<TMethodValue(const TObject&)> GetMethod;
  std::function<void(TObject&, const TMethodValue&)> SetMethod;

  // Ordinal kinds: the value that is not stored. Without one the property is
  // always stored; strings are not stored when empty, floats when zero.
  std::optional<int64_t> Default;
  std::function<bool(const TObject&)> Stored;  // empty: stored

  bool IsStored(const TObject& Obj) const { return !Stored || Stored(Obj); }
  bool IsOrdinal() const {
    return Kind == TTypeKind::tkInteger || Kind == TTypeKind::tkBoolean || Kind == TTypeKind::tkEnumeration ||
           Kind == TTypeKind::tkSet;
  }
};

// A published method: binds the named handler of an object into an event value.
struct TMethodInfo {
  std::string Name;
  std::function<std::any(TObject& Self)> Bind;
};

// A published field: the form's reference to a component it owns, filled by name
// while the form is read. Set returns false when the component has the wrong class.
struct TFieldInfo {
  std::string Name;
  std::function<bool(TObject& Self, TComponent* Value)> Set;
};

// --- Access by property information or by name -------------------------------

const TPropInfo* GetPropInfo(const TObject& Obj, std::string_view Name);
bool IsPublishedProp(const TObject& Obj, std::string_view Name);
// Like GetPropInfo, but raises EPropertyError "Property %s does not exist".
const TPropInfo& GetPropInfoOrRaise(const TObject& Obj, std::string_view Name);

int64_t GetOrdProp(const TObject& Obj, const TPropInfo& P);
void SetOrdProp(TObject& Obj, const TPropInfo& P, int64_t Value);
double GetFloatProp(const TObject& Obj, const TPropInfo& P);
void SetFloatProp(TObject& Obj, const TPropInfo& P, double Value);
std::string GetStrProp(const TObject& Obj, const TPropInfo& P);
void SetStrProp(TObject& Obj, const TPropInfo& P, const std::string& Value);
TObject* GetObjectProp(const TObject& Obj, const TPropInfo& P);
void SetObjectProp(TObject& Obj, const TPropInfo& P, TObject* Value);
TMethodValue GetMethodProp(const TObject& Obj, const TPropInfo& P);
void SetMethodProp(TObject& Obj, const TPropInfo& P, const TMethodValue& Value);
// Enumeration and boolean properties by value name ("alTop", "True").
std::string GetEnumProp(const TObject& Obj, const TPropInfo& P);
void SetEnumProp(TObject& Obj, const TPropInfo& P, std::string_view Value);

std::string GetStrProp(const TObject& Obj, std::string_view Name);
void SetStrProp(TObject& Obj, std::string_view Name, const std::string& Value);
int64_t GetOrdProp(const TObject& Obj, std::string_view Name);
void SetOrdProp(TObject& Obj, std::string_view Name, int64_t Value);
TObject* GetObjectProp(const TObject& Obj, std::string_view Name);

// Names of the enumeration values of boolean properties.
const TEnumInfo& BooleanEnumInfo();

// --- Registration ---------------------------------------------------------------

template <class C>
class TPublish {
public:
  explicit TPublish(TClassInfo& Info) : Info_(Info) {}
  using TStoredFn = std::function<bool(const C&)>;

  template <class G, class S>
  TPublish& Str(const char* Name, G Get, S Set, TStoredFn Stored = {}) {
    TPropInfo P = Make(Name, TTypeKind::tkString, Stored);
    P.GetStr = [Get](const TObject& O) { return std::string(std::invoke(Get, Self(O))); };
    if constexpr (!std::is_null_pointer_v<S>)
      P.SetStr = [Set](TObject& O, const std::string& V) { std::invoke(Set, Self(O), V); };
    return Add(std::move(P));
  }

  template <class G, class S>
  TPublish& Int(const char* Name, G Get, S Set, std::optional<int64_t> Default = {}, const TIdentMap* Idents = nullptr,
                TStoredFn Stored = {}) {
    TPropInfo P = Make(Name, TTypeKind::tkInteger, Stored);
    P.Default = Default;
    P.Idents = Idents;
    SetOrdinalAccess(P, Get, Set);
    return Add(std::move(P));
  }

  template <class G, class S>
  TPublish& Bool(const char* Name, G Get, S Set, std::optional<bool> Default = {}, TStoredFn Stored = {}) {
    TPropInfo P = Make(Name, TTypeKind::tkBoolean, Stored);
    if (Default) P.Default = *Default ? 1 : 0;
    P.Enum = &BooleanEnumInfo();
    SetOrdinalAccess(P, Get, Set);
    return Add(std::move(P));
  }

  template <class G, class S>
  TPublish& Enum(const char* Name, G Get, S Set, const TEnumInfo& Names, std::optional<int64_t> Default = {},
                 TStoredFn Stored = {}) {
    TPropInfo P = Make(Name, TTypeKind::tkEnumeration, Stored);
    P.Enum = &Names;
    P.Default = Default;
    SetOrdinalAccess(P, Get, Set);
    return Add(std::move(P));
  }

  // A set over an enumeration, read and written as a bit mask (bit i = value i).
  template <class G, class S>
  TPublish& Set(const char* Name, G Get, S Set, const TEnumInfo& Names, std::optional<int64_t> Default = {},
                TStoredFn Stored = {}) {
    TPropInfo P = Make(Name, TTypeKind::tkSet, Stored);
    P.Enum = &Names;
    P.Default = Default;
    SetOrdinalAccess(P, Get, Set);
    return Add(std::move(P));
  }

  template <class G, class S>
  TPublish& Float(const char* Name, G Get, S Set, TStoredFn Stored = {}) {
    TPropInfo P = Make(Name, TTypeKind::tkFloat, Stored);
    P.GetFloat = [Get](const TObject& O) { return static_cast<double>(std::invoke(Get, Self(O))); };
    if constexpr (!std::is_null_pointer_v<S>)
      P.SetFloat = [Set](TObject& O, double V) { std::invoke(Set, Self(O), V); };
    return Add(std::move(P));
  }

  // A property whose value is an object of class T (or a descendant). Without a
  // setter the reader fills the object the getter returns in place.
  template <class T, class G, class S = std::nullptr_t>
  TPublish& Obj(const char* Name, G Get, S Set = nullptr, TStoredFn Stored = {}) {
    TPropInfo P = Make(Name, TTypeKind::tkClass, Stored);
    P.PropClassOf = &T::StaticClassInfo;
    P.GetObj = [Get](const TObject& O) -> TObject* { return std::invoke(Get, Self(O)); };
    if constexpr (!std::is_null_pointer_v<S>)
      P.SetObj = [Set](TObject& O, TObject* V) {
        T* Typed = V ? dynamic_cast<T*>(V) : nullptr;
        if (V && !Typed) throw EPropertyError("Invalid property value");
        std::invoke(Set, Self(O), Typed);
      };
    return Add(std::move(P));
  }

  // An event property kept in a field of type TEvent<...> of the class or of an
  // ancestor (a class may publish an event its ancestor declares).
  template <class K, class... Args>
  TPublish& Event(const char* Name, TEvent<Args...> K::*Field) {
    static_assert(std::is_base_of_v<K, C>, "the event must be a member of the class or an ancestor");
    using TCode = typename TEvent<Args...>::TCode;
    TPropInfo P = Make(Name, TTypeKind::tkMethod, {});
    P.GetMethod = [Field](const TObject& O) {
      const auto& E = Self(O).*Field;
      TMethodValue V;
      if (E.Code) V.Code = E.Code;
      V.Data = E.Data;
      V.Name = E.Name;
      return V;
    };
    P.SetMethod = [Field, N = std::string(Name)](TObject& O, const TMethodValue& V) {
      auto& E = const_cast<C&>(Self(O)).*Field;
      if (!V.Assigned()) {
        E = {};
        return;
      }
      const TCode* Code = std::any_cast<TCode>(&V.Code);
      if (!Code) throw EPropertyError("Incompatible handler " + V.Name + " for event " + N);
      E = TEvent<Args...>(*Code, V.Data, V.Name);
    };
    return Add(std::move(P));
  }

  // A published method, usable as an event handler named in a form resource.
  template <class... Args>
  TPublish& Method(const char* Name, void (C::*Fn)(Args...)) {
    TMethodInfo M;
    M.Name = Name;
    M.Bind = [Fn](TObject& O) -> std::any {
      C* Obj = &const_cast<C&>(Self(O));
      return std::function<void(Args...)>([Obj, Fn](Args... A) { (Obj->*Fn)(std::forward<Args>(A)...); });
    };
    Info_.AddMethod(std::move(M));
    return *this;
  }

  // A published field referring to a component the object owns.
  template <class T>
  TPublish& Field(const char* Name, T* C::*Member) {
    TFieldInfo F;
    F.Name = Name;
    F.Set = [Member](TObject& O, TComponent* V) {
      T* Typed = dynamic_cast<T*>(V);
      if (V && !Typed) return false;
      const_cast<C&>(Self(O)).*Member = Typed;
      return true;
    };
    Info_.AddField(std::move(F));
    return *this;
  }

private:
  static const C& Self(const TObject& O) { return static_cast<const C&>(O); }
  static C& Self(TObject& O) { return static_cast<C&>(O); }

  TPropInfo Make(const char* Name, TTypeKind Kind, TStoredFn Stored) {
    TPropInfo P;
    P.Name = Name;
    P.Kind = Kind;
    if (Stored) P.Stored = [Stored](const TObject& O) { return Stored(Self(O)); };
    return P;
  }

  template <class G, class S>
  static void SetOrdinalAccess(TPropInfo& P, G Get, S Set) {
    P.GetOrd = [Get](const TObject& O) { return static_cast<int64_t>(std::invoke(Get, Self(O))); };
    if constexpr (!std::is_null_pointer_v<S>)
      P.SetOrd = [Set](TObject& O, int64_t V) { InvokeWithArgType(Set, Self(O), V); };
  }

  // Converts the stored 64-bit value to whatever a member setter takes (int, an
  // enumeration, bool, a set); other setters take int64_t.
  template <class S>
  static void InvokeWithArgType(S Set, C& Obj, int64_t V) {
    if constexpr (std::is_member_function_pointer_v<S>) {
      using Arg = typename SetterArg<S>::type;
      std::invoke(Set, Obj, static_cast<Arg>(V));
    } else {
      std::invoke(Set, Obj, V);
    }
  }

  template <class S>
  struct SetterArg;
  template <class R, class K, class A>
  struct SetterArg<R (K::*)(A)> {
    using type = std::remove_cv_t<std::remove_reference_t<A>>;
  };

  TPublish& Add(TPropInfo P) {
    Info_.AddProp(std::move(P));
    return *this;
  }

  TClassInfo& Info_;
};

#define BEGIN_CLASS_INFO(Cls, ParentCls, Create)                               \
  const TClassInfo& Cls::StaticClassInfo() {                                   \
    static TClassInfo Info_(#Cls, &ParentCls::StaticClassInfo(), Create);      \
    static const bool Filled_ = [] {                                           \
      TPublish<Cls> P(Info_);                                                  \
      (void)P;

#define END_CLASS_INFO                                                         \
      return true;                                                             \
    }();                                                                       \
    (void)Filled_;                                                             \
    return Info_;                                                              \
  }
