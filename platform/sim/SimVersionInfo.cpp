#include "platform/sim/SimVersionInfo.h"

#include <algorithm>

namespace kelpo {

namespace {

// VS_VERSIONINFO: three 16-bit words (total length, value length, type), the
// key as UTF-16 up to its terminating zero, padding to a 32-bit boundary, then
// the value: for the root, the fixed part of 13 32-bit words.
constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kFixedBytes = 13 * 4;
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr char kRootKey[] = "VS_VERSION_INFO";

std::uint16_t Word(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t DoubleWord(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return Word(bytes, at) | (static_cast<std::uint32_t>(Word(bytes, at + 2)) << 16);
}

void PutWord(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutDoubleWord(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  PutWord(bytes, static_cast<std::uint16_t>(value & 0xFFFF));
  PutWord(bytes, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

std::uint32_t SimVersionInfo::InfoSize(const std::string& path) {
  const auto found = blocks_.find(path);
  return found == blocks_.end() ? 0 : static_cast<std::uint32_t>(found->second.size());
}

std::optional<std::vector<std::uint8_t>> SimVersionInfo::ReadInfo(const std::string& path, std::uint32_t size) {
  const auto found = blocks_.find(path);
  if (found == blocks_.end() || size == 0) return std::nullopt;
  // As much as the caller's buffer holds; a larger buffer ends in zeros.
  std::vector<std::uint8_t> block(size, 0);
  std::copy_n(found->second.begin(), std::min<std::size_t>(size, found->second.size()), block.begin());
  return block;
}

std::optional<FixedVersionInfo> SimVersionInfo::FixedInfo(const std::vector<std::uint8_t>& block) {
  if (block.size() < kHeaderBytes) return std::nullopt;
  const std::size_t length = std::min<std::size_t>(Word(block, 0), block.size());
  const std::size_t valueLength = Word(block, 2);
  std::size_t at = kHeaderBytes;
  while (at + 1 < length && Word(block, at) != 0) at += 2;
  if (at + 1 >= length) return std::nullopt;  // the key never ends
  const std::size_t value = (at + 2 + 3) & ~std::size_t{3};
  if (valueLength < kFixedBytes || value + kFixedBytes > length) return std::nullopt;
  if (DoubleWord(block, value) != kFixedSignature) return std::nullopt;
  return FixedVersionInfo{DoubleWord(block, value + 8), DoubleWord(block, value + 12), DoubleWord(block, value + 16),
                          DoubleWord(block, value + 20)};
}

std::vector<std::uint8_t> SimVersionInfo::Block(const FixedVersionInfo& version) {
  std::vector<std::uint8_t> block;
  PutWord(block, 0);  // the total length, set below
  PutWord(block, kFixedBytes);
  PutWord(block, 0);  // binary data
  for (const char* c = kRootKey; *c; ++c) PutWord(block, static_cast<std::uint16_t>(*c));
  PutWord(block, 0);
  while (block.size() % 4) block.push_back(0);
  const std::uint32_t fixed[13] = {kFixedSignature,
                                   0x00010000,  // structure version 1.0
                                   version.FileVersionMS,
                                   version.FileVersionLS,
                                   version.ProductVersionMS,
                                   version.ProductVersionLS,
                                   0x3F,        // flags mask
                                   0,           // flags
                                   0x00040004,  // VOS_NT_WINDOWS32
                                   1,           // VFT_APP
                                   0,
                                   0,
                                   0};
  for (std::uint32_t word : fixed) PutDoubleWord(block, word);
  block[0] = static_cast<std::uint8_t>(block.size() & 0xFF);
  block[1] = static_cast<std::uint8_t>(block.size() >> 8);
  return block;
}

}  // namespace kelpo
