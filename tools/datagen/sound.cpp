// Placeholder: replaced by the real sound generator.
#include "generators.h"
bool writeSound(const std::string& outDir, ContactSheet*) {
  return writeFile(outDir + "/Data/rifle.WAV", {});
}
