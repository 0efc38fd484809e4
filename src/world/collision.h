// Wall tests that keep a moving point inside the maze. Both pick the cell or
// zone from where the player stands, not from the point tested.
#pragma once

#include "world/maze_layout.h"

// Where the player stands on the floor: the game's (xtrans2, ztrans2).
struct Standpoint {
  double x;
  double z;
};

// The distance the player keeps from every wall, the floor and the ceiling.
constexpr double kPlayerMargin = 5.0;

// Keeps the point `margin` away from the walls, floor and ceiling of the
// player's path cell; a component into a wall becomes -v * bounce.
// True when a coordinate was moved.
bool collideCell(Standpoint player, double* x, double* y, double* z, double* vx, double* vy,
                 double* vz, double margin, double bounce);

// The player's step, from where it stood before the step (`from`) to (x, z),
// which is where it stands now. A step that meets no wall is tested by
// collideCell in the cell it ends in, exactly as that does. A step that would
// cross a wall, or cut a corner into the rock, is held `margin` short of the
// first wall in its way, on the side it came from: the component into that
// wall becomes -v * bounce, the motion along the wall is kept. Held so, the
// player never leaves the path: a step out through the door is held on the
// door's line (where the exit is in reach), and a step to a NaN or infinite
// place is not taken (the player stays at `from`, its velocity zero). A step
// from off the path is tested as any other, but not held on it. True when a
// coordinate was moved.
bool collideStep(Standpoint from, double* x, double* y, double* z, double* vx, double* vy,
                 double* vz, double margin, double bounce);

// Whether the straight way from `from` to `to` meets a wall: crosses it, or
// ends on it. The door is no wall.
bool stepMeetsWall(Standpoint from, Standpoint to);

// The zone the player stands in (an index of kMazeZones), or -1 where it stands
// in none (on a zone's bound, or outside the maze).
int zoneAt(Standpoint player);

// Confines the point to the box of zone `zone` (looked up once with zoneAt,
// for loops that test many points while the player stands still), shrunk by
// `margin`; zone -1 moves nothing.
bool collideInZone(int zone, double* x, double* y, double* z, double* vx, double* vy, double* vz,
                   double margin, double bounce);

// True when the point lies within the box of zone `zone` (0..kZones-1), faces,
// floor and ceiling included: collideInZone with no margin would move nothing
// and return false. A loop of many steps asks this first and skips the call.
inline bool withinZone(int zone, double x, double y, double z) {
  const MazeZone& box = kMazeZones[zone];
  return x <= box.x1 && x >= box.x0 && y <= kCeilingY && y >= 0 && z <= box.z1 && z >= box.z0;
}
