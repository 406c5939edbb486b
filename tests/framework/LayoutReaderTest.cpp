#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/Exception.h"
#include "framework/LayoutReader.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Kind = LayoutValue::Kind;

const LayoutValue& ValueOf(const LayoutNode& node, const std::string& name) {
  for (const auto& property : node.Properties)
    if (property.Name == name) return property.Value;
  throw Exception("no property " + name);
}

TEST(LayoutReader, ReadsEveryValueKind) {
  std::vector<std::string> requested;
  const auto loader = [&](const std::string& name) {
    requested.push_back(name);
    return std::vector<std::uint8_t>{'B', 'M', 0, 255};
  };
  const LayoutNode root = ReadLayout(
      "object MainForm: TMainForm\n"
      "  Left = 12\n"
      "  Top = -7\n"
      "  Caption = 'It''s mine'\n"
      "  Hint = 'one'#13#10'two'\n"
      "  Letter = #65\n"
      "  Cursor = crHandPoint\n"
      "  Font.Style = [fsBold, fsItalic]\n"
      "  Anchors = []\n"
      "  Items.Strings = (\n"
      "    'minutes'\n"
      "    'a''b'#9'c'\n"
      "    '')\n"
      "  Picture.Data = {file 'Back ground.bmp'}\n"
      "end\n",
      loader);

  EXPECT_EQ(root.Name, "MainForm");
  EXPECT_EQ(root.ClassName, "TMainForm");
  ASSERT_EQ(root.Properties.size(), 10u);
  EXPECT_EQ(ValueOf(root, "Left").Type, Kind::Integer);
  EXPECT_EQ(ValueOf(root, "Left").Integer, 12);
  EXPECT_EQ(ValueOf(root, "Top").Integer, -7);
  EXPECT_EQ(ValueOf(root, "Caption").Type, Kind::String);
  EXPECT_EQ(ValueOf(root, "Caption").Text, "It's mine");
  EXPECT_EQ(ValueOf(root, "Hint").Text, "one\r\ntwo");
  EXPECT_EQ(ValueOf(root, "Letter").Type, Kind::String);
  EXPECT_EQ(ValueOf(root, "Letter").Text, "A");
  EXPECT_EQ(ValueOf(root, "Cursor").Type, Kind::Identifier);
  EXPECT_EQ(ValueOf(root, "Cursor").Text, "crHandPoint");
  EXPECT_EQ(ValueOf(root, "Font.Style").Type, Kind::Set);
  EXPECT_THAT(ValueOf(root, "Font.Style").Items, ElementsAre("fsBold", "fsItalic"));
  EXPECT_EQ(ValueOf(root, "Anchors").Type, Kind::Set);
  EXPECT_TRUE(ValueOf(root, "Anchors").Items.empty());
  EXPECT_EQ(ValueOf(root, "Items.Strings").Type, Kind::StringList);
  EXPECT_THAT(ValueOf(root, "Items.Strings").Items, ElementsAre("minutes", "a'b\tc", ""));
  EXPECT_EQ(ValueOf(root, "Picture.Data").Type, Kind::Binary);
  EXPECT_THAT(ValueOf(root, "Picture.Data").Bytes, ElementsAre('B', 'M', 0, 255));
  EXPECT_THAT(requested, ElementsAre("Back ground.bmp"));
  // Each property knows its line, also after a value over several lines.
  EXPECT_EQ(root.Properties.front().Line, 2);
  EXPECT_EQ(root.Properties.back().Line, 14);
}

TEST(LayoutReader, NestsObjectsInTheirOrder) {
  const LayoutNode root = ReadLayout(
      "// the main window\n"
      "object Form1: TForm1\n"
      "  object Panel1: TPanel\n"
      "    Font.Height = -11\n"
      "    object Image1: TImage\n"
      "    end\n"
      "    object Label1: TLabel\n"
      "      Caption = 'end'\n"
      "    end\n"
      "  end\n"
      "  Width = 10\n"
      "  object Timer1: TTimer\n"
      "  end\n"
      "end");

  ASSERT_EQ(root.Children.size(), 2u);
  const LayoutNode& panel = root.Children[0];
  EXPECT_EQ(panel.Name, "Panel1");
  EXPECT_EQ(panel.ClassName, "TPanel");
  ASSERT_EQ(panel.Properties.size(), 1u);
  EXPECT_EQ(panel.Properties[0].Name, "Font.Height");
  EXPECT_EQ(panel.Properties[0].Value.Integer, -11);
  ASSERT_EQ(panel.Children.size(), 2u);
  EXPECT_EQ(panel.Children[0].Name, "Image1");
  EXPECT_TRUE(panel.Children[0].Properties.empty());
  EXPECT_EQ(panel.Children[1].ClassName, "TLabel");
  EXPECT_EQ(panel.Children[1].Properties[0].Value.Text, "end");
  EXPECT_EQ(root.Children[1].Name, "Timer1");
  ASSERT_EQ(root.Properties.size(), 1u);
  EXPECT_EQ(root.Properties[0].Name, "Width");
  // Objects and properties carry their lines, counted from 1 past the comment.
  EXPECT_EQ(root.Line, 2);
  EXPECT_EQ(panel.Children[1].Line, 7);
  EXPECT_EQ(panel.Children[1].Properties[0].Line, 8);
  EXPECT_EQ(root.Properties[0].Line, 11);
  EXPECT_EQ(root.Children[1].Line, 12);
}

TEST(LayoutReader, MalformedTextRaisesAnErrorNamingTheLine) {
  struct Case {
    const char* Text;
    const char* Line;
  };
  std::string deep = "object Form1: TForm1\n";
  for (int level = 0; level < 65; ++level) deep += "object Panel" + std::to_string(level) + ": TPanel\n";
  const Case cases[] = {
      {deep.c_str(), "line 66: objects nested deeper than 64"},
      {"form Form1: TForm1\nend", "line 1"},
      {"object Form1: TForm1\n  Left 3\nend", "line 2"},
      {"object Form1: TForm1\n  Left = 1\n  Caption = 'open\nend", "line 3"},
      {"object Form1: TForm1\n  Left = 1\n", "line 3"},
      {"object Form1: TForm1\nend\nend", "line 3"},
      {"object Form1: TForm1\n\n  Left = -\nend", "line 3"},
      {"object Form1: TForm1\n  Left = 99999999999999999999\nend", "line 2"},
      {"object Form1: TForm1\n  Caption = 'a'#\nend", "line 2"},
      {"object Form1: TForm1\n  Caption = #300\nend", "line 2"},
      {"object Form1: TForm1\n  Caption = #99999999999\nend", "line 2"},
      {"object Form1: TForm1\n  Items.Strings = (\n    'a'\n    b)\nend", "line 4"},
      {"object Form1: TForm1\n  Picture.Data = {data 'a.bmp'}\nend", "line 2"},
      {"object Form1: TForm1\n  Caption =\n", "line 3"},
      {"object Form1 TForm1\nend", "line 1"},
  };
  for (const Case& c : cases) {
    try {
      ReadLayout(c.Text, [](const std::string&) { return std::vector<std::uint8_t>{}; });
      ADD_FAILURE() << "accepted: " << c.Text;
    } catch (const Exception& error) {
      EXPECT_THAT(error.what(), HasSubstr(c.Line)) << c.Text;
    }
  }
}

}  // namespace
}  // namespace kelpo
