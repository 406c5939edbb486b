#pragma once
// Deletes a registry key with its whole subtree: children before their parent,
// the subkeys of one key from the last index to the first. A key that is
// missing or cannot be opened is no error: deleting the key itself is still tried.

#include <string>

#include "platform/Registry.h"

namespace kelpo {

class RegistryTree {
 public:
  // `root` is the base of absolute paths (those beginning with "\").
  RegistryTree(Registry& registry, RegistryKey root) : registry_(registry), root_(root) {}

  // Deletes the key at `path` below the root; true when the key itself was deleted.
  bool DeleteKey(const std::string& path) { return DeleteKey(root_, path); }

 private:
  // A path beginning with "\" is taken from the root, any other from `base`.
  bool DeleteKey(RegistryKey base, std::string path);

  Registry& registry_;
  RegistryKey root_;
};

}  // namespace kelpo
