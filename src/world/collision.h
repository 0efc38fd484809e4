// Wall tests that keep a moving point inside the maze. Both pick the cell or
// zone from where the player stands, not from the point tested.
#pragma once

// Where the player stands on the floor: the game's (xtrans2, ztrans2).
struct Standpoint {
  double x;
  double z;
};

// Keeps the point `margin` away from the walls, floor and ceiling of the
// player's path cell; a component into a wall becomes -v * bounce.
// True when a coordinate was moved.
bool collideCell(Standpoint player, double* x, double* y, double* z, double* vx, double* vy,
                 double* vz, double margin, double bounce);

// Confines the point to the box of the player's zone, shrunk by `margin`.
bool collideZone(Standpoint player, double* x, double* y, double* z, double* vx, double* vy,
                 double* vz, double margin, double bounce);
