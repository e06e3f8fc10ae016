#include <gtest/gtest.h>

#include "TestSupport.h"

int main(int argc, char** argv) {
  // The tests start this program again as a helper (a second process reading the registry,
  // holding the clipboard, reporting its command line); such a run does only that.
  if (const auto status = testsupport::runChildModeIfAsked())
    return *status;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
