// Fuzzes the bitmap decoder on bytes in memory. Message boxes go to the test
// platform's record, which is emptied for every input.
#include <cstddef>
#include <cstdint>

#include "image/bmp.h"
#include "image/limits.h"
#include "support/test_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  testPlatform.messages.clear();
  const std::unique_ptr<RgbImage> image = decodeBmp(data, size, "fuzz.bmp");
  if (image != nullptr) {
    // Within the limits, and exactly the pixels it claims.
    if (!imageSizeAllowed(uint64_t(image->width), uint64_t(image->height))) __builtin_trap();
    if (image->data.size() != size_t(image->width) * size_t(image->height) * 3) __builtin_trap();
    volatile unsigned sum = image->data.front() + image->data.back();
    (void)sum;
    // A decoded image always says yes without a word.
    if (!testPlatform.messages.empty()) __builtin_trap();
  } else if (testPlatform.messages.size() != 1) {
    __builtin_trap();  // every refusal explains itself once
  }
  return 0;
}
