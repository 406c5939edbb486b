#pragma once
// The notification area (the shell's tray): icons that a window puts there,
// whose mouse notifications come back to that window as its callback message
// (the first parameter is the icon's id, the second the notification code).
// With it the few system values that tray icons read when a notification is
// handled: the double-click time and the modifier keys (the cursor is the windowing
// service's).

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Types.h"

namespace kelpo {

// An icon's picture as the shell takes it: 0xAARRGGBB per pixel, top row
// first, stride = width; alpha 0 is transparent, any other value opaque.
struct IconImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  bool operator==(const IconImage&) const = default;
};

// The shell's operations (NIM_ values).
enum class NotifyIconCommand { Add = 0, Modify = 1, Delete = 2 };

// Which fields of the record the shell takes (NIF_ values).
constexpr std::uint32_t nifMessage = 0x1;
constexpr std::uint32_t nifIcon = 0x2;
constexpr std::uint32_t nifTip = 0x4;

// Notification codes besides the mouse messages (NIN_ values).
constexpr std::uint32_t ninBalloonShow = wmUser + 2;
constexpr std::uint32_t ninBalloonHide = wmUser + 3;
constexpr std::uint32_t ninBalloonTimeout = wmUser + 4;
constexpr std::uint32_t ninBalloonUserClick = wmUser + 5;

// The record of every shell call. An icon is named by its window and id.
struct NotifyIconData {
  WindowHandle Window = 0;
  std::uint32_t Id = 0;
  std::uint32_t Flags = 0;
  std::uint32_t CallbackMessage = 0;
  const IconImage* Icon = nullptr;  // none: an empty icon
  std::array<char, 128> Tip{};      // zero-terminated
};

struct ModifierKeys {
  bool Shift = false;
  bool Alt = false;
  bool Ctrl = false;
  bool operator==(const ModifierKeys&) const = default;
};

class NotifyIcons {
 public:
  virtual ~NotifyIcons() = default;
  // Adds, changes or removes an icon; false when the shell refused (adding an
  // icon that is there already, changing or removing one that is not).
  virtual bool NotifyIcon(NotifyIconCommand command, const NotifyIconData& data) = 0;
  // The longest time between the clicks of a double click, in milliseconds.
  virtual std::uint32_t DoubleClickTime() = 0;
  // The modifier keys held down at this moment (not when the message was queued).
  virtual ModifierKeys AsyncModifierKeys() = 0;
};

}  // namespace kelpo
