#pragma once
#include <exception>

#include "platform/Platform.h"

// The end of a run that met a failure nothing could handle (no memory left for a huge text or
// picture): the user is told why, and the program ends with status 1. Whatever a save had
// written on its way has been removed by then.
[[noreturn]] void EndAfterFailure(const platform::Platform& p, const std::exception_ptr& failure);
