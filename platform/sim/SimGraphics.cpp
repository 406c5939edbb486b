#include "platform/sim/SimGraphics.h"

#include <cstdlib>

namespace kelpo {

SimSurface::SimSurface(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, 0) {}

void SimSurface::DrawText(const Rect& clip, Point origin, const std::string& text, const FontSpec& font) {
  texts_.push_back(SimTextOp{clip, origin, text, font});
}

Size SimTextExtent(const std::string& text, const FontSpec& font) {
  const int height = std::abs(font.Height) + 2;
  return Size{static_cast<int>(text.size()) * (height / 2), height};
}

Size SimSurface::MeasureText(const std::string& text, const FontSpec& font) {
  return SimTextExtent(text, font);
}

std::string SimSurface::TextLine() const {
  std::string line;
  for (const auto& op : texts_) {
    if (!line.empty()) line += '|';
    line += op.Text;
  }
  return line;
}

std::unique_ptr<Surface> SimGraphics::CreateSurface(int width, int height) {
  return std::make_unique<SimSurface>(width, height);
}

}  // namespace kelpo
