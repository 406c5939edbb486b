#include "framework/Control.h"

#include <algorithm>
#include <memory>

#include "base/Exception.h"
#include "framework/Application.h"
#include "framework/Menus.h"
#include "framework/RasterOps.h"

namespace kelpo {
namespace {

TMouseButton ButtonOf(std::uint32_t msg) {
  switch (msg) {
    case wmRButtonDown:
    case wmRButtonUp:
      return TMouseButton::mbRight;
    case wmMButtonDown:
    case wmMButtonUp:
      return TMouseButton::mbMiddle;
    default:
      return TMouseButton::mbLeft;
  }
}

}  // namespace

constexpr EnumName<Color> ColorIdentifiers[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon},         {"clBlue", clBlue},
    {"clWhite", clWhite}, {"clWindowText", clWindowText}, {"clBtnFace", clBtnFace},
};

Color LayoutColor(const PropertyReading& reading) {
  if (reading.Value().Type == LayoutValue::Kind::Integer) return LayoutCardinal(reading);
  if (reading.Value().Type != LayoutValue::Kind::Identifier) reading.Needs("a colour");
  return IdentifierValue<Color>(reading, reading.Value().Text, ColorIdentifiers);
}

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {}
TControl::TControl(TApplication& application) : TComponent(application) {}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) {
    Invalidate();
    parent_->RemoveControl(this);
  }
  parent_ = parent;
  if (parent_) {
    parent_->InsertControl(this);
    if (parentFont_) font_ = parent_->Font();
    if (parent_->HandleAllocated()) CreateHandle();
    Invalidate();
  }
}

void TControl::SetBounds(const Rect& bounds) {
  if (bounds == bounds_) return;
  Invalidate();
  bounds_ = bounds;
  BoundsChanged();
  Invalidate();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  VisibleChanged();
  if (IsGraphic() && parent_) parent_->InvalidateArea();
}

void TControl::SetColor(Color color) {
  color_ = color;
  Invalidate();
}

void TControl::SetFont(const FontSpec& font) {
  font_ = font;
  parentFont_ = false;
  FontChanged();
  Invalidate();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::MouseDown(TMouseButton button, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, x, y);
}

void TControl::MouseUp(TMouseButton button, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, x, y);
}

void TControl::Invalidate() {
  if (IsGraphic()) {
    if (parent_ && visible_) parent_->InvalidateArea();
  } else if (auto* windowed = dynamic_cast<TWinControl*>(this)) {
    windowed->InvalidateArea();
  }
}

void TControl::Repaint() {
  if (!IsGraphic() || !parent_ || !visible_ || !parent_->HandleAllocated()) return;
  const Rect area = IntersectRect(bounds_, Rect{0, 0, parent_->Width(), parent_->Height()});
  if (IsEmptyRect(area)) return;
  Platform& services = Application().Services();
  std::unique_ptr<Surface> memory = services.graphics.CreateSurface(parent_->Width(), parent_->Height());
  parent_->PaintTo(*memory, area);
  services.windowing.BlitToWindow(parent_->Handle(), area, *memory);
}

const PropertyTable& TControl::StaticProperties() {
  // The layout's values go straight into the fields, as the control is not
  // shown while its layout is read; setters would repaint and re-measure.
  const auto bound = [](int Rect::*side) {
    return [side](TControl& control, int value) { control.bounds_.*side = value; };
  };
  const auto fontSet = [](auto FontSpec::*field) {
    return [field](TControl& control, auto value) {
      control.font_.*field = value;
      control.parentFont_ = false;
    };
  };
  const auto styles = [](const TControl& control) {
    std::vector<TFontStyle> set;
    if (control.font_.Bold) set.push_back(TFontStyle::fsBold);
    if (control.font_.Italic) set.push_back(TFontStyle::fsItalic);
    if (control.font_.Underline) set.push_back(TFontStyle::fsUnderline);
    return set;
  };
  const auto setStyles = [](TControl& control, const std::vector<TFontStyle>& set) {
    const auto has = [&](TFontStyle style) { return std::find(set.begin(), set.end(), style) != set.end(); };
    control.font_.Bold = has(TFontStyle::fsBold);
    control.font_.Italic = has(TFontStyle::fsItalic);
    control.font_.Underline = has(TFontStyle::fsUnderline);
    control.parentFont_ = false;
  };
  const FontSpec font;
  static const PropertyTable table(
      TComponent::StaticProperties(),
      {
          Property("Left", &TControl::Left, bound(&Rect::Left), 0),
          Property("Top", &TControl::Top, bound(&Rect::Top), 0),
          Property("Width", &TControl::Width, bound(&Rect::Width), 0),
          Property("Height", &TControl::Height, bound(&Rect::Height), 0),
          Property("Visible", &TControl::visible_, true),
          Property("Cursor", &TControl::Cursor, CursorKind::Default),
          Property("Color", &TControl::color_, clBtnFace, LayoutColor),
          Property("ParentFont", &TControl::parentFont_, true),
          Ignored<bool>("ParentColor"),  // the colour is always given explicitly
          Property<TControl>(
              "Font.Name", [](const TControl& c) { return c.font_.Name; }, fontSet(&FontSpec::Name), font.Name),
          Property<TControl>(
              "Font.Height", [](const TControl& c) { return c.font_.Height; }, fontSet(&FontSpec::Height), font.Height),
          Property<TControl>(
              "Font.Color", [](const TControl& c) { return c.font_.TextColor; }, fontSet(&FontSpec::TextColor),
              font.TextColor, LayoutColor),
          Property<TControl>("Font.Style", styles, setStyles, std::vector<TFontStyle>()),
          Ignored<TFontCharset>("Font.Charset"),
          Property("OnClick", &TControl::OnClick),
          Property("OnMouseDown", &TControl::OnMouseDown),
          Property("OnMouseUp", &TControl::OnMouseUp),
          Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu, nullptr),
      });
  return table;
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}
TWinControl::TWinControl(TApplication& application) : TControl(application) {}

TWinControl::~TWinControl() {
  for (TControl* control : controls_) control->parent_ = nullptr;
  controls_.clear();
  DestroyHandle();
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
}

void TWinControl::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  if (pressed_ == control) pressed_ = nullptr;
}

WindowParams TWinControl::CreateParams() {
  WindowParams params;
  params.Kind = WindowKind::Child;
  params.ClassName = "TPanel";
  params.Parent = Parent() ? Parent()->Handle() : 0;
  params.Bounds = BoundsRect();
  params.Visible = Visible();
  return params;
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  if (!Parent() && CreateParams().Kind == WindowKind::Child) return;
  if (Parent() && !Parent()->HandleAllocated()) return;
  handle_ = Application().Services().windowing.CreateWindow(CreateParams(), this);
  // Windowed children are created in tab order, which is the order Tab visits them.
  std::vector<TControl*> windowed;
  for (TControl* control : controls_)
    if (!control->IsGraphic()) windowed.push_back(control);
  std::stable_sort(windowed.begin(), windowed.end(),
                   [](TControl* a, TControl* b) { return a->TabOrderValue() < b->TabOrderValue(); });
  for (TControl* control : windowed) control->CreateHandle();
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  Application().Services().windowing.DestroyWindow(handle_);
  handle_ = 0;
}

void TWinControl::InvalidateArea() {
  if (handle_) Application().Services().windowing.Invalidate(handle_);
}

void TWinControl::BoundsChanged() {
  if (handle_) Application().Services().windowing.SetBounds(handle_, BoundsRect());
}

void TWinControl::VisibleChanged() {
  if (handle_)
    Application().Services().windowing.ShowWindow(handle_, Visible() ? ShowCommand::Show : ShowCommand::Hide);
}

const PropertyTable& TWinControl::StaticProperties() {
  static const PropertyTable table(TControl::StaticProperties(), {
                                                                     Property("TabOrder", &TWinControl::TabOrder, 0),
                                                                 });
  return table;
}

bool TWinControl::InsertLayoutChild(TComponent& child) {
  // Menu items belong in a menu; components without a window part (timers,
  // menus) are only held by the form.
  if (dynamic_cast<TMenuItem*>(&child)) return false;
  if (auto* control = dynamic_cast<TControl*>(&child)) control->SetParent(this);
  return true;
}

TControl* TWinControl::GraphicControlAt(Point p) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* control = *it;
    if (control->IsGraphic() && control->Visible() && control->BoundsRect().Contains(p)) return control;
  }
  return nullptr;
}

bool TWinControl::HandleMouse(Message& m) {
  Windowing& windowing = Application().Services().windowing;
  const Point p = PointFromLParam(m.LParam);
  switch (m.Msg) {
    case wmLButtonDown:
    case wmRButtonDown:
    case wmMButtonDown: {
      TControl* control = GraphicControlAt(p);
      if (!control || pressed_) return false;
      pressed_ = control;
      pressedButton_ = ButtonOf(m.Msg);
      windowing.SetCapture(handle_);
      Application().Guard([&] { control->MouseDown(pressedButton_, p.X - control->Left(), p.Y - control->Top()); });
      return true;
    }
    case wmLButtonUp:
    case wmRButtonUp:
    case wmMButtonUp: {
      TControl* control = pressed_;
      if (!control || ButtonOf(m.Msg) != pressedButton_) return false;
      pressed_ = nullptr;
      windowing.ReleaseCapture();
      const bool over = control->BoundsRect().Contains(p);
      // The click comes before the mouse up; the mouse up runs even when the click fails.
      if (pressedButton_ == TMouseButton::mbLeft && over && control->Visible())
        Application().Guard([&] { control->Click(); });
      // The click may have freed the control (it removes itself from this list).
      if (std::find(controls_.begin(), controls_.end(), control) != controls_.end())
        Application().Guard([&] { control->MouseUp(pressedButton_, p.X - control->Left(), p.Y - control->Top()); });
      return true;
    }
    default:
      return false;
  }
}

bool TWinControl::ContextPopup(Message& m) {
  Windowing& windowing = Application().Services().windowing;
  const Point origin = windowing.ClientToScreen(handle_, Point{});
  Point at = PointFromLParam(m.LParam);
  // (-1, -1): asked for from the keyboard, the menu opens at the control.
  const bool fromKeyboard = at.X == -1 && at.Y == -1;
  if (fromKeyboard) at = origin;
  TControl* under = fromKeyboard ? nullptr : GraphicControlAt(Point{at.X - origin.X, at.Y - origin.Y});
  for (TControl* control = under ? under : this; control; control = control->Parent()) {
    TPopupMenu* menu = control->PopupMenu();
    if (!menu || !menu->AutoPopup) continue;
    menu->PopupComponent = control;
    Application().Guard([&] { menu->Popup(at.X, at.Y); });
    m.Result = 0;
    return true;
  }
  return false;
}

bool TWinControl::WindowProc(Message& m) {
  switch (m.Msg) {
    case wmLButtonDown:
    case wmRButtonDown:
    case wmMButtonDown:
    case wmLButtonUp:
    case wmMButtonUp:
      return HandleMouse(m);
    case wmRButtonUp: {
      HandleMouse(m);
      // The context menu follows the release, as the system's default
      // processing of the release gives it (which this answer replaces).
      Windowing& windowing = Application().Services().windowing;
      const Point at = windowing.ClientToScreen(handle_, PointFromLParam(m.LParam));
      windowing.SendMessage(handle_, wmContextMenu, handle_, LParamFromPoint(at));
      m.Result = 0;
      return true;
    }
    case wmContextMenu:
      return ContextPopup(m);
    case wmSetCursor: {
      // Queries passed up from native child controls keep their own cursor.
      if ((m.LParam & 0xFFFF) != htClient || m.WParam != handle_) return false;
      Windowing& windowing = Application().Services().windowing;
      TControl* control = GraphicControlAt(windowing.ClientCursorPos(handle_));
      CursorKind cursor = control ? control->Cursor : Cursor;
      windowing.SetCursor(cursor == CursorKind::Default ? CursorKind::Arrow : cursor);
      m.Result = 1;
      return true;
    }
    default:
      return false;
  }
}

void TWinControl::PaintBackground(TCanvas& canvas) {
  canvas.FillRect(Rect{0, 0, Width(), Height()}, ControlColor());
}

void TWinControl::PaintWindow(Surface& target) {
  PaintTo(target, Rect{0, 0, target.Width(), target.Height()});
}

void TWinControl::PaintTo(Surface& target, const Rect& area) {
  TCanvas background(target, Point{0, 0}, area);
  PaintBackground(background);
  for (TControl* control : controls_) {
    if (!control->IsGraphic() || !control->Visible()) continue;
    const Rect clip = IntersectRect(control->BoundsRect(), area);
    if (IsEmptyRect(clip)) continue;
    TCanvas canvas(target, Point{control->Left(), control->Top()}, clip);
    Application().Guard([&] { control->Paint(canvas); });
  }
}

}  // namespace kelpo
