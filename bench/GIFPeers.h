#pragma once
// Whole-file GIF decoding by Kelpo's decoder and by two peers, for benchmarks.
// Each answers a number derived from the output so that no work is optimised away.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelpo::bench {

// Kelpo's decoder: every frame to bottom-up index rows and mask rows.
std::size_t DecodeWithKelpo(std::span<const std::uint8_t> file);
// giflib's DGifSlurp, then each frame converted to Kelpo's output: bottom-up
// index rows of 4-byte stride and, for a transparent frame, 1-bit mask rows.
std::size_t DecodeWithGiflib(std::span<const std::uint8_t> file);
// stb_image: every frame composed to RGBA.
std::size_t DecodeWithStb(std::span<const std::uint8_t> file);

std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

}  // namespace kelpo::bench
