#include "platform/win32/Win32Fonts.h"

namespace kelpo {

namespace {

bool SameFont(const FontSpec& a, const FontSpec& b) {
  return a.Name == b.Name && a.Height == b.Height && a.Bold == b.Bold && a.Italic == b.Italic &&
         a.Underline == b.Underline;
}

}  // namespace

HFONT CreateFontFor(const FontSpec& wanted) {
  return CreateFontA(wanted.Height, 0, 0, 0, wanted.Bold ? FW_BOLD : FW_NORMAL, wanted.Italic ? TRUE : FALSE,
                     wanted.Underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, wanted.Name.c_str());
}

Win32FontCache::~Win32FontCache() {
  for (auto& entry : fonts_) DeleteObject(entry.second);
}

HFONT Win32FontCache::Get(const FontSpec& wanted) {
  for (auto& entry : fonts_)
    if (SameFont(entry.first, wanted)) return entry.second;
  HFONT font = CreateFontFor(wanted);
  if (font) fonts_.emplace_back(wanted, font);
  return font;
}

void Win32OwnedFont::Reset(HFONT font) {
  if (font_) DeleteObject(font_);
  font_ = font;
}

}  // namespace kelpo
