// Placeholder: replaced by the real implementation.
#include "world/maze.h"
GLuint mazeLists[kPathCells];
void buildMaze() {}
void drawMaze() {}
