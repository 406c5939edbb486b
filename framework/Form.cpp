#include "framework/Form.h"

#include "framework/Application.h"
#include "framework/FormReader.h"
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
  FormReader(*this).Read(root);
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
  if (showWhenLoaded_) SetVisible(true);
}

const PropertyTable& TForm::StaticProperties() {
  const auto setClientWidth = [](TForm& form, int width) {
    form.SetBounds(Rect{form.Left(), form.Top(), width, form.Height()});
  };
  const auto setClientHeight = [](TForm& form, int height) {
    form.SetBounds(Rect{form.Left(), form.Top(), form.Width(), height});
  };
  static const PropertyTable table(
      TWinControl::StaticProperties(),
      {
          Property("Caption", &TForm::Caption, std::string()),
          Property<TForm>("ClientWidth", &TForm::Width, setClientWidth, 0),
          Property<TForm>("ClientHeight", &TForm::Height, setClientHeight, 0),
          Property("Position", &TForm::Position, TPosition::poDesigned),
          // A form is shown once it is built, unless its layout says otherwise.
          Property("Visible", &TForm::showWhenLoaded_, true),
          Fixed("BorderStyle", TFormBorderStyle::bsNone, "only forms without a frame (bsNone) are supported"),
          Ignored<std::vector<TBorderIcon>>("BorderIcons"),
          Ignored<int>("PixelsPerInch"),  // design-time metrics
          Ignored<int>("TextHeight"),
          Property("OnCreate", &TForm::OnCreate),
          Property("OnDestroy", &TForm::OnDestroy),
          Property("OnCloseQuery", &TForm::OnCloseQuery),
      });
  return table;
}

const HandlerTable& TForm::Handlers() const {
  static const HandlerTable none;
  return none;
}

const FieldTable& TForm::Fields() const {
  static const FieldTable none;
  return none;
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

bool TForm::Activated(Message& m) {
  // An activated form gives the keyboard focus back to its control that had
  // it last, instead of taking it itself as the default processing does.
  if ((m.WParam & 0xFFFF) == waInactive || !Application().ActiveControlWindow()) return false;
  const TControl* top = Application().ActiveControl();
  while (top && top->Parent()) top = top->Parent();
  if (top != this) return false;
  Application().Services().windowing.SetFocus(Application().ActiveControlWindow());
  m.Result = 0;
  return true;
}

bool TForm::WindowProc(Message& m) {
  switch (m.Msg) {
    case wmClose:
      Application().Guard([&] { Close(); });
      return true;
    case wmActivate:
      return Activated(m);
    default:
      return TWinControl::WindowProc(m);
  }
}

}  // namespace kelpo
