#include "framework/widgets/DateTimePicker.h"

#include <cmath>

#include "base/Calendar.h"
#include "framework/Application.h"

namespace kelpo {

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWidgetControl(owner) {}

std::unique_ptr<WidgetPeer> TDateTimePicker::CreatePeer(const WidgetParams& params) {
  auto peer = Application().Services().widgets.CreateTimePicker(params);
  peer->SetTime(time_);
  return peer;
}

TDateTime TDateTimePicker::Time() const {
  const TimeOfDay t = PickerPeer() ? PickerPeer()->Time() : time_;
  return (t.Hour * 3600 + t.Minute * 60 + t.Second) / 86400.0;
}

void TDateTimePicker::SetTime(TDateTime time) {
  double fraction = std::fabs(time - std::trunc(time));
  // Rounded to the millisecond, then cut to the second as the system's control
  // shows it: 23:59:59.7 stays 23:59:59 instead of wrapping to midnight.
  long seconds = std::lround(fraction * static_cast<double>(MillisecondsPerDay)) / 1000 % 86400;
  time_ =
      TimeOfDay{static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
  if (PickerPeer()) PickerPeer()->SetTime(time_);
}

const PropertyTable& TDateTimePicker::StaticProperties() {
  static const PropertyTable table(
      TWidgetControl::StaticProperties(),
      {
          Fixed("Kind", TDateTimeKind::dtkTime, "only time pickers are supported"),
          Fixed("DateMode", TDateTimePickerMode::dmUpDown, "only up-down time pickers are supported"),
      });
  return table;
}

}  // namespace kelpo
