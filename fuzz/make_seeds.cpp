// Writes valid streams as the fuzzers' starting points: item lists as form
// resources hold them, and configuration files.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "classes/streams.h"
#include "mltlang/MLTLANG_config.h"
#include "mltlang/Mltlang1.h"

namespace fs = std::filesystem;

namespace {

void Save(const fs::path& File, const std::vector<uint8_t>& Bytes) {
  std::ofstream F(File, std::ios::binary | std::ios::trunc);
  F.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}

void SaveList(const fs::path& File, const TInfoList& List) {
  TMemoryStream S;
  List.WriteData(S);
  Save(File, S.Bytes());
}

TCIStr* Caption(const char* CompName, int CompIndex, const char* English, const char* Dutch) {
  auto* Item = new TCIStr;
  Item->SetPropName("Caption");
  Item->SetCompName(CompName);
  Item->SetCompIndex(CompIndex);
  Item->SetValue(English, 0);
  Item->SetValue(Dutch, 2);
  Item->SetValue("", 8);
  return Item;
}

template <class T>
T* Lines(const char* PropName, std::initializer_list<const char*> Base, std::initializer_list<const char*> Other) {
  auto* Item = new T;
  Item->SetPropName(PropName);
  Item->SetCompName("Control1");
  int I = 0;
  for (const char* S : Base) Item->SetStringList(S, 0, I++);
  I = 0;
  for (const char* S : Other) Item->SetStringList(S, 1, I++);
  return Item;
}

}  // namespace

int main(int argc, char** argv) {
  RegisterMltlangRecordClasses();
  if (argc != 2) {
    std::cerr << "usage: make_seeds <folder>\n";
    return 2;
  }
  fs::path Root = argv[1];
  fs::create_directories(Root / "infolist");
  fs::create_directories(Root / "config");

  TInfoList Welcome;
  Welcome.Add(Caption("iiForm1", -1, "Welcome to the setup program for Brisko!", "Welkom bij de installatie."));
  Welcome.Add(Caption("Label1", 0, "Welcome!", "Welkom!"));
  for (TLangid Id : {lgENGLISH, lgGERMAN, lgDUTCH, lgFRENCH, lgPOLISH, lgCZECH, lgSLOVAK, lgDANISH, lgRUSSIAN})
    Welcome.Languages()->IndexOfId(Id);
  SaveList(Root / "infolist" / "welcome", Welcome);

  TInfoList Kinds;
  Kinds.Add(Lines<TCIStrList>("Lines", {"one", "two"}, {"een", "twee"}));
  Kinds.Add(Lines<TCIStPanels>("", {"Ready", "Line 1"}, {"Klaar"}));
  Kinds.Add(Lines<TCIHdCtrl>("", {"Name", "Size", "Date"}, {"Naam", "", "Datum"}));
  Kinds.Add(Lines<TCIListClmns>("", {"File"}, {"Bestand"}));
  Kinds.Languages()->IndexOfId(lgENGLISH);
  Kinds.Languages()->IndexOfId(lgDUTCH);
  SaveList(Root / "infolist" / "kinds", Kinds);

  TInfoList Empty;
  SaveList(Root / "infolist" / "empty", Empty);

  TConfiguration Config;
  Config.SetDictPath("C:\\dict\\main.dct");
  Config.SaveToFile((Root / "config" / "default").string());
  Config.LangList().FreeAll();
  Config.LangList().IndexOfId(lgDUTCH);
  Config.LangList().IndexOfId(lgFRENCH);
  Config.SetDefMaxLang(9);
  Config.SaveToFile((Root / "config" / "short").string());
  return 0;
}
