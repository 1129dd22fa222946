// TRegistry against the real registry of the test prefix, and TIniFile against real files.
#include "gui/inifiles.h"
#include "gui/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

class Registry : public ::testing::Test {
protected:
  // A scratch key of our own under HKCU, removed before and after each test.
  const std::string Base = "Software\\instbrisko-test\\registry-" + IntToStr(GetCurrentProcessId());

  void SetUp() override { TRegistry().DeleteKey(Base); }
  void TearDown() override {
    TRegistry R;
    R.DeleteKey(Base);
    EXPECT_FALSE(R.KeyExists(Base));
  }
};

TEST_F(Registry, CreatesWritesAndReadsBackWithKeyNamesComparedWithoutCase) {
  {
    TRegistry R;
    EXPECT_EQ(R.RootKey(), HKEY_CURRENT_USER);
    EXPECT_FALSE(R.KeyExists(Base + "\\X\\InstallTO"));
    EXPECT_FALSE(R.OpenKey(Base + "\\X\\InstallTO", false));
    ASSERT_TRUE(R.OpenKey(Base + "\\X\\InstallTO", true));
    EXPECT_EQ(R.CurrentPath(), Base + "\\X\\InstallTO");
    R.WriteString("", "C:\\program Files\\Brisko\\");
    R.WriteString("Accents", "caf\xE9 \x80");
  }
  TRegistry R;
  EXPECT_TRUE(R.KeyExists(Base + "\\x\\installto"));
  ASSERT_TRUE(R.OpenKeyReadOnly(Base + "\\X\\InstallTo"));
  EXPECT_EQ(R.ReadString(""), "C:\\program Files\\Brisko\\");
  EXPECT_EQ(R.ReadString("ACCENTS"), "caf\xE9 \x80");
  EXPECT_EQ(R.ReadString("Missing"), "");
  EXPECT_FALSE(R.ValueExists("Missing"));
}

TEST_F(Registry, LongValuesAndNamesComeBackWhole) {
  TRegistry R;
  ASSERT_TRUE(R.OpenKey(Base, true));
  std::string Long(5000, 'v');
  R.WriteString("Long", Long);
  R.WriteString("Empty", "");
  EXPECT_EQ(R.ReadString("Long"), Long);
  EXPECT_EQ(R.ReadString("Empty"), "");
  EXPECT_TRUE(R.ValueExists("Empty"));
  std::string LongName(300, 'n');
  R.WriteString(LongName, "named");
  EXPECT_EQ(R.ReadString(LongName), "named");
  std::vector<std::string> Names = R.GetValueNames();
  EXPECT_NE(std::find(Names.begin(), Names.end(), LongName), Names.end());
  std::string LongKey(255, 'k');  // the longest key name there is
  ASSERT_TRUE(R.OpenKey(LongKey, true));
  ASSERT_TRUE(R.OpenKey("\\" + Base, false));
  EXPECT_EQ(R.GetKeyNames(), std::vector<std::string>{LongKey});
}

TEST_F(Registry, ValuesOfOtherTypesRaiseInsteadOfReadingAsText) {
  TRegistry R;
  ASSERT_TRUE(R.OpenKey(Base, true));
  DWORD Number = 42;
  ASSERT_EQ(RegSetValueExA(R.CurrentKey(), "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&Number),
                           sizeof(Number)),
            ERROR_SUCCESS);
  try {
    R.ReadString("Number");
    FAIL() << "no exception";
  } catch (const ERegistryException& E) {
    EXPECT_NE(E.Message().find("'Number'"), std::string::npos) << E.Message();
  }
}

TEST_F(Registry, WritingWithoutAWritableKeyRaises) {
  TRegistry R;
  EXPECT_THROW(R.WriteString("V", "x"), ERegistryException);
  EXPECT_EQ(R.ReadString("V"), "");
  ASSERT_TRUE(R.OpenKey(Base, true));
  ASSERT_TRUE(R.OpenKeyReadOnly("\\" + Base));
  try {
    R.WriteString("V", "x");
    FAIL() << "no exception";
  } catch (const ERegistryException& E) {
    EXPECT_NE(E.Message().find("Failed to set data for 'V'"), std::string::npos) << E.Message();
  }
}

TEST_F(Registry, PathsAreRelativeToTheOpenKeyUnlessTheyStartWithABackslash) {
  TRegistry R;
  ASSERT_TRUE(R.OpenKey(Base, true));
  ASSERT_TRUE(R.OpenKey("Child\\", true));
  EXPECT_EQ(R.CurrentPath(), Base + "\\Child");
  R.WriteString("Where", "child");
  ASSERT_TRUE(R.OpenKey("\\" + Base + "\\Other", true));
  EXPECT_EQ(R.CurrentPath(), Base + "\\Other");
  EXPECT_FALSE(R.KeyExists("Child"));
  EXPECT_TRUE(R.KeyExists("\\" + Base + "\\Child"));
  R.CloseKey();
  EXPECT_EQ(R.CurrentKey(), nullptr);
  // With no key open, a relative path starts at the root.
  ASSERT_TRUE(R.OpenKey(Base + "\\Child", false));
  EXPECT_EQ(R.ReadString("Where"), "child");
}

TEST_F(Registry, DeleteKeyRemovesTheWholeSubtree) {
  TRegistry R;
  for (const char* Sub : {"\\Brisko\\InstallTO\\Deeper\\Deepest", "\\Brisko\\Other", "\\Keep"}) {
    ASSERT_TRUE(R.OpenKey("\\" + Base + Sub, true));
    R.WriteString("", Sub);
    R.WriteString("Named", Sub);
  }
  R.CloseKey();
  EXPECT_FALSE(R.DeleteKey(""));
  EXPECT_FALSE(R.DeleteKey("\\"));
  EXPECT_TRUE(R.DeleteKey(Base + "\\brisko"));
  EXPECT_FALSE(R.KeyExists(Base + "\\Brisko"));
  EXPECT_FALSE(R.DeleteKey(Base + "\\Brisko"));
  ASSERT_TRUE(R.OpenKey(Base, false));
  EXPECT_EQ(R.GetKeyNames(), std::vector<std::string>{"Keep"});
  // Relative to the open key.
  EXPECT_TRUE(R.DeleteKey("Keep"));
  EXPECT_TRUE(R.GetKeyNames().empty());
}

TEST_F(Registry, ListsAndDeletesValues) {
  TRegistry R;
  R.SetLazyWrite(false);
  ASSERT_TRUE(R.OpenKey(Base, true));
  R.WriteString("", "default");
  R.WriteString("A", "1");
  R.WriteString("B", "2");
  R.CloseKey();  // flushed at once, not lazily

  TRegistry Reader;
  ASSERT_TRUE(Reader.OpenKey(Base, false));
  std::vector<std::string> Names = Reader.GetValueNames();
  std::sort(Names.begin(), Names.end());
  EXPECT_EQ(Names, (std::vector<std::string>{"", "A", "B"}));
  EXPECT_TRUE(Reader.DeleteValue("a"));
  EXPECT_FALSE(Reader.DeleteValue("A"));
  EXPECT_FALSE(Reader.ValueExists("A"));
  EXPECT_TRUE(Reader.ValueExists("B"));
}

TEST_F(Registry, SettingTheRootClosesTheOpenKey) {
  TRegistry R;
  ASSERT_TRUE(R.OpenKey(Base, true));
  R.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(R.CurrentKey(), nullptr);
  EXPECT_FALSE(R.KeyExists(Base));
  EXPECT_TRUE(R.KeyExists("Software\\Microsoft"));
}

// A fresh, empty folder under the temporary folder.
class IniFile : public ::testing::Test {
protected:
  std::string Dir;

  void SetUp() override {
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    Dir = std::string(Temp) + "instbrisko-ini-" + IntToStr(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(Dir.c_str(), nullptr);
  }
  void TearDown() override {
    WIN32_FIND_DATAA Data;
    TFindHandle Find(FindFirstFileA((Dir + "*").c_str(), &Data));
    if (Find)
      do DeleteFileA((Dir + Data.cFileName).c_str());
      while (FindNextFileA(Find.Get(), &Data));
    Find.Close();
    RemoveDirectoryA(Dir.c_str());
  }
  std::string Contents(const std::string& Name) {
    std::ifstream In(Dir + Name, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
  }
};

TEST_F(IniFile, WritesNewEntriesAndKeepsEveryOtherEntry) {
  {
    std::ofstream Out(Dir + "TALMOR.INI", std::ios::binary);
    Out << "; the product's own settings\r\n[System]\r\nOther=keep me\r\n"
           "Web2cBINDir=old\r\n[Fonts]\r\nSize=12\r\n";
  }
  {
    TIniFile Ini(Dir + "TALMOR.INI");
    Ini.WriteString("System", "Web2cBINDir", "C:\\program Files\\Brisko\\");
    Ini.WriteString("UserChoice", "TalmorLanguage", "DE");
    Ini.WriteString("UserChoice", "SpellLanguage", "DE");
  }
  std::string Text = Contents("TALMOR.INI");
  EXPECT_NE(Text.find("; the product's own settings"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Other=keep me"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Size=12"), std::string::npos) << Text;
  EXPECT_NE(Text.find("Web2cBINDir=C:\\program Files\\Brisko\\"), std::string::npos) << Text;
  EXPECT_EQ(Text.find("old"), std::string::npos) << Text;

  TIniFile Ini(Dir + "talmor.ini");
  EXPECT_EQ(Ini.ReadString("userchoice", "TALMORLANGUAGE", "US"), "DE");
  EXPECT_EQ(Ini.ReadString("UserChoice", "Missing", "US"), "US");
  EXPECT_EQ(Ini.ReadString("Nowhere", "Missing", ""), "");
  EXPECT_EQ(Ini.ReadSection("UserChoice"), (std::vector<std::string>{"TalmorLanguage", "SpellLanguage"}));
  EXPECT_TRUE(Ini.SectionExists("FONTS"));
  EXPECT_FALSE(Ini.SectionExists("Font"));
  EXPECT_TRUE(Ini.ValueExists("system", "other"));
  EXPECT_FALSE(Ini.ValueExists("System", "Size"));
}

TEST_F(IniFile, NumbersBooleansAndLongValues) {
  TIniFile Ini(Dir + "numbers.ini");
  Ini.WriteInteger("N", "Neg", -17);
  Ini.WriteString("N", "Hex", "$1F");
  Ini.WriteString("N", "Junk", "12abc");
  Ini.WriteBool("N", "Yes", true);
  Ini.WriteBool("N", "No", false);
  EXPECT_EQ(Ini.ReadInteger("N", "Neg", 0), -17);
  EXPECT_EQ(Ini.ReadInteger("N", "Hex", 0), 31);
  EXPECT_EQ(Ini.ReadInteger("N", "Junk", 5), 5);
  EXPECT_EQ(Ini.ReadInteger("N", "Missing", 7), 7);
  EXPECT_TRUE(Ini.ReadBool("N", "Yes", false));
  EXPECT_FALSE(Ini.ReadBool("N", "No", true));
  EXPECT_TRUE(Ini.ReadBool("N", "Missing", true));
  EXPECT_TRUE(Ini.ReadBool("N", "Neg", false));
  std::string Long(3000, 'x');
  Ini.WriteString("L", "Long", Long);
  EXPECT_EQ(Ini.ReadString("L", "Long", ""), Long);
}

TEST_F(IniFile, DeletesKeysAndSections) {
  TIniFile Ini(Dir + "erase.ini");
  Ini.WriteString("A", "One", "1");
  Ini.WriteString("A", "Two", "2");
  Ini.WriteString("B", "Three", "3");
  Ini.DeleteKey("A", "one");
  EXPECT_EQ(Ini.ReadSection("A"), std::vector<std::string>{"Two"});
  Ini.EraseSection("a");
  EXPECT_EQ(Ini.ReadSections(), std::vector<std::string>{"B"});
  Ini.UpdateFile();
  EXPECT_EQ(Contents("erase.ini").find("Two"), std::string::npos);
  EXPECT_NE(Contents("erase.ini").find("Three=3"), std::string::npos);
}

TEST_F(IniFile, WritingIntoAMissingFolderRaisesAndReadingGivesDefaults) {
  TIniFile Ini(Dir + "no such folder\\TALMOR.INI");
  try {
    Ini.WriteString("System", "Web2cBINDir", "x");
    FAIL() << "no exception";
  } catch (const EIniFileException& E) {
    EXPECT_NE(E.Message().find("no such folder\\TALMOR.INI"), std::string::npos) << E.Message();
  }
  EXPECT_EQ(Ini.ReadString("System", "Web2cBINDir", "default"), "default");
  EXPECT_FALSE(Ini.SectionExists("System"));
}

}  // namespace
