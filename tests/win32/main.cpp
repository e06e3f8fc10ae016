#include <gtest/gtest.h>

#include "TestSupport.h"

int main(int argc, char** argv) {
  // The process tests start this program again; such a run only reports how it was started.
  if (const auto status = testsupport::reportIfChild())
    return *status;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
