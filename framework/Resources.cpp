#include "framework/Resources.h"

#include <stdexcept>

namespace kelpo {

std::span<const std::uint8_t> FindResource(const std::string& name) {
  std::size_t count = 0;
  const EmbeddedResource* table = EmbeddedResources(count);
  for (std::size_t i = 0; i < count; ++i)
    if (name == table[i].Name) return {table[i].Data, table[i].Size};
  throw std::runtime_error("Resource " + name + " not found");
}

std::string ResourceText(const std::string& name) {
  auto bytes = FindResource(name);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace kelpo
