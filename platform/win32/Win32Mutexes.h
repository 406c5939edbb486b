#pragma once
// Named kernel mutexes (CreateMutexA, GetLastError, CloseHandle).

#include "platform/Mutexes.h"

namespace kelpo {

class Win32Mutexes : public Mutexes {
 public:
  MutexOpening CreateMutex(const std::string& name) override;
  void CloseMutex(MutexHandle mutex) override;
};

}  // namespace kelpo
