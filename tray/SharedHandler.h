#pragma once
// A handler that all instances of a client class share within the
// application (one hidden window serving every simple timer, or every tray
// icon). It keeps its clients in a table by id, the number by which the
// system's messages to its window name a client. It is reference counted: the first Acquire creates it, each client
// holds one reference, and the last Release frees it with its window and empties its slot, so that a later Acquire
// creates a new one. It lives in the application's shared slots rather than in a global, so that every application (one
// per process in the program, one per test) has its own.

#include <cstdint>
#include <limits>
#include <memory>
#include <unordered_map>

#include "framework/Application.h"

namespace kelpo {

template <class Handler, class Client>
class TSharedHandler : public TApplication::SharedObject, private MessageWindow {
 public:
  ~TSharedHandler() override {
    if (window_) application_.Services().windowing.DestroyWindow(window_);
  }

  static Handler& Acquire(TApplication& application) {
    auto* handler = static_cast<Handler*>(application.Shared(&slot_));
    if (!handler) {
      auto created = std::make_unique<Handler>(application);
      handler = created.get();
      // The window is made once the handler is whole, as its messages go to
      // the handler's own procedure.
      created->CreateHiddenWindow();
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
  WindowHandle Handle() const { return window_; }

  // Enters the client into the table under a new id and returns the id. Ids
  // count up, so that a message still queued for a freed client does not
  // reach the next one; after the last id they start again at 1, skipping
  // those in use.
  std::uint32_t Add(Client& client) {
    do {
      lastId_ = lastId_ == std::numeric_limits<std::uint32_t>::max() ? 1 : lastId_ + 1;
    } while (clients_.count(lastId_));
    clients_.emplace(lastId_, &client);
    return lastId_;
  }
  void Remove(std::uint32_t id) { clients_.erase(id); }
  // The client of a message's id (a message parameter), or null.
  Client* Find(std::uintptr_t id) const {
    if (id > std::numeric_limits<std::uint32_t>::max()) return nullptr;
    auto it = clients_.find(static_cast<std::uint32_t>(id));
    return it == clients_.end() ? nullptr : it->second;
  }

 protected:
  // The handler's hidden window has the system class `className`; the
  // handler's WindowProc receives its messages.
  TSharedHandler(TApplication& application, const char* className) : application_(application), className_(className) {}

 private:
  void CreateHiddenWindow() {
    WindowParams params;
    params.Kind = WindowKind::Hidden;
    params.ClassName = className_;
    window_ = application_.Services().windowing.CreateMessageWindow(params, this);
  }

  static inline const char slot_ = 0;
  TApplication& application_;
  const char* className_;
  int refCount_ = 0;
  WindowHandle window_ = 0;
  std::unordered_map<std::uint32_t, Client*> clients_;
  std::uint32_t lastId_ = 0;
};

}  // namespace kelpo
