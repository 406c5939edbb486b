#include "tray/InstanceDetector.h"

#include <memory>

namespace kelpo {
namespace {

const char slot = 0;

struct DetectorLink : TApplication::SharedObject {
  explicit DetectorLink(const TInstanceDetector& detector) : Detector(detector) {}
  const TInstanceDetector& Detector;
};

}  // namespace

TInstanceDetector::TInstanceDetector(Mutexes& mutexes, FileSystem& files) : mutexes_(mutexes) {
  const std::string name = MutexName(files.ExecutablePath());
  // Without a name the mutex would be one of this process alone.
  if (name.empty()) return;
  const MutexOpening opening = mutexes_.CreateMutex(name);
  instanceMutex_ = opening.Handle;
  previousInstanceFound_ = opening.Handle != 0 && opening.AlreadyExisted;
}

TInstanceDetector::~TInstanceDetector() {
  if (instanceMutex_) mutexes_.CloseMutex(instanceMutex_);
}

std::string TInstanceDetector::MutexName(const std::string& executablePath) {
  return executablePath.substr(executablePath.find_last_of("\\/") + 1);
}

void TInstanceDetector::Serve(TApplication& application) const {
  application.SetShared(&slot, std::make_unique<DetectorLink>(*this));
}

const TInstanceDetector* TInstanceDetector::Of(const TApplication& application) {
  const auto* link = static_cast<const DetectorLink*>(application.Shared(&slot));
  return link ? &link->Detector : nullptr;
}

}  // namespace kelpo
