#include "framework/RasterOps.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kelpo {
namespace {

// The source pixel under the centre of destination pixel i of n, for a source of m.
int SourceIndex(int i, int n, int m) {
  return static_cast<int>((2 * static_cast<std::int64_t>(i) + 1) * m / (2 * static_cast<std::int64_t>(n)));
}

using TPalette = std::array<std::uint32_t, 256>;

TPalette PaletteOf(const TRasterSource& source) {
  TPalette palette{};  // indices past the palette read as black
  const int entries = std::clamp(source.PaletteEntries, 0, 256);
  for (int i = 0; i < entries; ++i) {
    const std::uint8_t* rgb = source.PaletteRGB + 3 * i;
    palette[i] = static_cast<std::uint32_t>(rgb[0]) << 16 | rgb[1] << 8 | rgb[2];
  }
  return palette;
}

std::uint32_t ReadColor32(const std::uint8_t* row, int x) {
  std::uint32_t pixel;
  std::memcpy(&pixel, row + 4 * static_cast<std::size_t>(x), 4);
  return pixel & RasterWhite;
}

bool ReadBit(const std::uint8_t* row, int x) {
  return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

// Calls `visit(read)` with a reader of the source's pixels as colours.
template <class Visit>
void WithColorReader(const TRasterSource& source, Visit visit) {
  switch (source.Format) {
    case TRasterSource::TFormat::Color32:
      visit([](const std::uint8_t* row, int x) { return ReadColor32(row, x); });
      break;
    case TRasterSource::TFormat::Indexed8: {
      const TPalette palette = PaletteOf(source);
      visit([&palette](const std::uint8_t* row, int x) { return palette[row[x]]; });
      break;
    }
    case TRasterSource::TFormat::Mono1:
      visit([](const std::uint8_t* row, int x) { return ReadBit(row, x) ? RasterWhite : RasterBlack; });
      break;
  }
}

// The destination rectangle in target coordinates and its visible part.
struct TPlacement {
  Rect Dest;
  Rect Area;
};

// Source columns of the visible destination columns.
std::vector<int> Columns(const TPlacement& p, int sourceWidth) {
  std::vector<int> columns(p.Area.Width);
  for (int i = 0; i < p.Area.Width; ++i)
    columns[i] = SourceIndex(p.Area.Left + i - p.Dest.Left, p.Dest.Width, sourceWidth);
  return columns;
}

template <class Combine, class Read>
void ColorRows(const TRasterTarget& target, const TPlacement& p, const TRasterSource& source, Combine combine,
               Read read) {
  const bool sameWidth = p.Dest.Width == source.Width;
  const std::vector<int> columns = sameWidth ? std::vector<int>() : Columns(p, source.Width);
  const int firstColumn = p.Area.Left - p.Dest.Left;
  for (int y = p.Area.Top; y < p.Area.Bottom(); ++y) {
    const std::uint8_t* row = source.Row(SourceIndex(y - p.Dest.Top, p.Dest.Height, source.Height));
    std::uint32_t* d = target.Pixels + static_cast<std::size_t>(y) * target.Width + p.Area.Left;
    if (sameWidth) {
      for (int i = 0; i < p.Area.Width; ++i) d[i] = combine(d[i], read(row, firstColumn + i));
    } else {
      for (int i = 0; i < p.Area.Width; ++i) d[i] = combine(d[i], read(row, columns[i]));
    }
  }
}

template <class Visit>
void WithCombine(TRasterOp op, Visit visit) {
  switch (op) {
    case TRasterOp::SrcCopy:
      visit([](auto, auto s) { return s; });
      break;
    case TRasterOp::SrcAnd:
      visit([](auto d, auto s) { return d & s; });
      break;
    case TRasterOp::SrcInvert:
      visit([](auto d, auto s) { return d ^ s; });
      break;
    case TRasterOp::PatCopy:
    case TRasterOp::Blackness:
    case TRasterOp::Whiteness:
      break;  // no source involved: PatBlt
  }
}

std::uint32_t FillOf(TRasterOp op, std::uint32_t brush) {
  switch (op) {
    case TRasterOp::Blackness:
      return RasterBlack;
    case TRasterOp::Whiteness:
      return RasterWhite;
    default:
      return brush & RasterWhite;
  }
}

bool IsPatternOp(TRasterOp op) {
  return op == TRasterOp::PatCopy || op == TRasterOp::Blackness || op == TRasterOp::Whiteness;
}

}  // namespace

TColorBitmap::TColorBitmap(int width, int height, std::uint32_t fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

TMonoBitmap::TMonoBitmap(int width, int height, bool white)
    : width_(width),
      height_(height),
      stride_((static_cast<std::size_t>(width) + 31) / 32 * 4),
      bits_(stride_ * height, white ? 0xFF : 0x00) {}

TRasterSource TRasterSource::Of(const TColorBitmap& bitmap) {
  TRasterSource source;
  source.Format = TFormat::Color32;
  source.Width = bitmap.Width();
  source.Height = bitmap.Height();
  source.Bits = reinterpret_cast<const std::uint8_t*>(bitmap.Pixels());
  source.Stride = static_cast<std::size_t>(bitmap.Width()) * 4;
  return source;
}

TRasterSource TRasterSource::Of(const TMonoBitmap& bitmap) {
  TRasterSource source;
  source.Format = TFormat::Mono1;
  source.Width = bitmap.Width();
  source.Height = bitmap.Height();
  source.Bits = bitmap.Row(0);
  source.Stride = bitmap.Stride();
  return source;
}

TRasterTarget TRasterTarget::Of(TColorBitmap& bitmap) {
  return TRasterTarget{bitmap.Pixels(), bitmap.Width(), bitmap.Height(), Point{0, 0},
                       Rect{0, 0, bitmap.Width(), bitmap.Height()}};
}

TRasterTarget TRasterTarget::Of(TCanvas& canvas) {
  Surface& surface = canvas.Target();
  return TRasterTarget{surface.Pixels(), surface.Width(), surface.Height(), canvas.Origin(), canvas.ClipRect()};
}

Rect IntersectRect(const Rect& a, const Rect& b) {
  const int left = std::max(a.Left, b.Left), top = std::max(a.Top, b.Top);
  const int right = std::min(a.Right(), b.Right()), bottom = std::min(a.Bottom(), b.Bottom());
  if (right <= left || bottom <= top) return Rect{left, top, 0, 0};
  return Rect{left, top, right - left, bottom - top};
}

void StretchBlt(const TRasterTarget& target, const Rect& r, const TRasterSource& source, TRasterOp op) {
  if (IsEmptyRect(r) || source.Width <= 0 || source.Height <= 0 || IsPatternOp(op)) return;
  TPlacement p;
  p.Dest = Rect{r.Left + target.Origin.X, r.Top + target.Origin.Y, r.Width, r.Height};
  p.Area = IntersectRect(IntersectRect(p.Dest, target.Clip), Rect{0, 0, target.Width, target.Height});
  if (IsEmptyRect(p.Area)) return;
  WithCombine(op, [&](auto combine) {
    WithColorReader(source, [&](auto read) { ColorRows(target, p, source, combine, read); });
  });
}

void StretchBlt(TMonoBitmap& target, const Rect& r, const TRasterSource& source, TRasterOp op) {
  if (IsEmptyRect(r) || source.Width <= 0 || source.Height <= 0 || IsPatternOp(op)) return;
  TPlacement p;
  p.Dest = r;
  p.Area = IntersectRect(r, Rect{0, 0, target.Width(), target.Height()});
  if (IsEmptyRect(p.Area)) return;
  const std::vector<int> columns = Columns(p, source.Width);
  WithCombine(op, [&](auto combine) {
    WithColorReader(source, [&](auto read) {
      for (int y = p.Area.Top; y < p.Area.Bottom(); ++y) {
        const std::uint8_t* row = source.Row(SourceIndex(y - p.Dest.Top, p.Dest.Height, source.Height));
        std::uint8_t* d = target.Row(y);
        for (int i = 0; i < p.Area.Width; ++i) {
          const int x = p.Area.Left + i;
          const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
          const bool dst = d[x >> 3] & mask;
          const bool src = read(row, columns[i]) == RasterWhite;
          if (combine(dst, src))
            d[x >> 3] |= mask;
          else
            d[x >> 3] &= static_cast<std::uint8_t>(~mask);
        }
      }
    });
  });
}

void PatBlt(const TRasterTarget& target, const Rect& r, TRasterOp op, std::uint32_t brush) {
  if (!IsPatternOp(op)) return;
  const Rect dest{r.Left + target.Origin.X, r.Top + target.Origin.Y, r.Width, r.Height};
  const Rect area = IntersectRect(IntersectRect(dest, target.Clip), Rect{0, 0, target.Width, target.Height});
  if (IsEmptyRect(area)) return;
  const std::uint32_t fill = FillOf(op, brush);
  for (int y = area.Top; y < area.Bottom(); ++y)
    std::fill_n(target.Pixels + static_cast<std::size_t>(y) * target.Width + area.Left, area.Width, fill);
}

void PatBlt(TMonoBitmap& target, const Rect& r, TRasterOp op, std::uint32_t brush) {
  if (!IsPatternOp(op)) return;
  const Rect area = IntersectRect(r, Rect{0, 0, target.Width(), target.Height()});
  if (IsEmptyRect(area)) return;
  const bool white = FillOf(op, brush) == RasterWhite;
  for (int y = area.Top; y < area.Bottom(); ++y) {
    std::uint8_t* d = target.Row(y);
    for (int x = area.Left; x < area.Right(); ++x) {
      const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
      if (white)
        d[x >> 3] |= mask;
      else
        d[x >> 3] &= static_cast<std::uint8_t>(~mask);
    }
  }
}

}  // namespace kelpo
