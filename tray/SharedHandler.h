#pragma once
// A handler that all instances of a client class share within the
// application (one hidden window serving every simple timer, or every tray
// icon), reference counted: the first Acquire creates it, each client holds
// one reference, and the last Release frees it with its window and empties
// its slot, so that a later Acquire creates a new one. It lives in the
// application's shared slots rather than in a global, so that every
// application (one per process in the program, one per test) has its own.

#include <memory>

#include "framework/Application.h"

namespace kelpo {

template <class Handler>
class TSharedHandler : public TApplication::SharedObject {
 public:
  static Handler& Acquire(TApplication& application) {
    auto* handler = static_cast<Handler*>(application.Shared(&slot_));
    if (!handler) {
      auto created = std::make_unique<Handler>(application);
      handler = created.get();
      application.SetShared(&slot_, std::move(created));
    }
    ++handler->refCount_;
    return *handler;
  }

  // The count never goes below 0; at 0 the handler is freed, so nothing of
  // it may be used after this call.
  static void Release(Handler& handler) {
    if (handler.refCount_ > 0) --handler.refCount_;
    if (handler.refCount_ == 0) handler.application_.SetShared(&slot_, nullptr);
  }

  // The live handler of the application, if any.
  static Handler* Current(const TApplication& application) { return static_cast<Handler*>(application.Shared(&slot_)); }

  int RefCount() const { return refCount_; }
  TApplication& Application() const { return application_; }

 protected:
  explicit TSharedHandler(TApplication& application) : application_(application) {}

 private:
  static inline const char slot_ = 0;
  TApplication& application_;
  int refCount_ = 0;
};

}  // namespace kelpo
