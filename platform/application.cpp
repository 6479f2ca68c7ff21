#include "platform/application.h"

#include <stdexcept>

namespace zinnow {

void TApplication::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    if (OnException) OnException(e);
  } catch (...) {
    if (OnException) OnException(std::runtime_error("unknown failure"));
  }
}

TApplication& Application() {
  static TApplication application;
  return application;
}

}  // namespace zinnow
