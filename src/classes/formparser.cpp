// The text side of form resources: parsing into nodes and formatting them back.
#include <charconv>
#include <cstdio>

#include "classes/formstream.h"
#include "classes/sysutils.h"

namespace {

[[noreturn]] void Fail(int Line, const std::string& What) {
  throw EReadError("Line " + IntToStr(Line) + ": " + What);
}

bool IsIdentStart(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; }
bool IsIdentChar(char C) { return IsIdentStart(C) || (C >= '0' && C <= '9'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

class TParser {
public:
  explicit TParser(std::string_view Text) : T_(Text) {}

  TFormNode ParseRoot() {
    SkipBlanks();
    TFormNode Root = ParseObject();
    SkipBlanks();
    if (!AtEnd()) Fail(Line_, "text after the last end");
    return Root;
  }

private:
  bool AtEnd() const { return P_ >= T_.size(); }
  char Peek() const { return AtEnd() ? '\0' : T_[P_]; }

  void SkipBlanks() {
    while (!AtEnd()) {
      char C = T_[P_];
      if (C == '\n') {
        ++Line_;
        ++P_;
      } else if (C == ' ' || C == '\t' || C == '\r') {
        ++P_;
      } else if (C == '/' && P_ + 1 < T_.size() && T_[P_ + 1] == '/') {
        while (!AtEnd() && T_[P_] != '\n') ++P_;
      } else {
        break;
      }
    }
  }

  std::string Ident(const char* Expected) {
    SkipBlanks();
    if (!IsIdentStart(Peek())) Fail(Line_, std::string("expected ") + Expected);
    size_t Start = P_;
    while (IsIdentChar(Peek())) ++P_;
    return std::string(T_.substr(Start, P_ - Start));
  }

  // A property name: identifiers joined by full stops.
  std::string PropName() {
    std::string Name = Ident("a property name");
    while (Peek() == '.') {
      ++P_;
      Name += '.' + Ident("a property name");
    }
    return Name;
  }

  void Expect(char C) {
    SkipBlanks();
    if (Peek() != C) Fail(Line_, std::string("expected '") + C + "'");
    ++P_;
  }

  bool KeywordAhead(std::string_view Word) {
    SkipBlanks();
    if (T_.size() - P_ < Word.size()) return false;
    for (size_t I = 0; I < Word.size(); ++I)
      if ((T_[P_ + I] | 0x20) != Word[I]) return false;
    return P_ + Word.size() == T_.size() || !IsIdentChar(T_[P_ + Word.size()]);
  }

  TFormNode ParseObject() {
    TFormNode Node;
    Node.Line = Line_;
    std::string Word = Ident("object");
    if (!SameText(Word, "object")) Fail(Node.Line, "expected object, found " + Word);
    Node.Name = Ident("a component name");
    SkipBlanks();
    if (Peek() == ':') {
      ++P_;
      Node.ClassName = Ident("a class name");
    } else {
      Node.ClassName = Node.Name;
      Node.Name.clear();
    }
    for (;;) {
      if (KeywordAhead("end")) {
        P_ += 3;
        return Node;
      }
      if (AtEnd()) Fail(Line_, "missing end of object " + Node.Name);
      if (KeywordAhead("object")) {
        Node.Children.push_back(ParseObject());
        continue;
      }
      TFormNode::TProp Prop;
      Prop.Line = Line_;
      Prop.Name = PropName();
      Expect('=');
      Prop.Value = ParseValue();
      Node.Props.push_back(std::move(Prop));
    }
  }

  TFormValue ParseValue() {
    SkipBlanks();
    TFormValue V;
    V.Line = Line_;
    char C = Peek();
    if (C == '\'' || C == '#') {
      V.Kind = TFormValue::vkString;
      V.Str = ParseString();
    } else if (C == '-' || C == '+' || C == '$' || IsDigit(C)) {
      ParseNumber(V);
    } else if (C == '[') {
      ParseSet(V);
    } else if (C == '(') {
      ++P_;
      V.Kind = TFormValue::vkList;
      for (;;) {
        SkipBlanks();
        if (Peek() == ')') {
          ++P_;
          break;
        }
        if (AtEnd()) Fail(V.Line, "missing ')'");
        V.List.push_back(ParseValue());
      }
    } else if (C == '{') {
      ParseBinary(V);
    } else if (C == '<') {
      ParseCollection(V);
    } else if (IsIdentStart(C)) {
      V.Kind = TFormValue::vkIdent;
      V.Str = PropName();
    } else {
      Fail(Line_, AtEnd() ? "missing value" : std::string("unexpected character '") + C + "'");
    }
    return V;
  }

  // 'text', '' for a quote, #nnn for a byte, pieces joined directly or by +.
  std::string ParseString() {
    // Pieces join when they touch ('a'#13'b'); across blanks only with a +.
    std::string S;
    for (;;) {
      char C = Peek();
      if (C == '\'') {
        ++P_;
        for (;;) {
          if (AtEnd() || Peek() == '\n') Fail(Line_, "unterminated string");
          char D = T_[P_++];
          if (D == '\'') {
            if (Peek() == '\'') {
              S += '\'';
              ++P_;
            } else {
              break;
            }
          } else {
            S += D;
          }
        }
      } else if (C == '#') {
        ++P_;
        int Value = 0, Digits = 0;
        while (IsDigit(Peek()) && Digits < 4) {
          Value = Value * 10 + (T_[P_++] - '0');
          ++Digits;
        }
        if (Digits == 0 || Value > 255) Fail(Line_, "invalid character code");
        S += static_cast<char>(Value);
      } else {
        size_t Save = P_;
        int SaveLine = Line_;
        SkipBlanks();
        if (Peek() == '+') {
          ++P_;
          SkipBlanks();
          if (Peek() == '\'' || Peek() == '#') continue;
        }
        P_ = Save;
        Line_ = SaveLine;
        return S;
      }
    }
  }

  void ParseNumber(TFormValue& V) {
    size_t Start = P_;
    if (Peek() == '-' || Peek() == '+') ++P_;
    if (Peek() == '$') {
      ++P_;
      while (HexValue(Peek()) >= 0) ++P_;
    } else {
      while (IsDigit(Peek()) || Peek() == '.' || Peek() == 'e' || Peek() == 'E' ||
             ((Peek() == '-' || Peek() == '+') && (T_[P_ - 1] == 'e' || T_[P_ - 1] == 'E')))
        ++P_;
    }
    if (IsIdentChar(Peek())) {
      while (IsIdentChar(Peek())) ++P_;
      Fail(V.Line, "invalid number " + std::string(T_.substr(Start, P_ - Start)));
    }
    std::string Text(T_.substr(Start, P_ - Start));
    if (Text.find_first_of(".eE") != std::string::npos && Text.find('$') == std::string::npos) {
      V.Kind = TFormValue::vkFloat;
      const char* B = Text.c_str();
      if (*B == '+') ++B;
      auto [End, Err] = std::from_chars(B, Text.c_str() + Text.size(), V.Float);
      if (Err != std::errc() || End != Text.c_str() + Text.size()) Fail(V.Line, "invalid number " + Text);
    } else {
      V.Kind = TFormValue::vkInteger;
      if (!TryStrToInt(Text, V.Int)) Fail(V.Line, "invalid number " + Text);
    }
  }

  void ParseSet(TFormValue& V) {
    ++P_;
    V.Kind = TFormValue::vkSet;
    SkipBlanks();
    if (Peek() == ']') {
      ++P_;
      return;
    }
    for (;;) {
      V.Set.push_back(Ident("a set element"));
      SkipBlanks();
      if (Peek() == ']') {
        ++P_;
        return;
      }
      Expect(',');
    }
  }

  void ParseBinary(TFormValue& V) {
    ++P_;
    V.Kind = TFormValue::vkBinary;
    int High = -1;
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Fail(V.Line, "missing '}'");
      char C = T_[P_++];
      if (C == '}') break;
      int H = HexValue(C);
      if (H < 0) Fail(Line_, std::string("invalid binary value character '") + C + "'");
      if (High < 0) {
        High = H;
      } else {
        V.Str += static_cast<char>(High * 16 + H);
        High = -1;
      }
    }
    if (High >= 0) Fail(V.Line, "odd number of hex digits in binary value");
  }

  void ParseCollection(TFormValue& V) {
    ++P_;
    V.Kind = TFormValue::vkCollection;
    for (;;) {
      SkipBlanks();
      if (Peek() == '>') {
        ++P_;
        return;
      }
      TFormValue::TItem Item;
      Item.Line = Line_;
      std::string Word = Ident("item");
      if (!SameText(Word, "item")) Fail(Item.Line, "expected item, found " + Word);
      for (;;) {
        if (KeywordAhead("end")) {
          P_ += 3;
          break;
        }
        if (AtEnd()) Fail(Line_, "missing end of item");
        std::string Name = PropName();
        Expect('=');
        Item.Props.emplace_back(Name, ParseValue());
      }
      V.Items.push_back(std::move(Item));
    }
  }

  std::string_view T_;
  size_t P_ = 0;
  int Line_ = 1;
};

// --- Formatting -----------------------------------------------------------------

std::string QuoteString(const std::string& S) {
  if (S.empty()) return "''";
  std::string R;
  bool InQuotes = false;
  for (unsigned char C : S) {
    if (C >= 32 && C < 127) {
      if (!InQuotes) {
        R += '\'';
        InQuotes = true;
      }
      if (C == '\'') R += '\'';
      R += static_cast<char>(C);
    } else {
      if (InQuotes) {
        R += '\'';
        InQuotes = false;
      }
      R += '#' + std::to_string(C);
    }
  }
  if (InQuotes) R += '\'';
  return R;
}

std::string FormatFloat(double D) {
  char Buffer[40];
  std::snprintf(Buffer, sizeof Buffer, "%.17g", D);
  std::string S = Buffer;
  if (S.find_first_of(".eE") == std::string::npos && S.find_first_of("ni") == std::string::npos) S += ".0";
  return S;
}

void FormatValue(const TFormValue& V, const std::string& Indent, std::string& Out);

void FormatProps(const std::vector<std::pair<std::string, TFormValue>>& Props, const std::string& Indent,
                 std::string& Out) {
  for (const auto& [Name, Value] : Props) {
    Out += Indent + Name + " = ";
    FormatValue(Value, Indent, Out);
    Out += '\n';
  }
}

void FormatValue(const TFormValue& V, const std::string& Indent, std::string& Out) {
  static const char* Hex = "0123456789ABCDEF";
  switch (V.Kind) {
    case TFormValue::vkInteger: Out += IntToStr(V.Int); break;
    case TFormValue::vkFloat: Out += FormatFloat(V.Float); break;
    case TFormValue::vkString: Out += QuoteString(V.Str); break;
    case TFormValue::vkIdent: Out += V.Str; break;
    case TFormValue::vkSet:
      Out += '[';
      for (size_t I = 0; I < V.Set.size(); ++I) Out += (I ? ", " : "") + V.Set[I];
      Out += ']';
      break;
    case TFormValue::vkList:
      Out += '(';
      for (const TFormValue& E : V.List) {
        Out += '\n' + Indent + "  ";
        FormatValue(E, Indent + "  ", Out);
      }
      Out += ')';
      break;
    case TFormValue::vkBinary:
      Out += '{';
      for (size_t I = 0; I < V.Str.size(); ++I) {
        if (I % 32 == 0) Out += '\n' + Indent + "  ";
        unsigned char B = static_cast<unsigned char>(V.Str[I]);
        Out += Hex[B >> 4];
        Out += Hex[B & 15];
      }
      Out += '}';
      break;
    case TFormValue::vkCollection:
      Out += '<';
      for (const auto& Item : V.Items) {
        Out += '\n' + Indent + "  item\n";
        FormatProps(Item.Props, Indent + "    ", Out);
        Out += Indent + "  end";
      }
      Out += '>';
      break;
  }
}

void FormatNode(const TFormNode& Node, const std::string& Indent, std::string& Out) {
  Out += Indent + "object " + Node.Name + ": " + Node.ClassName + '\n';
  for (const auto& P : Node.Props) {
    Out += Indent + "  " + P.Name + " = ";
    FormatValue(P.Value, Indent + "  ", Out);
    Out += '\n';
  }
  for (const auto& C : Node.Children) FormatNode(C, Indent + "  ", Out);
  Out += Indent + "end\n";
}

}  // namespace

TFormNode ParseForm(std::string_view Text) { return TParser(Text).ParseRoot(); }

std::string FormatForm(const TFormNode& Node) {
  std::string Out;
  FormatNode(Node, "", Out);
  return Out;
}
