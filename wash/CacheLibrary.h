#pragma once
// Whether the system's Internet cache library offers the functions the cache
// enumerator needs. Probed once at program start, before any window exists; a
// positive answer is kept for good, after a negative one every check probes
// afresh and keeps nothing.

#include "platform/InternetCache.h"

namespace kelpo {

// One probe of the library; an error raised by it counts as "not found".
bool ProbeCacheLibrary(InternetCache& cache);

class CacheLibrary {
 public:
  explicit CacheLibrary(InternetCache& cache) : cache_(cache), found_(ProbeCacheLibrary(cache)) {}
  CacheLibrary(const CacheLibrary&) = delete;
  CacheLibrary& operator=(const CacheLibrary&) = delete;

  bool FoundAtStart() const { return found_; }
  bool Check() { return found_ || ProbeCacheLibrary(cache_); }

 private:
  InternetCache& cache_;
  const bool found_;
};

}  // namespace kelpo
