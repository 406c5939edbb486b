#include "tests/win32/StandinCache.h"

#include <stdexcept>

#include "platform/win32/Win32Api.h"

namespace kelpo {
namespace {

// The folder of the loaded wininet.dll, ending with a separator, after making
// sure that it is the stand-in.
std::string StandinFolder() {
  HMODULE library = GetModuleHandleA("wininet.dll");
  if (!library || !GetProcAddress(library, "KelpoStandinReload"))
    throw std::runtime_error("wininet.dll is not the stand-in: run the tests beside it (build-win/cache-standin)");
  char path[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(library, path, MAX_PATH);
  std::string folder(path, length);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder;
}

}  // namespace

standin::TableEntry StandinEntry(const CacheEntryRecord& record, std::uint32_t growth) {
  standin::TableEntry entry;
  entry.SourceUrlName = record.SourceUrlName;
  entry.LocalFileName = record.LocalFileName;
  entry.HeaderInfo = record.HeaderInfo;
  entry.FileExtension = record.FileExtension;
  entry.CacheEntryType = record.CacheEntryType;
  entry.UseCount = record.UseCount;
  entry.HitRate = record.HitRate;
  entry.Size = (static_cast<std::uint64_t>(record.SizeHigh) << 32) | record.SizeLow;
  entry.LastModifiedTime = record.LastModifiedTime;
  entry.ExpireTime = record.ExpireTime;
  entry.LastAccessTime = record.LastAccessTime;
  entry.LastSyncTime = record.LastSyncTime;
  entry.ExemptDelta = record.ExemptDelta;
  entry.GrowAfterSizeQuery = growth;
  return entry;
}

void PlantInStandin(const standin::Table& table) {
  const std::string folder = StandinFolder();
  if (!standin::WriteTable(folder + standin::TableFileName, table))
    throw std::runtime_error("cannot write the stand-in's table in " + folder);
  using Reload = BOOL(WINAPI*)();
  const auto reload = reinterpret_cast<Reload>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("wininet.dll"), "KelpoStandinReload")));
  reload();
}

std::vector<standin::Call> StandinCalls() {
  std::vector<standin::Call> calls;
  if (!standin::ReadLog(StandinFolder() + standin::LogFileName, calls)) calls.clear();
  return calls;
}

}  // namespace kelpo
