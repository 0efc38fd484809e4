// The data generator's pieces. Each writes its files under the output folder
// (the game's working directory) and returns false with a message on stderr
// if it could not. Everything is computed, deterministic: the same bytes on
// every run and every machine.
#pragma once

#include <string>
#include <vector>

#include "image.h"

// Data/walls.bmp, Data/floor.bmp, Data/exit.bmp, Data/crosshair.bmp, Data/smoke.bmp.
bool writeTextures(const std::string& outDir, ContactSheet* sheet);
// Data/Font.TGA.
bool writeFont(const std::string& outDir, ContactSheet* sheet);
// Data/rifle.WAV.
bool writeSound(const std::string& outDir, ContactSheet* sheet);
// tris.md2 and hobgoblin.bmp.
bool writeCreature(const std::string& outDir, ContactSheet* sheet);
// The program icon: the Windows .ico at iconPath, and one PNG for each of the
// theme's sizes in hicolor/NxN/apps/shooter.png beside it.
bool writeIcon(const std::string& iconPath, const std::vector<int>& themeSizes,
               ContactSheet* sheet);
