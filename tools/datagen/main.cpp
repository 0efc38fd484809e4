// datagen --out DIR --icon FILE --icon-sizes N,N,... [--sheet FILE.png]
// Writes every data file the game loads into DIR (the game's working folder),
// and the program icon: FILE (.ico) and the theme's PNG at each size.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "generators.h"

int main(int argc, char** argv) {
  std::string outDir, iconPath, sheetPath;
  std::vector<int> iconSizes;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--out") == 0) {
      outDir = argv[i + 1];
    } else if (std::strcmp(argv[i], "--icon") == 0) {
      iconPath = argv[i + 1];
    } else if (std::strcmp(argv[i], "--icon-sizes") == 0) {
      for (const char* p = argv[i + 1]; *p != '\0';) {
        char* end = nullptr;
        const long size = std::strtol(p, &end, 10);
        if (end == p || size < 1 || size > 1024 || (*end != ',' && *end != '\0')) {
          std::fprintf(stderr, "datagen: bad icon sizes %s\n", argv[i + 1]);
          return 2;
        }
        iconSizes.push_back(int(size));
        p = *end == ',' ? end + 1 : end;
      }
    } else if (std::strcmp(argv[i], "--sheet") == 0) {
      sheetPath = argv[i + 1];
    } else {
      std::fprintf(stderr, "datagen: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  if (outDir.empty() || iconPath.empty() || iconSizes.empty()) {
    std::fprintf(stderr,
                 "usage: datagen --out DIR --icon FILE --icon-sizes N,N,... [--sheet FILE.png]\n");
    return 2;
  }
  ContactSheet sheet;
  bool ok = writeTextures(outDir, &sheet);
  ok = writeFont(outDir, &sheet) && ok;
  ok = writeSound(outDir, &sheet) && ok;
  ok = writeCreature(outDir, &sheet) && ok;
  ok = writeIcon(iconPath, iconSizes, &sheet) && ok;
  if (ok && !sheetPath.empty()) ok = sheet.write(sheetPath);
  return ok ? 0 : 1;
}
