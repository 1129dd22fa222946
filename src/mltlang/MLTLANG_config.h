// The defaults that new translation components take while forms are designed,
// kept in the file "mltlang.cfg" beside the executable: the identifier of each
// new language slot, the number of slots and the dictionary path.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classes/persistent.h"
#include "mltlang/Mltlang0.h"

class TConfiguration : public TPersistent {
  DECLARE_CLASS(TConfiguration)
public:
  static constexpr int32_t FileVersion = 100;

  // The identifiers of DefaultLangOrder, 2 slots, the dictionary "default.dct"
  // beside the executable.
  TConfiguration();
  // The same, then LoadFromFile(FileName).
  explicit TConfiguration(const std::string& FileName);
  ~TConfiguration() override;

  // Slot n of a new component takes element n.
  TLngLst& LangList() const { return *LangList_; }
  int DefMaxLang() const { return DefMaxLang_; }
  void SetDefMaxLang(int V) { DefMaxLang_ = V; }
  // Kept in the file, not otherwise used.
  int Reserved() const { return Reserved_; }
  void SetReserved(int V) { Reserved_ = V; }
  const std::string& DictPath() const { return DictPath_; }
  void SetDictPath(const std::string& S) { DictPath_ = S; }

  // Raises EFOpenError when the file cannot be opened. A file of another version
  // or a damaged one raises nothing: the identifiers fall back to DefaultLangOrder
  // and the other values keep what they held when the damage was found.
  void LoadFromFile(const std::string& FileName);
  // Replaces any existing file; raises EFCreateError or EWriteError.
  void SaveToFile(const std::string& FileName) const;

private:
  std::unique_ptr<TLngLst> LangList_;
  int32_t DefMaxLang_ = 2;
  int32_t Reserved_ = 0;
  std::string DictPath_;
};

// The directory of the running executable, with its trailing separator.
std::string ExecutableDir();
