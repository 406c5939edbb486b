#include "platform/sim/SimDialogs.h"

namespace kelpo {

int SimDialogs::MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           std::uint32_t style) {
  MessageBoxCall call{owner, text, caption, style, 0};
  if (!script_.empty()) {
    Responder responder = std::move(script_.front());
    script_.pop_front();
    call.Answer = responder(call);
  } else {
    const std::uint32_t buttons = style & 0xF;
    call.Answer = buttons == mbOk ? idOk : buttons == mbYesNo ? idNo : idCancel;
  }
  shown_.push_back(call);
  return call.Answer;
}

}  // namespace kelpo
