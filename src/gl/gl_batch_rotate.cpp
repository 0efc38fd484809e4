// The GL layer's rotations: the modelview turned about an axis the short way,
// by an angle whose sine and cosine a small table keeps, and every other
// rotation the long way, by the rotation's matrix.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "gl/gl_batch.h"
#include "gl/gl_batch_matrix.h"

namespace glbatch {
namespace {

// The cosine and sine of the angles used again and again: the smoke turns
// every particle by the same view angles, forth and back (a turn back by an
// angle is the turn by it with the sine negated), and sin and cos are the
// dearest part of a rotation. Each angle has its one place in a small table,
// found from its bits; a fragment's own angle, used once, takes the place of
// a view angle only when their bits meet there.
struct Turn {
  GLdouble degrees;  // at least 0
  GLdouble cosine;
  GLdouble sine;
  bool whole;  // a whole turn (or none): sine 0, cosine 1
};
constexpr int kTurnBits = 6;
Turn turns[1 << kTurnBits];  // all 0 until used, which no angle has

// The sine and cosine of an angle not in the table, put in place `t`.
inline const Turn& workOutTurn(GLdouble degrees, Turn& t) {
  GLdouble d = degrees;
  if (d >= 360) d = std::fmod(d, 360.0);
  const int quarters = d == d ? static_cast<int>((d + 45) * (1.0 / 90)) : 0;  // NaN stays NaN
  const GLdouble r = (d - 90 * quarters) * (3.14159265358979323846 / 180.0);
  // |r| <= pi/4: the Taylor series to r^11 and r^12 leave less than 1e-11,
  // far below what the vertices keep as floats (a driver turns in floats).
  const GLdouble z = r * r;
  // The sine's polynomial and the cosine's side by side, by Horner's rule.
  const Pair zz = {z, z};
  Pair p = {-1.0 / 39916800, 1.0 / 479001600};
  p = Pair{1.0 / 362880, -1.0 / 3628800} + zz * p;
  p = Pair{-1.0 / 5040, 1.0 / 40320} + zz * p;
  p = Pair{1.0 / 120, -1.0 / 720} + zz * p;
  p = Pair{-1.0 / 6, 1.0 / 24} + zz * p;
  const GLdouble s = r + r * z * p[0];
  const GLdouble c = 1 - 0.5 * z + z * z * p[1];
  switch (quarters & 3) {
    case 0: t = {degrees, c, s, false}; break;
    case 1: t = {degrees, -s, c, false}; break;
    case 2: t = {degrees, -c, -s, false}; break;
    default: t = {degrees, s, -c, false}; break;
  }
  t.whole = t.sine == 0 && t.cosine == 1;
  return t;
}

[[gnu::noinline]] const Turn& newTurn(GLdouble degrees, Turn& t) { return workOutTurn(degrees, t); }

inline Turn& placeOfTurn(GLdouble degrees) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &degrees, sizeof bits);
  return turns[(bits * 0x9E3779B97F4A7C15u) >> (64 - kTurnBits)];
}

// The angle's place in the table if it is there, else null.
inline const Turn* lookUp(GLdouble degrees) {
  const Turn& t = placeOfTurn(degrees);
  return t.degrees == degrees && (degrees != 0 || t.cosine == 1) ? &t : nullptr;
}

inline const Turn& turn(GLdouble degrees) {
  const Turn* t = lookUp(degrees);
  return t != nullptr ? *t : newTurn(degrees, placeOfTurn(degrees));
}
}  // namespace

namespace {
// About any other axis: the rotation's matrix multiplied on.
[[gnu::noinline]] void rotateAbout(GLdouble degrees, GLdouble x, GLdouble y, GLdouble z) {
  const GLdouble length = std::sqrt(x * x + y * y + z * z);
  if (length == 0) return;
  Matrix& a = changing();
  const Turn& angle = turn(std::fabs(degrees));
  const GLdouble c = angle.cosine, s = degrees < 0 ? -angle.sine : angle.sine;
  x /= length;
  y /= length;
  z /= length;
  const GLdouble t = 1 - c;
  // The rotation as a 4 x 4, column-major.
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
  multiplyInto(&a, r);
  settle();
}
}  // namespace

namespace {
// The two columns of the plane turned by (c, s): (a, b) to (a c + b s, b c - a s),
// row by row, written out; the bottom row only for a general matrix.
inline void turnColumns(Matrix& a, int plane, GLdouble c, GLdouble s) {
  GLdouble* u = a.m + static_cast<std::ptrdiff_t>(plane) * 4;
  GLdouble* v = a.m + static_cast<std::ptrdiff_t>(plane == 2 ? 0 : plane + 1) * 4;
  // Rows 0 and 1 two at a time: the same products and sums, each rounded as alone.
  Pair u01, v01;
  std::memcpy(&u01, u, sizeof u01);
  std::memcpy(&v01, v, sizeof v01);
  const Pair cc = {c, c}, ss = {s, s};
  const Pair turnedU = u01 * cc + v01 * ss, turnedV = v01 * cc - u01 * ss;
  std::memcpy(u, &turnedU, sizeof turnedU);
  std::memcpy(v, &turnedV, sizeof turnedV);
  const GLdouble u2 = u[2], v2 = v[2];
  u[2] = u2 * c + v2 * s;
  v[2] = v2 * c - u2 * s;
  if (a.kind == Kind::General) {
    const GLdouble u3 = u[3], v3 = v[3];
    u[3] = u3 * c + v3 * s;
    v[3] = v3 * c - u3 * s;
  } else {
    a.kind = Kind::Affine;
  }
}

// The plane of a rotation about an axis, as turnColumns takes it, or -1 for
// any other axis: x turns columns 1 and 2, y columns 2 and 0, z columns 0 and 1.
inline int planeOf(GLdouble x, GLdouble y, GLdouble z) {
  // Which of the three are zero (either sign), from their bits.
  std::uint64_t bx = 0, by = 0, bz = 0;
  std::memcpy(&bx, &x, sizeof bx);
  std::memcpy(&by, &y, sizeof by);
  std::memcpy(&bz, &z, sizeof bz);
  bx <<= 1;
  by <<= 1;
  bz <<= 1;
  if ((by | bz) == 0) return x > 0 ? 1 : -1;
  if ((bx | bz) == 0) return y > 0 ? 2 : -1;
  if ((bx | by) == 0) return z > 0 ? 0 : -1;
  return -1;
}

// Every rotation the short way below does not take: another axis, another
// matrix than the modelview, an angle not in the table.
[[gnu::noinline]] void rotateAnyhow(GLdouble degrees, GLdouble x, GLdouble y, GLdouble z) {
  const int plane = planeOf(x, y, z);
  if (plane < 0) return rotateAbout(degrees, x, y, z);
  // No turn changes no matrix (the projection is sent again all the same).
  if (degrees == 0 && !projectionMode) return;
  Matrix& a = changing();
  const Turn& angle = turn(std::fabs(degrees));
  const GLdouble c = angle.cosine, s = degrees < 0 ? -angle.sine : angle.sine;
  if (s != 0 || c != 1) turnColumns(a, plane, c, s);  // else a whole turn, or none
  settle();
}

// The modelview turned by an angle not in the table (not 0), about an axis.
[[gnu::noinline]] void rotateByNewTurn(GLdouble degrees, int plane) {
  const GLdouble d = std::fabs(degrees);
  const Turn& t = workOutTurn(d, placeOfTurn(d));
  const GLdouble c = t.cosine, s = degrees < 0 ? -t.sine : t.sine;
  if (s != 0 || c != 1) turnColumns(modelview[modelviewTop], plane, c, s);
}
}  // namespace

// The modelview turned about an axis by an angle in the table: what the smoke
// does thousands of times a frame, with no call on the way.
void rotate(GLdouble degrees, GLdouble x, GLdouble y, GLdouble z) {
  const int plane = planeOf(x, y, z);
  if (plane < 0 || projectionMode || textureMode) return rotateAnyhow(degrees, x, y, z);
  if (degrees == 0) return;
  const GLdouble d = std::fabs(degrees);
  const Turn& t = placeOfTurn(d);
  // d is not 0, so no place holds it unasked; a new angle is worked out on
  // the long way, so that this one saves no registers.
  if (t.degrees != d) return rotateByNewTurn(degrees, plane);
  if (t.whole) return;
  const GLdouble c = t.cosine, s = degrees < 0 ? -t.sine : t.sine;
  turnColumns(modelview[modelviewTop], plane, c, s);
}
}  // namespace glbatch
