#pragma once
// The backend a conformance suite runs against: the simulation natively, the
// Win32 implementation under Windows (Wine).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/InternetCache.h"
#include "platform/Platform.h"
#include "platform/ProfileFiles.h"
#include "platform/Registry.h"
#include "platform/VersionInfo.h"

namespace kelpo {

std::unique_ptr<ProfileFiles> MakeProfileFilesUnderTest();

// The current user's registry with what a suite needs to set it up and
// inspect it. Paths are below the current user's root key.
class RegistryUnderTest {
 public:
  virtual ~RegistryUnderTest() = default;
  virtual Registry& Service() = 0;
  virtual void CreateKey(const std::string& path) = 0;
  virtual void SetValue(const std::string& path, const std::string& name, const std::string& data) = 0;
  virtual bool KeyExists(const std::string& path) = 0;
  virtual bool ValueExists(const std::string& path, const std::string& name) = 0;
};

std::unique_ptr<RegistryUnderTest> MakeRegistryUnderTest();

// An entry the URL cache under test holds; its header grows by `Growth` bytes
// right after the first size query that reports its size (0: it never grows).
struct PlantedCacheEntry {
  CacheEntryRecord Record;
  std::uint32_t Growth = 0;
};

// The URL cache holding exactly `entries`: the simulation, or WinINet, which
// under Wine is the stand-in library of tests/win32/cache-standin.
std::unique_ptr<InternetCache> MakeInternetCacheUnderTest(const std::vector<PlantedCacheEntry>& entries = {});

// A version-info service, and a file whose version resource gives the file
// version 2.5.1.7 and the product version 2.5.0.0.
struct VersionInfoUnderTest {
  std::unique_ptr<VersionInfo> Service;
  std::string VersionedFile;
};

VersionInfoUnderTest MakeVersionInfoUnderTest();

// A whole platform, with what a suite needs to drive its windows and menus.
class PlatformUnderTest {
 public:
  virtual ~PlatformUnderTest() = default;
  virtual Platform& Services() = 0;
  // Lets the system run, dispatching messages, timer ticks (in virtual time
  // on the simulation) and calls from other threads, until `done` holds or a
  // few seconds have passed; returns done().
  virtual bool RunUntil(const std::function<bool()>& done) = 0;
  // The next popup menu is answered by choosing its top-level item at
  // `position` once `ready` holds while the menu is open (asked as its loop
  // dispatches), or is cancelled when `ready` does not come to hold.
  virtual void ChooseNextMenuItem(int position, std::function<bool()> ready) = 0;
};

std::unique_ptr<PlatformUnderTest> MakePlatformUnderTest();

// A fresh empty folder, its path ending with the platform's separator.
std::string MakeTempFolder();

}  // namespace kelpo
