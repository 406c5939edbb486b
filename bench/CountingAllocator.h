#pragma once
// The global operator new of a benchmark program, replaced by one that counts
// its calls (CountingAllocator.cpp, linked into the program).

namespace kelpo {

long AllocationCount();

}  // namespace kelpo
