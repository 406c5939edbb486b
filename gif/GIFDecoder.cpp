#include "gif/GIFDecoder.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>

#include "base/Exception.h"
#include "base/ScopeGuard.h"

namespace kelpo {
namespace {

constexpr const char* StreamReadError = "Stream read error";

// Drops the frame being read; caught by the block loop.
struct FrameRefused : std::exception {
  explicit FrameRefused(TGIFStatus why) : Why(why) {}
  const char* what() const noexcept override { return GIFStatusMessage(Why); }
  TGIFStatus Why;
};

int Word(const std::uint8_t* p) {
  return p[0] | (p[1] << 8);
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

const char* GIFStatusMessage(TGIFStatus status) {
  switch (status) {
    case TGIFStatus::gsOK:
      return "The picture was read to its end";
    case TGIFStatus::gsEmptyStream:
      return "The stream is empty";
    case TGIFStatus::gsNotGIF:
      return "The stream is not a GIF picture";
    case TGIFStatus::gsTruncatedHeader:
      return "The GIF header, logical screen or global colour table is cut short";
    case TGIFStatus::gsPictureTooLarge:
      return "The picture is larger than 8,388,608 pixels";
    case TGIFStatus::gsZeroSizeFrame:
      return "A frame has a width or height of 0";
    case TGIFStatus::gsTruncatedFrame:
      return "A frame's image descriptor is cut short";
    case TGIFStatus::gsFrameTooLarge:
      return "A frame is wider or higher than 16384 pixels";
    case TGIFStatus::gsPixelBudget:
      return "The frames need more than 64 MiB of rows";
    case TGIFStatus::gsBadCodeSize:
      return "A frame's minimum LZW code size is above 11";
    case TGIFStatus::gsTooManyFrames:
      return "The picture has more than 256 frames";
    case TGIFStatus::gsCancelled:
      return "Decoding was cancelled";
    case TGIFStatus::gsOutOfMemory:
      return "There is not enough memory for the picture";
    case TGIFStatus::gsNoFrames:
      return "The stream holds no frame";
  }
  return "Unknown GIF status";
}

std::vector<std::uint8_t> BuildFramePicture(int width, int height, int bitsPerPixel,
                                            std::span<const std::uint8_t> paletteRGB,
                                            std::span<const std::uint8_t> rows) {
  const std::uint32_t entries = static_cast<std::uint32_t>(paletteRGB.size() / 3);
  const std::uint32_t stride = bitsPerPixel == 1 ? static_cast<std::uint32_t>(MaskStride(width))
                                                 : static_cast<std::uint32_t>(PixelStride(width));
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height);
  const std::uint32_t dataOffset = 14 + 40 + 4 * entries;
  std::vector<std::uint8_t> out;
  out.reserve(dataOffset + rows.size());
  out.push_back('B');
  out.push_back('M');
  Put32(out, dataOffset + imageSize);
  Put32(out, 0);  // two reserved words
  Put32(out, dataOffset);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
  Put32(out, 0);  // no compression
  Put32(out, imageSize);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, entries);
  Put32(out, 0);
  for (std::uint32_t i = 0; i < entries; ++i) {
    out.push_back(paletteRGB[3 * i + 2]);
    out.push_back(paletteRGB[3 * i + 1]);
    out.push_back(paletteRGB[3 * i]);
    out.push_back(0);
  }
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

std::vector<std::uint8_t> FramePictureBmp(const TGIFFrame& frame) {
  const std::span<const std::uint8_t> palette(frame.ColorTable->data(), 3 * frame.PaletteEntries);
  return BuildFramePicture(frame.FrameWidth, frame.FrameHeight, 8, palette, frame.Rows.Pixels);
}

std::vector<std::uint8_t> FrameMaskBmp(const TGIFFrame& frame) {
  if (!frame.Transparent) return {};
  static constexpr std::uint8_t BlackWhite[6] = {0, 0, 0, 255, 255, 255};
  return BuildFramePicture(frame.FrameWidth, frame.FrameHeight, 1, BlackWhite, frame.Rows.Mask);
}

void ReadDataProperty(TByteStream& layout, std::vector<std::uint8_t>& dataStream) {
  std::uint8_t length[4];
  if (layout.Read(length, 4) != 4) throw Exception(StreamReadError);
  const std::int32_t n = static_cast<std::int32_t>(length[0] | length[1] << 8 | length[2] << 16 |
                                                   static_cast<std::uint32_t>(length[3]) << 24);
  if (n <= 0) return;
  if (layout.Left() < static_cast<std::size_t>(n)) {
    layout.SeekEnd();
    throw Exception(StreamReadError);
  }
  dataStream.assign(layout.Bytes.begin() + layout.Position, layout.Bytes.begin() + layout.Position + n);
  layout.Position += n;
}

void WriteDataProperty(std::vector<std::uint8_t>& layout, std::span<const std::uint8_t> dataStream) {
  Put32(layout, static_cast<std::uint32_t>(dataStream.size()));
  layout.insert(layout.end(), dataStream.begin(), dataStream.end());
}

TGIFDecoder::TGIFDecoder() = default;

bool TGIFDecoder::LoadGIFStream(std::span<const std::uint8_t> stream) {
  RefuseWhileDecoding();
  if (stream.data() == dataStream_.data() && stream.size() == dataStream_.size())
    return LoadGIFStream(std::move(dataStream_));  // the kept stream itself: taken over rather than copied
  return LoadGIFStream(std::vector<std::uint8_t>(stream.begin(), stream.end()));
}

bool TGIFDecoder::LoadGIFStream(std::vector<std::uint8_t>&& stream) {
  RefuseWhileDecoding();
  workBytes_ = std::move(stream);
  stream.clear();
  work_ = TByteStream{workBytes_, 0};
  bool loaded = false;
  try {
    loaded = DecodeStream();
  } catch (const std::bad_alloc&) {
    status_ = TGIFStatus::gsOutOfMemory;
  } catch (...) {
    loaded = false;  // the status names the cause
  }
  if (!loaded) ReleaseFrames();
  return loaded;
}

void TGIFDecoder::RefuseWhileDecoding() const {
  if (decoding_) throw std::logic_error("a GIF decoder cannot be loaded or released while it decodes");
}

void TGIFDecoder::ReleaseFrames() {
  RefuseWhileDecoding();
  empty_ = true;
  while (!frames_.empty()) frames_.pop_back();  // the last frame first
  rowBytes_ = 0;
  dataStream_.clear();
  work_.Position = 0;
  loopCount_ = 1;
  keepProcessing_ = true;
  maxColorBits_ = 0;
  anyTransparent_ = false;
}

void TGIFDecoder::ReportProgress() {
  if (!progressHook_) return;
  try {
    progressHook_(work_.Position, work_.Size());
  } catch (...) {
    status_ = TGIFStatus::gsCancelled;
    throw;
  }
}

void TGIFDecoder::ReadExact(std::uint8_t* destination, std::size_t count, TGIFStatus shortStatus) {
  if (work_.Read(destination, count) == count) return;
  status_ = shortStatus;
  throw Exception(StreamReadError);
}

bool TGIFDecoder::DecodeStream() {
  // However the decoding ends, the decoded bytes become the kept stream, the
  // work stream is emptied (moving the bytes saves a copy of the stream), and
  // the raster decoder's scratch is given back.
  ScopeGuard keepStream([this] {
    decoding_ = false;
    dataStream_ = std::move(workBytes_);
    workBytes_.clear();
    work_ = TByteStream{};
    lzw_.ReleaseScratch();
  });

  ReleaseFrames();
  decoding_ = true;
  status_ = TGIFStatus::gsOK;
  pendingControl_.fill(0);
  const bool decoded = Decode();
  if (!decoded && status_ == TGIFStatus::gsOK) status_ = TGIFStatus::gsNoFrames;
  return decoded;
}

bool TGIFDecoder::Decode() {
  if (workBytes_.empty()) {
    status_ = TGIFStatus::gsEmptyStream;
    return false;
  }
  work_.Position = 0;

  std::uint8_t header[6];
  ReadExact(header, 6, TGIFStatus::gsTruncatedHeader);
  if (std::memcmp(header, "GIF", 3) != 0) {
    status_ = TGIFStatus::gsNotGIF;
    return false;
  }
  version_ = header[4] == '9' ? TGIFVersion::gvGIF89a : TGIFVersion::gvGIF87a;

  std::uint8_t screen[7];
  ReadExact(screen, 7, TGIFStatus::gsTruncatedHeader);
  const int screenWidth = Word(screen);
  const int screenHeight = Word(screen + 2);
  // No composite could be made for it: refused before anything is allocated.
  if (static_cast<std::int64_t>(screenWidth) * screenHeight > MaxPicturePixels) {
    status_ = TGIFStatus::gsPictureTooLarge;
    return false;
  }
  imageWidth_ = screenWidth;
  imageHeight_ = screenHeight;
  const std::uint8_t packed = screen[4];
  if (packed & 0x80) {
    maxColorBits_ = (packed & 7) + 1;
    ReadExact(globalColors_.data(), 3u << maxColorBits_, TGIFStatus::gsTruncatedHeader);
  } else {
    globalColors_.fill(0);
  }

  while (!work_.AtEnd() && keepProcessing_) {
    ReportProgress();
    std::uint8_t block[2] = {0, 0};
    const std::size_t got = work_.Read(block, 2);
    if (block[0] == '!') {
      ReadExtension(block[1]);
    } else if (block[0] == ',') {
      work_.Position -= got;  // back onto the image separator
      if (FrameCount() == MaxFrames) {
        status_ = TGIFStatus::gsTooManyFrames;
        break;
      }
      frames_.push_back(std::make_unique<TGIFFrame>());
      bool read;
      try {
        read = ReadFrame(*frames_.back());
      } catch (const FrameRefused& refused) {
        status_ = refused.Why;
        frames_.pop_back();
        break;
      } catch (const std::bad_alloc&) {
        status_ = TGIFStatus::gsOutOfMemory;
        frames_.pop_back();
        break;
      } catch (...) {  // the progress hook cancelled; ReportProgress noted it
        frames_.pop_back();
        break;
      }
      if (!read) {
        status_ = TGIFStatus::gsZeroSizeFrame;
        work_.SeekEnd();
        ReportProgress();
        return false;
      }
      const TGIFFrame& frame = *frames_.back();
      rowBytes_ += static_cast<std::int64_t>(frame.Rows.Pixels.size() + frame.Rows.Mask.size());
      imageWidth_ = std::max(imageWidth_, frame.FrameLeft + frame.FrameWidth);
      imageHeight_ = std::max(imageHeight_, frame.FrameTop + frame.FrameHeight);
      maxColorBits_ = std::max(maxColorBits_, frame.ColorBits);
      anyTransparent_ = anyTransparent_ || frame.Transparent;
      if (firstImageOnly_) {
        work_.SeekEnd();
        break;
      }
      pendingControl_.fill(0);
    } else if (block[0] == ';') {
      break;
    }
  }
  ReportProgress();

  if (frames_.empty()) return false;
  empty_ = false;
  return true;
}

void TGIFDecoder::ReadExtension(std::uint8_t label) {
  switch (label) {
    case 0xF9:
      work_.Read(pendingControl_.data(), pendingControl_.size());  // a short read keeps the earlier bytes
      return;
    case 0xFF: {
      const std::uint8_t idSize = work_.ReadByte();
      if (idSize == 0) return;
      std::uint8_t id[255];
      const std::size_t idRead = work_.Read(id, idSize);
      std::uint8_t size = work_.ReadByte();
      if (idRead >= 11 && std::memcmp(id, "NETSCAPE2.0", 11) == 0 && size != 0) {
        std::uint8_t data[255];
        if (work_.Read(data, size) >= 3) loopCount_ = Word(data + 1);
        size = work_.ReadByte();
      }
      SkipSubBlocks(size);
      return;
    }
    default:  // plain text, comment and unknown labels
      SkipSubBlocks(work_.ReadByte());
      return;
  }
}

void TGIFDecoder::SkipSubBlocks(std::uint8_t size) {
  while (size != 0) {
    work_.Skip(size);
    size = work_.ReadByte();
  }
}

bool TGIFDecoder::ReadFrame(TGIFFrame& frame) {
  std::uint8_t d[10];
  if (work_.Read(d, 10) != 10) throw FrameRefused(TGIFStatus::gsTruncatedFrame);
  frame.FrameLeft = Word(d + 1);
  frame.FrameTop = Word(d + 3);
  frame.FrameWidth = Word(d + 5);
  frame.FrameHeight = Word(d + 7);
  const std::uint8_t packed = d[9];
  if (d[0] != ',' || frame.FrameWidth == 0 || frame.FrameHeight == 0) return false;
  if (frame.FrameWidth > MaxSide || frame.FrameHeight > MaxSide) throw FrameRefused(TGIFStatus::gsFrameTooLarge);
  // Frames that no picture could hold are refused before anything is allocated.
  const std::int64_t pictureWidth = std::max(imageWidth_, frame.FrameLeft + frame.FrameWidth);
  const std::int64_t pictureHeight = std::max(imageHeight_, frame.FrameTop + frame.FrameHeight);
  if (pictureWidth * pictureHeight > MaxPicturePixels) throw FrameRefused(TGIFStatus::gsPictureTooLarge);

  if (packed & 0x80) {
    frame.HasLocalColors = true;
    frame.ColorBits = (packed & 7) + 1;
    frame.LocalColors = std::make_unique<TGIFColorTable>();
    frame.LocalColors->fill(0);
    work_.Read(frame.LocalColors->data(), 3u << frame.ColorBits);
    frame.ColorTable = frame.LocalColors.get();
  } else {
    frame.ColorTable = &globalColors_;
  }
  frame.Interlaced = packed & 0x40;

  const std::uint8_t flags = pendingControl_[1];
  frame.Disposal = (flags >> 2) & 7;
  if (frame.Disposal > 3) frame.Disposal = 2;
  frame.DelayMs = Word(pendingControl_.data() + 2) * 10;
  frame.Transparent = flags & 1;
  frame.TransparentIndex = pendingControl_[4];

  const std::int64_t frameRowBytes = static_cast<std::int64_t>(
      (PixelStride(frame.FrameWidth) + (frame.Transparent ? MaskStride(frame.FrameWidth) : 0)) * frame.FrameHeight);
  if (rowBytes_ + frameRowBytes > maxRowBytes_) throw FrameRefused(TGIFStatus::gsPixelBudget);
  const TRasterFrame raster{frame.FrameWidth, frame.FrameHeight, frame.Interlaced, frame.Transparent,
                            frame.TransparentIndex};
  TLZWDecoder::TRowProgress rowProgress;
  if (progressHook_) rowProgress = [this] { ReportProgress(); };
  if (!lzw_.DecodeRaster(raster, work_, frame.Rows, rowProgress))
    throw FrameRefused(TGIFStatus::gsBadCodeSize);  // no rows: no picture

  frame.PaletteEntries = 1 << (frame.HasLocalColors ? frame.ColorBits : maxColorBits_);
  return true;
}

}  // namespace kelpo
