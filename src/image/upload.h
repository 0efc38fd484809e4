// What the current GL context can take as a mipmapped texture, asked before
// any image is handed to GL or GLU.
#pragma once

#include "gl.h"

// Whether gluBuild2DMipmaps can build a texture of this size and internal
// format (pixels given as GL_UNSIGNED_BYTE in `format`) on the current
// context: both sides from 1 to GL_MAX_TEXTURE_SIZE, and the power-of-two
// level GLU scales the image to accepted by the context's proxy texture.
bool textureFits(GLsizei width, GLsizei height, GLint internalFormat, GLenum format);
