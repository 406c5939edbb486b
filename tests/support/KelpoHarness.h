#pragma once
// Kelpo's main window on the simulated platform, in a fresh folder that plays
// the executable's folder.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/MainForm.h"
#include "framework/Application.h"
#include "platform/sim/Regions.h"
#include "platform/sim/SimPlatform.h"
#include "tray/InstanceDetector.h"
#include "wash/CacheLibrary.h"

namespace kelpo {

// A profile-file service that refuses writes from the n-th on (counting from 1),
// as Windows does when the folder becomes read-only part way.
class RefusingProfileFiles : public ProfileFiles {
 public:
  explicit RefusingProfileFiles(ProfileFiles& inner) : inner_(inner) {}
  std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultText, unsigned bufferSize) override {
    return inner_.GetString(file, section, key, defaultText, bufferSize);
  }
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override {
    ++writes_;
    if (refuseFrom_ && writes_ >= *refuseFrom_) return false;
    return inner_.WriteString(file, section, key, value);
  }
  void RefuseFrom(int write) { refuseFrom_ = writes_ + write; }

 private:
  ProfileFiles& inner_;
  std::optional<int> refuseFrom_;
  int writes_ = 0;
};

class KelpoHarness {
 public:
  KelpoHarness();
  ~KelpoHarness();

  SimPlatform sim;
  RefusingProfileFiles profiles{sim.profiles};
  Platform platform = sim.Services().With(profiles);
  std::unique_ptr<CacheLibrary> cacheLibrary;
  std::unique_ptr<TInstanceDetector> detector;
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TMainForm> form;

  const std::string& Folder() const { return folder_; }
  std::string SettingsPath() const { return folder_ + "settings.ini"; }
  void WriteSettings(const std::string& text) const;
  void WriteSettingsBytes(const std::string& bytes) const;
  bool SettingsExist() const;
  std::string ReadSettings() const;
  // A file of the images folder beside the program, which holds a plain pressed
  // picture for each image button and the tray menu's header from the start.
  void WriteImage(const std::string& name, const TBitmap& picture) const;
  void WriteImageBytes(const std::string& name, const std::string& bytes) const;

  // Starts the program as its start does: the cache probe and the instance
  // detection, the application object and the main window (FormCreate runs).
  void Start(const FormatSettings& region = UnitedStates());
  // Ends it (FormDestroy runs).
  void Stop();

  SimSpinEditPeer& CountPeer() const { return static_cast<SimSpinEditPeer&>(*form->SpinEdit1->Peer()); }
  SimComboBoxPeer& UnitPeer() const { return static_cast<SimComboBoxPeer&>(*form->ComboBox1->Peer()); }
  SimComboBoxPeer& WeekdayPeer() const { return static_cast<SimComboBoxPeer&>(*form->ComboBox2->Peer()); }
  SimTimePickerPeer& TimePeer() const { return static_cast<SimTimePickerPeer&>(*form->DateTimePicker1->Peer()); }
  // The window timer behind Timer1, when it runs.
  std::optional<std::uint32_t> RunningTimerInterval() const;

  // Which parts of the schedule sentence show, as "at,picker,on,weekday,month" flags, e.g. "11000".
  std::string SentenceParts() const;

 private:
  std::string folder_;
};

}  // namespace kelpo
