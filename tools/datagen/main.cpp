// datagen --out DIR --icon FILE [--sheet FILE.png]
// Writes every data file the game loads into DIR (the game's working folder).
#include <cstdio>
#include <cstring>
#include <string>

#include "generators.h"

int main(int argc, char** argv) {
  std::string outDir, iconPath, sheetPath;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--out") == 0) {
      outDir = argv[i + 1];
    } else if (std::strcmp(argv[i], "--icon") == 0) {
      iconPath = argv[i + 1];
    } else if (std::strcmp(argv[i], "--sheet") == 0) {
      sheetPath = argv[i + 1];
    } else {
      std::fprintf(stderr, "datagen: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  if (outDir.empty() || iconPath.empty()) {
    std::fprintf(stderr, "usage: datagen --out DIR --icon FILE [--sheet FILE.png]\n");
    return 2;
  }
  ContactSheet sheet;
  bool ok = writeTextures(outDir, &sheet);
  ok = writeFont(outDir, &sheet) && ok;
  ok = writeSound(outDir, &sheet) && ok;
  ok = writeCreature(outDir, &sheet) && ok;
  ok = writeIcon(iconPath, &sheet) && ok;
  if (ok && !sheetPath.empty()) ok = sheet.write(sheetPath);
  return ok ? 0 : 1;
}
