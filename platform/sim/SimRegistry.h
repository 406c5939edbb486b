#pragma once
// The current user's registry as a key tree in memory, with the contract of
// the Windows registry functions:
// - names match without regard to ASCII case and keep their spelling;
//   subkeys are enumerated by index in name order, compared in upper case;
// - a missing key (or a missing key on the way) is error 2, not an exception;
//   an unknown or closed handle is 6; a key deleted while a handle to it is
//   open answers 1018 (ERROR_KEY_DELETED) through that handle;
// - a subkey name that does not fit the buffer is 234, an index past the last
//   subkey 259;
// - deleting a key with subkeys is 5; deleting a key takes its values with it.
// Test API: creating keys and values, checking their existence, keys that
// refuse to be opened, a count of open handles and a record of the calls.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace kelpo {

enum class SimRegistryCallKind { Open, QueryInfo, Enum, Delete, Close };

struct SimRegistryCall {
  SimRegistryCallKind Kind = SimRegistryCallKind::Open;
  std::string Path;                // the key the call is about, from the root, as spelled in the call
  std::uint32_t Index = 0;         // Enum
  std::uint32_t BufferLength = 0;  // Enum
  std::int32_t Result = 0;
};

class SimRegistry : public Registry {
 public:
  SimRegistry();
  ~SimRegistry() override;

  std::int32_t OpenKey(RegistryKey base, const std::string& path, RegistryKey& key) override;
  std::int32_t QueryInfoKey(RegistryKey key, std::uint32_t& subKeys, std::uint32_t& longestSubKey) override;
  std::int32_t EnumKey(RegistryKey key, std::uint32_t index, std::uint32_t bufferLength, std::string& name) override;
  std::int32_t DeleteKey(RegistryKey base, const std::string& path) override;
  std::int32_t CloseKey(RegistryKey key) override;

  // Paths are below the current user's root, names separated by "\".
  void CreateKey(const std::string& path);
  void SetValue(const std::string& path, const std::string& name, const std::string& data);
  bool KeyExists(const std::string& path) const;
  bool ValueExists(const std::string& path, const std::string& name) const;
  // Opening the key fails with 5 (access denied); deleting it is still allowed.
  void DenyOpen(const std::string& path);

  int OpenHandles() const { return static_cast<int>(handles_.size()); }
  const std::vector<SimRegistryCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

 private:
  struct Node;
  struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  struct Node {
    std::string Name;
    std::string Path;  // from the root
    Node* Parent = nullptr;
    bool Deleted = false;
    bool DenyOpen = false;
    std::map<std::string, std::shared_ptr<Node>, NameLess> SubKeys;
    std::map<std::string, std::string, NameLess> Values;
  };

  // The node behind a root or open handle; an error code otherwise.
  std::int32_t Resolve(RegistryKey key, std::shared_ptr<Node>& node) const;
  // Follows a path below `from`; null when a key on the way is missing.
  static std::shared_ptr<Node> Walk(std::shared_ptr<Node> from, const std::string& path);
  // The key at `path` below `base` for a call, or null: either the call failed
  // (its result says why) or the key does not exist (its result is success).
  std::shared_ptr<Node> Find(RegistryKey base, const std::string& path, SimRegistryCall& call) const;
  std::shared_ptr<Node> MakePath(const std::string& path);
  static std::string Join(const std::shared_ptr<Node>& node, const std::string& path);
  std::int32_t Record(SimRegistryCall call);

  std::shared_ptr<Node> root_;
  std::map<RegistryKey, std::shared_ptr<Node>> handles_;
  RegistryKey nextHandle_ = 0x1000;
  std::vector<SimRegistryCall> calls_;
};

}  // namespace kelpo
