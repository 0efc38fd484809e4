// The bitmap font on a synthetic font texture: each glyph cell is one flat
// colour, so the colour on screen says which cell was drawn, and where.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "camera.h"
#include "gl.h"
#include "support/game_scene.h"
#include "support/gl_context.h"
#include "text/font.h"

namespace {

constexpr int kCellTexels = 16;
constexpr int kFontSize = 16 * kCellTexels;

// The colour of glyph cell n in the synthetic font.
struct Rgb {
  int r, g, b;
};
Rgb cellColour(int n) { return {n, 255 - n, (n * 37) & 0xFF}; }

class Font : public scene::GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    if (HasFatalFailure()) return;
    // Cell n at column n % 16, row n / 16 counted from the top of the picture;
    // OpenGL's first texture row is the picture's bottom row.
    std::vector<unsigned char> texels(size_t(kFontSize) * kFontSize * 3);
    for (int y = 0; y < kFontSize; ++y) {
      const int pictureRow = kFontSize - 1 - y;
      for (int x = 0; x < kFontSize; ++x) {
        const Rgb c = cellColour((pictureRow / kCellTexels) * 16 + x / kCellTexels);
        unsigned char* t = &texels[(size_t(y) * kFontSize + size_t(x)) * 3];
        t[0] = static_cast<unsigned char>(c.r);
        t[1] = static_cast<unsigned char>(c.g);
        t[2] = static_cast<unsigned char>(c.b);
      }
    }
    glGenTextures(1, &fontTexture.textureName);
    glBindTexture(GL_TEXTURE_2D, fontTexture.textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, kFontSize, kFontSize, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 texels.data());
    buildFontLists();

    // The scene's projection and the frame's text set-up.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, 640.0 / 480.0, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
  }

  void TearDown() override {
    deleteFontLists();
    GlTest::TearDown();
  }

  void grab() {
    context.swap();
    frame_ = context.readPixels();
  }

  // Pixel (x, y) in window coordinates, y counted up from the bottom.
  Rgb at(int x, int y) const {
    const unsigned char* p = &frame_[(size_t(y) * 640 + size_t(x)) * 3];
    return {p[0], p[1], p[2]};
  }
  static bool near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 8 && std::abs(a.g - b.g) <= 8 && std::abs(a.b - b.b) <= 8;
  }
  bool isCell(int x, int y, int n) const { return near(at(x, y), cellColour(n)); }
  bool isBlack(int x, int y) const { return near(at(x, y), {0, 0, 0}); }

  // Where text at depth 500 lands: one unit is 480 / (1000 tan 30deg) pixels.
  static double unitsToPixels(double units) {
    return units * 480.0 / (2 * kTextDepth * std::tan(kFieldOfView / 2 * 3.14159265358979 / 180.0));
  }

  double translationAfterPrint() const {
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    return m[12];
  }

  std::vector<unsigned char> frame_;
};

// The pen's moves, read from the driver's modelview matrix.
class FontOnTheDriver : public Font {
 protected:
  gldesk::Path glPath() const override { return gldesk::Path::Direct; }
};

}  // namespace

TEST_F(Font, LetterAInSetOneDrawsCell161HangingFromTheCentre) {
  printString(0, 0, 1, "A");
  grab();
  const int size = int(unitsToPixels(16));  // about 13 pixels
  ASSERT_EQ(size, 13);
  // Inside the glyph: right of and below the centre (320, 240).
  EXPECT_TRUE(isCell(320 + size / 2, 240 - size / 2, 161));
  EXPECT_TRUE(isCell(321, 239, 161));
  EXPECT_TRUE(isCell(320 + size - 1, 240 - size + 1, 161));
  // Outside it: left of and above the centre, and past its far corner.
  EXPECT_TRUE(isBlack(318, 239));
  EXPECT_TRUE(isBlack(321, 241));
  EXPECT_TRUE(isBlack(320 + size + 1, 239));
  EXPECT_TRUE(isBlack(321, 240 - size - 1));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(Font, SetZeroAndLargeSetsPickTheirCells) {
  printString(-100, 100, 0, "A");
  printString(100, 100, 5, "A");
  grab();
  const int half = int(unitsToPixels(8));
  const int left = 320 - int(unitsToPixels(100));
  const int right = 320 + int(unitsToPixels(100));
  const int row = 240 + int(unitsToPixels(100));
  EXPECT_TRUE(isCell(left + half, row - half, 33));
  EXPECT_TRUE(isCell(right + half, row - half, 161));
}

TEST_F(FontOnTheDriver, LettersAdvanceFourteenUnits) {
  printString(0, 0, 1, "AB");
  grab();
  const int y = 240 - int(unitsToPixels(8));
  int firstA = -1, firstB = -1;
  for (int x = 300; x < 360; ++x) {
    if (firstA < 0 && isCell(x, y, 161)) firstA = x;
    if (firstB < 0 && isCell(x, y, 162)) firstB = x;
  }
  ASSERT_GE(firstA, 0);
  ASSERT_GE(firstB, 0);
  const double advance = unitsToPixels(14);  // 11.6 pixels
  EXPECT_NEAR(firstB - firstA, advance, 1.0);
  // Each character moves the pen 14 units.
  EXPECT_NEAR(translationAfterPrint(), 28.0, 1e-3);
}

TEST_F(FontOnTheDriver, EmptyAndNullTextDrawNothing) {
  glEnable(GL_TEXTURE_2D);
  printString(0, 0, 1, "");
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_NEAR(translationAfterPrint(), 0.0, 1e-3);
  printString(0, 0, 1, nullptr);
  grab();
  for (int y = 200; y < 280; y += 3)
    for (int x = 280; x < 360; x += 3) EXPECT_TRUE(isBlack(x, y)) << x << "," << y;
}

TEST_F(FontOnTheDriver, CutsLongTextAt1023Characters) {
  printString(-50, 0, 1, "42");
  EXPECT_NEAR(translationAfterPrint(), -50.0 + 28.0, 1e-3);
  std::string longText(1500, 'x');
  printString(0, 0, 1, longText.c_str());
  EXPECT_NEAR(translationAfterPrint(), 14.0 * 1023, 1e-3);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
