#pragma once
// A count field with up-down buttons: the value is clamped into
// MinValue..MaxValue, with a beep, when it is set and when the field is left;
// text that is not a number reads as 1.

#include <string>

#include "framework/widgets/WidgetControl.h"

namespace kelpo {

class TSpinEdit : public TWidgetControl {
 public:
  explicit TSpinEdit(TComponent* owner);

  int MinValue = 0;
  int MaxValue = 0;
  int MaxLength = 0;

  // The value as typed, in the regional number form.
  double Value() const;
  void SetValue(double value);
  std::string Text() const;
  void SetText(const std::string& text);

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

 protected:
  std::unique_ptr<WidgetPeer> CreatePeer(const WidgetParams& params) override;
  void DoExit() override;

 private:
  SpinEditPeer* SpinPeer() const { return static_cast<SpinEditPeer*>(Peer()); }
  double Clamp(double value) const;
  std::string text_;
};

}  // namespace kelpo
