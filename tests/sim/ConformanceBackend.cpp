#include "tests/conformance/ConformanceBackend.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "platform/sim/SimProfileFiles.h"

namespace kelpo {

std::unique_ptr<ProfileFiles> MakeProfileFilesUnderTest() { return std::make_unique<SimProfileFiles>(); }

std::string MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelpo-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  return pattern + "/";
}

}  // namespace kelpo
