#include "framework/Resources.h"

#include "base/Exception.h"

namespace kelpo {
namespace {
// Constant-initialised, so it is empty before any registration runs.
std::span<const EmbeddedResource> registered;
}  // namespace

void RegisterEmbeddedResources(std::span<const EmbeddedResource> files) {
  registered = files;
}

std::span<const std::uint8_t> FindResource(const std::string& name) {
  for (const EmbeddedResource& file : registered)
    if (name == file.Name) return {file.Data, file.Size};
  throw Exception("Resource " + name + " not found");
}

std::string ResourceText(const std::string& name) {
  auto bytes = FindResource(name);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace kelpo
