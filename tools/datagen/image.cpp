// The data generator's pictures: BMP, TGA and PNG writers and the contact sheet.
#include "image.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  const std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    std::fprintf(stderr, "datagen: cannot write %s\n", path.c_str());
    return false;
  }
  const size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
  const bool ok = std::fclose(f) == 0 && written == bytes.size();
  if (!ok) std::fprintf(stderr, "datagen: short write to %s\n", path.c_str());
  return ok;
}

void putU8(std::vector<uint8_t>& out, unsigned v) { out.push_back(uint8_t(v & 0xFF)); }
void putU16(std::vector<uint8_t>& out, unsigned v) {
  putU8(out, v);
  putU8(out, v >> 8);
}
void putU32(std::vector<uint8_t>& out, uint32_t v) {
  putU16(out, v & 0xFFFF);
  putU16(out, v >> 16);
}
void putI16(std::vector<uint8_t>& out, int v) { putU16(out, unsigned(uint16_t(int16_t(v)))); }
void putI32(std::vector<uint8_t>& out, int32_t v) { putU32(out, uint32_t(v)); }
void putF32(std::vector<uint8_t>& out, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  putU32(out, bits);
}

std::vector<uint8_t> encodeBmp24(const Picture& picture) {
  const int rowBytes = (picture.width * 3 + 3) & ~3;
  const uint32_t imageSize = uint32_t(rowBytes) * uint32_t(picture.height);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  putU32(out, 14 + 40 + imageSize);
  putU32(out, 0);
  putU32(out, 14 + 40);
  putU32(out, 40);
  putI32(out, picture.width);
  putI32(out, picture.height);
  putU16(out, 1);
  putU16(out, 24);
  putU32(out, 0);
  putU32(out, imageSize);
  putI32(out, 2835);
  putI32(out, 2835);
  putU32(out, 0);
  putU32(out, 0);
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& c = picture.at(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
    for (int pad = picture.width * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

std::vector<uint8_t> encodeTga(const Picture& picture, int bitsPerPixel) {
  std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  putU16(out, unsigned(picture.width));
  putU16(out, unsigned(picture.height));
  putU8(out, unsigned(bitsPerPixel));
  putU8(out, bitsPerPixel == 32 ? 8 : 0);
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& c = picture.at(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
      if (bitsPerPixel == 32) out.push_back(c.a);
    }
  }
  return out;
}

namespace {
uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putU32Big(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void pngChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  putU32Big(out, uint32_t(body.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), body.begin(), body.end());
  out.insert(out.end(), typed.begin(), typed.end());
  putU32Big(out, crc32(typed.data(), typed.size()));
}
}  // namespace

std::vector<uint8_t> encodePng(const Picture& picture) {
  std::vector<uint8_t> raw;
  raw.reserve(size_t(picture.height) * (size_t(picture.width) * 4 + 1));
  for (int y = 0; y < picture.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& c = picture.at(x, y);
      raw.insert(raw.end(), {c.r, c.g, c.b, c.a});
    }
  }
  // zlib stream of stored blocks.
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - pos);
    const bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    putU16(z, unsigned(n));
    putU16(z, unsigned(~n & 0xFFFF));
    z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + n));
    pos += n;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  putU32Big(z, (b << 16) | a);

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  putU32Big(ihdr, uint32_t(picture.width));
  putU32Big(ihdr, uint32_t(picture.height));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
  pngChunk(out, "IHDR", ihdr);
  pngChunk(out, "IDAT", z);
  pngChunk(out, "IEND", {});
  return out;
}

void ContactSheet::add(const std::string& label, const Picture& picture, int scale) {
  Picture scaled(picture.width * scale, picture.height * scale);
  for (int y = 0; y < scaled.height; ++y)
    for (int x = 0; x < scaled.width; ++x) scaled.at(x, y) = picture.at(x / scale, y / scale);
  entries_.push_back({label, scaled});
}

bool ContactSheet::write(const std::string& path) const {
  // Simple shelf packing, 1024 pixels wide, 8-pixel gaps.
  const int sheetWidth = 1024, gap = 8;
  int x = gap, y = gap, shelf = 0, height = gap;
  std::vector<std::pair<int, int>> at;
  for (const Entry& e : entries_) {
    if (x + e.picture.width + gap > sheetWidth && x > gap) {
      x = gap;
      y += shelf + gap;
      shelf = 0;
    }
    at.emplace_back(x, y);
    x += e.picture.width + gap;
    shelf = std::max(shelf, e.picture.height);
    height = std::max(height, y + e.picture.height + gap);
  }
  Picture sheet(sheetWidth, height, Rgba{40, 40, 48, 255});
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Picture& p = entries_[i].picture;
    for (int py = 0; py < p.height; ++py)
      for (int px = 0; px < p.width && at[i].first + px < sheetWidth; ++px)
        sheet.at(at[i].first + px, at[i].second + py) = p.at(px, py);
  }
  return writeFile(path, encodePng(sheet));
}
