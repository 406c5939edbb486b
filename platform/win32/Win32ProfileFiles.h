#pragma once
// Profile files through GetPrivateProfileStringA and WritePrivateProfileStringA.

#include "platform/ProfileFiles.h"

namespace kelpo {

class Win32ProfileFiles : public ProfileFiles {
 public:
  std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultText, unsigned bufferSize) override;
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override;
};

}  // namespace kelpo
