#include "app/KelpoProgram.h"

#include "app/MainForm.h"
#include "framework/Application.h"

namespace kelpo {

int RunKelpo(Platform& platform) {
  TApplication application(platform);
  application.SetTitle("Kelpo");
  try {
    TMainForm mainForm(application);
    application.Run();
  } catch (const std::exception& error) {
    // A window that cannot even be built: say why and end.
    application.ShowException(error);
  }
  return 0;
}

}  // namespace kelpo
