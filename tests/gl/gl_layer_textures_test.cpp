// The GL layer's textures against GL's and GLU's own: mipmaps, proxies and
// texture parameters.
#include <cstdlib>
#include <string>
#include <vector>

#include "gl_layer_fixture.h"

namespace gllayer {
namespace {
// Mipmaps: the same levels as GLU's (box-filtered halves), and a size that is
// no power of two rounded to the one GLU picks, with the values WebGL refuses
// mapped to those it takes.
TEST_F(GlLayer, MipmapsMatchGlu) {
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
  layerBindTexture(GL_TEXTURE_2D, names[1]);
  ASSERT_EQ(
      layerBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, 64, 32, GL_RGB, GL_UNSIGNED_BYTE, image.data()),
      0);
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
    for (int i = 0; i < w * h * 3; ++i)
      off += std::abs(int(want[size_t(i)]) - int(got[size_t(i)])) > 1;
    EXPECT_EQ(off, 0) << "level " << level;
  }

  // 48 x 40 goes up to 64 and down to 32, as GLU rounds.
  std::vector<unsigned char> odd(48 * 40 * 4, 200);
  glBindTexture(GL_TEXTURE_2D, names[1]);
  ASSERT_EQ(layerBuild2DMipmaps(GL_TEXTURE_2D, 4, 48, 40, GL_RGBA, GL_UNSIGNED_BYTE, odd.data()),
            0);
  GLint w = 0, h = 0, format = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 32);
  // GL 1.1's own backend hands GL the caller's internal format, 4: RGBA by its GL 1.0 name.
  EXPECT_TRUE(format == GL_RGBA || format == 4) << format;
  std::vector<unsigned char> level0(64 * 32 * 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, level0.data());
  for (unsigned char c : level0) ASSERT_EQ(c, 200);

  // WebGL has no GL_CLAMP: the layer on its terms takes the edge's colour.
  for (const LayerBackend& backend : kBackends) {
    glbatch::useBackend(*backend.backend);
    layerTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    constexpr GLint kClampToEdge = 0x812F;  // GL 1.2, not in every GL 1.1 header
    EXPECT_EQ(wrap, backend.backend->webGlTerms ? kClampToEdge : GLint(GL_CLAMP)) << backend.name;
  }
  glDeleteTextures(2, names);
}

// Proxy textures, which WebGL lacks: a proxy takes what the upload would (on
// the layer's terms, within the largest side) and reports its size; one the
// upload would refuse reports 0.
TEST_F(GlLayer, ProxyTexturesTakeWhatTheUploadTakes) {
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  const struct {
    GLsizei w, h;
    GLint border;
    GLenum type;
    GLint internalFormat;
    bool fixedTakes, webTakes;
  } cases[] = {
      {64, 32, 0, GL_UNSIGNED_BYTE, GL_RGB, true, true},
      {maxSize, 1, 0, GL_UNSIGNED_BYTE, GL_RGB, true, true},
      {maxSize * 2, 1, 0, GL_UNSIGNED_BYTE, GL_RGB, false, false},
      {1, maxSize * 2, 0, GL_UNSIGNED_BYTE, GL_RGB, false, false},
      {48, 40, 0, GL_UNSIGNED_BYTE, GL_RGB, false, false},  // no power of two
      {34, 18, 1, GL_UNSIGNED_BYTE, GL_RGB, true, false},   // a border
      {64, 32, 0, GL_FLOAT, GL_RGB, true, false},           // float pixels
      {64, 32, 0, GL_UNSIGNED_BYTE, GL_RGBA, true, false},  // another internal format
  };
  for (const LayerBackend& backend : kBackends) {
    glbatch::useBackend(*backend.backend);
    for (const auto& c : cases) {
      const bool takes = backend.backend->webGlTerms ? c.webTakes : c.fixedTakes;
      testing::internal::CaptureStderr();
      layerTexImage2D(GL_PROXY_TEXTURE_2D, 0, c.internalFormat, c.w, c.h, c.border, GL_RGB, c.type,
                      nullptr);
      GLint w = -1, h = -1;
      (backend.backend->webGlTerms ? layerGetTexLevelParameteriv : glGetTexLevelParameteriv)(
          GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
      (backend.backend->webGlTerms ? layerGetTexLevelParameteriv : glGetTexLevelParameteriv)(
          GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
      const std::string name = std::string(backend.name) + ": " + std::to_string(&c - cases);
      EXPECT_EQ(w, takes ? c.w : 0) << name;
      EXPECT_EQ(h, takes ? c.h : 0) << name;
      EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
      EXPECT_EQ(layerGetError(), GLenum(GL_NO_ERROR)) << name;
    }
  }
}

// A float parameter reaches GL as given, run now or from a list: a priority
// of a half is not 0.
TEST_F(GlLayer, FloatTextureParametersKeepTheirFraction) {
  layerBindTexture(GL_TEXTURE_2D, texture);
  layerTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, 0.5f);
  GLfloat priority = 0;
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &priority);
  EXPECT_FLOAT_EQ(priority, 0.5f);
  const GLuint list = layerGenLists(1);
  layerNewList(list, GL_COMPILE);
  layerTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, 0.25f);
  layerEndList();
  layerCallList(list);
  glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &priority);
  EXPECT_FLOAT_EQ(priority, 0.25f);
  layerDeleteLists(list, 1);
  EXPECT_EQ(layerGetError(), GLenum(GL_NO_ERROR));
}
}  // namespace
}  // namespace gllayer
