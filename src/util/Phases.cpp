#include "util/Phases.h"

#ifdef BRIMLO_PHASES
#include <chrono>
#include <cstdio>

namespace phases {

void mark(const char* name) {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  std::fprintf(
      stderr, "phase %s %lld\n", name,
      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
  std::fflush(stderr);
}

}  // namespace phases
#endif
