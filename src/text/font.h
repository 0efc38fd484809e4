// The bitmap font: a 16 x 16 grid of glyphs in "Data/Font.TGA", one display
// list per glyph, text printed in eye space at depth kTextDepth (500).
#pragma once

#include "gl.h"
#include "image/tga.h"

// A glyph is a square this many eye-space units on the text plane, and the
// next glyph starts kGlyphAdvance units to the right of it.
constexpr int kGlyphSize = 16;
constexpr int kGlyphAdvance = 14;

extern TgaTexture fontTexture;
extern GLuint fontBase;

void buildFontLists();
void deleteFontLists();

// Prints the text as it is, its first glyph's top-left corner at (x, y); set
// 0 or 1 (larger acts as 1). Text past 1023 characters is cut. The caller
// binds the font and sets the colour; the HUD formats its lines itself
// (game/hud.h).
void printString(int x, int y, int set, const char* text);
