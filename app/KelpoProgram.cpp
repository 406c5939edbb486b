#include "app/KelpoProgram.h"

#include "app/MainForm.h"
#include "app/ProgramComponents.h"
#include "framework/Application.h"
#include "wash/CacheLibrary.h"

namespace kelpo {

int RunKelpo(Platform& platform) {
  // Before any window: the cache library is probed once.
  CacheLibrary cacheLibrary(platform.cache);
  RegisterProgramComponents();
  TApplication application(platform);
  application.SetTitle("Kelpo");
  try {
    TMainForm mainForm(application, &cacheLibrary);
    application.Run();
  } catch (const std::exception& error) {
    // A window that cannot even be built: say why and end.
    application.ShowException(error);
  }
  return 0;
}

}  // namespace kelpo
