// The wash: the typed-address key with its subtree, then the whole cache
// selection, under the hourglass and with the arrow afterwards on every path.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/wash/WashTestSupport.h"
#include "wash/RegistryTree.h"
#include "wash/WashCommand.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string Typed = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

void FillCache(SimInternetCache& cache) {
  cache.Add(EntryOf("http://page.example/", NormalCacheEntry));
  cache.Add(EntryOf("http://page.example/app.cab", StableCacheEntry));
  cache.Add(EntryOf("Cookie:user@page.example/", CookieCacheEntry));
  cache.Add(EntryOf("Visited: user@http://page.example/", UrlHistoryCacheEntry));
}

std::vector<std::string> Deleted(const SimRegistry& registry) {
  std::vector<std::string> paths;
  for (const SimRegistryCall& call : registry.Calls())
    if (call.Kind == SimRegistryCallKind::Delete && call.Result == RegistrySuccess) paths.push_back(call.Path);
  return paths;
}

TEST(WashCommand, DeletesTheTypedAddressKeyDeepestFirstThenTheCache) {
  WashHarness h;
  h.sim.registry.SetValue(Typed, "url1", "http://typed.example/");
  h.sim.registry.SetValue(Typed, "url2", "http://other.example/");
  h.sim.registry.CreateKey(Typed + "\\a\\deep\\deeper");
  h.sim.registry.CreateKey(Typed + "\\b");
  h.sim.registry.CreateKey(Typed + "\\C");
  h.sim.registry.SetValue("Software\\Microsoft\\Internet Explorer\\Main", "Start Page", "about:blank");
  FillCache(h.sim.cache);
  h.ie->SearchPattern = TSearchPattern::spCookies;
  WashCommand wash(*h.app, *h.ie);

  wash.Run();
  EXPECT_FALSE(h.sim.registry.KeyExists(Typed));
  EXPECT_TRUE(h.sim.registry.ValueExists("Software\\Microsoft\\Internet Explorer\\Main", "Start Page"));
  // Children before their parent, the subkeys of a key from the last index to the first.
  EXPECT_THAT(Deleted(h.sim.registry), ElementsAre(Typed + "\\C", Typed + "\\b", Typed + "\\a\\deep\\deeper",
                                                   Typed + "\\a\\deep", Typed + "\\a", Typed));
  EXPECT_EQ(h.sim.registry.OpenHandles(), 0);

  EXPECT_EQ(h.ie->SearchPattern, TSearchPattern::spAll);
  EXPECT_EQ(h.sim.cache.Calls().front().Pattern, std::nullopt);
  EXPECT_THAT(h.sim.cache.Urls(), ElementsAre("http://page.example/app.cab"));
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);

  EXPECT_THAT(h.sim.windowing.CursorOverrides(), ElementsAre(CursorKind::HourGlass, CursorKind::Arrow));
  EXPECT_EQ(h.app->Cursor(), CursorKind::Arrow);
}

TEST(WashCommand, AbsentKeyStillWashesTheCacheWithoutAnError) {
  WashHarness h;
  FillCache(h.sim.cache);
  WashCommand wash(*h.app, *h.ie);

  EXPECT_NO_THROW(wash.Run());
  EXPECT_THAT(h.sim.cache.Urls(), ElementsAre("http://page.example/app.cab"));
  // Opening failed, the deletion was tried all the same.
  const auto& calls = h.sim.registry.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].Kind, SimRegistryCallKind::Open);
  EXPECT_EQ(calls[0].Result, RegistryFileNotFound);
  EXPECT_EQ(calls[1].Kind, SimRegistryCallKind::Delete);
  EXPECT_EQ(calls[1].Path, Typed);
  EXPECT_EQ(h.app->Cursor(), CursorKind::Arrow);
}

TEST(WashCommand, EmptyCacheEndsRightAfterTheRegistryStep) {
  WashHarness h;
  h.sim.registry.SetValue(Typed, "url1", "http://typed.example/");
  WashCommand wash(*h.app, *h.ie);

  wash.Run();
  EXPECT_FALSE(h.sim.registry.KeyExists(Typed));
  const auto& calls = h.sim.cache.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].Kind, SimCacheCallKind::FindFirst);
  EXPECT_EQ(calls[1].Kind, SimCacheCallKind::FindFirst);
  EXPECT_EQ(calls[1].Error, ErrorNoMoreItems);
  EXPECT_EQ(calls[2].Kind, SimCacheCallKind::FindClose);
  EXPECT_EQ(h.app->Cursor(), CursorKind::Arrow);
}

TEST(WashCommand, MissingCacheLibraryStillDeletesTheKey) {
  WashHarness h;
  h.sim.registry.CreateKey(Typed + "\\a");
  FillCache(h.sim.cache);
  h.sim.cache.SetLibraryPresent(false);
  WashCommand wash(*h.app, *h.ie);

  wash.Run();
  EXPECT_FALSE(h.sim.registry.KeyExists(Typed));
  EXPECT_THAT(h.sim.cache.Calls(), IsEmpty());
  EXPECT_EQ(h.sim.cache.Urls().size(), 4u);
  EXPECT_EQ(h.app->Cursor(), CursorKind::Arrow);
}

TEST(WashCommand, ErrorEndsTheWashWithTheArrowAndNoKeyLeftOpen) {
  WashHarness h;
  h.sim.registry.CreateKey(Typed + "\\a\\b");
  FillCache(h.sim.cache);
  h.registry.raiseOnEnum = true;
  WashCommand wash(*h.app, *h.ie);

  EXPECT_THROW(wash.Run(), std::bad_alloc);
  EXPECT_THAT(h.sim.windowing.CursorOverrides(), ElementsAre(CursorKind::HourGlass, CursorKind::Arrow));
  EXPECT_EQ(h.sim.registry.OpenHandles(), 0);
  EXPECT_TRUE(h.sim.registry.KeyExists(Typed + "\\a\\b"));
  EXPECT_THAT(h.sim.cache.Calls(), IsEmpty());
}

TEST(RegistryTree, KeyThatCannotBeOpenedIsStillDeletedWhenItHasNoSubkeys) {
  SimRegistry registry;
  registry.DenyOpen("Software\\Locked\\Leaf");
  registry.DenyOpen("Software\\Locked\\Parent");
  registry.CreateKey("Software\\Locked\\Parent\\Child");
  RegistryTree tree(registry, RegistryCurrentUser);

  EXPECT_TRUE(tree.DeleteKey("\\Software\\Locked\\Leaf"));
  EXPECT_FALSE(registry.KeyExists("Software\\Locked\\Leaf"));
  // Its subkeys cannot be read, so the parent stays.
  EXPECT_FALSE(tree.DeleteKey("Software\\Locked\\Parent"));
  EXPECT_TRUE(registry.KeyExists("Software\\Locked\\Parent\\Child"));
  EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST(RegistryTree, SubkeyNamesAreReadIntoABufferOfTheLongestNamePlusOne) {
  SimRegistry registry;
  for (const char* name : {"x", "longest-name", "mid"}) registry.CreateKey(std::string("Software\\T\\") + name);
  RegistryTree tree(registry, RegistryCurrentUser);

  EXPECT_TRUE(tree.DeleteKey("\\Software\\T"));
  std::vector<std::uint32_t> indexes;
  for (const SimRegistryCall& call : registry.Calls()) {
    if (call.Kind != SimRegistryCallKind::Enum || call.Path != "Software\\T") continue;
    indexes.push_back(call.Index);
    EXPECT_EQ(call.BufferLength, 13u);
    EXPECT_EQ(call.Result, RegistrySuccess);
  }
  EXPECT_THAT(indexes, ElementsAre(2u, 1u, 0u));
}

}  // namespace
}  // namespace kelpo
