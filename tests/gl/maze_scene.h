// Shared set-up for the maze and particle rendering tests: an offscreen
// 640 x 480 context with the game's projection and fixed GL state, textures
// made here (so changes to the game's art do not move the references), the
// maze lists, and a camera placed like the frame places it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/shell.h"
#include "game/state.h"
#include "gl.h"
#include "image/textures.h"
#include "support/gl_context.h"
#include "support/png.h"
#include "support/test_platform.h"
#include "world/maze.h"
#include "world/particles.h"

namespace maze_scene {

constexpr int kTextureSize = 64;

using Pixels = std::vector<uint8_t>;

// A mipmapped RGB texture made the way the texture set makes its own.
inline GLuint makeTexture(const Pixels& rgb) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, kTextureSize, kTextureSize, GL_RGB,
                    GL_UNSIGNED_BYTE, rgb.data());
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

inline void set(uint8_t* p, int r, int g, int b) {
  p[0] = static_cast<uint8_t>(r);
  p[1] = static_cast<uint8_t>(g);
  p[2] = static_cast<uint8_t>(b);
}

// Walls: sand-coloured bricks with dark mortar, a red band at the top of the
// image (t near 1, the top of a wall) and a blue column at s = 0, so that the
// orientation of every wall quad shows in the picture.
inline Pixels wallImage() {
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
inline Pixels exitImage() {
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
inline Pixels floorImage() {
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
inline Pixels smokeImage() {
  return paint([](int s, int t, uint8_t* p) {
    const double dx = s - 31.5;
    const double dy = t - 31.5;
    const double d = std::sqrt(dx * dx + dy * dy) / 32.0;
    const int v = d >= 1 ? 0 : static_cast<int>(255 * (1 - d));
    set(p, v, v, v);
  });
}

// The scene as start-up leaves it: projection, textures, maze lists and the
// fixed GL state.
class MazeScene : public ::testing::Test {
 protected:
  void SetUp() override {
    // The OS stand-in answers resizeView's and the shell's calls.
    testPlatform.clear();
    resetGameState();
    resetParticles();
    ASSERT_TRUE(context.open(640, 480)) << "no OpenGL context";
    resizeView(640, 480);
    wallTexture = makeTexture(wallImage());
    exitTexture = makeTexture(exitImage());
    floorTexture = makeTexture(floorImage());
    smokeTexture = makeTexture(smokeImage());
    buildMaze();
    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  void TearDown() override {
    context.close();
    resetParticles();
    resetGameState();
  }

  // The player's position and view, as the frame leaves them before drawing.
  static void standAt(double x, double z, double heading, double pitch = 0) {
    player.xtrans2 = x;
    player.ztrans2 = z;
    view.camX = -x;
    view.camZ = -z;
    input.pitch = pitch;
    view.heading = heading;
    view.viewYaw = 360 - heading;
  }

  // Clears, places the camera at eye height 25 and draws the maze, with the
  // current colour opaque white as the frame has it.
  static void drawMazeView() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    glLoadIdentity();
    glRotated(input.pitch, 1, 0, 0);
    glRotated(view.viewYaw, 0, 1, 0);
    glTranslated(view.camX, -25, view.camZ);
    drawMaze();
  }

  // The presented frame, bottom row first.
  Pixels present() {
    context.swap();
    return context.readPixels();
  }

  GlContext context;
};

inline bool writingFrames() { return std::getenv("SHOOTER_WRITE_FRAMES") != nullptr; }

inline std::string referencePath(const std::string& name) {
  return std::string(SHOOTER_SOURCE_DIR) + "/tests/reference/" + name + ".png";
}

// Where frames go for review: beside the build, never into the sources.
inline std::string framePath(const std::string& name) {
  const std::string dir = std::string(SHOOTER_BINARY_DIR) + "/frames";
  std::error_code ignored;
  std::filesystem::create_directories(dir, ignored);
  return dir + "/" + name + ".png";
}

inline bool writeFrame(const std::string& path, const Pixels& rgb) {
  return writePng(path, 640, 480, 3, rgb.data(), true);
}

// How many of the 640 x 480 pixels differ from the reference image.
// SHOOTER_WRITE_FRAMES (re)writes the reference instead.
inline size_t compareWithReference(const std::string& name, const Pixels& rgb) {
  if (writingFrames()) {
    EXPECT_TRUE(writeFrame(referencePath(name), rgb)) << referencePath(name);
    return 0;
  }
  PngImage reference;
  std::string error;
  if (!readPng(referencePath(name), reference, &error)) {
    ADD_FAILURE() << "cannot read " << referencePath(name) << ": " << error;
    return 640 * 480;
  }
  const PixelView actual{rgb.data(), 640, 480, 3, true};
  const PixelView expected{reference.rgba.data(), reference.width, reference.height, 4, false};
  const size_t differing = countDifferentPixels(actual, expected, 24);
  if (differing > 0) writeFrame(framePath(name), rgb);
  return differing;
}

}  // namespace maze_scene
