// The GL layer's immediate mode: the current colour and texture coordinate
// carried from vertex to vertex, every primitive assembled into whole
// triangles, lines or points as GL assembles it, handed to the batch
// (gl/gl_batch.h) with the matrices applied; and the layer's start. While no
// list is compiled each vertex goes to eye space as it is given, and each
// whole triangle, line or point straight into the batch's stream.
#include "gl/gl_layer_internal.h"

#include <initializer_list>

namespace gllayer {
namespace {

using glbatch::EyeVertex;

// The primitive being built: its mode, what it is drawn as, how many vertices
// it has had, its first one and the last three, as given (`first`, `last`)
// while a list is compiled, else in eye space (`eyeFirst`, `eyeLast`).
GLenum primitive = 0;
GLenum drawnAs = GL_TRIANGLES;
bool open = false;
bool direct = false;  // no list being compiled: straight into the stream
bool shapes = false;  // and triangles or quads: corner by corner (glbatch::corner)
size_t primitiveCount = 0;
Vertex first;
Vertex last[3];
EyeVertex eyeFirst;
EyeVertex eyeLast[3];
// Whole triangles, lines or points of a primitive being compiled, handed to
// the batch when full and at glEnd when the list runs as well; a multiple of
// six, so that each fits whole.
constexpr int kPending = 192;
Vertex pending[kPending];
int pendingCount = 0;

void handOver() {
  send(drawnAs, pending, static_cast<size_t>(pendingCount), nullptr);
  pendingCount = 0;
}

// One whole triangle, line or point of the primitive: into the list being
// compiled, and to the batch when it runs as well.
void emit(std::initializer_list<const Vertex*> group) {
  for (const Vertex* v : group) keepVertex(*v);
  if (!executing()) return;
  if (pendingCount + static_cast<int>(group.size()) > kPending) handOver();
  for (const Vertex* v : group) pending[pendingCount++] = *v;
}

// The same, already in eye space, straight into the stream.
void emit(std::initializer_list<const EyeVertex*> group) {
  EyeVertex* out = glbatch::reserve(drawnAs, group.size());
  for (const EyeVertex* v : group) *out++ = *v;
}

// GL_POINTS, GL_LINES or GL_TRIANGLES for a primitive mode (GL_POINTS to GL_POLYGON).
GLenum drawnAsFor(GLenum mode) {
  if (mode == GL_POINTS) return GL_POINTS;
  return mode <= GL_LINE_STRIP ? GL_LINES : GL_TRIANGLES;
}

// Vertex n (from 0) of the primitive, given its first and the three before
// it, as GL assembles them: strips alternate their triangles' order so that
// all face the same way, a quad strip's quad is (n-3, n-2, n, n-1), a quad is
// split into (0 1 2) and (0 2 3), fans and polygons turn about the first vertex.
template <typename V>
void assemble(const V& v, size_t n, const V& firstOne, const V* lastThree) {
  const V &a = lastThree[0], &b = lastThree[1], &c = lastThree[2];
  switch (primitive) {
    case GL_POINTS: emit({&v}); break;
    case GL_LINES:
      if (n % 2 == 1) emit({&c, &v});
      break;
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
      if (n >= 1) emit({&c, &v});
      break;
    case GL_TRIANGLES:
      if (n % 3 == 2) emit({&b, &c, &v});
      break;
    case GL_TRIANGLE_STRIP:
      if (n >= 2 && n % 2 == 0) emit({&b, &c, &v});
      if (n >= 2 && n % 2 == 1) emit({&c, &b, &v});
      break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
      if (n >= 2) emit({&firstOne, &c, &v});
      break;
    case GL_QUADS:
      if (n % 4 == 3) emit({&a, &b, &c, &a, &c, &v});
      break;
    case GL_QUAD_STRIP:
      if (n >= 3 && n % 2 == 1) emit({&a, &b, &v, &a, &v, &c});
      break;
    default: break;
  }
}

// The vertex as the primitive's next: assembled with the ones before it, then
// kept among the last three.
template <typename V>
void add(const V& v, V* firstOne, V* lastThree) {
  if (primitiveCount == 0) *firstOne = v;
  assemble(v, primitiveCount++, *firstOne, lastThree);
  lastThree[0] = lastThree[1];
  lastThree[1] = lastThree[2];
  lastThree[2] = v;
}

// A list is being compiled (the colour and texture coordinate are recorded).
bool listCompiling() { return !ordinary && (open ? !direct : compiling()); }
}  // namespace

bool inPrimitive() { return open; }

}  // namespace gllayer

using namespace gllayer;

GLboolean layerStart() {
  setColour(1, 1, 1, 1);
  current.texCoord[0] = 0;
  current.texCoord[1] = 0;
  open = false;
  shapes = false;
  pendingCount = 0;
  clearError();
  stopCompiling();
  ordinary = true;
  forgetLiveLists();
  forgetLiveTextures();
  return glbatch::start() ? GL_TRUE : GL_FALSE;
}

void layerStop() { glbatch::stop(); }

void layerBegin(GLenum mode) {
  if (mode > GL_POLYGON) return refuseEnum("glBegin", mode);
  // Nothing open and no list being compiled: the most common case, told at once.
  const bool wasOrdinary = ordinary;
  if (!wasOrdinary && inBeginEnd("glBegin")) return;
  primitive = mode;
  drawnAs = drawnAsFor(mode);
  open = true;
  ordinary = false;
  direct = wasOrdinary || !compiling();
  primitiveCount = 0;
  pendingCount = 0;
  shapes = direct && (mode == GL_TRIANGLES || mode == GL_QUADS);
  if (shapes) glbatch::beginShapes(mode == GL_TRIANGLES ? 3 : 4);
  if (!direct) beginListPrimitive();
}

void layerEnd() {
  if (!open) return refuse(GL_INVALID_OPERATION, "glEnd", "no glBegin");
  open = false;
  shapes = false;
  // A loop closes from its last vertex to its first. An unfinished triangle,
  // quad or line at the end is dropped, as GL drops it.
  const bool closes = primitive == GL_LINE_LOOP && primitiveCount >= 2;
  if (direct) {
    if (closes) emit({&eyeLast[2], &eyeFirst});
    ordinary = true;
    return;
  }
  if (closes) emit({&last[2], &first});
  if (executing()) handOver();
  endListPrimitive(drawnAs);
}

void layerVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  // Outside glBegin and glEnd what a vertex does GL leaves undefined; here, nothing.
  if (!open) return refuse(GL_NO_ERROR, "glVertex", "outside glBegin and glEnd, dropped");
  if (shapes) return glbatch::corner(x, y, z, current.texCoord, current.colour);
  if (direct) {
    EyeVertex v;
    glbatch::toEye(x, y, z, current.texCoord, current.colour, &v);
    return add(v, &eyeFirst, eyeLast);
  }
  Vertex v = current;
  v.position[0] = x;
  v.position[1] = y;
  v.position[2] = z;
  add(v, &first, last);
}

void layerVertex3d(GLdouble x, GLdouble y, GLdouble z) {
  if (shapes) {
    return glbatch::corner(static_cast<GLfloat>(x), static_cast<GLfloat>(y),
                           static_cast<GLfloat>(z), current.texCoord, current.colour);
  }
  layerVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void layerVertex2i(GLint x, GLint y) {
  layerVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), 0.0f);
}

void layerTexCoord2f(GLfloat s, GLfloat t) {
  if (listCompiling()) recordTexCoord(s, t, open);
  current.texCoord[0] = s;
  current.texCoord[1] = t;
}

void layerTexCoord2d(GLdouble s, GLdouble t) {
  layerTexCoord2f(static_cast<GLfloat>(s), static_cast<GLfloat>(t));
}

// Lighting cannot be enabled (WebGL has none), so a normal changes nothing.
void layerNormal3f(GLfloat, GLfloat, GLfloat) {}

void layerColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  if (listCompiling()) recordColour(r, g, b, a, open);
  setColour(r, g, b, a);
}

void layerColor4d(GLdouble r, GLdouble g, GLdouble b, GLdouble a) {
  layerColor4f(static_cast<GLfloat>(r), static_cast<GLfloat>(g), static_cast<GLfloat>(b),
               static_cast<GLfloat>(a));
}
