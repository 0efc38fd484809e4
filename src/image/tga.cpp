#include "image/tga.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kHeaderSize = 18;

// No identification field, no colour map, uncompressed true colour, both
// origins zero.
const unsigned char kFixedHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Checks the 18-byte header and fills the record's size fields; returns the
// number of pixel bytes that follow, or 0 for a file the reader refuses.
size_t readHeader(TgaTexture* record, const unsigned char* header) {
  if (std::memcmp(header, kFixedHeader, sizeof kFixedHeader) != 0) return 0;
  const unsigned char* info = header + sizeof kFixedHeader;
  record->width = uint32_t(info[1]) * 256 + info[0];
  record->height = uint32_t(info[3]) * 256 + info[2];
  const uint32_t bits = info[4];  // info[5], the image descriptor, is ignored
  if (record->width == 0 || record->height == 0 || (bits != 24 && bits != 32)) return 0;
  record->bitsPerPixel = bits;
  return size_t(record->width) * record->height * (bits / 8);
}

// Blue, green, red (alpha) to red, green, blue (alpha).
void swapToRgb(unsigned char* pixels, size_t imageSize, size_t bytesPerPixel) {
  for (size_t i = 0; i + 2 < imageSize; i += bytesPerPixel) {
    const unsigned char blue = pixels[i];
    pixels[i] = pixels[i + 2];
    pixels[i + 2] = blue;
  }
}

bool refuse(TgaTexture* record, FILE* file) {
  std::free(record->pixels);
  record->pixels = nullptr;
  if (file != nullptr) std::fclose(file);
  return false;
}

// The bytes left in the file from the current position, or -1 if unknown.
long remainingBytes(FILE* file) {
  const long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(file);
  if (end < 0 || std::fseek(file, here, SEEK_SET) != 0) return -1;
  return end - here;
}

}  // namespace

bool decodeTga(TgaTexture* record, const unsigned char* bytes, size_t size) {
  if (record == nullptr) return false;
  record->pixels = nullptr;
  if (bytes == nullptr || size < kHeaderSize) return false;
  const size_t imageSize = readHeader(record, bytes);
  if (imageSize == 0 || size - kHeaderSize < imageSize) return false;
  record->pixels = static_cast<unsigned char*>(std::malloc(imageSize));
  if (record->pixels == nullptr) return false;
  std::memcpy(record->pixels, bytes + kHeaderSize, imageSize);
  swapToRgb(record->pixels, imageSize, record->bitsPerPixel / 8);
  return true;
}

bool loadTga(TgaTexture* record, const char* fileName) {
  if (record == nullptr || fileName == nullptr) return false;
  record->pixels = nullptr;
  FILE* file = std::fopen(fileName, "rb");
  if (file == nullptr) return false;

  unsigned char header[kHeaderSize];
  if (std::fread(header, 1, kHeaderSize, file) != kHeaderSize) return refuse(record, file);
  const size_t imageSize = readHeader(record, header);
  if (imageSize == 0) return refuse(record, file);
  // A header can promise up to 16 GiB; look at the file before believing it.
  const long left = remainingBytes(file);
  if (left < 0 || size_t(left) < imageSize) return refuse(record, file);
  record->pixels = static_cast<unsigned char*>(std::malloc(imageSize));
  if (record->pixels == nullptr) return refuse(record, file);
  if (std::fread(record->pixels, 1, imageSize, file) != imageSize) return refuse(record, file);
  swapToRgb(record->pixels, imageSize, record->bitsPerPixel / 8);
  std::fclose(file);

  glGenTextures(1, &record->textureName);
  glBindTexture(GL_TEXTURE_2D, record->textureName);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  const GLenum format = record->bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
  // The rows are packed without padding.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GLint(format), GLint(record->width), GLint(record->height),
                    format, GL_UNSIGNED_BYTE, record->pixels);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  return true;
}
