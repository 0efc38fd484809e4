// The whole picture at every shape of window, from a phone held upright to a
// very wide screen: where the HUD's lines, the end screens' lines and the
// crosshair fall under resizeView's projection. Each is drawn here as a
// plain white box on black, alone, and found again in the pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/shell.h"
#include "camera.h"
#include "gl.h"
#include "support/game_scene.h"
#include "support/gl_context.h"

namespace {
// What the game prints, in text units at depth kTextDepth (x to the right,
// y up, from each line's top-left corner), and the crosshair's square.
struct Box {
  const char* what;
  scene::TextBox box;
};
const double kCross = kTextDepth / 35.0;  // the crosshair's +-1 at depth 35, seen at 500
const Box kBoxes[] = {
    {"Distance: 1234", scene::lineBox(150, 250, 0, 14)},
    {"ALERT!", scene::lineBox(150, 230, 0, 6)},
    {"point: 1234", scene::lineBox(150, 210, 0, 11)},
    {"end screen: point: 1234", scene::lineBox(0, 210, 0, 11)},
    {"end screen: GAME OVER!", scene::lineBox(0, 190, 0, 10)},
    {"end screen: Press ESC to exit...", scene::lineBox(0, 170, 0, 20)},
    {"crosshair", {-kCross, -kCross, kCross, kCross}},
};

struct Found {
  int lit = 0;
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // lit pixels' bounds
};

// Draws the box alone and finds it in the presented frame.
Found drawAndFind(GlContext* context, const scene::TextBox& b) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor4f(1, 1, 1, 1);
  const auto z = static_cast<float>(-kTextDepth);
  glBegin(GL_QUADS);
  glVertex3f(static_cast<float>(b.x0), static_cast<float>(b.y0), z);
  glVertex3f(static_cast<float>(b.x1), static_cast<float>(b.y0), z);
  glVertex3f(static_cast<float>(b.x1), static_cast<float>(b.y1), z);
  glVertex3f(static_cast<float>(b.x0), static_cast<float>(b.y1), z);
  glEnd();
  glFlush();
  context->swap();
  const std::vector<uint8_t> rgb = context->readPixels();
  Found f;
  const int w = context->width();
  for (int y = 0; y < context->height(); ++y) {
    for (int x = 0; x < w; ++x) {
      if (rgb[(static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 3] <
          128) {
        continue;
      }
      ++f.lit;
      f.x0 = std::min(f.x0, x);
      f.y0 = std::min(f.y0, y);
      f.x1 = std::max(f.x1, x);
      f.y1 = std::max(f.y1, y);
    }
  }
  return f;
}
}  // namespace

TEST(ScreenShape, EveryHudLineAndTheCrosshairStayWholeInsideTheFrame) {
  struct Size {
    int width, height;
  };
  const Size sizes[] = {{480, 640}, {640, 480}, {1280, 720}, {2560, 1080}, {390, 844}, {320, 100}};
  for (Size size : sizes) {
#if defined(_WIN32)
    // The tests' windows under Wine must fit the virtual screen: the same
    // shape, smaller.
    while (size.width > 1024 || size.height > 768) {
      size.width /= 2;
      size.height /= 2;
    }
#endif
    const int w = size.width;
    const int h = size.height;
    GlContext context;
    ASSERT_TRUE(context.open(w, h)) << w << "x" << h;
    scene::startGl();
    resizeView(w, h);
    // The view's height in pixels: the whole drawable at 4:3 and wider, the
    // 4:3 view's otherwise.
    const double viewHeight = w * 3 >= h * 4 ? h : w * 3.0 / 4.0;
    const double scale =
        viewHeight / (2 * kTextDepth * std::tan(kFieldOfView / 2 * 3.14159265358979 / 180));
    for (const Box& item : kBoxes) {
      const Found f = drawAndFind(&context, item.box);
      const double expected =
          (item.box.x1 - item.box.x0) * (item.box.y1 - item.box.y0) * scale * scale;
      // Nothing cut off: clear of every edge, and as large as it is drawn at
      // this scale.
      EXPECT_GT(f.x0, 0) << w << "x" << h << " " << item.what;
      EXPECT_GT(f.y0, 0) << w << "x" << h << " " << item.what;
      EXPECT_LT(f.x1, w - 1) << w << "x" << h << " " << item.what;
      EXPECT_LT(f.y1, h - 1) << w << "x" << h << " " << item.what;
      EXPECT_NEAR(f.lit, expected, expected * 0.1 + 2 * (f.x1 - f.x0 + f.y1 - f.y0 + 2))
          << w << "x" << h << " " << item.what;
      if (std::strcmp(item.what, "crosshair") == 0) {
        // The crosshair sits at the frame's centre.
        EXPECT_NEAR((f.x0 + f.x1 + 1) / 2.0, w / 2.0, 1.0) << w << "x" << h;
        EXPECT_NEAR((f.y0 + f.y1 + 1) / 2.0, h / 2.0, 1.0) << w << "x" << h;
      }
    }
    scene::stopGl();
    context.close();
  }
}
