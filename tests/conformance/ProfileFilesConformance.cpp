// The profile file rules Kelpo relies on, run against the simulation natively
// and against the Windows profile functions under Wine, so that both agree.
// The files' bytes are checked on disk as well as through the interface.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/conformance/ConformanceBackend.h"

namespace kelpo {
namespace {

constexpr unsigned ValueBuffer = 2048;

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The file's lines without line ends, blank lines left out.
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : bytes) {
    if (c == '\r' || c == '\n') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

class ProfileFilesConformance : public ::testing::Test {
 protected:
  void SetUp() override {
    Files = MakeProfileFilesUnderTest();
    Folder = MakeTempFolder();
  }

  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }

  // Every file is given its bytes once, before the backend sees it: the
  // Windows functions may cache a file by its modification time.
  std::string FileWith(const std::string& name, const std::string& bytes) {
    PutFile(Folder + name, bytes);
    return Folder + name;
  }

  std::string Read(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& defaultText = "default", unsigned bufferSize = ValueBuffer) {
    return Files->GetString(file, section, key, defaultText, bufferSize);
  }

  bool Write(const std::string& file, const std::string& section, const std::string& key, const std::string& value) {
    return Files->WriteString(file, section, key, value);
  }

  std::unique_ptr<ProfileFiles> Files;
  std::string Folder;
};

TEST_F(ProfileFilesConformance, WritesCreateFileSectionsAndKeysInOrderWithCrLf) {
  const std::string file = Folder + "settings.ini";
  ASSERT_TRUE(Write(file, "Scheduler", "SchID", "3"));
  ASSERT_TRUE(Write(file, "Scheduler", "SchFrequency", "2"));
  ASSERT_TRUE(Write(file, "Scheduler", "Time", "9:30:00 PM"));
  ASSERT_TRUE(Write(file, "Other", "X", "1"));
  ASSERT_TRUE(Write(file, "scheduler", "Day", "Friday"));
  ASSERT_TRUE(Write(file, "Scheduler", "SCHID", "4"));

  EXPECT_EQ(FileBytes(file),
            "[Scheduler]\r\nSchID=4\r\nSchFrequency=2\r\nTime=9:30:00 PM\r\nDay=Friday\r\n"
            "[Other]\r\nX=1\r\n");
  EXPECT_EQ(Read(file, "Scheduler", "Time"), "9:30:00 PM");
}

TEST_F(ProfileFilesConformance, WriteReplacesInPlaceAppendsAtSectionEndAndKeepsOtherLines) {
  const std::string file =
      FileWith("a.ini", "; settings\n[Scheduler]\nSchID=1\nTime=9:30:00 PM\n; note\n[Other]\nX=1\n");
  ASSERT_TRUE(Write(file, "SCHEDULER", "schid", "4"));
  ASSERT_TRUE(Write(file, "Scheduler", "Day", "Friday"));
  ASSERT_TRUE(Write(file, "Third", "T", "3"));

  const std::vector<std::string> expected = {"; settings", "[Scheduler]", "SchID=4", "Time=9:30:00 PM", "; note",
                                             "Day=Friday", "[Other]",     "X=1",     "[Third]",         "T=3"};
  EXPECT_EQ(Lines(FileBytes(file)), expected);
  EXPECT_EQ(Read(file, "scheduler", "SCHID"), "4");
}

TEST_F(ProfileFilesConformance, WriteHandlesBlankLinesAndMissingFinalLineEnd) {
  const std::string file = FileWith("b.ini", "[A]\r\n\r\nk=1\r\n\r\n\r\n[B]\r\nx=1");
  ASSERT_TRUE(Write(file, "A", "n", "3"));
  ASSERT_TRUE(Write(file, "B", "y", "2"));

  const std::vector<std::string> expected = {"[A]", "k=1", "n=3", "[B]", "x=1", "y=2"};
  EXPECT_EQ(Lines(FileBytes(file)), expected);
}

TEST_F(ProfileFilesConformance, OnlyFirstMatchingSectionAndKeyCount) {
  const std::string file = FileWith("c.ini", "[A]\nk=first\nK=second\n[B]\nk=b\n[a]\nk=third\nonly=here\n");
  EXPECT_EQ(Read(file, "A", "k"), "first");
  EXPECT_EQ(Read(file, "a", "only"), "default");

  ASSERT_TRUE(Write(file, "a", "only", "new"));
  const std::vector<std::string> expected = {"[A]", "k=first", "K=second", "only=new", "[B]",
                                             "k=b", "[a]",     "k=third",  "only=here"};
  EXPECT_EQ(Lines(FileBytes(file)), expected);
  EXPECT_EQ(Read(file, "A", "only"), "new");
}

TEST_F(ProfileFilesConformance, MissingFileSectionOrKeyGiveTheDefault) {
  const std::string missing = Folder + "missing.ini";
  EXPECT_EQ(Read(missing, "A", "k"), "default");
  EXPECT_FALSE(std::filesystem::exists(missing));

  const std::string file = FileWith("d.ini", "[A]\nk=v\nempty=\nnoequals\n");
  EXPECT_EQ(Read(file, "B", "k"), "default");
  EXPECT_EQ(Read(file, "A", "other"), "default");
  EXPECT_EQ(Read(file, "A", "empty"), "");
  EXPECT_EQ(Read(file, "A", "noequals"), "default");
  // Trailing blanks of the default are dropped, leading ones kept.
  EXPECT_EQ(Read(file, "A", "other", "  dd  "), "  dd");
}

TEST_F(ProfileFilesConformance, BlanksAroundNamesAndValuesAreIgnored) {
  const std::string file = FileWith("e.ini", "[ Sec ]\n  Key1  =  value one  \n\tk2\t=\tv2\t\n");
  EXPECT_EQ(Read(file, "sec", "KEY1"), "value one");
  EXPECT_EQ(Read(file, " Sec ", " Key1 "), "value one");
  EXPECT_EQ(Read(file, "Sec", "k2"), "v2");

  ASSERT_TRUE(Write(file, "Sec", "k3", "  padded"));
  EXPECT_EQ(Read(file, "Sec", "k3"), "padded");
  EXPECT_EQ(Lines(FileBytes(file)).back(), "k3=padded");
  ASSERT_TRUE(Write(file, " sec ", " k4 ", "four"));
  EXPECT_EQ(Read(file, "Sec", "k4"), "four");
  EXPECT_EQ(Lines(FileBytes(file)).front(), "[Sec]");
}

TEST_F(ProfileFilesConformance, MatchingQuotesAreRemovedOnRead) {
  const std::string file = FileWith(
      "f.ini", "[Q]\nq1=\"quoted\"\nq2='single'\nq3=\"mixed'\nq4=\"\nq5=\"\"\nq6= \" padded \" \nq7=\"in\"side\"\n");
  EXPECT_EQ(Read(file, "Q", "q1"), "quoted");
  EXPECT_EQ(Read(file, "Q", "q2"), "single");
  EXPECT_EQ(Read(file, "Q", "q3"), "\"mixed'");
  EXPECT_EQ(Read(file, "Q", "q4"), "\"");
  EXPECT_EQ(Read(file, "Q", "q5"), "");
  EXPECT_EQ(Read(file, "Q", "q6"), " padded ");
  EXPECT_EQ(Read(file, "Q", "q7"), "in\"side");
  EXPECT_EQ(Read(file, "Q", "missing", "\"dq\""), "dq");

  ASSERT_TRUE(Write(file, "Q", "w", "\"written\""));
  EXPECT_EQ(Lines(FileBytes(file)).back(), "w=\"written\"");
  EXPECT_EQ(Read(file, "Q", "w"), "written");
}

TEST_F(ProfileFilesConformance, ValueIsCutToOneLessThanTheBuffer) {
  std::string big(10000, ' ');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 26);
  const std::string file = Folder + "g.ini";
  ASSERT_TRUE(Write(file, "S", "big", big));

  EXPECT_NE(FileBytes(file).find("big=" + big + "\r\n"), std::string::npos);
  EXPECT_EQ(Read(file, "S", "big"), big.substr(0, ValueBuffer - 1));
  EXPECT_EQ(Read(file, "S", "big", "default", 5), "abcd");
  EXPECT_EQ(Read(file, "S", "big", "default", 1), "");
  EXPECT_EQ(Read(file, "S", "missing", "defaulttext", 4), "def");
}

TEST_F(ProfileFilesConformance, ReadsAnyLineEnd) {
  EXPECT_EQ(Read(FileWith("lf.ini", "[A]\nk=v\nj=w\n"), "A", "j"), "w");
  EXPECT_EQ(Read(FileWith("cr.ini", "[A]\rk=v\rj=w\r"), "A", "j"), "w");
  EXPECT_EQ(Read(FileWith("mixed.ini", "[A]\r\nk=v\n\rj=w"), "A", "j"), "w");
  EXPECT_EQ(Read(FileWith("bom.ini", "\xEF\xBB\xBF[A]\r\nk=v\r\n"), "A", "k"), "v");
}

TEST_F(ProfileFilesConformance, WriteFailsWhenTheFileCannotBeOpened) {
  const std::string inMissingFolder = Folder + "absent" + Folder.back() + "settings.ini";
  EXPECT_FALSE(Write(inMissingFolder, "A", "k", "v"));
  EXPECT_FALSE(std::filesystem::exists(Folder + "absent"));

  const std::string folderItself = Folder.substr(0, Folder.size() - 1);
  EXPECT_FALSE(Write(folderItself, "A", "k", "v"));
}

TEST_F(ProfileFilesConformance, FileOfRandomBytesStillTakesAKey) {
  std::mt19937 random(20261205);
  std::string bytes(4096, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  bytes[0] = 'x';  // no byte order mark: that would change the encoding
  const std::string file = FileWith("h.ini", bytes);

  Read(file, "Scheduler", "SchID");
  ASSERT_TRUE(Write(file, "KelpoTest", "SchID", "3"));
  EXPECT_EQ(Read(file, "KelpoTest", "SchID"), "3");
}

}  // namespace
}  // namespace kelpo
