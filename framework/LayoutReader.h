#pragma once
// Window layouts as text:
//
//   object MainForm: TMainForm
//     Caption = 'Kelpo'
//     Color = 52479
//     Font.Style = [fsBold]
//     Items.Strings = ('minutes' 'hours')
//     Picture.Data = {file 'Background.bmp'}
//     OnCreate = FormCreate
//     object Panel1: TPanel
//       ...
//     end
//   end
//
// Values are integers, quoted strings ('' for a quote), identifiers, sets,
// string lists and binary data taken from an embedded artwork file.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelpo {

struct LayoutValue {
  enum class Kind { Integer, String, Identifier, Set, StringList, Binary };
  Kind Type = Kind::Integer;
  std::int64_t Integer = 0;
  std::string Text;                 // String and Identifier
  std::vector<std::string> Items;   // Set and StringList
  std::vector<std::uint8_t> Bytes;  // Binary
};

struct LayoutProperty {
  std::string Name;  // may be dotted: "Font.Height"
  LayoutValue Value;
  int Line = 0;  // where the property's name stands, counted from 1
};

struct LayoutNode {
  std::string Name;
  std::string ClassName;
  int Line = 0;  // of its "object"
  std::vector<LayoutProperty> Properties;
  std::vector<LayoutNode> Children;
};

using LayoutFileLoader = std::function<std::vector<std::uint8_t>(const std::string& name)>;

// Parses a layout; binary values are read through `loadFile` (the embedded
// artwork when none is given). Throws kelpo::Exception naming the line on
// malformed text and on objects nested more than 64 deep.
LayoutNode ReadLayout(const std::string& text, const LayoutFileLoader& loadFile = {});

// Throws the error of a layout that reads but does not fit its components:
// "Layout error at line N: <what>", as the parser words its own.
[[noreturn]] void ThrowLayoutError(int line, const std::string& what);

}  // namespace kelpo
