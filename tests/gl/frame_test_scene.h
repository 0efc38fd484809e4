// The game on an offscreen context, for the frame, HUD and playthrough tests:
// the real data files from the run folder, the start-up sequence of the
// shells, a fresh game state, and helpers that feed input the way the shells
// do and look at what a frame drew.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/shell.h"
#include "game/frame.h"
#include "game/state.h"
#include "gl.h"
#include "model/model.h"
#include "support/gl_context.h"
#include "support/png.h"
#include "support/test_platform.h"
#include "world/particles.h"

namespace frame_test {

// Text coordinates (depth 500 under the 60-degree projection) to pixels of
// the 640 x 480 frame: one unit is 240 / (500 tan 30 degrees) pixels.
inline double unitsToPixels() { return 240.0 / (500.0 * std::tan(30.0 * 3.14159265358979 / 180)); }

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
    return &rgb[(static_cast<size_t>(py) * static_cast<size_t>(width) + static_cast<size_t>(px)) * 3];
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

// The game with its data loaded, as the shells start it.
class GameScene : public ::testing::Test {
 protected:
  void SetUp() override {
    std::error_code error;
    std::filesystem::current_path(SHOOTER_RUN_DIR, error);
    ASSERT_FALSE(error) << "cannot enter the run folder " << SHOOTER_RUN_DIR;
    ASSERT_TRUE(context_.open(640, 480)) << "no OpenGL context";
    resetGameState();
    resetParticles();
    testPlatform.clear();
    shell = ShellState{};
    resizeView(640, 480);
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

  void TearDown() override {
    releaseScene();
    enemyModel = Model{};
    context_.close();
    resetGameState();
    resetParticles();
  }

  // One pass of the main loop: the frame, the picture, the keyboard.
  Frame frame() {
    EXPECT_TRUE(runFrame());
    Frame f;
    f.rgb = context_.readPixels();
    context_.swap();
    keyboardStep();
    return f;
  }

  // A frame without looking at it.
  void step() {
    EXPECT_TRUE(runFrame());
    context_.swap();
    keyboardStep();
  }

  // Compares a frame with tests/reference/<name>.png within a tolerance, or
  // (with SHOOTER_WRITE_FRAMES set) writes the reference.
  static void matchReference(const Frame& f, const std::string& name,
                             size_t allowedPixels = 400) {
    const std::string reference =
        std::string(SHOOTER_SOURCE_DIR) + "/tests/reference/" + name + ".png";
    if (std::getenv("SHOOTER_WRITE_FRAMES") != nullptr) {
      ASSERT_TRUE(writePng(reference, f.width, f.height, 3, f.rgb.data(), true)) << reference;
      return;
    }
    PngImage expected;
    std::string why;
    ASSERT_TRUE(readPng(reference, expected, &why)) << reference << ": " << why;
    const PixelView want{expected.rgba.data(), expected.width, expected.height, 4, false};
    const size_t differing = countDifferentPixels(f.view(), want, 24);
    if (differing > allowedPixels) {
      const std::string actual = std::string(SHOOTER_BINARY_DIR) + "/" + name + "-actual.png";
      writePng(actual, f.width, f.height, 3, f.rgb.data(), true);
      ADD_FAILURE() << name << ": " << differing << " pixels differ; this frame is in " << actual;
    }
  }

  GlContext context_;
};

// Feeds mouse motion the way the shells receive it: moves of at most 100
// pixels, and after a move that leaves the band, the motion the cursor warp
// itself causes.
class Mouse {
 public:
  // Turns the view by about `degrees` (positive turns mouseYaw up).
  void turn(double degrees) {
    double pixels = -degrees * 32;
    while (std::fabs(pixels) > 0.0) {
      const double move = std::fabs(pixels) > 100 ? std::copysign(100.0, pixels) : pixels;
      pixels -= move;
      x_ += move;
      mouseView(x_, y_);
      if (x_ > 370) {
        x_ = 10;
        mouseView(x_, y_);
      } else if (x_ < 10) {
        x_ = 370;
        mouseView(x_, y_);
      }
    }
  }

 private:
  double x_ = 320;
  double y_ = 240;
};

// The angle from -180 to 180 that is equal to `degrees` modulo 360.
inline double wrap180(double degrees) {
  double d = std::fmod(degrees, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return d;
}

// The heading that faces from (x, z) towards (tx, tz): forward is (-sin, -cos).
inline double headingTowards(double x, double z, double tx, double tz) {
  return std::atan2(-(tx - x), -(tz - z)) * 180.0 / 3.14159265358979323846;
}

}  // namespace frame_test
