#pragma once
// The registry of the current user: opening keys, reading their subkeys and
// deleting keys. Every call answers a Windows error code (0 on success).
// Windows: RegOpenKeyExA (KEY_ALL_ACCESS), RegQueryInfoKeyA, RegEnumKeyExA,
// RegDeleteKeyA, RegCloseKey.

#include <cstdint>
#include <string>

namespace kelpo {

// An open key or a predefined root key; 0 is no key.
using RegistryKey = std::uintptr_t;

// HKEY_CURRENT_USER, with its Windows value.
constexpr RegistryKey RegistryCurrentUser =
    static_cast<RegistryKey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000001u)));

// Registry error codes (Windows values).
constexpr std::int32_t RegistrySuccess = 0;
constexpr std::int32_t RegistryFileNotFound = 2;
constexpr std::int32_t RegistryAccessDenied = 5;
constexpr std::int32_t RegistryInvalidHandle = 6;
constexpr std::int32_t RegistryMoreData = 234;
constexpr std::int32_t RegistryNoMoreItems = 259;

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens `path` (names separated by "\", without a leading one) below `base`
  // with full access; an empty path opens `base` again.
  virtual std::int32_t OpenKey(RegistryKey base, const std::string& path, RegistryKey& key) = 0;
  // The number of subkeys and the length of the longest subkey name, without its NUL.
  virtual std::int32_t QueryInfoKey(RegistryKey key, std::uint32_t& subKeys, std::uint32_t& longestSubKey) = 0;
  // The name of the subkey at `index` into a buffer of `bufferLength`
  // characters (the NUL included): 234 when it does not fit, 259 past the last one.
  virtual std::int32_t EnumKey(RegistryKey key, std::uint32_t index, std::uint32_t bufferLength, std::string& name) = 0;
  // Deletes the key at `path` below `base` with its values; 5 when it has subkeys.
  virtual std::int32_t DeleteKey(RegistryKey base, const std::string& path) = 0;
  virtual std::int32_t CloseKey(RegistryKey key) = 0;
};

}  // namespace kelpo
