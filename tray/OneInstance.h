#pragma once
// TOneInstance is the reaction of a second copy of the program. Once the main
// window's layout has been read, and before the window's creation handler
// runs, it asks the application's TInstanceDetector whether another copy was
// running at start; if so, it says so (by Mode), brings the running copy's
// application window forward and ends the program with exit code 0, so that
// the second copy reads no settings and shows no tray icon. The running copy
// takes no part: it is only found by its application window's title.
//
// At most one TOneInstance may exist per application (one per process).

#include <cstdint>
#include <string>

#include "base/Exception.h"
#include "framework/Component.h"
#include "framework/Properties.h"

namespace kelpo {

enum class TOneInstanceMode { oiActivateOnly, oiDefaultMessage, oiCustom };
template <>
struct EnumIdentifiers<TOneInstanceMode> {
  using M = TOneInstanceMode;
  static constexpr EnumName<M> Names[] = {
      {"oiActivateOnly", M::oiActivateOnly}, {"oiDefaultMessage", M::oiDefaultMessage}, {"oiCustom", M::oiCustom}};
};

// A second TOneInstance in one application.
class EOneInstanceError : public Exception {
 public:
  using Exception::Exception;
};

// The text after the quoted title in the already-started message.
inline constexpr const char* AlreadyStartedText = "was already started...";

class TOneInstance : public TComponent {
 public:
  // Throws EOneInstanceError when the application has one already.
  explicit TOneInstance(TComponent* owner);
  ~TOneInstance() override;

  // ---- published properties, in their declared order ----
  // Information text of at most 10 characters; nothing reads it.
  const std::string& About() const { return about_; }
  void SetAbout(const std::string& about) { about_ = about.substr(0, MaxAboutLength); }
  // False: the component does nothing, and any number of copies run.
  bool Enabled = true;
  TOneInstanceMode Mode = TOneInstanceMode::oiActivateOnly;
  // The reaction in mode oiCustom; the sender is the component.
  TNotifyEvent OnCustom;

  static constexpr std::size_t MaxAboutLength = 10;

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }
  // A second copy reacts by Mode, then the program ends: the application is
  // told to terminate and the main window's creation unwinds silently (EAbort).
  void LayoutLoaded() override;

 private:
  std::string about_;
};

// When another copy was found at start: empties this copy's application
// window title, so that the search cannot find this copy itself, then finds
// the running copy's application window (class "TApplication", the same title)
// and restores it when it is minimised, or else puts it on top.
void ActivatePreviousInstance(TApplication& application);

}  // namespace kelpo
