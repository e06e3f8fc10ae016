#include "app/Failure.h"

#include <new>
#include <string>

void EndAfterFailure(const platform::Platform& p, const std::exception_ptr& failure) {
  std::wstring reason = L"an unexpected error";
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    reason = L"there is not enough memory";
  } catch (const std::exception& e) {
    const std::string what = e.what();
    reason.assign(what.begin(), what.end());
  } catch (...) {
  }
  p.dialogs.messageBox(L"Brimlo has to stop: " + reason + L".", platform::box::kCritical, L"");
  p.process.exit(platform::exitcode::kOther);
}
