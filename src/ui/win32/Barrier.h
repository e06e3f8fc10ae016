#pragma once
// No C++ exception may leave through the system's own code (window procedures, subclass
// procedures): there it would end the process without a word. The barrier hands it to the
// program's failure handler instead, which tells the user and ends the program.
#include <exception>
#include <functional>

namespace ui_win32 {

// Set once by the program; without one, the process ends at once.
void setFailureHandler(std::function<void(const std::exception_ptr&)> handler);
[[noreturn]] void handleFailure(const std::exception_ptr& failure);

template <class F>
auto guarded(F&& f) noexcept -> decltype(f()) {
  try {
    return f();
  } catch (...) {
    handleFailure(std::current_exception());
  }
}

}  // namespace ui_win32
