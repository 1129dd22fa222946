// Lists of strings with an object beside each string, a sorted string list, and
// a plain list of pointers.
#pragma once

#include <string>
#include <vector>

#include "classes/persistent.h"
#include "classes/typinfo.h"

// The abstract list: what a control's lines or items and a plain string list have
// in common. Stored in form resources as "Strings = ( 'a' 'b' )".
class TStrings : public TPersistent {
  DECLARE_CLASS(TStrings)
public:
  virtual int Count() const = 0;
  virtual std::string Get(int Index) const = 0;
  virtual TObject* GetObject(int Index) const { return nullptr; }
  virtual void Put(int Index, const std::string& S);
  virtual void PutObject(int Index, TObject* Obj) {}
  virtual void Insert(int Index, const std::string& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;

  virtual int Add(const std::string& S);
  int AddObject(const std::string& S, TObject* Obj);
  void AddStrings(const TStrings& Other);
  // Index of the first string equal to S (as the list compares), -1 when none.
  virtual int IndexOf(const std::string& S) const;
  int IndexOfObject(const TObject* Obj) const;
  std::string operator[](int Index) const { return Get(Index); }

  // Lines joined by CR LF, each one ended by it; setting splits at CR LF, LF or CR.
  std::string Text() const;
  void SetText(const std::string& Text);
  std::vector<std::string> ToVector() const;

  // While updates are held, a control-backed list may defer redrawing.
  void BeginUpdate();
  void EndUpdate();

  void Assign(const TPersistent* Source) override;
  void DefineProperties(TFiler& Filer) override;

protected:
  virtual void SetUpdateState(bool Updating) {}
  [[noreturn]] void Error(const char* Pattern, int Index) const;

private:
  int UpdateCount_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// A string list kept in memory, optionally sorted. Comparison ignores case with
// the platform's ANSI rules unless CaseSensitive is set.
class TStringList : public TStrings {
  DECLARE_CLASS(TStringList)
public:
  TStringList() = default;
  ~TStringList() override;

  int Count() const override { return static_cast<int>(Items_.size()); }
  std::string Get(int Index) const override;
  TObject* GetObject(int Index) const override;
  void Put(int Index, const std::string& S) override;
  void PutObject(int Index, TObject* Obj) override;
  void Insert(int Index, const std::string& S) override;
  void InsertObject(int Index, const std::string& S, TObject* Obj);
  void Delete(int Index) override;
  void Clear() override;
  int Add(const std::string& S) override;
  int AddObject(const std::string& S, TObject* Obj);
  int IndexOf(const std::string& S) const override;

  // Binary search of a sorted list: true when found; Index is where S is or would go.
  bool Find(const std::string& S, int& Index) const;
  void Sort();

  bool Sorted() const { return Sorted_; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return Duplicates_; }
  void SetDuplicates(TDuplicates D) { Duplicates_ = D; }
  bool CaseSensitive() const { return CaseSensitive_; }
  void SetCaseSensitive(bool Value);
  // When set, the list frees the objects beside its strings as they go.
  bool OwnsObjects() const { return OwnsObjects_; }
  void SetOwnsObjects(bool Value) { OwnsObjects_ = Value; }

  TNotifyEvent OnChange;

protected:
  virtual int Compare(const std::string& A, const std::string& B) const;
  void Changed();

private:
  struct TItem {
    std::string S;
    TObject* Obj = nullptr;
  };
  void CheckIndex(int Index, int Limit) const;
  void InsertItem(int Index, const std::string& S, TObject* Obj);
  void FreeObject(TObject* Obj);

  std::vector<TItem> Items_;
  bool Sorted_ = false;
  bool CaseSensitive_ = false;
  bool OwnsObjects_ = false;
  TDuplicates Duplicates_ = dupIgnore;
};

// A list of untyped pointers (not owned).
class TList {
public:
  int Count() const { return static_cast<int>(Items_.size()); }
  void* Get(int Index) const;
  void Put(int Index, void* Item);
  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  int Remove(void* Item);  // removes the first occurrence; its former index or -1
  int IndexOf(const void* Item) const;
  void Clear() { Items_.clear(); }
  void Pack();  // drops the null entries
  void* operator[](int Index) const { return Get(Index); }

private:
  void CheckIndex(int Index, int Limit) const;
  std::vector<void*> Items_;
};
