#include "platform/win32/Win32Clock.h"

#include "platform/win32/Win32Api.h"

namespace kelpo {

LocalTime Win32Clock::Now() {
  SYSTEMTIME time;
  GetLocalTime(&time);
  return LocalTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

std::uint64_t Win32Clock::TickCount() {
  return GetTickCount64();
}

}  // namespace kelpo
