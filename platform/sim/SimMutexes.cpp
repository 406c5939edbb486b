#include "platform/sim/SimMutexes.h"

namespace kelpo {

MutexOpening SimMutexes::CreateMutex(const std::string& name) {
  requests_.push_back(name);
  if (Failing) return MutexOpening{};
  int& count = open_[name];
  const bool existed = count > 0;
  ++count;
  const MutexHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = name;
  return MutexOpening{handle, existed};
}

void SimMutexes::CloseMutex(MutexHandle mutex) {
  auto it = handles_.find(mutex);
  if (it == handles_.end()) return;
  ReleaseElsewhere(it->second);
  handles_.erase(it);
}

void SimMutexes::ReleaseElsewhere(const std::string& name) {
  auto it = open_.find(name);
  if (it != open_.end() && --it->second <= 0) open_.erase(it);
}

int SimMutexes::OpenCount(const std::string& name) const {
  auto it = open_.find(name);
  return it == open_.end() ? 0 : it->second;
}

}  // namespace kelpo
