// What the translation-record tests share: bytes written out by hand, and small
// components that publish what the items translate.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "classes/components.h"
#include "classes/streams.h"
#include "classes/strings.h"

// Bytes spelt out piece by piece: Bytes()({100, 0, 0, 0})("Caption")({0}).
class Bytes {
public:
  Bytes& operator()(std::initializer_list<int> B) {
    for (int X : B) S_ += static_cast<char>(X);
    return *this;
  }
  Bytes& operator()(std::string_view S) {
    S_ += S;
    return *this;
  }
  operator std::vector<uint8_t>() const { return std::vector<uint8_t>(S_.begin(), S_.end()); }

private:
  std::string S_;
};

std::vector<uint8_t> Written(const std::function<void(TStream&)>& Write);

// A component with string, integer and string-list properties, one whose setter
// fails and one without a setter.
class TTestControl : public TComponent {
  DECLARE_CLASS(TTestControl)
public:
  explicit TTestControl(TComponent* Owner = nullptr, const std::string& AName = "Control1");
  std::string Caption;
  std::string Hint;
  int Number = 0;
  TStringList Lines;
  int CaptionWrites = 0;
};

class TTestPanel : public TCollectionItem {
  DECLARE_CLASS(TTestPanel)
public:
  using TCollectionItem::TCollectionItem;
  std::string Text;
};

class TTestColumn : public TCollectionItem {
  DECLARE_CLASS(TTestColumn)
public:
  using TCollectionItem::TCollectionItem;
  std::string Caption;
};

// Publishes its items under the name given, as the status bar ("Panels"), the
// header control ("Sections") and the list view ("Columns") do.
class TTestStatusBar : public TComponent {
  DECLARE_CLASS(TTestStatusBar)
public:
  explicit TTestStatusBar(int Count);
  TCollection Panels;
};

class TTestHeader : public TComponent {
  DECLARE_CLASS(TTestHeader)
public:
  explicit TTestHeader(int Count);
  TCollection Sections;
};

class TTestListView : public TComponent {
  DECLARE_CLASS(TTestListView)
public:
  explicit TTestListView(int Count);
  TCollection Columns;
};

std::string TempFile(const std::string& Name);
std::vector<uint8_t> ReadFileBytes(const std::string& Path);
void WriteFileBytes(const std::string& Path, const std::vector<uint8_t>& Data);
