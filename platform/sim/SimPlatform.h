#pragma once
// The whole simulated platform, wired together.

#include "platform/Platform.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimDialogs.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimGraphics.h"
#include "platform/sim/SimInternetCache.h"
#include "platform/sim/SimMenus.h"
#include "platform/sim/SimMutexes.h"
#include "platform/sim/SimNotifyIcons.h"
#include "platform/sim/SimProfileFiles.h"
#include "platform/sim/SimRegionalSettings.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimThreads.h"
#include "platform/sim/SimVersionInfo.h"
#include "platform/sim/SimWidgets.h"
#include "platform/sim/SimWindowSearch.h"
#include "platform/sim/SimWindowing.h"

namespace kelpo {

class SimPlatform {
 public:
  SimPlatform() = default;
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  SimClock clock;
  SimDialogs dialogs;
  SimFileSystem files;
  SimGraphics graphics;
  SimProfileFiles profiles;
  SimRegionalSettings regional;
  SimThreads threads;
  SimWindowing windowing{clock, threads};
  SimWidgets widgets{windowing};
  SimInternetCache cache;
  SimRegistry registry;
  SimMenus menus{windowing};
  SimNotifyIcons notifyIcons{windowing};
  SimShell shell;
  SimVersionInfo versionInfo;
  SimMutexes mutexes;
  SimWindowSearch windowSearch{windowing};

  Platform& Services() { return services_; }

 private:
  Platform services_{clock,    dialogs, files,   graphics,    profiles, regional,    widgets, windowing,   cache,
                     registry, menus,   threads, notifyIcons, shell,    versionInfo, mutexes, windowSearch};
};

}  // namespace kelpo
