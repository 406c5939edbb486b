#include "ui/About.h"

#include "framework/Application.h"
#include "ui/ProductVersion.h"
#include "ui/WebAddresses.h"

namespace kelpo {

namespace {

// The version label covers the number drawn in the picture's version line,
// whatever the width of its own text.
constexpr int VersionLabelWidth = 90;
// Some fonts draw the last letter a few pixels past the text's measured extent
// (Wine's stand-in for "MS Sans Serif" does so for the address): the link keeps
// that room, so that it is never cut short.
constexpr int LastLetterRoom = 4;

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
  const int linkWidth = Label1->Width() + LastLetterRoom;
  Label1->SetAutoSize(false);
  Label1->SetBounds(Rect{(Width() - linkWidth) / 2, Label1->Top(), linkWidth, Label1->Height()});
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
