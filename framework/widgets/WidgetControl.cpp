#include "framework/widgets/WidgetControl.h"

#include "framework/Application.h"

namespace kelpo {

TWidgetControl::TWidgetControl(TComponent* owner) : TControl(owner) {}

TWidgetControl::~TWidgetControl() {
  if (Application().ActiveControl() == this) Application().SetActiveControl(nullptr, 0);
}

void TWidgetControl::CreateHandle() {
  if (peer_ || !Parent() || !Parent()->HandleAllocated()) return;
  WidgetParams params;
  params.Parent = Parent()->Handle();
  params.Bounds = BoundsRect();
  params.Visible = Visible();
  params.TabOrder = TabOrder;
  params.Font = Font();
  params.Events = this;
  peer_ = CreatePeer(params);
}

void TWidgetControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWidgetControl::Changed() {
  Application().Guard([&] {
    if (OnChange) OnChange(this);
  });
}

void TWidgetControl::FocusGained() {
  Application().SetActiveControl(this, peer_ ? peer_->Handle() : 0);
}

void TWidgetControl::FocusLost() {
  Application().Guard([&] { DoExit(); });
}

void TWidgetControl::BoundsChanged() {
  if (peer_) peer_->SetBounds(BoundsRect());
}

void TWidgetControl::VisibleChanged() {
  if (peer_) peer_->SetVisible(Visible());
}

void TWidgetControl::FontChanged() {
  if (peer_) peer_->SetFont(Font());
}

const PropertyTable& TWidgetControl::StaticProperties() {
  static const PropertyTable table(TControl::StaticProperties(), {
                                                                     Property("TabOrder", &TWidgetControl::TabOrder, 0),
                                                                     Property("OnChange", &TWidgetControl::OnChange),
                                                                     Property("OnExit", &TWidgetControl::OnExit),
                                                                 });
  return table;
}

}  // namespace kelpo
