#include "scheduler/ScheduleEditor.h"

#include "base/Exception.h"
#include "scheduler/ScheduleKeys.h"
#include "settings/DateTime.h"
#include "settings/TextForms.h"

namespace kelpo {

ScheduleEditor::ScheduleEditor(TApplication& application, const ScheduleEditorControls& controls)
    : app_(application), c_(controls) {}

std::string ScheduleEditor::SettingsPath() const {
  return app_.Services().files.ExecutableFolder() + SettingsFileName;
}

SettingsFile ScheduleEditor::OpenSettings() const {
  Platform& platform = app_.Services();
  return SettingsFile(platform.profiles, app_.Formats(), platform.clock, SettingsPath());
}

void ScheduleEditor::Load() {
  Platform& platform = app_.Services();
  const TDateTime now = TimeOfDayNow(platform.clock);
  if (!platform.files.FileExists(SettingsPath())) {
    c_.Count.SetValue(3);
    c_.Unit.SetItemIndex(suMinutes);
    c_.Weekday.SetItemIndex(0);
    c_.TimeOfDay.SetTime(now);
    ShowSentenceParts();
    return;
  }
  const SettingsFile settings = OpenSettings();
  c_.Count.SetValue(settings.ReadFloat(SchedulerSection, SchFrequencyKey, 3.0));
  // A unit the list does not have shows as minutes, the unit of a new schedule.
  const int unit = settings.ReadInteger(SchedulerSection, SchIDKey, suMinutes);
  c_.Unit.SetItemIndex(unit >= suMinutes && unit <= suMonths ? unit : suMinutes);
  // A day that names no weekday leaves the weekday list without a selection.
  c_.Weekday.SetText(settings.ReadString(SchedulerSection, DayKey, "Sunday"));
  c_.TimeOfDay.SetTime(settings.ReadTime(SchedulerSection, TimeKey, now));
  ShowSentenceParts();
}

void ScheduleEditor::ShowSentenceParts() {
  const int unit = c_.Unit.ItemIndex();
  if (unit < suMinutes || unit > suMonths) return;
  const bool timed = unit >= suDays;
  const bool weekday = unit >= suWeeks;
  c_.AtLabel.SetVisible(timed);
  c_.TimeOfDay.SetVisible(timed);
  c_.WeekdayLabel.SetVisible(weekday);
  c_.Weekday.SetVisible(weekday);
  c_.OfTheMonthLabel.SetVisible(unit == suMonths);
  if (unit == suWeeks) c_.WeekdayLabel.SetCaption("on");
  if (unit == suMonths) c_.WeekdayLabel.SetCaption("first");
}

void ScheduleEditor::Store() {
  // With no weekday chosen the schedule takes Sunday, and the list shows it:
  // an empty "Day" would stop every unit but minutes from ever being due.
  if (c_.Weekday.ItemIndex() < 0) c_.Weekday.SetItemIndex(0);
  SettingsFile settings = OpenSettings();
  settings.WriteInteger(SchedulerSection, SchIDKey, c_.Unit.ItemIndex());
  settings.WriteFloat(SchedulerSection, SchFrequencyKey, c_.Count.Value());
  settings.WriteTime(SchedulerSection, TimeKey, c_.TimeOfDay.Time());
  settings.WriteString(SchedulerSection, DayKey, c_.Weekday.Text());
  settings.WriteDate(SchedulerSection, DateLastRunKey, Today(app_.Services().clock) - 1);
}

void ScheduleEditor::ApplyTimerInterval() {
  if (c_.Unit.ItemIndex() != suMinutes) {
    c_.Timer.SetInterval(PollInterval);
    return;
  }
  const std::string text = FloatToStr(c_.Count.Value(), app_.Formats());
  const auto minutes = TryStrToInt(text);
  if (!minutes) throw Exception("'" + text + "' is not a valid integer value");
  // A count below 1 (typed, not yet clamped) stops the ticks as 0 does, rather
  // than wrapping round to an interval of weeks.
  c_.Timer.SetInterval(*minutes > 0 ? static_cast<unsigned>(*minutes) * 60000u : 0u);
}

}  // namespace kelpo
