#pragma once
// GDI fonts made from the platform's font description.

#include <utility>
#include <vector>

#include "platform/Graphics.h"
#include "platform/win32/Win32Api.h"

namespace kelpo {

// A new font for `wanted` (the colour is not part of a GDI font); the caller deletes it.
HFONT CreateFontFor(const FontSpec& wanted);

// Fonts by description, created on first use and deleted with the cache.
class Win32FontCache {
 public:
  Win32FontCache() = default;
  Win32FontCache(const Win32FontCache&) = delete;
  Win32FontCache& operator=(const Win32FontCache&) = delete;
  ~Win32FontCache();

  HFONT Get(const FontSpec& wanted);

 private:
  std::vector<std::pair<FontSpec, HFONT>> fonts_;
};

// Owns one font handle; used by the widget peers, whose controls keep the font they were given.
class Win32OwnedFont {
 public:
  Win32OwnedFont() = default;
  Win32OwnedFont(const Win32OwnedFont&) = delete;
  Win32OwnedFont& operator=(const Win32OwnedFont&) = delete;
  ~Win32OwnedFont() { Reset(nullptr); }

  HFONT Get() const { return font_; }
  void Reset(HFONT font);

 private:
  HFONT font_ = nullptr;
};

}  // namespace kelpo
