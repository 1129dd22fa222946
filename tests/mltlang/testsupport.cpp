#include "testsupport.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "classes/typinfo.h"
#include "mltlang/Mltlang1.h"

namespace {
// The records' classes are registered before the first test, as a program does
// at start-up.
struct TMltlangClasses : ::testing::Environment {
  void SetUp() override { RegisterMltlangRecordClasses(); }
};
const auto* const Registered = ::testing::AddGlobalTestEnvironment(new TMltlangClasses);
}  // namespace

std::vector<uint8_t> Written(const std::function<void(TStream&)>& Write) {
  TMemoryStream S;
  Write(S);
  return S.Bytes();
}

TTestControl::TTestControl(TComponent* Owner, const std::string& AName) : TComponent(Owner) {
  if (!AName.empty()) SetName(AName);
}

BEGIN_CLASS_INFO(TTestControl, TComponent, nullptr)
  P.Str("Caption", [](const TTestControl& C) { return C.Caption; },
        [](TTestControl& C, const std::string& V) {
          C.Caption = V;
          ++C.CaptionWrites;
        });
  P.Str("Hint", [](const TTestControl& C) { return C.Hint; }, [](TTestControl& C, const std::string& V) { C.Hint = V; });
  P.Int("Number", [](const TTestControl& C) { return C.Number; }, [](TTestControl& C, int64_t V) { C.Number = int(V); });
  P.Obj<TStrings>("Lines", [](const TTestControl& C) { return const_cast<TStringList*>(&C.Lines); });
  P.Str("Broken", [](const TTestControl&) { return std::string("broken"); },
        [](TTestControl&, const std::string&) { throw EPropertyError("cannot take a text"); });
  P.Str("Fixed", [](const TTestControl&) { return std::string("fixed"); }, nullptr);
END_CLASS_INFO

BEGIN_CLASS_INFO(TTestPanel, TCollectionItem, nullptr)
  P.Str("Text", [](const TTestPanel& I) { return I.Text; }, [](TTestPanel& I, const std::string& V) { I.Text = V; });
END_CLASS_INFO

BEGIN_CLASS_INFO(TTestColumn, TCollectionItem, nullptr)
  P.Str("Caption", [](const TTestColumn& I) { return I.Caption; },
        [](TTestColumn& I, const std::string& V) { I.Caption = V; });
END_CLASS_INFO

namespace {
void Fill(TCollection& C, int Count) {
  for (int I = 0; I < Count; ++I) C.Add();
}
}  // namespace

TTestStatusBar::TTestStatusBar(int Count)
    : TComponent(nullptr), Panels([](TCollection* C) { return new TTestPanel(C); }, this) {
  SetName("StatusBar1");
  Fill(Panels, Count);
}

BEGIN_CLASS_INFO(TTestStatusBar, TComponent, nullptr)
  P.Obj<TCollection>("Panels", [](const TTestStatusBar& C) { return const_cast<TCollection*>(&C.Panels); });
END_CLASS_INFO

TTestHeader::TTestHeader(int Count)
    : TComponent(nullptr), Sections([](TCollection* C) { return new TTestPanel(C); }, this) {
  SetName("HeaderControl1");
  Fill(Sections, Count);
}

BEGIN_CLASS_INFO(TTestHeader, TComponent, nullptr)
  P.Obj<TCollection>("Sections", [](const TTestHeader& C) { return const_cast<TCollection*>(&C.Sections); });
END_CLASS_INFO

TTestListView::TTestListView(int Count)
    : TComponent(nullptr), Columns([](TCollection* C) { return new TTestColumn(C); }, this) {
  SetName("ListView1");
  Fill(Columns, Count);
}

BEGIN_CLASS_INFO(TTestListView, TComponent, nullptr)
  P.Obj<TCollection>("Columns", [](const TTestListView& C) { return const_cast<TCollection*>(&C.Columns); });
END_CLASS_INFO

std::string TempFile(const std::string& Name) {
  // One folder per run, removed at exit.
  static const struct TDir {
    TDir() {
      auto Stamp = std::chrono::steady_clock::now().time_since_epoch().count();
      Path = std::filesystem::temp_directory_path() / ("mltlang_test_" + std::to_string(Stamp));
      std::filesystem::create_directories(Path);
    }
    ~TDir() {
      std::error_code E;
      std::filesystem::remove_all(Path, E);
    }
    std::filesystem::path Path;
  } Dir;
  return (Dir.Path / Name).string();
}

std::vector<uint8_t> ReadFileBytes(const std::string& Path) {
  std::ifstream F(Path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(F), {});
}

void WriteFileBytes(const std::string& Path, const std::vector<uint8_t>& Data) {
  std::ofstream F(Path, std::ios::binary | std::ios::trunc);
  F.write(reinterpret_cast<const char*>(Data.data()), static_cast<std::streamsize>(Data.size()));
}
