#include "settings/SettingsFile.h"

#include <utility>

#include "base/Exception.h"
#include "settings/DateTime.h"
#include "settings/TextForms.h"

namespace kelpo {
namespace {

// Values are read into a buffer of this many characters, so at most one less is seen.
constexpr unsigned ValueBufferSize = 2048;

}  // namespace

SettingsFile::SettingsFile(ProfileFiles& files, const FormatSettings& formats, Clock& clock, std::string path)
    : Files(files), Formats(formats), LocalClock(clock), FilePath(std::move(path)) {}

std::string SettingsFile::ReadValue(const std::string& section, const std::string& key,
                                    const std::string& defaultText) const {
  return Files.GetString(FilePath, section, key, defaultText, ValueBufferSize);
}

int SettingsFile::ReadInteger(const std::string& section, const std::string& key, int defaultValue) const {
  return StrToIntDef(ReadValue(section, key, ""), defaultValue);
}

double SettingsFile::ReadFloat(const std::string& section, const std::string& key, double defaultValue) const {
  return StrToFloatDef(ReadValue(section, key, ""), defaultValue, Formats);
}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue) const {
  return ReadValue(section, key, defaultValue);
}

TDateTime SettingsFile::ReadDate(const std::string& section, const std::string& key, TDateTime defaultValue) const {
  return StrToDateDef(ReadValue(section, key, ""), defaultValue, Formats, LocalClock.Now().Year);
}

TDateTime SettingsFile::ReadTime(const std::string& section, const std::string& key, TDateTime defaultValue) const {
  return StrToTimeDef(ReadValue(section, key, ""), defaultValue, Formats);
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, IntToStr(value));
}

void SettingsFile::WriteFloat(const std::string& section, const std::string& key, double value) {
  WriteString(section, key, FloatToStr(value, Formats));
}

void SettingsFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  if (!Files.WriteString(FilePath, section, key, value)) throw Exception("Unable to write to " + FilePath);
}

void SettingsFile::WriteDate(const std::string& section, const std::string& key, TDateTime value) {
  WriteString(section, key, DateToStr(value, Formats));
}

void SettingsFile::WriteTime(const std::string& section, const std::string& key, TDateTime value) {
  WriteString(section, key, TimeToStr(value, Formats));
}

}  // namespace kelpo
