#pragma once
// Panels, images and labels.

#include <string>

#include "framework/Bitmap.h"
#include "framework/Control.h"

namespace kelpo {

enum class TBevelCut { bvNone, bvRaised, bvLowered };

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);
  TBevelCut BevelOuter = TBevelCut::bvRaised;
  bool ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) override;

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
  bool ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) override;

 private:
  TBitmap picture_;
};

// One line of text on its own colour (or on the parent when transparent).
class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Transparent = false;
  void Paint(TCanvas& canvas) override;
  bool ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) override;

 private:
  std::string caption_;
};

}  // namespace kelpo
