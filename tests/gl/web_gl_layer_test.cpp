// The browser build's GL 1.1 layer, run here over desktop GL: what it draws
// must match what GL's own display lists, immediate mode and GLU draw.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#define SHOOTER_GL_COMPAT_IMPLEMENTATION  // call both the layer and real GL here
#include "gl/gl_compat.h"
#include "support/gl_context.h"

namespace {
class WebGlLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(context_.open(640, 480)) << "no OpenGL context";
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 0, 480, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // A 16 x 16 texture of 4 x 4 squares in four colours.
    std::vector<unsigned char> pixels(16 * 16 * 3);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        unsigned char* p = &pixels[static_cast<size_t>(y * 16 + x) * 3];
        const int square = (x / 4 + y / 4) % 4;
        p[0] = square == 1 ? 255 : 40;
        p[1] = square == 2 ? 255 : 80;
        p[2] = square == 3 ? 255 : 120;
      }
    }
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 16, 16, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
  }

  void TearDown() override {
    glDeleteTextures(1, &texture_);
    context_.close();
  }

  // What was drawn since the last picture; the next one starts from black.
  std::vector<uint8_t> picture() {
    glFinish();
    std::vector<uint8_t> rgb = context_.readPixels();
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    return rgb;
  }

  // Pixels with a channel off by more than 8: quads split along another
  // diagonal may differ on the diagonal's edge pixels only.
  static int differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int n = 0;
    for (size_t p = 0; p + 2 < a.size(); p += 3) {
      for (size_t c = 0; c < 3; ++c) {
        if (std::abs(int(a[p + c]) - int(b[p + c])) > 8) {
          ++n;
          break;
        }
      }
    }
    return n;
  }

  static int lit(const std::vector<uint8_t>& a) {
    int n = 0;
    for (size_t p = 0; p + 2 < a.size(); p += 3) n += (a[p] | a[p + 1] | a[p + 2]) != 0;
    return n;
  }

  GlContext context_;
  GLuint texture_ = 0;
};

// Glyph-like lists: a textured quad and a move to the right, called through a
// list base with the colour set outside the lists, as the text output does.
TEST_F(WebGlLayer, ListsCalledThroughABaseTakeTheColourOfTheCall) {
  const GLuint real = glGenLists(3);
  const GLuint layer = webGenLists(3);
  for (GLuint i = 0; i < 3; ++i) {
    const float s = 0.25f * static_cast<float>(i);
    glNewList(real + i, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(s, 0); glVertex2i(0, 0);
    glTexCoord2f(s + 0.5f, 0); glVertex2i(60, 0);
    glTexCoord2f(s + 0.5f, 1); glVertex2i(60, 90);
    glTexCoord2f(s, 1); glVertex2i(0, 90);
    glEnd();
    glTranslated(70, 0, 0);
    glEndList();
    webNewList(layer + i, GL_COMPILE);
    webBegin(GL_QUADS);
    webTexCoord2f(s, 0); webVertex2i(0, 0);
    webTexCoord2f(s + 0.5f, 0); webVertex2i(60, 0);
    webTexCoord2f(s + 0.5f, 1); webVertex2i(60, 90);
    webTexCoord2f(s, 1); webVertex2i(0, 90);
    webEnd();
    webTranslated(70, 0, 0);
    webEndList();
  }
  const GLubyte text[] = {'a', 'c', 'b', 'a'};
  const float colours[2][4] = {{1, 0.5f, 0.25f, 1}, {0.25f, 1, 1, 0.5f}};
  std::vector<uint8_t> want, got;
  for (int pass = 0; pass < 2; ++pass) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    for (int row = 0; row < 2; ++row) {
      glLoadIdentity();
      glTranslated(20, 40 + 150 * row, 0);
      if (pass == 0) {
        glColor4f(colours[row][0], colours[row][1], colours[row][2], colours[row][3]);
        glListBase(real - 'a');
        glCallLists(4, GL_UNSIGNED_BYTE, text);
      } else {
        webColor4f(colours[row][0], colours[row][1], colours[row][2], colours[row][3]);
        webListBase(layer - 'a');
        webCallLists(4, GL_UNSIGNED_BYTE, text);
      }
    }
    glDisable(GL_TEXTURE_2D);
    (pass == 0 ? want : got) = picture();
  }
  EXPECT_GT(lit(want), 40000);
  EXPECT_LE(differing(want, got), 200);
  glDeleteLists(real, 3);
  webDeleteLists(layer, 3);
}

// One colour, then the vertices: every vertex takes it (and the next
// primitive too), in triangles and quads, with double-precision calls.
TEST_F(WebGlLayer, ImmediateModeCarriesTheCurrentColour) {
  std::vector<uint8_t> want, got;
  for (int pass = 0; pass < 2; ++pass) {
    const bool real = pass == 0;
    real ? glColor4d(0, 0.75, 0.5, 1) : webColor4d(0, 0.75, 0.5, 1);
    real ? glBegin(GL_QUADS) : webBegin(GL_QUADS);
    const double quad[4][2] = {{50, 50}, {300, 60}, {280, 400}, {40, 350}};
    for (const auto& v : quad) real ? glVertex3d(v[0], v[1], 0) : webVertex3d(v[0], v[1], 0);
    real ? glEnd() : webEnd();
    real ? glBegin(GL_TRIANGLES) : webBegin(GL_TRIANGLES);
    const float tri[6][2] = {{350, 50}, {600, 80}, {450, 300}, {350, 320}, {620, 330}, {500, 470}};
    for (int i = 0; i < 6; ++i) {
      if (i == 3) real ? glColor4f(1, 0, 1, 0.5f) : webColor4f(1, 0, 1, 0.5f);
      real ? glVertex3f(tri[i][0], tri[i][1], 0) : webVertex3f(tri[i][0], tri[i][1], 0);
    }
    real ? glEnd() : webEnd();
    (real ? want : got) = picture();
  }
  EXPECT_GT(lit(want), 80000);
  EXPECT_LE(differing(want, got), 300);
}

// State recorded in a list runs when it is called, not when it is built; a
// colour set inside a list stays the current colour after it.
TEST_F(WebGlLayer, ListsRecordStateAndMatrixCallsForLater) {
  const GLuint list = webGenLists(1);
  webNewList(list, GL_COMPILE);
  webDisable(GL_BLEND);
  webColor4f(1, 1, 0, 1);
  webPushMatrix();
  webTranslatef(100, 100, 0);
  webRotated(90, 0, 0, 1);
  webBegin(GL_TRIANGLES);
  webVertex3f(0, 0, 0); webVertex3f(100, 0, 0); webVertex3f(0, 50, 0);
  webEnd();
  webPopMatrix();
  webEndList();
  EXPECT_TRUE(glIsEnabled(GL_BLEND));  // nothing ran yet
  EXPECT_EQ(lit(picture()), 0);
  webColor4f(0, 0, 1, 1);
  webCallList(list);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  // The triangle turned a quarter about (100, 100): up and to the left of it.
  const std::vector<uint8_t> shown = picture();
  const uint8_t* inside = &shown[static_cast<size_t>(150 * 640 + 80) * 3];
  EXPECT_EQ(inside[0], 255);
  EXPECT_EQ(inside[1], 255);
  EXPECT_EQ(inside[2], 0);
  // The list's colour is current afterwards.
  webBegin(GL_TRIANGLES);
  webVertex3f(400, 100, 0); webVertex3f(500, 100, 0); webVertex3f(400, 200, 0);
  webEnd();
  const std::vector<uint8_t> after = picture();
  const uint8_t* next = &after[static_cast<size_t>(120 * 640 + 420) * 3];
  EXPECT_EQ(next[0], 255);
  EXPECT_EQ(next[2], 0);
  webDeleteLists(list, 1);
  glEnable(GL_BLEND);
  // A deleted list draws nothing.
  webCallList(list);
  const std::vector<uint8_t> none = picture();
  EXPECT_EQ(lit(none), 0);
}

// Mipmaps: the same levels as GLU's (box-filtered halves), and a size that is
// no power of two rounded to the one GLU picks, with the values WebGL refuses
// mapped to those it takes.
TEST_F(WebGlLayer, MipmapsMatchGlu) {
  std::vector<unsigned char> image(64 * 32 * 3);
  uint32_t seed = 12345;
  for (unsigned char& c : image) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<unsigned char>(seed >> 24);
  }
  GLuint names[2];
  glGenTextures(2, names);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glBindTexture(GL_TEXTURE_2D, names[0]);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, 64, 32, GL_RGB, GL_UNSIGNED_BYTE, image.data());
  glBindTexture(GL_TEXTURE_2D, names[1]);
  ASSERT_EQ(webBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, 64, 32, GL_RGB, GL_UNSIGNED_BYTE,
                              image.data()), 0);
  for (GLint level = 0; level <= 6; ++level) {
    std::vector<unsigned char> want(64 * 32 * 3), got(64 * 32 * 3);
    GLint w = 0, h = 0;
    glBindTexture(GL_TEXTURE_2D, names[1]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, level < 6 ? 64 >> level : 1) << "level " << level;
    EXPECT_EQ(h, level < 5 ? 32 >> level : 1) << "level " << level;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, got.data());
    glBindTexture(GL_TEXTURE_2D, names[0]);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, want.data());
    int off = 0;
    for (int i = 0; i < w * h * 3; ++i) off += std::abs(int(want[size_t(i)]) - int(got[size_t(i)])) > 1;
    EXPECT_EQ(off, 0) << "level " << level;
  }

  // 48 x 40 goes up to 64 and down to 32, as GLU rounds.
  std::vector<unsigned char> odd(48 * 40 * 4, 200);
  glBindTexture(GL_TEXTURE_2D, names[1]);
  ASSERT_EQ(webBuild2DMipmaps(GL_TEXTURE_2D, 4, 48, 40, GL_RGBA, GL_UNSIGNED_BYTE, odd.data()), 0);
  GLint w = 0, h = 0, format = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 32);
  EXPECT_EQ(format, GL_RGBA);
  std::vector<unsigned char> level0(64 * 32 * 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, level0.data());
  for (unsigned char c : level0) ASSERT_EQ(c, 200);

  webTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  GLint wrap = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  constexpr GLint kClampToEdge = 0x812F;  // GL 1.2, not in every GL 1.1 header
  EXPECT_EQ(wrap, kClampToEdge);
  glDeleteTextures(2, names);
}
// Proxy textures, which WebGL lacks: any size within the largest side is
// taken and reported, a larger one is refused with 0.
TEST_F(WebGlLayer, ProxyTexturesTakeWhatFitsTheLargestSide) {
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  const struct { GLsizei w, h; bool fits; } cases[] = {
      {48, 40, true}, {maxSize, 1, true}, {maxSize + 1, 1, false}, {1, maxSize + 1, false}};
  for (const auto& c : cases) {
    webTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGB8, c.w, c.h, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    GLint w = -1, h = -1;
    webGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    webGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, c.fits ? c.w : 0) << c.w << " x " << c.h;
    EXPECT_EQ(h, c.fits ? c.h : 0) << c.w << " x " << c.h;
  }
}
}  // namespace
