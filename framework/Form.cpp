#include "framework/Form.h"

#include "framework/Application.h"
#include "framework/ComponentRegistry.h"
#include "framework/Resources.h"

namespace kelpo {

TForm::TForm(TApplication& application) : TWinControl(application) {
  Application().RegisterForm(*this);
  SetVisibleFlag(false);
}

TForm::~TForm() {
  BeforeDestruction();
  DestroyHandle();
  Application().UnregisterForm(*this);
}

void TForm::BeforeDestruction() {
  if (destroying_) return;
  destroying_ = true;
  if (OnDestroy) Application().Guard([&] { OnDestroy(this); });
  // The components go first, while the form's window still exists for them.
  DestroyComponents();
}

void TForm::CreateFromLayout(const std::string& resourceName) {
  CreateFromLayout(ReadLayout(ResourceText(resourceName)));
}

void TForm::CreateFromLayout(const LayoutNode& root) {
  Name = root.Name;
  bool visible = true;
  for (const auto& property : root.Properties) {
    if (property.Name == "Visible") {
      visible = LayoutBoolean(property.Value, property.Name);
    } else if (!ReadProperty(property.Name, property.Value, *this)) {
      throw Exception("Unknown property " + property.Name + " of " + Name);
    }
  }
  ReadChildren(root, *this);
  std::function<void(TComponent&)> announce = [&](TComponent& component) {
    for (TComponent* owned : component.Components()) {
      owned->LayoutLoaded();
      announce(*owned);
    }
  };
  LayoutLoaded();
  announce(*this);
  CreateHandle();
  if (OnCreate) Application().Guard([&] { OnCreate(this); });
  if (visible) SetVisible(true);
}

void TForm::ReadProperties(TComponent& component, const LayoutNode& node, EventBinder& events) {
  for (const auto& property : node.Properties)
    if (!component.ReadProperty(property.Name, property.Value, events))
      throw Exception("Unknown property " + property.Name + " of " + node.Name);
}

void TForm::ReadChildren(const LayoutNode& node, TComponent& container) {
  for (const LayoutNode& child : node.Children) {
    TComponent* component = ComponentRegistry::Instance().Create(child.ClassName, this);
    component->Name = child.Name;
    container.InsertLayoutChild(*component);
    ReadProperties(*component, child, *this);
    ReadChildren(child, *component);
  }
}

bool TForm::ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) {
  if (name == "Caption") {
    Caption = LayoutString(value, name);
  } else if (name == "ClientWidth") {
    SetBounds(Rect{Left(), Top(), LayoutInteger(value, name), Height()});
  } else if (name == "ClientHeight") {
    SetBounds(Rect{Left(), Top(), Width(), LayoutInteger(value, name)});
  } else if (name == "Position") {
    std::string id = LayoutIdentifier(value, name);
    if (id == "poDesktopCenter")
      Position = TPosition::poDesktopCenter;
    else if (id == "poDesigned")
      Position = TPosition::poDesigned;
    else
      throw Exception("Unknown position " + id);
  } else if (name == "BorderStyle") {
    // Forms of this program have no system frame.
    if (LayoutIdentifier(value, name) != "bsNone") throw Exception("Only bsNone forms are supported");
  } else if (name == "BorderIcons") {
    if (value.Type != LayoutValue::Kind::Set) throw Exception("Property BorderIcons needs a set");
  } else if (name == "OnCreate") {
    OnCreate = events.NotifyHandler(LayoutIdentifier(value, name));
  } else if (name == "OnDestroy") {
    OnDestroy = events.NotifyHandler(LayoutIdentifier(value, name));
  } else if (name == "OnCloseQuery") {
    std::string handler = LayoutIdentifier(value, name);
    auto it = closeQueryHandlers_.find(handler);
    if (it == closeQueryHandlers_.end()) throw Exception("Unknown handler " + handler);
    OnCloseQuery = it->second;
  } else if (name == "PixelsPerInch" || name == "TextHeight") {
    LayoutInteger(value, name);  // design-time metrics
  } else {
    return TWinControl::ReadProperty(name, value, events);
  }
  return true;
}

TNotifyEvent TForm::NotifyHandler(const std::string& name) {
  auto it = notifyHandlers_.find(name);
  if (it == notifyHandlers_.end()) throw Exception("Unknown handler " + name);
  return it->second;
}

TMouseEvent TForm::MouseHandler(const std::string& name) {
  auto it = mouseHandlers_.find(name);
  if (it == mouseHandlers_.end()) throw Exception("Unknown handler " + name);
  return it->second;
}

TMenuMeasureItemEvent TForm::MeasureItemHandler(const std::string& name) {
  auto it = measureItemHandlers_.find(name);
  if (it == measureItemHandlers_.end()) throw Exception("Unknown handler " + name);
  return it->second;
}

TMenuDrawItemEvent TForm::DrawItemHandler(const std::string& name) {
  auto it = drawItemHandlers_.find(name);
  if (it == drawItemHandlers_.end()) throw Exception("Unknown handler " + name);
  return it->second;
}

WindowParams TForm::CreateParams() {
  WindowParams params;
  params.Kind = WindowKind::Popup;
  params.ClassName = WindowClassName();
  params.Text = Caption;
  params.Parent = Application().Handle();
  params.Bounds = BoundsRect();
  if (Position == TPosition::poDesktopCenter) {
    Rect area = Application().Services().windowing.WorkArea();
    params.Bounds.Left = area.Left + (area.Width - Width()) / 2;
    params.Bounds.Top = area.Top + (area.Height - Height()) / 2;
  }
  params.Visible = false;
  return params;
}

void TForm::SetVisible(bool visible) {
  SetVisibleFlag(visible);
  if (!HandleAllocated()) return;
  Windowing& windowing = Application().Services().windowing;
  windowing.ShowWindow(Handle(), visible ? ShowCommand::Show : ShowCommand::Hide);
  if (visible) windowing.SetForegroundWindow(Handle());
}

void TForm::BringToFront() {
  if (HandleAllocated()) Application().Services().windowing.SetForegroundWindow(Handle());
}

void TForm::Close() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
  if (Application().MainForm() == this) {
    Application().Terminate();
  } else {
    SetVisible(false);
  }
}

bool TForm::WindowProc(Message& m) {
  switch (m.Msg) {
    case wmClose:
      Application().Guard([&] { Close(); });
      return true;
    default:
      return TWinControl::WindowProc(m);
  }
}

}  // namespace kelpo
