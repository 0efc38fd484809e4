// The rendering tests' context under Wine: a hidden window whose back buffer
// reads back what was drawn.
#include <gtest/gtest.h>

#include "gl.h"
#include "support/gl_context.h"

namespace {
TEST(GlContextWin32, DrawnFrameReadsBackFromTheBackBuffer) {
  GlContext gl;
  ASSERT_TRUE(gl.open(64, 48));
  EXPECT_EQ(gl.width(), 64);
  EXPECT_EQ(gl.height(), 48);
  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // A red square over the left half of the bottom rows.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 64, 0, 48, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor3f(1.0f, 0.0f, 0.0f);
  glBegin(GL_QUADS);
  glVertex2i(0, 0);
  glVertex2i(32, 0);
  glVertex2i(32, 24);
  glVertex2i(0, 24);
  glEnd();
  const std::vector<uint8_t> pixels = gl.readPixels();
  ASSERT_EQ(pixels.size(), 64u * 48u * 3u);
  auto at = [&](int x, int y, int channel) { return pixels[(y * 64 + x) * 3 + channel]; };
  EXPECT_EQ(at(4, 4, 0), 255);
  EXPECT_EQ(at(4, 4, 2), 0);
  EXPECT_EQ(at(60, 40, 0), 0);
  EXPECT_EQ(at(60, 40, 2), 255);
  gl.swap();
}

TEST(GlContextWin32, ReopensAfterClose) {
  GlContext gl;
  ASSERT_TRUE(gl.open());
  gl.close();
  ASSERT_TRUE(gl.open(640, 480));
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);
}
}  // namespace
