#include "app/KelpoProgram.h"

#include "app/MainForm.h"
#include "app/ProgramComponents.h"
#include "framework/Application.h"
#include "tray/InstanceDetector.h"
#include "wash/CacheLibrary.h"

namespace kelpo {

int RunKelpo(Platform& platform) {
  // Before any window: the cache library is probed once, and the named mutex
  // tells whether another copy runs.
  CacheLibrary cacheLibrary(platform.cache);
  TInstanceDetector instanceDetector(platform.mutexes, platform.files);
  RegisterProgramComponents();
  TApplication application(platform);
  instanceDetector.Serve(application);
  application.SetTitle("Kelpo");
  try {
    TMainForm mainForm(application, &cacheLibrary);
    application.Run();
  } catch (const std::exception& error) {
    // A window that cannot even be built: say why and end. A second copy of
    // the program ends here silently (EAbort), before its window was made.
    application.ShowException(error);
  }
  return 0;
}

}  // namespace kelpo
