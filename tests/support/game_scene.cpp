// The GL tests' fixture: start-up, the maze with test textures, frames.
#include "support/game_scene.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "app/shell.h"
#include "game/frame.h"
#include "game/state.h"
#include "gl/gl_layer.h"
#include "image/textures.h"
#include "model/model.h"
#include "support/test_paths.h"
#include "support/test_platform.h"
#include "world/maze.h"
#include "world/particles.h"

namespace scene {

namespace {
constexpr int kTextureSize = 64;

using Pixels = std::vector<uint8_t>;

// A mipmapped RGB texture made the way the texture set makes its own.
GLuint makeTexture(const Pixels& rgb) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, kTextureSize, kTextureSize, GL_RGB, GL_UNSIGNED_BYTE,
                    rgb.data());
  return name;
}

template <typename Shade>
Pixels paint(Shade shade) {
  Pixels rgb(kTextureSize * kTextureSize * 3);
  for (int t = 0; t < kTextureSize; ++t) {
    for (int s = 0; s < kTextureSize; ++s) {
      uint8_t* p = &rgb[static_cast<size_t>((t * kTextureSize + s) * 3)];
      shade(s, t, p);
    }
  }
  return rgb;
}

void set(uint8_t* p, int r, int g, int b) {
  p[0] = static_cast<uint8_t>(r);
  p[1] = static_cast<uint8_t>(g);
  p[2] = static_cast<uint8_t>(b);
}

// Walls: sand-coloured bricks with dark mortar, a red band at the top of the
// image (t near 1, the top of a wall) and a blue column at s = 0, so that the
// orientation of every wall quad shows in the picture.
Pixels wallImage() {
  return paint([](int s, int t, uint8_t* p) {
    const int course = t / 16;
    const bool mortar = t % 16 == 0 || (s + (course % 2) * 16) % 32 == 0;
    if (t >= 58) {
      set(p, 200, 40, 40);
    } else if (s < 4) {
      set(p, 40, 60, 200);
    } else if (mortar) {
      set(p, 60, 50, 40);
    } else {
      set(p, 190, 160, 110);
    }
  });
}

// The door: green with a white cross.
Pixels exitImage() {
  return paint([](int s, int t, uint8_t* p) {
    const bool cross = std::abs(s - t) < 4 || std::abs(s + t - kTextureSize + 1) < 4;
    if (cross) {
      set(p, 240, 240, 240);
    } else {
      set(p, 30, 170, 60);
    }
  });
}

// Floor and ceiling: a two-tone checkerboard with a yellow corner at (0, 0).
Pixels floorImage() {
  return paint([](int s, int t, uint8_t* p) {
    if (s < 8 && t < 8) {
      set(p, 230, 210, 40);
    } else if ((s / 32 + t / 32) % 2 == 0) {
      set(p, 70, 80, 100);
    } else {
      set(p, 120, 130, 150);
    }
  });
}

// Smoke: a soft white disc.
Pixels smokeImage() {
  return paint([](int s, int t, uint8_t* p) {
    const double dx = s - 31.5;
    const double dy = t - 31.5;
    const double d = std::sqrt(dx * dx + dy * dy) / 32.0;
    const int v = d >= 1 ? 0 : static_cast<int>(255 * (1 - d));
    set(p, v, v, v);
  });
}
}  // namespace

void startGl(gldesk::Path path) {
  gldesk::choosePath(path);
  ASSERT_TRUE(gldesk::start()) << "the GL layer cannot draw in this context";
}

void stopGl() {
  gldesk::stop();
  gldesk::choosePath(gldesk::Path::Layer);  // the game's own choice, for the shell tests
}

void GlScene::SetUp() {
  std::error_code error;
  std::filesystem::current_path(test_paths::kRun, error);
  ASSERT_FALSE(error) << "cannot enter the run folder " << test_paths::kRun;
  resetGameState();
  resetParticles();
  // The OS stand-in answers resizeView's and the shell's calls.
  shell = ShellState{};
  GlTest::SetUp();
  if (HasFatalFailure()) return;
  resizeView(640, 480);
}

void GlScene::TearDown() {
  GlTest::TearDown();
  resetGameState();
  resetParticles();
}

std::vector<uint8_t> GlScene::present() {
  context.swap();
  return context.readPixels();
}

void GameScene::SetUp() {
  GlScene::SetUp();
  if (HasFatalFailure()) return;
  const bool started = initScene();
  for (const RecordedMessage& m : testPlatform.messages) {
    ADD_FAILURE() << "start-up message: " << m.caption << ": " << m.text;
  }
  ASSERT_TRUE(started) << "start-up failed";
  // The cursor as start-up leaves it; the tests feed motion from there.
  shell.lastMouseX = 320;
  shell.lastMouseY = 240;
  testPlatform.clear();
}

void GameScene::TearDown() {
  releaseScene();
  enemyModel = Model{};
  GlScene::TearDown();
  // The game leaves no texture, list or buffer behind it.
  if (glPath() == gldesk::Path::Layer) {
    EXPECT_EQ(leftLive(), "");
  }
}

std::string leftLive() {
  const gllayer::LiveObjects live = gllayer::liveObjects();
  std::string left;
  const std::pair<long, const char*> kinds[] = {
      {live.textures, " textures"}, {live.lists, " lists"}, {live.buffers, " buffers"}};
  for (const auto& kind : kinds) {
    if (kind.first != 0)
      left += (left.empty() ? "" : ", ") + std::to_string(kind.first) + kind.second;
  }
  return left;
}

Frame GameScene::frame() {
  EXPECT_TRUE(runFrame());
  Frame f;
  f.rgb = context.readPixels();
  context.swap();
  keyboardStep();
  return f;
}

void GameScene::step() {
  EXPECT_TRUE(runFrame());
  context.swap();
  keyboardStep();
}

void MazeScene::SetUp() {
  GlScene::SetUp();
  if (HasFatalFailure()) return;
  wallTexture = makeTexture(wallImage());
  exitTexture = makeTexture(exitImage());
  floorTexture = makeTexture(floorImage());
  smokeTexture = makeTexture(smokeImage());
  buildMaze();
  setFixedGlState();
}

void MazeScene::standAt(double x, double z, double heading, double pitch) {
  player.xtrans2 = x;
  player.ztrans2 = z;
  view.camX = -x;
  view.camZ = -z;
  input.pitch = pitch;
  view.heading = heading;
  view.viewYaw = 360 - heading;
}

void MazeScene::drawMazeView() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor4f(1, 1, 1, 1);
  placeCamera();
  drawMaze();
}

}  // namespace scene
