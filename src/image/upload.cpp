// The texture-size check made before every mipmapped upload.
#include "image/upload.h"

namespace {

// The power of two GLU scales a side to (it rounds to the nearest one,
// taking 3 x 2^k up), never below 1.
GLsizei gluScaledSide(GLsizei side) {
  GLsizei power = 1;
  while (power <= side / 2) power *= 2;
  const GLsizei up = power * 2;
  return (side - power > up - side && up > 0) ? up : power;
}

}  // namespace

bool textureFits(GLsizei width, GLsizei height, GLint internalFormat, GLenum format) {
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  if (width < 1 || height < 1 || width > maxSize || height > maxSize) return false;
  // GLU halves a level the context refuses until one fits; the first level it
  // tries, scaled to the context's size, must be one the context says it takes.
  GLsizei w = gluScaledSide(width);
  GLsizei h = gluScaledSide(height);
  while (w > maxSize) w /= 2;
  while (h > maxSize) h /= 2;
  glTexImage2D(GL_PROXY_TEXTURE_2D, 0, internalFormat, w, h, 0, format, GL_UNSIGNED_BYTE, nullptr);
  GLint proxyWidth = 0;
  glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &proxyWidth);
  return proxyWidth != 0;
}
