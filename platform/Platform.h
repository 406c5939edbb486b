#pragma once
// The set of system services the program runs on. Built once at start (Win32
// or simulation) and handed to the application object; nothing is global.

#include <type_traits>

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Graphics.h"
#include "platform/InternetCache.h"
#include "platform/Menus.h"
#include "platform/Mutexes.h"
#include "platform/NotifyIcons.h"
#include "platform/ProfileFiles.h"
#include "platform/RegionalSettings.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Threads.h"
#include "platform/VersionInfo.h"
#include "platform/Widgets.h"
#include "platform/WindowSearch.h"
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
  NotifyIcons& notifyIcons;
  Shell& shell;
  VersionInfo& versionInfo;
  Mutexes& mutexes;
  WindowSearch& windowSearch;

  // The same services with some replaced, each by the argument that
  // implements its interface (tests swap in recording or virtual ones):
  // platform.With(clock, profiles).
  template <class... Replacements>
  Platform With(Replacements&... replacements) const {
    return Platform{
        Pick(clock, replacements...),       Pick(dialogs, replacements...),     Pick(files, replacements...),
        Pick(graphics, replacements...),    Pick(profiles, replacements...),    Pick(regional, replacements...),
        Pick(widgets, replacements...),     Pick(windowing, replacements...),   Pick(cache, replacements...),
        Pick(registry, replacements...),    Pick(menus, replacements...),       Pick(threads, replacements...),
        Pick(notifyIcons, replacements...), Pick(shell, replacements...),       Pick(versionInfo, replacements...),
        Pick(mutexes, replacements...),     Pick(windowSearch, replacements...)};
  }

 private:
  template <class Service, class... Replacements>
  static Service& Pick(Service& current, Replacements&... replacements) {
    Service* chosen = &current;
    const auto consider = [&chosen](auto& replacement) {
      if constexpr (std::is_base_of_v<Service, std::remove_cvref_t<decltype(replacement)>>) chosen = &replacement;
    };
    (consider(replacements), ...);
    return *chosen;
  }
};

}  // namespace kelpo
