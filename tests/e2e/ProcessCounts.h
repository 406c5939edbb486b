#pragma once
// What another process holds: kernel handles, GDI and USER objects and memory,
// read from outside so that a long run can show that it gives back what it takes.
//
// Windows answers each count directly (GetProcessHandleCount, GetGuiResources,
// GetProcessMemoryInfo). Wine leaves some of these unimplemented (it answers 0),
// so each count falls back to the best outside measure and says which it used.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace kelpo::e2e {

struct ProcessCount {
  long long Value = -1;  // -1 when no way of counting worked
  std::string Source;    // how it was counted, for the report
};

struct ProcessCounts {
  // Kernel handles: GetProcessHandleCount, else the process's entry of
  // NtQuerySystemInformation(SystemProcessInformation).
  ProcessCount Handles;
  // GDI objects: GetGuiResources(GR_GDIOBJECTS); no outside fallback exists, a
  // leak then shows in Memory.
  ProcessCount Gdi;
  // USER objects: GetGuiResources(GR_USEROBJECTS), else the process's windows
  // (top-level ones with all their descendants).
  ProcessCount User;
  // Bytes of committed private memory (PagefileUsage of GetProcessMemoryInfo).
  ProcessCount Memory;
};

ProcessCounts CountProcess(HANDLE process);
// One line such as "handles 120 (GetProcessHandleCount), ...".
std::string CountsText(const ProcessCounts& counts);

}  // namespace kelpo::e2e
