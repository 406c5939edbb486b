#pragma once
// The current user's registry through the Windows registry functions.

#include "platform/Registry.h"

namespace kelpo {

class Win32Registry : public Registry {
 public:
  std::int32_t OpenKey(RegistryKey base, const std::string& path, RegistryKey& key) override;
  std::int32_t QueryInfoKey(RegistryKey key, std::uint32_t& subKeys, std::uint32_t& longestSubKey) override;
  std::int32_t EnumKey(RegistryKey key, std::uint32_t index, std::uint32_t bufferLength, std::string& name) override;
  std::int32_t DeleteKey(RegistryKey base, const std::string& path) override;
  std::int32_t CloseKey(RegistryKey key) override;
};

}  // namespace kelpo
