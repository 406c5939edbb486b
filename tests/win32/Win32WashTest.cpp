// The wash on the real services: the cache library probe, and a whole wash
// against WinINet and the registry. It deletes the current user's cache and
// typed addresses, so it runs under Wine only, never on a user's Windows.

#include <gtest/gtest.h>

#include <iostream>
#include <vector>

#include "framework/Application.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32InternetCache.h"
#include "platform/win32/Win32Platform.h"
#include "wash/CacheLibrary.h"
#include "wash/IECache.h"
#include "wash/WashCommand.h"

namespace kelpo {
namespace {

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// WinINet as the program sees it, noting what the enumeration calls answered.
class RecordingCache : public InternetCache {
 public:
  bool ProbeLibrary() override { return inner_.ProbeLibrary(); }
  CacheEnumHandle FindFirstEntry(const std::optional<std::string>& pattern, std::uint32_t filter, std::int64_t group,
                                 CacheEntryRecord* entry, std::uint32_t& size) override {
    const CacheEnumHandle handle = inner_.FindFirstEntry(pattern, filter, group, entry, size);
    findFirstErrors.push_back(handle ? 0 : inner_.LastError());
    if (handle) ++opened;
    return handle;
  }
  bool FindNextEntry(CacheEnumHandle handle, CacheEntryRecord* entry, std::uint32_t& size) override {
    ++findNextCalls;
    return inner_.FindNextEntry(handle, entry, size);
  }
  bool FindClose(CacheEnumHandle handle) override {
    ++closeCalls;
    const bool closed = inner_.FindClose(handle);
    if (closed) ++closedHandles;
    return closed;
  }
  bool DeleteEntry(const std::string& url) override { return inner_.DeleteEntry(url); }
  std::uint32_t LastError() override { return inner_.LastError(); }
  std::optional<LocalTime> FileTimeToLocal(FileTime time) override { return inner_.FileTimeToLocal(time); }

  std::vector<std::uint32_t> findFirstErrors;  // 0 for a call that opened an enumeration
  int opened = 0;
  int findNextCalls = 0;
  int closeCalls = 0;
  int closedHandles = 0;

 private:
  Win32InternetCache inner_;
};

const char* const TypedKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

void CreateKey(const std::string& path) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

TEST(Win32Wash, ProbeFindsTheCacheLibraryAndTheRootKeyIsTheCurrentUser) {
  Win32InternetCache cache;
  CacheLibrary library(cache);
  EXPECT_TRUE(library.FoundAtStart());
  EXPECT_TRUE(library.Check());
  EXPECT_EQ(reinterpret_cast<RegistryKey>(HKEY_CURRENT_USER), RegistryCurrentUser);
}

TEST(Win32Wash, WashEndsCleanlyAgainstWinINetAndTheRegistry) {
  if (!UnderWine()) GTEST_SKIP() << "deletes the user's browser traces";
  Win32Platform win32;
  Platform& s = win32.Services();
  RecordingCache cache;
  Platform platform{s.clock,     s.dialogs, s.files,    s.graphics, s.profiles, s.regional,    s.widgets,
                    s.windowing, cache,     s.registry, s.menus,    s.threads,  s.versionInfo, s.shell};
  TApplication app(platform);
  TComponent owner(app);
  auto* ie = new TIECache(&owner);
  CacheLibrary library(cache);
  ie->SetCacheLibrary(&library);
  CreateKey(std::string(TypedKey) + "\\Nested\\Deeper");
  CreateKey(std::string(TypedKey) + "\\Other");
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, TypedKey, "url1", REG_SZ, "http://typed.example/", 22), ERROR_SUCCESS);

  WashCommand(app, *ie).Run();
  EXPECT_FALSE(KeyExists(TypedKey));
  EXPECT_TRUE(KeyExists("Software\\Microsoft\\Internet Explorer"));
  EXPECT_EQ(app.Cursor(), CursorKind::Arrow);

  // The size query and the fetch; every enumeration opened is closed, and the
  // close is called once whatever the outcome.
  ASSERT_EQ(cache.findFirstErrors.size(), 2u);
  EXPECT_EQ(cache.closeCalls, 1);
  EXPECT_EQ(cache.closedHandles, cache.opened);
  if (cache.findFirstErrors[1] != 0) {
    EXPECT_EQ(cache.findNextCalls, 0);
  }
  std::cout << "find-first answered " << cache.findFirstErrors[0] << " then " << cache.findFirstErrors[1] << "; "
            << cache.findNextCalls << " next calls\n";
}

}  // namespace
}  // namespace kelpo
