#include "ui/About.h"

#include "framework/Application.h"
#include "ui/ProductVersion.h"
#include "ui/WebAddresses.h"

namespace kelpo {

namespace {

// The version label covers the number drawn in the picture's version line,
// whatever the width of its own text.
constexpr int VersionLabelWidth = 90;

}  // namespace

TAboutDialog::TAboutDialog(TApplication& application) : TForm(application) {
  CreateFromLayout("AboutDialog.layout");
}

TAboutDialog::~TAboutDialog() {
  BeforeDestruction();
}

const HandlerTable& TAboutDialog::Handlers() const {
  static const HandlerTable table{
      Handler("FormCreate", &TAboutDialog::FormCreate),
      Handler("Label1Click", &TAboutDialog::Label1Click),
      Handler("Label2Click", &TAboutDialog::Label2Click),
  };
  return table;
}

const FieldTable& TAboutDialog::Fields() const {
  static const FieldTable table{
      Field("GIFImage1", &TAboutDialog::GIFImage1),
      Field("Label1", &TAboutDialog::Label1),
      Field("Label2", &TAboutDialog::Label2),
      Field("Label3", &TAboutDialog::Label3),
  };
  return table;
}

void TAboutDialog::FormCreate(TComponent*) {
  // The link shows exactly the address a click opens, centred under the product name.
  Label1->SetCaption(HomePageAddress);
  Label1->SetBounds(Rect{(Width() - Label1->Width()) / 2, Label1->Top(), Label1->Width(), Label1->Height()});
  Platform& services = Application().Services();
  Label3->SetCaption(ProductVersionText(services.versionInfo, services.files.ExecutablePath()));
  Label3->SetWidth(VersionLabelWidth);
}

void TAboutDialog::ShowBox() {
  if (Visible() && Application().Services().windowing.IsWindowVisible(Handle())) {
    BringToFront();
    return;
  }
  SetVisible(true);
}

void TAboutDialog::Label1Click(TComponent*) {
  Application().Services().shell.Execute(Handle(), "open", HomePageAddress, ShowCommand::ShowNormal);
}

void TAboutDialog::Label2Click(TComponent*) {
  Close();
}

}  // namespace kelpo
