// The GL layer's tests' common ground: the GL calls a scene makes, through GL's
// own entry points or the layer's, and the fixture that opens a 640 x 480
// context with a small texture and draws a scene both ways.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "gl/gl_batch.h"
#include "gl/gl_desktop.h"
#include "gl/gl_layer.h"
#include "support/gl_context.h"

namespace gllayer {
// The GL calls a scene makes, each entry point of the layer's list: GL's own,
// or the layer's.
struct Gl {
#define SHOOTER_GL_ENTRY(result, api, name, params, ...) result(*name) params;
#include "gl/gl_entry_points.h"
#undef SHOOTER_GL_ENTRY
};
inline const Gl kDesktop = {
#define SHOOTER_GL_ENTRY(result, api, name, ...) api##name,
#include "gl/gl_entry_points.h"
#undef SHOOTER_GL_ENTRY
};
inline const Gl kLayer = {
#define SHOOTER_GL_ENTRY(result, api, name, ...) layer##name,
#include "gl/gl_entry_points.h"
#undef SHOOTER_GL_ENTRY
};

inline GLuint texture = 0;  // 16 x 16 squares in four colours, made by the fixture

// A quad with its corners at (x, y) and (x + w, y + h), depth z, textured
// from corner to corner or with the current texture coordinate.
inline void quad(const Gl& gl, int x, int y, int w, int h, double z = 0, bool mapped = true) {
  gl.Begin(GL_QUADS);
  const int corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (const auto& c : corners) {
    if (mapped) gl.TexCoord2f(float(c[0]), float(c[1]));
    gl.Vertex3d(x + w * c[0], y + h * c[1], z);
  }
  gl.End();
}

// A row of RGBA pixels, one by default, into the bound texture.
inline void upload(const Gl& gl, const void* pixel, GLenum type = GL_UNSIGNED_BYTE,
                   GLsizei width = 1) {
  gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, 1, 0, GL_RGBA, type, pixel);
}

struct LayerBackend {
  const char* name;
  const glbatch::Backend* backend;
};
inline const LayerBackend kBackends[] = {
    {"GL 1.1 client arrays", &glbatch::fixedFunctionBackend},
#ifdef SHOOTER_TEST_SHADER_BACKEND
    {"shader program", &glbatch::shaderBackend},
#endif
};

class GlLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(context_.open(640, 480)) << "no OpenGL context";
    glViewport(0, 0, 640, 480);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
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
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 16, 16, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    ASSERT_TRUE(layerStart()) << "the layer cannot draw in this context";
  }

  void TearDown() override {
    layerStop();
    glbatch::useBackend(glbatch::fixedFunctionBackend);
    glDeleteTextures(1, &texture);
    context_.close();
  }

  // The scene drawn from GL's initial state, 640 x 480 pixels to the screen.
  std::vector<uint8_t> picture(const Gl& gl, void (*draw)(const Gl&)) {
    const bool layer = &gl == &kLayer;
    if (layer) layerStart();
    if (layer) testing::internal::CaptureStderr();
    gl.Viewport(0, 0, 640, 480);
    gl.MatrixMode(GL_TEXTURE);
    gl.LoadIdentity();
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadIdentity();
    gl.Ortho(0, 640, 0, 480, -100, 100);
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    for (GLenum cap : {GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST}) gl.Disable(cap);
    gl.BindTexture(GL_TEXTURE_2D, 0);
    gl.BlendFunc(GL_ONE, GL_ZERO);
    gl.DepthFunc(GL_LESS);
    gl.Color4f(1, 1, 1, 1);
    draw(gl);
    EXPECT_EQ(gl.GetError(), GLenum(GL_NO_ERROR));
    if (layer) {
      layerFinish();
      layerStop();
      EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
    glFinish();
    std::vector<uint8_t> rgb = context_.readPixels();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
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
};

}  // namespace gllayer
