#include "tests/conformance/ConformanceBackend.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "platform/sim/SimInternetCache.h"
#include "platform/sim/SimNotifyIcons.h"
#include "platform/sim/SimProfileFiles.h"
#include "platform/sim/SimRegistry.h"

namespace kelpo {

std::unique_ptr<ProfileFiles> MakeProfileFilesUnderTest() {
  return std::make_unique<SimProfileFiles>();
}

namespace {

class SimRegistryUnderTest : public RegistryUnderTest {
 public:
  Registry& Service() override { return registry_; }
  void CreateKey(const std::string& path) override { registry_.CreateKey(path); }
  void SetValue(const std::string& path, const std::string& name, const std::string& data) override {
    registry_.SetValue(path, name, data);
  }
  bool KeyExists(const std::string& path) override { return registry_.KeyExists(path); }
  bool ValueExists(const std::string& path, const std::string& name) override {
    return registry_.ValueExists(path, name);
  }

 private:
  SimRegistry registry_;
};

}  // namespace

std::unique_ptr<RegistryUnderTest> MakeRegistryUnderTest() {
  return std::make_unique<SimRegistryUnderTest>();
}

std::unique_ptr<InternetCache> MakeInternetCacheUnderTest() {
  return std::make_unique<SimInternetCache>();
}

namespace {

class SimNotifyIconsUnderTest : public NotifyIconsUnderTest {
 public:
  SimNotifyIconsUnderTest() {
    WindowParams params;
    params.ClassName = "TKelpoConformanceTray";
    window_ = windowing_.CreateWindow(params, nullptr);
  }
  NotifyIcons& Service() override { return icons_; }
  WindowHandle Window() override { return window_; }

 private:
  SimClock clock_;
  SimWindowing windowing_{clock_};
  SimNotifyIcons icons_{windowing_};
  WindowHandle window_ = 0;
};

}  // namespace

std::unique_ptr<NotifyIconsUnderTest> MakeNotifyIconsUnderTest() {
  return std::make_unique<SimNotifyIconsUnderTest>();
}

std::string MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelpo-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  return pattern + "/";
}

}  // namespace kelpo
