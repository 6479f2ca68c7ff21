#pragma once

// What must run when a scope is left, however it is left: a pair of calls that no handle of
// its own stands for.
#include <utility>

namespace zinnow::win32 {

// Runs `onExit` on destruction unless dismissed first.
template <typename OnExit>
class ScopeExit {
 public:
  explicit ScopeExit(OnExit onExit) : onExit_(std::move(onExit)) {}
  ~ScopeExit() {
    if (armed_) onExit_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

  void Dismiss() { armed_ = false; }

 private:
  OnExit onExit_;
  bool armed_ = true;
};

}  // namespace zinnow::win32
