#pragma once
// The framework's silent cancellation: it unwinds like any error, and the
// application's default error handler shows nothing for it.

#include "base/Exception.h"

namespace kelpo {

class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

}  // namespace kelpo
