// A stand-in for a GL driver, built under the file name of Mesa's software
// rasteriser so that the sanitizers' suppressions meet it as they meet the
// real one. Its one call makes a block for a GL object the caller never
// deletes, and can call back into the caller, as a driver's callbacks do.
#include <cstdlib>

namespace {
void* volatile held = nullptr;
}  // namespace

extern "C" void fakeDriverCall(bool keepObject, void (*callback)()) {
  if (keepObject) {
    held = std::malloc(4096);  // the object's block, lost with its last pointer
    held = nullptr;
  }
  if (callback != nullptr) callback();
}
