// The bitmap font: 256 glyph display lists, and printString that prints through them.
#include "text/font.h"

#include <cstdarg>
#include <cstdio>

#include "camera.h"

TgaTexture fontTexture;
GLuint fontBase;

void buildFontLists() {
  fontBase = glGenLists(256);
  glBindTexture(GL_TEXTURE_2D, fontTexture.textureName);
  for (int n = 0; n < 256; ++n) {
    const int column = n % 16;
    const int row = n / 16;
    const float cx = float(column) / 16.0f;
    const float cy = float(row) / 16.0f;
    glNewList(fontBase + GLuint(n), GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(cx, 1.0f - cy - 0.0625f);
    glVertex2i(0, kGlyphSize);
    glTexCoord2f(cx + 0.0625f, 1.0f - cy - 0.0625f);
    glVertex2i(kGlyphSize, kGlyphSize);
    glTexCoord2f(cx + 0.0625f, 1.0f - cy - 0.001f);
    glVertex2i(kGlyphSize, 0);
    glTexCoord2f(cx, 1.0f - cy - 0.001f);
    glVertex2i(0, 0);
    glEnd();
    glTranslated(kGlyphAdvance, 0, 0);
    glEndList();
  }
}

void deleteFontLists() { glDeleteLists(fontBase, 256); }

void printString(int x, int y, int set, const char* text) {
  if (text == nullptr) return;
  // Longer text is cut at 1023 characters.
  constexpr size_t kLongest = 1023;
  size_t length = 0;
  while (length < kLongest && text[length] != '\0') ++length;

  if (set > 1) set = 1;
  if (set < 0) set = 0;
  glEnable(GL_TEXTURE_2D);
  glLoadIdentity();
  glTranslated(x, y, -kTextDepth);
  glRotatef(180, 0, 0, 1);
  glRotatef(180, 0, 1, 0);
  glListBase(fontBase + GLuint(128 * set) - 32);
  glCallLists(GLsizei(length), GL_UNSIGNED_BYTE, text);
  glDisable(GL_TEXTURE_2D);
}
