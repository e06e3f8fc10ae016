#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "save/JPG.h"
#include "support/Fakes.h"

namespace {

using Calls = std::vector<std::wstring>;

// The JPEG encoder and its quality parameter, as CLSIDFromString gives them.
const platform::Guid kJpegEncoder{
    0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const platform::Guid kQuality{
    0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};

const Calls kFullRun = {L"startup", L"createBitmap", L"parseClsid", L"parseClsid",
                        L"save",    L"dispose",      L"shutdown"};

class JpgTest : public ::testing::Test {
 protected:
  fake::FakePicture picture{64, 48, 0xB17};
};

TEST_F(JpgTest, SavedPictureReachesTheEncoderWithItsQualityUnchanged) {
  const std::uint8_t qualities[] = {0, 1, 100, 101, 200, 255};
  for (const std::uint8_t quality : qualities) {
    fake::TestPlatform p;
    std::string bytes;
    const JPG::SaveResult r = JPG::SavePictureAsJpeg(p.gdiplus, &picture, quality, bytes);
    const fake::FakeGdiplus& g = p.gdiplus;
    SCOPED_TRACE(testing::Message() << "quality " << int{quality});
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.errorNumber, 0);
    EXPECT_EQ(r.description, L"");
    EXPECT_EQ(g.calls, kFullRun);

    EXPECT_EQ(g.startupInput.version, 1u);
    EXPECT_FALSE(g.startupInput.debugEventCallback);
    EXPECT_FALSE(g.startupInput.suppressBackgroundThread);
    EXPECT_FALSE(g.startupInput.suppressExternalCodecs);

    EXPECT_EQ(g.bitmapHandle, 0xB17u);
    EXPECT_EQ(g.palette, 0u);
    EXPECT_EQ(g.savedImage, 0x1111u);  // the bitmap just created
    EXPECT_EQ(bytes, fake::FakeGdiplus::kJpeg);
    EXPECT_EQ(g.encoder, kJpegEncoder);
    EXPECT_EQ(g.parameterCount, 1u);
    EXPECT_EQ(g.parameterId, kQuality);
    EXPECT_EQ(g.valueCount, 1u);
    EXPECT_EQ(g.valueType, 4u);
    EXPECT_EQ(g.quality, std::uint32_t{quality});

    EXPECT_EQ(g.disposedImage, 0x1111u);
    EXPECT_EQ(g.shutdownToken, 0x5150u);
    EXPECT_EQ(g.liveImages, 0);
    EXPECT_EQ(g.liveSessions, 0);
  }
}

TEST_F(JpgTest, FailureAtEachStepReportsItsStatusAndReleasesOnlyWhatWasAcquired) {
  struct Case {
    const char* what;
    int startupStatus, createStatus, saveStatus;
    bool withPicture;
    Calls calls;
    std::wstring description;
  };
  const Case cases[] = {
      {"GDI+ does not start",
       18,
       0,
       0,
       true,
       {L"startup"},
       L"Speicherung des Bildes fehlgeschlagen. GDI+ Error:18"},
      {"bitmap not created",
       0,
       2,
       0,
       true,
       {L"startup", L"createBitmap", L"shutdown"},
       L"Speicherung des Bildes fehlgeschlagen. GDI+ Error:2"},
      {"no picture held",
       0,
       2,
       0,
       false,
       {L"startup", L"createBitmap", L"shutdown"},
       L"Speicherung des Bildes fehlgeschlagen. GDI+ Error:2"},
      {"encoder fails", 0, 0, 10, true, kFullRun,
       L"Speicherung des Bildes fehlgeschlagen. GDI+ Error:10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake::TestPlatform p;
    fake::FakeGdiplus& g = p.gdiplus;
    g.startupStatus = c.startupStatus;
    g.createStatus = c.createStatus;
    g.saveStatus = c.saveStatus;
    std::string bytes;
    const JPG::SaveResult r =
        JPG::SavePictureAsJpeg(g, c.withPicture ? &picture : nullptr, 200, bytes);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorNumber, 5);
    EXPECT_EQ(r.description, c.description);
    EXPECT_EQ(g.calls, c.calls);
    if (c.startupStatus == 0) {
      EXPECT_EQ(g.bitmapHandle, c.withPicture ? 0xB17u : 0u);
    }
    EXPECT_EQ(g.liveImages, 0);
    EXPECT_EQ(g.liveSessions, 0);
  }
}

}  // namespace
