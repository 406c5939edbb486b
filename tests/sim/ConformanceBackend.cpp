#include "tests/conformance/ConformanceBackend.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "platform/sim/SimPlatform.h"

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

std::unique_ptr<InternetCache> MakeInternetCacheUnderTest(const std::vector<PlantedCacheEntry>& entries) {
  auto cache = std::make_unique<SimInternetCache>();
  for (const PlantedCacheEntry& entry : entries) {
    cache->Add(entry.Record);
    if (entry.Growth != 0) cache->GrowAfterSizeQuery(entry.Record.SourceUrlName, entry.Growth);
  }
  return cache;
}

VersionInfoUnderTest MakeVersionInfoUnderTest() {
  auto service = std::make_unique<SimVersionInfo>();
  const std::string file = "C:\\Program Files\\Kelpo\\kelpo.exe";
  service->SetVersion(file, FixedVersion({2, 5, 1, 7}, {2, 5, 0, 0}));
  return VersionInfoUnderTest{std::move(service), file};
}

namespace {

class SimPlatformUnderTest : public PlatformUnderTest {
 public:
  Platform& Services() override { return sim_.Services(); }

  bool RunUntil(const std::function<bool()>& done) override {
    for (int step = 0; step < 1000 && !done(); ++step) {
      sim_.threads.RunGuiCalls(std::chrono::milliseconds(1));
      sim_.windowing.AdvanceBy(10);
    }
    return done();
  }

  void ChooseNextMenuItem(int position, std::function<bool()> ready) override {
    sim_.menus.Expect([this, position, ready = std::move(ready)](SimMenuCall&) {
      for (int step = 0; step < 1000 && !ready(); ++step) sim_.windowing.AdvanceBy(10);
      return ready() ? SimMenuChoice::ByPosition({position}) : SimMenuChoice::Cancel();
    });
  }

 private:
  SimPlatform sim_;
};

}  // namespace

std::unique_ptr<PlatformUnderTest> MakePlatformUnderTest() {
  return std::make_unique<SimPlatformUnderTest>();
}

std::string MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelpo-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  return pattern + "/";
}

}  // namespace kelpo
