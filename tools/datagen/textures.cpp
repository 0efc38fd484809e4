// Placeholder: replaced by the real texture generator.
#include "generators.h"
bool writeTextures(const std::string& outDir, ContactSheet*) {
  Picture p(64, 64, Rgba{128, 128, 128, 255});
  bool ok = true;
  for (const char* name : {"walls", "floor", "exit", "crosshair", "smoke"})
    ok = writeFile(outDir + "/Data/" + name + ".bmp", encodeBmp24(p)) && ok;
  return ok;
}
