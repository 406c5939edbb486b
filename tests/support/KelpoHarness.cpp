#include "tests/support/KelpoHarness.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "app/ProgramComponents.h"

namespace kelpo {

KelpoHarness::KelpoHarness() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelpo-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  folder_ = pattern + "/";
  sim.files.SetExecutableFolder(folder_);
  // The images folder of an installation: a plain pressed picture for each
  // image button and the tray menu's header.
  std::filesystem::create_directory(folder_ + "images");
  for (const char* name : {"pstart.bmp", "pstop.bmp", "apply.bmp", "washnow.bmp", "help.bmp"})
    WriteImage(name, TBitmap(16, 16, 0x996633));
  WriteImage("kelpo3.bmp", TBitmap(188, 98, 0x663300));
}

void KelpoHarness::WriteImage(const std::string& name, const TBitmap& picture) const {
  const std::vector<std::uint8_t> bytes = picture.SaveToBmp();
  WriteImageBytes(name, std::string(bytes.begin(), bytes.end()));
}

void KelpoHarness::WriteImageBytes(const std::string& name, const std::string& bytes) const {
  std::ofstream out(folder_ + "images/" + name, std::ios::binary);
  out << bytes;
}

KelpoHarness::~KelpoHarness() {
  Stop();
  std::error_code error;
  std::filesystem::remove_all(folder_, error);
}

void KelpoHarness::WriteSettings(const std::string& text) const {
  WriteSettingsBytes(text);
}

void KelpoHarness::WriteSettingsBytes(const std::string& bytes) const {
  std::ofstream out(SettingsPath(), std::ios::binary);
  out << bytes;
}

bool KelpoHarness::SettingsExist() const {
  return std::filesystem::exists(SettingsPath());
}

std::string KelpoHarness::ReadSettings() const {
  std::ifstream in(SettingsPath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void KelpoHarness::Start(const FormatSettings& region) {
  RegisterProgramComponents();
  sim.regional.Set(region);
  cacheLibrary = std::make_unique<CacheLibrary>(sim.cache);
  detector = std::make_unique<TInstanceDetector>(platform.mutexes, platform.files);
  app = std::make_unique<TApplication>(platform);
  detector->Serve(*app);
  app->SetTitle("Kelpo");
  form = std::make_unique<TMainForm>(*app, cacheLibrary.get());
}

void KelpoHarness::Stop() {
  form.reset();
  app.reset();
  detector.reset();
  cacheLibrary.reset();
  // The process would end here; the next start must not find its quit.
  if (sim.windowing.QuitPending()) sim.windowing.RunMessageLoop();
}

std::optional<std::uint32_t> KelpoHarness::RunningTimerInterval() const {
  return sim.windowing.TimerInterval(form->Timer1->Handle(), 1);
}

std::string KelpoHarness::SentenceParts() const {
  std::string flags;
  for (bool shown : {form->Label2->Visible(), form->DateTimePicker1->Visible(), form->Label3->Visible(),
                     form->ComboBox2->Visible(), form->Label4->Visible()})
    flags += shown ? '1' : '0';
  return flags;
}

}  // namespace kelpo
