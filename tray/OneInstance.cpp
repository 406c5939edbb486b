#include "tray/OneInstance.h"

#include <memory>

#include "framework/Abort.h"
#include "framework/Application.h"
#include "tray/InstanceDetector.h"

namespace kelpo {
namespace {

const char countSlot = 0;

// The application's count of TOneInstance objects.
struct InstanceCount : TApplication::SharedObject {
  std::uint8_t Count = 0;
};

InstanceCount& CountOf(TApplication& application) {
  auto* count = static_cast<InstanceCount*>(application.Shared(&countSlot));
  if (!count) {
    auto created = std::make_unique<InstanceCount>();
    count = created.get();
    application.SetShared(&countSlot, std::move(created));
  }
  return *count;
}

bool PreviousInstanceFound(const TApplication& application) {
  const TInstanceDetector* detector = TInstanceDetector::Of(application);
  return detector && detector->PreviousInstanceFound();
}

}  // namespace

TOneInstance::TOneInstance(TComponent* owner) : TComponent(owner) {
  InstanceCount& count = CountOf(Application());
  if (count.Count >= 1) {
    const std::string name = "TOneInstance";
    throw EOneInstanceError(name + ":\rAlready one " + name + " control in this project!");
  }
  ++count.Count;
}

TOneInstance::~TOneInstance() {
  InstanceCount& count = CountOf(Application());
  if (count.Count > 0) --count.Count;
}

const PropertyTable& TOneInstance::StaticProperties() {
  static const PropertyTable table(TComponent::StaticProperties(),
                                   {
                                       Property("About", &TOneInstance::About, &TOneInstance::SetAbout, std::string()),
                                       Property("Enabled", &TOneInstance::Enabled, true),
                                       Property("Mode", &TOneInstance::Mode, TOneInstanceMode::oiActivateOnly),
                                       Property("OnCustom", &TOneInstance::OnCustom),
                                   });
  return table;
}

void TOneInstance::LayoutLoaded() {
  TComponent::LayoutLoaded();
  TApplication& application = Application();
  if (!Enabled || !PreviousInstanceFound(application)) return;
  switch (Mode) {
    case TOneInstanceMode::oiActivateOnly:
      ActivatePreviousInstance(application);
      break;
    case TOneInstanceMode::oiDefaultMessage:
      application.Services().dialogs.MessageBox(application.Handle(),
                                                "\"" + application.Title() + "\" " + AlreadyStartedText, "Information",
                                                mbOk | mbIconInformation);
      ActivatePreviousInstance(application);
      break;
    case TOneInstanceMode::oiCustom:
      // An error of the handler is shown, and the program still ends.
      if (OnCustom)
        application.Guard([this] { OnCustom(this); });
      else
        ActivatePreviousInstance(application);
      break;
  }
  application.Terminate();
  // Unwinds the main window's creation before its creation handler; the
  // program's start catches it, shows nothing and ends with exit code 0.
  throw EAbort();
}

void ActivatePreviousInstance(TApplication& application) {
  if (!PreviousInstanceFound(application)) return;
  const std::string title = application.Title();
  application.Services().windowing.SetWindowText(application.Handle(), "");
  WindowSearch& search = application.Services().windowSearch;
  const WindowHandle running = search.FindWindow("TApplication", title);
  if (!running) return;
  if (search.IsIconic(running))
    search.Restore(running);
  else
    search.BringWindowToTop(running);
}

}  // namespace kelpo
