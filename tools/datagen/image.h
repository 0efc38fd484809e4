// Small image toolkit for the data generator: an RGBA picture, writers for
// BMP, TGA and PNG, and a contact sheet that collects pictures for review.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

// Rows top to bottom, as a picture is seen.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;

  Picture() = default;
  Picture(int w, int h, Rgba fill = {})
      : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
  Rgba& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  const Rgba& at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Writes bytes to a file, creating its folders. False (and a message) on failure.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// 24-bit bottom-up BMP with the 14-byte file header and the 40-byte info header.
std::vector<uint8_t> encodeBmp24(const Picture& picture);
// Uncompressed type-2 Targa, 24 or 32 bits, rows stored bottom-up (origin bits 0).
std::vector<uint8_t> encodeTga(const Picture& picture, int bitsPerPixel);
// 8-bit RGBA PNG (stored deflate blocks: large but simple and exact).
std::vector<uint8_t> encodePng(const Picture& picture);

// Little-endian appenders shared by the writers.
void putU8(std::vector<uint8_t>& out, unsigned v);
void putU16(std::vector<uint8_t>& out, unsigned v);
void putU32(std::vector<uint8_t>& out, uint32_t v);
void putI16(std::vector<uint8_t>& out, int v);
void putI32(std::vector<uint8_t>& out, int32_t v);
void putF32(std::vector<uint8_t>& out, float v);

// Pictures laid out in rows on a dark background, for one PNG of everything.
class ContactSheet {
 public:
  void add(const std::string& label, const Picture& picture, int scale = 1);
  bool write(const std::string& path) const;

 private:
  struct Entry {
    std::string label;
    Picture picture;
  };
  std::vector<Entry> entries_;
};
