// The GL layer's drawing core: vertices transformed on the CPU into one
// stream, runs of equal state and primitive drawn with one call each, and the
// GL state the runs need sent only when it differs from what GL already has.
// The backend (gl/gl_batch.h) says it to GL.
#include "gl/gl_batch.h"
#include "gl/gl_batch_matrix.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace glbatch {
namespace {

constexpr int kMaxRuns = 1024;
constexpr int kModelviewDepth = 32;
constexpr int kProjectionDepth = 4;
constexpr int kTextureDepth = 4;

// What a run is drawn with. Values that cannot show are held at 0 (the
// texture when texturing is off, the blend function when blending is off, the
// depth function when the test is off), so that they split no run.
struct DrawState {
  GLuint texture;  // 0: untextured
  bool blending;
  GLenum blendSource;
  GLenum blendDestination;
  bool depthTest;
  GLenum depthFunction;

  bool operator==(const DrawState& o) const {
    return texture == o.texture && blending == o.blending && blendSource == o.blendSource &&
           blendDestination == o.blendDestination && depthTest == o.depthTest &&
           depthFunction == o.depthFunction;
  }
};

// The state as the game set it, GL's initial values to begin with.
struct SetState {
  bool texturing = false;
  bool blending = false;
  bool depthTest = false;
  GLuint texture = 0;
  GLenum blendSource = GL_ONE;
  GLenum blendDestination = GL_ZERO;
  GLenum depthFunction = GL_LESS;
};

// What GL itself holds, as far as the layer knows; kUnknown until first sent.
constexpr GLuint kUnknown = 0xFFFFFFFFu;
struct GlState {
  GLuint textured = kUnknown;
  GLuint texture = kUnknown;
  GLuint blending = kUnknown;
  GLenum blendSource = kUnknown;
  GLenum blendDestination = kUnknown;
  GLuint depthTest = kUnknown;
  GLenum depthFunction = kUnknown;
};

struct Run {
  DrawState state;
  GLenum mode;
  GLint first;
  GLsizei count;
};

// All of it made once, at start-up: frames allocate nothing.
EyeVertex stream[kStreamVertices];
size_t used = 0;
Run runs[kMaxRuns];
int runCount = 0;
bool stateChanged = true;  // the next vertices may need a run of their own
GLenum lastMode = GL_TRIANGLES;

#ifdef __EMSCRIPTEN__
const Backend* backend = &shaderBackend;
#else
const Backend* backend = &fixedFunctionBackend;
#endif
SetState set;
GlState gl;
bool ready = false;
Counters counted = {0, 0, 0};

constexpr Matrix kIdentity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, Kind::Identity};

bool affine(const GLdouble m[16]) { return m[3] == 0 && m[7] == 0 && m[11] == 0 && m[15] == 1; }
}  // namespace

Matrix modelview[kModelviewDepth];
Matrix projection[kProjectionDepth];
Matrix texture[kTextureDepth];
int modelviewTop = 0;
int projectionTop = 0;
int textureTop = 0;
bool projectionMode = false;
bool textureMode = false;

// The matrix a call changes. The projection is the backend's: what was
// batched under the old one is drawn first, and `settle` sends the new one.
Matrix& changing() {
  if (textureMode) return texture[textureTop];
  if (!projectionMode) return modelview[modelviewTop];
  flush();
  return projection[projectionTop];
}

void settle() {
  if (!projectionMode || !ready) return;
  backend->projection(projection[projectionTop].m);
  ++counted.stateCalls;
}

// a x b, column-major; the rows of a that can only give 0 0 0 1 skipped.
void multiplyInto(Matrix* a, const GLdouble b[16]) {
  const int rows = a->kind == Kind::General ? 4 : 3;
  GLdouble r[16];
  for (int c = 0; c < 4; ++c) {
    const GLdouble* column = b + static_cast<std::ptrdiff_t>(c) * 4;
    for (int row = 0; row < rows; ++row) {
      r[c * 4 + row] = a->m[row] * column[0] + a->m[4 + row] * column[1] +
                       a->m[8 + row] * column[2] + a->m[12 + row] * column[3];
    }
    if (rows == 3) r[c * 4 + 3] = b[c * 4 + 3];
  }
  std::memcpy(a->m, r, sizeof r);
  a->kind = a->kind != Kind::General && affine(b) ? Kind::Affine : Kind::General;
}

namespace {
void setCapability(GLenum cap, GLuint on, GLuint* held) {
  if (*held == on) return;
  if (on) {
    glEnable(cap);
  } else {
    glDisable(cap);
  }
  *held = on;
  ++counted.stateCalls;
}

// Sends what differs between the run's state and GL's.
void apply(const DrawState& s) {
  const GLuint textured = s.texture != 0 ? 1 : 0;
  if (gl.textured != textured) {
    backend->texturing(textured != 0);
    gl.textured = textured;
    ++counted.stateCalls;
  }
  if (s.texture != 0 && gl.texture != s.texture) {
    glBindTexture(GL_TEXTURE_2D, s.texture);
    gl.texture = s.texture;
    ++counted.stateCalls;
  }
  setCapability(GL_BLEND, s.blending, &gl.blending);
  if (s.blending &&
      (gl.blendSource != s.blendSource || gl.blendDestination != s.blendDestination)) {
    glBlendFunc(s.blendSource, s.blendDestination);
    gl.blendSource = s.blendSource;
    gl.blendDestination = s.blendDestination;
    ++counted.stateCalls;
  }
  setCapability(GL_DEPTH_TEST, s.depthTest, &gl.depthTest);
  if (s.depthTest && gl.depthFunction != s.depthFunction) {
    glDepthFunc(s.depthFunction);
    gl.depthFunction = s.depthFunction;
    ++counted.stateCalls;
  }
}

DrawState drawState() {
  DrawState s{};
  s.texture = set.texturing ? set.texture : 0;
  s.blending = set.blending;
  if (set.blending) {
    s.blendSource = set.blendSource;
    s.blendDestination = set.blendDestination;
  }
  s.depthTest = set.depthTest;
  if (set.depthTest) s.depthFunction = set.depthFunction;
  return s;
}

void openRun(GLenum mode) {
  stateChanged = false;
  lastMode = mode;
  const DrawState s = drawState();
  if (runCount > 0 && runs[runCount - 1].mode == mode && runs[runCount - 1].state == s) return;
  if (runCount == kMaxRuns) flush();
  runs[runCount++] = {s, mode, static_cast<GLint>(used), 0};
}

// The texture matrix applied to (s, t, 0, 1).
void moveTexCoord(const GLdouble* m, GLfloat* st) {
  const GLdouble s = st[0], t = st[1];
  GLdouble q = m[3] * s + m[7] * t + m[15];
  if (q == 0) q = 1;
  st[0] = static_cast<GLfloat>((m[0] * s + m[4] * t + m[12]) / q);
  st[1] = static_cast<GLfloat>((m[1] * s + m[5] * t + m[13]) / q);
}

// Rows 0 and 1 of the point (x, y, z) taken through m, two at a time, each
// summed in the same order as ever: x's term, y's, z's, then the translation.
inline Pair firstTwoRows(const GLdouble* m, GLdouble x, GLdouble y, GLdouble z) {
  Pair c0, c1, c2, c3;
  std::memcpy(&c0, m, sizeof c0);
  std::memcpy(&c1, m + 4, sizeof c1);
  std::memcpy(&c2, m + 8, sizeof c2);
  std::memcpy(&c3, m + 12, sizeof c3);
  const Pair xx = {x, x}, yy = {y, y}, zz = {z, z};
  return c0 * xx + c1 * yy + c2 * zz + c3;
}

// A vertex to eye space: the modelview applied in double precision, kept as
// floats; the texture matrix moves the texture coordinate when it is set.
inline void transform(const GLdouble* m, const Matrix& textureMatrix, GLdouble x, GLdouble y,
                      GLdouble z, const GLfloat* texCoord, const GLubyte* colour, EyeVertex* out) {
  // Written out row by row, each summed in the same order as ever; rows 0
  // and 1 two at a time.
  const Pair rows01 = firstTwoRows(m, x, y, z);
  out->position[0] = static_cast<GLfloat>(rows01[0]);
  out->position[1] = static_cast<GLfloat>(rows01[1]);
  out->position[2] = static_cast<GLfloat>(m[2] * x + m[6] * y + m[10] * z + m[14]);
  out->texCoord[0] = texCoord[0];
  out->texCoord[1] = texCoord[1];
  if (textureMatrix.kind != Kind::Identity) moveTexCoord(textureMatrix.m, out->texCoord);
  std::memcpy(out->colour, colour, sizeof out->colour);
}

// Room for `count` vertices of `mode` at the end of the stream, in the last run.
inline EyeVertex* take(size_t count) {
  runs[runCount - 1].count += static_cast<GLsizei>(count);
  EyeVertex* out = stream + used;
  used += count;
  return out;
}

// The same after the stream is drawn when full, or in a new run.
[[gnu::noinline]] EyeVertex* roomElsewhere(GLenum mode, size_t count) {
  if (used + count > kStreamVertices) flush();
  if (runCount == 0 || stateChanged || mode != lastMode) openRun(mode);
  return take(count);
}

inline EyeVertex* room(GLenum mode, size_t count) {
  if (used + count > kStreamVertices || runCount == 0 || stateChanged || mode != lastMode) {
    return roomElsewhere(mode, count);
  }
  return take(count);
}

void append(GLenum mode, const ObjectVertex* vertices, size_t count, const GLubyte* colour) {
  const GLdouble* m = modelview[modelviewTop].m;
  const Matrix& textureMatrix = texture[textureTop];
  EyeVertex* out = room(mode, count);
  for (size_t i = 0; i < count; ++i, ++out) {
    const ObjectVertex& v = vertices[i];
    transform(m, textureMatrix, v.position[0], v.position[1], v.position[2], v.texCoord,
              colour != nullptr ? colour : v.colour, out);
  }
}

void changed() { stateChanged = true; }

}  // namespace

void useBackend(const Backend& chosen) { backend = &chosen; }

bool webGlTerms() { return backend->webGlTerms; }

bool start() {
  if (ready) stop();
  set = SetState();
  gl = GlState();
  used = 0;
  runCount = 0;
  stateChanged = true;
  modelviewTop = 0;
  projectionTop = 0;
  textureTop = 0;
  modelview[0] = kIdentity;
  projection[0] = kIdentity;
  texture[0] = kIdentity;
  projectionMode = false;
  textureMode = false;
  ready = backend->start();
  if (ready) backend->projection(kIdentity.m);
  return ready;
}

void stop() {
  flush();
  backend->stop();
  ready = false;
  gl = GlState();
}

namespace {
bool* heldFlag(GLenum cap) {
  return cap == GL_TEXTURE_2D   ? &set.texturing
         : cap == GL_BLEND      ? &set.blending
         : cap == GL_DEPTH_TEST ? &set.depthTest
                                : nullptr;
}
}  // namespace

bool keeps(GLenum cap, bool* on) {
  const bool* flag = heldFlag(cap);
  if (flag != nullptr) *on = *flag;
  return flag != nullptr;
}

void enable(GLenum cap, bool on) {
  bool* flag = heldFlag(cap);
  if (flag == nullptr) {
    // Nothing the game draws depends on another capability: GL keeps it.
    flush();
    if (on) {
      glEnable(cap);
    } else {
      glDisable(cap);
    }
    ++counted.stateCalls;
    return;
  }
  if (*flag == on) return;
  *flag = on;
  changed();
}

void bindTexture(GLuint name) {
  if (set.texture == name) return;
  set.texture = name;
  changed();
}

void blendFunc(GLenum source, GLenum destination) {
  if (set.blendSource == source && set.blendDestination == destination) return;
  set.blendSource = source;
  set.blendDestination = destination;
  changed();
}

void depthFunc(GLenum function) {
  if (set.depthFunction == function) return;
  set.depthFunction = function;
  changed();
}

void matrixMode(GLenum mode) {
  projectionMode = mode == GL_PROJECTION;
  textureMode = mode == GL_TEXTURE;
}

void modelviewMatrix(GLdouble m[16]) {
  std::memcpy(m, modelview[modelviewTop].m, sizeof modelview[modelviewTop].m);
}

void loadIdentity() {
  if (!projectionMode && !textureMode) {
    modelview[modelviewTop] = kIdentity;
    return;
  }
  changing() = kIdentity;
  settle();
}

bool pushMatrix() {
  int& depth = textureMode ? textureTop : projectionMode ? projectionTop : modelviewTop;
  const int limit = textureMode      ? kTextureDepth
                    : projectionMode ? kProjectionDepth
                                     : kModelviewDepth;
  if (depth + 1 >= limit) return false;  // GL's stack overflow: nothing changes
  Matrix* stack = textureMode ? texture : projectionMode ? projection : modelview;
  stack[depth + 1] = stack[depth];
  ++depth;
  return true;
}

bool popMatrix() {
  int& depth = textureMode ? textureTop : projectionMode ? projectionTop : modelviewTop;
  if (depth == 0) return false;  // GL's stack underflow: nothing changes
  if (projectionMode) flush();
  --depth;
  settle();
  return true;
}

void multiply(const GLdouble m[16]) {
  Matrix& a = changing();
  if (a.kind == Kind::Identity) {
    std::memcpy(a.m, m, sizeof a.m);
    a.kind = affine(m) ? Kind::Affine : Kind::General;
  } else {
    multiplyInto(&a, m);
  }
  settle();
}

namespace {
inline void translateMatrix(Matrix& a, GLdouble x, GLdouble y, GLdouble z) {
  GLdouble* m = a.m;
  if (a.kind == Kind::Identity) {
    m[12] = x;
    m[13] = y;
    m[14] = z;
    a.kind = Kind::Affine;
    return;
  }
  // Rows 0 and 1 two at a time, each summed in the same order as ever (the
  // translation added last, as a sum in either order is the same number).
  const Pair moved = firstTwoRows(m, x, y, z);
  std::memcpy(m + 12, &moved, sizeof moved);
  m[14] += m[2] * x + m[6] * y + m[10] * z;
  if (a.kind == Kind::General) m[15] += m[3] * x + m[7] * y + m[11] * z;
}

[[gnu::noinline]] void translateOther(GLdouble x, GLdouble y, GLdouble z) {
  translateMatrix(changing(), x, y, z);
  settle();
}
}  // namespace

void translate(GLdouble x, GLdouble y, GLdouble z) {
  if (projectionMode || textureMode) return translateOther(x, y, z);
  translateMatrix(modelview[modelviewTop], x, y, z);
}

void draw(GLenum mode, const ObjectVertex* vertices, size_t count, const GLubyte* colour) {
  // More than the stream holds goes in parts of whole primitives (a multiple
  // of six vertices is whole for points, lines and triangles).
  constexpr size_t kPart = kStreamVertices - kStreamVertices % 6;
  while (count > 0) {
    const size_t part = count < kPart ? count : kPart;
    append(mode, vertices, part, colour);
    vertices += part;
    count -= part;
  }
}

void toEye(GLfloat x, GLfloat y, GLfloat z, const GLfloat texCoord[2], const GLubyte colour[4],
           EyeVertex* out) {
  transform(modelview[modelviewTop].m, texture[textureTop], x, y, z, texCoord, colour, out);
}

EyeVertex* reserve(GLenum mode, size_t count) { return room(mode, count); }

namespace {
EyeVertex shape[4];
size_t shapeCorners = 3;
size_t shapeCorner = 0;  // the next corner's place in shape

[[gnu::noinline]] void streamShape() {
  shapeCorner = 0;
  if (shapeCorners == 3) {
    EyeVertex* out = room(GL_TRIANGLES, 3);
    out[0] = shape[0];
    out[1] = shape[1];
    out[2] = shape[2];
    return;
  }
  EyeVertex* out = room(GL_TRIANGLES, 6);
  out[0] = shape[0];
  out[1] = shape[1];
  out[2] = shape[2];
  out[3] = shape[0];
  out[4] = shape[2];
  out[5] = shape[3];
}
}  // namespace

void beginShapes(size_t corners) {
  shapeCorners = corners;
  shapeCorner = 0;
}

void corner(GLfloat x, GLfloat y, GLfloat z, const GLfloat texCoord[2], const GLubyte colour[4]) {
  transform(modelview[modelviewTop].m, texture[textureTop], x, y, z, texCoord, colour,
            &shape[shapeCorner]);
  if (++shapeCorner == shapeCorners) streamShape();
}

void flush() {
  if (used > 0 && ready) {
    backend->stream(stream, used);
    ++counted.uploads;
    for (int i = 0; i < runCount; ++i) {
      if (runs[i].count == 0) continue;
      apply(runs[i].state);
      glDrawArrays(runs[i].mode, runs[i].first, runs[i].count);
      ++counted.draws;
    }
  }
  used = 0;
  runCount = 0;
  stateChanged = true;
}

void bindTextureForUpload() {
  flush();
  if (gl.texture == set.texture) return;
  glBindTexture(GL_TEXTURE_2D, set.texture);
  gl.texture = set.texture;
  ++counted.stateCalls;
}

void deleteTextures(GLsizei n, const GLuint* names) {
  flush();
  for (GLsizei i = 0; i < n; ++i) {
    if (names[i] == gl.texture) gl.texture = kUnknown;
  }
  glDeleteTextures(n, names);
}

void viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  flush();
  glViewport(x, y, width, height);
}

Counters counters() { return counted; }

namespace {
long buffersLive = 0;
}  // namespace

void countBuffers(long made) { buffersLive += made; }

long liveBuffers() { return buffersLive; }

}  // namespace glbatch
