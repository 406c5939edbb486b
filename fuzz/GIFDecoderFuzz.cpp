// Feeds random GIF streams to the stream decoder and checks what a load leaves
// (see GIFDecodingFault in tests/gif/FuzzChecks.h).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/gif/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const char* fault = kelpo::test::GIFDecodingFault({data, size})) {
    std::fprintf(stderr, "gif_decoder_fuzz: %s\n", fault);
    std::abort();
  }
  return 0;
}
