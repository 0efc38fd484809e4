// The GL layer's state and matrices: the current vertex state, the
// capabilities, functions and
// bindings it keeps for the batch, the matrix stacks, clearing and the
// viewport, each as a list records it and as it runs; and the driver's own
// state calls, in order with the batch.
#include "gl/gl_layer_internal.h"

#include <cmath>
#include <cstring>

namespace gllayer {

bool ordinary = true;

// The current vertex state; a list compiled without running keeps it as it was.
Vertex current = {{0, 0, 0}, {0, 0}, {255, 255, 255, 255}};
GLfloat currentColour[4] = {1, 1, 1, 1};

namespace {

Vertex savedCurrent = current;
GLfloat savedColour[4] = {1, 1, 1, 1};

// A list's vertices with the current texture coordinate, in parts of whole
// primitives (a multiple of six vertices).
constexpr size_t kPart = 192;
Vertex part[kPart];

// GL clamps a colour to 0..1; the frame buffer keeps it to 1/255.
GLubyte colourByte(GLfloat c) {
  if (!(c > 0)) return 0;
  if (c >= 1) return 255;
  // c is in (0, 1): adding a half and truncating rounds it, as the reference frames were made.
  // NOLINTNEXTLINE(bugprone-incorrect-roundings)
  return static_cast<GLubyte>(c * 255 + 0.5f);
}
}  // namespace

void setColour(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  const GLfloat given[4] = {r, g, b, a};
  for (int i = 0; i < 4; ++i) {
    currentColour[i] = given[i];
    current.colour[i] = colourByte(given[i]);
  }
}

void send(GLenum mode, const Vertex* vertices, size_t count, const GLubyte* colour) {
  switch (mode) {
    case GL_POINTS: glbatch::points(vertices, count, colour); break;
    case GL_LINES: glbatch::lines(vertices, count, colour); break;
    default: glbatch::triangles(vertices, count, colour); break;
  }
}

void sendWithCurrentTexCoord(GLenum mode, const Vertex* vertices, size_t count,
                             const GLubyte* colour) {
  for (size_t done = 0; done < count; done += kPart) {
    const size_t n = count - done < kPart ? count - done : kPart;
    for (size_t i = 0; i < n; ++i) {
      part[i] = vertices[done + i];
      std::memcpy(part[i].texCoord, current.texCoord, sizeof current.texCoord);
    }
    send(mode, part, n, colour);
  }
}

void saveVertexState() {
  savedCurrent = current;
  std::memcpy(savedColour, currentColour, sizeof savedColour);
}

void restoreVertexState() {
  current = savedCurrent;
  std::memcpy(currentColour, savedColour, sizeof savedColour);
}

namespace {

bool isBlendFactor(GLenum f, bool source) {
  switch (f) {
    case GL_ZERO:
    case GL_ONE:
    case GL_SRC_ALPHA:
    case GL_ONE_MINUS_SRC_ALPHA:
    case GL_DST_ALPHA:
    case GL_ONE_MINUS_DST_ALPHA: return true;
    case GL_DST_COLOR:
    case GL_ONE_MINUS_DST_COLOR:
    case GL_SRC_ALPHA_SATURATE: return source;
    case GL_SRC_COLOR:
    case GL_ONE_MINUS_SRC_COLOR: return !source;
    default: return false;
  }
}

}  // namespace

void runEnable(GLenum cap, bool on) {
  switch (cap) {
    case GL_TEXTURE_2D:
    case GL_BLEND:
    case GL_DEPTH_TEST:
    case GL_CULL_FACE:
    case GL_DITHER:
    case GL_SCISSOR_TEST:
    case GL_STENCIL_TEST:
    case GL_POLYGON_OFFSET_FILL: glbatch::enable(cap, on); return;
    default:
      // The rest of GL 1.1's capabilities (lighting, fog, the alpha test,
      // smooth lines...) WebGL does not have: off they are as GL's, on they
      // are refused. The desktop's GL keeps those that act on what the layer
      // hands it; lighting and texture generation need the normals and
      // object coordinates the layer does not keep.
      const bool unkept = cap == GL_LIGHTING || (cap >= GL_LIGHT0 && cap <= GL_LIGHT7) ||
                          cap == GL_TEXTURE_1D ||
                          (cap >= GL_TEXTURE_GEN_S && cap <= GL_TEXTURE_GEN_Q);
      if (!webGl() && !unkept) {
        glbatch::enable(cap, on);
        return;
      }
      if (on) {
        refuseEnum("glEnable", cap, "a capability the layer does not draw with");
      }
  }
}

void runBlendFunc(GLenum source, GLenum destination) {
  if (!isBlendFactor(source, true) || !isBlendFactor(destination, false)) {
    return refuseEnum("glBlendFunc", isBlendFactor(source, true) ? destination : source);
  }
  glbatch::blendFunc(source, destination);
}

void runDepthFunc(GLenum function) {
  if (function < GL_NEVER || function > GL_ALWAYS) {
    return refuseEnum("glDepthFunc", function);
  }
  glbatch::depthFunc(function);
}

void runBindTexture(GLenum target, GLuint texture) {
  if (target != GL_TEXTURE_2D) {
    return refuseEnum("glBindTexture", target, "WebGL has 2D textures only");
  }
  glbatch::bindTexture(texture);
}

void runMatrixMode(GLenum mode) {
  if (mode != GL_MODELVIEW && mode != GL_PROJECTION && mode != GL_TEXTURE) {
    return refuseEnum("glMatrixMode", mode);
  }
  glbatch::matrixMode(mode);
}

void runPushMatrix() {
  if (!glbatch::pushMatrix()) refuse(GL_STACK_OVERFLOW, "glPushMatrix");
}

void runPopMatrix() {
  if (!glbatch::popMatrix()) refuse(GL_STACK_UNDERFLOW, "glPopMatrix");
}

void runClear(GLbitfield mask) {
  constexpr GLbitfield kBuffers =
      GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_ACCUM_BUFFER_BIT;
  if ((mask & ~kBuffers) != 0) return refuse(GL_INVALID_VALUE, "glClear");
  glbatch::flush();
  // WebGL has no accumulation buffer, and GL clears none that is not there.
  glClear(webGl() ? mask & ~static_cast<GLbitfield>(GL_ACCUM_BUFFER_BIT) : mask);
}

void runViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (width < 0 || height < 0) return refuse(GL_INVALID_VALUE, "glViewport");
  glbatch::viewport(x, y, width, height);
}

}  // namespace gllayer

using namespace gllayer;

void layerEnable(GLenum cap) {
  if (runsNow("glEnable", Op::Enable, cap)) runEnable(cap, true);
}

void layerDisable(GLenum cap) {
  if (runsNow("glDisable", Op::Disable, cap)) runEnable(cap, false);
}

void layerBindTexture(GLenum target, GLuint texture) {
  if (runsNow("glBindTexture", Op::BindTexture, target, texture)) runBindTexture(target, texture);
}

void layerBlendFunc(GLenum source, GLenum destination) {
  if (runsNow("glBlendFunc", Op::BlendFunc, source, destination)) runBlendFunc(source, destination);
}

void layerTranslated(GLdouble x, GLdouble y, GLdouble z) {
  if (runsNow("glTranslate", Op::Translate, 0, 0, x, y, z)) glbatch::translate(x, y, z);
}

void layerTranslatef(GLfloat x, GLfloat y, GLfloat z) { layerTranslated(x, y, z); }

void layerRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
  if (runsNow("glRotate", Op::Rotate, 0, 0, angle, x, y, z)) glbatch::rotate(angle, x, y, z);
}

void layerRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { layerRotated(angle, x, y, z); }

void layerPushMatrix() {
  if (runsNow("glPushMatrix", Op::PushMatrix)) runPushMatrix();
}

void layerPopMatrix() {
  if (runsNow("glPopMatrix", Op::PopMatrix)) runPopMatrix();
}

void layerMatrixMode(GLenum mode) {
  if (runsNow("glMatrixMode", Op::MatrixMode, mode)) runMatrixMode(mode);
}

void layerLoadIdentity() {
  if (runsNow("glLoadIdentity", Op::LoadIdentity)) glbatch::loadIdentity();
}

void layerOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                GLdouble zFar) {
  const GLdouble w = right - left, h = top - bottom, d = zFar - zNear;
  if (w == 0 || h == 0 || d == 0) return refuse(GL_INVALID_VALUE, "glOrtho");
  if (inBeginEnd("glOrtho")) return;
  const GLdouble m[16] = {2 / w,
                          0,
                          0,
                          0,
                          0,
                          2 / h,
                          0,
                          0,
                          0,
                          0,
                          -2 / d,
                          0,
                          -(right + left) / w,
                          -(top + bottom) / h,
                          -(zFar + zNear) / d,
                          1};
  multiply(m);
}

// GLU's perspective: the field of view in degrees, from the cotangent of half
// of it. Like GLU's, it does nothing for a flat view, and sets no error.
void layerPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  const GLdouble radians = fovy / 2 * 3.14159265358979323846 / 180;
  const GLdouble d = zFar - zNear, sine = std::sin(radians);
  if (d == 0 || sine == 0 || aspect == 0) return;
  if (inBeginEnd("gluPerspective")) return;
  const GLdouble f = std::cos(radians) / sine;
  const GLdouble m[16] = {
      f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, -(zFar + zNear) / d, -1, 0, 0, -2 * zNear * zFar / d,
      0};
  multiply(m);
}

void layerClear(GLbitfield mask) {
  if (runsNow("glClear", Op::Clear, mask)) runClear(mask);
}

void layerViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (runsNow("glViewport", Op::Viewport, 0, 0, x, y, width, height)) {
    runViewport(x, y, width, height);
  }
}

void layerDepthFunc(GLenum function) {
  if (runsNow("glDepthFunc", Op::DepthFunc, function)) runDepthFunc(function);
}

void layerFlush() {
  if (inBeginEnd("glFlush")) return;
  glbatch::flush();
}

void layerFinish() {
  if (inBeginEnd("glFinish")) return;
  glbatch::flush();
  glFinish();
}

// A hint may be taken and ignored, as these are on WebGL's terms: WebGL knows
// none of GL 1.1's.
void layerHint(GLenum target, GLenum mode) {
  if (inBeginEnd("glHint")) return;
  const bool knownTarget = target == GL_PERSPECTIVE_CORRECTION_HINT ||
                           target == GL_POINT_SMOOTH_HINT || target == GL_LINE_SMOOTH_HINT ||
                           target == GL_POLYGON_SMOOTH_HINT || target == GL_FOG_HINT;
  const bool knownMode = mode == GL_FASTEST || mode == GL_NICEST || mode == GL_DONT_CARE;
  if (!knownTarget || !knownMode) return refuseEnum("glHint", knownTarget ? mode : target);
  if (!webGl()) glHint(target, mode);  // GL 1.1's own backend: the driver's to take
}

// The capabilities the layer keeps are the layer's to tell; GL keeps the rest.
GLboolean layerIsEnabled(GLenum cap) {
  bool on = false;
  if (glbatch::keeps(cap, &on)) return on ? GL_TRUE : GL_FALSE;
  return glIsEnabled(cap);
}

// The driver's own state (gl/gl_entry_points.h: flush, gl11 and driver): what
// the batch holds is drawn first, under the state it was given; a list does not
// record it here. WebGL lacks the gl11 calls (and the browser's GL their names).
namespace {
bool driverStateTaken(const char* call) {
  if (inBeginEnd(call)) return false;
  if (!compiling()) return true;
  refuse(GL_INVALID_OPERATION, call, "not recorded in a display list here");
  return false;
}
}  // namespace

#define SHOOTER_LAYER_ROUTE_own(result, api, name, params, args)
#define SHOOTER_LAYER_ROUTE_driver(result, api, name, params, args) \
  result layer##name params { return api##name args; }
#define SHOOTER_LAYER_ROUTE_flush(result, api, name, params, args) \
  result layer##name params {                                      \
    if (!driverStateTaken(#api #name)) return;                     \
    glbatch::flush();                                              \
    api##name args;                                                \
  }
#ifdef __EMSCRIPTEN__
namespace {
template <typename... Unused>
void unused(const Unused&...) {}
}  // namespace
#define SHOOTER_LAYER_ROUTE_gl11(result, api, name, params, args)                               \
  result layer##name params {                                                                   \
    unused args;                                                                                \
    if (driverStateTaken(#api #name)) refuse(GL_INVALID_OPERATION, #api #name, "not in WebGL"); \
  }
#else
#define SHOOTER_LAYER_ROUTE_gl11(result, api, name, params, args)                 \
  result layer##name params {                                                     \
    if (!driverStateTaken(#api #name)) return;                                    \
    if (webGl()) return refuse(GL_INVALID_OPERATION, #api #name, "not in WebGL"); \
    glbatch::flush();                                                             \
    api##name args;                                                               \
  }
#endif
#define SHOOTER_GL_ENTRY(result, api, name, params, args, layer, ...) \
  SHOOTER_LAYER_ROUTE_##layer(result, api, name, params, args)
#include "gl/gl_entry_points.h"
#undef SHOOTER_GL_ENTRY
