// The maze's display lists: floor, ceiling and walls compiled once, drawn every frame.
#include "world/maze.h"

#include "image/textures.h"

GLuint mazeLists[kPathCells];

namespace {
// The wall and floor images repeat every 64 units.
constexpr double kTextureTile = 64.0;

enum class MazeTexture { None, Floor, Wall, Exit };

GLuint textureName(MazeTexture texture) {
  switch (texture) {
    case MazeTexture::Floor: return floorTexture;
    case MazeTexture::Wall: return wallTexture;
    case MazeTexture::Exit: return exitTexture;
    case MazeTexture::None: break;
  }
  return 0;
}

// Binds only when the texture differs from the one the previous quad used.
// Lists are drawn in ascending order, so a list that emits walls of the same
// texture as the list before it binds nothing.
void useTexture(MazeTexture texture, MazeTexture* bound) {
  if (texture == *bound) return;
  glBindTexture(GL_TEXTURE_2D, textureName(texture));
  *bound = texture;
}

// Floor or ceiling over the whole world, the image repeating every 64 units.
void emitFlat(double y) {
  const double s = kWorldSizeX / kTextureTile;  // 20
  const double t = kWorldSizeZ / kTextureTile;  // 28
  glBegin(GL_QUADS);
  glTexCoord2d(s, t);
  glVertex3d(kWorldSizeX, y, kWorldSizeZ);
  glTexCoord2d(s, 0);
  glVertex3d(kWorldSizeX, y, 0);
  glTexCoord2d(0, 0);
  glVertex3d(0, y, 0);
  glTexCoord2d(0, t);
  glVertex3d(0, y, kWorldSizeZ);
  glEnd();
}

void wallVertex(const MazeWall& wall, double along, double y) {
  if (wall.alongX) {
    glVertex3d(along, y, wall.line);
  } else {
    glVertex3d(wall.line, y, along);
  }
}

// One quad: high end top, high end bottom, low end bottom, low end top.
void emitWall(const MazeWall& wall) {
  const double s = (wall.high - wall.low) / kTextureTile;
  glBegin(GL_QUADS);
  glTexCoord2d(s, 1);
  wallVertex(wall, wall.high, kCeilingY);
  glTexCoord2d(s, 0);
  wallVertex(wall, wall.high, 0);
  glTexCoord2d(0, 0);
  wallVertex(wall, wall.low, 0);
  glTexCoord2d(0, 1);
  wallVertex(wall, wall.low, kCeilingY);
  glEnd();
}
}  // namespace

void buildMaze() {
  const GLuint base = glGenLists(kPathCells);
  for (int i = 0; i < kPathCells; ++i) mazeLists[i] = base + static_cast<GLuint>(i);

  MazeTexture bound = MazeTexture::None;
  for (int list = 0; list < kPathCells; ++list) {
    glNewList(mazeLists[list], GL_COMPILE);
    if (list == 0) {
      useTexture(MazeTexture::Floor, &bound);
      emitFlat(0);
      emitFlat(kCeilingY);
    }
    for (const MazeWall& wall : kMazeWalls) {
      if (wall.list != list) continue;
      useTexture(wall.door ? MazeTexture::Exit : MazeTexture::Wall, &bound);
      emitWall(wall);
    }
    glEndList();
  }
}

void drawMaze() {
  glDisable(GL_BLEND);
  for (GLuint list : mazeLists) glCallList(list);
  glEnable(GL_BLEND);
}
