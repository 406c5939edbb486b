#include "platform/win32/Win32Registry.h"

#include <vector>

#include "platform/win32/Win32Api.h"

namespace kelpo {
namespace {

HKEY ToHkey(RegistryKey key) {
  return reinterpret_cast<HKEY>(key);
}

}  // namespace

static_assert(sizeof(RegistryKey) == sizeof(HKEY));

std::int32_t Win32Registry::OpenKey(RegistryKey base, const std::string& path, RegistryKey& key) {
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExA(ToHkey(base), path.c_str(), 0, KEY_ALL_ACCESS, &opened);
  if (result == ERROR_SUCCESS) key = reinterpret_cast<RegistryKey>(opened);
  return result;
}

std::int32_t Win32Registry::QueryInfoKey(RegistryKey key, std::uint32_t& subKeys, std::uint32_t& longestSubKey) {
  DWORD count = 0;
  DWORD longest = 0;
  const LONG result = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr);
  if (result == ERROR_SUCCESS) {
    subKeys = count;
    longestSubKey = longest;
  }
  return result;
}

std::int32_t Win32Registry::EnumKey(RegistryKey key, std::uint32_t index, std::uint32_t bufferLength,
                                    std::string& name) {
  std::vector<char> buffer(bufferLength);
  DWORD length = bufferLength;
  const LONG result = RegEnumKeyExA(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
  if (result == ERROR_SUCCESS) name.assign(buffer.data(), length);
  return result;
}

std::int32_t Win32Registry::DeleteKey(RegistryKey base, const std::string& path) {
  return RegDeleteKeyA(ToHkey(base), path.c_str());
}

std::int32_t Win32Registry::CloseKey(RegistryKey key) {
  return RegCloseKey(ToHkey(key));
}

}  // namespace kelpo
