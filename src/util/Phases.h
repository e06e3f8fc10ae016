#pragma once
// Where a run's time goes, for the benchmarks' profile. A build configured with
// -DBRIMLO_PHASES=ON prints "phase <name> <milliseconds since 1970, to the microsecond>" to stderr
// at each mark; every other build compiles the marks away.
namespace phases {
#ifdef BRIMLO_PHASES
void mark(const char* name);
#else
inline void mark(const char*) {}
#endif
}  // namespace phases
