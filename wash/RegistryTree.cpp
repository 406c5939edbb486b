#include "wash/RegistryTree.h"

#include <cstdint>

namespace kelpo {
namespace {

// Closes an opened key on every path out of its scope.
class OpenedKey {
 public:
  OpenedKey(Registry& registry, RegistryKey key) : registry_(registry), key_(key) {}
  ~OpenedKey() { registry_.CloseKey(key_); }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  RegistryKey Key() const { return key_; }

 private:
  Registry& registry_;
  RegistryKey key_;
};

}  // namespace

bool RegistryTree::DeleteKey(RegistryKey base, std::string path) {
  if (!path.empty() && path.front() == '\\') {
    path.erase(0, 1);
    base = root_;
  }
  RegistryKey key = 0;
  if (registry_.OpenKey(base, path, key) == RegistrySuccess) {
    const OpenedKey opened(registry_, key);
    std::uint32_t subKeys = 0;
    std::uint32_t longest = 0;
    if (registry_.QueryInfoKey(key, subKeys, longest) == RegistrySuccess) {
      for (std::uint32_t index = subKeys; index-- > 0;) {
        std::string name;
        if (registry_.EnumKey(key, index, longest + 1, name) == RegistrySuccess) DeleteKey(key, name);
      }
    }
  }
  return registry_.DeleteKey(base, path) == RegistrySuccess;
}

}  // namespace kelpo
