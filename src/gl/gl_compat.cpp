// The browser build's GL 1.1 layer: display lists recorded once as commands
// and ready vertex data, immediate mode with its current colour and texture
// coordinate, both handed to the batch (gl/gl_batch.h) with the matrices
// applied; box-filtered mipmaps, and the GL 1.1 values that WebGL refuses
// mapped to the ones it takes.
#define SHOOTER_GL_COMPAT_IMPLEMENTATION
#include "gl/gl_compat.h"
#include "gl/gl_batch.h"
#include "gl/glu_sizes.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <vector>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F  // GL 1.2, always in WebGL
#endif

namespace {

using Vertex = glbatch::ObjectVertex;

enum class Op : unsigned char {
  Enable,
  Disable,
  BindTexture,
  BlendFunc,
  Translate,
  Rotate,
  PushMatrix,
  PopMatrix,
  Colour,
  Draw,
  CallList,
};

// One recorded command. Draw covers `count` vertices of the list from `first`;
// its colours come from the list itself or, when the list set none before
// them, from the current colour at the time of the call.
struct Command {
  Op op;
  GLenum a = 0;
  GLenum b = 0;
  GLdouble v[4] = {0, 0, 0, 0};
  size_t first = 0;
  size_t count = 0;
  bool ownColour = false;
};

struct List {
  std::vector<Command> commands;
  std::vector<Vertex> vertices;
};

std::vector<List> lists(1);  // list 0 is never a name
GLuint listBase = 0;
List* recording = nullptr;
bool recordingColour = false;    // the list being recorded has set a colour
bool colourInPrimitive = false;  // ... and did so between glBegin and glEnd
int callDepth = 0;

// Immediate mode: the primitive being built and the current vertex state.
GLenum primitive = 0;
bool inPrimitive = false;
Vertex current = {{0, 0, 0}, {0, 0}, {255, 255, 255, 255}};
GLfloat currentColour[4] = {1, 1, 1, 1};  // as given, for a list to record
Vertex quad[4];
int quadCorner = 0;
size_t primitiveStart = 0;  // in the recorded list's vertices
// Whole triangles of the primitive being drawn, handed to the batch when full
// and at glEnd; a multiple of six, so that quads and triangles both fit whole.
constexpr int kPending = 192;
Vertex pending[kPending];
int pendingCount = 0;

void handOver() {
  const int whole = pendingCount - pendingCount % 3;
  glbatch::triangles(pending, static_cast<size_t>(whole), nullptr);
  pendingCount = 0;
}

void emit(const Vertex& v) {
  if (recording != nullptr) {
    recording->vertices.push_back(v);
    return;
  }
  if (pendingCount == kPending) handOver();
  pending[pendingCount++] = v;
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
  recording->commands.push_back(command);
}

// GL clamps a colour to 0..1; the frame buffer keeps it to 1/255.
GLubyte colourByte(GLfloat c) {
  if (!(c > 0)) return 0;
  if (c >= 1) return 255;
  return static_cast<GLubyte>(c * 255 + 0.5f);
}

void setColour(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  const GLfloat given[4] = {r, g, b, a};
  for (int i = 0; i < 4; ++i) {
    currentColour[i] = given[i];
    current.colour[i] = colourByte(given[i]);
  }
}

void callList(GLuint name);

void replay(const List& list) {
  for (const Command& c : list.commands) {
    switch (c.op) {
      case Op::Enable: glbatch::enable(c.a, true); break;
      case Op::Disable: glbatch::enable(c.a, false); break;
      case Op::BindTexture: glbatch::bindTexture(c.b); break;
      case Op::BlendFunc: glbatch::blendFunc(c.a, c.b); break;
      case Op::Translate: glbatch::translate(c.v[0], c.v[1], c.v[2]); break;
      case Op::Rotate: glbatch::rotate(c.v[0], c.v[1], c.v[2], c.v[3]); break;
      case Op::PushMatrix: glbatch::pushMatrix(); break;
      case Op::PopMatrix: glbatch::popMatrix(); break;
      case Op::Colour:
        setColour(static_cast<GLfloat>(c.v[0]), static_cast<GLfloat>(c.v[1]),
                  static_cast<GLfloat>(c.v[2]), static_cast<GLfloat>(c.v[3]));
        break;
      case Op::CallList: callList(c.a); break;
      case Op::Draw:
        glbatch::triangles(list.vertices.data() + c.first, c.count,
                           c.ownColour ? nullptr : current.colour);
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

// WebGL takes only the format itself as the internal format.
GLenum webFormat(GLint internalFormat, GLenum format) {
  switch (internalFormat) {
    case 1: return GL_LUMINANCE;
    case 2: return GL_LUMINANCE_ALPHA;
    case 3: return GL_RGB;
    case 4: return GL_RGBA;
    default: return format;
  }
}

GLint webWrap(GLint value) { return value == GL_CLAMP ? GL_CLAMP_TO_EDGE : value; }

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
  return glbatch::start() ? GL_TRUE : GL_FALSE;
}

void webGlStop() { glbatch::stop(); }

GLuint webGenLists(GLsizei range) {
  if (range <= 0) return 0;
  const GLuint base = static_cast<GLuint>(lists.size());
  lists.resize(lists.size() + static_cast<size_t>(range));
  return base;
}

void webDeleteLists(GLuint list, GLsizei range) {
  for (GLsizei i = 0; i < range; ++i) {
    const GLuint name = list + static_cast<GLuint>(i);
    if (name == 0 || name >= lists.size()) continue;
    lists[name] = List();
  }
}

void webNewList(GLuint list, GLenum) {
  if (list == 0 || list >= lists.size() || recording != nullptr) return;
  recording = &lists[list];
  *recording = List();
  recordingColour = false;
}

void webEndList() { recording = nullptr; }

void webCallList(GLuint list) {
  if (recording != nullptr) {
    record(Op::CallList, list);
    return;
  }
  callList(list);
}

void webCallLists(GLsizei n, GLenum type, const GLvoid* names) {
  for (GLsizei i = 0; i < n; ++i) {
    GLuint name = 0;
    switch (type) {
      case GL_UNSIGNED_BYTE: name = static_cast<const GLubyte*>(names)[i]; break;
      case GL_BYTE: name = static_cast<GLuint>(static_cast<const GLbyte*>(names)[i]); break;
      case GL_UNSIGNED_SHORT: name = static_cast<const GLushort*>(names)[i]; break;
      case GL_UNSIGNED_INT: name = static_cast<const GLuint*>(names)[i]; break;
      default: return;
    }
    webCallList(listBase + name);
  }
}

void webListBase(GLuint base) { listBase = base; }

void webBegin(GLenum mode) {
  primitive = mode;
  inPrimitive = true;
  quadCorner = 0;
  pendingCount = 0;
  colourInPrimitive = false;
  if (recording != nullptr) primitiveStart = recording->vertices.size();
}

void webEnd() {
  if (!inPrimitive) return;
  inPrimitive = false;
  if (recording == nullptr) {
    // An unfinished triangle or quad at the end is dropped, as GL drops it.
    handOver();
    return;
  }
  std::vector<Vertex>& out = recording->vertices;
  const size_t count = out.size() - primitiveStart;
  const size_t whole = count - count % 3;
  out.resize(primitiveStart + whole);
  if (whole > 0) {
    // Consecutive primitives with nothing between them become one draw.
    std::vector<Command>& commands = recording->commands;
    if (!commands.empty() && commands.back().op == Op::Draw &&
        commands.back().ownColour == recordingColour &&
        commands.back().first + commands.back().count == primitiveStart) {
      commands.back().count += whole;
    } else {
      Command draw{};
      draw.op = Op::Draw;
      draw.first = primitiveStart;
      draw.count = whole;
      draw.ownColour = recordingColour;
      commands.push_back(draw);
    }
  }
  // A colour set between glBegin and glEnd stays current after the list.
  if (colourInPrimitive) {
    record(Op::Colour, 0, 0, currentColour[0], currentColour[1], currentColour[2],
           currentColour[3]);
  }
}

void webVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  if (!inPrimitive) return;
  Vertex v = current;
  v.position[0] = x;
  v.position[1] = y;
  v.position[2] = z;
  if (primitive == GL_QUADS) {
    // A quad goes out as the triangles (0 1 2) and (0 2 3).
    quad[quadCorner++] = v;
    if (quadCorner < 4) return;
    quadCorner = 0;
    if (recording == nullptr && pendingCount + 6 > kPending) handOver();
    for (int corner : {0, 1, 2, 0, 2, 3}) emit(quad[corner]);
    return;
  }
  if (primitive == GL_TRIANGLES) emit(v);
}

void webVertex3d(GLdouble x, GLdouble y, GLdouble z) {
  webVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void webVertex2i(GLint x, GLint y) {
  webVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), 0.0f);
}

void webTexCoord2f(GLfloat s, GLfloat t) {
  current.texCoord[0] = s;
  current.texCoord[1] = t;
}

void webTexCoord2d(GLdouble s, GLdouble t) {
  webTexCoord2f(static_cast<GLfloat>(s), static_cast<GLfloat>(t));
}

// Nothing the game draws is lit: normals are taken and not needed.
void webNormal3f(GLfloat, GLfloat, GLfloat) {}

void webColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  if (recording != nullptr) {
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
  if (recording != nullptr) return record(Op::Enable, cap);
  glbatch::enable(cap, true);
}

void webDisable(GLenum cap) {
  if (recording != nullptr) return record(Op::Disable, cap);
  glbatch::enable(cap, false);
}

void webBindTexture(GLenum target, GLuint texture) {
  if (recording != nullptr) return record(Op::BindTexture, target, texture);
  glbatch::bindTexture(texture);
}

void webBlendFunc(GLenum source, GLenum destination) {
  if (recording != nullptr) return record(Op::BlendFunc, source, destination);
  glbatch::blendFunc(source, destination);
}

void webTranslated(GLdouble x, GLdouble y, GLdouble z) {
  if (recording != nullptr) return record(Op::Translate, 0, 0, x, y, z);
  glbatch::translate(x, y, z);
}

void webTranslatef(GLfloat x, GLfloat y, GLfloat z) { webTranslated(x, y, z); }

void webRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
  if (recording != nullptr) return record(Op::Rotate, 0, 0, angle, x, y, z);
  glbatch::rotate(angle, x, y, z);
}

void webRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { webRotated(angle, x, y, z); }

void webPushMatrix() {
  if (recording != nullptr) return record(Op::PushMatrix);
  glbatch::pushMatrix();
}

void webPopMatrix() {
  if (recording != nullptr) return record(Op::PopMatrix);
  glbatch::popMatrix();
}

void webMatrixMode(GLenum mode) { glbatch::matrixMode(mode); }

void webLoadIdentity() { glbatch::loadIdentity(); }

void webOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
              GLdouble zFar) {
  const GLdouble w = right - left, h = top - bottom, d = zFar - zNear;
  if (w == 0 || h == 0 || d == 0) return;
  const GLdouble m[16] = {2 / w, 0, 0, 0, 0, 2 / h, 0, 0, 0, 0, -2 / d, 0,
                          -(right + left) / w, -(top + bottom) / h, -(zFar + zNear) / d, 1};
  glbatch::multiply(m);
}

// GLU's perspective: the field of view in degrees, from the cotangent of half of it.
void webPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  const GLdouble radians = fovy / 2 * 3.14159265358979323846 / 180;
  const GLdouble d = zFar - zNear, sine = std::sin(radians);
  if (d == 0 || sine == 0 || aspect == 0) return;
  const GLdouble f = std::cos(radians) / sine;
  const GLdouble m[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, -(zFar + zNear) / d, -1,
                          0, 0, -2 * zNear * zFar / d, 0};
  glbatch::multiply(m);
}

void webClear(GLbitfield mask) {
  glbatch::flush();
  glClear(mask);
}

void webViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  glbatch::viewport(x, y, width, height);
}

void webDepthFunc(GLenum function) { glbatch::depthFunc(function); }

void webFlush() { glbatch::flush(); }

void webFinish() {
  glbatch::flush();
  glFinish();
}

void webDrawCounts(unsigned long* draws, unsigned long* uploads) {
  const glbatch::Counters c = glbatch::counters();
  *draws = c.draws;
  *uploads = c.uploads;
}

// WebGL knows only the mipmap-generation hint.
void webHint(GLenum target, GLenum mode) {
  if (target == GL_PERSPECTIVE_CORRECTION_HINT) return;
  glHint(target, mode);
}

void webTexParameteri(GLenum target, GLenum name, GLint value) {
  glbatch::bindTextureForUpload();
  glTexParameteri(target, name, webWrap(value));
}

void webTexParameterf(GLenum target, GLenum name, GLfloat value) {
  glbatch::bindTextureForUpload();
  glTexParameteri(target, name, webWrap(static_cast<GLint>(value)));
}

namespace {
GLsizei proxyWidth = 0;  // the size the last proxy texture took, 0 if refused
GLsizei proxyHeight = 0;
}  // namespace

void webTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                   GLsizei height, GLint border, GLenum format, GLenum type,
                   const GLvoid* pixels) {
  if (target == GL_PROXY_TEXTURE_2D) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const bool fits = width >= 0 && height >= 0 && width <= maxSize && height <= maxSize;
    proxyWidth = fits ? width : 0;
    proxyHeight = fits ? height : 0;
    return;
  }
  glbatch::bindTextureForUpload();
  glTexImage2D(target, level, static_cast<GLint>(webFormat(internalFormat, format)), width, height,
               border, format, type, pixels);
}

void webGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value) {
  *value = 0;
  if (target != GL_PROXY_TEXTURE_2D || level != 0) return;
  if (name == GL_TEXTURE_WIDTH) *value = proxyWidth;
  if (name == GL_TEXTURE_HEIGHT) *value = proxyHeight;
}

// Level 0 at the nearest power-of-two size (WebGL mipmaps no other), then each
// level the 2x2 average of the one above, down to 1x1.
GLint webBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
  if (width <= 0 || height <= 0 || data == nullptr) return GLU_INVALID_VALUE;
  if (type != GL_UNSIGNED_BYTE) return GLU_INVALID_ENUM;
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
