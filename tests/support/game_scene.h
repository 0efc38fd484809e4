// The game on an offscreen 640 x 480 context, the one fixture of the GL
// tests. GameScene starts the game as the shells do (initScene on the real
// data in the run folder); MazeScene builds only the maze, with textures
// made here so that changes to the game's art do not move the maze
// references. Both set the fixed GL state and place the camera with the
// game's own code. Helpers look at what a frame drew.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "camera.h"
#include "gl.h"
#include "support/gl_context.h"
#include "support/gl_test.h"
#include "support/png.h"

namespace scene {

// Text coordinates (depth 500 under the 60-degree projection) to pixels of
// the 640 x 480 frame: one unit is 240 / (500 tan 30 degrees) pixels.
inline double unitsToPixels() {
  return 240.0 / (kTextDepth * std::tan(kFieldOfView / 2 * 3.14159265358979 / 180));
}

// A rectangle of the frame in text units: x to the right, y up, (0, 0) at the
// centre.
struct TextBox {
  double x0, y0, x1, y1;
};

// The box a printed line of `chars` glyphs covers, from its first glyph's
// top-left corner (x, y): glyphs hang 16 units down and advance 14.
inline TextBox lineBox(double x, double y, int firstChar, int chars) {
  return {x + 14.0 * firstChar, y - 16.0, x + 14.0 * (firstChar + chars) + 2.0, y};
}

struct Frame {
  std::vector<uint8_t> rgb;  // bottom row first
  int width = 640;
  int height = 480;

  const uint8_t* at(int px, int py) const {
    return &rgb[(static_cast<size_t>(py) * static_cast<size_t>(width) + static_cast<size_t>(px)) *
                3];
  }

  // Pixels inside the box that satisfy `test`.
  template <typename Test>
  int count(const TextBox& box, Test test) const {
    const double s = unitsToPixels();
    const int px0 = std::max(0, static_cast<int>(std::floor(width / 2.0 + box.x0 * s)));
    const int px1 = std::min(width, static_cast<int>(std::ceil(width / 2.0 + box.x1 * s)));
    const int py0 = std::max(0, static_cast<int>(std::floor(height / 2.0 + box.y0 * s)));
    const int py1 = std::min(height, static_cast<int>(std::ceil(height / 2.0 + box.y1 * s)));
    int n = 0;
    for (int py = py0; py < py1; ++py) {
      for (int px = px0; px < px1; ++px) {
        const uint8_t* p = at(px, py);
        if (test(p[0], p[1], p[2])) ++n;
      }
    }
    return n;
  }

  PixelView view() const { return {rgb.data(), width, height, 3, true}; }
};

// Text as the font draws it: the glyph's colour is added to what lies behind,
// so its own channels saturate and the others keep the background's values.
inline bool isRed(int r, int g, int b) { return r >= 250 && r - g > 60 && r - b > 60; }
inline bool isBlue(int r, int g, int b) { return b >= 250 && b - r > 60 && b - g > 60; }
inline bool isWhite(int r, int g, int b) { return r >= 250 && g >= 250 && b >= 250; }
inline bool isLit(int r, int g, int b) { return r + g + b > 60; }

// The GL path a test draws through, started in the context it has just
// opened: the game's layer, as the game ships, unless the test is about the
// driver (it reads the driver's own state back: its matrices, bindings or
// lists). stopGl ends it before the context closes; the next start is the
// game's own choice again.
void startGl(gldesk::Path path = gldesk::Path::Layer);
void stopGl();
// The GL objects the layer made since it started and nothing deleted, as
// "2 textures, 1 lists": empty when there are none.
std::string leftLive();

// What both scenes share: a fresh game state and OS stand-in, the context,
// the projection.
class GlScene : public GlTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The presented frame, bottom row first.
  std::vector<uint8_t> present();
};

// The game with its data loaded, as the shells start it.
class GameScene : public GlScene {
 protected:
  void SetUp() override;
  void TearDown() override;

  // One pass of the main loop: the frame, the picture, the keyboard.
  Frame frame();
  // A frame without looking at it.
  void step();
};

// The maze alone, with the textures made here.
class MazeScene : public GlScene {
 protected:
  void SetUp() override;

  // The player's position and view, as the frame leaves them before drawing.
  static void standAt(double x, double z, double heading, double pitch = 0);
  // Clears, places the camera as the frame does and draws the maze, with the
  // current colour opaque white as the frame has it.
  static void drawMazeView();
};

// A scene drawn straight to the driver, for tests that read its state back.
template <typename Scene>
class OnTheDriver : public Scene {
 protected:
  gldesk::Path glPath() const override { return gldesk::Path::Direct; }
};

// A scene drawn through each GL path in turn (the reference frames hold on
// both): instantiate with INSTANTIATE_TEST_SUITE_P(Gl, Suite, bothPaths(), pathName).
template <typename Scene>
class OnBothPaths : public Scene, public ::testing::WithParamInterface<gldesk::Path> {
 protected:
  gldesk::Path glPath() const override { return this->GetParam(); }
};
inline auto bothPaths() { return ::testing::Values(gldesk::Path::Direct, gldesk::Path::Layer); }
inline std::string pathName(const ::testing::TestParamInfo<gldesk::Path>& info) {
  return info.param == gldesk::Path::Layer ? "Layer" : "Direct";
}

}  // namespace scene
