// Feeds random raster data to the fast LZW decoder and to the plain reference
// decoder, and requires the same rows, masks, consumed bytes and progress
// reports (see LZWEquivalenceFault in tests/gif/FuzzChecks.h for the input's form).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/gif/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const char* fault = kelpo::test::LZWEquivalenceFault({data, size})) {
    std::fprintf(stderr, "lzw_equivalence_fuzz: %s\n", fault);
    std::abort();
  }
  return 0;
}
