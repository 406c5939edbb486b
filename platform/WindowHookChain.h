#pragma once
// The hooks installed on one window, kept by both backends. The last hook
// installed sees a message first; each passes it on to the one below, and the
// last one to the window's own procedure. A hook removed while a message is
// inside it is unlinked at once, yet that message can still pass on below it.

#include <memory>
#include <utility>

#include "platform/Windowing.h"

namespace kelpo {

class WindowHookChain {
 public:
  void Install(WindowHook& hook) { top_ = std::make_shared<Node>(Node{&hook, false, top_}); }

  bool Remove(WindowHook& hook) {
    std::shared_ptr<Node>* link = &top_;
    while (*link && (*link)->Hook != &hook) link = &(*link)->Below;
    if (!*link) return false;
    std::shared_ptr<Node> removed = *link;
    removed->Removed = true;
    *link = removed->Below;  // the removed node keeps its own link for messages inside it
    return true;
  }

  bool Empty() const { return !top_; }

  // Runs the message through the hooks, then through `own` (the window's
  // procedure). Touches nothing of this chain once the first hook runs, so a
  // hook may remove hooks or destroy the window.
  std::intptr_t Dispatch(WindowHandle window, Message& m, const PreviousWindowProc& own) const {
    return Pass(top_, window, m, own);
  }

 private:
  struct Node {
    WindowHook* Hook;
    bool Removed;
    std::shared_ptr<Node> Below;
  };

  static std::intptr_t Pass(std::shared_ptr<Node> node, WindowHandle window, Message& m,
                            const PreviousWindowProc& own) {
    while (node && node->Removed) node = node->Below;
    if (!node) return own(m);
    PreviousWindowProc previous = [below = node->Below, window, &own](Message& passed) {
      return Pass(below, window, passed, own);
    };
    return node->Hook->HookProc(window, m, previous);
  }

  std::shared_ptr<Node> top_;
};

}  // namespace kelpo
