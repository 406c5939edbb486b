#pragma once
// A time-of-day field to the second with up-down buttons.

#include "framework/widgets/WidgetControl.h"
#include "platform/Types.h"

namespace kelpo {

// Only time pickers with up-down buttons are supported.
enum class TDateTimeKind { dtkDate, dtkTime };
template <>
struct EnumIdentifiers<TDateTimeKind> {
  static constexpr EnumName<TDateTimeKind> Names[] = {{"dtkDate", TDateTimeKind::dtkDate},
                                                      {"dtkTime", TDateTimeKind::dtkTime}};
};
enum class TDateTimePickerMode { dmComboBox, dmUpDown };
template <>
struct EnumIdentifiers<TDateTimePickerMode> {
  static constexpr EnumName<TDateTimePickerMode> Names[] = {{"dmComboBox", TDateTimePickerMode::dmComboBox},
                                                            {"dmUpDown", TDateTimePickerMode::dmUpDown}};
};

class TDateTimePicker : public TWidgetControl {
 public:
  explicit TDateTimePicker(TComponent* owner);

  // The time of day as a fraction of a day, to the second.
  TDateTime Time() const;
  void SetTime(TDateTime time);

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

 protected:
  std::unique_ptr<WidgetPeer> CreatePeer(const WidgetParams& params) override;

 private:
  TimePickerPeer* PickerPeer() const { return static_cast<TimePickerPeer*>(Peer()); }
  TimeOfDay time_;
};

}  // namespace kelpo
