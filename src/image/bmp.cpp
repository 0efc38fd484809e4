// Placeholder: replaced by the real implementation.
#include "image/bmp.h"
#include <cstdlib>
RgbImage* loadBmp(const char*) { return nullptr; }
RgbImage* decodeBmp(const unsigned char*, size_t, const char*) { return nullptr; }
void freeRgbImage(RgbImage* image) { if (image) { std::free(image->data); std::free(image); } }
