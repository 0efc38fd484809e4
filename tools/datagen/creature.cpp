// Placeholder: replaced by the real creature generator.
#include "generators.h"
bool writeCreature(const std::string& outDir, ContactSheet*) {
  return writeFile(outDir + "/tris.md2", {}) &&
         writeFile(outDir + "/hobgoblin.bmp", encodeBmp24(Picture(64, 64)));
}
