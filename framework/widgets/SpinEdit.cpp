#include "framework/widgets/SpinEdit.h"

#include "framework/Application.h"
#include "settings/TextForms.h"

namespace kelpo {

TSpinEdit::TSpinEdit(TComponent* owner) : TWidgetControl(owner) {}

std::unique_ptr<WidgetPeer> TSpinEdit::CreatePeer(const WidgetParams& params) {
  auto peer = Application().Services().widgets.CreateSpinEdit(params);
  peer->SetRange(MinValue, MaxValue);
  peer->SetMaxLength(MaxLength);
  peer->SetText(text_);
  return peer;
}

std::string TSpinEdit::Text() const {
  return SpinPeer() ? SpinPeer()->Text() : text_;
}

void TSpinEdit::SetText(const std::string& text) {
  text_ = text;
  if (SpinPeer()) SpinPeer()->SetText(text);
}

double TSpinEdit::Value() const {
  return StrToFloatDef(Text(), 1.0, Application().Formats());
}

double TSpinEdit::Clamp(double value) const {
  if (MaxValue <= MinValue) return value;  // no range set
  if (value < MinValue) return MinValue;
  if (value > MaxValue) return MaxValue;
  return value;
}

void TSpinEdit::SetValue(double value) {
  const double clamped = Clamp(value);
  if (clamped != value) Application().Services().dialogs.Beep();
  SetText(FloatToStr(clamped, Application().Formats()));
}

void TSpinEdit::DoExit() {
  const double value = Value();
  if (Clamp(value) != value) {
    SetValue(value);
  } else if (FloatToStr(value, Application().Formats()) != Text()) {
    SetText(FloatToStr(value, Application().Formats()));  // text that is no number shows what it reads as
  }
  TWidgetControl::DoExit();
}

const PropertyTable& TSpinEdit::StaticProperties() {
  static const PropertyTable table(TWidgetControl::StaticProperties(),
                                   {
                                       Property("MinValue", &TSpinEdit::MinValue, 0),
                                       Property("MaxValue", &TSpinEdit::MaxValue, 0),
                                       Property("MaxLength", &TSpinEdit::MaxLength, 0),
                                       Fixed("Increment", 1, "only an increment of 1 is supported"),
                                       CustomProperty<TSpinEdit>("Value",
                                                                 [](TSpinEdit& spin, const PropertyReading& reading) {
                                                                   spin.text_ = std::to_string(LayoutInteger(reading));
                                                                 }),
                                   });
  return table;
}

}  // namespace kelpo
