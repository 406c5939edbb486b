#include "platform/sim/SimRegistry.h"

#include <algorithm>

namespace kelpo {
namespace {

constexpr std::int32_t ErrorBadPathname = 161;
constexpr std::int32_t ErrorKeyDeleted = 1018;

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

SimRegistryCall Call(SimRegistryCallKind kind, const std::string& path = {}) {
  SimRegistryCall call;
  call.Kind = kind;
  call.Path = path;
  return call;
}

std::vector<std::string> Names(const std::string& path) {
  std::vector<std::string> names;
  std::string name;
  for (char c : path) {
    if (c == '\\') {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else {
      name += c;
    }
  }
  if (!name.empty()) names.push_back(name);
  return names;
}

}  // namespace

bool SimRegistry::NameLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Upper(x) < Upper(y); });
}

SimRegistry::SimRegistry() : root_(std::make_shared<Node>()) {}

SimRegistry::~SimRegistry() = default;

std::int32_t SimRegistry::Resolve(RegistryKey key, std::shared_ptr<Node>& node) const {
  if (key == RegistryCurrentUser) {
    node = root_;
    return RegistrySuccess;
  }
  const auto it = handles_.find(key);
  if (it == handles_.end()) return RegistryInvalidHandle;
  if (it->second->Deleted) return ErrorKeyDeleted;
  node = it->second;
  return RegistrySuccess;
}

std::shared_ptr<SimRegistry::Node> SimRegistry::Walk(std::shared_ptr<Node> from, const std::string& path) {
  for (const std::string& name : Names(path)) {
    const auto it = from->SubKeys.find(name);
    if (it == from->SubKeys.end()) return nullptr;
    from = it->second;
  }
  return from;
}

std::shared_ptr<SimRegistry::Node> SimRegistry::MakePath(const std::string& path) {
  std::shared_ptr<Node> node = root_;
  for (const std::string& name : Names(path)) {
    std::shared_ptr<Node>& child = node->SubKeys[name];
    if (!child) {
      child = std::make_shared<Node>();
      child->Name = name;
      child->Path = node->Path.empty() ? name : node->Path + "\\" + name;
      child->Parent = node.get();
    }
    node = child;
  }
  return node;
}

std::string SimRegistry::Join(const std::shared_ptr<Node>& node, const std::string& path) {
  if (!node || node->Path.empty()) return path;
  return path.empty() ? node->Path : node->Path + "\\" + path;
}

std::int32_t SimRegistry::Record(SimRegistryCall call) {
  calls_.push_back(call);
  return call.Result;
}

std::shared_ptr<SimRegistry::Node> SimRegistry::Find(RegistryKey base, const std::string& path,
                                                     SimRegistryCall& call) const {
  std::shared_ptr<Node> from;
  call.Result = Resolve(base, from);
  if (call.Result != RegistrySuccess) return nullptr;
  call.Path = Join(from, path);
  // Paths given to the calls are relative: a leading backslash is refused.
  if (path.starts_with("\\")) {
    call.Result = ErrorBadPathname;
    return nullptr;
  }
  return Walk(from, path);
}

std::int32_t SimRegistry::OpenKey(RegistryKey base, const std::string& path, RegistryKey& key) {
  SimRegistryCall call = Call(SimRegistryCallKind::Open, path);
  const std::shared_ptr<Node> node = Find(base, path, call);
  if (!node) {
    if (call.Result == RegistrySuccess) call.Result = RegistryFileNotFound;
  } else if (node->DenyOpen) {
    call.Result = RegistryAccessDenied;
  } else {
    key = nextHandle_++;
    handles_[key] = node;
  }
  return Record(call);
}

std::int32_t SimRegistry::QueryInfoKey(RegistryKey key, std::uint32_t& subKeys, std::uint32_t& longestSubKey) {
  SimRegistryCall call = Call(SimRegistryCallKind::QueryInfo);
  std::shared_ptr<Node> node;
  call.Result = Resolve(key, node);
  if (call.Result == RegistrySuccess) {
    call.Path = node->Path;
    subKeys = static_cast<std::uint32_t>(node->SubKeys.size());
    longestSubKey = 0;
    for (const auto& [name, child] : node->SubKeys)
      longestSubKey = std::max(longestSubKey, static_cast<std::uint32_t>(name.size()));
  }
  return Record(call);
}

std::int32_t SimRegistry::EnumKey(RegistryKey key, std::uint32_t index, std::uint32_t bufferLength, std::string& name) {
  SimRegistryCall call = Call(SimRegistryCallKind::Enum);
  call.Index = index;
  call.BufferLength = bufferLength;
  std::shared_ptr<Node> node;
  call.Result = Resolve(key, node);
  if (call.Result != RegistrySuccess) return Record(call);
  call.Path = node->Path;
  if (index >= node->SubKeys.size()) {
    call.Result = RegistryNoMoreItems;
    return Record(call);
  }
  const std::string& found = std::next(node->SubKeys.begin(), index)->first;
  if (found.size() + 1 > bufferLength) {
    call.Result = RegistryMoreData;
  } else {
    name = found;
  }
  return Record(call);
}

std::int32_t SimRegistry::DeleteKey(RegistryKey base, const std::string& path) {
  SimRegistryCall call = Call(SimRegistryCallKind::Delete, path);
  const std::shared_ptr<Node> node = Find(base, path, call);
  if (!node) {
    if (call.Result == RegistrySuccess) call.Result = RegistryFileNotFound;
  } else if (!node->Parent || !node->SubKeys.empty()) {
    call.Result = RegistryAccessDenied;
  } else {
    node->Deleted = true;
    node->Parent->SubKeys.erase(node->Name);
    node->Parent = nullptr;
  }
  return Record(call);
}

std::int32_t SimRegistry::CloseKey(RegistryKey key) {
  SimRegistryCall call = Call(SimRegistryCallKind::Close);
  if (key == RegistryCurrentUser) return Record(call);
  const auto it = handles_.find(key);
  if (it == handles_.end()) {
    call.Result = RegistryInvalidHandle;
  } else {
    call.Path = it->second->Path;
    handles_.erase(it);
  }
  return Record(call);
}

void SimRegistry::CreateKey(const std::string& path) {
  MakePath(path);
}

void SimRegistry::SetValue(const std::string& path, const std::string& name, const std::string& data) {
  MakePath(path)->Values[name] = data;
}

bool SimRegistry::KeyExists(const std::string& path) const {
  return Walk(root_, path) != nullptr;
}

bool SimRegistry::ValueExists(const std::string& path, const std::string& name) const {
  const std::shared_ptr<Node> node = Walk(root_, path);
  return node && node->Values.count(name) != 0;
}

void SimRegistry::DenyOpen(const std::string& path) {
  MakePath(path)->DenyOpen = true;
}

}  // namespace kelpo
