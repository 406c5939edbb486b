#pragma once
// The schedule as a sentence in the main window: loading it from the settings
// file, showing the parts the unit needs, storing it, and setting the schedule
// timer's interval from it.

#include <string>

#include "framework/Application.h"
#include "framework/StdControls.h"
#include "framework/Timer.h"
#include "framework/widgets/ComboBox.h"
#include "framework/widgets/DateTimePicker.h"
#include "framework/widgets/SpinEdit.h"
#include "settings/SettingsFile.h"

namespace kelpo {

struct ScheduleEditorControls {
  TSpinEdit& Count;
  TComboBox& Unit;
  TDateTimePicker& TimeOfDay;
  TComboBox& Weekday;
  TLabel& AtLabel;
  TLabel& WeekdayLabel;
  TLabel& OfTheMonthLabel;
  TTimer& Timer;
};

class ScheduleEditor {
 public:
  ScheduleEditor(TApplication& application, const ScheduleEditorControls& controls);

  // "settings.ini" in the executable's folder.
  std::string SettingsPath() const;
  SettingsFile OpenSettings() const;

  // Fills the editor from the settings file, or with the defaults when there is
  // none; writes nothing.
  void Load();
  // Shows the parts of the sentence the selected unit needs.
  void ShowSentenceParts();
  // Writes the five keys of the schedule, in order.
  void Store();
  // The schedule timer's interval: N minutes for the minutes unit, else the poll interval.
  void ApplyTimerInterval();

 private:
  TApplication& app_;
  ScheduleEditorControls c_;
};

}  // namespace kelpo
