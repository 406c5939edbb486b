#include "bench/GIFPeers.h"

#include <gif_lib.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_GIF
#include <stb/stb_image.h>

#include "gif/GIFDecoder.h"

namespace kelpo::bench {
namespace {

struct MemoryInput {
  std::span<const std::uint8_t> bytes;
  std::size_t position = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* destination, int count) {
  auto* in = static_cast<MemoryInput*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(count, in->bytes.size() - in->position);
  std::memcpy(destination, in->bytes.data() + in->position, n);
  in->position += n;
  return static_cast<int>(n);
}

}  // namespace

std::size_t DecodeWithKelpo(std::span<const std::uint8_t> file) {
  TGIFDecoder decoder;
  if (!decoder.LoadGIFStream(file)) return 0;
  std::size_t sum = 0;
  for (int i = 1; i <= decoder.FrameCount(); ++i) {
    const TGIFFrame& frame = decoder.Frame(i);
    sum += frame.Rows.Pixels.size() + frame.Rows.Mask.size() + frame.Rows.Pixels[0];
  }
  return sum;
}

std::size_t DecodeWithGiflib(std::span<const std::uint8_t> file) {
  MemoryInput input{file};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, ReadMemory, &error);
  if (!gif) return 0;
  std::size_t sum = 0;
  if (DGifSlurp(gif) == GIF_OK) {
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      const int w = image.ImageDesc.Width;
      const int h = image.ImageDesc.Height;
      const std::size_t stride = PixelStride(w);
      const std::size_t maskStride = MaskStride(w);
      std::vector<std::uint8_t> rows(stride * h);
      for (int y = 0; y < h; ++y) std::memcpy(&rows[(h - 1 - y) * stride], image.RasterBits + y * w, w);
      GraphicsControlBlock control;
      std::vector<std::uint8_t> mask;
      if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK && control.TransparentColor != NO_TRANSPARENT_COLOR) {
        mask.assign(maskStride * h, 0);
        for (int y = 0; y < h; ++y) {
          const GifByteType* src = image.RasterBits + y * w;
          std::uint8_t* dst = &mask[(h - 1 - y) * maskStride];
          for (int x = 0; x < w; ++x)
            if (src[x] == control.TransparentColor) dst[x / 8] |= 0x80 >> (x % 8);
        }
      }
      sum += rows.size() + mask.size() + rows[0];
    }
  }
  DGifCloseFile(gif, &error);
  return sum;
}

std::size_t DecodeWithStb(std::span<const std::uint8_t> file) {
  int* delays = nullptr;
  int x = 0, y = 0, frames = 0, components = 0;
  stbi_uc* pixels =
      stbi_load_gif_from_memory(file.data(), static_cast<int>(file.size()), &delays, &x, &y, &frames, &components, 4);
  if (!pixels) return 0;
  const std::size_t sum = static_cast<std::size_t>(x) * y * frames + pixels[0];
  stbi_image_free(pixels);
  std::free(delays);
  return sum;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace kelpo::bench
