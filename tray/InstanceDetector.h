#pragma once
// TInstanceDetector finds out, once at program start and before any window
// exists, whether another copy of the program runs: it opens the named mutex
// that carries the executable's file name and notes whether the mutex already
// existed. It keeps the mutex open until the program ends, so that every copy
// started meanwhile finds it. A mutex that cannot be opened lets the program
// run as a first copy.
//
// The program makes one, then lets it serve its application object, through
// which TOneInstance reads the finding.

#include <string>

#include "framework/Application.h"
#include "platform/FileSystem.h"
#include "platform/Mutexes.h"

namespace kelpo {

class TInstanceDetector {
 public:
  TInstanceDetector(Mutexes& mutexes, FileSystem& files);
  ~TInstanceDetector();
  TInstanceDetector(const TInstanceDetector&) = delete;
  TInstanceDetector& operator=(const TInstanceDetector&) = delete;

  MutexHandle InstanceMutex() const { return instanceMutex_; }
  bool PreviousInstanceFound() const { return previousInstanceFound_; }

  // The mutex's name: the file name of the executable without its folder, case kept.
  static std::string MutexName(const std::string& executablePath);

  // Makes the finding known to the application's components until the
  // application ends; the detector must outlive it.
  void Serve(TApplication& application) const;
  // The detector serving the application, or null.
  static const TInstanceDetector* Of(const TApplication& application);

 private:
  Mutexes& mutexes_;
  MutexHandle instanceMutex_ = 0;
  bool previousInstanceFound_ = false;
};

}  // namespace kelpo
