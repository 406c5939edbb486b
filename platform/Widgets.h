#pragma once
// Native peers of the schedule editor's widgets: comctl32 controls on Windows,
// state-only peers in the simulation. A peer is a child window of `parent`.

#include <memory>
#include <string>
#include <vector>

#include "platform/Graphics.h"
#include "platform/Types.h"

namespace kelpo {

// Notifications a peer sends to its framework control.
class WidgetEvents {
 public:
  virtual ~WidgetEvents() = default;
  virtual void Changed() = 0;      // the user changed the value or selection
  virtual void FocusGained() = 0;  // the control received the keyboard focus
  virtual void FocusLost() = 0;    // the control lost the keyboard focus
};

class WidgetPeer {
 public:
  virtual ~WidgetPeer() = default;
  virtual WindowHandle Handle() const = 0;
  virtual void SetBounds(const Rect& bounds) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  virtual void SetFont(const FontSpec& font) = 0;
};

// An edit field with up-down buttons.
class SpinEditPeer : public WidgetPeer {
 public:
  virtual void SetRange(int minValue, int maxValue) = 0;
  virtual void SetMaxLength(int characters) = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
};

// A drop-down list; `editable` lets the user type into it.
class ComboBoxPeer : public WidgetPeer {
 public:
  virtual void SetItems(const std::vector<std::string>& items) = 0;
  virtual void SetItemIndex(int index) = 0;  // -1: no selection
  virtual int ItemIndex() const = 0;
  virtual std::string Text() const = 0;
};

struct TimeOfDay {
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  bool operator==(const TimeOfDay&) const = default;
};

// A time-of-day field to the second with up-down buttons.
class TimePickerPeer : public WidgetPeer {
 public:
  virtual void SetTime(const TimeOfDay& time) = 0;
  virtual TimeOfDay Time() const = 0;
};

struct WidgetParams {
  WindowHandle Parent = 0;
  Rect Bounds;
  bool Visible = true;
  int TabOrder = 0;
  FontSpec Font;
  WidgetEvents* Events = nullptr;
};

class Widgets {
 public:
  virtual ~Widgets() = default;
  virtual std::unique_ptr<SpinEditPeer> CreateSpinEdit(const WidgetParams& params) = 0;
  virtual std::unique_ptr<ComboBoxPeer> CreateComboBox(const WidgetParams& params, bool editable) = 0;
  virtual std::unique_ptr<TimePickerPeer> CreateTimePicker(const WidgetParams& params) = 0;
};

}  // namespace kelpo
