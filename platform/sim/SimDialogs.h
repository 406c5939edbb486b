#pragma once
// Message boxes answered by a test's script. A script may let virtual time run
// while its box is open (the modal loop keeps dispatching timer ticks).

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace kelpo {

struct MessageBoxCall {
  WindowHandle Owner = 0;
  std::string Text;
  std::string Caption;
  std::uint32_t Style = 0;
  int Answer = 0;
};

class SimDialogs : public Dialogs {
 public:
  using Responder = std::function<int(const MessageBoxCall& box)>;

  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption, std::uint32_t style) override;
  void Beep() override { ++beeps_; }

  // The next box shown is answered by this responder (in the order queued).
  void Expect(Responder responder) { script_.push_back(std::move(responder)); }
  void ExpectAnswer(int answer) {
    Expect([answer](const MessageBoxCall&) { return answer; });
  }
  // Boxes shown with no responder queued are answered with OK/No (idCancel for other styles).
  const std::vector<MessageBoxCall>& Shown() const { return shown_; }
  std::size_t PendingResponders() const { return script_.size(); }
  int Beeps() const { return beeps_; }
  void Clear() { shown_.clear(); }

 private:
  std::deque<Responder> script_;
  std::vector<MessageBoxCall> shown_;
  int beeps_ = 0;
};

}  // namespace kelpo
