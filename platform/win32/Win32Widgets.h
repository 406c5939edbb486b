#pragma once
// The widget peers as comctl32 controls: an edit with an up-down buddy, combo
// boxes and a time-only date-time picker. Their notifications reach the peers
// through the windowing service's control routing.

#include "platform/Widgets.h"
#include "platform/win32/Win32Windowing.h"

namespace kelpo {

class Win32Widgets : public Widgets {
 public:
  explicit Win32Widgets(Win32Windowing& windowing);

  std::unique_ptr<SpinEditPeer> CreateSpinEdit(const WidgetParams& params) override;
  std::unique_ptr<ComboBoxPeer> CreateComboBox(const WidgetParams& params, bool editable) override;
  std::unique_ptr<TimePickerPeer> CreateTimePicker(const WidgetParams& params) override;

 private:
  Win32Windowing& windowing_;
};

}  // namespace kelpo
