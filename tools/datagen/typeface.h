// Anti-aliased glyphs from the system's DejaVu TrueType fonts, through FreeType.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "procedural.h"

// One rendered glyph: 8-bit coverage rows, top to bottom, placed relative to
// the pen position on the baseline (left: pixels right of the pen, top:
// pixels above the baseline).
struct GlyphBitmap {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  double advance = 0.0;  // pixels
  std::vector<uint8_t> coverage;
  uint8_t at(int x, int y) const { return coverage[size_t(y) * size_t(width) + size_t(x)]; }
};

class TypeFace {
 public:
  // fileName is looked up in the DejaVu font folder given at build time.
  explicit TypeFace(const std::string& fileName);
  ~TypeFace();
  TypeFace(const TypeFace&) = delete;
  TypeFace& operator=(const TypeFace&) = delete;

  // False (after a message on stderr) if FreeType or the font file failed.
  bool ok() const { return face_ != nullptr; }
  // The em size in pixels, separately for x and y (a wider x stretches).
  bool setPixelSize(double emWidth, double emHeight);
  // Hinted, anti-aliased rendering of one character code.
  bool render(unsigned code, GlyphBitmap* glyph);

 private:
  void* library_ = nullptr;  // FT_Library
  void* face_ = nullptr;     // FT_Face
  std::string name_;
};

// A line of text as coverage (0..1), cropped to its ink with `pad` empty
// pixels around it. Empty on failure.
Field renderTextLine(TypeFace& face, const std::string& text, double emWidth, double emHeight,
                     int pad);
