// Feeds random text to the layout reader and reads what parses into a form of
// the program's components on the simulated platform: a layout builds or fails
// with the program's own error, never otherwise (see tests/framework/LayoutFuzzChecks.h).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/framework/LayoutFuzzChecks.h"

namespace {

kelpo::test::LayoutFuzzHarness& Harness() {
  static kelpo::test::LayoutFuzzHarness harness;
  return harness;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const auto fault = Harness().ProgramLayoutFault()) {
    std::fprintf(stderr, "layout_fuzz: %s\n", fault->c_str());
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto fault = Harness().Fault(std::string(reinterpret_cast<const char*>(data), size))) {
    std::fprintf(stderr, "layout_fuzz: %s\n", fault->c_str());
    std::abort();
  }
  return 0;
}
