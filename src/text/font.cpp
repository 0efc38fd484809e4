// Placeholder: replaced by the real implementation.
#include "text/font.h"
TgaTexture fontTexture;
GLuint fontBase;
void buildFontLists() {}
void deleteFontLists() {}
void printText(int, int, int, const char*, ...) {}
