#include "wash/CacheLibrary.h"

#include <exception>

namespace kelpo {

bool ProbeCacheLibrary(InternetCache& cache) {
  try {
    return cache.ProbeLibrary();
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace kelpo
