#pragma once
// Panels, images and labels.

#include <string>

#include "framework/Bitmap.h"
#include "framework/Control.h"

namespace kelpo {

enum class TBevelCut { bvNone, bvRaised, bvLowered };
template <>
struct EnumIdentifiers<TBevelCut> {
  static constexpr EnumName<TBevelCut> Names[] = {
      {"bvNone", TBevelCut::bvNone}, {"bvRaised", TBevelCut::bvRaised}, {"bvLowered", TBevelCut::bvLowered}};
};

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);
  TBevelCut BevelOuter = TBevelCut::bvRaised;
  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

 protected:
  void PaintBackground(TCanvas& canvas) override;
};

// Shows its picture unscaled at its top-left corner, clipped to the control.
class TImage : public TControl {
 public:
  explicit TImage(TComponent* owner);
  TBitmap& Picture() { return picture_; }
  void SetPicture(const TBitmap& picture);
  void Paint(TCanvas& canvas) override;
  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

 private:
  TBitmap picture_;
};

// One line of text on its own colour (or on the parent when transparent).
// With AutoSize (the default) the label is as wide and as high as its caption
// in its font, as the platform measures text, whatever size a layout gives;
// its top-left corner stays. It follows every change of caption and font, so
// a longer caption is never cut short.
class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool Transparent = false;
  void SetParent(TWinControl* parent) override;
  void Paint(TCanvas& canvas) override;
  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }
  void LayoutLoaded() override;

 protected:
  void FontChanged() override;

 private:
  void AdjustBounds();

  std::string caption_;
  bool autoSize_ = true;
};

}  // namespace kelpo
