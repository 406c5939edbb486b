#pragma once
// The program: the application object, the main window, the message loop.

#include "platform/Platform.h"

namespace kelpo {

// Runs Kelpo on the given platform until its main window closes; answers the exit code.
int RunKelpo(Platform& platform);

}  // namespace kelpo
