// The registry rules the wash relies on, run against the simulation natively
// and against the Windows registry under Wine, so that both agree; and the
// subtree deletion of the wash against both.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "tests/conformance/ConformanceBackend.h"
#include "wash/RegistryTree.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;

class RegistryConformance : public ::testing::Test {
 protected:
  void SetUp() override {
    Under = MakeRegistryUnderTest();
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    Base = "Software\\KelpoConformance\\Run" + std::to_string(stamp) + "-" + std::to_string(++counter);
    Under->CreateKey(Base);
  }

  void TearDown() override {
    RegistryTree(Reg(), RegistryCurrentUser).DeleteKey(FromRoot(Base));
    // Only when no other run is using it.
    Reg().DeleteKey(RegistryCurrentUser, "Software\\KelpoConformance");
  }

  Registry& Reg() { return Under->Service(); }
  std::string Path(const std::string& relative) const { return Base + "\\" + relative; }
  // The same path from the root, as the wash writes it.
  static std::string FromRoot(const std::string& path) {
    std::string absolute = "\\";
    absolute += path;
    return absolute;
  }

  // The names of a key's subkeys by index, read as the wash reads them.
  std::vector<std::string> SubKeys(const std::string& path) {
    RegistryKey key = 0;
    EXPECT_EQ(Reg().OpenKey(RegistryCurrentUser, path, key), RegistrySuccess);
    std::uint32_t count = 0;
    std::uint32_t longest = 0;
    EXPECT_EQ(Reg().QueryInfoKey(key, count, longest), RegistrySuccess);
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      EXPECT_EQ(Reg().EnumKey(key, i, longest + 1, name), RegistrySuccess);
      names.push_back(name);
    }
    EXPECT_EQ(Reg().CloseKey(key), RegistrySuccess);
    return names;
  }

  std::unique_ptr<RegistryUnderTest> Under;
  std::string Base;
};

TEST_F(RegistryConformance, NestedSubkeysAndTwentySiblingsGoWithTheSubtreeDeletion) {
  const std::string typed = Path("TypedURLs");
  Under->SetValue(typed, "url1", "http://typed.example/");
  std::vector<std::string> deepest;
  for (int i = 0; i < 20; ++i) {
    const std::string sibling = typed + "\\Sibling" + std::to_string(i);
    Under->SetValue(sibling, "v", "1");
    deepest.push_back(sibling + "\\Level2\\Level3");
    Under->SetValue(deepest.back(), "deep", "3");
  }
  Under->CreateKey(Path("Neighbour\\Child"));

  EXPECT_TRUE(RegistryTree(Reg(), RegistryCurrentUser).DeleteKey(FromRoot(typed)));
  EXPECT_FALSE(Under->KeyExists(typed));
  for (const std::string& path : deepest) EXPECT_FALSE(Under->KeyExists(path)) << path;
  RegistryKey key = 0;
  EXPECT_EQ(Reg().OpenKey(RegistryCurrentUser, typed, key), RegistryFileNotFound);
  EXPECT_TRUE(Under->KeyExists(Path("Neighbour\\Child")));
  EXPECT_TRUE(Under->KeyExists(Base));
}

TEST_F(RegistryConformance, MissingKeyIsAnErrorCodeNotAnError) {
  RegistryKey key = 0;
  EXPECT_EQ(Reg().OpenKey(RegistryCurrentUser, Path("Missing"), key), RegistryFileNotFound);
  EXPECT_EQ(Reg().OpenKey(RegistryCurrentUser, Path("Missing\\Below"), key), RegistryFileNotFound);
  EXPECT_EQ(Reg().DeleteKey(RegistryCurrentUser, Path("Missing")), RegistryFileNotFound);
  EXPECT_FALSE(RegistryTree(Reg(), RegistryCurrentUser).DeleteKey(FromRoot(Path("Missing\\Below"))));
  EXPECT_TRUE(Under->KeyExists(Base));
}

TEST_F(RegistryConformance, ValuesGoWithTheirKey) {
  Under->SetValue(Path("Valued"), "first", "1");
  Under->SetValue(Path("Valued"), "second", "2");
  ASSERT_TRUE(Under->ValueExists(Path("Valued"), "first"));

  EXPECT_EQ(Reg().DeleteKey(RegistryCurrentUser, Path("Valued")), RegistrySuccess);
  Under->CreateKey(Path("Valued"));
  EXPECT_FALSE(Under->ValueExists(Path("Valued"), "first"));
  EXPECT_FALSE(Under->ValueExists(Path("Valued"), "second"));
}

TEST_F(RegistryConformance, KeysAreFoundWithoutRegardToCaseAndListedByName) {
  for (const char* name : {"gamma", "Alpha", "beta", "DELTA-longest"}) Under->CreateKey(Path(name));
  EXPECT_THAT(SubKeys(Base), ElementsAre("Alpha", "beta", "DELTA-longest", "gamma"));

  RegistryKey key = 0;
  ASSERT_EQ(Reg().OpenKey(RegistryCurrentUser, Path("ALPHA"), key), RegistrySuccess);
  EXPECT_EQ(Reg().CloseKey(key), RegistrySuccess);
  EXPECT_EQ(Reg().DeleteKey(RegistryCurrentUser, Path("GAMMA")), RegistrySuccess);
  EXPECT_FALSE(Under->KeyExists(Path("gamma")));
}

TEST_F(RegistryConformance, SubkeyReadingFollowsTheBufferAndIndexRules) {
  Under->CreateKey(Path("Parent\\short"));
  Under->CreateKey(Path("Parent\\a-longer-name"));
  RegistryKey parent = 0;
  ASSERT_EQ(Reg().OpenKey(RegistryCurrentUser, Path("Parent"), parent), RegistrySuccess);
  std::uint32_t count = 0;
  std::uint32_t longest = 0;
  ASSERT_EQ(Reg().QueryInfoKey(parent, count, longest), RegistrySuccess);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(longest, 13u);

  std::string name;
  EXPECT_EQ(Reg().EnumKey(parent, 0, 13, name), RegistryMoreData);  // no room for the NUL
  EXPECT_EQ(Reg().EnumKey(parent, 0, 14, name), RegistrySuccess);
  EXPECT_EQ(name, "a-longer-name");
  EXPECT_EQ(Reg().EnumKey(parent, 2, 14, name), RegistryNoMoreItems);

  // A key with subkeys is not deleted; its own handle opens the subkeys by relative path.
  EXPECT_EQ(Reg().DeleteKey(RegistryCurrentUser, Path("Parent")), RegistryAccessDenied);
  EXPECT_EQ(Reg().DeleteKey(parent, "short"), RegistrySuccess);
  ASSERT_EQ(Reg().QueryInfoKey(parent, count, longest), RegistrySuccess);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(Reg().CloseKey(parent), RegistrySuccess);
  EXPECT_TRUE(Under->KeyExists(Path("Parent\\a-longer-name")));
}

}  // namespace
}  // namespace kelpo
