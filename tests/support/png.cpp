// PNG reading and writing for the tests, with zlib.
#include "support/png.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t readBe32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void putBe32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v >> 24));
  out.push_back(uint8_t(v >> 16));
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}

bool fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

int paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  if (pb <= pc) return b;
  return c;
}

// Undoes the per-row filters in place; raw holds (1 + stride) bytes per row.
bool unfilter(std::vector<uint8_t>& raw, size_t stride, int rows, int bpp, std::string* error) {
  std::vector<uint8_t> zero(stride, 0);
  for (int y = 0; y < rows; ++y) {
    uint8_t* row = &raw[size_t(y) * (stride + 1)];
    const uint8_t filter = row[0];
    uint8_t* cur = row + 1;
    const uint8_t* prev = y > 0 ? &raw[size_t(y - 1) * (stride + 1) + 1] : zero.data();
    for (size_t i = 0; i < stride; ++i) {
      const int a = i >= size_t(bpp) ? cur[i - bpp] : 0;
      const int b = prev[i];
      const int c = i >= size_t(bpp) ? prev[i - bpp] : 0;
      int add = 0;
      switch (filter) {
        case 0: add = 0; break;
        case 1: add = a; break;
        case 2: add = b; break;
        case 3: add = (a + b) / 2; break;
        case 4: add = paeth(a, b, c); break;
        default: return fail(error, "unknown PNG row filter");
      }
      cur[i] = uint8_t(cur[i] + add);
    }
  }
  return true;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    out.insert(out.end(), buffer, buffer + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

void appendChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t size) {
  putBe32(out, uint32_t(size));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (size) out.insert(out.end(), data, data + size);
  const uLong crc = crc32(0L, &out[start], uInt(out.size() - start));
  putBe32(out, uint32_t(crc));
}

}  // namespace

bool decodePng(const uint8_t* data, size_t size, PngImage& out, std::string* error) {
  out = PngImage{};
  if (!data || size < 8 || std::memcmp(data, kSignature, 8) != 0)
    return fail(error, "not a PNG file");
  size_t pos = 8;
  uint32_t width = 0, height = 0;
  int depth = 0, colourType = -1, interlace = 0;
  bool sawHeader = false, sawEnd = false;
  std::vector<uint8_t> idat;
  std::vector<uint8_t> palette;  // RGBA entries
  while (pos + 12 <= size) {
    const uint32_t length = readBe32(data + pos);
    if (length > size - pos - 12) return fail(error, "PNG chunk runs past the end of the file");
    const uint8_t* type = data + pos + 4;
    const uint8_t* body = data + pos + 8;
    if (crc32(crc32(0L, nullptr, 0), type, uInt(length + 4)) != readBe32(body + length))
      return fail(error, "PNG chunk CRC mismatch");
    if (std::memcmp(type, "IHDR", 4) == 0) {
      if (length != 13) return fail(error, "bad IHDR");
      width = readBe32(body);
      height = readBe32(body + 4);
      depth = body[8];
      colourType = body[9];
      interlace = body[12];
      sawHeader = true;
    } else if (std::memcmp(type, "PLTE", 4) == 0) {
      if (length % 3 != 0 || length > 768) return fail(error, "bad PLTE");
      palette.assign(256 * 4, 255);
      for (uint32_t i = 0; i < length / 3; ++i) std::memcpy(&palette[i * 4], body + i * 3, 3);
    } else if (std::memcmp(type, "tRNS", 4) == 0) {
      if (colourType == 3 && !palette.empty()) {
        for (uint32_t i = 0; i < length && i < 256; ++i) palette[i * 4 + 3] = body[i];
      }
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      idat.insert(idat.end(), body, body + length);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      sawEnd = true;
      break;
    }
    pos += size_t(length) + 12;
  }
  if (!sawHeader || !sawEnd) return fail(error, "PNG lacks IHDR or IEND");
  if (depth != 8) return fail(error, "only 8-bit PNG is supported");
  if (interlace != 0) return fail(error, "interlaced PNG is not supported");
  int channels = 0;
  switch (colourType) {
    case 0: channels = 1; break;
    case 2: channels = 3; break;
    case 3: channels = 1; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
    default: return fail(error, "unknown PNG colour type");
  }
  if (colourType == 3 && palette.empty()) return fail(error, "palette PNG without PLTE");
  if (width == 0 || height == 0 || width > 16384 || height > 16384)
    return fail(error, "PNG size out of range");

  const size_t stride = size_t(width) * size_t(channels);
  std::vector<uint8_t> raw((stride + 1) * height);
  uLongf rawSize = uLongf(raw.size());
  if (uncompress(raw.data(), &rawSize, idat.data(), uLong(idat.size())) != Z_OK ||
      rawSize != raw.size())
    return fail(error, "PNG image data does not inflate to the expected size");
  if (!unfilter(raw, stride, int(height), channels, error)) return false;

  out.width = int(width);
  out.height = int(height);
  out.hasAlpha = colourType == 4 || colourType == 6;
  out.rgba.resize(size_t(width) * height * 4);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* src = &raw[y * (stride + 1) + 1];
    uint8_t* dst = &out.rgba[size_t(y) * width * 4];
    for (uint32_t x = 0; x < width; ++x, dst += 4) {
      const uint8_t* s = src + size_t(x) * channels;
      switch (colourType) {
        case 0:
          dst[0] = dst[1] = dst[2] = s[0];
          dst[3] = 255;
          break;
        case 2:
          dst[0] = s[0];
          dst[1] = s[1];
          dst[2] = s[2];
          dst[3] = 255;
          break;
        case 3: std::memcpy(dst, &palette[size_t(s[0]) * 4], 4); break;
        case 4:
          dst[0] = dst[1] = dst[2] = s[0];
          dst[3] = s[1];
          break;
        default: std::memcpy(dst, s, 4); break;
      }
    }
  }
  return true;
}

bool readPng(const std::string& path, PngImage& out, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!readWholeFile(path, bytes)) {
    out = PngImage{};
    return fail(error, "cannot read the file");
  }
  return decodePng(bytes.data(), bytes.size(), out, error);
}

bool writePng(const std::string& path, int width, int height, int channels, const uint8_t* pixels,
              bool bottomUp) {
  if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) || !pixels) return false;
  const size_t stride = size_t(width) * size_t(channels);
  std::vector<uint8_t> raw;
  raw.reserve((stride + 1) * size_t(height));
  for (int y = 0; y < height; ++y) {
    const int srcRow = bottomUp ? height - 1 - y : y;
    raw.push_back(0);  // filter: none
    const uint8_t* row = pixels + size_t(srcRow) * stride;
    raw.insert(raw.end(), row, row + stride);
  }
  uLongf packedSize = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), Z_BEST_COMPRESSION) !=
      Z_OK)
    return false;

  std::vector<uint8_t> file(kSignature, kSignature + 8);
  uint8_t header[13];
  const uint32_t w = uint32_t(width), h = uint32_t(height);
  for (int i = 0; i < 4; ++i) {
    header[i] = uint8_t(w >> (24 - 8 * i));
    header[4 + i] = uint8_t(h >> (24 - 8 * i));
  }
  header[8] = 8;
  header[9] = channels == 4 ? 6 : 2;
  header[10] = header[11] = header[12] = 0;
  appendChunk(file, "IHDR", header, sizeof header);
  appendChunk(file, "IDAT", packed.data(), packedSize);
  appendChunk(file, "IEND", nullptr, 0);

  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}

size_t countDifferentPixels(const PixelView& a, const PixelView& b, int tolerance,
                            int compareChannels) {
  if (a.width != b.width || a.height != b.height || !a.pixels || !b.pixels) {
    const size_t most = std::max(size_t(std::max(a.width, 0)) * size_t(std::max(a.height, 0)),
                                 size_t(std::max(b.width, 0)) * size_t(std::max(b.height, 0)));
    return std::max<size_t>(most, 1);
  }
  const int channels = std::min({compareChannels, a.channels, b.channels});
  size_t count = 0;
  for (int y = 0; y < a.height; ++y) {
    const int ya = a.bottomUp ? a.height - 1 - y : y;
    const int yb = b.bottomUp ? b.height - 1 - y : y;
    const uint8_t* ra = a.pixels + size_t(ya) * size_t(a.width) * size_t(a.channels);
    const uint8_t* rb = b.pixels + size_t(yb) * size_t(b.width) * size_t(b.channels);
    for (int x = 0; x < a.width; ++x) {
      const uint8_t* pa = ra + size_t(x) * size_t(a.channels);
      const uint8_t* pb = rb + size_t(x) * size_t(b.channels);
      for (int c = 0; c < channels; ++c) {
        if (std::abs(int(pa[c]) - int(pb[c])) > tolerance) {
          ++count;
          break;
        }
      }
    }
  }
  return count;
}
