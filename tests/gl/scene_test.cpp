// Scene start-up with the game's own data files copied into a scratch working
// folder, some of them taken away.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/shell.h"
#include "gl.h"
#include "image/textures.h"
#include "model/model.h"
#include "support/game_scene.h"
#include "support/gl_context.h"
#include "support/test_paths.h"
#include "support/test_platform.h"
#include "text/font.h"

namespace {

namespace fs = std::filesystem;

const char* const kDataFiles[] = {"tris.md2",       "hobgoblin.bmp",      "Data/Font.TGA",
                                  "Data/walls.bmp", "Data/crosshair.bmp", "Data/smoke.bmp",
                                  "Data/exit.bmp",  "Data/floor.bmp"};
const char* const kBitmaps[] = {"Data/walls.bmp", "Data/crosshair.bmp", "Data/smoke.bmp",
                                "hobgoblin.bmp",  "Data/exit.bmp",      "Data/floor.bmp"};
GLuint* const kNames[] = {&wallTexture, &crosshairTexture, &smokeTexture,
                          &skinTexture, &exitTexture,      &floorTexture};

class SceneStart : public scene::GlTest {
 protected:
  void SetUp() override {
    const fs::path run = test_paths::kRun;
    for (const char* name : kDataFiles)
      if (!fs::exists(run / name)) GTEST_SKIP() << "game data not generated: " << name;
    // The model comes first in the start-up; while the game's own model is
    // still an empty stand-in, a known-good outside one takes its place.
    fs::path model = run / "tris.md2";
    if (fs::file_size(model) == 0) model = fs::path(test_paths::kTestdata) / "md2/valid/flag.md2";
    if (!fs::exists(model)) GTEST_SKIP() << "no model to start with";
    GlTest::SetUp();  // the game's own path, the layer
    if (HasFatalFailure()) return;
    enterScratchFolder("scene");
    for (const char* name : kDataFiles)
      fs::copy_file(std::string(name) == "tris.md2" ? model : run / name, scratch / name);
    fontTexture = TgaTexture{};
  }
  void TearDown() override {
    if (started_) releaseScene();
    fontTexture = TgaTexture{};
    // Start-up filled the one global model; later suites start from an empty one.
    enemyModel = Model{};
    GlTest::TearDown();
  }
  // The scene started; TearDown releases it.
  bool start() {
    started_ = initScene();
    return started_;
  }
  bool started_ = false;
};

}  // namespace

TEST_F(SceneStart, AllDataStartsWithEveryTextureAndTheFont) {
  ASSERT_TRUE(start()) << (testPlatform.messages.empty() ? "" : testPlatform.messages[0].text);
  EXPECT_TRUE(testPlatform.messages.empty());
  for (GLuint* name : kNames) EXPECT_TRUE(glIsTexture(*name));
  EXPECT_TRUE(glIsTexture(fontTexture.textureName));
  EXPECT_EQ(fontTexture.width, 256u);
  EXPECT_EQ(fontTexture.height, 256u);
}

TEST_F(SceneStart, OnlySmokeMissingStillStarts) {
  fs::remove("Data/smoke.bmp");
  ASSERT_TRUE(start());
  EXPECT_EQ(smokeTexture, 0u);
  for (GLuint* name : kNames) {
    if (name != &smokeTexture) {
      EXPECT_TRUE(glIsTexture(*name));
    }
  }
  EXPECT_TRUE(testPlatform.messages.empty());
}

TEST_F(SceneStart, AllSixBitmapsMissingFails) {
  for (const char* name : kBitmaps) fs::remove(name);
  EXPECT_FALSE(start());
  for (GLuint* name : kNames) EXPECT_EQ(*name, 0u);
}

TEST_F(SceneStart, MissingFontFailsBeforeAnyBitmapIsRead) {
  fs::remove("Data/Font.TGA");
  // Were the bitmaps read, this empty one would be reported.
  fs::resize_file("Data/walls.bmp", 0);
  wallTexture = 12345;
  EXPECT_FALSE(start());
  EXPECT_EQ(wallTexture, 12345u);
  EXPECT_TRUE(testPlatform.messages.empty());
  EXPECT_TRUE(fontTexture.pixels.empty());
}
