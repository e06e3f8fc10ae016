#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/win32/Adapters.h"

namespace {

// The shell treats a target without a file name as cancelled and says so in the structure: the
// copy reports it and leaves nothing.
TEST(ShellAdapterTest, CopyToATargetWithoutAFileNameIsReportedAsCancelled) {
  testsupport::TempDir dir(L"shell-copy");
  ASSERT_TRUE(testsupport::makeFile(dir / L"shot.txt", "x"));
  platform::FileCopy copy;
  copy.source = dir / L"shot.txt";
  copy.destination = dir / L"absent\\";
  copy.flags = 0x310;  // no confirmations, simple progress window
  copy.progressTitle = L"Brimlo kopiert \u00c4rger.txt";
  const platform::FileCopyResult result = win32::Win32Shell().copyFile(copy);
  EXPECT_NE(result.code, 0);
  EXPECT_TRUE(result.aborted);
  EXPECT_EQ(testsupport::readFile(dir / L"absent\\shot.txt"), std::nullopt);
}

}  // namespace
