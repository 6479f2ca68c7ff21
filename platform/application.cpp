#include "platform/application.h"

namespace zinnow {

void TApplication::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    if (OnException) OnException(e);
  }
}

TApplication& Application() {
  static TApplication application;
  return application;
}

}  // namespace zinnow
