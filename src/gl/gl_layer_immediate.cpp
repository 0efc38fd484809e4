// The GL layer's immediate mode: the current colour and texture coordinate
// carried from vertex to vertex, every primitive assembled into whole
// triangles, lines or points as GL assembles it, handed to the batch
// (gl/gl_batch.h) with the matrices applied; and the layer's start.
#include "gl/gl_layer_internal.h"

#include <cstring>
#include <initializer_list>

namespace gllayer {

// The current vertex state; a list compiled without running keeps it as it was.
Vertex current = {{0, 0, 0}, {0, 0}, {255, 255, 255, 255}};
GLfloat currentColour[4] = {1, 1, 1, 1};

namespace {

Vertex savedCurrent = current;
GLfloat savedColour[4] = {1, 1, 1, 1};

// The primitive being built: its mode, what it is drawn as, how many vertices
// it has had, its first one and the last three.
GLenum primitive = 0;
GLenum drawnAs = GL_TRIANGLES;
bool open = false;
size_t primitiveCount = 0;
Vertex firstVertex;
Vertex last[3];
// Whole triangles, lines or points of the primitive being drawn, handed to the
// batch when full and at glEnd; a multiple of six, so that each fits whole.
constexpr int kPending = 192;
Vertex pending[kPending];
int pendingCount = 0;

void handOver() {
  send(drawnAs, pending, static_cast<size_t>(pendingCount), nullptr);
  pendingCount = 0;
}

// One whole triangle, line or point of the primitive.
void emit(std::initializer_list<const Vertex*> group) {
  if (compiling()) {
    for (const Vertex* v : group) keepVertex(*v);
  }
  if (!executing()) return;
  if (pendingCount + static_cast<int>(group.size()) > kPending) handOver();
  for (const Vertex* v : group) pending[pendingCount++] = *v;
}

// GL_POINTS, GL_LINES or GL_TRIANGLES for a primitive mode (GL_POINTS to GL_POLYGON).
GLenum drawnAsFor(GLenum mode) {
  if (mode == GL_POINTS) return GL_POINTS;
  return mode <= GL_LINE_STRIP ? GL_LINES : GL_TRIANGLES;
}

// Vertex n (from 0) of the primitive, given the three before it, as GL
// assembles them: strips alternate their triangles' order so that all face the
// same way, a quad strip's quad is (n-3, n-2, n, n-1), a quad is split into
// (0 1 2) and (0 2 3), fans and polygons turn about the first vertex.
void assemble(const Vertex& v, size_t n) {
  const Vertex &a = last[0], &b = last[1], &c = last[2];
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
      if (n >= 2) emit({&firstVertex, &c, &v});
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

// GL clamps a colour to 0..1; the frame buffer keeps it to 1/255.
GLubyte colourByte(GLfloat c) {
  if (!(c > 0)) return 0;
  if (c >= 1) return 255;
  // c is in (0, 1): adding a half and truncating rounds it, as the reference frames were made.
  // NOLINTNEXTLINE(bugprone-incorrect-roundings)
  return static_cast<GLubyte>(c * 255 + 0.5f);
}
}  // namespace

bool inPrimitive() { return open; }

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

// Through the pending vertices, idle while no primitive is open.
void sendWithCurrentTexCoord(GLenum mode, const Vertex* vertices, size_t count,
                             const GLubyte* colour) {
  for (size_t done = 0; done < count; done += kPending) {
    const size_t n = count - done < kPending ? count - done : kPending;
    for (size_t i = 0; i < n; ++i) {
      pending[i] = vertices[done + i];
      std::memcpy(pending[i].texCoord, current.texCoord, sizeof current.texCoord);
    }
    send(mode, pending, n, colour);
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

}  // namespace gllayer

using namespace gllayer;

GLboolean layerStart() {
  setColour(1, 1, 1, 1);
  current.texCoord[0] = 0;
  current.texCoord[1] = 0;
  open = false;
  pendingCount = 0;
  clearError();
  stopCompiling();
  forgetLiveLists();
  forgetLiveTextures();
  return glbatch::start() ? GL_TRUE : GL_FALSE;
}

void layerStop() { glbatch::stop(); }

void layerBegin(GLenum mode) {
  if (mode > GL_POLYGON) return refuseEnum("glBegin", mode);
  if (inBeginEnd("glBegin")) return;
  primitive = mode;
  drawnAs = drawnAsFor(mode);
  open = true;
  primitiveCount = 0;
  pendingCount = 0;
  beginListPrimitive();
}

void layerEnd() {
  if (!open) return refuse(GL_INVALID_OPERATION, "glEnd", "no glBegin");
  open = false;
  // A loop closes from its last vertex to its first.
  if (primitive == GL_LINE_LOOP && primitiveCount >= 2) emit({&last[2], &firstVertex});
  // An unfinished triangle, quad or line at the end is dropped, as GL drops it.
  if (executing()) handOver();
  endListPrimitive(drawnAs);
}

void layerVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  // Outside glBegin and glEnd what a vertex does GL leaves undefined; here, nothing.
  if (!open) return refuse(GL_NO_ERROR, "glVertex", "outside glBegin and glEnd, dropped");
  Vertex v = current;
  v.position[0] = x;
  v.position[1] = y;
  v.position[2] = z;
  if (primitiveCount == 0) firstVertex = v;
  assemble(v, primitiveCount++);
  last[0] = last[1];
  last[1] = last[2];
  last[2] = v;
}

void layerVertex3d(GLdouble x, GLdouble y, GLdouble z) {
  layerVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void layerVertex2i(GLint x, GLint y) {
  layerVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), 0.0f);
}

void layerTexCoord2f(GLfloat s, GLfloat t) {
  if (compiling()) recordTexCoord(s, t);
  current.texCoord[0] = s;
  current.texCoord[1] = t;
}

void layerTexCoord2d(GLdouble s, GLdouble t) {
  layerTexCoord2f(static_cast<GLfloat>(s), static_cast<GLfloat>(t));
}

// Lighting cannot be enabled (WebGL has none), so a normal changes nothing.
void layerNormal3f(GLfloat, GLfloat, GLfloat) {}

void layerColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  if (compiling()) recordColour(r, g, b, a);
  setColour(r, g, b, a);
}

void layerColor4d(GLdouble r, GLdouble g, GLdouble b, GLdouble a) {
  layerColor4f(static_cast<GLfloat>(r), static_cast<GLfloat>(g), static_cast<GLfloat>(b),
               static_cast<GLfloat>(a));
}
