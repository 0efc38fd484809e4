// Glyph rendering from the system's DejaVu fonts through FreeType.
#include "typeface.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#ifndef DATAGEN_FONT_DIR
#define DATAGEN_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

TypeFace::TypeFace(const std::string& fileName) : name_(fileName) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) {
    std::fprintf(stderr, "datagen: FreeType does not start\n");
    return;
  }
  library_ = library;
  const std::string path = std::string(DATAGEN_FONT_DIR) + "/" + fileName;
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
    std::fprintf(stderr, "datagen: cannot open the font %s\n", path.c_str());
    return;
  }
  face_ = face;
}

TypeFace::~TypeFace() {
  if (face_ != nullptr) FT_Done_Face(static_cast<FT_Face>(face_));
  if (library_ != nullptr) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool TypeFace::setPixelSize(double emWidth, double emHeight) {
  if (face_ == nullptr) return false;
  const FT_F26Dot6 w = FT_F26Dot6(std::lround(emWidth * 64.0));
  const FT_F26Dot6 h = FT_F26Dot6(std::lround(emHeight * 64.0));
  if (FT_Set_Char_Size(static_cast<FT_Face>(face_), w, h, 72, 72) != 0) {
    std::fprintf(stderr, "datagen: %s cannot be sized\n", name_.c_str());
    return false;
  }
  return true;
}

bool TypeFace::render(unsigned code, GlyphBitmap* glyph) {
  if (face_ == nullptr) return false;
  FT_Face face = static_cast<FT_Face>(face_);
  const FT_UInt index = FT_Get_Char_Index(face, code);
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0 ||
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
    std::fprintf(stderr, "datagen: %s cannot render code %u\n", name_.c_str(), code);
    return false;
  }
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows > 0) {
    std::fprintf(stderr, "datagen: %s gave an unexpected bitmap\n", name_.c_str());
    return false;
  }
  glyph->left = slot->bitmap_left;
  glyph->top = slot->bitmap_top;
  glyph->width = int(bitmap.width);
  glyph->rows = int(bitmap.rows);
  glyph->advance = double(slot->advance.x) / 64.0;
  glyph->coverage.assign(size_t(glyph->width) * size_t(glyph->rows), 0);
  for (int y = 0; y < glyph->rows; ++y)
    for (int x = 0; x < glyph->width; ++x)
      glyph->coverage[size_t(y) * size_t(glyph->width) + size_t(x)] =
          bitmap.buffer[long(y) * long(bitmap.pitch) + long(x)];
  return true;
}

Field renderTextLine(TypeFace& face, const std::string& text, double emWidth, double emHeight,
                     int pad) {
  if (!face.setPixelSize(emWidth, emHeight)) return Field(0, 0);
  std::vector<GlyphBitmap> glyphs(text.size());
  std::vector<int> penX(text.size());
  double pen = 0.0;
  int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!face.render(static_cast<unsigned char>(text[i]), &glyphs[i])) return Field(0, 0);
    penX[i] = int(std::lround(pen));
    pen += glyphs[i].advance;
    const GlyphBitmap& g = glyphs[i];
    if (g.width == 0 || g.rows == 0) continue;
    minX = std::min(minX, penX[i] + g.left);
    maxX = std::max(maxX, penX[i] + g.left + g.width);
    minY = std::min(minY, -g.top);
    maxY = std::max(maxY, -g.top + g.rows);
  }
  if (minX > maxX) return Field(0, 0);
  Field out(maxX - minX + 2 * pad, maxY - minY + 2 * pad);
  for (size_t i = 0; i < glyphs.size(); ++i) {
    const GlyphBitmap& g = glyphs[i];
    for (int y = 0; y < g.rows; ++y) {
      for (int x = 0; x < g.width; ++x) {
        double& v = out.at(penX[i] + g.left + x - minX + pad, -g.top + y - minY + pad);
        v = std::min(1.0, v + g.at(x, y) / 255.0);
      }
    }
  }
  return out;
}
