#pragma once
// Plain types shared by the portable core and the platform backends. Window
// handles are opaque integers and message numbers carry their Windows values,
// so the core never needs a Windows header.

#include <cstdint>
#include <string>

namespace kelpo {

using WindowHandle = std::uintptr_t;  // 0 means "no window"

// Colours as Windows stores them: 0x00BBGGRR.
using Color = std::uint32_t;
constexpr Color Rgb(unsigned r, unsigned g, unsigned b) {
  return r | (g << 8) | (b << 16);
}

struct Point {
  int X = 0;
  int Y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int Width = 0;
  int Height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool operator==(const Rect&) const = default;
  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool Contains(Point p) const { return p.X >= Left && p.X < Right() && p.Y >= Top && p.Y < Bottom(); }
};

// A window message as the window procedure sees it.
struct Message {
  std::uint32_t Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};

// Message numbers (Windows values).
constexpr std::uint32_t wmNull = 0x0000;
constexpr std::uint32_t wmDestroy = 0x0002;
constexpr std::uint32_t wmSize = 0x0005;
constexpr std::uint32_t wmActivate = 0x0006;
constexpr std::uint32_t waInactive = 0;
constexpr std::uint32_t waActive = 1;
constexpr std::uint32_t waClickActive = 2;
constexpr std::uint32_t wmClose = 0x0010;
constexpr std::uint32_t wmQueryEndSession = 0x0011;
constexpr std::uint32_t wmQuit = 0x0012;
constexpr std::uint32_t wmEndSession = 0x0016;
constexpr std::uint32_t wmShowWindow = 0x0018;
constexpr std::uint32_t wmWinIniChange = 0x001A;
constexpr std::uint32_t wmSetCursor = 0x0020;
constexpr std::uint32_t wmUserChanged = 0x0054;
constexpr std::uint32_t wmWindowPosChanged = 0x0047;
constexpr std::uint32_t wmContextMenu = 0x007B;
constexpr std::uint32_t wmNcDestroy = 0x0082;
constexpr std::uint32_t wmNcHitTest = 0x0084;
constexpr std::uint32_t wmTimer = 0x0113;
constexpr std::uint32_t wmMouseMove = 0x0200;
constexpr std::uint32_t wmLButtonDown = 0x0201;
constexpr std::uint32_t wmLButtonUp = 0x0202;
constexpr std::uint32_t wmLButtonDblClk = 0x0203;
constexpr std::uint32_t wmRButtonDown = 0x0204;
constexpr std::uint32_t wmRButtonUp = 0x0205;
constexpr std::uint32_t wmMButtonDown = 0x0207;
constexpr std::uint32_t wmMButtonUp = 0x0208;
constexpr std::uint32_t wmUser = 0x0400;
constexpr std::uint32_t wmApp = 0x8000;

// wmSize: the window got its size back from minimised, or was minimised (the first parameter).
constexpr std::uintptr_t sizeRestored = 0;
constexpr std::uintptr_t sizeMinimized = 1;

// Hit-test answers.
constexpr std::intptr_t htNowhere = 0;
constexpr std::intptr_t htClient = 1;
constexpr std::intptr_t htCaption = 2;

// Mouse messages carry client coordinates in LParam (low word x, high word y, signed).
inline Point PointFromLParam(std::intptr_t lParam) {
  return Point{static_cast<std::int16_t>(lParam & 0xFFFF), static_cast<std::int16_t>((lParam >> 16) & 0xFFFF)};
}
inline std::intptr_t LParamFromPoint(Point p) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(p.Y)) << 16) |
                                    static_cast<std::uint16_t>(p.X));
}

// Date-time value: days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

}  // namespace kelpo
