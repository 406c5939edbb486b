#include "framework/widgets/DateTimePicker.h"

#include <cmath>

#include "base/Calendar.h"
#include "base/Exception.h"
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

bool TDateTimePicker::ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) {
  if (name == "Kind") {
    if (LayoutIdentifier(value, name) != "dtkTime") throw Exception("Only time pickers are supported");
  } else if (name == "DateMode") {
    if (LayoutIdentifier(value, name) != "dmUpDown") throw Exception("Only up-down time pickers are supported");
  } else {
    return TWidgetControl::ReadProperty(name, value, events);
  }
  return true;
}

}  // namespace kelpo
