#pragma once
// Base of the widgets whose window is a native peer (comctl32 on Windows).

#include <memory>

#include "framework/Control.h"
#include "platform/Widgets.h"

namespace kelpo {

class TWidgetControl : public TControl, protected WidgetEvents {
 public:
  explicit TWidgetControl(TComponent* owner);
  ~TWidgetControl() override;

  bool IsGraphic() const override { return false; }
  int TabOrder = 0;
  int TabOrderValue() const override { return TabOrder; }
  void CreateHandle() override;
  bool HandleAllocated() const { return peer_ != nullptr; }
  WidgetPeer* Peer() const { return peer_.get(); }

  TNotifyEvent OnChange;
  TNotifyEvent OnExit;

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

 protected:
  // Makes the peer and gives it the control's state.
  virtual std::unique_ptr<WidgetPeer> CreatePeer(const WidgetParams& params) = 0;
  // The control leaves the keyboard focus.
  virtual void DoExit();
  void Changed() override;
  void FocusGained() override;
  void FocusLost() override;
  void BoundsChanged() override;
  void VisibleChanged() override;
  void FontChanged() override;

 private:
  std::unique_ptr<WidgetPeer> peer_;
};

}  // namespace kelpo
