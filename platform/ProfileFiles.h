#pragma once
// Profile (INI) file access, key by key, with the full path of the file.
// Windows: GetPrivateProfileStringA / WritePrivateProfileStringA.

#include <string>

namespace kelpo {

class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;

  // The key's text, or `defaultText` when the file, section or key is missing.
  // At most `bufferSize - 1` characters of the value are returned.
  virtual std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& defaultText, unsigned bufferSize) = 0;

  // Writes the key, creating the file and section as needed. False when the
  // system refuses the write.
  virtual bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& value) = 0;
};

}  // namespace kelpo
