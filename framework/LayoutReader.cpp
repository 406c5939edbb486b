#include "framework/LayoutReader.h"

#include <algorithm>
#include <cctype>

#include "base/Exception.h"
#include "framework/Resources.h"

namespace kelpo {
namespace {

// Objects nest in the reader's and the controls' recursion; a text nested
// deeper than any window is refused before it can exhaust the stack.
constexpr int MaxNesting = 64;

class LayoutParser {
 public:
  LayoutParser(const std::string& text, const LayoutFileLoader& loadFile) : text_(text), loadFile_(loadFile) {}

  LayoutNode ReadRoot() {
    LayoutNode root = ReadObject();
    SkipBlanks();
    if (pos_ != text_.size()) Fail("text after the last 'end'");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const { ThrowLayoutError(line_, what); }

  // The only place that passes line ends: strings cannot hold one.
  void SkipBlanks() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        if (c == '\n') ++line_;
        ++pos_;
      } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  static bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }

  std::string ReadName() {
    SkipBlanks();
    std::size_t start = pos_;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
    if (start == pos_) Fail("a name was expected");
    return text_.substr(start, pos_ - start);
  }

  void Expect(char c) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != c) Fail(std::string("'") + c + "' was expected");
    ++pos_;
  }

  bool PeekWord(const std::string& word) {
    SkipBlanks();
    if (text_.compare(pos_, word.size(), word) != 0) return false;
    std::size_t after = pos_ + word.size();
    return after >= text_.size() || !IsNameChar(text_[after]);
  }

  LayoutNode ReadObject() {
    if (!PeekWord("object")) Fail("'object' was expected");
    pos_ += 6;
    LayoutNode node;
    node.Line = line_;
    node.Name = ReadName();
    Expect(':');
    node.ClassName = ReadName();
    for (;;) {
      if (PeekWord("end")) {
        pos_ += 3;
        return node;
      }
      if (PeekWord("object")) {
        if (++depth_ > MaxNesting) Fail("objects nested deeper than " + std::to_string(MaxNesting));
        node.Children.push_back(ReadObject());
        --depth_;
        continue;
      }
      if (pos_ >= text_.size()) Fail("'end' was expected");
      LayoutProperty property;
      property.Name = ReadName();
      property.Line = line_;
      Expect('=');
      property.Value = ReadValue();
      node.Properties.push_back(std::move(property));
    }
  }

  std::string ReadQuoted() {
    std::string out;
    ++pos_;  // opening quote
    for (;;) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("unterminated string");
      char c = text_[pos_++];
      if (c == '\'') {
        if (pos_ < text_.size() && text_[pos_] == '\'') {
          out += '\'';
          ++pos_;
        } else {
          return out;
        }
      } else {
        out += c;
      }
    }
  }

  // 'abc' or 'abc'#13'def' (character codes join string pieces).
  std::string ReadString() {
    std::string out;
    for (;;) {
      if (pos_ < text_.size() && text_[pos_] == '\'') {
        out += ReadQuoted();
      } else if (pos_ < text_.size() && text_[pos_] == '#') {
        ++pos_;
        std::size_t start = pos_;
        int code = 0;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
          code = std::min(code * 10 + (text_[pos_] - '0'), 256);  // saturates: long codes cannot overflow
          ++pos_;
        }
        if (start == pos_) Fail("a character code was expected after '#'");
        if (code > 255) Fail("character code out of range");
        out += static_cast<char>(code);
      } else {
        return out;
      }
    }
  }

  LayoutValue ReadValue() {
    SkipBlanks();
    if (pos_ >= text_.size()) Fail("a value was expected");
    LayoutValue value;
    char c = text_[pos_];
    if (c == '\'' || c == '#') {
      value.Type = LayoutValue::Kind::String;
      value.Text = ReadString();
    } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
      value.Type = LayoutValue::Kind::Integer;
      std::size_t start = pos_++;
      while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
      std::string digits = text_.substr(start, pos_ - start);
      if (digits == "-") Fail("digits were expected");
      try {
        value.Integer = std::stoll(digits);
      } catch (const std::exception&) {
        Fail("number out of range");
      }
    } else if (c == '[') {
      value.Type = LayoutValue::Kind::Set;
      ++pos_;
      SkipBlanks();
      while (pos_ < text_.size() && text_[pos_] != ']') {
        value.Items.push_back(ReadName());
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == ',') ++pos_;
        SkipBlanks();
      }
      Expect(']');
    } else if (c == '(') {
      value.Type = LayoutValue::Kind::StringList;
      ++pos_;
      SkipBlanks();
      while (pos_ < text_.size() && text_[pos_] != ')') {
        if (text_[pos_] != '\'' && text_[pos_] != '#') Fail("a string was expected in the list");
        value.Items.push_back(ReadString());
        SkipBlanks();
      }
      Expect(')');
    } else if (c == '{') {
      value.Type = LayoutValue::Kind::Binary;
      ++pos_;
      if (!PeekWord("file")) Fail("'file' was expected in binary data");
      pos_ += 4;
      SkipBlanks();
      if (pos_ >= text_.size() || text_[pos_] != '\'') Fail("a file name was expected");
      std::string name = ReadString();
      Expect('}');
      if (loadFile_) {
        value.Bytes = loadFile_(name);
      } else {
        auto bytes = FindResource(name);
        value.Bytes.assign(bytes.begin(), bytes.end());
      }
    } else {
      value.Type = LayoutValue::Kind::Identifier;
      value.Text = ReadName();
    }
    return value;
  }

  const std::string& text_;
  const LayoutFileLoader& loadFile_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int depth_ = 0;
};

}  // namespace

void ThrowLayoutError(int line, const std::string& what) {
  throw Exception("Layout error at line " + std::to_string(line) + ": " + what);
}

LayoutNode ReadLayout(const std::string& text, const LayoutFileLoader& loadFile) {
  return LayoutParser(text, loadFile).ReadRoot();
}

}  // namespace kelpo
