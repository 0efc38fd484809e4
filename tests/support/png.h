// PNG files for the tests: reading reference images and writing what a test
// rendered or decoded, so a failure can be looked at. Only what the tests need:
// 8-bit greyscale, grey+alpha, RGB, RGBA and palette images, not interlaced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PngImage {
  int width = 0;
  int height = 0;
  bool hasAlpha = false;      // the file had an alpha channel (colour type 4 or 6)
  std::vector<uint8_t> rgba;  // width * height * 4, rows top to bottom
};

// Decodes a PNG held in memory. On failure returns false and, when error is
// given, says why.
bool decodePng(const uint8_t* data, size_t size, PngImage& out, std::string* error = nullptr);
bool readPng(const std::string& path, PngImage& out, std::string* error = nullptr);

// Writes width x height pixels of 3 (RGB) or 4 (RGBA) bytes each, rows top to
// bottom (or bottom to top when bottomUp is set, as glReadPixels gives them).
bool writePng(const std::string& path, int width, int height, int channels, const uint8_t* pixels,
              bool bottomUp = false);

// A view of pixels in memory for comparisons.
struct PixelView {
  const uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int channels = 3;       // bytes per pixel
  bool bottomUp = false;  // row 0 in memory is the bottom of the picture
};

// How many pixels differ by more than tolerance in any of the first
// compareChannels channels. Views of different sizes differ everywhere:
// the result is then the larger pixel count (at least 1).
size_t countDifferentPixels(const PixelView& a, const PixelView& b, int tolerance,
                            int compareChannels = 3);
