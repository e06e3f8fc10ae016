#include "util/Phases.h"

#ifdef BRIMLO_PHASES
#include <chrono>
#include <cstdio>

namespace phases {

void mark(const char* name) {
  // Milliseconds to the microsecond: a phase of a few hundred microseconds still shows.
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
  std::fprintf(stderr, "phase %s %lld.%03lld\n", name, static_cast<long long>(us / 1000),
               static_cast<long long>(us % 1000));
  std::fflush(stderr);
}

}  // namespace phases
#endif
