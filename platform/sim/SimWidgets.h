#pragma once
// State-only widget peers. Tests act as the user through the User* calls,
// which notify the framework control as the native controls do.

#include <string>
#include <vector>

#include "platform/Widgets.h"
#include "platform/sim/SimWindowing.h"

namespace kelpo {

template <class Base>
class SimWidgetPeer : public Base {
 public:
  SimWidgetPeer(SimWindowing& windowing, const WidgetParams& params, const char* className)
      : windowing_(windowing), events_(params.Events), font_(params.Font) {
    WindowParams window;
    window.Kind = WindowKind::Child;
    window.ClassName = className;
    window.Parent = params.Parent;
    window.Bounds = params.Bounds;
    window.Visible = params.Visible;
    handle_ = windowing.CreateWindow(window, static_cast<PaintedWindow*>(nullptr));  // the system paints a control
  }
  ~SimWidgetPeer() override { windowing_.DestroyWindow(handle_); }
  WindowHandle Handle() const override { return handle_; }
  void SetBounds(const Rect& bounds) override { windowing_.SetBounds(handle_, bounds); }
  Rect Bounds() const { return windowing_.GetBounds(handle_); }
  void SetVisible(bool visible) override {
    windowing_.ShowWindow(handle_, visible ? ShowCommand::Show : ShowCommand::Hide);
  }
  bool Visible() const override {
    const SimWindow* window = windowing_.Find(handle_);
    return window && window->Visible;
  }
  void SetFont(const FontSpec& font) override { font_ = font; }
  const FontSpec& Font() const { return font_; }
  // The user enters the control (it takes the keyboard focus).
  void UserEnter() {
    windowing_.SetFocus(handle_);
    if (events_) events_->FocusGained();
  }
  // The user leaves the control (the keyboard focus moves elsewhere).
  void UserLeave() {
    if (events_) events_->FocusLost();
  }

 protected:
  void NotifyChanged() {
    if (events_) events_->Changed();
  }

 private:
  SimWindowing& windowing_;
  WidgetEvents* events_;
  FontSpec font_;
  WindowHandle handle_ = 0;
};

class SimSpinEditPeer : public SimWidgetPeer<SpinEditPeer> {
 public:
  SimSpinEditPeer(SimWindowing& windowing, const WidgetParams& params);
  void SetRange(int minValue, int maxValue) override;
  void SetMaxLength(int characters) override { maxLength_ = characters; }
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() const override { return text_; }
  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  int MaxLength() const { return maxLength_; }
  // Typing replaces the text; the field takes at most MaxLength characters.
  void UserType(const std::string& text);
  // A click on the up (+1) or down (-1) button, kept within the range.
  void UserSpin(int delta);

 private:
  std::string text_;
  int min_ = 0;
  int max_ = 100;
  int maxLength_ = 0;
};

class SimComboBoxPeer : public SimWidgetPeer<ComboBoxPeer> {
 public:
  SimComboBoxPeer(SimWindowing& windowing, const WidgetParams& params, bool editable);
  void SetItems(const std::vector<std::string>& items) override;
  void SetItemIndex(int index) override;
  int ItemIndex() const override { return index_; }
  std::string Text() const override;
  const std::vector<std::string>& Items() const { return items_; }
  bool Editable() const { return editable_; }
  void UserSelect(int index);
  // Typing into the field; refused by a list that cannot be typed into.
  bool UserType(const std::string& text);

 private:
  std::vector<std::string> items_;
  int index_ = -1;
  bool editable_;
  std::string typed_;
};

class SimTimePickerPeer : public SimWidgetPeer<TimePickerPeer> {
 public:
  SimTimePickerPeer(SimWindowing& windowing, const WidgetParams& params);
  void SetTime(const TimeOfDay& time) override { time_ = time; }
  TimeOfDay Time() const override { return time_; }
  void UserSetTime(const TimeOfDay& time);

 private:
  TimeOfDay time_;
};

class SimWidgets : public Widgets {
 public:
  explicit SimWidgets(SimWindowing& windowing) : windowing_(windowing) {}
  std::unique_ptr<SpinEditPeer> CreateSpinEdit(const WidgetParams& params) override;
  std::unique_ptr<ComboBoxPeer> CreateComboBox(const WidgetParams& params, bool editable) override;
  std::unique_ptr<TimePickerPeer> CreateTimePicker(const WidgetParams& params) override;
  // Handles of the peers in creation order (the tab order).
  const std::vector<WindowHandle>& Created() const { return created_; }

 private:
  SimWindowing& windowing_;
  std::vector<WindowHandle> created_;
};

}  // namespace kelpo
