#include "mltlang/MLTLANG_config.h"

#include "classes/streams.h"
#include "mltlang/Mltlang1.h"

namespace {

std::unique_ptr<TLngLst> DefaultLangList() {
  auto List = std::make_unique<TLngLst>();
  for (TLangid Id : DefaultLangOrder) List->IndexOfId(Id);
  return List;
}

}  // namespace

BEGIN_CLASS_INFO(TConfiguration, TPersistent, nullptr)
END_CLASS_INFO

TConfiguration::TConfiguration() : LangList_(DefaultLangList()), DictPath_(ExecutableDir() + "default.dct") {}

TConfiguration::TConfiguration(const std::string& FileName) : TConfiguration() { LoadFromFile(FileName); }

TConfiguration::~TConfiguration() = default;

void TConfiguration::LoadFromFile(const std::string& FileName) {
  TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
  std::unique_ptr<TLngLst> List;
  try {
    if (File.ReadInt32() != FileVersion) throw EMLangInvalid("Different version for configuration file !");
    List = std::make_unique<TLngLst>();
    List->ReadData(File);
    // Every element must be an identifier; GetId raises for anything else.
    for (int I = 0; I < List->Count(); ++I) List->GetId(I);
    DefMaxLang_ = File.ReadInt32();
    Reserved_ = File.ReadInt32();
    DictPath_ = ReadCountedString(File);
  } catch (const std::exception&) {
    // A file that is not ours, or is damaged, is rewritten in this format when
    // the design session ends; until then the identifiers take their defaults.
    List = DefaultLangList();
  }
  LangList_ = std::move(List);
}

void TConfiguration::SaveToFile(const std::string& FileName) const {
  TFileStream File(FileName, fmCreate);
  File.WriteInt32(FileVersion);
  LangList_->WriteData(File);
  File.WriteInt32(DefMaxLang_);
  File.WriteInt32(Reserved_);
  WriteCountedString(File, DictPath_);
}

std::string ExecutableDir() {
  std::string Path = ExecutablePath();
  size_t Pos = Path.find_last_of("\\/");
  return Pos == std::string::npos ? std::string() : Path.substr(0, Pos + 1);
}
