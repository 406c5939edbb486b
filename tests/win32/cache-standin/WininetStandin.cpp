// A stand-in for WinINet's URL cache, for tests only (never shipped): a
// library named wininet.dll that answers the enumeration, deletion and group
// calls with the contract Microsoft documents, over the entries of a table
// file beside it (CacheTable.h), and logs every call it answers beside it.
//
// - Entries are enumerated container by container: the content container, then
//   "Cookie:" and "Visited:" URLs; a null pattern enumerates all of them, a
//   pattern selects the container whose prefix it equals ("" the content
//   container), any other pattern selects nothing.
// - An entry is selected when its type shares a bit with the filter. There are
//   no cache groups: a group other than 0 fails with ERROR_FILE_NOT_FOUND, and
//   the group functions find none.
// - A null or too small buffer fails with ERROR_INSUFFICIENT_BUFFER and puts the
//   size needed into the in-out size; the enumeration does not move on. The end
//   of the selection fails with ERROR_NO_MORE_ITEMS.
// - The buffer receives INTERNET_CACHE_ENTRY_INFOA followed by its texts.
// - A handle that is not open fails with ERROR_INVALID_HANDLE; deleting a URL
//   that is not there fails with ERROR_FILE_NOT_FOUND. Enumerations survive
//   deletions.
//
// The exports are named in wininet-standin.def (every function) and
// wininet-standin-incomplete.def (without SetUrlCacheGroupAttributeA, which
// the program's library probe asks for and does not import).

#include <windows.h>
// windows.h first
#include <wininet.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "tests/win32/cache-standin/CacheTable.h"

namespace {

using kelpo::standin::Call;
using kelpo::standin::CallKind;
using kelpo::standin::TableEntry;

constexpr const char* ContainerPrefixes[] = {"", "Cookie:", "Visited:"};
constexpr int ContainerCount = 3;

int ContainerOf(const std::string& url) {
  for (int c = ContainerCount - 1; c > 0; --c) {
    if (url.rfind(ContainerPrefixes[c], 0) == 0) return c;
  }
  return 0;
}

struct Entry {
  TableEntry Data;
  bool Deleted = false;
};

struct Enumeration {
  std::optional<std::string> Pattern;
  DWORD Filter = 0;
  std::size_t Next = 0;  // index of the first entry not yet fetched
  std::size_t End = 0;   // index after the last entry of the selected containers
};

Call Begin(CallKind kind) {
  Call call;
  call.Kind = kind;
  return call;
}

class Standin {
 public:
  void SetFolder(const std::string& folder) { folder_ = folder; }

  // Reads the table file (again) and starts an empty log; open enumerations are closed.
  bool Load() {
    loaded_ = true;
    entries_.clear();
    index_.clear();
    enumerations_.clear();
    kelpo::standin::Table table;
    if (!kelpo::standin::ReadTable(folder_ + kelpo::standin::TableFileName, table)) table = {};
    logging_ = table.Log;
    // Stable by container, so that each container keeps the table's order.
    for (int c = 0; c < ContainerCount; ++c) {
      containerBegin_[c] = entries_.size();
      for (TableEntry& entry : table.Entries) {
        if (ContainerOf(entry.SourceUrlName) != c) continue;
        index_[entry.SourceUrlName] = entries_.size();
        entries_.push_back(Entry{std::move(entry), false});
      }
    }
    containerBegin_[ContainerCount] = entries_.size();
    if (log_) std::fclose(log_);
    log_ = logging_ ? std::fopen((folder_ + kelpo::standin::LogFileName).c_str(), "wb") : nullptr;
    return true;
  }

  HANDLE FindFirst(LPCSTR pattern, DWORD filter, GROUPID group, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size) {
    EnsureLoaded();
    Call call = Begin(CallKind::FindFirst);
    if (pattern) call.Pattern = pattern;
    call.Filter = filter;
    call.Group = group;
    if (!size) return FailHandle(call, ERROR_INVALID_PARAMETER);
    if (buffer) call.Buffer = *size;
    if (group != 0) return FailHandle(call, ERROR_FILE_NOT_FOUND);
    Enumeration e;
    e.Pattern = call.Pattern;
    e.Filter = filter;
    const int first = FirstContainer(call.Pattern);
    if (first < 0) return FailHandle(call, ERROR_NO_MORE_ITEMS);
    e.Next = containerBegin_[first];
    e.End = call.Pattern ? containerBegin_[first + 1] : containerBegin_[ContainerCount];
    const DWORD error = Fetch(e, buffer, *size, call);
    if (error != 0) return FailHandle(call, error);
    const std::uintptr_t handle = nextHandle_++;
    enumerations_[handle] = e;
    call.Handle = handle;
    Log(call);
    SetLastError(ERROR_SUCCESS);
    return reinterpret_cast<HANDLE>(handle);
  }

  BOOL FindNext(HANDLE handle, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size) {
    EnsureLoaded();
    Call call = Begin(CallKind::FindNext);
    call.Handle = reinterpret_cast<std::uintptr_t>(handle);
    if (buffer && size) call.Buffer = *size;
    const auto e = enumerations_.find(call.Handle);
    if (e == enumerations_.end()) return Fail(call, ERROR_INVALID_HANDLE);
    if (!size) return Fail(call, ERROR_INVALID_PARAMETER);
    const DWORD error = Fetch(e->second, buffer, *size, call);
    if (error != 0) return Fail(call, error);
    Log(call);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }

  BOOL Close(HANDLE handle) {
    EnsureLoaded();
    Call call = Begin(CallKind::FindClose);
    call.Handle = reinterpret_cast<std::uintptr_t>(handle);
    if (enumerations_.erase(call.Handle) == 0) return Fail(call, ERROR_INVALID_HANDLE);
    Log(call);
    return TRUE;
  }

  BOOL Delete(LPCSTR url) {
    EnsureLoaded();
    Call call = Begin(CallKind::Delete);
    if (!url) return Fail(call, ERROR_INVALID_PARAMETER);
    call.Url = url;
    const auto place = index_.find(call.Url);
    if (place == index_.end()) return Fail(call, ERROR_FILE_NOT_FOUND);
    entries_[place->second].Deleted = true;
    index_.erase(place);
    Log(call);
    return TRUE;
  }

  // The group functions: there are no groups.
  HANDLE NoGroups(CallKind kind) {
    EnsureLoaded();
    Call call = Begin(kind);
    return FailHandle(call, ERROR_NO_MORE_ITEMS);
  }
  BOOL NoGroup(CallKind kind, DWORD error) {
    EnsureLoaded();
    Call call = Begin(kind);
    return Fail(call, error);
  }

 private:
  void EnsureLoaded() {
    if (!loaded_) Load();
  }

  static int FirstContainer(const std::optional<std::string>& pattern) {
    if (!pattern) return 0;
    for (int c = 0; c < ContainerCount; ++c) {
      if (*pattern == ContainerPrefixes[c]) return c;
    }
    return -1;
  }

  static DWORD SizeNeeded(const TableEntry& e) {
    return static_cast<DWORD>(sizeof(INTERNET_CACHE_ENTRY_INFOA) + e.SourceUrlName.size() + 1 + e.LocalFileName.size() +
                              1 + e.HeaderInfo.size() + e.FileExtension.size() + 1);
  }

  static FILETIME ToFileTime(std::uint64_t time) {
    return FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  }

  // The next selected entry into the buffer; 0 or the error code.
  DWORD Fetch(Enumeration& e, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD& size, Call& call) {
    std::size_t at = e.Next;
    while (at < e.End && (entries_[at].Deleted || (entries_[at].Data.CacheEntryType & e.Filter) == 0)) ++at;
    if (at == e.End) {
      e.Next = at;
      return ERROR_NO_MORE_ITEMS;
    }
    TableEntry& entry = entries_[at].Data;
    const DWORD needed = SizeNeeded(entry);
    const DWORD capacity = buffer ? size : 0;
    size = needed;
    call.Size = needed;
    if (capacity < needed) {
      if (entry.GrowAfterSizeQuery != 0) {
        entry.HeaderInfo.append(entry.GrowAfterSizeQuery, 'x');
        entry.GrowAfterSizeQuery = 0;
      }
      return ERROR_INSUFFICIENT_BUFFER;
    }
    Write(entry, buffer);
    call.Url = entry.SourceUrlName;
    e.Next = at + 1;
    return 0;
  }

  static void Write(const TableEntry& entry, INTERNET_CACHE_ENTRY_INFOA* info) {
    std::memset(info, 0, sizeof *info);
    char* text = reinterpret_cast<char*>(info + 1);
    const auto put = [&](const std::string& value, bool terminate) {
      char* start = text;
      std::memcpy(text, value.data(), value.size());
      text += value.size();
      if (terminate) *text++ = '\0';
      return start;
    };
    info->dwStructSize = sizeof *info;
    info->lpszSourceUrlName = put(entry.SourceUrlName, true);
    char* local = put(entry.LocalFileName, true);
    info->lpszLocalFileName = entry.LocalFileName.empty() ? nullptr : local;
    info->CacheEntryType = entry.CacheEntryType;
    info->dwUseCount = entry.UseCount;
    info->dwHitRate = entry.HitRate;
    info->dwSizeLow = static_cast<DWORD>(entry.Size);
    info->dwSizeHigh = static_cast<DWORD>(entry.Size >> 32);
    info->LastModifiedTime = ToFileTime(entry.LastModifiedTime);
    info->ExpireTime = ToFileTime(entry.ExpireTime);
    info->LastAccessTime = ToFileTime(entry.LastAccessTime);
    info->LastSyncTime = ToFileTime(entry.LastSyncTime);
    char* header = put(entry.HeaderInfo, false);
    info->lpHeaderInfo = entry.HeaderInfo.empty() ? nullptr : header;
    info->dwHeaderInfoSize = static_cast<DWORD>(entry.HeaderInfo.size());
    char* extension = put(entry.FileExtension, true);
    info->lpszFileExtension = entry.FileExtension.empty() ? nullptr : extension;
    info->dwExemptDelta = entry.ExemptDelta;
  }

  void Log(const Call& call) {
    if (!log_) return;
    const std::string line = kelpo::standin::FormatCall(call) + '\n';
    std::fwrite(line.data(), 1, line.size(), log_);
    // Flushed at once: the driver reads the log while the program runs.
    std::fflush(log_);
  }

  BOOL Fail(Call& call, DWORD error) {
    call.Error = error;
    Log(call);
    SetLastError(error);
    return FALSE;
  }
  HANDLE FailHandle(Call& call, DWORD error) {
    Fail(call, error);
    return nullptr;
  }

  std::string folder_;
  bool loaded_ = false;
  bool logging_ = true;
  std::FILE* log_ = nullptr;
  std::vector<Entry> entries_;
  std::array<std::size_t, ContainerCount + 1> containerBegin_{};
  std::unordered_map<std::string, std::size_t> index_;  // the entries not deleted, by URL
  std::unordered_map<std::uintptr_t, Enumeration> enumerations_;
  std::uintptr_t nextHandle_ = 0x5100;
};

Standin& TheStandin() {
  static Standin standin;
  return standin;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    std::string folder(path, length);
    folder.erase(folder.find_last_of("\\/") + 1);
    TheStandin().SetFolder(folder);
  }
  return TRUE;
}

HANDLE WINAPI StandinFindFirstUrlCacheEntryExA(LPCSTR pattern, DWORD, DWORD filter, GROUPID group,
                                               LPINTERNET_CACHE_ENTRY_INFOA buffer, LPDWORD size, LPVOID, LPDWORD,
                                               LPVOID) {
  return TheStandin().FindFirst(pattern, filter, group, buffer, size);
}

BOOL WINAPI StandinFindNextUrlCacheEntryExA(HANDLE handle, LPINTERNET_CACHE_ENTRY_INFOA buffer, LPDWORD size, LPVOID,
                                            LPDWORD, LPVOID) {
  return TheStandin().FindNext(handle, buffer, size);
}

BOOL WINAPI StandinFindCloseUrlCache(HANDLE handle) {
  return TheStandin().Close(handle);
}

BOOL WINAPI StandinDeleteUrlCacheEntryA(LPCSTR url) {
  return TheStandin().Delete(url);
}

HANDLE WINAPI StandinFindFirstUrlCacheGroup(DWORD, DWORD, LPVOID, DWORD, GROUPID*, LPVOID) {
  return TheStandin().NoGroups(CallKind::FindFirstGroup);
}

BOOL WINAPI StandinFindNextUrlCacheGroup(HANDLE, GROUPID*, LPVOID) {
  return TheStandin().NoGroup(CallKind::FindNextGroup, ERROR_INVALID_HANDLE);
}

BOOL WINAPI StandinGetUrlCacheGroupAttributeA(GROUPID, DWORD, DWORD, LPINTERNET_CACHE_GROUP_INFOA, LPDWORD, LPVOID) {
  return TheStandin().NoGroup(CallKind::GetGroup, ERROR_FILE_NOT_FOUND);
}

BOOL WINAPI StandinSetUrlCacheGroupAttributeA(GROUPID, DWORD, DWORD, LPINTERNET_CACHE_GROUP_INFOA, LPVOID) {
  return TheStandin().NoGroup(CallKind::SetGroup, ERROR_FILE_NOT_FOUND);
}

// Reads the table file again (tests that rewrite it in the same process).
BOOL WINAPI KelpoStandinReload() {
  return TheStandin().Load();
}

}  // extern "C"
