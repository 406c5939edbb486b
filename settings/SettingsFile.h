#pragma once
// The settings file: one profile (INI) file opened by its full path, read and
// written key by key in the regional text forms, with nothing cached. Created
// for one operation and discarded after it.

#include <string>

#include "platform/Clock.h"
#include "platform/ProfileFiles.h"
#include "platform/RegionalSettings.h"
#include "platform/Types.h"

namespace kelpo {

class SettingsFile {
 public:
  SettingsFile(ProfileFiles& files, const FormatSettings& formats, Clock& clock, std::string path);

  const std::string& Path() const { return FilePath; }

  // Reads answer the default when the file, section or key is missing, the
  // value is empty or it does not convert. ReadString answers an empty value
  // as an empty text.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  double ReadFloat(const std::string& section, const std::string& key, double defaultValue) const;
  std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
  TDateTime ReadDate(const std::string& section, const std::string& key, TDateTime defaultValue) const;
  TDateTime ReadTime(const std::string& section, const std::string& key, TDateTime defaultValue) const;

  // Writes throw kelpo::Exception "Unable to write to <path>" when the system
  // refuses; keys written before stay written.
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteFloat(const std::string& section, const std::string& key, double value);
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteDate(const std::string& section, const std::string& key, TDateTime value);  // the date only
  void WriteTime(const std::string& section, const std::string& key, TDateTime value);  // the time of day only

 private:
  std::string ReadValue(const std::string& section, const std::string& key, const std::string& defaultText) const;

  ProfileFiles& Files;
  FormatSettings Formats;
  Clock& LocalClock;
  std::string FilePath;
};

}  // namespace kelpo
