// Targa reader for the font image: the file through the mapping, the pixels
// into the record, then one mipmapped texture.
#include "image/tga.h"

#include <cstring>
#include <new>

#include "image/limits.h"
#include "image/upload.h"
#include "platform/platform.h"

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
  if (!imageSizeAllowed(record->width, record->height)) return 0;
  record->bitsPerPixel = bits;
  return size_t(record->width) * record->height * (bits / 8);
}

// Blue, green, red (alpha) to red, green, blue (alpha).
void swapToRgb(std::vector<unsigned char>& pixels, size_t bytesPerPixel) {
  for (size_t i = 0; i + 2 < pixels.size(); i += bytesPerPixel) {
    const unsigned char blue = pixels[i];
    pixels[i] = pixels[i + 2];
    pixels[i + 2] = blue;
  }
}

bool refuse(TgaTexture* record) {
  std::vector<unsigned char>().swap(record->pixels);
  return false;
}

}  // namespace

bool decodeTga(TgaTexture* record, const unsigned char* bytes, size_t size) {
  if (record == nullptr) return false;
  std::vector<unsigned char>().swap(record->pixels);
  if (bytes == nullptr || size < kHeaderSize) return false;
  // The file must hold the whole image before anything is allocated.
  const size_t imageSize = readHeader(record, bytes);
  if (imageSize == 0 || size - kHeaderSize < imageSize) return false;
  try {
    record->pixels.assign(bytes + kHeaderSize, bytes + kHeaderSize + imageSize);
  } catch (const std::bad_alloc&) {
    return refuse(record);
  }
  swapToRgb(record->pixels, record->bitsPerPixel / 8);
  return true;
}

bool loadTga(TgaTexture* record, const char* fileName) {
  if (record == nullptr || fileName == nullptr) return false;
  MappedFile file;
  if (mapFile(fileName, &file) != MapResult::Mapped) return refuse(record);
  const bool decoded = decodeTga(record, file.data, file.size);
  unmapFile(&file);
  if (!decoded) return false;

  const GLenum format = record->bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
  if (!textureFits(GLsizei(record->width), GLsizei(record->height), GLint(format), format))
    return refuse(record);
  glGenTextures(1, &record->textureName);
  glBindTexture(GL_TEXTURE_2D, record->textureName);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  // The rows are packed without padding.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GLint(format), GLint(record->width), GLint(record->height),
                    format, GL_UNSIGNED_BYTE, record->pixels.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  return true;
}
