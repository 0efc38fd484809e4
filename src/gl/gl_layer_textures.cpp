// The GL layer's textures: parameters recorded in lists and set in order with
// the batch, uploads (on WebGL's terms, the GL 1.1 values WebGL refuses
// mapped to the ones it takes, or refused), proxy textures that take what the
// upload would, and box-filtered mipmaps.
#include "gl/gl_layer_internal.h"
#include "gl/glu_sizes.h"

#include <algorithm>
#include <cstring>
#include <vector>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F  // GL 1.2, always in WebGL
#endif

namespace gllayer {
namespace {

// The textures made through the layer since it started and not deleted.
std::vector<GLuint> liveTextures;

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

// Why an upload of this shape is refused, or GL_NO_ERROR if the layer takes it.
struct Refusal {
  GLenum error;
  const char* why;
  GLenum value;  // the enum refused, for GL_INVALID_ENUM
};
Refusal uploadRefusal(GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                      GLenum format, GLenum type) {
  if (border != 0 && (webGl() || border != 1)) {
    return {GL_INVALID_VALUE, webGl() ? "WebGL has no texture borders" : "a border of more than 1",
            0};
  }
  // GL 1.1 takes sides of a power of two only, besides the border (WebGL would
  // take others, but leaves them black when they repeat or are mipmapped).
  const auto powerOfTwo = [](GLsizei n) { return n >= 0 && (n & (n - 1)) == 0; };
  if (!powerOfTwo(width - 2 * border) || !powerOfTwo(height - 2 * border)) {
    return {GL_INVALID_VALUE, "a side not a power of two", 0};
  }
  // The desktop's GL takes every pixel format and internal format of GL 1.1.
  if (!webGl()) return {GL_NO_ERROR, nullptr, 0};
  if (type != GL_UNSIGNED_BYTE || !isWebFormat(format)) {
    return {GL_INVALID_ENUM, kWebPixels, type != GL_UNSIGNED_BYTE ? type : format};
  }
  if (baseFormat(internalFormat) != format) {
    return {GL_INVALID_OPERATION, "WebGL keeps the pixels' own format only", 0};
  }
  return {GL_NO_ERROR, nullptr, 0};
}

GLsizei proxyWidth = 0;  // the size the last proxy texture took, 0 if refused
GLsizei proxyHeight = 0;
GLint proxyLevel = 0;

// A proxy takes what the upload would: within the largest side, on the
// layer's terms. The desktop's GL answers for its own proxies, through its own
// level query; one the layer would refuse it is handed as 0 x 0.
void proxy(GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
           GLenum format, GLenum type) {
  const bool taken =
      uploadRefusal(internalFormat, width, height, border, format, type).error == GL_NO_ERROR;
  if (!webGl()) {
    const GLsizei w = taken ? width : 0, h = taken ? height : 0;
    glTexImage2D(GL_PROXY_TEXTURE_2D, level, internalFormat, w, h, taken ? border : 0, format, type,
                 nullptr);
    return;
  }
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  const bool fits = taken && width <= maxSize && height <= maxSize;
  proxyWidth = fits ? width : 0;
  proxyHeight = fits ? height : 0;
  proxyLevel = level;
}

bool isWrap(GLenum name) { return name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T; }
}  // namespace

void runTexParameter(GLenum target, GLenum name, GLdouble value, bool isFloat) {
  if (target != GL_TEXTURE_2D) {
    return refuseEnum("glTexParameter", target, "WebGL has 2D textures only");
  }
  // A texture's priority is a hint, which WebGL does not take; nor GL_CLAMP,
  // whose nearest is the edge's colour.
  if (webGl() && name == GL_TEXTURE_PRIORITY) return;
  if (webGl() && isWrap(name) && value == GL_CLAMP) value = GL_CLAMP_TO_EDGE;
  glbatch::bindTextureForUpload();
  if (isFloat) {
    glTexParameterf(target, name, static_cast<GLfloat>(value));
  } else {
    glTexParameteri(target, name, static_cast<GLint>(value));
  }
}

}  // namespace gllayer

using namespace gllayer;

void layerTexParameteri(GLenum target, GLenum name, GLint value) {
  if (runsNow("glTexParameter", Op::TexParameter, target, name, value)) {
    runTexParameter(target, name, value, false);
  }
}

void layerTexParameterf(GLenum target, GLenum name, GLfloat value) {
  if (runsNow("glTexParameter", Op::TexParameterFloat, target, name, value)) {
    runTexParameter(target, name, value, true);
  }
}

void layerTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                     GLsizei height, GLint border, GLenum format, GLenum type,
                     const GLvoid* pixels) {
  if (inBeginEnd("glTexImage2D")) return;
  if (target == GL_PROXY_TEXTURE_2D) {
    return proxy(level, internalFormat, width, height, border, format, type);
  }
  if (target != GL_TEXTURE_2D) {
    return refuseEnum("glTexImage2D", target, "WebGL has 2D textures only");
  }
  if (compiling()) {
    return refuse(GL_INVALID_OPERATION, "glTexImage2D", "not recorded in a display list here");
  }
  const Refusal refusal = uploadRefusal(internalFormat, width, height, border, format, type);
  if (refusal.error == GL_INVALID_ENUM)
    return refuseEnum("glTexImage2D", refusal.value, refusal.why);
  if (refusal.error != GL_NO_ERROR) return refuse(refusal.error, "glTexImage2D", refusal.why);
  glbatch::bindTextureForUpload();
  // WebGL takes the pixels' own format alone as the internal format.
  glTexImage2D(target, level, webGl() ? static_cast<GLint>(format) : internalFormat, width, height,
               border, format, type, pixels);
}

void layerGenTextures(GLsizei n, GLuint* textures) {
  if (inBeginEnd("glGenTextures")) return;
  if (n < 0) return refuse(GL_INVALID_VALUE, "glGenTextures");
  glGenTextures(n, textures);
  // The names are new to this context: none of them is among the live ones.
  liveTextures.insert(liveTextures.end(), textures, textures + n);
}

void layerDeleteTextures(GLsizei n, const GLuint* textures) {
  if (inBeginEnd("glDeleteTextures")) return;
  if (n < 0) return refuse(GL_INVALID_VALUE, "glDeleteTextures");
  glbatch::deleteTextures(n, textures);
  // A name deleted twice, or never made through the layer, was not live.
  for (GLsizei i = 0; i < n; ++i) {
    const auto live = std::find(liveTextures.begin(), liveTextures.end(), textures[i]);
    if (live == liveTextures.end()) continue;
    *live = liveTextures.back();
    liveTextures.pop_back();
  }
}

namespace gllayer {
void forgetLiveTextures() { liveTextures.clear(); }

LiveObjects liveObjects() {
  return {static_cast<long>(liveTextures.size()), liveLists(), glbatch::liveBuffers()};
}
}  // namespace gllayer

// Only the size a proxy texture took is known: WebGL reports nothing of a
// texture's levels.
void layerGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value) {
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
GLint layerBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
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
  const size_t stride = (rowBytes + static_cast<size_t>(unpack) - 1) / static_cast<size_t>(unpack) *
                        static_cast<size_t>(unpack);
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
    layerTexImage2D(target, n, internalFormat, w, h, 0, format, type, level.data());
    if (w == 1 && h == 1) break;
    const GLsizei nw = w > 1 ? w / 2 : 1;
    const GLsizei nh = h > 1 ? h / 2 : 1;
    next.assign(static_cast<size_t>(nw) * static_cast<size_t>(nh) * static_cast<size_t>(components),
                0);
    scaleImage(level.data(), w, h, next.data(), nw, nh, components);
    level.swap(next);
    w = nw;
    h = nh;
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, unpack);
  return 0;
}
