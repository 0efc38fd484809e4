// The program icon: a white crosshair over a red target disc, drawn from its
// geometry at each size the desktops ask for (never one bitmap scaled), with
// alpha. Written as PNG files for the freedesktop icon theme, as one Windows
// .ico holding the 16, 32, 48 and 256 pixel pictures, and as the SDL window's
// 64 pixel picture in a header the Linux game is compiled with.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/png_bytes.h"
#include "generators.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace {
constexpr int kIcoSizes[] = {16, 32, 48, 256};
constexpr int kWindowIconSize = 64;  // the SDL window's own
constexpr int kSamples = 8;          // per pixel and axis: the edges' coverage

struct Colour {
  double r, g, b, a;
};

// The icon's shapes at one size, in pixels. The picture was designed on a
// 32-pixel grid (unit u); the crosshair's arms keep an even width of whole
// pixels so that they stay sharp about the centre of an even-sized icon.
struct IconShape {
  double centre, radius, rim, unit, armHalf, gap, outline, dot;

  explicit IconShape(int size) {
    unit = size / 32.0;
    centre = size / 2.0;
    radius = centre - std::max(0.5, unit * 0.5);
    rim = std::max(1.0, 2.0 * unit);
    armHalf = std::max(1.0, std::round(1.1 * unit));
    gap = std::max(2.0, std::round(3.5 * unit));
    outline = size >= 48 ? std::max(1.0, 0.5 * unit) : 0.0;
    dot = std::max(1.0, 1.6 * unit);
  }

  // The colour at a point (x right, y down, from the top-left corner).
  Colour at(double x, double y) const {
    const double dx = x - centre, dy = y - centre;
    const double r = std::sqrt(dx * dx + dy * dy);
    const double ax = std::fabs(dx), ay = std::fabs(dy);
    // The arms end square, on whole pixels: from the gap to the rim's middle.
    const double reach = std::round(radius - 0.5 * rim);
    const bool alongX = ax > gap && ax<reach, alongY = ay> gap && ay < reach;
    if ((alongX && ay < armHalf) || (alongY && ax < armHalf)) return {250, 250, 250, 1};
    if (outline > 0 && ((alongX && ay < armHalf + outline) || (alongY && ax < armHalf + outline)))
      return {25, 20, 20, 1};
    if (r < dot) return {255, 220, 40, 1};
    if (r >= radius) return {0, 0, 0, 0};
    if (r > radius - rim) return {20, 16, 16, 1};
    // The rings, lit from the top left: brighter there, darker opposite.
    const double light = 1.0 - 0.18 * (dx + dy) / (radius * 1.4142);
    const double t = r / radius;
    Colour c = t > 0.69   ? Colour{225, 32, 28, 1}
               : t > 0.49 ? Colour{130, 8, 10, 1}
                          : Colour{215, 30, 26, 1};
    c.r = std::min(255.0, c.r * light);
    c.g = std::min(255.0, c.g * light);
    c.b = std::min(255.0, c.b * light);
    return c;
  }
};

// Each pixel the mean of its samples: colour weighted by coverage, and the
// coverage as alpha.
Picture drawIcon(int size) {
  const IconShape shape(size);
  Picture picture(size, size, Rgba{0, 0, 0, 0});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const Colour c = shape.at(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
          r += c.r * c.a;
          g += c.g * c.a;
          b += c.b * c.a;
          a += c.a;
        }
      }
      if (a <= 0) continue;
      picture.at(x, y) =
          Rgba{uint8_t(std::lround(r / a)), uint8_t(std::lround(g / a)),
               uint8_t(std::lround(b / a)), uint8_t(std::lround(255 * a / (kSamples * kSamples)))};
    }
  }
  return picture;
}

// A compressed RGBA PNG (the theme's files, and the .ico's 256-pixel entry).
std::vector<uint8_t> compressedPng(const Picture& picture) {
  std::vector<uint8_t> png;
  stbi_write_png_to_func(appendPngBytes, &png, picture.width, picture.height, 4,
                         picture.pixels.data(), picture.width * 4);
  return png;
}

// An .ico image entry of 48 pixels or fewer: a 32-bit BMP (BGRA rows bottom
// up, the height counting the colour and the mask halves) and its 1-bit mask.
std::vector<uint8_t> icoBitmap(const Picture& picture) {
  const int size = picture.width;
  const int maskStride = ((size + 31) / 32) * 4;
  std::vector<uint8_t> out;
  putU32(out, 40);
  putI32(out, size);
  putI32(out, size * 2);
  putU16(out, 1);
  putU16(out, 32);
  putU32(out, 0);
  putU32(out, uint32_t(size * size * 4 + maskStride * size));
  for (int i = 0; i < 4; ++i) putU32(out, 0);
  for (int y = size - 1; y >= 0; --y)
    for (int x = 0; x < size; ++x) {
      const Rgba& c = picture.at(x, y);
      out.insert(out.end(), {c.b, c.g, c.r, c.a});
    }
  for (int y = size - 1; y >= 0; --y) {
    std::vector<uint8_t> row(size_t(maskStride), 0);
    for (int x = 0; x < size; ++x)
      if (picture.at(x, y).a == 0) row[size_t(x / 8)] |= uint8_t(0x80u >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

// The icon an SDL window shows, compiled into the Linux game: its RGBA
// bytes, rows from the top, as a C++ header.
std::vector<uint8_t> windowIconHeader(const Picture& picture) {
  std::string text =
      "// Made by the data generator (tools/datagen): the window's icon, RGBA rows from the "
      "top.\n#pragma once\n\nconstexpr int kWindowIconSize = " +
      std::to_string(picture.width) + ";\nconstexpr unsigned char kWindowIconPixels[] = {";
  size_t count = 0;
  for (const Rgba& c : picture.pixels) {
    for (const uint8_t byte : {c.r, c.g, c.b, c.a}) {
      text += (count++ % 16 == 0 ? "\n    " : " ") + std::to_string(byte) + ",";
    }
  }
  text += "\n};\n";
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> encodeIco(const std::vector<Picture>& pictures) {
  std::vector<std::vector<uint8_t>> images;
  for (const Picture& p : pictures)
    images.push_back(p.width > 48 ? compressedPng(p) : icoBitmap(p));
  std::vector<uint8_t> ico;
  putU16(ico, 0);
  putU16(ico, 1);
  putU16(ico, unsigned(images.size()));
  uint32_t offset = uint32_t(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const int size = pictures[i].width;
    putU8(ico, size >= 256 ? 0 : unsigned(size));  // 0 stands for 256
    putU8(ico, size >= 256 ? 0 : unsigned(size));
    putU8(ico, 0);
    putU8(ico, 0);
    putU16(ico, 1);
    putU16(ico, 32);
    putU32(ico, uint32_t(images[i].size()));
    putU32(ico, offset);
    offset += uint32_t(images[i].size());
  }
  for (const auto& image : images) ico.insert(ico.end(), image.begin(), image.end());
  return ico;
}
}  // namespace

bool writeIcon(const std::string& iconPath, const std::vector<int>& themeSizes,
               ContactSheet* sheet) {
  const size_t slash = iconPath.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? "." : iconPath.substr(0, slash);
  bool ok = true;
  std::vector<Picture> icoPictures;
  for (int size : kIcoSizes) icoPictures.push_back(drawIcon(size));
  for (int size : themeSizes) {
    const Picture picture = drawIcon(size);
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    ok = writeFile(folder + "/hicolor/" + name + "/apps/shooter.png", compressedPng(picture)) && ok;
    if (sheet) sheet->add("icon " + name, picture, size <= 32 ? 4 : size <= 64 ? 2 : 1);
  }
  ok = writeFile(folder + "/shooter_window_icon.h", windowIconHeader(drawIcon(kWindowIconSize))) &&
       ok;
  return writeFile(iconPath, encodeIco(icoPictures)) && ok;
}
