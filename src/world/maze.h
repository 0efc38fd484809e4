// The fixed maze: 18 path cells in a 5 x 7 grid of 256-unit cells, compiled
// into one display list per path cell.
#pragma once

#include "gl.h"

constexpr int kPathCells = 18;
constexpr int kZones = 8;

extern GLuint mazeLists[kPathCells];

// Compiles the 18 lists; needs the wall, exit and floor textures.
void buildMaze();

// The frame's maze pass: blending off, all 18 lists in order, blending on.
void drawMaze();
