#pragma once
// Named mutexes as one name table of the simulated session: every handle of
// a name counts until it is closed, and the mutex ends with its last handle.
// A test plays another process by holding a name open (HoldElsewhere), or
// shares one table between two simulated programs.

#include <map>
#include <string>
#include <vector>

#include "platform/Mutexes.h"

namespace kelpo {

class SimMutexes : public Mutexes {
 public:
  MutexOpening CreateMutex(const std::string& name) override;
  void CloseMutex(MutexHandle mutex) override;

  // ---- for tests ----
  // Another process opens the mutex of that name, and later closes it again.
  void HoldElsewhere(const std::string& name) { ++open_[name]; }
  void ReleaseElsewhere(const std::string& name);
  // While set, CreateMutex fails (as when the name belongs to another kind of object).
  bool Failing = false;
  // The handles of that name open now, of every process.
  int OpenCount(const std::string& name) const;
  // The names CreateMutex was asked for, in order.
  const std::vector<std::string>& Requests() const { return requests_; }

 private:
  std::map<std::string, int> open_;
  std::map<MutexHandle, std::string> handles_;
  MutexHandle nextHandle_ = 0x200;
  std::vector<std::string> requests_;
};

}  // namespace kelpo
