// The game's GL 1.1 layer (the browser's, and the desktop's unless the direct
// path is chosen): display lists recorded once as commands and ready vertex
// data, immediate mode with its current colour and texture coordinate, every
// primitive assembled into whole triangles, lines or points as GL assembles
// it, all handed to the batch (gl/gl_batch.h) with the matrices applied;
// box-filtered mipmaps, and on WebGL's terms the GL 1.1 values that WebGL
// refuses mapped to the ones it takes. A call it cannot carry out, or one GL
// itself refuses, sets GL's error and is told once on stderr.
#define SHOOTER_GL_COMPAT_IMPLEMENTATION
#include "gl/gl_compat.h"
#include "gl/gl_batch.h"
#include "gl/glu_sizes.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F  // GL 1.2, always in WebGL
#endif

namespace {

using Vertex = glbatch::ObjectVertex;

// What WebGL lacks and the desktop's GL 1.1 has (texture borders, pixel
// formats, fog, the alpha test...) the layer hands to GL when its backend
// draws with GL 1.1 itself; on WebGL's terms it refuses it.
#ifdef __EMSCRIPTEN__
constexpr bool webGl() { return true; }
#else
bool webGl() { return glbatch::webGlTerms(); }
#endif

// ---- Errors ---------------------------------------------------------------

// The error a refused call set, returned by glGetError before any of WebGL's.
GLenum pendingError = GL_NO_ERROR;
// The refusals already told on the console: each is told once, not every frame.
struct Told {
  GLenum error;
  const char* call;
  const char* why;
};
constexpr int kToldLimit = 96;  // more than the kinds below
Told told[kToldLimit];
int toldCount = 0;

const char* errorName(GLenum error) {
  switch (error) {
    case GL_INVALID_ENUM: return ": GL_INVALID_ENUM";
    case GL_INVALID_VALUE: return ": GL_INVALID_VALUE";
    case GL_INVALID_OPERATION: return ": GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW: return ": GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW: return ": GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY: return ": GL_OUT_OF_MEMORY";
    default: return "";
  }
}

// Sets GL's error for a call the layer does not carry out and says so on
// stderr (the browser's console), naming the call and why, once per kind.
// Kept out of line: every entry point may call it, and seldom does.
[[gnu::noinline, gnu::cold]] void refuse(GLenum error, const char* call,
                                         const char* why = nullptr) {
  if (pendingError == GL_NO_ERROR) pendingError = error;
  for (int i = 0; i < toldCount; ++i) {
    if (told[i].error == error && told[i].call == call && told[i].why == why) return;
  }
  if (toldCount == kToldLimit) return;
  told[toldCount++] = {error, call, why};
  std::fputs("GL layer: ", stderr);
  std::fputs(call, stderr);
  std::fputs(errorName(error), stderr);
  if (why != nullptr) {
    std::fputs(", ", stderr);
    std::fputs(why, stderr);
  }
  std::fputc('\n', stderr);
}

// ---- Display lists -----------------------------------------------------------

enum class Op : unsigned char {
  Enable,
  Disable,
  BindTexture,
  BlendFunc,
  DepthFunc,
  MatrixMode,
  LoadIdentity,
  Multiply,
  Translate,
  Rotate,
  PushMatrix,
  PopMatrix,
  Colour,
  Draw,
  CallList,
  CallListFromBase,
  ListBase,
  Clear,
  Viewport,
  TexParameter,
  TexCoord,
};

// One recorded command. Draw covers `count` vertices of the list from `first`,
// drawn as `a` (GL_TRIANGLES, GL_LINES or GL_POINTS); its colours and texture
// coordinates come from the list itself or, when the list set none before
// them, from the current ones at the time of the call. Multiply takes 16 of the list's numbers
// from `first`.
struct Command {
  Op op;
  GLenum a = 0;
  GLenum b = 0;
  GLdouble v[4] = {0, 0, 0, 0};
  size_t first = 0;
  size_t count = 0;
  bool ownColour = false;
  bool ownTexCoord = false;
};

struct List {
  std::vector<Command> commands;
  std::vector<Vertex> vertices;
  std::vector<GLdouble> numbers;
};

// Names up to this are taken by glNewList without glGenLists, as GL takes any
// (each name up to the largest has a slot of a few dozen bytes).
constexpr GLuint kLargestName = 1u << 16;

std::vector<List> lists(1);  // list 0 is never a name
GLuint listBase = 0;
// The list being compiled, put in place of its name's old one at glEndList.
List building;
GLuint buildingName = 0;  // 0: none
bool executing = true;    // commands run as they come: no list, or GL_COMPILE_AND_EXECUTE
bool recordingColour = false;    // the list being compiled has set a colour
bool colourInPrimitive = false;  // ... and did so between glBegin and glEnd
bool recordingTexCoord = false;    // the same for the texture coordinate
bool texCoordInPrimitive = false;
int callDepth = 0;

bool compiling() { return buildingName != 0; }

// ---- Immediate mode ----------------------------------------------------------

// The current vertex state; a list compiled without running keeps it as it was.
Vertex current = {{0, 0, 0}, {0, 0}, {255, 255, 255, 255}};
GLfloat currentColour[4] = {1, 1, 1, 1};  // as given, for a list to record
Vertex savedCurrent = current;
GLfloat savedColour[4] = {1, 1, 1, 1};

// The primitive being built: its mode, what it is drawn as, how many vertices
// it has had, its first one and the last three.
GLenum primitive = 0;
GLenum drawnAs = GL_TRIANGLES;
bool inPrimitive = false;
size_t primitiveCount = 0;
Vertex firstVertex;
Vertex last[3];
size_t primitiveStart = 0;  // in the compiled list's vertices
// Whole triangles, lines or points of the primitive being drawn, handed to the
// batch when full and at glEnd; a multiple of six, so that each fits whole.
constexpr int kPending = 192;
Vertex pending[kPending];
int pendingCount = 0;

void send(GLenum mode, const Vertex* vertices, size_t count, const GLubyte* colour) {
  switch (mode) {
    case GL_POINTS: glbatch::points(vertices, count, colour); break;
    case GL_LINES: glbatch::lines(vertices, count, colour); break;
    default: glbatch::triangles(vertices, count, colour); break;
  }
}

void handOver() {
  send(drawnAs, pending, static_cast<size_t>(pendingCount), nullptr);
  pendingCount = 0;
}

// One whole triangle, line or point of the primitive.
void emit(std::initializer_list<const Vertex*> group) {
  if (compiling()) {
    for (const Vertex* v : group) building.vertices.push_back(*v);
  }
  if (!executing) return;
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

void record(Op op, GLenum a = 0, GLenum b = 0, GLdouble x = 0, GLdouble y = 0, GLdouble z = 0,
            GLdouble w = 0) {
  Command command{};
  command.op = op;
  command.a = a;
  command.b = b;
  command.v[0] = x;
  command.v[1] = y;
  command.v[2] = z;
  command.v[3] = w;
  building.commands.push_back(command);
}

// Between glBegin and glEnd GL takes vertex data and lists only; anything
// else there is GL_INVALID_OPERATION.
[[gnu::noinline]] bool inBeginEnd(const char* call) {
  if (!inPrimitive) return false;
  refuse(GL_INVALID_OPERATION, call, "between glBegin and glEnd");
  return true;
}

// What every command a list records does first: refused between glBegin and
// glEnd, recorded while a list is compiled; true if it is to run now as well.
bool runsNow(const char* call, Op op, GLenum a = 0, GLenum b = 0, GLdouble x = 0,
             GLdouble y = 0, GLdouble z = 0, GLdouble w = 0) {
  if (inBeginEnd(call)) return false;
  if (compiling()) record(op, a, b, x, y, z, w);
  return executing;
}

// GL clamps a colour to 0..1; the frame buffer keeps it to 1/255.
GLubyte colourByte(GLfloat c) {
  if (!(c > 0)) return 0;
  if (c >= 1) return 255;
  // c is in (0, 1): adding a half and truncating rounds it, as the reference frames were made.
  // NOLINTNEXTLINE(bugprone-incorrect-roundings)
  return static_cast<GLubyte>(c * 255 + 0.5f);
}

void setColour(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  const GLfloat given[4] = {r, g, b, a};
  for (int i = 0; i < 4; ++i) {
    currentColour[i] = given[i];
    current.colour[i] = colourByte(given[i]);
  }
}

// ---- The commands a list records, as they run --------------------------------

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
                          cap == GL_TEXTURE_1D || (cap >= GL_TEXTURE_GEN_S && cap <= GL_TEXTURE_GEN_Q);
      if (!webGl() && !unkept) {
        glbatch::enable(cap, on);
        return;
      }
      if (on) {
        refuse(GL_INVALID_ENUM, "glEnable", "a capability the layer does not draw with");
      }
  }
}

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

void runBlendFunc(GLenum source, GLenum destination) {
  if (!isBlendFactor(source, true) || !isBlendFactor(destination, false)) {
    return refuse(GL_INVALID_ENUM, "glBlendFunc");
  }
  glbatch::blendFunc(source, destination);
}

void runDepthFunc(GLenum function) {
  if (function < GL_NEVER || function > GL_ALWAYS) {
    return refuse(GL_INVALID_ENUM, "glDepthFunc");
  }
  glbatch::depthFunc(function);
}

void runBindTexture(GLenum target, GLuint texture) {
  if (target != GL_TEXTURE_2D) {
    return refuse(GL_INVALID_ENUM, "glBindTexture", "WebGL has 2D textures only");
  }
  glbatch::bindTexture(texture);
}

void runMatrixMode(GLenum mode) {
  if (mode != GL_MODELVIEW && mode != GL_PROJECTION && mode != GL_TEXTURE) {
    return refuse(GL_INVALID_ENUM, "glMatrixMode");
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
  constexpr GLbitfield kBuffers = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT |
                                  GL_STENCIL_BUFFER_BIT | GL_ACCUM_BUFFER_BIT;
  if ((mask & ~kBuffers) != 0) return refuse(GL_INVALID_VALUE, "glClear");
  glbatch::flush();
  // WebGL has no accumulation buffer, and GL clears none that is not there.
  glClear(webGl() ? mask & ~static_cast<GLbitfield>(GL_ACCUM_BUFFER_BIT) : mask);
}

void runViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (width < 0 || height < 0) return refuse(GL_INVALID_VALUE, "glViewport");
  glbatch::viewport(x, y, width, height);
}

GLint webWrap(GLint value) { return webGl() && value == GL_CLAMP ? GL_CLAMP_TO_EDGE : value; }

void runTexParameter(GLenum target, GLenum name, GLint value) {
  if (target != GL_TEXTURE_2D) {
    return refuse(GL_INVALID_ENUM, "glTexParameter", "WebGL has 2D textures only");
  }
  // A texture's priority is a hint, which WebGL does not take.
  if (webGl() && name == GL_TEXTURE_PRIORITY) return;
  glbatch::bindTextureForUpload();
  glTexParameteri(target, name, webWrap(value));
}

void callList(GLuint name);

// A list's vertices, with the caller's colour and texture coordinate where the
// list had set none before them; those with the caller's texture coordinate go
// through the pending vertices, idle while no primitive is open.
void draw(const Command& c, const Vertex* vertices) {
  const GLubyte* colour = c.ownColour ? nullptr : current.colour;
  if (c.ownTexCoord) return send(c.a, vertices, c.count, colour);
  for (size_t done = 0; done < c.count; done += kPending) {
    const size_t n = c.count - done < kPending ? c.count - done : kPending;
    for (size_t i = 0; i < n; ++i) {
      pending[i] = vertices[done + i];
      std::memcpy(pending[i].texCoord, current.texCoord, sizeof current.texCoord);
    }
    send(c.a, pending, n, colour);
  }
}

void replay(const List& list) {
  for (const Command& c : list.commands) {
    switch (c.op) {
      case Op::Enable: runEnable(c.a, true); break;
      case Op::Disable: runEnable(c.a, false); break;
      case Op::BindTexture: runBindTexture(c.a, c.b); break;
      case Op::BlendFunc: runBlendFunc(c.a, c.b); break;
      case Op::DepthFunc: runDepthFunc(c.a); break;
      case Op::MatrixMode: runMatrixMode(c.a); break;
      case Op::LoadIdentity: glbatch::loadIdentity(); break;
      case Op::Multiply: glbatch::multiply(list.numbers.data() + c.first); break;
      case Op::Translate: glbatch::translate(c.v[0], c.v[1], c.v[2]); break;
      case Op::Rotate: glbatch::rotate(c.v[0], c.v[1], c.v[2], c.v[3]); break;
      case Op::PushMatrix: runPushMatrix(); break;
      case Op::PopMatrix: runPopMatrix(); break;
      case Op::Colour:
        setColour(static_cast<GLfloat>(c.v[0]), static_cast<GLfloat>(c.v[1]),
                  static_cast<GLfloat>(c.v[2]), static_cast<GLfloat>(c.v[3]));
        break;
      case Op::CallList: callList(c.a); break;
      case Op::CallListFromBase: callList(listBase + c.a); break;
      case Op::ListBase: listBase = c.a; break;
      case Op::Clear: runClear(c.a); break;
      case Op::Viewport:
        runViewport(static_cast<GLint>(c.v[0]), static_cast<GLint>(c.v[1]),
                    static_cast<GLsizei>(c.v[2]), static_cast<GLsizei>(c.v[3]));
        break;
      case Op::TexParameter: runTexParameter(c.a, c.b, static_cast<GLint>(c.v[0])); break;
      case Op::Draw:
        draw(c, list.vertices.data() + c.first);
        break;
      case Op::TexCoord:
        current.texCoord[0] = static_cast<GLfloat>(c.v[0]);
        current.texCoord[1] = static_cast<GLfloat>(c.v[1]);
        break;
    }
  }
}

void callList(GLuint name) {
  // A list that calls itself, directly or not, stops at a fixed depth as GL's does.
  if (name == 0 || name >= lists.size() || callDepth >= 64) return;
  ++callDepth;
  replay(lists[name]);
  --callDepth;
}

// A matrix multiplied onto the current one: recorded, run, or both.
void multiply(const GLdouble m[16]) {
  if (compiling()) {
    record(Op::Multiply);
    building.commands.back().first = building.numbers.size();
    building.numbers.insert(building.numbers.end(), m, m + 16);
  }
  if (executing) glbatch::multiply(m);
}

// The power of two GLU scales n to, at most `limit`.
GLsizei scaledSide(GLsizei n, GLsizei limit) {
  const GLsizei p = gluScaledSide(n);
  return p < limit ? p : limit;
}

int componentsOf(GLenum format) {
  switch (format) {
    case GL_RGBA: return 4;
    case GL_RGB: return 3;
    case GL_LUMINANCE_ALPHA: return 2;
    default: return 1;
  }
}

const char* const kWebPixels = "WebGL takes bytes of alpha, luminance, RGB or RGBA";

// The pixel formats of GL 1.1 that WebGL has too.
bool isWebFormat(GLenum format) {
  return format == GL_ALPHA || format == GL_LUMINANCE || format == GL_LUMINANCE_ALPHA ||
         format == GL_RGB || format == GL_RGBA;
}

// The format GL keeps for an internal format (WebGL takes that format alone,
// and only the same as the pixels'); 0 for the intensity formats, which WebGL
// lacks.
GLenum baseFormat(GLint internalFormat) {
  const GLenum f = static_cast<GLenum>(internalFormat);
  if (f == 1 || f == GL_LUMINANCE || (f >= GL_LUMINANCE4 && f <= GL_LUMINANCE16)) {
    return GL_LUMINANCE;
  }
  if (f == 2 || f == GL_LUMINANCE_ALPHA ||
      (f >= GL_LUMINANCE4_ALPHA4 && f <= GL_LUMINANCE16_ALPHA16)) {
    return GL_LUMINANCE_ALPHA;
  }
  if (f == 3 || f == GL_RGB || f == GL_R3_G3_B2 || (f >= GL_RGB4 && f <= GL_RGB16)) return GL_RGB;
  if (f == 4 || f == GL_RGBA || (f >= GL_RGBA2 && f <= GL_RGBA16)) return GL_RGBA;
  if (f == GL_ALPHA || (f >= GL_ALPHA4 && f <= GL_ALPHA16)) return GL_ALPHA;
  return 0;
}

// Resamples an image to another size by averaging the source pixels each
// destination pixel covers (nearest pixel when enlarging).
void scaleImage(const unsigned char* from, GLsizei fromW, GLsizei fromH, unsigned char* to,
                GLsizei toW, GLsizei toH, int components) {
  for (GLsizei y = 0; y < toH; ++y) {
    const GLsizei y0 = y * fromH / toH;
    GLsizei y1 = (y + 1) * fromH / toH;
    if (y1 <= y0) y1 = y0 + 1;
    for (GLsizei x = 0; x < toW; ++x) {
      const GLsizei x0 = x * fromW / toW;
      GLsizei x1 = (x + 1) * fromW / toW;
      if (x1 <= x0) x1 = x0 + 1;
      for (int c = 0; c < components; ++c) {
        unsigned sum = 0;
        for (GLsizei sy = y0; sy < y1; ++sy) {
          for (GLsizei sx = x0; sx < x1; ++sx) sum += from[(sy * fromW + sx) * components + c];
        }
        const unsigned n = static_cast<unsigned>((y1 - y0) * (x1 - x0));
        to[(y * toW + x) * components + c] = static_cast<unsigned char>((sum + n / 2) / n);
      }
    }
  }
}
}  // namespace

extern "C" {

GLboolean webGlStart() {
  setColour(1, 1, 1, 1);
  current.texCoord[0] = 0;
  current.texCoord[1] = 0;
  inPrimitive = false;
  pendingCount = 0;
  pendingError = GL_NO_ERROR;
  building = List();
  buildingName = 0;
  executing = true;
  return glbatch::start() ? GL_TRUE : GL_FALSE;
}

void webGlStop() { glbatch::stop(); }

GLenum webGetError() {
  const GLenum error = pendingError;
  pendingError = GL_NO_ERROR;
  return error != GL_NO_ERROR ? error : glGetError();
}

GLuint webGenLists(GLsizei range) {
  if (range < 0) {
    refuse(GL_INVALID_VALUE, "glGenLists");
    return 0;
  }
  if (inBeginEnd("glGenLists")) return 0;
  if (range == 0) return 0;
  const GLuint base = static_cast<GLuint>(lists.size());
  lists.resize(lists.size() + static_cast<size_t>(range));
  return base;
}

void webDeleteLists(GLuint list, GLsizei range) {
  if (range < 0) return refuse(GL_INVALID_VALUE, "glDeleteLists");
  if (inBeginEnd("glDeleteLists")) return;
  for (GLsizei i = 0; i < range; ++i) {
    const GLuint name = list + static_cast<GLuint>(i);
    if (name == 0 || name >= lists.size()) continue;
    lists[name] = List();
  }
}

void webNewList(GLuint list, GLenum mode) {
  if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) {
    return refuse(GL_INVALID_ENUM, "glNewList");
  }
  if (list == 0) return refuse(GL_INVALID_VALUE, "glNewList", "list 0");
  if (compiling()) return refuse(GL_INVALID_OPERATION, "glNewList", "nested");
  if (inBeginEnd("glNewList")) return;
  if (list > kLargestName) {
    return refuse(GL_OUT_OF_MEMORY, "glNewList", "a name past the layer's lists");
  }
  building = List();
  buildingName = list;
  executing = mode == GL_COMPILE_AND_EXECUTE;
  recordingColour = false;
  recordingTexCoord = false;
  if (!executing) {
    savedCurrent = current;
    std::memcpy(savedColour, currentColour, sizeof savedColour);
  }
}

void webEndList() {
  if (!compiling()) return refuse(GL_INVALID_OPERATION, "glEndList", "no list");
  if (inBeginEnd("glEndList")) return;
  if (buildingName >= lists.size()) lists.resize(buildingName + 1);
  lists[buildingName] = std::move(building);
  building = List();
  buildingName = 0;
  if (!executing) {
    // Compiling ran nothing: the vertex state is what it was before.
    current = savedCurrent;
    std::memcpy(currentColour, savedColour, sizeof savedColour);
  }
  executing = true;
}

void webCallList(GLuint list) {
  // Between glBegin and glEnd the list's vertices would have to join the
  // primitive being built, which the layer does not do.
  if (runsNow("glCallList", Op::CallList, list)) callList(list);
}

void webCallLists(GLsizei n, GLenum type, const GLvoid* names) {
  if (n < 0) return refuse(GL_INVALID_VALUE, "glCallLists");
  if (inBeginEnd("glCallLists")) return;
  const unsigned char* bytes = static_cast<const unsigned char*>(names);
  for (GLsizei i = 0; i < n; ++i) {
    GLuint name = 0;
    switch (type) {
      case GL_UNSIGNED_BYTE: name = static_cast<const GLubyte*>(names)[i]; break;
      // GL_BYTE names are signed offsets from the list base: the sign extends on purpose.
      // NOLINTNEXTLINE(bugprone-signed-char-misuse)
      case GL_BYTE: name = static_cast<GLuint>(static_cast<const GLbyte*>(names)[i]); break;
      case GL_UNSIGNED_SHORT: name = static_cast<const GLushort*>(names)[i]; break;
      case GL_SHORT: name = static_cast<GLuint>(static_cast<const GLshort*>(names)[i]); break;
      case GL_UNSIGNED_INT: name = static_cast<const GLuint*>(names)[i]; break;
      case GL_INT: name = static_cast<GLuint>(static_cast<const GLint*>(names)[i]); break;
      case GL_FLOAT: name = static_cast<GLuint>(static_cast<const GLfloat*>(names)[i]); break;
      // Two, three or four bytes a name, the first the highest.
      case GL_2_BYTES:
      case GL_3_BYTES:
      case GL_4_BYTES: {
        const int width = static_cast<int>(type - GL_2_BYTES) + 2;
        for (int k = 0; k < width; ++k) name = name << 8 | bytes[i * width + k];
        break;
      }
      default: return refuse(GL_INVALID_ENUM, "glCallLists");
    }
    if (compiling()) record(Op::CallListFromBase, name);
    if (executing) callList(listBase + name);
  }
}

void webListBase(GLuint base) {
  if (runsNow("glListBase", Op::ListBase, base)) listBase = base;
}

void webBegin(GLenum mode) {
  if (mode > GL_POLYGON) return refuse(GL_INVALID_ENUM, "glBegin");
  if (inBeginEnd("glBegin")) return;
  primitive = mode;
  drawnAs = drawnAsFor(mode);
  inPrimitive = true;
  primitiveCount = 0;
  pendingCount = 0;
  colourInPrimitive = false;
  texCoordInPrimitive = false;
  if (compiling()) primitiveStart = building.vertices.size();
}

void webEnd() {
  if (!inPrimitive) return refuse(GL_INVALID_OPERATION, "glEnd", "no glBegin");
  inPrimitive = false;
  // A loop closes from its last vertex to its first.
  if (primitive == GL_LINE_LOOP && primitiveCount >= 2) emit({&last[2], &firstVertex});
  // An unfinished triangle, quad or line at the end is dropped, as GL drops it.
  if (executing) handOver();
  if (!compiling()) return;
  const size_t count = building.vertices.size() - primitiveStart;
  if (count > 0) {
    // Consecutive primitives drawn alike with nothing between them become one draw.
    std::vector<Command>& commands = building.commands;
    if (!commands.empty() && commands.back().op == Op::Draw && commands.back().a == drawnAs &&
        commands.back().ownColour == recordingColour &&
        commands.back().ownTexCoord == recordingTexCoord &&
        commands.back().first + commands.back().count == primitiveStart) {
      commands.back().count += count;
    } else {
      Command draw{};
      draw.op = Op::Draw;
      draw.a = drawnAs;
      draw.first = primitiveStart;
      draw.count = count;
      draw.ownColour = recordingColour;
      draw.ownTexCoord = recordingTexCoord;
      commands.push_back(draw);
    }
  }
  // A colour or texture coordinate set between glBegin and glEnd stays
  // current after the list.
  if (colourInPrimitive) {
    record(Op::Colour, 0, 0, currentColour[0], currentColour[1], currentColour[2],
           currentColour[3]);
  }
  if (texCoordInPrimitive) record(Op::TexCoord, 0, 0, current.texCoord[0], current.texCoord[1]);
}

void webVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  // Outside glBegin and glEnd what a vertex does GL leaves undefined; here, nothing.
  if (!inPrimitive) return refuse(GL_NO_ERROR, "glVertex", "outside glBegin and glEnd, dropped");
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

void webVertex3d(GLdouble x, GLdouble y, GLdouble z) {
  webVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void webVertex2i(GLint x, GLint y) {
  webVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), 0.0f);
}

void webTexCoord2f(GLfloat s, GLfloat t) {
  if (compiling()) {
    if (inPrimitive) {
      texCoordInPrimitive = true;
    } else {
      record(Op::TexCoord, 0, 0, s, t);
    }
    recordingTexCoord = true;
  }
  current.texCoord[0] = s;
  current.texCoord[1] = t;
}

void webTexCoord2d(GLdouble s, GLdouble t) {
  webTexCoord2f(static_cast<GLfloat>(s), static_cast<GLfloat>(t));
}

// Lighting cannot be enabled (WebGL has none), so a normal changes nothing.
void webNormal3f(GLfloat, GLfloat, GLfloat) {}

void webColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  if (compiling()) {
    if (inPrimitive) {
      colourInPrimitive = true;
    } else {
      record(Op::Colour, 0, 0, r, g, b, a);
    }
    recordingColour = true;
  }
  setColour(r, g, b, a);
}

void webColor4d(GLdouble r, GLdouble g, GLdouble b, GLdouble a) {
  webColor4f(static_cast<GLfloat>(r), static_cast<GLfloat>(g), static_cast<GLfloat>(b),
             static_cast<GLfloat>(a));
}

void webEnable(GLenum cap) {
  if (runsNow("glEnable", Op::Enable, cap)) runEnable(cap, true);
}

void webDisable(GLenum cap) {
  if (runsNow("glDisable", Op::Disable, cap)) runEnable(cap, false);
}

void webBindTexture(GLenum target, GLuint texture) {
  if (runsNow("glBindTexture", Op::BindTexture, target, texture)) runBindTexture(target, texture);
}

void webBlendFunc(GLenum source, GLenum destination) {
  if (runsNow("glBlendFunc", Op::BlendFunc, source, destination)) runBlendFunc(source, destination);
}

void webTranslated(GLdouble x, GLdouble y, GLdouble z) {
  if (runsNow("glTranslate", Op::Translate, 0, 0, x, y, z)) glbatch::translate(x, y, z);
}

void webTranslatef(GLfloat x, GLfloat y, GLfloat z) { webTranslated(x, y, z); }

void webRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
  if (runsNow("glRotate", Op::Rotate, 0, 0, angle, x, y, z)) glbatch::rotate(angle, x, y, z);
}

void webRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { webRotated(angle, x, y, z); }

void webPushMatrix() {
  if (runsNow("glPushMatrix", Op::PushMatrix)) runPushMatrix();
}

void webPopMatrix() {
  if (runsNow("glPopMatrix", Op::PopMatrix)) runPopMatrix();
}

void webMatrixMode(GLenum mode) {
  if (runsNow("glMatrixMode", Op::MatrixMode, mode)) runMatrixMode(mode);
}

void webLoadIdentity() {
  if (runsNow("glLoadIdentity", Op::LoadIdentity)) glbatch::loadIdentity();
}

void webOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
              GLdouble zFar) {
  const GLdouble w = right - left, h = top - bottom, d = zFar - zNear;
  if (w == 0 || h == 0 || d == 0) return refuse(GL_INVALID_VALUE, "glOrtho");
  if (inBeginEnd("glOrtho")) return;
  const GLdouble m[16] = {2 / w, 0, 0, 0, 0, 2 / h, 0, 0, 0, 0, -2 / d, 0,
                          -(right + left) / w, -(top + bottom) / h, -(zFar + zNear) / d, 1};
  multiply(m);
}

// GLU's perspective: the field of view in degrees, from the cotangent of half
// of it. Like GLU's, it does nothing for a flat view, and sets no error.
void webPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  const GLdouble radians = fovy / 2 * 3.14159265358979323846 / 180;
  const GLdouble d = zFar - zNear, sine = std::sin(radians);
  if (d == 0 || sine == 0 || aspect == 0) return;
  if (inBeginEnd("gluPerspective")) return;
  const GLdouble f = std::cos(radians) / sine;
  const GLdouble m[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, -(zFar + zNear) / d, -1,
                          0, 0, -2 * zNear * zFar / d, 0};
  multiply(m);
}

void webClear(GLbitfield mask) {
  if (runsNow("glClear", Op::Clear, mask)) runClear(mask);
}

void webViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (runsNow("glViewport", Op::Viewport, 0, 0, x, y, width, height)) {
    runViewport(x, y, width, height);
  }
}

void webDepthFunc(GLenum function) {
  if (runsNow("glDepthFunc", Op::DepthFunc, function)) runDepthFunc(function);
}

void webFlush() {
  if (inBeginEnd("glFlush")) return;
  glbatch::flush();
}

void webFinish() {
  if (inBeginEnd("glFinish")) return;
  glbatch::flush();
  glFinish();
}

void webDrawCounts(unsigned long* draws, unsigned long* uploads) {
  const glbatch::Counters c = glbatch::counters();
  *draws = c.draws;
  *uploads = c.uploads;
}

// A hint may be taken and ignored, as these are: WebGL knows none of GL 1.1's.
void webHint(GLenum target, GLenum mode) {
  if (inBeginEnd("glHint")) return;
  const bool knownTarget = target == GL_PERSPECTIVE_CORRECTION_HINT ||
                           target == GL_POINT_SMOOTH_HINT || target == GL_LINE_SMOOTH_HINT ||
                           target == GL_POLYGON_SMOOTH_HINT || target == GL_FOG_HINT;
  const bool knownMode = mode == GL_FASTEST || mode == GL_NICEST || mode == GL_DONT_CARE;
  if (!knownTarget || !knownMode) refuse(GL_INVALID_ENUM, "glHint");
}

void webTexParameteri(GLenum target, GLenum name, GLint value) {
  if (runsNow("glTexParameter", Op::TexParameter, target, name, value)) {
    runTexParameter(target, name, value);
  }
}

void webTexParameterf(GLenum target, GLenum name, GLfloat value) {
  webTexParameteri(target, name, static_cast<GLint>(value));
}

namespace {
GLsizei proxyWidth = 0;  // the size the last proxy texture took, 0 if refused
GLsizei proxyHeight = 0;
GLint proxyLevel = 0;
}  // namespace

void webTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                   GLsizei height, GLint border, GLenum format, GLenum type,
                   const GLvoid* pixels) {
  if (inBeginEnd("glTexImage2D")) return;
  if (target == GL_PROXY_TEXTURE_2D && !webGl()) {
    // The desktop's GL answers for its proxies, through its own level query.
    glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
    return;
  }
  if (target == GL_PROXY_TEXTURE_2D) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const bool fits = width >= 0 && height >= 0 && width <= maxSize && height <= maxSize;
    proxyWidth = fits ? width : 0;
    proxyHeight = fits ? height : 0;
    proxyLevel = level;
    return;
  }
  if (target != GL_TEXTURE_2D) {
    return refuse(GL_INVALID_ENUM, "glTexImage2D", "WebGL has 2D textures only");
  }
  if (compiling()) {
    return refuse(GL_INVALID_OPERATION, "glTexImage2D", "not recorded in a display list here");
  }
  if (border != 0 && (webGl() || border != 1)) {
    return refuse(GL_INVALID_VALUE, "glTexImage2D",
                  webGl() ? "WebGL has no texture borders" : "a border of more than 1");
  }
  // GL 1.1 takes sides of a power of two only, besides the border (WebGL would
  // take others, but leaves them black when they repeat or are mipmapped).
  const auto powerOfTwo = [](GLsizei n) { return n >= 0 && (n & (n - 1)) == 0; };
  if (!powerOfTwo(width - 2 * border) || !powerOfTwo(height - 2 * border)) {
    return refuse(GL_INVALID_VALUE, "glTexImage2D", "a side not a power of two");
  }
  if (!webGl()) {
    // The desktop's GL takes every pixel format and internal format of GL 1.1.
    glbatch::bindTextureForUpload();
    glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
    return;
  }
  if (type != GL_UNSIGNED_BYTE || !isWebFormat(format)) {
    return refuse(GL_INVALID_ENUM, "glTexImage2D", kWebPixels);
  }
  if (baseFormat(internalFormat) != format) {
    return refuse(GL_INVALID_OPERATION, "glTexImage2D", "WebGL keeps the pixels' own format only");
  }
  glbatch::bindTextureForUpload();
  glTexImage2D(target, level, static_cast<GLint>(format), width, height, 0, format, type, pixels);
}

void webDeleteTextures(GLsizei n, const GLuint* textures) {
  if (inBeginEnd("glDeleteTextures")) return;
  if (n < 0) return refuse(GL_INVALID_VALUE, "glDeleteTextures");
  glbatch::deleteTextures(n, textures);
}

// Only the size a proxy texture took is known: WebGL reports nothing of a
// texture's levels.
void webGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value) {
  if (inBeginEnd("glGetTexLevelParameteriv")) {
    return;
  }
  if (!webGl()) return glGetTexLevelParameteriv(target, level, name, value);  // GL's own proxies
  if (level < 0) return refuse(GL_INVALID_VALUE, "glGetTexLevelParameteriv");
  if (target != GL_PROXY_TEXTURE_2D || (name != GL_TEXTURE_WIDTH && name != GL_TEXTURE_HEIGHT)) {
    return refuse(GL_INVALID_ENUM, "glGetTexLevelParameteriv", "a proxy's width and height only");
  }
  const bool taken = level == proxyLevel;
  *value = !taken ? 0 : name == GL_TEXTURE_WIDTH ? proxyWidth : proxyHeight;
}

// Level 0 at the nearest power-of-two size (WebGL mipmaps no other), then each
// level the 2x2 average of the one above, down to 1x1.
GLint webBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
  if (width <= 0 || height <= 0 || data == nullptr) return GLU_INVALID_VALUE;
  if (type != GL_UNSIGNED_BYTE || !isWebFormat(format)) {
    refuse(GL_NO_ERROR, "gluBuild2DMipmaps", kWebPixels);
    return GLU_INVALID_ENUM;
  }
  const int components = componentsOf(format);
  GLint unpack = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
  // The caller's rows, unpacked to tight rows.
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(components);
  const size_t stride = (rowBytes + static_cast<size_t>(unpack) - 1) /
                        static_cast<size_t>(unpack) * static_cast<size_t>(unpack);
  std::vector<unsigned char> source(rowBytes * static_cast<size_t>(height));
  for (GLsizei y = 0; y < height; ++y) {
    std::memcpy(&source[static_cast<size_t>(y) * rowBytes],
                static_cast<const unsigned char*>(data) + static_cast<size_t>(y) * stride,
                rowBytes);
  }
  GLint maxSize = 2048;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  GLsizei w = scaledSide(width, maxSize);
  GLsizei h = scaledSide(height, maxSize);
  std::vector<unsigned char> level(static_cast<size_t>(w) * static_cast<size_t>(h) *
                                   static_cast<size_t>(components));
  if (w == width && h == height) {
    level = source;
  } else {
    scaleImage(source.data(), width, height, level.data(), w, h, components);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  std::vector<unsigned char> next;
  for (GLint n = 0;; ++n) {
    webTexImage2D(target, n, internalFormat, w, h, 0, format, type, level.data());
    if (w == 1 && h == 1) break;
    const GLsizei nw = w > 1 ? w / 2 : 1;
    const GLsizei nh = h > 1 ? h / 2 : 1;
    next.assign(static_cast<size_t>(nw) * static_cast<size_t>(nh) *
                    static_cast<size_t>(components), 0);
    scaleImage(level.data(), w, h, next.data(), nw, nh, components);
    level.swap(next);
    w = nw;
    h = nh;
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpack);
  return 0;
}
}
