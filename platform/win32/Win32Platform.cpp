#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Graphics.h"
#include "platform/win32/Win32InternetCache.h"
#include "platform/win32/Win32Menus.h"
#include "platform/win32/Win32Mutexes.h"
#include "platform/win32/Win32NotifyIcons.h"
#include "platform/win32/Win32ProfileFiles.h"
#include "platform/win32/Win32RegionalSettings.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Threads.h"
#include "platform/win32/Win32VersionInfo.h"
#include "platform/win32/Win32Widgets.h"
#include "platform/win32/Win32WindowSearch.h"
#include "platform/win32/Win32Windowing.h"

namespace kelpo {

struct Win32Platform::Impl {
  Win32Clock clock;
  Win32Dialogs dialogs;
  Win32FileSystem files;
  Win32Graphics graphics;
  Win32ProfileFiles profiles;
  Win32RegionalSettings regional;
  Win32Windowing windowing{graphics};
  Win32Widgets widgets{windowing};
  Win32InternetCache cache;
  Win32Registry registry;
  Win32Menus menus{graphics};
  Win32Threads threads;
  Win32NotifyIcons notifyIcons;
  Win32Shell shell;
  Win32VersionInfo versionInfo;
  Win32Mutexes mutexes;
  Win32WindowSearch windowSearch;
  Platform services{clock,    dialogs, files,   graphics,    profiles, regional,    widgets, windowing,   cache,
                    registry, menus,   threads, notifyIcons, shell,    versionInfo, mutexes, windowSearch};
};

Win32Platform::Win32Platform() : impl_(std::make_unique<Impl>()) {}

Win32Platform::~Win32Platform() = default;

Platform& Win32Platform::Services() {
  return impl_->services;
}

}  // namespace kelpo
