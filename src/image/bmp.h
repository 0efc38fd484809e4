// Windows bitmap reader: any BMP the game ships (and most others) into packed
// 24-bit RGB, rows in the file's stored order.
#pragma once

#include <cstddef>
#include <cstdint>

// Allocated with malloc and owned by the caller, who frees `data`, then the record.
struct RgbImage {
  int32_t width;
  int32_t height;
  unsigned char* data;  // width * height * 3 bytes, red, green, blue
};

// Reads a bitmap file. A missing file (or a null name) gives null silently;
// every other failure shows its message, captioned "Error", and gives null.
RgbImage* loadBmp(const char* fileName);

// Decodes a bitmap already in memory; `fileName` only names it in messages.
RgbImage* decodeBmp(const unsigned char* bytes, size_t size, const char* fileName);

void freeRgbImage(RgbImage* image);
