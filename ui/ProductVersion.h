#pragma once
// The program's version as the about box shows it.

#include <string>

#include "platform/VersionInfo.h"

namespace kelpo {

// The major and minor numbers of the product version in the file's version
// resource, as "major.minor" (2.5.0.0 gives "2.5"); the file version is not
// looked at. Empty when the file has no version information or its fixed part
// cannot be read.
std::string ProductVersionText(VersionInfo& versionInfo, const std::string& path);

}  // namespace kelpo
