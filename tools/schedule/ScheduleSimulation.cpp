#include "tools/schedule/ScheduleSimulation.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/MainForm.h"
#include "app/ProgramComponents.h"
#include "base/Calendar.h"
#include "platform/sim/SimPlatform.h"
#include "settings/DateTime.h"

namespace kelpo {
namespace {

// The program looks for "settings.ini" in its folder; these two services show
// it the chosen file under that name instead.
class AliasedProfileFiles : public ProfileFiles {
 public:
  AliasedProfileFiles(ProfileFiles& inner, std::string alias, std::string file)
      : inner_(inner), alias_(std::move(alias)), file_(std::move(file)) {}
  std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultText, unsigned bufferSize) override {
    return inner_.GetString(Resolve(file), section, key, defaultText, bufferSize);
  }
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override {
    return inner_.WriteString(Resolve(file), section, key, value);
  }

 private:
  const std::string& Resolve(const std::string& file) const { return file == alias_ ? file_ : file; }
  ProfileFiles& inner_;
  std::string alias_;
  std::string file_;
};

class AliasedFileSystem : public FileSystem {
 public:
  AliasedFileSystem(FileSystem& inner, std::string folder, std::string file)
      : inner_(inner), folder_(std::move(folder)), file_(std::move(file)) {}
  std::string ExecutablePath() override { return folder_ + "kelpo.exe"; }
  std::string ExecutableFolder() override { return folder_; }
  bool FileExists(const std::string& path) override { return inner_.FileExists(Resolve(path)); }
  std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override {
    return inner_.ReadFile(Resolve(path));
  }

 private:
  std::string Resolve(const std::string& path) const { return path == folder_ + "settings.ini" ? file_ : path; }
  FileSystem& inner_;
  std::string folder_;
  std::string file_;
};

LocalTime ToLocalTime(std::int64_t millis) {
  SimClock clock;
  clock.SetMillis(millis);
  return clock.Now();
}

std::int64_t MillisOf(const LocalTime& t) {
  SimClock clock;
  clock.Set(t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, t.Millisecond);
  return clock.Millis();
}

// One run of the program on a computer that is on from the session's start to its end.
void RunSession(const ScheduleRun& run, const ScheduleSession& session, ScheduleOutcome& outcome) {
  const std::filesystem::path file = std::filesystem::absolute(run.SettingsFile);
  const std::string folder = file.parent_path().string() + "/";

  SimPlatform sim;
  AliasedProfileFiles profiles(sim.profiles, folder + "settings.ini", file.string());
  AliasedFileSystem files(sim.files, folder, file.string());
  Platform platform = sim.Services().With(files, profiles);
  sim.regional.Set(run.Region);
  sim.clock.SetMillis(MillisOf(session.Start));
  {
    TApplication application(platform);
    application.SetTitle("Kelpo");
    TMainForm form(application);
    if (run.UnitSelected) static_cast<SimComboBoxPeer&>(*form.ComboBox1->Peer()).UserSelect(*run.UnitSelected);
    form.Image7Click(form.Image7);
    sim.windowing.RunUntil(MillisOf(session.Until));
  }
  // Each wash begins by showing the hourglass.
  const auto& overrides = sim.windowing.CursorOverrides();
  for (std::size_t i = 0; i < overrides.size(); ++i)
    if (overrides[i] == CursorKind::HourGlass)
      outcome.Washes.push_back(ToLocalTime(sim.windowing.CursorOverrideTimes()[i]));
  for (const auto& box : sim.dialogs.Shown()) outcome.Messages.push_back(box.Text);
}

}  // namespace

std::optional<LocalTime> ParseLocalTime(const std::string& text) {
  LocalTime t;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.Year, &t.Month, &t.Day, &t.Hour, &t.Minute, &t.Second,
                  &tail) != 6)
    return std::nullopt;
  if (text.size() != 19 || !TryEncodeDate(t.Year, t.Month, t.Day) || t.Hour > 23 || t.Minute > 59 || t.Second > 59 ||
      t.Hour < 0 || t.Minute < 0 || t.Second < 0)
    return std::nullopt;
  return t;
}

std::optional<LocalTime> ParseTimeOfDay(const std::string& text) {
  return ParseLocalTime("2000-01-01 " + text);
}

std::string FormatLocalTime(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second);
  return text;
}

std::vector<ScheduleSession> DailySessions(const LocalTime& from, const LocalTime& until, const LocalTime& dayStart,
                                           const LocalTime& dayEnd) {
  constexpr std::int64_t day = MillisecondsPerDay;
  const auto timeOfDay = [](const LocalTime& t) {
    return ((t.Hour * 60 + t.Minute) * 60 + t.Second) * std::int64_t{1000} + t.Millisecond;
  };
  const std::int64_t first = MillisOf(from);
  const std::int64_t last = MillisOf(until);
  std::vector<ScheduleSession> sessions;
  for (std::int64_t midnight = first - first % day; midnight <= last; midnight += day) {
    const std::int64_t start = std::max(first, midnight + timeOfDay(dayStart));
    const std::int64_t end = std::min(last, midnight + timeOfDay(dayEnd));
    if (start < end) sessions.push_back(ScheduleSession{ToLocalTime(start), ToLocalTime(end)});
  }
  return sessions;
}

ScheduleOutcome SimulateSchedule(const ScheduleRun& run) {
  RegisterProgramComponents();
  ScheduleOutcome outcome;
  if (run.Sessions.empty()) {
    RunSession(run, ScheduleSession{run.Start, run.Until}, outcome);
  } else {
    for (const ScheduleSession& session : run.Sessions) RunSession(run, session, outcome);
  }
  return outcome;
}

}  // namespace kelpo
