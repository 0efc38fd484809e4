// The browser build's GL 1.1 layer: display lists recorded as commands and
// vertex arrays, immediate mode buffered with its current colour and texture
// coordinate and drawn as arrays, box-filtered mipmaps, and the GL 1.1 values
// that WebGL refuses mapped to the ones it takes.
#define SHOOTER_GL_COMPAT_IMPLEMENTATION
#include "gl/gl_compat.h"
#include "gl/glu_sizes.h"

#include <cstddef>
#include <cstring>
#include <vector>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F  // GL 1.2, always in WebGL
#endif

namespace {

struct Vertex {
  GLfloat position[3];
  GLfloat texCoord[2];
  GLfloat colour[4];
};

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
  bool patched = false;  // colours written from the current colour
  GLfloat patchedColour[4] = {0, 0, 0, 0};
};

struct List {
  std::vector<Command> commands;
  std::vector<Vertex> vertices;
};

std::vector<List> lists(1);  // list 0 is never a name
GLuint listBase = 0;
List* recording = nullptr;
bool recordingColour = false;  // the list being recorded has set a colour
int callDepth = 0;

// Immediate mode: the primitive being built and the current vertex state.
GLenum primitive = 0;
bool inPrimitive = false;
Vertex current = {{0, 0, 0}, {0, 0}, {1, 1, 1, 1}};
Vertex quad[4];
int quadCorner = 0;
std::vector<Vertex> immediate;
size_t primitiveStart = 0;

std::vector<Vertex>& target() { return recording != nullptr ? recording->vertices : immediate; }

void drawArrays(const Vertex* vertices, size_t count) {
  if (count == 0) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vertex), vertices->position);
  glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), vertices->texCoord);
  glColorPointer(4, GL_FLOAT, sizeof(Vertex), vertices->colour);
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count));
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
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

void setColour(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  current.colour[0] = r;
  current.colour[1] = g;
  current.colour[2] = b;
  current.colour[3] = a;
}

void callList(GLuint name);

void replay(List& list) {
  for (Command& c : list.commands) {
    switch (c.op) {
      case Op::Enable: glEnable(c.a); break;
      case Op::Disable: glDisable(c.a); break;
      case Op::BindTexture: glBindTexture(c.a, c.b); break;
      case Op::BlendFunc: glBlendFunc(c.a, c.b); break;
      case Op::Translate: glTranslated(c.v[0], c.v[1], c.v[2]); break;
      case Op::Rotate: glRotated(c.v[0], c.v[1], c.v[2], c.v[3]); break;
      case Op::PushMatrix: glPushMatrix(); break;
      case Op::PopMatrix: glPopMatrix(); break;
      case Op::Colour:
        setColour(static_cast<GLfloat>(c.v[0]), static_cast<GLfloat>(c.v[1]),
                  static_cast<GLfloat>(c.v[2]), static_cast<GLfloat>(c.v[3]));
        break;
      case Op::CallList: callList(c.a); break;
      case Op::Draw: {
        Vertex* first = list.vertices.data() + c.first;
        if (!c.ownColour &&
            (!c.patched || std::memcmp(c.patchedColour, current.colour, sizeof current.colour))) {
          for (size_t i = 0; i < c.count; ++i) {
            std::memcpy(first[i].colour, current.colour, sizeof current.colour);
          }
          std::memcpy(c.patchedColour, current.colour, sizeof current.colour);
          c.patched = true;
        }
        drawArrays(first, c.count);
        break;
      }
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
  std::vector<Vertex>& out = target();
  if (recording == nullptr) {
    // Room for any primitive the frame draws, made once: frames allocate nothing.
    if (out.capacity() == 0) out.reserve(4096);
    out.clear();
  }
  primitiveStart = out.size();
}

void webEnd() {
  if (!inPrimitive) return;
  inPrimitive = false;
  std::vector<Vertex>& out = target();
  const size_t count = out.size() - primitiveStart;
  // An unfinished triangle or quad at the end is dropped, as GL drops it.
  const size_t whole = count - count % 3;
  out.resize(primitiveStart + whole);
  if (recording == nullptr) {
    drawArrays(out.data(), whole);
    return;
  }
  if (whole == 0) return;
  // Consecutive primitives with nothing between them become one draw.
  std::vector<Command>& commands = recording->commands;
  if (!commands.empty() && commands.back().op == Op::Draw &&
      commands.back().ownColour == recordingColour &&
      commands.back().first + commands.back().count == primitiveStart) {
    commands.back().count += whole;
    return;
  }
  Command draw{};
  draw.op = Op::Draw;
  draw.first = primitiveStart;
  draw.count = whole;
  draw.ownColour = recordingColour;
  commands.push_back(draw);
}

void webVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  if (!inPrimitive) return;
  Vertex v = current;
  v.position[0] = x;
  v.position[1] = y;
  v.position[2] = z;
  std::vector<Vertex>& out = target();
  if (primitive == GL_QUADS) {
    // A quad goes out as the triangles (0 1 2) and (0 2 3).
    quad[quadCorner++] = v;
    if (quadCorner < 4) return;
    quadCorner = 0;
    out.push_back(quad[0]);
    out.push_back(quad[1]);
    out.push_back(quad[2]);
    out.push_back(quad[0]);
    out.push_back(quad[2]);
    out.push_back(quad[3]);
    return;
  }
  if (primitive == GL_TRIANGLES) out.push_back(v);
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
  if (recording != nullptr && !inPrimitive) {
    record(Op::Colour, 0, 0, r, g, b, a);
    recordingColour = true;
  } else if (recording != nullptr) {
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
  glEnable(cap);
}

void webDisable(GLenum cap) {
  if (recording != nullptr) return record(Op::Disable, cap);
  glDisable(cap);
}

void webBindTexture(GLenum target, GLuint texture) {
  if (recording != nullptr) return record(Op::BindTexture, target, texture);
  glBindTexture(target, texture);
}

void webBlendFunc(GLenum source, GLenum destination) {
  if (recording != nullptr) return record(Op::BlendFunc, source, destination);
  glBlendFunc(source, destination);
}

void webTranslated(GLdouble x, GLdouble y, GLdouble z) {
  if (recording != nullptr) return record(Op::Translate, 0, 0, x, y, z);
  glTranslated(x, y, z);
}

void webTranslatef(GLfloat x, GLfloat y, GLfloat z) { webTranslated(x, y, z); }

void webRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
  if (recording != nullptr) return record(Op::Rotate, 0, 0, angle, x, y, z);
  glRotated(angle, x, y, z);
}

void webRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { webRotated(angle, x, y, z); }

void webPushMatrix() {
  if (recording != nullptr) return record(Op::PushMatrix);
  glPushMatrix();
}

void webPopMatrix() {
  if (recording != nullptr) return record(Op::PopMatrix);
  glPopMatrix();
}

// WebGL knows only the mipmap-generation hint.
void webHint(GLenum target, GLenum mode) {
  if (target == GL_PERSPECTIVE_CORRECTION_HINT) return;
  glHint(target, mode);
}

void webTexParameteri(GLenum target, GLenum name, GLint value) {
  glTexParameteri(target, name, webWrap(value));
}

void webTexParameterf(GLenum target, GLenum name, GLfloat value) {
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
