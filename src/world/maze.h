// The maze's display lists: the layout (world/maze_layout.h) compiled into one
// list per path cell, and the frame's pass that draws them.
#pragma once

#include "gl.h"
#include "world/maze_layout.h"

extern GLuint mazeLists[kPathCells];

// Compiles the 18 lists; needs the wall, exit and floor textures.
void buildMaze();

// The frame's maze pass: blending off, all 18 lists in order, blending on.
void drawMaze();
