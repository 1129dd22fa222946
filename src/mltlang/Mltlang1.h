// Translation items: each binds one translatable text of one component to its
// values in every language slot (slot 0 = the base language as designed), puts a
// slot's values into the component (Apply) and takes the component's values into
// a slot (Fetch). Also the item list with its language list, stored together in a
// form resource, and the dictionary's stream classes.
//
// A translation equal to the base text is kept as an empty string, and an empty
// value leaves the component's text alone: switching from one translation to
// another first applies slot 0, so every untranslated text shows the base text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "classes/components.h"
#include "classes/strings.h"
#include "classes/sysutils.h"
#include "mltlang/Mltlang0.h"
#include "mltlang/tContain.h"

class TStream;

INSTBRISKO_EXCEPTION(EMLangInvalid, Exception);

// The translation records' classes: every record the object container streams
// (the language identifier and list, the items, the item list, the dictionary).
// A program of the records alone calls it at start-up, before any record is read
// or written; a program with forms calls RegisterMltlangClasses (MLTLANG.h), which
// calls this. Nothing registers itself. Later calls do nothing.
void RegisterMltlangRecordClasses();

// A string as 4 bytes L = length + 1, then (only when L > 1) the characters and
// one zero byte. The reader raises EReadError for an L beyond the stream's end or
// L bytes without a zero byte.
void WriteCountedString(TStream& Stream, const std::string& S);
std::string ReadCountedString(TStream& Stream);

// The abstract item. Its record (the base record) begins every item record:
// version 100, the control slot, PropName, CompName, CompIndex, ElemCount.
class TCI : public TObject {
  DECLARE_CLASS(TCI)
public:
  static constexpr int32_t RecordVersion = 100;

  TCI() = default;

  // The translated component, not owned. An item read from a form resource is
  // unbound until its translation component resolves it by name; a copy made by
  // CloneObject is bound to its source's component.
  TComponent* Control() const { return Control_; }
  void SetControl(TComponent* C) { Control_ = C; }
  const std::string& PropName() const { return PropName_; }
  void SetPropName(const std::string& S) { PropName_ = S; }
  // The component's Name when last resolved (the form's name for the form).
  const std::string& CompName() const { return CompName_; }
  void SetCompName(const std::string& S) { CompName_ = S; }
  // The component's position among its owner's components; -1 for the form.
  int CompIndex() const { return CompIndex_; }
  void SetCompIndex(int V) { CompIndex_ = V; }
  // How many elements Apply writes.
  int ElemCount() const { return ElemCount_; }
  void SetElemCount(int V) { ElemCount_ = V; }

  virtual void SaveToStream(TStream& Stream) const;
  // Raises EMLangInvalid "Version not supported !" for a version other than 100.
  virtual void LoadFromStream(TStream& Stream);
  // Keeps the values of the first N slots.
  virtual void SetLength(int N);
  virtual std::string GetValue(int Lang) const;
  virtual void SetValue(const std::string& S, int Lang);
  virtual std::string GetStringList(int Lang, int Index) const;
  virtual void SetStringList(const std::string& S, int Lang, int Index);
  // Puts the values of slot Lang into the component. Only the design flag of
  // State counts: in design state slot 0 is written even where it is empty.
  virtual void Apply(int Lang, const TComponentState& State) = 0;
  // Takes the component's current values into slot Lang.
  virtual void Fetch(int Lang) = 0;

protected:
  explicit TCI(TBlank) {}

  // The published string property PropName of Control: written only when Control
  // has a name, and silently not at all when the property is missing, of another
  // kind or its setter fails.
  void WriteStrProp(const std::string& Value) const;
  std::string ReadStrProp() const;
  // The string list held by the published class property PropName, or null.
  TStrings* StringListProp() const;

private:
  TComponent* Control_ = nullptr;
  std::string PropName_;
  std::string CompName_;
  int32_t CompIndex_ = 0;
  int32_t ElemCount_ = 0;
};

// One published string property ("Caption", "Hint"): one text per slot.
class TCIStr : public TCI {
  DECLARE_CLASS(TCIStr)
public:
  TCIStr();
  static TObject* CreateBlank();

  // Index = slot. Null only in a blank instance that has not been read.
  TStringList* Texts() const { return Texts_.get(); }

  void SaveToStream(TStream& Stream) const override;
  void LoadFromStream(TStream& Stream) override;
  void SetLength(int N) override;
  // Empty for a slot beyond the stored texts.
  std::string GetValue(int Lang) const override;
  // Slot 0 takes S as it is; any other slot takes the empty string when S equals
  // slot 0 exactly.
  void SetValue(const std::string& S, int Lang) override;
  std::string GetStringList(int Lang, int Index) const override { return GetValue(Lang); }
  void SetStringList(const std::string& S, int Lang, int Index) override { SetValue(S, Lang); }
  void Apply(int Lang, const TComponentState& State) override;
  void Fetch(int Lang) override;

private:
  explicit TCIStr(TBlank B) : TCI(B) {}
  std::unique_ptr<TStringList> Texts_;
};

// A published string-list property (the lines of a memo, the items of a list
// box), line by line: one list of lines per slot.
class TCIStrList : public TCI {
  DECLARE_CLASS(TCIStrList)
public:
  TCIStrList();
  static TObject* CreateBlank();

  int LangListCount() const { return LangLists_ ? static_cast<int>(LangLists_->size()) : 0; }
  // The lines of slot Lang; null when there is no such slot.
  TStringList* LangList(int Lang) const;

  void SaveToStream(TStream& Stream) const override;
  void LoadFromStream(TStream& Stream) override;
  void SetLength(int N) override;
  // Empty when there is no such slot or line.
  std::string GetStringList(int Lang, int Index) const override;
  // Slot 0 takes S as line Index; another slot takes the empty string when S
  // equals line Index of slot 0 exactly (which must exist). ElemCount grows to
  // the longest slot.
  void SetStringList(const std::string& S, int Lang, int Index) override;
  // The target must hold at least ElemCount lines; its index error propagates.
  void Apply(int Lang, const TComponentState& State) override;
  void Fetch(int Lang) override;

protected:
  explicit TCIStrList(TBlank B) : TCI(B) {}

  // Apply and Fetch over the items of a collection the control publishes as the
  // class property CollectionProp, each item's text being its string property
  // TextProp. The collection's index error propagates.
  void ApplyToCollection(int Lang, const TComponentState& State, const char* CollectionProp,
                         const char* TextProp);
  void FetchFromCollection(int Lang, const char* CollectionProp, const char* TextProp);

private:
  using TLangLists = std::vector<std::unique_ptr<TStringList>>;
  int LongestLangList() const;
  // Hands Write each element i < ElemCount of slot Lang that counts: every one
  // in design state for slot 0, otherwise those that are not empty.
  template <class TWrite>
  void ApplyElements(int Lang, const TComponentState& State, TWrite Write);

  std::unique_ptr<TLangLists> LangLists_;
};

// The panel texts of a status bar ("Panels", each panel's "Text").
class TCIStPanels : public TCIStrList {
  DECLARE_CLASS(TCIStPanels)
public:
  TCIStPanels() = default;
  static TObject* CreateBlank();
  void Apply(int Lang, const TComponentState& State) override;
  void Fetch(int Lang) override;

private:
  explicit TCIStPanels(TBlank B) : TCIStrList(B) {}
};

// The section texts of a header control ("Sections", each section's "Text").
class TCIHdCtrl : public TCIStrList {
  DECLARE_CLASS(TCIHdCtrl)
public:
  TCIHdCtrl() = default;
  static TObject* CreateBlank();
  void Apply(int Lang, const TComponentState& State) override;
  void Fetch(int Lang) override;

private:
  explicit TCIHdCtrl(TBlank B) : TCIStrList(B) {}
};

// The column captions of a list view ("Columns", each column's "Caption").
class TCIListClmns : public TCIStrList {
  DECLARE_CLASS(TCIListClmns)
public:
  TCIListClmns() = default;
  static TObject* CreateBlank();
  void Apply(int Lang, const TComponentState& State) override;
  void Fetch(int Lang) override;

private:
  explicit TCIListClmns(TBlank B) : TCIStrList(B) {}
};

// The value of a translation component's Items: its items, then its language
// list (one identifier per slot), in one stream.
class TInfoList : public TObjectList {
  DECLARE_CLASS(TInfoList)
public:
  TInfoList();
  ~TInfoList() override;
  static TObject* CreateBlank();

  // Null only in a blank instance that has not been read.
  TLngLst* Languages() const { return Languages_.get(); }
  // Element Index as an item (null for an emptied slot or another kind).
  TCI* Item(int Index) const { return dynamic_cast<TCI*>(Get(Index)); }

  // Appends the stream's items and replaces the languages by the stream's.
  // Raises EMLangInvalid for an element of the wrong kind, dropping it and what
  // followed it.
  void ReadData(TStream& Stream) override;
  void WriteData(TStream& Stream) const override;
  // A deep copy of another item list; each copied item is bound to the component
  // of its source.
  void Assign(const TPersistent* Source) override;

private:
  explicit TInfoList(TBlank B) : TObjectList(B) {}
  std::unique_ptr<TLngLst> Languages_;
};

// One dictionary entry: its words, one per language.
class TDictionaryItem : public TObject {
  DECLARE_CLASS(TDictionaryItem)
public:
  TDictionaryItem() : Words_(std::make_unique<TStringList>()) {}
  static TObject* CreateBlank() { return new TDictionaryItem(TBlank{}); }

  // Null only in a blank instance that has not been read.
  TStringList* Words() const { return Words_.get(); }

  static void LoadRecord(TDictionaryItem& Obj, TStream& Stream);
  static void StoreRecord(const TDictionaryItem& Obj, TStream& Stream);

private:
  explicit TDictionaryItem(TBlank) {}
  std::unique_ptr<TStringList> Words_;
};

// Dictionary entries and their language list, streamed as an item list is.
class TDictionary : public TObjectList {
  DECLARE_CLASS(TDictionary)
public:
  TDictionary();
  ~TDictionary() override;
  static TObject* CreateBlank();

  TLngLst* Languages() const { return Languages_.get(); }
  TDictionaryItem* Entry(int Index) const { return dynamic_cast<TDictionaryItem*>(Get(Index)); }

  // Appends entries and languages alike: identifiers present stay in front.
  void ReadData(TStream& Stream) override;
  void WriteData(TStream& Stream) const override;

private:
  explicit TDictionary(TBlank B) : TObjectList(B) {}
  std::unique_ptr<TLngLst> Languages_;
};
