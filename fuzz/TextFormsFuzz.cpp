// Feeds random texts and values to the text forms of the settings file under
// the regional sets, with the round trips as the oracle (see TextFormFault in
// tests/settings/FuzzChecks.h for the input's form).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/settings/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto fault = kelpo::test::TextFormFault({data, size})) {
    std::fprintf(stderr, "text_forms_fuzz: %s\n", fault->c_str());
    std::abort();
  }
  return 0;
}
