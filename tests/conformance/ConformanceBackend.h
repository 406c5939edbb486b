#pragma once
// The backend a conformance suite runs against: the simulation natively, the
// Win32 implementation under Windows (Wine).

#include <memory>
#include <string>

#include "platform/ProfileFiles.h"

namespace kelpo {

std::unique_ptr<ProfileFiles> MakeProfileFilesUnderTest();

// A fresh empty folder, its path ending with the platform's separator.
std::string MakeTempFolder();

}  // namespace kelpo
