#pragma once
// A time-of-day field to the second with up-down buttons.

#include "framework/widgets/WidgetControl.h"
#include "platform/Types.h"

namespace kelpo {

class TDateTimePicker : public TWidgetControl {
 public:
  explicit TDateTimePicker(TComponent* owner);

  // The time of day as a fraction of a day, to the second.
  TDateTime Time() const;
  void SetTime(TDateTime time);

  bool ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) override;

 protected:
  std::unique_ptr<WidgetPeer> CreatePeer(const WidgetParams& params) override;

 private:
  TimePickerPeer* PickerPeer() const { return static_cast<TimePickerPeer*>(Peer()); }
  TimeOfDay time_;
};

}  // namespace kelpo
