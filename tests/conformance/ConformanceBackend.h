#pragma once
// The backend a conformance suite runs against: the simulation natively, the
// Win32 implementation under Windows (Wine).

#include <memory>
#include <string>

#include "platform/InternetCache.h"
#include "platform/NotifyIcons.h"
#include "platform/ProfileFiles.h"
#include "platform/Registry.h"

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

std::unique_ptr<InternetCache> MakeInternetCacheUnderTest();

// The notification area with a hidden window of the program that owns the icons.
class NotifyIconsUnderTest {
 public:
  virtual ~NotifyIconsUnderTest() = default;
  virtual NotifyIcons& Service() = 0;
  virtual WindowHandle Window() = 0;
};

std::unique_ptr<NotifyIconsUnderTest> MakeNotifyIconsUnderTest();

// A fresh empty folder, its path ending with the platform's separator.
std::string MakeTempFolder();

}  // namespace kelpo
