// The program icon: a 32 x 32, 16-colour crosshair over a red target disc.
#include <cmath>

#include "generators.h"

namespace {
// The standard 16-colour palette (as red, green, blue).
const Rgba kPalette[16] = {
    {0, 0, 0, 255},       {128, 0, 0, 255},   {0, 128, 0, 255},   {128, 128, 0, 255},
    {0, 0, 128, 255},     {128, 0, 128, 255}, {0, 128, 128, 255}, {192, 192, 192, 255},
    {128, 128, 128, 255}, {255, 0, 0, 255},   {0, 255, 0, 255},   {255, 255, 0, 255},
    {0, 0, 255, 255},     {255, 0, 255, 255}, {0, 255, 255, 255}, {255, 255, 255, 255}};

constexpr int kSize = 32;
constexpr int kTransparent = -1;

// Palette index of each pixel, or kTransparent; row 0 is the top.
int iconPixel(int x, int y) {
  const double dx = x + 0.5 - kSize / 2.0, dy = y + 0.5 - kSize / 2.0;
  const double r = std::sqrt(dx * dx + dy * dy);
  const bool onCross = (std::fabs(dx) < 1.1 || std::fabs(dy) < 1.1) && r > 3.5 && r < 15.5;
  if (onCross) return 15;            // white crosshair
  if (r < 1.6) return 11;            // yellow centre
  if (r > 15.5) return kTransparent;
  if (r > 13.5) return 0;            // black rim
  if (r > 10.5) return 9;            // red ring
  if (r > 7.5) return 1;             // dark red ring
  return 9;
}
}  // namespace

bool writeIcon(const std::string& iconPath, ContactSheet* sheet) {
  std::vector<uint8_t> ico;
  const uint32_t xorBytes = kSize * kSize / 2;
  const uint32_t andBytes = kSize * 4;  // 1 bit per pixel, rows padded to 32 bits
  const uint32_t imageBytes = 40 + 16 * 4 + xorBytes + andBytes;
  // ICONDIR and its one ICONDIRENTRY.
  putU16(ico, 0);
  putU16(ico, 1);
  putU16(ico, 1);
  putU8(ico, kSize);
  putU8(ico, kSize);
  putU8(ico, 16);
  putU8(ico, 0);
  putU16(ico, 1);
  putU16(ico, 4);
  putU32(ico, imageBytes);
  putU32(ico, 6 + 16);
  // BITMAPINFOHEADER: the height counts the colour and the mask halves.
  putU32(ico, 40);
  putI32(ico, kSize);
  putI32(ico, kSize * 2);
  putU16(ico, 1);
  putU16(ico, 4);
  putU32(ico, 0);
  putU32(ico, xorBytes + andBytes);
  putU32(ico, 0);
  putU32(ico, 0);
  putU32(ico, 16);
  putU32(ico, 0);
  for (const Rgba& c : kPalette) ico.insert(ico.end(), {c.b, c.g, c.r, 0});
  Picture preview(kSize, kSize, Rgba{0, 0, 0, 0});
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; x += 2) {
      const int a = iconPixel(x, y), b = iconPixel(x + 1, y);
      ico.push_back(uint8_t(((a < 0 ? 0 : a) << 4) | (b < 0 ? 0 : b)));
      if (a >= 0) preview.at(x, y) = kPalette[a];
      if (b >= 0) preview.at(x + 1, y) = kPalette[b];
    }
  }
  for (int y = kSize - 1; y >= 0; --y) {
    for (int byte = 0; byte < 4; ++byte) {
      unsigned bits = 0;
      for (int bit = 0; bit < 8; ++bit)
        if (iconPixel(byte * 8 + bit, y) == kTransparent) bits |= 0x80u >> bit;
      ico.push_back(uint8_t(bits));
    }
  }
  if (sheet) sheet->add("icon", preview, 4);
  // The same picture as PNG, for desktops that take no .ico (the Linux package).
  std::string pngPath = iconPath;
  const size_t dot = pngPath.rfind('.');
  pngPath = (dot == std::string::npos ? pngPath : pngPath.substr(0, dot)) + ".png";
  return writeFile(iconPath, ico) && writeFile(pngPath, encodePng(preview));
}
