#pragma once
// Surfaces as 32-bit top-down DIB sections in a memory device context; text
// through GDI.

#include <memory>

#include "platform/Graphics.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Fonts.h"

namespace kelpo {

class Win32Surface : public Surface {
 public:
  Win32Surface(int width, int height, std::shared_ptr<Win32FontCache> fonts);
  Win32Surface(const Win32Surface&) = delete;
  Win32Surface& operator=(const Win32Surface&) = delete;
  ~Win32Surface() override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  std::uint32_t* Pixels() override;
  void DrawText(const Rect& clip, Point origin, const std::string& text, const FontSpec& font) override;
  Size MeasureText(const std::string& text, const FontSpec& font) override;

  // The memory device context that holds the pixels, for copying them to a window.
  HDC DC() const { return dc_; }

 private:
  int width_;
  int height_;
  std::shared_ptr<Win32FontCache> fonts_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

class Win32Graphics : public Graphics {
 public:
  Win32Graphics();
  std::unique_ptr<Surface> CreateSurface(int width, int height) override;
  std::unique_ptr<Win32Surface> CreateWin32Surface(int width, int height);
  // Measured in a memory device context like those the surfaces draw in.
  Size MeasureText(const std::string& text, const FontSpec& font) override;

 private:
  // Shared with the surfaces, which may outlive this object.
  std::shared_ptr<Win32FontCache> fonts_;
  std::unique_ptr<Win32Surface> measuring_;  // made on first use, without pixels
};

}  // namespace kelpo
