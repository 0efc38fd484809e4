// The texture-size check made before every mipmapped upload.
#include "image/upload.h"

#include "gl/glu_sizes.h"

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
