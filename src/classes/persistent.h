// Persistent objects: objects that can be assigned to one another and that store
// themselves in form resources, through their published properties and through
// the extra properties they define for the filer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "classes/object.h"

class TStream;

// A property value as it stands in a form resource.
struct TFormValue {
  enum TKind { vkInteger, vkFloat, vkString, vkIdent, vkSet, vkList, vkBinary, vkCollection };
  struct TItem;  // one item of a collection value: its properties

  TKind Kind = vkInteger;
  int64_t Int = 0;
  double Float = 0;
  std::string Str;                 // string value, identifier, or binary bytes
  std::vector<std::string> Set;    // element names of a set value
  std::vector<TFormValue> List;    // elements of a list value
  std::vector<TItem> Items;        // items of a collection value
  int Line = 0;                    // where the value starts, for error messages

  static TFormValue Integer(int64_t V);
  static TFormValue String(std::string S);
  static TFormValue Ident(std::string S);
};

struct TFormValue::TItem {
  std::vector<std::pair<std::string, TFormValue>> Props;  // in file order
  int Line = 0;
};

// What a persistent object sees of the reader or writer in DefineProperties:
// each defined property is either read (the reader calls the read procedure when
// it finds the name) or written (the writer calls the write procedure when
// HasData holds).
class TFiler {
public:
  virtual ~TFiler() = default;
  virtual void DefineProperty(const std::string& Name, std::function<void(const TFormValue&)> ReadData,
                              std::function<TFormValue()> WriteData, bool HasData) = 0;
  // A binary value: the reader hands its bytes as a stream positioned at 0, the
  // writer collects what WriteData writes.
  virtual void DefineBinaryProperty(const std::string& Name, std::function<void(TStream&)> ReadData,
                                    std::function<void(TStream&)> WriteData, bool HasData) = 0;
};

class TPersistent : public TObject {
  DECLARE_CLASS(TPersistent)
public:
  // Copies Source into this object; the default asks Source->AssignTo(this) and
  // raises EConvertError "Cannot assign a X to a Y" when neither knows how.
  virtual void Assign(const TPersistent* Source);
  virtual void DefineProperties(TFiler& Filer) {}

protected:
  virtual void AssignTo(TPersistent* Dest) const;
};
