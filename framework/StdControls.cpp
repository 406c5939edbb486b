#include "framework/StdControls.h"

#include "base/Exception.h"
#include "framework/Application.h"

namespace kelpo {

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {}

bool TPanel::ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) {
  if (name == "BevelOuter") {
    std::string id = LayoutIdentifier(value, name);
    if (id == "bvNone")
      BevelOuter = TBevelCut::bvNone;
    else if (id == "bvRaised")
      BevelOuter = TBevelCut::bvRaised;
    else if (id == "bvLowered")
      BevelOuter = TBevelCut::bvLowered;
    else
      throw Exception("Unknown bevel " + id);
    return true;
  }
  if (name == "Caption") {
    LayoutString(value, name);  // panels of this program show no caption
    return true;
  }
  return TWinControl::ReadProperty(name, value, events);
}

void TPanel::PaintBackground(TCanvas& canvas) {
  TWinControl::PaintBackground(canvas);
  const Rect all{0, 0, Width(), Height()};
  if (BevelOuter == TBevelCut::bvRaised) canvas.Frame3D(all, clBtnHighlight, clBtnShadow);
  if (BevelOuter == TBevelCut::bvLowered) canvas.Frame3D(all, clBtnShadow, clBtnHighlight);
}

TImage::TImage(TComponent* owner) : TControl(owner) {}

void TImage::SetPicture(const TBitmap& picture) {
  picture_ = picture;
  Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
  canvas.Draw(0, 0, picture_);
}

bool TImage::ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) {
  if (name == "Picture.Data") {
    if (value.Type != LayoutValue::Kind::Binary) throw Exception("Property Picture.Data needs binary data");
    picture_.LoadFromBmp(value.Bytes);
    return true;
  }
  return TControl::ReadProperty(name, value, events);
}

TLabel::TLabel(TComponent* owner) : TControl(owner) {}

void TLabel::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  AdjustBounds();
}

void TLabel::SetParent(TWinControl* parent) {
  TControl::SetParent(parent);
  AdjustBounds();  // the label may take its parent's font
}

void TLabel::FontChanged() {
  AdjustBounds();
}

void TLabel::LayoutLoaded() {
  AdjustBounds();
}

void TLabel::AdjustBounds() {
  if (!autoSize_) return;
  // An empty caption keeps the height of a line, as a blank does.
  const Size extent = Application().Services().graphics.MeasureText(caption_.empty() ? " " : caption_, Font());
  SetBounds(Rect{Left(), Top(), extent.Width, extent.Height});
}

void TLabel::Paint(TCanvas& canvas) {
  if (!Transparent) canvas.FillRect(Rect{0, 0, Width(), Height()}, ControlColor());
  canvas.TextOut(0, 0, caption_, Font());
}

bool TLabel::ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) {
  if (name == "Caption") {
    caption_ = LayoutString(value, name);
    return true;
  }
  if (name == "Transparent") {
    Transparent = LayoutBoolean(value, name);
    return true;
  }
  if (name == "AutoSize") {
    autoSize_ = LayoutBoolean(value, name);  // applied once the layout is read
    return true;
  }
  return TControl::ReadProperty(name, value, events);
}

}  // namespace kelpo
