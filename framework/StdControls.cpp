#include "framework/StdControls.h"

#include "framework/Application.h"

namespace kelpo {

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {}

const PropertyTable& TPanel::StaticProperties() {
  static const PropertyTable table(TWinControl::StaticProperties(),
                                   {
                                       Property("BevelOuter", &TPanel::BevelOuter, TBevelCut::bvRaised),
                                       Ignored<std::string>("Caption"),  // panels of this program show no caption
                                   });
  return table;
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

const PropertyTable& TImage::StaticProperties() {
  static const PropertyTable table(TControl::StaticProperties(),
                                   {
                                       CustomProperty<TImage>("Picture.Data",
                                                              [](TImage& image, const PropertyReading& reading) {
                                                                image.picture_.LoadFromBmp(LayoutBytes(reading));
                                                              }),
                                   });
  return table;
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

const PropertyTable& TLabel::StaticProperties() {
  static const PropertyTable table(TControl::StaticProperties(),
                                   {
                                       // Straight into the fields: the size follows once the layout is read.
                                       Property("Caption", &TLabel::caption_, std::string()),
                                       Property("Transparent", &TLabel::Transparent, false),
                                       Property("AutoSize", &TLabel::autoSize_, true),
                                   });
  return table;
}

}  // namespace kelpo
