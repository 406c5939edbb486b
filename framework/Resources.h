#pragma once
// Files embedded into the program at build time: window layouts and artwork.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kelpo {

struct EmbeddedResource {
  const char* Name;
  const unsigned char* Data;
  std::size_t Size;
};

// The program's files: the table that the build generates (from ui/) registers
// itself here when the program starts. A program without the table has no files.
void RegisterEmbeddedResources(std::span<const EmbeddedResource> files);

// The embedded file of that name (for example "MainForm.layout"); throws when absent.
std::span<const std::uint8_t> FindResource(const std::string& name);
std::string ResourceText(const std::string& name);

}  // namespace kelpo
