#pragma once
// The stand-in cache library as the Win32 tests use it: they run beside it
// (tests/win32/cache-standin), so the wininet.dll this process has loaded is
// the stand-in, and they rewrite its table and read its log in place.

#include <string>
#include <vector>

#include "platform/InternetCache.h"
#include "tests/win32/cache-standin/CacheTable.h"

namespace kelpo {

// The stand-in's table entry of a cache record.
standin::TableEntry StandinEntry(const CacheEntryRecord& record, std::uint32_t growth = 0);

// Makes the loaded stand-in hold `table`, with an empty log. Throws when the
// wininet.dll of this process is not the stand-in.
void PlantInStandin(const standin::Table& table);

// The calls the stand-in has answered since the table was planted.
std::vector<standin::Call> StandinCalls();

}  // namespace kelpo
