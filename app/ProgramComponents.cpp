#include "app/ProgramComponents.h"

#include "gif/GIFImage.h"
#include "tray/TrayIcon.h"
#include "wash/IECache.h"

namespace kelpo {

void RegisterProgramComponents() {
  static const bool registered = [] {
    RegisterWashComponents();
    RegisterGIFComponents();
    RegisterTrayComponents();
    return true;
  }();
  (void)registered;
}

}  // namespace kelpo
