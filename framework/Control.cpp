#include "framework/Control.h"

#include <algorithm>

#include "base/Exception.h"
#include "framework/Application.h"
#include "framework/Menus.h"

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

Color LayoutColor(const LayoutValue& value, const std::string& property) {
  if (value.Type == LayoutValue::Kind::Integer) return static_cast<Color>(value.Integer);
  const std::string id = LayoutIdentifier(value, property);
  if (id == "clBlack") return clBlack;
  if (id == "clMaroon") return clMaroon;
  if (id == "clBlue") return clBlue;
  if (id == "clWhite") return clWhite;
  if (id == "clWindowText") return clWindowText;
  if (id == "clBtnFace") return clBtnFace;
  throw Exception("Unknown colour " + id);
}

CursorKind LayoutCursor(const LayoutValue& value, const std::string& property) {
  const std::string id = LayoutIdentifier(value, property);
  if (id == "crDefault") return CursorKind::Default;
  if (id == "crArrow") return CursorKind::Arrow;
  if (id == "crHourGlass") return CursorKind::HourGlass;
  if (id == "crHandPoint") return CursorKind::HandPoint;
  throw Exception("Unknown cursor " + id);
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

TPopupMenu* TControl::PopupMenu() {
  if (!popupMenu_ && !popupMenuName_.empty()) {
    // The layout's components belong to its form, which is the owner (or this form itself).
    const TComponent* root = Owner() ? Owner() : this;
    popupMenu_ = dynamic_cast<TPopupMenu*>(root->FindComponent(popupMenuName_));
    if (!popupMenu_) throw Exception("The layout has no popup menu " + popupMenuName_);
  }
  return popupMenu_;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  popupMenu_ = menu;
  popupMenuName_.clear();
}

void TControl::LayoutLoaded() {
  PopupMenu();  // a wrong name is a layout error
}

void TControl::Invalidate() {
  if (IsGraphic()) {
    if (parent_ && visible_) parent_->InvalidateArea();
  } else if (auto* windowed = dynamic_cast<TWinControl*>(this)) {
    windowed->InvalidateArea();
  }
}

bool TControl::ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) {
  if (name == "Left") {
    bounds_.Left = LayoutInteger(value, name);
  } else if (name == "Top") {
    bounds_.Top = LayoutInteger(value, name);
  } else if (name == "Width") {
    bounds_.Width = LayoutInteger(value, name);
  } else if (name == "Height") {
    bounds_.Height = LayoutInteger(value, name);
  } else if (name == "Visible") {
    visible_ = LayoutBoolean(value, name);
  } else if (name == "Cursor") {
    Cursor = LayoutCursor(value, name);
  } else if (name == "Color") {
    color_ = LayoutColor(value, name);
  } else if (name == "ParentFont") {
    parentFont_ = LayoutBoolean(value, name);
  } else if (name == "ParentColor") {
    LayoutBoolean(value, name);  // the colour is always given explicitly
  } else if (name == "Font.Name") {
    font_.Name = LayoutString(value, name);
    parentFont_ = false;
  } else if (name == "Font.Height") {
    font_.Height = LayoutInteger(value, name);
    parentFont_ = false;
  } else if (name == "Font.Color") {
    font_.TextColor = LayoutColor(value, name);
    parentFont_ = false;
  } else if (name == "Font.Charset") {
    LayoutIdentifier(value, name);  // text is drawn with the system's default character set
  } else if (name == "Font.Style") {
    if (value.Type != LayoutValue::Kind::Set) throw Exception("Property Font.Style needs a set");
    font_.Bold = font_.Italic = font_.Underline = false;
    for (const auto& style : value.Items) {
      if (style == "fsBold")
        font_.Bold = true;
      else if (style == "fsItalic")
        font_.Italic = true;
      else if (style == "fsUnderline")
        font_.Underline = true;
      else
        throw Exception("Unknown font style " + style);
    }
    parentFont_ = false;
  } else if (name == "OnClick") {
    OnClick = events.NotifyHandler(LayoutIdentifier(value, name));
  } else if (name == "OnMouseDown") {
    OnMouseDown = events.MouseHandler(LayoutIdentifier(value, name));
  } else if (name == "OnMouseUp") {
    OnMouseUp = events.MouseHandler(LayoutIdentifier(value, name));
  } else if (name == "PopupMenu") {
    popupMenuName_ = LayoutIdentifier(value, name);
    popupMenu_ = nullptr;
  } else {
    return TComponent::ReadProperty(name, value, events);
  }
  return true;
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

bool TWinControl::ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) {
  if (name == "TabOrder") {
    TabOrder = LayoutInteger(value, name);
    return true;
  }
  return TControl::ReadProperty(name, value, events);
}

void TWinControl::InsertLayoutChild(TComponent& child) {
  // Components without a window part (timers, menus) only belong to the form.
  if (auto* control = dynamic_cast<TControl*>(&child)) control->SetParent(this);
  if (dynamic_cast<TMenuItem*>(&child)) throw Exception(Name + " can hold no menu item");
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
    TPopupMenu* menu = nullptr;
    Application().Guard([&] { menu = control->PopupMenu(); });
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
  TCanvas background(target, Point{0, 0}, Rect{0, 0, target.Width(), target.Height()});
  PaintBackground(background);
  for (TControl* control : controls_) {
    if (!control->IsGraphic() || !control->Visible()) continue;
    TCanvas canvas(target, Point{control->Left(), control->Top()}, control->BoundsRect());
    Application().Guard([&] { control->Paint(canvas); });
  }
}

}  // namespace kelpo
