#pragma once
// What the settings fuzz targets check on each input, shared with the test
// that runs their findings (tests/settings/regress/), so that a finding fails
// there exactly as it failed in the fuzzer. Each check answers the first rule
// the input breaks, or nothing.
//
// TextFormFault: byte 0 picks a regional set of tests/settings/RegionalSets.h,
// byte 1 the current year (1900 + 2 x byte), bytes 2..9 a value; the rest is a
// text. The value, taken as an integer, a number, a date within the years a
// two-digit year reaches and a whole second of a day, is written and must read
// back as itself. The text is read as each of the four; whatever reads is
// written and read again, and must then come back unchanged and be written
// the same (a time loses its milliseconds, a number its digits past 15, once).
//
// SettingsFileFault: the input is the bytes of "settings.ini", the regional set
// picked by its size. The five keys of the schedule are written through the
// settings file and must read back as written; every other key the file holds
// (every line's name, in the section it stands in) must read as it read before,
// up to a header without a name ("[]"): the profile functions write the file
// back without it, as Windows does, so the keys under it join the section before.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sim/SimProfileFiles.h"
#include "settings/DateTime.h"
#include "settings/SettingsFile.h"
#include "settings/TextForms.h"
#include "tests/settings/RegionalSets.h"
#include "tests/support/FakeClock.h"

namespace kelpo::test {

inline const std::vector<RegionalSet>& FuzzRegionalSets() {
  static const std::vector<RegionalSet> sets = RegionalSets();
  return sets;
}

namespace fuzz_detail {

inline std::uint64_t Bits(std::span<const std::uint8_t> bytes, std::size_t from, std::size_t count) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < count; ++i) bits = bits << 8 | (from + i < bytes.size() ? bytes[from + i] : 0);
  return bits;
}

inline std::optional<std::string> IntegerFault(int value, std::string_view text) {
  if (TryStrToInt(IntToStr(value)) != value) return "an integer does not read back: " + IntToStr(value);
  const auto read = TryStrToInt(text);
  if (read && TryStrToInt(IntToStr(*read)) != read)
    return "an integer read from \"" + std::string(text) + "\" does not read back";
  return std::nullopt;
}

inline std::optional<std::string> NumberFault(double value, std::string_view text, const FormatSettings& formats) {
  if (std::isfinite(value)) {
    const std::string written = FloatToStr(value, formats);
    const auto back = TryStrToFloat(written, formats);
    if (!back || std::fabs(*back - value) > std::fabs(value) * 1e-14)
      return "a number does not read back: \"" + written + "\"";
    if (FloatToStr(*back, formats) != written) return "a number is written two ways: \"" + written + "\"";
  }
  if (const auto read = TryStrToFloat(text, formats)) {
    if (!std::isfinite(*read)) return "\"" + std::string(text) + "\" reads as no finite number";
    const std::string written = FloatToStr(*read, formats);
    const auto back = TryStrToFloat(written, formats);
    if (!back) return "a number read from \"" + std::string(text) + "\" is written as \"" + written + "\", unreadable";
    if (FloatToStr(*back, formats) != written || TryStrToFloat(FloatToStr(*back, formats), formats) != back)
      return "a number read from \"" + std::string(text) + "\" does not settle: \"" + written + "\"";
  }
  return std::nullopt;
}

inline std::optional<std::string> DateFault(TDateTime value, std::string_view text, const FormatSettings& formats,
                                            int currentYear) {
  const std::string written = DateToStr(value, formats);
  if (TryStrToDate(written, formats, currentYear) != value) return "a date does not read back: \"" + written + "\"";
  if (const auto read = TryStrToDate(text, formats, currentYear)) {
    if (TimeOf(*read) != 0) return "a date read from \"" + std::string(text) + "\" has a time";
    const std::string again = DateToStr(*read, formats);
    const auto back = TryStrToDate(again, formats, currentYear);
    if (!back) return "a date read from \"" + std::string(text) + "\" is written as \"" + again + "\", unreadable";
    // A two-digit year of the format carries only the years it reaches.
    const int year = DecodeDate(*read).Year;
    if (year >= currentYear - 50 && year < currentYear + 50 && back != read)
      return "a date read from \"" + std::string(text) + "\" comes back as another from \"" + again + "\"";
    if (DateToStr(*back, formats) != again)
      return "a date read from \"" + std::string(text) + "\" does not settle: \"" + again + "\"";
  }
  return std::nullopt;
}

inline std::optional<std::string> TimeFault(TDateTime value, std::string_view text, const FormatSettings& formats) {
  const std::string written = TimeToStr(value, formats);
  if (TryStrToTime(written, formats) != value) return "a time does not read back: \"" + written + "\"";
  if (const auto read = TryStrToTime(text, formats)) {
    if (*read < 0 || *read >= 1) return "a time read from \"" + std::string(text) + "\" lies outside the day";
    const std::string again = TimeToStr(*read, formats);
    const auto back = TryStrToTime(again, formats);
    if (!back) return "a time read from \"" + std::string(text) + "\" is written as \"" + again + "\", unreadable";
    if (TimeToStr(*back, formats) != again || TryStrToTime(TimeToStr(*back, formats), formats) != back)
      return "a time read from \"" + std::string(text) + "\" does not settle: \"" + again + "\"";
  }
  return std::nullopt;
}

inline std::string_view TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

inline bool SameName(std::string_view a, std::string_view b) {
  a = TrimBlanks(a);
  b = TrimBlanks(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Every line's (section, key) as the profile rules name them.
inline std::vector<std::pair<std::string, std::string>> KeysOf(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> keys;
  std::string section;
  while (!text.empty() && keys.size() < 64) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = TrimBlanks(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.front() == '[' && line.rfind(']') != std::string_view::npos) {
      section = std::string(line.substr(1, line.rfind(']') - 1));
      if (TrimBlanks(section).empty()) break;
    } else if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
      keys.emplace_back(section, std::string(line.substr(0, equals)));
    }
  }
  return keys;
}

}  // namespace fuzz_detail

inline std::optional<std::string> TextFormFault(std::span<const std::uint8_t> input) {
  using namespace fuzz_detail;
  const auto& sets = FuzzRegionalSets();
  const FormatSettings& formats = sets[Bits(input, 0, 1) % sets.size()].Formats;
  const int currentYear = 1900 + 2 * static_cast<int>(Bits(input, 1, 1));
  const std::uint64_t value = Bits(input, 2, 8);
  const std::string_view text =
      input.size() > 10 ? std::string_view(reinterpret_cast<const char*>(input.data()) + 10, input.size() - 10)
                        : std::string_view();

  double number = 0;
  std::memcpy(&number, &value, sizeof number);
  const TDateTime date = EncodeDate(currentYear - 50, 1, 1) + static_cast<double>(value % 36524);
  const TDateTime second = EncodeTime(static_cast<int>(value % 86400 / 3600), static_cast<int>(value % 3600 / 60),
                                      static_cast<int>(value % 60), 0);
  if (auto fault = IntegerFault(static_cast<int>(static_cast<std::uint32_t>(value)), text)) return fault;
  if (auto fault = NumberFault(number, text, formats)) return fault;
  if (auto fault = DateFault(date, text, formats, currentYear)) return fault;
  if (auto fault = TimeFault(second, text, formats)) return fault;
  return std::nullopt;
}

// `file` is the path the input is written to; it is overwritten.
inline std::optional<std::string> SettingsFileFault(std::span<const std::uint8_t> input, const std::string& file) {
  using namespace fuzz_detail;
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
    if (!out) return "the input could not be written to " + file;
  }
  const std::string_view bytes(reinterpret_cast<const char*>(input.data()), input.size());
  const auto& sets = FuzzRegionalSets();
  const FormatSettings& formats = sets[input.size() % sets.size()].Formats;
  FakeClock clock(LocalTime{2026, 12, 5, 21, 30, 0, 0});
  SimProfileFiles files;
  SettingsFile settings(files, formats, clock, file);

  // Others' keys, read as the profile functions see them before any write.
  const char* const written[] = {"SchID", "SchFrequency", "Time", "Day", "DateLastRun"};
  std::vector<std::pair<std::string, std::string>> others;
  for (auto& [section, key] : KeysOf(bytes)) {
    bool ours = false;
    for (const char* name : written) ours = ours || (SameName(section, "Scheduler") && SameName(key, name));
    if (!ours) others.emplace_back(section, key);
  }
  std::vector<std::string> before;
  for (const auto& [section, key] : others) before.push_back(files.GetString(file, section, key, "\x01none", 2048));

  // Every start reads them (whatever the file holds, reads only answer).
  settings.ReadInteger("Scheduler", "SchID", 0);
  settings.ReadFloat("Scheduler", "SchFrequency", 3);
  settings.ReadTime("Scheduler", "Time", 0);
  settings.ReadString("Scheduler", "Day", "Sunday");
  settings.ReadDate("Scheduler", "DateLastRun", 0);

  const int unit = static_cast<int>(input.size() % 5);
  const double count = 1 + static_cast<double>(input.size() % 30);
  const TDateTime at = EncodeTime(static_cast<int>(input.size() % 24), 30, 15, 0);
  const TDateTime lastRun = EncodeDate(2026, 12, 4);
  try {
    settings.WriteInteger("Scheduler", "SchID", unit);
    settings.WriteFloat("Scheduler", "SchFrequency", count);
    settings.WriteTime("Scheduler", "Time", at);
    settings.WriteString("Scheduler", "Day", "Friday");
    settings.WriteDate("Scheduler", "DateLastRun", lastRun);
  } catch (const std::exception& error) {
    return std::string("a write was refused: ") + error.what();
  }
  if (settings.ReadInteger("Scheduler", "SchID", -1) != unit) return "SchID does not read back";
  if (settings.ReadFloat("Scheduler", "SchFrequency", -1) != count) return "SchFrequency does not read back";
  if (settings.ReadTime("Scheduler", "Time", -1) != at) return "Time does not read back";
  if (settings.ReadString("Scheduler", "Day", "") != "Friday") return "Day does not read back";
  if (settings.ReadDate("Scheduler", "DateLastRun", -1) != lastRun) return "DateLastRun does not read back";
  for (std::size_t i = 0; i < others.size(); ++i) {
    if (files.GetString(file, others[i].first, others[i].second, "\x01none", 2048) != before[i])
      return "the writes changed key \"" + others[i].second + "\" of section \"" + others[i].first + "\"";
  }
  return std::nullopt;
}

}  // namespace kelpo::test
