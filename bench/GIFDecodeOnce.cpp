// gif_decode_once kelpo|giflib|stb FILE: decodes FILE once with one decoder, for
// instruction counts under callgrind (bench/callgrind.sh counts DecodeOnce only).

#include <cstdio>
#include <cstring>

#include "bench/GIFPeers.h"

extern "C" __attribute__((noinline)) std::size_t DecodeOnce(int decoder, const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  switch (decoder) {
    case 0:
      return kelpo::bench::DecodeWithKelpo(file);
    case 1:
      return kelpo::bench::DecodeWithGiflib(file);
    default:
      return kelpo::bench::DecodeWithStb(file);
  }
}

int main(int argc, char** argv) {
  const char* names[] = {"kelpo", "giflib", "stb"};
  int decoder = -1;
  for (int i = 0; argc == 3 && i < 3; ++i)
    if (std::strcmp(argv[1], names[i]) == 0) decoder = i;
  if (decoder < 0) {
    std::fprintf(stderr, "usage: gif_decode_once kelpo|giflib|stb FILE\n");
    return 2;
  }
  const std::vector<std::uint8_t> file = kelpo::bench::ReadWholeFile(argv[2]);
  if (file.empty()) {
    std::fprintf(stderr, "gif_decode_once: cannot read %s\n", argv[2]);
    return 2;
  }
  const std::size_t result = DecodeOnce(decoder, file.data(), file.size());
  std::printf("%s %s %zu\n", argv[1], argv[2], result);
  return result != 0 ? 0 : 1;
}
