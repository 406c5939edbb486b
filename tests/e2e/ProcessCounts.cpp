#include "ProcessCounts.h"

// windows.h first (ProcessCounts.h)
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kelpo::e2e {
namespace {

ProcessCount HandleCount(HANDLE process) {
  DWORD count = 0;
  if (GetProcessHandleCount(process, &count) && count > 0) return {count, "GetProcessHandleCount"};

  // The system's process list: grow the buffer until the whole list fits.
  const DWORD pid = GetProcessId(process);
  std::vector<unsigned char> buffer(256 * 1024);
  NTSTATUS status = 0;
  for (int attempt = 0; attempt < 6; ++attempt) {
    ULONG needed = 0;
    status =
        NtQuerySystemInformation(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status != static_cast<NTSTATUS>(0xC0000004L)) break;  // STATUS_INFO_LENGTH_MISMATCH
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
  }
  if (status != 0) return {};
  for (std::size_t offset = 0;;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
    if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == pid)
      return {entry->HandleCount, "NtQuerySystemInformation(SystemProcessInformation)"};
    if (entry->NextEntryOffset == 0) return {};
    offset += entry->NextEntryOffset;
  }
}

struct WindowCensus {
  DWORD Pid = 0;
  long long Windows = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM census) {
  ++reinterpret_cast<WindowCensus*>(census)->Windows;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM param) {
  auto* census = reinterpret_cast<WindowCensus*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != census->Pid) return TRUE;
  ++census->Windows;
  // EnumChildWindows visits every descendant, not only the direct children.
  EnumChildWindows(hwnd, CountChild, param);
  return TRUE;
}

ProcessCount UserCount(HANDLE process) {
  if (const DWORD count = GetGuiResources(process, GR_USEROBJECTS); count > 0) return {count, "GetGuiResources"};
  WindowCensus census{GetProcessId(process), 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&census));
  return {census.Windows, "windows of the process (GetGuiResources answers 0)"};
}

// One entry of the GDI handle table that the process environment block points
// to (GdiSharedHandleTable): the object's address, its owner and its type, 0 for
// a free entry. Wine keeps the table with this layout in each process.
struct GdiHandleEntry {
  std::uint64_t Object;
  std::uint16_t OwnerProcessId;
  std::uint16_t OwnerCount;
  std::uint16_t Unique;
  std::uint8_t Type;
  std::uint8_t Flags;
  std::uint64_t UserPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr std::size_t kGdiHandleEntries = 0x10000;
// Offset of GdiSharedHandleTable in the 64-bit process environment block.
constexpr std::size_t kPebGdiHandleTable = 0xF8;

ProcessCount GdiCount(HANDLE process) {
  if (const DWORD count = GetGuiResources(process, GR_GDIOBJECTS); count > 0) return {count, "GetGuiResources"};
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  void* table = nullptr;
  SIZE_T read = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic), &length) != 0 ||
      !ReadProcessMemory(process,
                         static_cast<const char*>(static_cast<void*>(basic.PebBaseAddress)) + kPebGdiHandleTable,
                         &table, sizeof(table), &read) ||
      !table)
    return {-1, "not countable (GetGuiResources answers 0 and there is no handle table): see memory"};
  std::vector<GdiHandleEntry> entries(kGdiHandleEntries);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiHandleEntry), &read)) return {};
  long long used = 0;
  for (std::size_t i = 0; i < read / sizeof(GdiHandleEntry); ++i)
    if (entries[i].Type != 0) ++used;
  return {used, "used entries of the GDI handle table (GetGuiResources answers 0)"};
}

ProcessCount MemoryCount(HANDLE process) {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (!GetProcessMemoryInfo(process, &memory, sizeof(memory))) return {};
  return {static_cast<long long>(memory.PagefileUsage), "PagefileUsage"};
}

std::string CountText(const char* name, const ProcessCount& count) {
  return std::string(name) + " " + (count.Value < 0 ? std::string("-") : std::to_string(count.Value)) + " (" +
         (count.Source.empty() ? std::string("unavailable") : count.Source) + ")";
}

}  // namespace

ProcessCounts CountProcess(HANDLE process) {
  return {HandleCount(process), GdiCount(process), UserCount(process), MemoryCount(process)};
}

std::string CountsText(const ProcessCounts& counts) {
  return CountText("handles", counts.Handles) + ", " + CountText("GDI objects", counts.Gdi) + ", " +
         CountText("USER objects", counts.User) + ", " + CountText("memory bytes", counts.Memory);
}

}  // namespace kelpo::e2e
