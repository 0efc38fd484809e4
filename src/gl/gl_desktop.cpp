// The desktop builds' choice of path for each GL call: the layer (gl_compat
// and gl_batch on GL 1.1's client arrays) or the driver, with the calls that
// reach the driver counted on both paths. Texture parameters and uploads go
// through the layer (it records the parameters in its lists, draws what it
// holds before a texture changes, and hands GL the upload); texture queries
// and GLU's mipmaps go to the driver on both paths (the layer binds the
// texture first): the system's GL and GLU build the same textures either way.
#define SHOOTER_GL_COMPAT_IMPLEMENTATION
#define SHOOTER_GL_DESKTOP_IMPLEMENTATION
#include "gl/gl_desktop.h"

#include "gl/gl_batch.h"
#include "gl/gl_compat.h"

namespace {

gldesk::Path chosen = gldesk::Path::Layer;
bool layer = false;  // started, with the layer chosen

// The direct path's calls, counted as the driver sees them: a display list's
// calls when the list runs, from the tally taken while it was compiled.
struct Tally {
  unsigned long draws;
  unsigned long stateCalls;
  unsigned long calls;

  void add(const Tally& o) {
    draws += o.draws;
    stateCalls += o.stateCalls;
    calls += o.calls;
  }
};
constexpr GLuint kCountedLists = 4096;
Tally executed = {0, 0, 0};
Tally listTallies[kCountedLists];
GLuint compiling = 0;       // the list being compiled, 0 when none (or past the table)
bool compileOnly = false;   // GL_COMPILE: its calls are not executed now
GLuint listBase = 0;

enum Kind { kCall, kDraw, kState };

void count(const Tally& t) {
  if (compiling != 0) listTallies[compiling].add(t);
  if (!compileOnly) executed.add(t);
}

void count(Kind kind) {
  count(Tally{kind == kDraw ? 1ul : 0ul, kind == kState ? 1ul : 0ul, 1ul});
}

void countList(GLuint name) {
  count(kCall);
  if (name < kCountedLists) count(listTallies[name]);
}
}  // namespace

namespace gldesk {

void choosePath(Path path) { chosen = path; }

Path chosenPath() { return chosen; }

bool start() {
  layer = false;
  if (chosen == Path::Direct) return true;
  layer = webGlStart() == GL_TRUE;
  return layer;
}

void stop() {
  if (layer) webGlStop();
  layer = false;
}

bool throughLayer() { return layer; }

DriverCalls driverCalls() {
  const glbatch::Counters c = glbatch::counters();
  return {executed.draws + c.draws, executed.stateCalls + c.stateCalls,
          executed.calls + c.draws + c.stateCalls + c.uploads};
}

}  // namespace gldesk

// One entry point: the layer's call, or the driver's counted as `kind`.
#define SHOOTER_DESK_CALL(kind, name, params, args) \
  void desk##name params {                          \
    if (layer) return web##name args;               \
    count(kind);                                    \
    gl##name args;                                  \
  }

SHOOTER_DESK_CALL(kDraw, Begin, (GLenum mode), (mode))
SHOOTER_DESK_CALL(kCall, End, (), ())
SHOOTER_DESK_CALL(kCall, Vertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
SHOOTER_DESK_CALL(kCall, Vertex3d, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))
SHOOTER_DESK_CALL(kCall, Vertex2i, (GLint x, GLint y), (x, y))
SHOOTER_DESK_CALL(kCall, TexCoord2f, (GLfloat s, GLfloat t), (s, t))
SHOOTER_DESK_CALL(kCall, TexCoord2d, (GLdouble s, GLdouble t), (s, t))
SHOOTER_DESK_CALL(kCall, Normal3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
SHOOTER_DESK_CALL(kCall, Color4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))
SHOOTER_DESK_CALL(kCall, Color4d, (GLdouble r, GLdouble g, GLdouble b, GLdouble a), (r, g, b, a))
SHOOTER_DESK_CALL(kState, Enable, (GLenum cap), (cap))
SHOOTER_DESK_CALL(kState, Disable, (GLenum cap), (cap))
SHOOTER_DESK_CALL(kState, BindTexture, (GLenum target, GLuint texture), (target, texture))
SHOOTER_DESK_CALL(kState, BlendFunc, (GLenum source, GLenum destination), (source, destination))
SHOOTER_DESK_CALL(kState, Translated, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))
SHOOTER_DESK_CALL(kState, Translatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
SHOOTER_DESK_CALL(kState, Rotated, (GLdouble angle, GLdouble x, GLdouble y, GLdouble z),
                  (angle, x, y, z))
SHOOTER_DESK_CALL(kState, Rotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z),
                  (angle, x, y, z))
SHOOTER_DESK_CALL(kState, PushMatrix, (), ())
SHOOTER_DESK_CALL(kState, PopMatrix, (), ())
SHOOTER_DESK_CALL(kState, MatrixMode, (GLenum mode), (mode))
SHOOTER_DESK_CALL(kState, LoadIdentity, (), ())
SHOOTER_DESK_CALL(kState, Ortho,
                  (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                   GLdouble zFar),
                  (left, right, bottom, top, zNear, zFar))
SHOOTER_DESK_CALL(kState, DepthFunc, (GLenum function), (function))
SHOOTER_DESK_CALL(kState, DeleteTextures, (GLsizei n, const GLuint* textures), (n, textures))
#undef SHOOTER_DESK_CALL

// The layer's own error first (a call it refused), then the driver's.
GLenum deskGetError() {
  if (layer) return webGetError();
  count(kCall);
  return glGetError();
}

// Calls that reach the driver on both paths (the layer draws what it holds first).
#define SHOOTER_DESK_BOTH(kind, name, params, args) \
  void desk##name params {                          \
    count(kind);                                    \
    if (layer) return web##name args;               \
    gl##name args;                                  \
  }
SHOOTER_DESK_BOTH(kCall, Clear, (GLbitfield mask), (mask))
SHOOTER_DESK_BOTH(kState, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height),
                  (x, y, width, height))
SHOOTER_DESK_BOTH(kCall, Finish, (), ())
#undef SHOOTER_DESK_BOTH

// A flush ends the layer's batch; the driver's own is the direct path's.
void deskFlush() {
  if (layer) return webFlush();
  count(kCall);
  glFlush();
}

GLuint deskGenLists(GLsizei range) {
  if (layer) return webGenLists(range);
  return glGenLists(range);
}

void deskDeleteLists(GLuint list, GLsizei range) {
  if (layer) return webDeleteLists(list, range);
  glDeleteLists(list, range);
}

void deskNewList(GLuint list, GLenum mode) {
  if (layer) return webNewList(list, mode);
  compiling = list < kCountedLists ? list : 0;
  if (compiling != 0) listTallies[compiling] = {0, 0, 0};
  compileOnly = mode == GL_COMPILE;
  glNewList(list, mode);
}

void deskEndList() {
  if (layer) return webEndList();
  compiling = 0;
  compileOnly = false;
  glEndList();
}

void deskListBase(GLuint base) {
  if (layer) return webListBase(base);
  count(kState);
  listBase = base;  // for counting what glCallLists runs
  glListBase(base);
}

void deskCallList(GLuint list) {
  if (layer) return webCallList(list);
  countList(list);
  glCallList(list);
}

void deskCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
  if (layer) return webCallLists(n, type, lists);
  for (GLsizei i = 0; i < n; ++i) {
    switch (type) {
      case GL_UNSIGNED_BYTE: countList(listBase + static_cast<const GLubyte*>(lists)[i]); break;
      case GL_UNSIGNED_SHORT: countList(listBase + static_cast<const GLushort*>(lists)[i]); break;
      case GL_UNSIGNED_INT: countList(listBase + static_cast<const GLuint*>(lists)[i]); break;
      default: break;
    }
  }
  glCallLists(n, type, lists);
}

// The capabilities the layer keeps are the layer's to tell.
GLboolean deskIsEnabled(GLenum cap) {
  bool on = false;
  if (layer && glbatch::keeps(cap, &on)) return on ? GL_TRUE : GL_FALSE;
  return glIsEnabled(cap);
}

void deskPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  if (layer) return webPerspective(fovy, aspect, zNear, zFar);
  count(kState);
  gluPerspective(fovy, aspect, zNear, zFar);
}

// Textures: the driver's own calls on both paths, on the texture the game bound.
namespace {
void uploadBinding() {
  if (layer) glbatch::bindTextureForUpload();
  count(kState);
}
}  // namespace

void deskHint(GLenum target, GLenum mode) {
  count(kState);
  glHint(target, mode);
}

void deskTexParameteri(GLenum target, GLenum name, GLint value) {
  count(kState);
  if (layer) return webTexParameteri(target, name, value);
  glTexParameteri(target, name, value);
}

void deskTexParameterf(GLenum target, GLenum name, GLfloat value) {
  count(kState);
  if (layer) return webTexParameterf(target, name, value);
  glTexParameterf(target, name, value);
}

void deskTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                    GLsizei height, GLint border, GLenum format, GLenum type,
                    const GLvoid* pixels) {
  count(kState);
  if (layer) {
    return webTexImage2D(target, level, internalFormat, width, height, border, format, type,
                         pixels);
  }
  glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}

void deskGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value) {
  uploadBinding();
  glGetTexLevelParameteriv(target, level, name, value);
}

GLint deskBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                         GLenum format, GLenum type, const void* data) {
  uploadBinding();
  return gluBuild2DMipmaps(target, internalFormat, width, height, format, type, data);
}
