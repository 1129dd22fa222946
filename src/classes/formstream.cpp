// The component side of form resources: applying parsed nodes to live
// components and collecting components into nodes.
#include "classes/formstream.h"

#include <cmath>

#include "classes/streams.h"
#include "classes/sysutils.h"
#include "classes/typinfo.h"

namespace {

[[noreturn]] void Fail(int Line, const std::string& What) {
  throw EReadError("Line " + IntToStr(Line) + ": " + What);
}

std::vector<std::string> SplitPath(const std::string& Path) {
  std::vector<std::string> Parts;
  size_t Start = 0;
  for (;;) {
    size_t Dot = Path.find('.', Start);
    Parts.push_back(Path.substr(Start, Dot == std::string::npos ? std::string::npos : Dot - Start));
    if (Dot == std::string::npos) return Parts;
    Start = Dot + 1;
  }
}

// The filer a reader hands to DefineProperties: it runs the read procedure of
// the one property it is looking for.
class TReadFiler : public TFiler {
public:
  TReadFiler(const std::string& Name, const TFormValue& Value) : Name_(Name), Value_(Value) {}
  bool Found() const { return Found_; }

  void DefineProperty(const std::string& Name, std::function<void(const TFormValue&)> ReadData,
                      std::function<TFormValue()>, bool) override {
    if (Found_ || !SameText(Name, Name_) || !ReadData) return;
    Found_ = true;
    if (Value_.Kind == TFormValue::vkBinary) Fail(Value_.Line, "Invalid property value of " + Name);
    ReadData(Value_);
  }

  void DefineBinaryProperty(const std::string& Name, std::function<void(TStream&)> ReadData,
                            std::function<void(TStream&)>, bool) override {
    if (Found_ || !SameText(Name, Name_) || !ReadData) return;
    Found_ = true;
    if (Value_.Kind != TFormValue::vkBinary) Fail(Value_.Line, "Invalid property value of " + Name);
    TMemoryStream Stream(std::vector<uint8_t>(Value_.Str.begin(), Value_.Str.end()));
    ReadData(Stream);
  }

private:
  std::string Name_;
  const TFormValue& Value_;
  bool Found_ = false;
};

// The filer a writer hands to DefineProperties: it collects every defined
// property that has data.
class TWriteFiler : public TFiler {
public:
  TWriteFiler(const std::string& Prefix, std::vector<TFormNode::TProp>& Out) : Prefix_(Prefix), Out_(Out) {}

  void DefineProperty(const std::string& Name, std::function<void(const TFormValue&)>,
                      std::function<TFormValue()> WriteData, bool HasData) override {
    if (HasData && WriteData) Out_.push_back({Prefix_ + Name, WriteData(), 0});
  }

  void DefineBinaryProperty(const std::string& Name, std::function<void(TStream&)>,
                            std::function<void(TStream&)> WriteData, bool HasData) override {
    if (!HasData || !WriteData) return;
    TMemoryStream Stream;
    WriteData(Stream);
    TFormValue V;
    V.Kind = TFormValue::vkBinary;
    V.Str.assign(Stream.Bytes().begin(), Stream.Bytes().end());
    Out_.push_back({Prefix_ + Name, std::move(V), 0});
  }

private:
  std::string Prefix_;
  std::vector<TFormNode::TProp>& Out_;
};

class TFormReader {
public:
  explicit TFormReader(TComponent& Root) : Root_(Root) {}

  void Read(const TFormNode& Node) {
    if (!SameText(Node.ClassName, Root_.ClassName()))
      Fail(Node.Line, "The resource describes " + Node.ClassName + ", not " + Root_.ClassName());
    Loaded_.push_back(&Root_);
    Root_.SetLoading(true);
    Root_.SetReading(true);
    try {
      if (!Node.Name.empty()) Root_.SetName(Node.Name);
      ReadBody(Root_, Node);
      ResolveReferences();
    } catch (...) {
      EndReading();
      for (TComponent* C : Loaded_) C->SetLoading(false);
      throw;
    }
    EndReading();
    for (TComponent* C : Loaded_) C->Loaded();
  }

private:
  struct TReference {
    TObject* Obj;
    const TPropInfo* Prop;
    std::string Name;
    int Line;
  };

  void EndReading() {
    for (TComponent* C : Loaded_) C->SetReading(false);
  }

  void ReadBody(TComponent& Comp, const TFormNode& Node) {
    for (const auto& P : Node.Props) SetProperty(Comp, P.Name, P.Value, P.Line);
    for (const auto& Child : Node.Children) ReadChild(Comp, Child);
  }

  void ReadChild(TComponent& Parent, const TFormNode& Node) {
    const TClassInfo* Class = FindClass(Node.ClassName);
    if (!Class || !Class->Creator()) Fail(Node.Line, "Class " + Node.ClassName + " not found");
    TComponent* Comp = nullptr;
    try {
      Comp = Class->Creator()(&Root_);
    } catch (const Exception& E) {
      Fail(Node.Line, "Cannot create " + Node.Name + ": " + E.Message());
    }
    Loaded_.push_back(Comp);
    Comp->SetLoading(true);
    Comp->SetReading(true);
    try {
      Comp->SetName(Node.Name);
    } catch (const Exception& E) {
      Fail(Node.Line, E.Message());
    }
    if (const TFieldInfo* Field = Root_.ClassInfo().FindField(Node.Name))
      if (!Field->Set(Root_, Comp))
        Fail(Node.Line, "Field " + Node.Name + " of " + Root_.ClassName() + " is not a " + Node.ClassName);
    if (&Parent != &Root_ || Comp->HasParent()) Comp->SetParentComponent(&Parent);
    ReadBody(*Comp, Node);
  }

  // Follows a dotted path to the object holding its last part.
  TObject* Resolve(TObject& Start, const std::vector<std::string>& Parts, int Line) {
    TObject* Obj = &Start;
    for (size_t I = 0; I + 1 < Parts.size(); ++I) {
      const TPropInfo* P = GetPropInfo(*Obj, Parts[I]);
      if (!P || P->Kind != TTypeKind::tkClass)
        Fail(Line, "Property " + Parts[I] + " does not exist in " + Obj->ClassName());
      TObject* Next = P->GetObj(*Obj);
      if (!Next) Fail(Line, "Property " + Parts[I] + " of " + Obj->ClassName() + " holds no object");
      Obj = Next;
    }
    return Obj;
  }

  void SetProperty(TObject& Start, const std::string& Path, const TFormValue& Value, int Line) {
    std::vector<std::string> Parts = SplitPath(Path);
    TObject* Obj = Resolve(Start, Parts, Line);
    const std::string& Name = Parts.back();
    try {
      if (const TPropInfo* P = GetPropInfo(*Obj, Name)) {
        SetPublished(*Obj, *P, Value, Line);
        return;
      }
      if (auto* Persistent = dynamic_cast<TPersistent*>(Obj)) {
        TReadFiler Filer(Name, Value);
        Persistent->DefineProperties(Filer);
        if (Filer.Found()) return;
      }
    } catch (const EReadError& E) {
      if (E.Message().rfind("Line ", 0) == 0) throw;
      Fail(Line, "Error reading " + Path + ": " + E.Message());
    } catch (const Exception& E) {
      Fail(Line, "Error reading " + Path + ": " + E.Message());
    } catch (const std::exception& E) {
      Fail(Line, "Error reading " + Path + ": " + E.what());
    }
    Fail(Line, "Property " + Path + " does not exist in " + Start.ClassName());
  }

  [[noreturn]] void Invalid(const TPropInfo& P, int Line) { Fail(Line, "Invalid property value of " + P.Name); }

  void SetPublished(TObject& Obj, const TPropInfo& P, const TFormValue& V, int Line) {
    switch (P.Kind) {
      case TTypeKind::tkInteger: {
        int64_t N = 0;
        if (V.Kind == TFormValue::vkInteger) N = V.Int;
        else if (!(V.Kind == TFormValue::vkIdent && P.Idents && P.Idents->ToInt(V.Str, N))) Invalid(P, Line);
        SetOrdProp(Obj, P, N);
        return;
      }
      case TTypeKind::tkBoolean:
      case TTypeKind::tkEnumeration: {
        int N = V.Kind == TFormValue::vkIdent ? P.Enum->ValueOf(V.Str) : -1;
        if (N < 0) Invalid(P, Line);
        SetOrdProp(Obj, P, N);
        return;
      }
      case TTypeKind::tkSet: {
        if (V.Kind != TFormValue::vkSet) Invalid(P, Line);
        int64_t Mask = 0;
        for (const std::string& E : V.Set) {
          int N = P.Enum->ValueOf(E);
          if (N < 0 || N >= 64) Fail(Line, "Invalid set element " + E + " of " + P.Name);
          Mask |= int64_t(1) << N;
        }
        SetOrdProp(Obj, P, Mask);
        return;
      }
      case TTypeKind::tkFloat:
        if (V.Kind == TFormValue::vkFloat) SetFloatProp(Obj, P, V.Float);
        else if (V.Kind == TFormValue::vkInteger) SetFloatProp(Obj, P, static_cast<double>(V.Int));
        else Invalid(P, Line);
        return;
      case TTypeKind::tkString:
        if (V.Kind != TFormValue::vkString) Invalid(P, Line);
        SetStrProp(Obj, P, V.Str);
        return;
      case TTypeKind::tkMethod: {
        if (V.Kind != TFormValue::vkIdent) Invalid(P, Line);
        const TMethodInfo* M = Root_.ClassInfo().FindMethod(V.Str);
        if (!M) Fail(Line, "Method " + V.Str + " not found in " + Root_.ClassName());
        TMethodValue MV;
        MV.Code = M->Bind(Root_);
        MV.Data = &Root_;
        MV.Name = M->Name;
        SetMethodProp(Obj, P, MV);
        return;
      }
      case TTypeKind::tkClass:
        SetClassValue(Obj, P, V, Line);
        return;
    }
  }

  void SetClassValue(TObject& Obj, const TPropInfo& P, const TFormValue& V, int Line) {
    if (V.Kind == TFormValue::vkCollection) {
      auto* Collection = dynamic_cast<TCollection*>(P.GetObj(Obj));
      if (!Collection) Invalid(P, Line);
      Collection->BeginUpdate();
      try {
        Collection->Clear();
        for (const auto& Item : V.Items) {
          TCollectionItem* New = Collection->Add();
          for (const auto& [Name, Value] : Item.Props) SetProperty(*New, Name, Value, Value.Line);
        }
      } catch (...) {
        Collection->EndUpdate();
        throw;
      }
      Collection->EndUpdate();
      return;
    }
    if (V.Kind != TFormValue::vkIdent || !P.SetObj) Invalid(P, Line);
    if (SameText(V.Str, "nil")) {
      P.SetObj(Obj, nullptr);
      return;
    }
    // The component may come later in the text: resolve once everything exists.
    References_.push_back({&Obj, &P, V.Str, Line});
  }

  void ResolveReferences() {
    for (const TReference& R : References_) {
      TComponent* Target = SameText(R.Name, Root_.Name()) ? &Root_ : Root_.FindComponent(R.Name);
      if (!Target || !Target->InheritsFrom(*R.Prop->PropClass()))
        Fail(R.Line, "Invalid reference " + R.Name + " for property " + R.Prop->Name);
      R.Prop->SetObj(*R.Obj, Target);
    }
  }

  TComponent& Root_;
  std::vector<TComponent*> Loaded_;
  std::vector<TReference> References_;
};

class TFormWriter {
public:
  explicit TFormWriter(TComponent& Root) : Root_(Root) {}

  TFormNode Write(TComponent& Comp) {
    TFormNode Node;
    Node.Name = Comp.Name();
    Node.ClassName = Comp.ClassName();
    WriteProps(Comp, "", Node.Props);
    Comp.GetChildren([&](TComponent* Child) { Node.Children.push_back(Write(*Child)); }, &Root_);
    return Node;
  }

private:
  void WriteProps(TObject& Obj, const std::string& Prefix, std::vector<TFormNode::TProp>& Out) {
    for (const TPropInfo* P : Obj.ClassInfo().Props()) {
      if (Prefix.empty() && SameText(P->Name, "Name") && dynamic_cast<TComponent*>(&Obj)) continue;
      if (!P->IsStored(Obj)) continue;
      WriteProp(Obj, *P, Prefix, Out);
    }
    if (auto* Persistent = dynamic_cast<TPersistent*>(&Obj)) {
      TWriteFiler Filer(Prefix, Out);
      Persistent->DefineProperties(Filer);
    }
  }

  void WriteProp(TObject& Obj, const TPropInfo& P, const std::string& Prefix, std::vector<TFormNode::TProp>& Out) {
    std::string Name = Prefix + P.Name;
    TFormValue V;
    switch (P.Kind) {
      case TTypeKind::tkInteger: {
        int64_t N = P.GetOrd(Obj);
        if (P.Default && *P.Default == N) return;
        std::string Ident;
        if (P.Idents && P.Idents->ToIdent(N, Ident)) V = TFormValue::Ident(Ident);
        else V = TFormValue::Integer(N);
        break;
      }
      case TTypeKind::tkBoolean:
      case TTypeKind::tkEnumeration: {
        int64_t N = P.GetOrd(Obj);
        if (P.Default && *P.Default == N) return;
        V = TFormValue::Ident(P.Enum->NameOf(static_cast<int>(N)));
        break;
      }
      case TTypeKind::tkSet: {
        int64_t N = P.GetOrd(Obj);
        if (P.Default && *P.Default == N) return;
        V.Kind = TFormValue::vkSet;
        for (int I = 0; I < P.Enum->Count() && I < 64; ++I)
          if ((N >> I) & 1) V.Set.push_back(P.Enum->NameOf(I));
        break;
      }
      case TTypeKind::tkFloat: {
        double D = P.GetFloat(Obj);
        if (D == 0) return;
        V.Kind = TFormValue::vkFloat;
        V.Float = D;
        break;
      }
      case TTypeKind::tkString: {
        std::string S = P.GetStr(Obj);
        if (S.empty()) return;
        V = TFormValue::String(S);
        break;
      }
      case TTypeKind::tkMethod: {
        TMethodValue M = P.GetMethod(Obj);
        if (!M.Assigned() || M.Name.empty()) return;
        V = TFormValue::Ident(M.Name);
        break;
      }
      case TTypeKind::tkClass: {
        TObject* Value = P.GetObj(Obj);
        if (!Value) return;
        if (auto* C = dynamic_cast<TComponent*>(Value)) {
          if (C->Name().empty()) return;
          V = TFormValue::Ident(C->Name());
          break;
        }
        if (auto* Collection = dynamic_cast<TCollection*>(Value)) {
          if (Collection->Count() == 0) return;
          V.Kind = TFormValue::vkCollection;
          for (int I = 0; I < Collection->Count(); ++I) {
            std::vector<TFormNode::TProp> ItemProps;
            WriteProps(*Collection->Items(I), "", ItemProps);
            TFormValue::TItem Item;
            for (auto& IP : ItemProps) Item.Props.emplace_back(IP.Name, std::move(IP.Value));
            V.Items.push_back(std::move(Item));
          }
          break;
        }
        WriteProps(*Value, Name + ".", Out);
        return;
      }
    }
    Out.push_back({Name, std::move(V), 0});
  }

  TComponent& Root_;
};

std::string StreamText(TStream& Stream) {
  int64_t N = Stream.Remaining();
  std::string Text(static_cast<size_t>(N), '\0');
  Stream.ReadBuffer(Text.data(), N);
  return Text;
}

}  // namespace

void ReadComponent(std::string_view Text, TComponent& Root) { TFormReader(Root).Read(ParseForm(Text)); }

void ReadComponent(TStream& Stream, TComponent& Root) { ReadComponent(StreamText(Stream), Root); }

std::string WriteComponent(TComponent& Root) {
  Root.SetWriting(true);
  try {
    std::string Text = FormatForm(TFormWriter(Root).Write(Root));
    Root.SetWriting(false);
    return Text;
  } catch (...) {
    Root.SetWriting(false);
    throw;
  }
}

void WriteComponent(TComponent& Root, TStream& Stream) {
  std::string Text = WriteComponent(Root);
  Stream.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
}
