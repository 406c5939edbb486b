#pragma once
// The set of system services the program runs on. Built once at start (Win32
// or simulation) and handed to the application object; nothing is global.

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Graphics.h"
#include "platform/InternetCache.h"
#include "platform/Menus.h"
#include "platform/ProfileFiles.h"
#include "platform/RegionalSettings.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Threads.h"
#include "platform/VersionInfo.h"
#include "platform/Widgets.h"
#include "platform/Windowing.h"

namespace kelpo {

struct Platform {
  Clock& clock;
  Dialogs& dialogs;
  FileSystem& files;
  Graphics& graphics;
  ProfileFiles& profiles;
  RegionalSettings& regional;
  Widgets& widgets;
  Windowing& windowing;
  InternetCache& cache;
  Registry& registry;
  Menus& menus;
  Threads& threads;
  VersionInfo& versionInfo;
  Shell& shell;
};

}  // namespace kelpo
