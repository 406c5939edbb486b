#include "platform/sim/SimWidgets.h"

#include <algorithm>
#include <charconv>

namespace kelpo {

SimSpinEditPeer::SimSpinEditPeer(SimWindowing& windowing, const WidgetParams& params)
    : SimWidgetPeer(windowing, params, "Edit") {}

void SimSpinEditPeer::SetRange(int minValue, int maxValue) {
  min_ = minValue;
  max_ = maxValue;
}

void SimSpinEditPeer::UserType(const std::string& text) {
  text_ = maxLength_ > 0 && text.size() > static_cast<std::size_t>(maxLength_) ? text.substr(0, maxLength_) : text;
  NotifyChanged();
}

void SimSpinEditPeer::UserSpin(int delta) {
  int value = min_;
  std::from_chars(text_.data(), text_.data() + text_.size(), value);
  value = std::clamp(value + delta, min_, max_);
  text_ = std::to_string(value);
  NotifyChanged();
}

SimComboBoxPeer::SimComboBoxPeer(SimWindowing& windowing, const WidgetParams& params, bool editable)
    : SimWidgetPeer(windowing, params, "ComboBox"), editable_(editable) {}

void SimComboBoxPeer::SetItems(const std::vector<std::string>& items) {
  items_ = items;
  index_ = -1;
  typed_.clear();
}

void SimComboBoxPeer::SetItemIndex(int index) {
  index_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
  typed_.clear();
}

std::string SimComboBoxPeer::Text() const {
  return index_ >= 0 ? items_[index_] : typed_;
}

void SimComboBoxPeer::UserSelect(int index) {
  SetItemIndex(index);
  NotifyChanged();
}

bool SimComboBoxPeer::UserType(const std::string& text) {
  if (!editable_) return false;
  index_ = -1;
  typed_ = text;
  NotifyChanged();
  return true;
}

SimTimePickerPeer::SimTimePickerPeer(SimWindowing& windowing, const WidgetParams& params)
    : SimWidgetPeer(windowing, params, "SysDateTimePick32") {}

void SimTimePickerPeer::UserSetTime(const TimeOfDay& time) {
  time_ = time;
  NotifyChanged();
}

std::unique_ptr<SpinEditPeer> SimWidgets::CreateSpinEdit(const WidgetParams& params) {
  auto peer = std::make_unique<SimSpinEditPeer>(windowing_, params);
  created_.push_back(peer->Handle());
  return peer;
}

std::unique_ptr<ComboBoxPeer> SimWidgets::CreateComboBox(const WidgetParams& params, bool editable) {
  auto peer = std::make_unique<SimComboBoxPeer>(windowing_, params, editable);
  created_.push_back(peer->Handle());
  return peer;
}

std::unique_ptr<TimePickerPeer> SimWidgets::CreateTimePicker(const WidgetParams& params) {
  auto peer = std::make_unique<SimTimePickerPeer>(windowing_, params);
  created_.push_back(peer->Handle());
  return peer;
}

}  // namespace kelpo
