// The GL layer's short ways against its plain ones: immediate mode's vertices
// written straight into the batch against the same primitive compiled into a
// list and replayed (given vertices, transformed as the batch appends them),
// and the written-out rotation about an axis against the product with the
// whole rotation matrix, on affine and general matrices alike.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "gl/layer_capture.h"

namespace {

using glbatch::EyeVertex;

using GlFastPath = LayerCapture;

// Seven vertices of one primitive, each with its own colour and texture coordinate.
void primitive(GLenum mode) {
  layerBegin(mode);
  for (int i = 0; i < 7; ++i) {
    layerColor4f(0.1f * static_cast<float>(i), 0.5f, 1 - 0.13f * static_cast<float>(i), 0.7f);
    layerTexCoord2f(0.25f * static_cast<float>(i), 1.5f - 0.3f * static_cast<float>(i));
    layerVertex3d(1.7 * i - 3.1, std::sin(i) * 2.3, 0.9 * i * i - 7.5);
  }
  layerEnd();
}

bool sameBytes(const std::vector<EyeVertex>& a, const std::vector<EyeVertex>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(EyeVertex)) == 0;
}

TEST_F(GlFastPath, ImmediateModeStreamsWhatAListOfTheSamePrimitiveStreams) {
  const GLenum modes[] = {GL_POINTS,     GL_LINES,          GL_LINE_LOOP,    GL_LINE_STRIP,
                          GL_TRIANGLES,  GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_QUADS,
                          GL_QUAD_STRIP, GL_POLYGON};
  const GLuint list = layerGenLists(1);
  for (const bool textureMoved : {false, true}) {
    for (const GLenum mode : modes) {
      SCOPED_TRACE(::testing::Message() << "mode " << mode << ", texture matrix " << textureMoved);
      layerMatrixMode(GL_TEXTURE);
      layerLoadIdentity();
      if (textureMoved) layerRotated(30, 0, 0, 1);
      layerMatrixMode(GL_MODELVIEW);
      layerLoadIdentity();
      layerRotated(23, 1, 0, 0);
      layerTranslated(4.5, -2, 11);
      layerRotated(-71, 0.3, 1, 0.2);
      primitive(mode);
      const std::vector<EyeVertex> direct = take();
      ASSERT_FALSE(direct.empty());

      layerNewList(list, GL_COMPILE);
      primitive(mode);
      layerEndList();
      EXPECT_TRUE(take().empty()) << "compiling alone drew";
      layerCallList(list);
      EXPECT_TRUE(sameBytes(take(), direct)) << "the list drew otherwise";

      layerNewList(list, GL_COMPILE_AND_EXECUTE);
      primitive(mode);
      layerEndList();
      EXPECT_TRUE(sameBytes(take(), direct)) << "compiling and running drew otherwise";
    }
  }
  layerDeleteLists(list, 1);
  EXPECT_EQ(layerGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// a x b, column-major.
void product(const GLdouble a[16], const GLdouble b[16], GLdouble out[16]) {
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      out[c * 4 + r] = 0;
      for (int k = 0; k < 4; ++k) out[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    }
  }
}

// GL's rotation matrix, from the library's own sine and cosine.
void rotation(GLdouble degrees, GLdouble x, GLdouble y, GLdouble z, GLdouble out[16]) {
  const GLdouble length = std::sqrt(x * x + y * y + z * z);
  x /= length;
  y /= length;
  z /= length;
  const GLdouble a = degrees * 3.14159265358979323846 / 180;
  const GLdouble c = std::cos(a), s = std::sin(a), t = 1 - c;
  const GLdouble r[16] = {t * x * x + c,
                          t * x * y + s * z,
                          t * x * z - s * y,
                          0,
                          t * x * y - s * z,
                          t * y * y + c,
                          t * y * z + s * x,
                          0,
                          t * x * z + s * y,
                          t * y * z - s * x,
                          t * z * z + c,
                          0,
                          0,
                          0,
                          0,
                          1};
  std::memcpy(out, r, sizeof r);
}

// On the projection, whose every number the backend is handed: a rotation
// about each axis, and about another, of the identity, an affine matrix and a
// general one (a perspective), against the product with the whole rotation.
TEST_F(GlFastPath, RotationsOfEveryKindOfMatrixAreTheProductWithTheRotation) {
  const GLdouble identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const GLdouble affine[16] = {0.8, 0.1, -0.3, 0, 0.2, 0.9, 0.4, 0, -0.5, 0.3, 0.7, 0, 3, -4, 5, 1};
  const GLdouble general[16] = {1.2, 0.1,  0.3,  0.2, -0.4, 1.7, 0.5,  -0.1,
                                0.3, -0.2, -1.1, -1,  0.7,  0.6, -2.4, 0.5};
  const GLdouble* matrices[] = {identity, affine, general};
  const GLdouble axes[][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 2.5}, {0.3, -1, 0.6}};
  const GLdouble angles[] = {0, 30, -75, 180, 400, -1000.5};
  for (int m = 0; m < 3; ++m) {
    for (const auto& axis : axes) {
      for (const GLdouble degrees : angles) {
        SCOPED_TRACE(::testing::Message() << "matrix " << m << ", axis " << axis[0] << " "
                                          << axis[1] << " " << axis[2] << ", " << degrees);
        glbatch::matrixMode(GL_PROJECTION);
        glbatch::loadIdentity();
        if (m > 0) glbatch::multiply(matrices[m]);
        glbatch::rotate(degrees, axis[0], axis[1], axis[2]);
        GLdouble r[16], want[16];
        rotation(degrees, axis[0], axis[1], axis[2], r);
        product(matrices[m], r, want);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(projected[i], want[i], 1e-9) << "number " << i;
      }
    }
  }
  glbatch::matrixMode(GL_MODELVIEW);
}

// An angle's sine and cosine, looked up again after many other angles have
// come and gone, turn exactly as they did the first time.
TEST_F(GlFastPath, AnAngleTurnsTheSameAfterManyOthers) {
  const auto turned = [](GLdouble degrees) {
    glbatch::matrixMode(GL_PROJECTION);
    glbatch::loadIdentity();
    glbatch::rotate(degrees, 0, 1, 0);
    std::vector<GLdouble> m(projected, projected + 16);
    return m;
  };
  const GLdouble angles[] = {0, 12.5, -12.5, 90, 359.75, 1e-3};
  std::vector<std::vector<GLdouble>> first;
  for (const GLdouble a : angles) first.push_back(turned(a));
  for (int i = 0; i < 500; ++i) turned(0.37 * i + 0.001);
  for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(turned(angles[i]), first[i]) << angles[i];
  glbatch::matrixMode(GL_MODELVIEW);
}

}  // namespace
