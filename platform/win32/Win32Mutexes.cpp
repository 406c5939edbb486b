#include "platform/win32/Win32Mutexes.h"

#include "platform/win32/Win32Api.h"

namespace kelpo {

MutexOpening Win32Mutexes::CreateMutex(const std::string& name) {
  HANDLE handle = CreateMutexA(nullptr, FALSE, name.c_str());
  // Read at once: the next system call may change it.
  const DWORD error = GetLastError();
  if (!handle) return MutexOpening{};
  return MutexOpening{reinterpret_cast<MutexHandle>(handle), error == ERROR_ALREADY_EXISTS};
}

void Win32Mutexes::CloseMutex(MutexHandle mutex) {
  if (mutex) CloseHandle(reinterpret_cast<HANDLE>(mutex));
}

}  // namespace kelpo
