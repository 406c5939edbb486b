#include "wash/WashCommand.h"

#include "framework/BusyCursor.h"
#include "wash/RegistryTree.h"

namespace kelpo {

void WashCommand::Run() {
  BusyCursor busy(app_);
  // A missing or undeletable key is no reason to leave the cache as it is.
  RegistryTree(app_.Services().registry, RegistryCurrentUser).DeleteKey(TypedUrlsKey);
  cache_.SearchPattern = TSearchPattern::spAll;
  cache_.DeleteAllEntries();
}

}  // namespace kelpo
