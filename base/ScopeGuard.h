#pragma once
// Runs a function when the scope ends, however it ends: the clean-up that a step
// owes on its error path as well as on its normal one.

#include <utility>

namespace kelpo {

template <class Function>
class ScopeGuard {
 public:
  explicit ScopeGuard(Function function) : function_(std::move(function)) {}
  ~ScopeGuard() { function_(); }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

 private:
  Function function_;
};

}  // namespace kelpo
