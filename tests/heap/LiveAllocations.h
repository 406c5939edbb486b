#pragma once
// The global operator new and delete of the heap tests' program, replaced by
// ones that count the blocks alive (LiveAllocations.cpp, linked into that
// program alone).

namespace kelpo::test {

// Blocks allocated with operator new and not yet deleted.
long LiveAllocations();

}  // namespace kelpo::test
