#include "platform/win32/Win32Graphics.h"

#include <algorithm>
#include <string>

#include "base/Exception.h"

namespace kelpo {

Win32Surface::Win32Surface(int width, int height, std::shared_ptr<Win32FontCache> fonts)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), fonts_(std::move(fonts)) {
  dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) throw Exception("Cannot create a device context");
  if (width_ > 0 && height_ > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) {
      DeleteDC(dc_);
      throw Exception("Cannot create a bitmap of " + std::to_string(width_) + " x " + std::to_string(height_) +
                      " pixels");
    }
    bits_ = static_cast<std::uint32_t*>(bits);
    oldBitmap_ = SelectObject(dc_, bitmap_);
  } else {
    width_ = height_ = 0;
  }
  SetBkMode(dc_, TRANSPARENT);
}

Win32Surface::~Win32Surface() {
  if (oldFont_) SelectObject(dc_, oldFont_);
  if (oldBitmap_) SelectObject(dc_, oldBitmap_);
  if (bitmap_) DeleteObject(bitmap_);
  DeleteDC(dc_);
}

std::uint32_t* Win32Surface::Pixels() {
  // GDI may still be drawing into the section; the caller reads and writes the memory directly.
  GdiFlush();
  return bits_;
}

void Win32Surface::DrawText(const Rect& clip, Point origin, const std::string& text, const FontSpec& font) {
  if (text.empty()) return;
  HGDIOBJ previous = SelectObject(dc_, fonts_->Get(font));
  if (!oldFont_) oldFont_ = previous;
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, font.TextColor);
  RECT rc{clip.Left, clip.Top, clip.Right(), clip.Bottom()};
  ExtTextOutA(dc_, origin.X, origin.Y, ETO_CLIPPED, &rc, text.data(), static_cast<UINT>(text.size()), nullptr);
}

Size Win32Surface::MeasureText(const std::string& text, const FontSpec& font) {
  HGDIOBJ previous = SelectObject(dc_, fonts_->Get(font));
  if (!oldFont_) oldFont_ = previous;
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return Size{size.cx, size.cy};
}

Win32Graphics::Win32Graphics() : fonts_(std::make_shared<Win32FontCache>()) {}

std::unique_ptr<Surface> Win32Graphics::CreateSurface(int width, int height) {
  return CreateWin32Surface(width, height);
}

std::unique_ptr<Win32Surface> Win32Graphics::CreateWin32Surface(int width, int height) {
  return std::make_unique<Win32Surface>(width, height, fonts_);
}

Size Win32Graphics::MeasureText(const std::string& text, const FontSpec& font) {
  if (!measuring_) measuring_ = CreateWin32Surface(0, 0);
  return measuring_->MeasureText(text, font);
}

}  // namespace kelpo
