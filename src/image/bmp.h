// Windows bitmap reader: any BMP the game ships (and most others) into packed
// 24-bit RGB, rows bottom to top (the order OpenGL wants for texture rows).
//
// Accepted: files with or without the 14-byte "BM" file header; the 40-byte
// and the 12-byte bitmap header (any other header size, such as the 108- and
// 124-byte V4/V5 headers or the 64-byte OS/2 2.x header, is "Unknown DIB file
// format."); uncompressed 1, 4, 8, 16 (5-5-5), 24 and 32 bits per pixel; RLE8
// and RLE4. Beyond that:
// - Top-down files (negative height) are read and turned bottom-up, so every
//   result has the same orientation and a positive height. Run-length encoded
//   files cannot be top-down and are refused.
// - BI_BITFIELDS masks (16 and 32 bits, 40-byte header, three masks after the
//   header) are honoured; each mask must be one run of bits. Channels are
//   expanded to 8 bits with rounding (a 5-bit value v gives round(v*255/31)).
//   Alpha masks (BI_ALPHABITFIELDS), 2 and 64 bits per pixel, JPEG/PNG
//   payloads and OS/2 compressions are refused.
// - Palette indices past the colour table give black; pixels that run-length
//   data leaves undefined (delta, early end) are black.
// - Every read is checked against the file: a header, mask set or colour
//   table that runs past the end, pixel data shorter than the image, or an
//   RLE stream that ends before the image is filled refuses the file.
//   Uncompressed pixel data is measured against the file before the image is
//   allocated.
// - Images beyond the game's limits (image/limits.h: 4096 a side, 2^22
//   pixels) are refused, however small their file.
//
// Messages, captioned "Error": "Failed to open DIB file %s.\n" (cannot open
// or map, including an empty file and anything but a regular file),
// "Unknown DIB file format." (bad or cut header), "Out of memory." (no bitmap
// of that size can be made: zero or negative width, zero height, or
// allocation failure), "Image too large: ..." (beyond the limits, with the
// file name and size), "Image file conversion error." (the pixels cannot be
// converted).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Owned by the caller; the pixels go with the record.
struct RgbImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<unsigned char> data;  // width * height * 3 bytes, red, green, blue
};

// Reads a bitmap file. A missing file (or a null name) gives null silently;
// every other failure shows its message, captioned "Error", and gives null.
std::unique_ptr<RgbImage> loadBmp(const char* fileName);

// Decodes a bitmap already in memory; `fileName` only names it in messages.
std::unique_ptr<RgbImage> decodeBmp(const unsigned char* bytes, size_t size, const char* fileName);
