// Feeds random bytes as "settings.ini" to the settings file: reading must
// never fail, the schedule's keys must read back as written and the file's
// other keys stay as they were (see SettingsFileFault in tests/settings/FuzzChecks.h).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/settings/FuzzChecks.h"

namespace {

// One file for the whole run, in the temporary folder, named after the process.
const std::string& SettingsPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("kelpo-settings-fuzz-" + std::to_string(getpid()) + ".ini")).string();
  return path;
}

void RemoveSettings() {
  std::error_code ignored;
  std::filesystem::remove(SettingsPath(), ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SettingsPath();  // made before the handler is registered, so it outlives it
  std::atexit(RemoveSettings);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto fault = kelpo::test::SettingsFileFault({data, size}, SettingsPath())) {
    std::fprintf(stderr, "settings_file_fuzz: %s\n", fault->c_str());
    std::abort();
  }
  return 0;
}
