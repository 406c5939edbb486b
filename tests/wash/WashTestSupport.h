#pragma once
// The cache enumerator on the simulated platform, with services that can be
// told to raise errors (as memory exhaustion would) part way through.

#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "base/Calendar.h"
#include "framework/Application.h"
#include "platform/sim/SimPlatform.h"
#include "wash/IECache.h"

namespace kelpo {

// The simulated cache, except that the probe or the time conversion can raise.
class RaisingCache : public InternetCache {
 public:
  explicit RaisingCache(SimInternetCache& inner) : inner_(inner) {}
  bool ProbeLibrary() override {
    if (raiseOnProbe) throw std::bad_alloc();
    return inner_.ProbeLibrary();
  }
  CacheEnumHandle FindFirstEntry(const std::optional<std::string>& pattern, std::uint32_t filter, std::int64_t group,
                                 CacheEntryRecord* entry, std::uint32_t& size) override {
    return inner_.FindFirstEntry(pattern, filter, group, entry, size);
  }
  bool FindNextEntry(CacheEnumHandle handle, CacheEntryRecord* entry, std::uint32_t& size) override {
    return inner_.FindNextEntry(handle, entry, size);
  }
  bool FindClose(CacheEnumHandle handle) override { return inner_.FindClose(handle); }
  bool DeleteEntry(const std::string& url) override { return inner_.DeleteEntry(url); }
  std::uint32_t LastError() override { return inner_.LastError(); }
  std::optional<LocalTime> FileTimeToLocal(FileTime time) override {
    if (raiseOnTime) throw std::bad_alloc();
    return inner_.FileTimeToLocal(time);
  }

  bool raiseOnProbe = false;
  bool raiseOnTime = false;

 private:
  SimInternetCache& inner_;
};

// The simulated registry, except that reading a subkey name can raise.
class RaisingRegistry : public Registry {
 public:
  explicit RaisingRegistry(SimRegistry& inner) : inner_(inner) {}
  std::int32_t OpenKey(RegistryKey base, const std::string& path, RegistryKey& key) override {
    return inner_.OpenKey(base, path, key);
  }
  std::int32_t QueryInfoKey(RegistryKey key, std::uint32_t& subKeys, std::uint32_t& longestSubKey) override {
    return inner_.QueryInfoKey(key, subKeys, longestSubKey);
  }
  std::int32_t EnumKey(RegistryKey key, std::uint32_t index, std::uint32_t bufferLength, std::string& name) override {
    if (raiseOnEnum) throw std::bad_alloc();
    return inner_.EnumKey(key, index, bufferLength, name);
  }
  std::int32_t DeleteKey(RegistryKey base, const std::string& path) override { return inner_.DeleteKey(base, path); }
  std::int32_t CloseKey(RegistryKey key) override { return inner_.CloseKey(key); }

  bool raiseOnEnum = false;

 private:
  SimRegistry& inner_;
};

class WashHarness {
 public:
  WashHarness() {
    app = std::make_unique<TApplication>(platform);
    app->SetTitle("Kelpo");
    owner = std::make_unique<TComponent>(*app);
    ie = new TIECache(owner.get());
  }
  ~WashHarness() {
    owner.reset();
    app.reset();
  }

  SimPlatform sim;
  RaisingCache cache{sim.cache};
  RaisingRegistry registry{sim.registry};
  Platform platform{sim.clock,     sim.dialogs, sim.files, sim.graphics, sim.profiles, sim.regional,    sim.widgets,
                    sim.windowing, cache,       registry,  sim.menus,    sim.threads,  sim.versionInfo, sim.shell};
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TComponent> owner;
  TIECache* ie = nullptr;  // owned by `owner`

  // Calls of one kind the cache has seen.
  std::vector<SimCacheCall> CacheCalls(SimCacheCallKind kind) const {
    std::vector<SimCacheCall> calls;
    for (const SimCacheCall& call : sim.cache.Calls())
      if (call.Kind == kind) calls.push_back(call);
    return calls;
  }
};

// A UTC file time.
inline FileTime FileTimeOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                           int millisecond = 0) {
  // Days from 1 January 1601.
  const std::int64_t days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - DaysFromCivil(1601, 1, 1);
  const std::int64_t ms = ((days * 24 + hour) * 60 + minute) * 60000LL + second * 1000LL + millisecond;
  return static_cast<FileTime>(ms) * 10000;
}

// An entry of the given URL and type, with distinct times and texts.
inline CacheEntryRecord EntryOf(const std::string& url, std::uint32_t type) {
  CacheEntryRecord entry;
  entry.SourceUrlName = url;
  entry.LocalFileName = "C:\\Cache\\" + std::to_string(url.size()) + ".htm";
  entry.CacheEntryType = type;
  entry.UseCount = 3;
  entry.HitRate = 7;
  entry.SizeLow = 1234;
  entry.LastModifiedTime = FileTimeOf(2024, 5, 6, 7, 8, 9);
  entry.ExpireTime = FileTimeOf(2025, 5, 6);
  entry.LastAccessTime = FileTimeOf(2024, 6, 1, 12);
  entry.LastSyncTime = FileTimeOf(2024, 6, 2, 13);
  entry.HeaderInfo = "HTTP/1.1 200 OK\r\n";
  entry.FileExtension = "htm";
  entry.ExemptDelta = 0;
  return entry;
}

}  // namespace kelpo
