#include <gtest/gtest.h>

#include "save/JPG.h"
#include "support/Fakes.h"

namespace {

using Calls = std::vector<std::wstring>;

// GDI+ 1.0 without options; the picture's bitmap without a palette; the JPEG encoder with one
// quality value of 200 (type 4: one 32-bit unsigned value), as CLSIDFromString reads their ids.
const Calls kFullRun = {
    L"startup 1 0 0 0", L"createBitmap b17 0",
    L"save 1111 {557CF401-1A04-11D3-9A73-0000F81EF32E} 1 {1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB} 1 "
    L"4 200",
    L"dispose 1111", L"shutdown 5150"};

// A failure at any step reports its status; every step releases what it acquired.
TEST(JpgTest, SaveReachesTheEncoderOrReportsTheFailedStepAndReleasesEverything) {
  struct Case {
    int startupStatus, createStatus, saveStatus;
    bool withPicture;
    Calls calls;
  };
  const Case cases[] = {
      {0, 0, 0, true, kFullRun},
      {18, 0, 0, true, {kFullRun[0]}},
      {0, 2, 0, true, {kFullRun[0], kFullRun[1], kFullRun[4]}},
      {0, 2, 0, false, {kFullRun[0], L"createBitmap 0 0", kFullRun[4]}},  // no picture held
      {0, 0, 10, true, kFullRun},
  };
  for (const Case& c : cases) {
    fake::FakeGdiplus g;
    g.startupStatus = c.startupStatus;
    g.createStatus = c.createStatus;
    g.saveStatus = c.saveStatus;
    fake::FakePicture picture(64, 48, 0xB17);
    std::string bytes;
    const util::Status r =
        JPG::SavePictureAsJpeg(g, c.withPicture ? &picture : nullptr, 200, bytes);
    const int status = c.startupStatus + c.createStatus + c.saveStatus;
    EXPECT_EQ(r.code(), static_cast<std::uint32_t>(status));
    EXPECT_EQ(r.text(), status ? L"Speicherung des Bildes fehlgeschlagen. GDI+ Error:" +
                                     std::to_wstring(status)
                               : L"");
    EXPECT_EQ(bytes, status ? "" : fake::FakeGdiplus::kJpeg);
    EXPECT_EQ(g.calls, c.calls);
    EXPECT_EQ(g.live, 0);
  }
}

}  // namespace
