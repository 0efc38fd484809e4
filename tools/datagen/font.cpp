// Placeholder: replaced by the real font generator.
#include "generators.h"
bool writeFont(const std::string& outDir, ContactSheet*) {
  return writeFile(outDir + "/Data/Font.TGA", encodeTga(Picture(256, 256), 24));
}
