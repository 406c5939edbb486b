#pragma once
// Named system mutexes: a lock that every process of the session can open by
// its name, which copies of one program use to find out whether another runs.

#include <cstdint>
#include <string>

namespace kelpo {

using MutexHandle = std::uintptr_t;  // 0 means "no mutex"

struct MutexOpening {
  MutexHandle Handle = 0;  // 0 when the system could not create or open it
  // The mutex existed already (ERROR_ALREADY_EXISTS): another holder has it open.
  bool AlreadyExisted = false;
};

class Mutexes {
 public:
  virtual ~Mutexes() = default;
  // Creates the mutex of that name, not owned by the caller, or opens it
  // when it exists (CreateMutexA). Names keep their letter case.
  virtual MutexOpening CreateMutex(const std::string& name) = 0;
  // Closes the handle (CloseHandle); the mutex ends with its last handle.
  virtual void CloseMutex(MutexHandle mutex) = 0;
};

}  // namespace kelpo
