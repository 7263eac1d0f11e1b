// Form-file syntax: the parser that turns text into a TFormObject tree and the layout that
// turns a tree back into text. The reader (FormReader.cpp) and the writer (FormWriter.cpp) work
// on the tree.
#include <charconv>
#include <cstring>

#include "kivo/rtl/FormFile.h"
#include "kivo/rtl/StrUtils.h"

namespace kivo {

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A byte as a message shows it: itself when printable, else its #nn code.
std::string Shown(char c) {
  return (c >= 32 && c < 127) ? std::string(1, c)
                              : "#" + std::to_string(static_cast<unsigned char>(c));
}

// Appends the UTF-8 form of `code` (a #nnn code above 255, as Unicode writers store texts).
void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

enum class Tok { kEnd, kIdent, kInteger, kFloat, kString, kBinary, kSymbol };

struct Token {
  Tok kind = Tok::kEnd;
  std::string text;  // identifier, digits, string value, binary bytes, symbol
  int64_t integer = 0;
  double number = 0;
  int line = 1;
};

class Parser {
 public:
  Parser(std::string_view text, const std::string& file_name) : text_(text), file_(file_name) {
    CheckLineLengths();
    Advance();
  }

  TFormObject ParseRoot() {
    TFormObject root = ParseObject(0);
    if (tok_.kind != Tok::kEnd) Fail("Text after the end of the form", tok_.line);
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what, int line) const {
    throw EFormFileError(what + " at " + file_ + ":" + std::to_string(line));
  }

  void CheckLineLengths() const {
    size_t start = 0;
    int line = 1;
    while (start <= text_.size()) {
      size_t end = text_.find('\n', start);
      if (end == std::string_view::npos) end = text_.size();
      if (end - start > kMaxFormLine) {
        Fail("Line longer than " + std::to_string(kMaxFormLine) + " bytes", line);
      }
      start = end + 1;
      ++line;
    }
  }

  // --- Lexer

  void SkipBlanks() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
      } else if (c != ' ' && c != '\t' && c != '\r' && c != '\f') {
        break;
      }
      ++pos_;
    }
  }

  void Advance() {
    SkipBlanks();
    tok_ = Token();
    tok_.line = line_;
    if (pos_ >= text_.size()) return;
    char c = text_[pos_];
    if (IsIdentStart(c)) {
      size_t start = pos_;
      for (;;) {
        while (pos_ < text_.size() && IsIdentChar(text_[pos_])) ++pos_;
        if (pos_ + 1 < text_.size() && text_[pos_] == '.' && IsIdentStart(text_[pos_ + 1])) {
          ++pos_;
          continue;
        }
        break;
      }
      tok_.kind = Tok::kIdent;
      tok_.text = std::string(text_.substr(start, pos_ - start));
    } else if (IsDigit(c) || c == '$') {
      LexNumber();
    } else if (c == '\'' || c == '#') {
      LexString();
    } else if (c == '{') {
      LexBinary();
    } else if (std::strchr("=:[](),<>+-", c) != nullptr) {
      tok_.kind = Tok::kSymbol;
      tok_.text = std::string(1, c);
      ++pos_;
    } else {
      Fail("Unexpected character '" + Shown(c) + "'", line_);
    }
  }

  void LexNumber() {
    size_t start = pos_;
    if (text_[pos_] == '$') {
      ++pos_;
      uint64_t value = 0;
      size_t digits = 0;
      while (pos_ < text_.size() && HexValue(text_[pos_]) >= 0) {
        if (++digits > 16) Fail("Integer value out of range", line_);
        value = value * 16 + static_cast<uint64_t>(HexValue(text_[pos_]));
        ++pos_;
      }
      if (digits == 0) Fail("Hexadecimal digits expected after '$'", line_);
      tok_.kind = Tok::kInteger;
      tok_.integer = static_cast<int64_t>(value);
      tok_.text = std::string(text_.substr(start, pos_ - start));
      return;
    }
    while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
    bool is_float = false;
    if (pos_ + 1 < text_.size() && text_[pos_] == '.' && IsDigit(text_[pos_ + 1])) {
      is_float = true;
      ++pos_;
      while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      size_t p = pos_ + 1;
      if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) ++p;
      if (p < text_.size() && IsDigit(text_[p])) {
        is_float = true;
        pos_ = p;
        while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
      }
    }
    tok_.text = std::string(text_.substr(start, pos_ - start));
    if (pos_ < text_.size() && IsIdentChar(text_[pos_])) {
      Fail("Invalid number '" + tok_.text + text_[pos_] + "'", line_);
    }
    if (is_float) {
      tok_.kind = Tok::kFloat;
      auto [p, ec] =
          std::from_chars(tok_.text.data(), tok_.text.data() + tok_.text.size(), tok_.number);
      if (ec != std::errc()) Fail("Invalid floating point value '" + tok_.text + "'", line_);
    } else {
      tok_.kind = Tok::kInteger;
      uint64_t value = 0;
      auto [p, ec] = std::from_chars(tok_.text.data(), tok_.text.data() + tok_.text.size(), value);
      if (ec != std::errc() || value > static_cast<uint64_t>(INT64_MAX)) {
        Fail("Integer value out of range", line_);
      }
      tok_.integer = static_cast<int64_t>(value);
    }
  }

  // A string: quoted pieces and #nn codes, with nothing between them.
  void LexString() {
    tok_.kind = Tok::kString;
    std::string& out = tok_.text;
    for (;;) {
      if (pos_ < text_.size() && text_[pos_] == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r') {
            Fail("Unterminated string", line_);
          }
          char c = text_[pos_++];
          if (c == '\'') {
            if (pos_ < text_.size() && text_[pos_] == '\'') {
              out += '\'';
              ++pos_;
              continue;
            }
            break;
          }
          out += c;
        }
      } else if (pos_ < text_.size() && text_[pos_] == '#') {
        ++pos_;
        uint32_t code = 0;
        size_t digits = 0;
        bool hex = pos_ < text_.size() && text_[pos_] == '$';
        if (hex) ++pos_;
        while (pos_ < text_.size() && (hex ? HexValue(text_[pos_]) >= 0 : IsDigit(text_[pos_]))) {
          code = code * (hex ? 16 : 10) +
                 static_cast<uint32_t>(hex ? HexValue(text_[pos_]) : text_[pos_] - '0');
          ++pos_;
          if (++digits > 7 || code > 0x10FFFF) Fail("Invalid character code", line_);
        }
        if (digits == 0) Fail("Character code expected after '#'", line_);
        if (code <= 255) {
          out += static_cast<char>(code);
        } else {
          AppendUtf8(out, code);
        }
      } else {
        break;
      }
    }
  }

  void LexBinary() {
    int start_line = line_;
    ++pos_;
    tok_.kind = Tok::kBinary;
    int high = -1;
    for (;;) {
      if (pos_ >= text_.size()) Fail("Unterminated binary value", start_line);
      char c = text_[pos_++];
      if (c == '}') break;
      if (c == '\n') {
        ++line_;
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r') continue;
      int v = HexValue(c);
      if (v < 0) {
        Fail("Invalid hexadecimal digit '" + Shown(c) + "' in binary value", line_);
      }
      if (high < 0) {
        high = v;
      } else {
        tok_.text += static_cast<char>(high * 16 + v);
        high = -1;
      }
    }
    if (high >= 0) Fail("Odd number of hexadecimal digits in binary value", line_);
  }

  // --- Parser

  bool IsSymbol(const char* s) const { return tok_.kind == Tok::kSymbol && tok_.text == s; }
  bool IsWord(const char* w) const { return tok_.kind == Tok::kIdent && SameText(tok_.text, w); }
  bool IsObjectKeyword() const {
    return IsWord("object") || IsWord("inherited") || IsWord("inline");
  }

  void Expect(const char* symbol, const char* context) {
    if (!IsSymbol(symbol)) Fail(std::string("'") + symbol + "' expected " + context, tok_.line);
    Advance();
  }

  std::string Describe() const {
    switch (tok_.kind) {
      case Tok::kEnd:
        return "end of file";
      case Tok::kIdent:
        return "'" + tok_.text + "'";
      case Tok::kSymbol:
        return "'" + tok_.text + "'";
      case Tok::kString:
        return "a string";
      case Tok::kBinary:
        return "binary data";
      default:
        return "'" + tok_.text + "'";
    }
  }

  void Enter(int line) {
    if (++depth_ > kMaxFormDepth) {
      Fail("Nesting deeper than " + std::to_string(kMaxFormDepth) + " levels", line);
    }
  }

  TFormObject ParseObject(int /*level*/) {
    TFormObject obj;
    obj.line = tok_.line;
    if (!IsObjectKeyword()) Fail("'object' expected, found " + Describe(), tok_.line);
    Enter(tok_.line);
    obj.keyword = tok_.text;
    for (char& c : obj.keyword) c = static_cast<char>(c | 0x20);
    Advance();
    if (tok_.kind != Tok::kIdent) Fail("Component name or class expected", tok_.line);
    std::string first = tok_.text;
    Advance();
    if (IsSymbol(":")) {
      Advance();
      if (tok_.kind != Tok::kIdent) Fail("Class name expected after ':'", tok_.line);
      obj.name = first;
      obj.class_name = tok_.text;
      Advance();
    } else {
      obj.class_name = first;
    }
    if (obj.name.find('.') != std::string::npos || obj.class_name.find('.') != std::string::npos) {
      Fail("Invalid object header '" + first + "'", obj.line);
    }
    if (IsSymbol("[")) {  // the creation index of an inherited component: not kept
      Advance();
      if (tok_.kind != Tok::kInteger) Fail("Index expected", tok_.line);
      Advance();
      Expect("]", "after the index");
    }
    const std::string what = (obj.name.empty() ? obj.class_name : obj.name) + " (" +
                             obj.class_name + ") opened at line " + std::to_string(obj.line);
    while (tok_.kind == Tok::kIdent && !IsObjectKeyword() && !IsWord("end")) {
      obj.properties.push_back(ParseProperty());
    }
    while (IsObjectKeyword()) obj.children.push_back(ParseObject(0));
    if (tok_.kind == Tok::kEnd) Fail("'end' expected for " + what + ", found end of file", line_);
    if (!IsWord("end")) Fail("'end' expected for " + what + ", found " + Describe(), tok_.line);
    Advance();
    --depth_;
    return obj;
  }

  TFormValue::Property ParseProperty() {
    TFormValue::Property p;
    p.name = tok_.text;
    p.line = tok_.line;
    Advance();
    if (!IsSymbol("=")) Fail("'=' expected after property name '" + p.name + "'", tok_.line);
    Advance();
    p.value = ParseValue();
    return p;
  }

  TFormValue ParseValue() {
    TFormValue v;
    const int line = tok_.line;
    if (IsSymbol("-") || IsSymbol("+")) {
      bool negative = IsSymbol("-");
      Advance();
      if (tok_.kind == Tok::kInteger) {
        v.kind = TFormValue::kInteger;
        v.integer = negative ? -tok_.integer : tok_.integer;
      } else if (tok_.kind == Tok::kFloat) {
        v.kind = TFormValue::kFloat;
        v.number = negative ? -tok_.number : tok_.number;
        v.text = (negative ? "-" : "") + tok_.text;
      } else {
        Fail("Number expected after sign", tok_.line);
      }
      Advance();
      return v;
    }
    switch (tok_.kind) {
      case Tok::kInteger:
        v.kind = TFormValue::kInteger;
        v.integer = tok_.integer;
        Advance();
        return v;
      case Tok::kFloat:
        v.kind = TFormValue::kFloat;
        v.number = tok_.number;
        v.text = tok_.text;
        Advance();
        return v;
      case Tok::kString:
        v.kind = TFormValue::kString;
        v.text = std::move(tok_.text);
        Advance();
        while (IsSymbol("+")) {
          Advance();
          if (tok_.kind != Tok::kString) Fail("String expected after '+'", tok_.line);
          v.text += tok_.text;
          Advance();
        }
        return v;
      case Tok::kIdent:
        if (IsWord("end") || IsObjectKeyword()) Fail("Value expected, found " + Describe(), line);
        v.kind = TFormValue::kIdent;
        v.text = tok_.text;
        Advance();
        return v;
      case Tok::kBinary:
        v.kind = TFormValue::kBinary;
        v.text = std::move(tok_.text);
        Advance();
        return v;
      case Tok::kSymbol:
        break;
      case Tok::kEnd:
        Fail("Value expected, found end of file", line);
    }
    Enter(line);
    if (IsSymbol("[")) {
      v.kind = TFormValue::kSet;
      Advance();
      while (!IsSymbol("]")) {
        if (tok_.kind != Tok::kIdent && tok_.kind != Tok::kInteger) {
          Fail("Set element expected, found " + Describe(), tok_.line);
        }
        TFormValue item;
        item.kind = tok_.kind == Tok::kIdent ? TFormValue::kIdent : TFormValue::kInteger;
        item.text = tok_.text;
        item.integer = tok_.integer;
        v.items.push_back(std::move(item));
        Advance();
        if (IsSymbol(",")) {
          Advance();
        } else if (!IsSymbol("]")) {
          Fail("',' or ']' expected in set, found " + Describe(), tok_.line);
        }
      }
      Advance();
    } else if (IsSymbol("(")) {
      v.kind = TFormValue::kList;
      Advance();
      while (!IsSymbol(")")) {
        if (tok_.kind == Tok::kEnd) Fail("')' expected, found end of file", line_);
        v.items.push_back(ParseValue());
      }
      Advance();
    } else if (IsSymbol("<")) {
      v.kind = TFormValue::kCollection;
      Advance();
      while (!IsSymbol(">")) {
        if (!IsWord("item")) Fail("'item' or '>' expected, found " + Describe(), tok_.line);
        const int item_line = tok_.line;
        Advance();
        if (IsSymbol("[")) {  // an item index: not kept
          Advance();
          if (tok_.kind != Tok::kInteger) Fail("Index expected", tok_.line);
          Advance();
          Expect("]", "after the index");
        }
        TFormValue::Properties props;
        while (tok_.kind == Tok::kIdent && !IsWord("end")) props.push_back(ParseProperty());
        if (!IsWord("end")) {
          Fail("'end' expected for the item opened at line " + std::to_string(item_line) +
                   ", found " + Describe(),
               tok_.kind == Tok::kEnd ? line_ : tok_.line);
        }
        Advance();
        v.collection.push_back(std::move(props));
      }
      Advance();
    } else {
      Fail("Value expected, found " + Describe(), line);
    }
    --depth_;
    return v;
  }

  std::string_view text_;
  const std::string& file_;
  size_t pos_ = 0;
  int line_ = 1;
  int depth_ = 0;
  Token tok_;
};

// --- Layout

void AppendIndent(std::string& out, int indent) { out.append(static_cast<size_t>(indent), ' '); }

void AppendString(std::string& out, std::string_view s) {
  if (s.empty()) {
    out += "''";
    return;
  }
  bool quoted = false;
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if ((c >= 32 && c != 127)) {
      if (!quoted) {
        out += '\'';
        quoted = true;
      }
      if (c == '\'') out += '\'';
      out += ch;
    } else {
      if (quoted) {
        out += '\'';
        quoted = false;
      }
      out += '#';
      out += std::to_string(c);
    }
  }
  if (quoted) out += '\'';
}

std::string FloatText(const TFormValue& v) {
  if (!v.text.empty()) return v.text;
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v.number);
  std::string s(buf, ec == std::errc() ? p : buf);
  if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
  return s;
}

void AppendProperties(std::string& out, const TFormValue::Properties& props, int indent);

void AppendValue(std::string& out, const TFormValue& v, int indent) {
  switch (v.kind) {
    case TFormValue::kInteger:
      out += std::to_string(v.integer);
      break;
    case TFormValue::kFloat:
      out += FloatText(v);
      break;
    case TFormValue::kString:
      AppendString(out, v.text);
      break;
    case TFormValue::kIdent:
      out += v.text;
      break;
    case TFormValue::kSet: {
      out += '[';
      for (size_t i = 0; i < v.items.size(); ++i) {
        if (i > 0) out += ", ";
        out += v.items[i].kind == TFormValue::kIdent ? v.items[i].text
                                                     : std::to_string(v.items[i].integer);
      }
      out += ']';
      break;
    }
    case TFormValue::kList: {
      out += '(';
      for (const TFormValue& item : v.items) {
        out += '\n';
        AppendIndent(out, indent + 2);
        AppendValue(out, item, indent + 2);
      }
      out += ')';
      break;
    }
    case TFormValue::kCollection: {
      out += '<';
      for (const TFormValue::Properties& item : v.collection) {
        out += '\n';
        AppendIndent(out, indent + 2);
        out += "item\n";
        AppendProperties(out, item, indent + 4);
        AppendIndent(out, indent + 2);
        out += "end";
      }
      out += '>';
      break;
    }
    case TFormValue::kBinary: {
      static const char kHex[] = "0123456789ABCDEF";
      out += '{';
      for (size_t i = 0; i < v.text.size(); ++i) {
        if (i % 32 == 0) {
          out += '\n';
          AppendIndent(out, indent + 2);
        }
        auto c = static_cast<unsigned char>(v.text[i]);
        out += kHex[c >> 4];
        out += kHex[c & 15];
      }
      out += '}';
      break;
    }
  }
}

void AppendProperties(std::string& out, const TFormValue::Properties& props, int indent) {
  for (const TFormValue::Property& p : props) {
    AppendIndent(out, indent);
    out += p.name;
    out += " = ";
    AppendValue(out, p.value, indent);
    out += '\n';
  }
}

void AppendObject(std::string& out, const TFormObject& obj, int indent) {
  AppendIndent(out, indent);
  out += obj.keyword.empty() ? "object" : obj.keyword;
  out += ' ';
  if (!obj.name.empty()) {
    out += obj.name;
    out += ": ";
  }
  out += obj.class_name;
  out += '\n';
  AppendProperties(out, obj.properties, indent + 2);
  for (const TFormObject& child : obj.children) AppendObject(out, child, indent + 2);
  AppendIndent(out, indent);
  out += "end\n";
}

}  // namespace

TFormObject ParseFormText(std::string_view text, const std::string& file_name) {
  return Parser(text, file_name).ParseRoot();
}

std::string FormObjectToText(const TFormObject& object) {
  std::string out;
  AppendObject(out, object, 0);
  return out;
}

}  // namespace kivo
