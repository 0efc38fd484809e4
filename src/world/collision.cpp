// Wall tests: the player against its path cell, shots and fragments against its zone.
#include "world/collision.h"

#include "world/maze_layout.h"

namespace {
// Moves the coordinate onto `limit` and reflects its velocity component.
void clampTo(double* coordinate, double* velocity, double limit, double bounce) {
  *coordinate = limit;
  *velocity = -*velocity * bounce;
}

// Floor and ceiling: ceiling first, at most one of the two.
bool clampHeight(double* y, double* vy, double margin, double bounce) {
  if (*y > kCeilingY - margin) {
    clampTo(y, vy, kCeilingY - margin, bounce);
    return true;
  }
  if (*y < 0 + margin) {
    clampTo(y, vy, 0 + margin, bounce);
    return true;
  }
  return false;
}

// Both tests pick the cell or zone from where the player stands; grid lines
// belong to no cell (strict comparisons).
bool playerInside(Standpoint player, double x0, double x1, double z0, double z1) {
  return player.x > x0 && player.x < x1 && player.z > z0 && player.z < z1;
}
}  // namespace

bool collideCell(Standpoint player, double* x, double* y, double* z, double* vx, double* vy,
                 double* vz, double margin, double bounce) {
  bool moved = false;
  int found = -1;
  for (int i = 0; i < kPathCells; ++i) {
    const MazeCell& c = kMazeCells[i];
    if (playerInside(player, c.x0(), c.x1(), c.z0(), c.z1())) {
      found = i;
      break;
    }
  }
  if (found < 0) return false;
  const MazeCell& cell = kMazeCells[found];

  // x: the low edge first; only one of the two applies per call.
  if ((cell.walls & kEdgeLowX) && *x < cell.x0() + margin) {
    clampTo(x, vx, cell.x0() + margin, bounce);
    moved = true;
  } else if ((cell.walls & kEdgeHighX) && *x > cell.x1() - margin) {
    clampTo(x, vx, cell.x1() - margin, bounce);
    moved = true;
  }

  if (clampHeight(y, vy, margin, bounce)) moved = true;

  // z: the high edge first. The door in cell 12 lets a point through the
  // wall z = 0 where it lies clear of the door's sides.
  if ((cell.walls & kEdgeHighZ) && *z > cell.z1() - margin) {
    clampTo(z, vz, cell.z1() - margin, bounce);
    moved = true;
  } else if ((cell.walls & kEdgeLowZ) && *z < cell.z0() + margin) {
    const bool throughDoor =
        found == kDoorCell && !(*x < kDoorX0 + margin || *x > kDoorX1 - margin);
    if (!throughDoor) {
      clampTo(z, vz, cell.z0() + margin, bounce);
      moved = true;
    }
  }
  return moved;
}

bool collideZone(Standpoint player, double* x, double* y, double* z, double* vx, double* vy,
                 double* vz, double margin, double bounce) {
  bool moved = false;
  int found = -1;
  for (int i = 0; i < kZones; ++i) {
    const MazeZone& zone = kMazeZones[i];
    if (playerInside(player, zone.x0, zone.x1, zone.z0, zone.z1)) {
      found = i;
      break;
    }
  }
  if (found < 0) return false;
  const MazeZone& zone = kMazeZones[found];

  if (*x > zone.x1 - margin) {
    clampTo(x, vx, zone.x1 - margin, bounce);
    moved = true;
  } else if (*x < zone.x0 + margin) {
    clampTo(x, vx, zone.x0 + margin, bounce);
    moved = true;
  }
  if (clampHeight(y, vy, margin, bounce)) moved = true;
  if (*z > zone.z1 - margin) {
    clampTo(z, vz, zone.z1 - margin, bounce);
    moved = true;
  } else if (*z < zone.z0 + margin) {
    clampTo(z, vz, zone.z0 + margin, bounce);
    moved = true;
  }
  return moved;
}
