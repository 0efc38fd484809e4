// The largest image the game takes, whatever its file format.
//
// An image costs memory far beyond its file: the decoded pixels (3 bytes
// each), GLU's copy scaled to powers of two, the driver's texture with its
// mipmaps (about 5 bytes a pixel kept for the whole run). Run-length data and
// 1-bit rows expand from a tiny file, so the file size is no bound: the cap
// is on the image itself. 2^22 pixels (2048 x 2048, 4096 x 1024) keeps all
// six bitmaps and the font within about 200 MB and half a second of start-up
// (the game's own are 256 x 256); 4096 a side stays far inside what GL
// implementations and GLU's scaling take (the upload checks the context too).
#pragma once

#include <cstdint>

constexpr uint32_t kMaxImageSide = 4096;
constexpr uint64_t kMaxImagePixels = uint64_t(1) << 22;

// Whether an image of this size (both sides at least 1) is one the game takes.
constexpr bool imageSizeAllowed(uint64_t width, uint64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}
