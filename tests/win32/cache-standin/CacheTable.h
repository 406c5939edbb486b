#pragma once
// The files through which tests talk to the stand-in cache library
// (wininet.dll of tests/win32/cache-standin): the table of entries a test
// writes beside the library before the program under test loads it, and the
// log of every call the library answered. Both are text, one record a line,
// fields separated by tabs; tabs, line breaks, NULs and backslashes inside a
// field are escaped (\t \n \r \0 \\).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelpo::standin {

// The names of the two files, in the library's folder.
inline constexpr const char* TableFileName = "wininet-standin.txt";
inline constexpr const char* LogFileName = "wininet-standin.log";

struct TableEntry {
  std::string SourceUrlName;
  std::string LocalFileName;  // empty: the entry has no local file
  std::string HeaderInfo;     // may hold NULs
  std::string FileExtension;
  std::uint32_t CacheEntryType = 0;
  std::uint32_t UseCount = 0;
  std::uint32_t HitRate = 0;
  std::uint64_t Size = 0;  // reported as its low and high 32 bits
  std::uint64_t LastModifiedTime = 0;
  std::uint64_t ExpireTime = 0;
  std::uint64_t LastAccessTime = 0;
  std::uint64_t LastSyncTime = 0;
  std::uint32_t ExemptDelta = 0;
  // The first size query that reports this entry's size makes its header grow
  // by this many bytes right after it, as if the cache had changed meanwhile.
  std::uint32_t GrowAfterSizeQuery = 0;
  bool operator==(const TableEntry&) const = default;
};

struct Table {
  // False: the library keeps no log (for benchmarks of many calls).
  bool Log = true;
  // In the order they are added; the library enumerates the content
  // container first, then "Cookie:", then "Visited:" entries.
  std::vector<TableEntry> Entries;
  bool operator==(const Table&) const = default;
};

bool WriteTable(const std::string& path, const Table& table);
// False when the file is missing or malformed.
bool ReadTable(const std::string& path, Table& table);

enum class CallKind { FindFirst, FindNext, FindClose, Delete, FindFirstGroup, FindNextGroup, GetGroup, SetGroup };

// One answered call. Fields that a kind does not have stay at their defaults.
struct Call {
  CallKind Kind = CallKind::FindFirst;
  std::uint32_t Error = 0;              // 0: the call succeeded
  std::uint64_t Handle = 0;             // FindFirst: returned; FindNext, FindClose: given
  std::optional<std::string> Pattern;   // FindFirst
  std::uint32_t Filter = 0;             // FindFirst
  std::int64_t Group = 0;               // FindFirst
  std::optional<std::uint32_t> Buffer;  // FindFirst, FindNext: the size of the buffer given, none for a null one
  std::uint32_t Size = 0;               // FindFirst, FindNext: the size reported back
  std::string Url;                      // Delete: given; FindFirst, FindNext: the entry fetched
};

std::string FormatCall(const Call& call);  // one line, without its line break
bool ParseCall(const std::string& line, Call& call);
// Every call of the log; false when the file cannot be read or a line is malformed.
bool ReadLog(const std::string& path, std::vector<Call>& calls);

}  // namespace kelpo::standin
