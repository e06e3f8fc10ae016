#include "ui/win32/Barrier.h"

#include <windows.h>

namespace ui_win32 {

namespace {
std::function<void(const std::exception_ptr&)>& failureHandler() {
  static std::function<void(const std::exception_ptr&)> handler;
  return handler;
}
}  // namespace

void setFailureHandler(std::function<void(const std::exception_ptr&)> handler) {
  failureHandler() = std::move(handler);
}

void handleFailure(const std::exception_ptr& failure) {
  if (failureHandler())
    failureHandler()(failure);
  ExitProcess(1);  // the handler ends the program; this is for a run without one
}

}  // namespace ui_win32
