// Fuzzes the Targa decoder (the file half of the reader) on bytes in memory.
#include <cstddef>
#include <cstdint>

#include "image/limits.h"
#include "image/tga.h"
#include "support/test_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  testPlatform.messages.clear();
  TgaTexture record;
  if (decodeTga(&record, data, size)) {
    const size_t bytes = size_t(record.width) * record.height * (record.bitsPerPixel / 8);
    if (bytes == 0 || bytes > size || record.pixels.size() != bytes) __builtin_trap();
    if (!imageSizeAllowed(record.width, record.height)) __builtin_trap();
    volatile unsigned sum = record.pixels.front() + record.pixels.back();
    (void)sum;
  } else if (!record.pixels.empty()) {
    __builtin_trap();
  }
  return 0;
}
