// Screenshots: F12's PNG decodes to the frame on screen, a name already
// taken is never overwritten, and a folder that cannot be written gets a
// message while the game goes on untouched.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/recording.h"
#include "app/screenshot.h"
#include "app/shell.h"
#include "game/frame.h"
#include "support/game_scene.h"
#include "support/png.h"
#include "support/test_paths.h"
#include "support/test_platform.h"

namespace {
class Screenshot : public scene::GameScene {};

std::tm moment() {
  std::tm when{};
  when.tm_year = 2026 - 1900;
  when.tm_mon = 11;
  when.tm_mday = 8;
  when.tm_hour = 17;
  when.tm_min = 4;
  when.tm_sec = 33;
  return when;
}
}  // namespace

TEST_F(Screenshot, SavesTheFrameOnScreenUnderNewNames) {
  const std::string folder = std::string(test_paths::kBinary) + "/screenshot-test";
  const std::string first = folder + "/shooter-2026-12-08_17-04-33.png";
  const std::string second = folder + "/shooter-2026-12-08_17-04-33-2.png";
  std::remove(first.c_str());
  std::remove(second.c_str());
  testPlatform.clear();
  testPlatform.picturesFolder = folder;
  ASSERT_TRUE(runFrame());
  const std::vector<uint8_t> onScreen = context.readPixels();  // bottom row first
  FramePicture picture;
  readFrame(&picture);
  char path[1024];
  std::filesystem::create_directories(folder);
  for (const std::string& expected : {first, second}) {
    ASSERT_TRUE(saveScreenshot(picture, moment(), path, sizeof path));
    EXPECT_EQ(path, expected);
    PngImage png;
    std::string error;
    ASSERT_TRUE(readPng(expected, png, &error)) << error;
    EXPECT_EQ(png.width, 640);
    EXPECT_EQ(png.height, 480);
    EXPECT_FALSE(png.hasAlpha);
    const PixelView saved{png.rgba.data(), 640, 480, 4, false};
    const PixelView frame{onScreen.data(), 640, 480, 3, true};
    EXPECT_EQ(countDifferentPixels(saved, frame, 0), 0u);
  }
  EXPECT_TRUE(testPlatform.messages.empty());
  // Nothing else is left in the folder (the temporary files took their names).
  const auto entries = std::distance(std::filesystem::directory_iterator(folder),
                                     std::filesystem::directory_iterator());
  EXPECT_EQ(entries, 2);
  std::remove(first.c_str());
  std::remove(second.c_str());

  // A folder whose path leaves no room for the name is refused, not cut short.
  std::string deep = folder + "/";
  while (deep.size() < sizeof path - 30) deep += std::string(200, 'd') + "/";
  testPlatform.picturesFolder = deep;
  EXPECT_FALSE(saveScreenshot(picture, moment(), path, sizeof path));
  ASSERT_EQ(testPlatform.messages.size(), 1u);
  EXPECT_NE(testPlatform.messages[0].text.find("too long"), std::string::npos);

  // The picture is the whole drawable at its size, whatever its shape.
  resizeView(320, 400);
  readFrame(&picture);
  EXPECT_EQ(picture.width, 320);
  EXPECT_EQ(picture.height, 400);
  EXPECT_EQ(picture.rgb.size(), 320u * 400u * 3u);
  resizeView(640, 480);
}

// The F12 path of the main loop on a folder that cannot be written (a path
// under a regular file: as root, permissions would not stop the write): a
// message, and the game's state is what it was.
TEST_F(Screenshot, FolderThatCannotBeWrittenGetsAMessageAndTheGameGoesOn) {
  testPlatform.clear();
  testPlatform.picturesFolder = std::string(test_paths::kRun) + "/Data/floor.bmp/pictures";
  ASSERT_TRUE(runFrame());
  const uint64_t before = gameStateDigest();
  requestScreenshot();
  EXPECT_TRUE(screenshotRequested());
  takeRequestedScreenshot();
  EXPECT_FALSE(screenshotRequested());
  EXPECT_EQ(gameStateDigest(), before);
  ASSERT_EQ(testPlatform.messages.size(), 1u);
  EXPECT_EQ(testPlatform.messages[0].caption, "Screenshot");
  EXPECT_NE(testPlatform.messages[0].text.find("cannot be written: " + testPlatform.picturesFolder),
            std::string::npos)
      << testPlatform.messages[0].text;
  // No folder at all says so too.
  testPlatform.clear();
  requestScreenshot();
  takeRequestedScreenshot();
  ASSERT_EQ(testPlatform.messages.size(), 1u);
  EXPECT_NE(testPlatform.messages[0].text.find("there is none"), std::string::npos);
  ASSERT_TRUE(runFrame());
}
