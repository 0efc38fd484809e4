// The enemy creature: "tris.md2" (a goblin with a club) and its skin
// "hobgoblin.bmp". The file is read back before it is written, and the
// review pictures are drawn from what was read.
#include <cstdio>

#include "camera.h"
#include "creature_body.h"
#include "creature_md2.h"
#include "creature_view.h"
#include "data_files.h"
#include "generators.h"

bool writeCreature(const std::string& outDir, ContactSheet* sheet) {
  using namespace creature;
  Mesh mesh;
  Picture skin;
  if (!buildCreature(mesh, skin)) return false;
  const std::vector<uint8_t> md2 = encodeMd2(mesh, kSkinWidth, kSkinHeight, kSkinFile, "stand");
  Md2Model model;
  std::string error;
  if (!decodeMd2(md2, model, error)) {
    std::fprintf(stderr, "datagen: the creature's model does not read back: %s\n", error.c_str());
    return false;
  }
  bool ok = writeFile(outDir + "/" + kModelFile, md2);
  ok = writeFile(outDir + "/" + kSkinFile, encodeBmp24(skin)) && ok;

  if (sheet) {
    sheet->add("creature skin", skin, 2);
    const int w = 240, h = 300;
    const double tall = 62;
    const ViewCamera front{{60, 2, 0}, {0, 2, 0}, false, 60, tall, true};
    const ViewCamera side{{0, 2, 60}, {0, 2, 0}, false, 60, tall, true};
    const ViewCamera back{{-60, 2, 0}, {0, 2, 0}, false, 60, tall, true};
    // As the player sees it, unlit as in the game: the eye is 25 above the
    // floor and the creature is drawn 25 up, so model height 0 is eye level.
    const ViewCamera player{{50, 0, 30}, {0, 0, 0}, true, kFieldOfView, tall, false};
    sheet->add("creature front", renderView(model, skin, front, w, h));
    sheet->add("creature side", renderView(model, skin, side, w, h));
    sheet->add("creature back", renderView(model, skin, back, w, h));
    sheet->add("creature in the game", renderView(model, skin, player, 320, 240));
  }
  return ok;
}
