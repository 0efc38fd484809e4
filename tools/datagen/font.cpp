// The game's bitmap font: a 256 x 256 Targa holding a 16 x 16 grid of
// 16-pixel cells. Codes 32..127 fill cells 0..95 in DejaVu Sans Mono, and
// again cells 128..223 in DejaVu Sans Mono Bold (the set the game prints
// with). Glyphs are white on black and stay one pixel clear of their cell's
// edges, so neighbouring cells never bleed into a glyph quad.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>

#include "camera.h"
#include "data_files.h"
#include "generators.h"
#include "procedural.h"
#include "typeface.h"

namespace {

constexpr int kCell = 16;
constexpr int kGrid = 16;
constexpr int kImage = kCell * kGrid;
constexpr int kMargin = 1;                 // clear pixels on every side of a glyph
constexpr int kInk = kCell - 2 * kMargin;  // room for a glyph, each way
constexpr double kStretch = 1.4;           // glyphs drawn wider than the font's own shape
constexpr double kGamma = 0.8;             // lifts thin anti-aliased strokes

struct FontSet {
  const char* file;
  int firstCell;
};
const FontSet kSets[2] = {{"DejaVuSansMono.ttf", 0}, {"DejaVuSansMono-Bold.ttf", 128}};

// Whether a glyph's height decides the size. The few marks that sit higher
// than any letter (the grave accent) are moved down into the cell instead.
bool setsTheSize(unsigned code) {
  return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
         (code >= 'a' && code <= 'z') ||
         std::string_view("()[]{}|$@_/\\").find(char(code)) != std::string_view::npos;
}

// Renders codes 33..126 and checks that they fit the ink box at the given
// size with one common baseline. On success returns the glyphs and the
// baseline's row within a cell.
bool renderAll(TypeFace& face, double emHeight, std::vector<GlyphBitmap>* glyphs, int* baseline) {
  if (!face.setPixelSize(emHeight * kStretch, emHeight)) return false;
  glyphs->assign(128, GlyphBitmap{});
  int above = 0, below = 0;
  for (unsigned code = 33; code < 127; ++code) {
    GlyphBitmap& g = (*glyphs)[code];
    if (!face.render(code, &g)) return false;
    if (g.width > kInk) return false;
    if (g.rows > kInk) return false;
    if (g.rows > 0 && setsTheSize(code)) {
      above = std::max(above, g.top);
      below = std::max(below, g.rows - g.top);
    }
  }
  if (above + below > kInk) return false;
  // Centre the tallest extent; any spare row goes below the descenders.
  *baseline = kMargin + above + (kInk - above - below) / 2;
  return true;
}

// Draws one glyph into its cell: its advance box centred, pulled inside the
// margins if its ink overhangs.
void placeGlyph(const GlyphBitmap& g, int cell, int baseline, Picture* image) {
  if (g.width == 0 || g.rows == 0) return;
  const int cellX = (cell % kGrid) * kCell, cellY = (cell / kGrid) * kCell;
  int left = int(std::lround((kCell - g.advance) / 2.0)) + g.left;
  left = std::clamp(left, kMargin, kCell - kMargin - g.width);
  const int top = std::clamp(baseline - g.top, kMargin, kCell - kMargin - g.rows);
  for (int y = 0; y < g.rows; ++y) {
    for (int x = 0; x < g.width; ++x) {
      const double cover = std::pow(g.at(x, y) / 255.0, kGamma);
      const uint8_t v = uint8_t(std::lround(cover * 255.0));
      image->at(cellX + left + x, cellY + top + y) = Rgba{v, v, v, 255};
    }
  }
}

// How the text looks in the game: 16-unit glyph quads 14 units apart, at
// about 0.83 pixels per unit, sampled bilinearly and added onto the scene.
struct Line {
  double x, y;
  Colour colour;
  const char* text;
};

Picture quickLook(const Picture& font, int set, const Line* lines, size_t count, int width,
                  int height) {
  const double pixelsPerUnit =
      480.0 / (2.0 * kTextDepth * std::tan(kFieldOfView / 2 * 3.14159265358979 / 180.0));
  ColourCanvas canvas(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) canvas.at(x, y) = Colour{0.11, 0.10, 0.10};
  auto texel = [&](int tx, int ty) {
    tx = std::clamp(tx, 0, kImage - 1);
    ty = std::clamp(ty, 0, kImage - 1);
    return font.at(tx, ty).g / 255.0;
  };
  for (size_t i = 0; i < count; ++i) {
    const Line& line = lines[i];
    const size_t length = std::char_traits<char>::length(line.text);
    for (size_t k = 0; k < length; ++k) {
      const int cell = static_cast<unsigned char>(line.text[k]) - 32 + 128 * set;
      const double qx = line.x + 14.0 * double(k), qy = line.y;
      const int px0 = int(std::floor(qx * pixelsPerUnit)),
                px1 = int(std::ceil((qx + 16) * pixelsPerUnit));
      const int py0 = int(std::floor(qy * pixelsPerUnit)),
                py1 = int(std::ceil((qy + 16) * pixelsPerUnit));
      for (int py = std::max(py0, 0); py < std::min(py1, height); ++py) {
        for (int px = std::max(px0, 0); px < std::min(px1, width); ++px) {
          const double ux = (px + 0.5) / pixelsPerUnit - qx, uy = (py + 0.5) / pixelsPerUnit - qy;
          if (ux < 0 || ux >= 16 || uy < 0 || uy >= 16) continue;
          const double tx = (cell % kGrid) * kCell + ux - 0.5,
                       ty = (cell / kGrid) * kCell + uy - 0.5;
          const int ix = int(std::floor(tx)), iy = int(std::floor(ty));
          const double fx = tx - ix, fy = ty - iy;
          const double v = mix(mix(texel(ix, iy), texel(ix + 1, iy), fx),
                               mix(texel(ix, iy + 1), texel(ix + 1, iy + 1), fx), fy);
          Colour& c = canvas.at(px, py);
          c = Colour{c.r + v * line.colour.r, c.g + v * line.colour.g, c.b + v * line.colour.b};
        }
      }
    }
  }
  return canvas.toPicture();
}

}  // namespace

bool writeFont(const std::string& outDir, ContactSheet* sheet) {
  Picture image(kImage, kImage, Rgba{0, 0, 0, 255});
  for (const FontSet& set : kSets) {
    TypeFace face(set.file);
    if (!face.ok()) return false;
    // The largest size, in quarter pixels, at which every glyph fits.
    std::vector<GlyphBitmap> glyphs;
    int baseline = 0;
    double em = 18.0;
    while (em >= 8.0 && !renderAll(face, em, &glyphs, &baseline)) em -= 0.25;
    if (em < 8.0) {
      std::fprintf(stderr, "datagen: %s does not fit the font cells\n", set.file);
      return false;
    }
    for (unsigned code = 33; code < 127; ++code)
      placeGlyph(glyphs[code], set.firstCell + int(code) - 32, baseline, &image);
  }
  // 24 bits: the game adds the glyphs onto the scene, no alpha needed.
  const bool ok = writeFile(outDir + "/" + kFontFile, encodeTga(image, 24));
  if (sheet != nullptr) {
    sheet->add("Font.TGA x2", image, 2);
    const Line hud[] = {
        {10, 8, {1, 1, 1}, "Distance:  123"},
        {10, 28, {1, 0, 0}, "ALERT!"},
        {10, 48, {0, 0, 1}, "point:   30"},
        {10, 68, {1, 1, 1}, "FPS:   60  xtrans2: 1240.00"},
        {10, 88, {1, 1, 1}, "(xtrans2-firstTransX): -12.34"},
        {10, 108, {1, 1, 1}, "GAME OVER!  You win!"},
        {10, 128, {1, 1, 1}, "Press ESC to exit..."},
        {10, 148, {1, 1, 1}, "0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {10, 168, {1, 1, 1}, "abcdefghijklmnopqrstuvwxyz"},
        {10, 188, {1, 1, 1}, "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"},
    };
    sheet->add("text in the game, set 1, x2", quickLook(image, 1, hud, std::size(hud), 480, 180),
               2);
    sheet->add("text in the game, set 0, x2", quickLook(image, 0, hud, std::size(hud), 480, 180),
               2);
  }
  return ok;
}
