#pragma once
// The wash: deletes the current user's typed-address key with its subtree, then
// every cache entry the enumerator selects with the null pattern. The
// hourglass shows meanwhile, the arrow (not the default cursor) afterwards,
// also when a step raises an error, which then reaches the caller.

#include "framework/Application.h"
#include "wash/IECache.h"

namespace kelpo {

// The addresses typed into the browser's address bar, below the current user's root.
inline constexpr const char* TypedUrlsKey = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs";

class WashCommand {
 public:
  WashCommand(TApplication& application, TIECache& cache) : app_(application), cache_(cache) {}

  void Run();

 private:
  TApplication& app_;
  TIECache& cache_;
};

}  // namespace kelpo
