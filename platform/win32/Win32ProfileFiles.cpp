#include "platform/win32/Win32ProfileFiles.h"

#include <vector>

#include "platform/win32/Win32Api.h"

namespace kelpo {

std::string Win32ProfileFiles::GetString(const std::string& file, const std::string& section, const std::string& key,
                                         const std::string& defaultText, unsigned bufferSize) {
  if (bufferSize == 0) return {};
  std::vector<char> buffer(bufferSize, '\0');
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(), buffer.data(),
                                                bufferSize, file.c_str());
  return std::string(buffer.data(), length < bufferSize ? length : bufferSize - 1);
}

bool Win32ProfileFiles::WriteString(const std::string& file, const std::string& section, const std::string& key,
                                    const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

}  // namespace kelpo
