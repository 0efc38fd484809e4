// The browser GL layer's drawing core: vertices transformed on the CPU into
// one streaming buffer, runs of equal state drawn with one call each, and the
// GL state the runs need sent only when it differs from what GL already has.
#define GL_GLEXT_PROTOTYPES
#include "gl/gl_batch.h"

#include <GL/glext.h>

#include <cmath>
#include <cstring>

namespace glbatch {
namespace {

// Room for the busiest frame (all bursts, six enemies and the read-outs, about
// 26,000 vertices) in one upload; a frame with more draws in several.
constexpr size_t kStreamVertices = 3 * 16384;
constexpr int kMaxRuns = 1024;
constexpr int kModelviewDepth = 32;
constexpr int kProjectionDepth = 4;

// A vertex in eye space, ready for the projection.
struct EyeVertex {
  GLfloat position[3];
  GLfloat texCoord[2];
  GLubyte colour[4];
};

enum Attribute : GLuint { kPosition = 0, kTexCoord = 1, kColour = 2 };

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
  GLuint program = kUnknown;
  GLuint texture = kUnknown;
  GLuint blending = kUnknown;
  GLenum blendSource = kUnknown;
  GLenum blendDestination = kUnknown;
  GLuint depthTest = kUnknown;
  GLenum depthFunction = kUnknown;
  bool arrays = false;  // the stream bound with its attribute layout
};

struct Run {
  DrawState state;
  GLint first;
  GLsizei count;
};

struct Matrix {
  GLdouble m[16];
};

// All of it made once, at start-up: frames allocate nothing.
EyeVertex stream[kStreamVertices];
size_t used = 0;
Run runs[kMaxRuns];
int runCount = 0;
bool stateChanged = true;  // the next triangles may need a run of their own

SetState set;
GlState gl;
GLuint programs[2] = {0, 0};  // untextured, textured
GLint projectionUniforms[2] = {-1, -1};
unsigned projectionSerial = 1;             // counts the projection's changes
unsigned programProjection[2] = {0, 0};    // the change each program was given
GLuint buffer = 0;
bool ready = false;
Counters counted = {0, 0};

Matrix modelview[kModelviewDepth];
Matrix projection[kProjectionDepth];
int modelviewTop = 0;
int projectionTop = 0;
bool projectionMode = false;

constexpr Matrix kIdentity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

// The matrix a call changes. The projection is the shader's: what was batched
// under the old one is drawn first.
Matrix& changing() {
  if (!projectionMode) return modelview[modelviewTop];
  flush();
  ++projectionSerial;
  return projection[projectionTop];
}

// a x b, column-major.
Matrix product(const Matrix& a, const Matrix& b) {
  Matrix r;
  for (int c = 0; c < 4; ++c) {
    for (int row = 0; row < 4; ++row) {
      r.m[c * 4 + row] = a.m[row] * b.m[c * 4] + a.m[4 + row] * b.m[c * 4 + 1] +
                         a.m[8 + row] * b.m[c * 4 + 2] + a.m[12 + row] * b.m[c * 4 + 3];
    }
  }
  return r;
}

// The fixed-function texture stage the game uses: the vertex colour,
// modulated by the texture when texturing is on.
const char* const kVertexShader =
    "uniform mat4 projection;\n"
    "attribute vec3 position;\n"
    "attribute vec2 texCoord;\n"
    "attribute vec4 colour;\n"
    "varying vec2 vTexCoord;\n"
    "varying vec4 vColour;\n"
    "void main() {\n"
    "  vTexCoord = texCoord;\n"
    "  vColour = colour;\n"
    "  gl_Position = projection * vec4(position, 1.0);\n"
    "}\n";
const char* const kFragmentHead =
    "#ifdef GL_ES\n"
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
    "precision highp float;\n"
    "#else\n"
    "precision mediump float;\n"
    "#endif\n"
    "#endif\n"
    "uniform sampler2D image;\n"
    "varying vec2 vTexCoord;\n"
    "varying vec4 vColour;\n";
const char* const kUntextured = "void main() { gl_FragColor = vColour; }\n";
const char* const kTextured =
    "void main() { gl_FragColor = vColour * texture2D(image, vTexCoord); }\n";

GLuint compile(GLenum type, const char* head, const char* body) {
  const GLuint shader = glCreateShader(type);
  const char* parts[2] = {head, body};
  glShaderSource(shader, 2, parts, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

GLuint link(const char* fragmentBody) {
  const GLuint vertex = compile(GL_VERTEX_SHADER, "", kVertexShader);
  const GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentHead, fragmentBody);
  GLuint program = 0;
  if (vertex != 0 && fragment != 0) {
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, kPosition, "position");
    glBindAttribLocation(program, kTexCoord, "texCoord");
    glBindAttribLocation(program, kColour, "colour");
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
      glDeleteProgram(program);
      program = 0;
    }
  }
  if (vertex != 0) glDeleteShader(vertex);
  if (fragment != 0) glDeleteShader(fragment);
  return program;
}

void setCapability(GLenum cap, GLuint on, GLuint* held) {
  if (*held == on) return;
  if (on) {
    glEnable(cap);
  } else {
    glDisable(cap);
  }
  *held = on;
}

// Sends what differs between the run's state and GL's.
void apply(const DrawState& s) {
  const int textured = s.texture != 0 ? 1 : 0;
  const GLuint program = programs[textured];
  if (gl.program != program) {
    glUseProgram(program);
    gl.program = program;
  }
  if (programProjection[textured] != projectionSerial) {
    GLfloat m[16];
    for (int i = 0; i < 16; ++i) m[i] = static_cast<GLfloat>(projection[projectionTop].m[i]);
    glUniformMatrix4fv(projectionUniforms[textured], 1, GL_FALSE, m);
    programProjection[textured] = projectionSerial;
  }
  if (s.texture != 0 && gl.texture != s.texture) {
    glBindTexture(GL_TEXTURE_2D, s.texture);
    gl.texture = s.texture;
  }
  setCapability(GL_BLEND, s.blending, &gl.blending);
  if (s.blending && (gl.blendSource != s.blendSource || gl.blendDestination != s.blendDestination)) {
    glBlendFunc(s.blendSource, s.blendDestination);
    gl.blendSource = s.blendSource;
    gl.blendDestination = s.blendDestination;
  }
  setCapability(GL_DEPTH_TEST, s.depthTest, &gl.depthTest);
  if (s.depthTest && gl.depthFunction != s.depthFunction) {
    glDepthFunc(s.depthFunction);
    gl.depthFunction = s.depthFunction;
  }
}

void bindStream() {
  if (gl.arrays) return;
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  const GLsizei stride = sizeof(EyeVertex);
  glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(EyeVertex, position)));
  glVertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(EyeVertex, texCoord)));
  glVertexAttribPointer(kColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                        reinterpret_cast<const void*>(offsetof(EyeVertex, colour)));
  glEnableVertexAttribArray(kPosition);
  glEnableVertexAttribArray(kTexCoord);
  glEnableVertexAttribArray(kColour);
  gl.arrays = true;
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

void openRun() {
  stateChanged = false;
  const DrawState s = drawState();
  if (runCount > 0 && runs[runCount - 1].state == s) return;
  if (runCount == kMaxRuns) flush();
  runs[runCount++] = {s, static_cast<GLint>(used), 0};
}

void appendTriangles(const ObjectVertex* vertices, size_t count, const GLubyte* colour) {
  if (used + count > kStreamVertices) flush();
  if (runCount == 0 || stateChanged) openRun();
  const GLdouble* m = modelview[modelviewTop].m;
  EyeVertex* out = stream + used;
  for (size_t i = 0; i < count; ++i, ++out) {
    const ObjectVertex& v = vertices[i];
    const GLdouble x = v.position[0], y = v.position[1], z = v.position[2];
    for (int row = 0; row < 3; ++row) {
      out->position[row] =
          static_cast<GLfloat>(m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row]);
    }
    out->texCoord[0] = v.texCoord[0];
    out->texCoord[1] = v.texCoord[1];
    std::memcpy(out->colour, colour != nullptr ? colour : v.colour, sizeof out->colour);
  }
  runs[runCount - 1].count += static_cast<GLsizei>(count);
  used += count;
}

void changed() { stateChanged = true; }

// The cosine and sine of the angles used again and again: the smoke turns
// every particle by the same view angles, forth and back, and sin and cos are
// the dearest part of a rotation in WebAssembly. An angle seen for the first
// time waits among the newcomers and is kept when it comes again, so that the
// fragments' own angles, each used once, do not push the view's out.
struct Turn {
  GLdouble degrees;
  GLdouble cosine;
  GLdouble sine;
};
constexpr int kKept = 6;
constexpr int kNewcomers = 8;
Turn kept[kKept] = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
Turn newcomers[kNewcomers] = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0},
                              {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
int nextKept = 0;
int nextNewcomer = 0;

const Turn& turn(GLdouble degrees) {
  for (const Turn& t : kept) {
    if (t.degrees == degrees) return t;
  }
  for (const Turn& t : newcomers) {
    if (t.degrees != degrees) continue;
    Turn& k = kept[nextKept];
    nextKept = (nextKept + 1) % kKept;
    k = t;
    return k;
  }
  Turn& t = newcomers[nextNewcomer];
  nextNewcomer = (nextNewcomer + 1) % kNewcomers;
  // The angle brought within 45 degrees of a quarter turn in degrees, where it
  // is exact, so that sin and cos skip their own reduction.
  GLdouble d = degrees;
  if (d >= 360 || d <= -360) d = std::fmod(d, 360.0);
  const GLdouble quarters = std::floor((d + 45) / 90);
  const GLdouble radians = (d - 90 * quarters) * (3.14159265358979323846 / 180.0);
  const GLdouble c = std::cos(radians), s = std::sin(radians);
  switch (static_cast<int>(quarters) & 3) {
    case 0: t = {degrees, c, s}; break;
    case 1: t = {degrees, -s, c}; break;
    case 2: t = {degrees, -c, -s}; break;
    default: t = {degrees, s, -c}; break;
  }
  return t;
}
}  // namespace

bool start() {
  if (buffer != 0) stop();
  set = SetState();
  gl = GlState();
  used = 0;
  runCount = 0;
  stateChanged = true;
  modelviewTop = 0;
  projectionTop = 0;
  modelview[0] = kIdentity;
  projection[0] = kIdentity;
  projectionMode = false;
  ++projectionSerial;
  programs[0] = link(kUntextured);
  programs[1] = link(kTextured);
  for (int i = 0; i < 2; ++i) {
    projectionUniforms[i] = programs[i] != 0 ? glGetUniformLocation(programs[i], "projection") : -1;
    programProjection[i] = 0;
  }
  glGenBuffers(1, &buffer);
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  glBufferData(GL_ARRAY_BUFFER, sizeof stream, nullptr, GL_STREAM_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  ready = programs[0] != 0 && programs[1] != 0;
  return ready;
}

void stop() {
  flush();
  glUseProgram(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glDisableVertexAttribArray(kPosition);
  glDisableVertexAttribArray(kTexCoord);
  glDisableVertexAttribArray(kColour);
  for (GLuint& p : programs) {
    if (p != 0) glDeleteProgram(p);
    p = 0;
  }
  if (buffer != 0) glDeleteBuffers(1, &buffer);
  buffer = 0;
  ready = false;
  gl = GlState();
}

void enable(GLenum cap, bool on) {
  bool* flag = cap == GL_TEXTURE_2D ? &set.texturing
               : cap == GL_BLEND    ? &set.blending
               : cap == GL_DEPTH_TEST ? &set.depthTest
                                      : nullptr;
  if (flag == nullptr) {
    // Nothing the game draws depends on another capability: GL keeps it.
    flush();
    if (on) {
      glEnable(cap);
    } else {
      glDisable(cap);
    }
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

void matrixMode(GLenum mode) { projectionMode = mode == GL_PROJECTION; }

void loadIdentity() { changing() = kIdentity; }

void pushMatrix() {
  int& depth = projectionMode ? projectionTop : modelviewTop;
  const int limit = projectionMode ? kProjectionDepth : kModelviewDepth;
  if (depth + 1 >= limit) return;  // GL's stack overflow: nothing changes
  Matrix* stack = projectionMode ? projection : modelview;
  stack[depth + 1] = stack[depth];
  ++depth;
}

void popMatrix() {
  int& depth = projectionMode ? projectionTop : modelviewTop;
  if (depth == 0) return;  // GL's stack underflow: nothing changes
  if (projectionMode) changing();
  --depth;
}

void multiply(const GLdouble m[16]) {
  Matrix b;
  std::memcpy(b.m, m, sizeof b.m);
  Matrix& a = changing();
  a = product(a, b);
}

void translate(GLdouble x, GLdouble y, GLdouble z) {
  GLdouble* m = changing().m;
  for (int row = 0; row < 4; ++row) m[12 + row] += m[row] * x + m[4 + row] * y + m[8 + row] * z;
}

void rotate(GLdouble degrees, GLdouble x, GLdouble y, GLdouble z) {
  const GLdouble length = std::sqrt(x * x + y * y + z * z);
  if (length == 0) return;
  GLdouble* m = changing().m;
  // About an axis, only two columns change: (a, b) turns to (a c + b s, b c - a s).
  const int plane = x > 0 && y == 0 && z == 0   ? 1   // x: columns 1 and 2
                    : x == 0 && y > 0 && z == 0 ? 2   // y: columns 2 and 0
                    : x == 0 && y == 0 && z > 0 ? 0   // z: columns 0 and 1
                                                : -1;
  const Turn& angle = turn(degrees);
  const GLdouble c = angle.cosine, s = angle.sine;
  if (plane >= 0) {
    GLdouble* a = m + plane * 4;
    GLdouble* b = m + (plane + 1) % 3 * 4;
    for (int row = 0; row < 4; ++row) {
      const GLdouble ar = a[row], br = b[row];
      a[row] = ar * c + br * s;
      b[row] = br * c - ar * s;
    }
    return;
  }
  x /= length;
  y /= length;
  z /= length;
  const GLdouble t = 1 - c;
  // The rotation's 3 x 3, column-major.
  const GLdouble r[9] = {t * x * x + c,     t * x * y + s * z, t * x * z - s * y,
                         t * x * y - s * z, t * y * y + c,     t * y * z + s * x,
                         t * x * z + s * y, t * y * z - s * x, t * z * z + c};
  GLdouble columns[12];
  for (int c3 = 0; c3 < 3; ++c3) {
    for (int row = 0; row < 4; ++row) {
      columns[c3 * 4 + row] =
          m[row] * r[c3 * 3] + m[4 + row] * r[c3 * 3 + 1] + m[8 + row] * r[c3 * 3 + 2];
    }
  }
  std::memcpy(m, columns, sizeof columns);
}

void triangles(const ObjectVertex* vertices, size_t count, const GLubyte* colour) {
  // A list larger than the stream goes in parts of whole triangles.
  constexpr size_t kPart = kStreamVertices - kStreamVertices % 3;
  while (count > 0) {
    const size_t part = count < kPart ? count : kPart;
    appendTriangles(vertices, part, colour);
    vertices += part;
    count -= part;
  }
}

void flush() {
  if (used > 0 && ready) {
    bindStream();
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(used * sizeof(EyeVertex)),
                    stream);
    ++counted.uploads;
    for (int i = 0; i < runCount; ++i) {
      if (runs[i].count == 0) continue;
      apply(runs[i].state);
      glDrawArrays(GL_TRIANGLES, runs[i].first, runs[i].count);
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
}

void viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  flush();
  glViewport(x, y, width, height);
}

Counters counters() { return counted; }

}  // namespace glbatch
