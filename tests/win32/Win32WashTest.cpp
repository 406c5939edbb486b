// The wash on the real services: the cache library probe, and a whole wash
// against WinINet (the stand-in library this program runs beside) and the
// registry. It deletes the current user's typed addresses, so it runs under
// Wine only, never on a user's Windows.

#include <gtest/gtest.h>

#include <vector>

#include "framework/Application.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32InternetCache.h"
#include "platform/win32/Win32Platform.h"
#include "tests/win32/StandinCache.h"
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
  Platform platform = s.With(cache);
  TApplication app(platform);
  TComponent owner(app);
  auto* ie = new TIECache(&owner);
  CacheLibrary library(cache);
  ie->SetCacheLibrary(&library);
  CreateKey(std::string(TypedKey) + "\\Nested\\Deeper");
  CreateKey(std::string(TypedKey) + "\\Other");
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, TypedKey, "url1", REG_SZ, "http://typed.example/", 22), ERROR_SUCCESS);

  // Entries of selected and unselected kinds in each container.
  standin::Table table;
  const std::pair<const char*, std::uint32_t> entries[] = {
      {"http://page.example/", NormalCacheEntry},          {"http://stable.example/", StableCacheEntry},
      {"Cookie:user@jar.example/", CookieCacheEntry},      {"Visited: user@http://seen.example/", UrlHistoryCacheEntry},
      {"http://offline.example/", TrackOfflineCacheEntry}, {"http://ocx.example/", OcxCacheEntry}};
  for (const auto& [url, type] : entries) {
    CacheEntryRecord record;
    record.SourceUrlName = url;
    record.CacheEntryType = type;
    record.HeaderInfo = "HTTP/1.1 200 OK\r\n\r\n";
    table.Entries.push_back(StandinEntry(record));
  }
  PlantInStandin(table);

  WashCommand(app, *ie).Run();
  EXPECT_FALSE(KeyExists(TypedKey));
  EXPECT_TRUE(KeyExists("Software\\Microsoft\\Internet Explorer"));
  EXPECT_EQ(app.Cursor(), CursorKind::Arrow);

  // The size query and the fetch open the walk; every enumeration opened is
  // closed, once; the four selected entries are deleted and nothing else.
  ASSERT_GE(cache.findFirstErrors.size(), 2u);
  EXPECT_EQ(cache.findFirstErrors[0], ErrorInsufficientBuffer);
  EXPECT_EQ(cache.findFirstErrors[1], 0u);
  EXPECT_EQ(cache.closeCalls, 1);
  EXPECT_EQ(cache.closedHandles, cache.opened);
  std::vector<std::string> deleted;
  for (const standin::Call& call : StandinCalls())
    if (call.Kind == standin::CallKind::Delete && call.Error == 0) deleted.push_back(call.Url);
  EXPECT_EQ(deleted, (std::vector<std::string>{"http://page.example/", "http://offline.example/",
                                               "Cookie:user@jar.example/", "Visited: user@http://seen.example/"}));
}

}  // namespace
}  // namespace kelpo
