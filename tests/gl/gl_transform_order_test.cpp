// The GL layer's matrices and vertices bit for bit: what the layer streams for
// the smoke's pattern of calls (and for a shuffle of the matrix calls with
// pushes and pops) against a plain model that does every product and sum one
// at a time in the order the layer has always used, with the angle's sine and
// cosine from the same polynomial. A short way that rounds otherwise moves
// vertices, and with them pixels of the reference frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gl/layer_capture.h"

namespace {

using glbatch::EyeVertex;

constexpr double kOrigin[3] = {0, 0, 0};

// The modelview as the layer has always worked it out.
struct Plain {
  double m[16];
  int kind;  // 0 the identity, 1 affine, 2 general
};

void identity(Plain* p) {
  const double id[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  std::memcpy(p->m, id, sizeof id);
  p->kind = 0;
}

// The sine and cosine of degrees >= 0, as the layer's table holds them.
void turnOf(double degrees, double* cosine, double* sine) {
  double d = degrees;
  if (d >= 360) d = std::fmod(d, 360.0);
  const int quarters = static_cast<int>((d + 45) * (1.0 / 90));
  const double r = (d - 90 * quarters) * (3.14159265358979323846 / 180.0);
  const double z = r * r;
  const double s =
      r + r * z *
              (-1.0 / 6 +
               z * (1.0 / 120 + z * (-1.0 / 5040 + z * (1.0 / 362880 + z * (-1.0 / 39916800)))));
  const double c =
      1 - 0.5 * z +
      z * z *
          (1.0 / 24 +
           z * (-1.0 / 720 + z * (1.0 / 40320 + z * (-1.0 / 3628800 + z * (1.0 / 479001600)))));
  const double cs[4][2] = {{c, s}, {-s, c}, {-c, -s}, {s, -c}};
  *cosine = cs[quarters & 3][0];
  *sine = cs[quarters & 3][1];
}

// About x (plane 1), y (2) or z (0).
void rotate(Plain* p, double degrees, int plane) {
  if (degrees == 0) return;
  double c = 0, s = 0;
  turnOf(std::fabs(degrees), &c, &s);
  if (degrees < 0) s = -s;
  if (s == 0 && c == 1) return;
  double* u = p->m + plane * 4;
  double* v = p->m + (plane == 2 ? 0 : plane + 1) * 4;
  for (int row = 0; row < (p->kind == 2 ? 4 : 3); ++row) {
    const double a = u[row], b = v[row];
    u[row] = a * c + b * s;
    v[row] = b * c - a * s;
  }
  if (p->kind == 0) p->kind = 1;
}

void translate(Plain* p, double x, double y, double z) {
  double* m = p->m;
  if (p->kind == 0) {
    m[12] = x;
    m[13] = y;
    m[14] = z;
    p->kind = 1;
    return;
  }
  for (int row = 0; row < (p->kind == 2 ? 4 : 3); ++row) {
    m[12 + row] += m[row] * x + m[4 + row] * y + m[8 + row] * z;
  }
}

EyeVertex eye(const Plain& p, double dx, double dy, double dz, float s, float t,
              const GLubyte colour[4]) {
  const double x = static_cast<float>(dx), y = static_cast<float>(dy), z = static_cast<float>(dz);
  const double* m = p.m;
  EyeVertex v{};
  for (int row = 0; row < 3; ++row) {
    v.position[row] =
        static_cast<float>(m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row]);
  }
  v.texCoord[0] = s;
  v.texCoord[1] = t;
  std::memcpy(v.colour, colour, 4);
  return v;
}

// The layer and the model side by side: each call made on both.
class GlTransformOrder : public LayerCapture {
 protected:
  void SetUp() override {
    LayerCapture::SetUp();
    stack_.assign(1, Plain{});
    identity(&stack_[0]);
  }

  Plain& top() { return stack_.back(); }
  // The layer's modelview, number for number, the same as the model's.
  void same() {
    GLdouble m[16];
    glbatch::modelviewMatrix(m);
    ASSERT_EQ(std::memcmp(m, top().m, sizeof m), 0) << "after call " << calls_;
    ++calls_;
  }
  void loadIdentity() {
    layerLoadIdentity();
    identity(&top());
    same();
  }
  void rotate(double degrees, int plane) {
    // A zero of either sign counts as zero for the axis.
    const double axes[3][3] = {{-0.0, 0, 0.5}, {1, 0, -0.0}, {0, 2, 0}};
    layerRotated(degrees, axes[plane][0], axes[plane][1], axes[plane][2]);
    ::rotate(&top(), degrees, plane);
    same();
  }
  void translate(double x, double y, double z) {
    layerTranslated(x, y, z);
    ::translate(&top(), x, y, z);
    same();
  }
  void push() {
    layerPushMatrix();
    stack_.push_back(top());
  }
  void pop() {
    layerPopMatrix();
    stack_.pop_back();
    same();
  }
  // A general matrix (a perspective's bottom row) in place of the modelview.
  void loadGeneral() {
    const GLdouble g[16] = {1.25,  0.5,   -0.75, 0.125, -0.5, 1.5,  0.25, -0.0625,
                            0.375, -0.25, 1.125, -1,    2.5,  -1.5, 0.75, 0.5};
    layerLoadIdentity();
    glbatch::multiply(g);
    std::memcpy(top().m, g, sizeof g);
    top().kind = 2;
  }
  // A triangle or a quad, each corner its own texture coordinate and colour.
  void shape(int corners, double size, double colour, const double centre[3] = kOrigin) {
    const double at[4][2] = {{centre[0] + size, centre[1] + size},
                             {centre[0] + size, centre[1] - size},
                             {centre[0] - size, centre[1] - size},
                             {centre[0] - size, centre[1] + size}};
    const float alpha = static_cast<float>(colour);
    // NOLINTNEXTLINE(bugprone-incorrect-roundings): as the frame buffer keeps it
    const GLubyte bytes[4] = {46, 43, 38, static_cast<GLubyte>(alpha * 255 + 0.5f)};
    layerColor4d(0.18, 0.17, 0.15, colour);
    layerBegin(corners == 3 ? GL_TRIANGLES : GL_QUADS);
    EyeVertex v[4];
    for (int k = 0; k < corners; ++k) {
      const float s = static_cast<float>(k) * 0.25f, t = 1 - s;
      layerTexCoord2f(s, t);
      const double z = centre[2] + (corners == 3 ? size * (k - 1) : 0);
      layerVertex3d(at[k][0], at[k][1], z);
      v[k] = eye(top(), at[k][0], at[k][1], z, s, t, bytes);
    }
    layerEnd();
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < (corners == 3 ? 3 : 6); ++i) expected_.push_back(v[order[i]]);
  }
  // The point the modelview takes to (about) the eye, where each coordinate
  // is a sum that nearly cancels: there the order of the sums shows.
  void nearTheEye(double out[3]) {
    const double* m = top().m;
    const double det = m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
                       m[8] * (m[1] * m[6] - m[5] * m[2]);
    const double b[3] = {-m[12], -m[13], -m[14]};
    for (int i = 0; i < 3; ++i) {
      double c[9] = {m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]};
      for (int r = 0; r < 3; ++r) c[i * 3 + r] = b[r];
      out[i] = (c[0] * (c[4] * c[8] - c[7] * c[5]) - c[3] * (c[1] * c[8] - c[7] * c[2]) +
                c[6] * (c[1] * c[5] - c[4] * c[2])) /
               det;
    }
  }
  void check() {
    layerFlush();
    ASSERT_EQ(streamed.size(), expected_.size());
    for (size_t i = 0; i < expected_.size(); ++i) {
      ASSERT_EQ(std::memcmp(&streamed[i], &expected_[i], sizeof(EyeVertex)), 0)
          << "vertex " << i << ": " << streamed[i].position[0] << " " << streamed[i].position[1]
          << " " << streamed[i].position[2] << ", the plain way " << expected_[i].position[0] << " "
          << expected_[i].position[1] << " " << expected_[i].position[2];
    }
    EXPECT_EQ(layerGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }

 private:
  std::vector<Plain> stack_;
  int calls_ = 0;
  std::vector<EyeVertex> expected_;
};

std::uint32_t seed = 12345;
double next(double from, double to) {
  seed = seed * 1664525u + 1013904223u;
  return from + (to - from) * static_cast<double>(seed >> 8) / 16777216.0;
}

// The smoke's calls: for several views (looking level, up, down, turned
// right round), every particle placed from the identity, turned back to face
// the viewer, a fragment turned by three angles of its own; fragments as
// triangles, puffs as quads.
TEST_F(GlTransformOrder, TheSmokesCallsStreamWhatThePlainWayGives) {
  const double views[][4] = {
      {0, 270, 12.5, -31}, {17.25, 93.5, -4, 8}, {-40, -135.75, 0.3, 2}, {0, 0, 0, 0}};
  for (const auto& view : views) {
    for (int particle = 0; particle < 400; ++particle) {
      const bool fragment = particle % 5 != 0;
      loadIdentity();
      rotate(view[0], 1);
      rotate(view[1], 2);
      translate(view[2], -10, view[3]);
      translate(next(-30, 30), next(0, 8), next(-30, 30));
      rotate(-view[1], 2);
      rotate(-view[0], 1);
      if (fragment) {
        for (const int plane : {1, 2, 0})
          rotate(particle % 7 == 0 ? 90.0 * plane : next(-400, 800), plane);
      }
      shape(fragment ? 3 : 4, next(0.1, 2), next(0, 1));
      if (HasFatalFailure()) return;
    }
  }
  check();
}

// Pushes, pops, translations and turns about each axis in any order, on
// affine and general matrices, with angles seen before and new ones.
TEST_F(GlTransformOrder, AnyOrderOfMatrixCallsStreamsWhatThePlainWayGives) {
  const double seen[] = {30, -30, 270, 359.5, 720, 45, -0.001};
  int depth = 0;
  for (int step = 0; step < 3000; ++step) {
    const int op = static_cast<int>(next(0, 10));
    if (op == 0) loadIdentity();
    if (op == 1 && next(0, 1) < 0.2) loadGeneral();
    if (op == 2 && depth < 20) {
      push();
      ++depth;
    }
    if (op == 3 && depth > 0) {
      pop();
      --depth;
    }
    if (op == 4) translate(next(-3, 3), next(-3, 3), next(-3, 3));
    if (op >= 5 && op <= 7) {
      const double degrees = next(0, 1) < 0.5 ? seen[step % 7] : next(-1000, 1000);
      rotate(degrees, static_cast<int>(next(0, 3)));
    }
    if (op == 8) shape(3, next(0.1, 3), next(0, 1));
    if (op == 9) {
      double centre[3];
      nearTheEye(centre);
      shape(4, 0, next(0, 1), centre);
    }
    if (HasFatalFailure()) return;
  }
  check();
}

}  // namespace
