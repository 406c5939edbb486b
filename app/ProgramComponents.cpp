#include "app/ProgramComponents.h"

#include "wash/IECache.h"

namespace kelpo {

void RegisterProgramComponents() {
  static const bool registered = [] {
    RegisterWashComponents();
    return true;
  }();
  (void)registered;
}

}  // namespace kelpo
