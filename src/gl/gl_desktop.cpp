// The desktop builds' choice of path for each GL call: the layer (gl_layer_*
// and gl_batch on GL 1.1's client arrays) or the driver, with the calls that
// reach the driver counted on both paths. Texture parameters and uploads go
// through the layer (it records the parameters in its lists, draws what it
// holds before a texture changes, and hands GL the upload); texture queries
// and GLU's mipmaps go to the driver on both paths (the layer binds the
// texture first): the system's GL and GLU build the same textures either way.
#include "gl/gl_desktop.h"

#include "gl/gl_batch.h"
#include "gl/gl_layer.h"

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
GLuint compiling = 0;      // the list being compiled, 0 when none (or past the table)
bool compileOnly = false;  // GL_COMPILE: its calls are not executed now
GLuint listBase = 0;

enum Kind { kNone, kCall, kDraw, kState };

void count(const Tally& t) {
  if (compiling != 0) listTallies[compiling].add(t);
  if (!compileOnly) executed.add(t);
}

void count(Kind kind) {
  if (kind == kNone) return;
  count(Tally{kind == kDraw ? 1ul : 0ul, kind == kState ? 1ul : 0ul, 1ul});
}

void countList(GLuint name) {
  count(kCall);
  if (name < kCountedLists) count(listTallies[name]);
}
}  // namespace

namespace gldesk {

void choosePath(Path path) { chosen = path; }

bool start() {
  layer = false;
  if (chosen == Path::Direct) return true;
  layer = layerStart() == GL_TRUE;
  return layer;
}

void stop() {
  if (layer) layerStop();
  layer = false;
}

DriverCalls driverCalls() {
  const glbatch::Counters c = glbatch::counters();
  return {executed.draws + c.draws, executed.stateCalls + c.stateCalls,
          executed.calls + c.draws + c.stateCalls + c.uploads};
}

}  // namespace gldesk

// The routes of gl/gl_entry_points.h that are not the desktop's own: the
// layer's call once it has started, else the driver's counted as `kind`; or
// the driver's counted on both paths, through the layer once it has started.
#define SHOOTER_DESK_ROUTE_layer(result, api, name, params, args, kind) \
  result desk##name params {                                            \
    if (layer) return layer##name args;                                 \
    count(kind);                                                        \
    return api##name args;                                              \
  }
#define SHOOTER_DESK_ROUTE_both(result, api, name, params, args, kind) \
  result desk##name params {                                           \
    count(kind);                                                       \
    if (layer) return layer##name args;                                \
    return api##name args;                                             \
  }
#define SHOOTER_DESK_ROUTE_own(...)
#define SHOOTER_GL_ENTRY(result, api, name, params, args, layerRoute, desk, kind) \
  SHOOTER_DESK_ROUTE_##desk(result, api, name, params, args, kind)
#include "gl/gl_entry_points.h"
#undef SHOOTER_GL_ENTRY
#undef SHOOTER_DESK_ROUTE_layer
#undef SHOOTER_DESK_ROUTE_both
#undef SHOOTER_DESK_ROUTE_own

void deskNewList(GLuint list, GLenum mode) {
  if (layer) return layerNewList(list, mode);
  compiling = list < kCountedLists ? list : 0;
  if (compiling != 0) listTallies[compiling] = {0, 0, 0};
  compileOnly = mode == GL_COMPILE;
  glNewList(list, mode);
}

void deskEndList() {
  if (layer) return layerEndList();
  compiling = 0;
  compileOnly = false;
  glEndList();
}

void deskListBase(GLuint base) {
  if (layer) return layerListBase(base);
  count(kState);
  listBase = base;  // for counting what glCallLists runs
  glListBase(base);
}

void deskCallList(GLuint list) {
  if (layer) return layerCallList(list);
  countList(list);
  glCallList(list);
}

void deskCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
  if (layer) return layerCallLists(n, type, lists);
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

// Textures: the driver's own calls on both paths, on the texture the game bound.
namespace {
void uploadBinding() {
  if (layer) glbatch::bindTextureForUpload();
  count(kState);
}
}  // namespace

void deskGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value) {
  uploadBinding();
  glGetTexLevelParameteriv(target, level, name, value);
}

GLint deskBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                         GLenum format, GLenum type, const void* data) {
  uploadBinding();
  return gluBuild2DMipmaps(target, internalFormat, width, height, format, type, data);
}
