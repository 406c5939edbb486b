#pragma once
// Message boxes and the warning beep.

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace kelpo {

// Message box styles and answers (Windows values).
constexpr std::uint32_t mbOk = 0x0;
constexpr std::uint32_t mbYesNo = 0x4;
constexpr std::uint32_t mbIconError = 0x10;
constexpr std::uint32_t mbIconQuestion = 0x20;
constexpr std::uint32_t mbIconWarning = 0x30;
constexpr std::uint32_t mbIconInformation = 0x40;
constexpr std::uint32_t mbDefButton1 = 0x0;
constexpr std::uint32_t mbDefButton2 = 0x100;

constexpr int idOk = 1;
constexpr int idCancel = 2;
constexpr int idYes = 6;
constexpr int idNo = 7;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a modal message box; window timers keep ticking while it is open.
  virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                         std::uint32_t style) = 0;
  virtual void Beep() = 0;
};

}  // namespace kelpo
