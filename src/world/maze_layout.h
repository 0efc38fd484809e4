// The maze's layout, free of GL: its cells, walls, zones, the door and the exit point.
// One home for all who need the maze: the display lists and wall tests, the data
// generator's previews, the tests and the bots' routes.
#pragma once

#include <cstdint>

constexpr int kPathCells = 18;
constexpr int kZones = 8;
constexpr int kMazeWallCount = 38;

// The grid: cell (col, row) covers x from 256 col to 256 (col + 1) and z from
// 256 row to 256 (row + 1).
constexpr int kMazeColumns = 5;
constexpr int kMazeRows = 7;
constexpr double kCellSize = 256.0;
constexpr double kWorldSizeX = kCellSize * kMazeColumns;  // 1280
constexpr double kWorldSizeZ = kCellSize * kMazeRows;     // 1792
constexpr double kCeilingY = 64.0;

// The exit door: a section of the wall z = 0 in path cell 12.
constexpr int kDoorCell = 12;
constexpr double kDoorX0 = 352.0;
constexpr double kDoorX1 = 416.0;
// The exit point, just in front of the door's middle: reaching it wins the game.
constexpr double kExitX = 384.0;
constexpr double kExitZ = 5.0;

// Edges of a path cell that carry a wall.
enum CellEdge : uint8_t {
  kEdgeLowX = 1,
  kEdgeHighX = 2,
  kEdgeLowZ = 4,
  kEdgeHighZ = 8,
};

// A path cell: grid column (x / 256) and row (z / 256), and its walled edges.
struct MazeCell {
  int col;
  int row;
  uint8_t walls;

  constexpr double x0() const { return kCellSize * col; }
  constexpr double x1() const { return kCellSize * (col + 1); }
  constexpr double z0() const { return kCellSize * row; }
  constexpr double z1() const { return kCellSize * (row + 1); }
};

// A wall from y = 0 to y = 64 on a grid line: at constant z spanning x from
// `low` to `high` (alongX), or at constant x spanning z.
struct MazeWall {
  int list;     // the path cell whose display list draws it
  bool alongX;  // true: the wall stands on z = line
  double line;
  double low;
  double high;
  bool door;  // drawn with the exit texture
};

// A zone: a straight run of path cells, the box that confines the shot's ray
// and the smoke fragments.
struct MazeZone {
  double x0, x1, z0, z1;
};

// Path cells, numbered column by column from the highest x, and within a
// column from the highest z.
inline constexpr MazeCell kMazeCells[kPathCells] = {
    {4, 6, kEdgeHighX | kEdgeLowZ | kEdgeHighZ},  // 0: the start
    {3, 6, kEdgeLowX | kEdgeHighZ},               // 1
    {3, 5, kEdgeHighX},                           // 2
    {3, 4, kEdgeLowX | kEdgeHighX},               // 3
    {3, 3, kEdgeHighX | kEdgeLowZ},               // 4
    {2, 5, kEdgeLowZ | kEdgeHighZ},               // 5
    {2, 3, kEdgeHighZ},                           // 6
    {2, 2, kEdgeLowX | kEdgeHighX},               // 7
    {2, 1, kEdgeLowX | kEdgeHighX | kEdgeLowZ},   // 8: dead end
    {1, 5, kEdgeLowZ | kEdgeHighZ},               // 9
    {1, 3, kEdgeLowZ | kEdgeHighZ},               // 10
    {1, 1, kEdgeHighX | kEdgeHighZ},              // 11
    {1, 0, kEdgeLowX | kEdgeHighX | kEdgeLowZ},   // 12: the door
    {0, 5, kEdgeLowX | kEdgeHighZ},               // 13
    {0, 4, kEdgeLowX | kEdgeHighX | kEdgeLowZ},   // 14: dead end
    {0, 3, kEdgeLowX | kEdgeHighZ},               // 15
    {0, 2, kEdgeLowX | kEdgeHighX},               // 16
    {0, 1, kEdgeLowX | kEdgeLowZ},                // 17
};

// The path cell at grid column `col` and row `row`, or -1 where the rock is.
constexpr int pathCellIndex(int col, int row) {
  for (int i = 0; i < kPathCells; ++i) {
    if (kMazeCells[i].col == col && kMazeCells[i].row == row) return i;
  }
  return -1;
}

// Every wall once, in the order the lists emit them; each is drawn by the
// lowest-numbered path cell it bounds.
inline constexpr MazeWall kMazeWalls[kMazeWallCount] = {
    {0, true, 1536, 1024, 1280, false},  {0, true, 1792, 1024, 1280, false},
    {0, false, 1280, 1536, 1792, false}, {1, true, 1792, 768, 1024, false},
    {1, false, 768, 1536, 1792, false},  {2, false, 1024, 1280, 1536, false},
    {3, false, 768, 1024, 1280, false},  {3, false, 1024, 1024, 1280, false},
    {4, true, 768, 768, 1024, false},    {4, false, 1024, 768, 1024, false},
    {5, true, 1280, 512, 768, false},    {5, true, 1536, 512, 768, false},
    {6, true, 1024, 512, 768, false},    {7, false, 512, 512, 768, false},
    {7, false, 768, 512, 768, false},    {8, true, 256, 512, 768, false},
    {8, false, 512, 256, 512, false},    {8, false, 768, 256, 512, false},
    {9, true, 1280, 256, 512, false},    {9, true, 1536, 256, 512, false},
    {10, true, 768, 256, 512, false},    {10, true, 1024, 256, 512, false},
    {11, true, 512, 256, 512, false},    {12, true, 0, kDoorX0, kDoorX1, true},
    {12, true, 0, 256, kDoorX0, false},  {12, true, 0, kDoorX1, 512, false},
    {12, false, 256, 0, 256, false},     {12, false, 512, 0, 256, false},
    {13, true, 1536, 0, 256, false},     {13, false, 0, 1280, 1536, false},
    {14, true, 1024, 0, 256, false},     {14, false, 0, 1024, 1280, false},
    {14, false, 256, 1024, 1280, false}, {15, false, 0, 768, 1024, false},
    {16, false, 0, 512, 768, false},     {16, false, 256, 512, 768, false},
    {17, true, 256, 0, 256, false},      {17, false, 0, 256, 512, false},
};

// Zones in the order the wall test tries them.
inline constexpr MazeZone kMazeZones[kZones] = {
    {768, 1280, 1536, 1792},  // 0: cells 1, 0
    {0, 1024, 1280, 1536},    // 1: cells 13, 9, 5, 2
    {768, 1024, 768, 1280},   // 2: cells 4, 3
    {0, 256, 1024, 1280},     // 3: cell 14
    {512, 768, 256, 1024},    // 4: cells 8, 7, 6
    {256, 512, 768, 1024},    // 5: cell 10
    {0, 256, 256, 1024},      // 6: cells 17, 16, 15
    {256, 512, 0, 512},       // 7: cells 12, 11
};
