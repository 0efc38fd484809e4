// Fuzzes the Targa decoder (the file half of the reader) on bytes in memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/tga.h"
#include "support/test_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  testPlatform.messages.clear();
  TgaTexture record;
  if (decodeTga(&record, data, size)) {
    if (record.pixels == nullptr) __builtin_trap();
    const size_t bytes = size_t(record.width) * record.height * (record.bitsPerPixel / 8);
    if (bytes == 0 || bytes > size) __builtin_trap();
    volatile unsigned sum = record.pixels[0] + record.pixels[bytes - 1];
    (void)sum;
  } else if (record.pixels != nullptr) {
    __builtin_trap();
  }
  std::free(record.pixels);
  return 0;
}
