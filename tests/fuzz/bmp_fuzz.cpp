// Fuzzes the bitmap decoder on bytes in memory. Message boxes go to the test
// platform's record, which is emptied for every input.
#include <cstddef>
#include <cstdint>

#include "image/bmp.h"
#include "support/test_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  testPlatform.messages.clear();
  RgbImage* image = decodeBmp(data, size, "fuzz.bmp");
  if (image != nullptr) {
    // Both ends of the pixels, so a short buffer shows up under the address
    // sanitiser (touching it all would make big images page in).
    const size_t bytes = size_t(image->width) * size_t(image->height) * 3;
    if (bytes == 0) __builtin_trap();
    volatile unsigned sum = image->data[0] + image->data[bytes - 1];
    (void)sum;
    // A decoded image always says yes without a word.
    if (!testPlatform.messages.empty()) __builtin_trap();
  } else if (testPlatform.messages.size() != 1) {
    __builtin_trap();  // every refusal explains itself once
  }
  freeRgbImage(image);
  return 0;
}
