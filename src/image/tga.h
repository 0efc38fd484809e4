// Targa reader for the font image: uncompressed 24- or 32-bit true colour only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gl.h"

struct TgaTexture {
  std::vector<unsigned char> pixels;  // RGB(A), rows as stored; kept for the program's life
  uint32_t bitsPerPixel = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  GLuint textureName = 0;
};

// Reads the file and makes its texture (needs a current GL context). No
// messages. Refuses anything but a regular file, images beyond the game's
// limits (image/limits.h) and images the context cannot take as a texture.
bool loadTga(TgaTexture* record, const char* fileName);

// The file-reading half of loadTga, on bytes in memory: fills pixels,
// bitsPerPixel, width and height, or refuses and leaves pixels empty.
bool decodeTga(TgaTexture* record, const unsigned char* bytes, size_t size);
