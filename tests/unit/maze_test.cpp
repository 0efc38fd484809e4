// The maze's tables checked against each other: cells, walls and zones must
// describe one consistent layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "world/maze_layout.h"

namespace {

// Does the wall lie on the given edge of the cell (sharing more than a point)?
bool wallOnEdge(const MazeWall& w, const MazeCell& c, CellEdge edge) {
  switch (edge) {
    case kEdgeLowX: return !w.alongX && w.line == c.x0() && w.low < c.z1() && w.high > c.z0();
    case kEdgeHighX: return !w.alongX && w.line == c.x1() && w.low < c.z1() && w.high > c.z0();
    case kEdgeLowZ: return w.alongX && w.line == c.z0() && w.low < c.x1() && w.high > c.x0();
    case kEdgeHighZ: return w.alongX && w.line == c.z1() && w.low < c.x1() && w.high > c.x0();
  }
  return false;
}

bool wallBoundsCell(const MazeWall& w, const MazeCell& c) {
  for (CellEdge e : {kEdgeLowX, kEdgeHighX, kEdgeLowZ, kEdgeHighZ}) {
    if (wallOnEdge(w, c, e)) return true;
  }
  return false;
}

// Total length of wall along the given edge of the cell.
double coveredLength(const MazeCell& c, CellEdge edge) {
  double total = 0;
  for (const MazeWall& w : kMazeWalls) {
    if (!wallOnEdge(w, c, edge)) continue;
    const bool acrossX = edge == kEdgeLowX || edge == kEdgeHighX;
    const double lo = acrossX ? c.z0() : c.x0();
    const double hi = acrossX ? c.z1() : c.x1();
    total += std::min(w.high, hi) - std::max(w.low, lo);
  }
  return total;
}

}  // namespace

TEST(MazeTables, PathCellsAreNumberedFromTheHighestColumnAndRow) {
  for (int i = 0; i < kPathCells; ++i) {
    const MazeCell& c = kMazeCells[i];
    EXPECT_GE(c.col, 0);
    EXPECT_LT(c.col, 5);
    EXPECT_GE(c.row, 0);
    EXPECT_LT(c.row, 7);
    if (i > 0) {
      const MazeCell& prev = kMazeCells[i - 1];
      EXPECT_TRUE(prev.col > c.col || (prev.col == c.col && prev.row > c.row)) << "cell " << i;
    }
  }
  // The start lies in cell 0, the door in cell 12.
  EXPECT_EQ(pathCellIndex(4, 6), 0);
  EXPECT_EQ(pathCellIndex(1, 0), kDoorCell);
}

TEST(MazeTables, WallsStandOnGridLinesAndNeverOverlap) {
  int doors = 0;
  for (int i = 0; i < kMazeWallCount; ++i) {
    const MazeWall& w = kMazeWalls[i];
    EXPECT_EQ(std::fmod(w.line, kCellSize), 0.0) << "wall " << i;
    EXPECT_LT(w.low, w.high);
    EXPECT_GE(w.low, 0.0);
    EXPECT_LE(w.high, w.alongX ? kWorldSizeX : kWorldSizeZ);
    if (w.line != 0 || !w.alongX) {
      // Every wall but the door wall's sections is one whole cell edge.
      EXPECT_EQ(w.high - w.low, kCellSize) << "wall " << i;
      EXPECT_EQ(std::fmod(w.low, kCellSize), 0.0) << "wall " << i;
    }
    if (w.door) ++doors;
    for (int j = 0; j < i; ++j) {
      const MazeWall& o = kMazeWalls[j];
      const bool overlap =
          o.alongX == w.alongX && o.line == w.line && o.low < w.high && o.high > w.low;
      EXPECT_FALSE(overlap) << "walls " << j << " and " << i << " overlap";
    }
  }
  EXPECT_EQ(doors, 1);
}

TEST(MazeTables, EachWallIsDrawnByTheLowestPathCellItBounds) {
  int lastList = 0;
  for (int i = 0; i < kMazeWallCount; ++i) {
    const MazeWall& w = kMazeWalls[i];
    int lowest = -1;
    for (int c = 0; c < kPathCells && lowest < 0; ++c) {
      if (wallBoundsCell(w, kMazeCells[c])) lowest = c;
    }
    EXPECT_EQ(w.list, lowest) << "wall " << i;
    EXPECT_GE(w.list, lastList) << "walls are listed in list order";
    lastList = w.list;
  }
}

TEST(MazeTables, EveryWalledEdgeIsFullyCoveredAndOpenEdgesHaveNoWall) {
  for (int i = 0; i < kPathCells; ++i) {
    const MazeCell& c = kMazeCells[i];
    for (CellEdge e : {kEdgeLowX, kEdgeHighX, kEdgeLowZ, kEdgeHighZ}) {
      const double covered = coveredLength(c, e);
      if (c.walls & e) {
        EXPECT_EQ(covered, kCellSize) << "cell " << i << " edge " << int(e);
      } else {
        EXPECT_EQ(covered, 0.0) << "cell " << i << " edge " << int(e);
      }
    }
  }
}

TEST(MazeTables, OpenEdgesLeadOnlyToOtherPathCells) {
  // The corridor never opens onto the void; a wall between two path cells
  // separates two branches, which happens at exactly two places.
  std::vector<std::pair<int, int>> separated;
  for (int i = 0; i < kPathCells; ++i) {
    const MazeCell& c = kMazeCells[i];
    const struct {
      CellEdge edge;
      int dc, dr;
    } neighbours[] = {
        {kEdgeLowX, -1, 0}, {kEdgeHighX, 1, 0}, {kEdgeLowZ, 0, -1}, {kEdgeHighZ, 0, 1}};
    for (const auto& n : neighbours) {
      const int neighbour = pathCellIndex(c.col + n.dc, c.row + n.dr);
      const bool walled = (c.walls & n.edge) != 0;
      if (neighbour < 0) {
        EXPECT_TRUE(walled) << "cell " << i << " edge " << int(n.edge);
      }
      if (neighbour > i && walled) separated.emplace_back(i, neighbour);
    }
  }
  EXPECT_EQ(separated, (std::vector<std::pair<int, int>>{{8, 11}, {14, 15}}));
}

TEST(MazeTables, TheDoorIsASectionOfTheWallAtZZeroInCell12) {
  double total = 0;
  for (const MazeWall& w : kMazeWalls) {
    if (!(w.alongX && w.line == 0)) continue;
    EXPECT_EQ(w.list, kDoorCell);
    total += w.high - w.low;
    if (w.door) {
      EXPECT_EQ(w.low, kDoorX0);
      EXPECT_EQ(w.high, kDoorX1);
    }
  }
  EXPECT_EQ(total, kCellSize);
  // Within list 12 the door comes first.
  const MazeWall* first = std::find_if(std::begin(kMazeWalls), std::end(kMazeWalls),
                                       [](const MazeWall& w) { return w.list == kDoorCell; });
  EXPECT_TRUE(first->door);
}

TEST(MazeTables, TheClosedCellBetweenTheCorridorsIsWalledByFourLists) {
  // Cell (1, 2) is no path cell; lists 7, 10, 11 and 16 close it.
  const MazeCell closed{1, 2, 0};
  std::vector<int> lists;
  for (CellEdge e : {kEdgeLowX, kEdgeHighX, kEdgeLowZ, kEdgeHighZ}) {
    EXPECT_EQ(coveredLength(closed, e), kCellSize);
    for (const MazeWall& w : kMazeWalls) {
      if (wallOnEdge(w, closed, e)) lists.push_back(w.list);
    }
  }
  std::sort(lists.begin(), lists.end());
  EXPECT_EQ(lists, (std::vector<int>{7, 10, 11, 16}));
}

TEST(MazeTables, EveryPathCellLiesInExactlyOneZoneAndZonesHoldOnlyPathCells) {
  double pathArea = 0;
  for (int i = 0; i < kPathCells; ++i) {
    const MazeCell& c = kMazeCells[i];
    int holders = 0;
    for (const MazeZone& z : kMazeZones) {
      if (c.x0() >= z.x0 && c.x1() <= z.x1 && c.z0() >= z.z0 && c.z1() <= z.z1) ++holders;
    }
    EXPECT_EQ(holders, 1) << "cell " << i;
    pathArea += kCellSize * kCellSize;
  }
  double zoneArea = 0;
  for (const MazeZone& z : kMazeZones) zoneArea += (z.x1 - z.x0) * (z.z1 - z.z0);
  EXPECT_EQ(zoneArea, pathArea);
}
