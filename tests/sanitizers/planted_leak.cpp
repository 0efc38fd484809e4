// Leaks LeakSanitizer must report through the suppressions of lsan.supp, each
// under a call into the stand-in driver: `driver`, the driver's block for an
// object never deleted; `game`, the program's own block, made in a callback
// the driver runs. `none` leaks nothing.
#include <cstring>

extern "C" void fakeDriverCall(bool keepObject, void (*callback)());

namespace {
char* volatile sink = nullptr;
void gameCallback() {
  sink = new char[512];
  sink = nullptr;
}
}  // namespace

int main(int argc, char** argv) {
  const char* what = argc > 1 ? argv[1] : "none";
  if (std::strcmp(what, "driver") == 0) fakeDriverCall(true, nullptr);
  if (std::strcmp(what, "game") == 0) fakeDriverCall(false, gameCallback);
  if (std::strcmp(what, "none") == 0) fakeDriverCall(false, nullptr);
  return 0;
}
