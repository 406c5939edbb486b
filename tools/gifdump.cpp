// gifdump FILE: decodes a GIF file as the banner control does and prints the
// picture and each frame in one line, with CRC-32 checksums of the colour
// indices and of the transparency mask, top row first:
//
//   image width=W height=H frames=N loop=L version=87a|89a transparent=0|1
//   frame I rect=LEFT,TOP,WIDTH,HEIGHT interlace=0|1 disposal=D delay=MS transparent=IDX|- colors=C crc=X mask=X|-
//
// Exit status 0 when the picture loaded, 1 when it failed ("image failed"), 2 for
// usage or I/O errors.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "framework/Application.h"
#include "gif/GIFImage.h"
#include "platform/sim/SimPlatform.h"

namespace {

// CRC-32 with the zlib polynomial.
class Crc32 {
 public:
  void Add(std::uint8_t byte) { crc_ = Table()[(crc_ ^ byte) & 0xFF] ^ (crc_ >> 8); }
  void Add(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) Add(bytes[i]);
  }
  std::uint32_t Value() const { return ~crc_; }

 private:
  static const std::uint32_t* Table() {
    static const std::vector<std::uint32_t> table = [] {
      std::vector<std::uint32_t> t(256);
      for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
      }
      return t;
    }();
    return table.data();
  }
  std::uint32_t crc_ = 0xFFFFFFFFu;
};

void PrintFrame(int number, const kelpo::TGIFFrame& f) {
  const std::size_t w = f.FrameWidth;
  const std::size_t h = f.FrameHeight;
  const std::size_t stride = kelpo::PixelStride(f.FrameWidth);
  const std::size_t maskStride = kelpo::MaskStride(f.FrameWidth);
  Crc32 pixels;
  Crc32 mask;
  for (std::size_t y = 0; y < h; ++y) {
    const std::size_t row = h - 1 - y;  // rows are stored bottom-up
    pixels.Add(f.Rows.Pixels.data() + row * stride, w);
    if (!f.Transparent) continue;
    const std::uint8_t* bits = f.Rows.Mask.data() + row * maskStride;
    for (std::size_t x = 0; x < w; ++x) mask.Add((bits[x / 8] >> (7 - x % 8)) & 1);
  }
  std::printf("frame %d rect=%d,%d,%d,%d interlace=%d disposal=%d delay=%d transparent=", number, f.FrameLeft,
              f.FrameTop, f.FrameWidth, f.FrameHeight, f.Interlaced ? 1 : 0, f.Disposal, f.DelayMs);
  if (f.Transparent) {
    std::printf("%d", f.TransparentIndex);
  } else {
    std::printf("-");
  }
  std::printf(" colors=%d crc=%08x mask=", f.PaletteEntries, pixels.Value());
  if (f.Transparent) {
    std::printf("%08x\n", mask.Value());
  } else {
    std::printf("-\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gifdump FILE\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "gifdump: cannot open %s\n", argv[1]);
    return 2;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    std::fprintf(stderr, "gifdump: cannot read %s\n", argv[1]);
    return 2;
  }

  // The control on the simulated platform, loaded as a layout's Data would load it.
  kelpo::SimPlatform sim;
  kelpo::TApplication application(sim.Services());
  kelpo::TComponent owner(application);
  kelpo::TGIFImage image(&owner);
  if (!image.LoadGIFStream(bytes)) {
    std::printf("image failed\n");
    return 1;
  }
  std::printf("image width=%d height=%d frames=%d loop=%d version=%s transparent=%d\n", image.ImageWidth(),
              image.ImageHeight(), image.FrameCount(), image.LoopCount(),
              image.Version() == kelpo::TGIFVersion::gvGIF89a ? "89a" : "87a", image.AnyTransparent() ? 1 : 0);
  for (int i = 1; i <= image.FrameCount(); ++i) PrintFrame(i, image.Frame(i));
  return 0;
}
