// Wall tests: the player against its path cell, shots and fragments against its zone.
#include "world/collision.h"

#include <cmath>

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

// The walls of path cell `found`, applied to the point.
bool clampInCell(int found, double* x, double* y, double* z, double* vx, double* vy, double* vz,
                 double margin, double bounce) {
  bool moved = false;
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

// A step's first wall: how far along the step it stands (0..1; above 1 when
// none is in the way) and the path cell on the step's side of it there (-1
// when the step comes from the rock).
struct WallInTheWay {
  double along = 2.0;
  int cell = -1;
};

// Where a way from a to b reaches `line`, as a fraction of the way, or -1 when
// it does not: it must start on one side and end on the line or beyond.
double reachesLine(double a, double b, double line) {
  if ((a > line && b <= line) || (a < line && b >= line)) return (line - a) / (b - a);
  return -1;
}

// The grid index (column or row) that holds coordinate c of a way going from
// a to b; on a grid line, the one the way comes from.
int gridIndexBefore(double c, double a, double b) {
  int index = static_cast<int>(std::floor(c / kCellSize));
  if (c == index * kCellSize && b > a) --index;
  return index;
}

bool onThePath(double x, double z) {
  for (const MazeCell& c : kMazeCells) {
    if (x >= c.x0() && x <= c.x1() && z >= c.z0() && z <= c.z1()) return true;
  }
  return false;
}

// A step whose end is off the path, though no wall stands in its way: it went
// out through the door (or slipped round a corner of the rock by rounding).
// Through the door it is held on the door's line, clear of its sides, within
// reach of the exit point; otherwise the player stays where it stood.
void holdOnThePath(Standpoint from, double* x, double* z, double* vx, double* vz, double margin,
                   double bounce) {
  if (*z < 0 && from.z >= 0) {
    const double t = from.z / (from.z - *z);
    const double doorX = from.x + t * (*x - from.x);
    if (doorX >= kDoorX0 && doorX <= kDoorX1) {
      *x = std::fmin(std::fmax(doorX, kDoorX0 + margin), kDoorX1 - margin);
      clampTo(z, vz, 0, bounce);
      return;
    }
  }
  clampTo(x, vx, from.x, bounce);
  clampTo(z, vz, from.z, bounce);
}

// Where a way that runs along a wall's own line (from a to b, both measured
// along it) comes into the wall's span, as a fraction of the way; -1 when it
// does not. Only the door holds the player on such a line.
double entersSpan(double a, double b, double low, double high) {
  if (a < low && b >= low) return (low - a) / (b - a);
  if (a > high && b <= high) return (high - a) / (b - a);
  return -1;
}

WallInTheWay firstWall(Standpoint from, Standpoint to) {
  WallInTheWay first;
  for (const MazeWall& w : kMazeWalls) {
    if (w.door) continue;
    // a: across the wall; b: along it.
    const double a0 = w.alongX ? from.z : from.x;
    const double a1 = w.alongX ? to.z : to.x;
    const double b0 = w.alongX ? from.x : from.z;
    const double b1 = w.alongX ? to.x : to.z;
    const bool onLine = a0 == w.line && a1 == w.line;
    const double t = onLine ? entersSpan(b0, b1, w.low, w.high) : reachesLine(a0, a1, w.line);
    if (t < 0 || t >= first.along) continue;
    const double b = b0 + t * (b1 - b0);
    if (b < w.low || b > w.high) continue;
    const int along = gridIndexBefore(b, b0, b1);
    // The cell on the way's side of the wall; for a way along the line, the
    // path cell of the two beside it.
    int across = static_cast<int>(w.line / kCellSize) - (a0 < w.line ? 1 : 0);
    int cell = w.alongX ? pathCellIndex(along, across) : pathCellIndex(across, along);
    if (onLine && cell < 0) {
      --across;
      cell = w.alongX ? pathCellIndex(along, across) : pathCellIndex(across, along);
    }
    first.along = t;
    first.cell = cell;
  }
  return first;
}

// A step that a slide along its walls cannot bring back onto the path: held
// where its straight way first meets a wall, kept clear of that wall's cell's
// walls. Where even that point could not be reached, the player stays.
void holdAtWall(Standpoint from, Standpoint to, WallInTheWay wall, double* x, double* y, double* z,
                double* vx, double* vy, double* vz, double margin, double bounce) {
  *x = from.x + wall.along * (to.x - from.x);
  *z = from.z + wall.along * (to.z - from.z);
  clampInCell(wall.cell, x, y, z, vx, vy, vz, margin, bounce);
  if (firstWall(from, {*x, *z}).cell >= 0 || !onThePath(*x, *z)) {
    clampTo(x, vx, from.x, bounce);
    clampTo(z, vz, from.z, bounce);
  }
}
}  // namespace

bool collideCell(Standpoint player, double* x, double* y, double* z, double* vx, double* vy,
                 double* vz, double margin, double bounce) {
  for (int i = 0; i < kPathCells; ++i) {
    const MazeCell& c = kMazeCells[i];
    if (playerInside(player, c.x0(), c.x1(), c.z0(), c.z1())) {
      return clampInCell(i, x, y, z, vx, vy, vz, margin, bounce);
    }
  }
  return false;
}

bool collideStep(Standpoint from, double* x, double* y, double* z, double* vx, double* vy,
                 double* vz, double margin, double bounce) {
  // A step to no place at all (NaN or infinite) is not taken: the player
  // stays where it stood, and stops.
  if (!std::isfinite(*x) || !std::isfinite(*z)) {
    *x = from.x;
    *z = from.z;
    *vx = 0;
    *vz = 0;
    return true;
  }
  // Each hold brings the step back behind one wall, sliding along it. A step
  // whose slides do not bring it back onto the path after a few is held where
  // its straight way first meets a wall, never elsewhere.
  constexpr int kHolds = 4;
  const Standpoint to{*x, *z};
  WallInTheWay straight;
  bool moved = false;
  for (int hold = 0; hold < kHolds; ++hold) {
    const WallInTheWay wall = firstWall(from, {*x, *z});
    if (hold == 0) straight = wall;
    if (wall.cell < 0) {
      // On the path all the way (or coming from the rock): the cell it ends in.
      if (collideCell({*x, *z}, x, y, z, vx, vy, vz, margin, bounce)) moved = true;
      if (onThePath(*x, *z) || !onThePath(from.x, from.z)) return moved;
      // Off the path with no wall in the straight way: out through the door.
      if (hold == 0) {
        holdOnThePath(from, x, z, vx, vz, margin, bounce);
        return true;
      }
      break;
    }
    if (clampInCell(wall.cell, x, y, z, vx, vy, vz, margin, bounce)) moved = true;
  }
  holdAtWall(from, to, straight, x, y, z, vx, vy, vz, margin, bounce);
  return true;
}

bool stepMeetsWall(Standpoint from, Standpoint to) { return firstWall(from, to).along <= 1; }

int zoneAt(Standpoint player) {
  for (int i = 0; i < kZones; ++i) {
    const MazeZone& zone = kMazeZones[i];
    if (playerInside(player, zone.x0, zone.x1, zone.z0, zone.z1)) return i;
  }
  return -1;
}

bool collideInZone(int found, double* x, double* y, double* z, double* vx, double* vy, double* vz,
                   double margin, double bounce) {
  if (found < 0 || found >= kZones) return false;
  bool moved = false;
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
