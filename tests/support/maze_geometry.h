// The maze's geometry worked out from its tables alone, to judge the wall
// tests by: whether a way meets a wall (segment against segment), how far a
// point stands from the walls of its cell, whether it is on the path.
#pragma once

#include <algorithm>
#include <cmath>

#include "world/collision.h"
#include "world/maze_layout.h"

namespace maze_geometry {

// The sign of the turn from a to b to c: > 0 left, < 0 right, 0 in a line.
inline double turn(Standpoint a, Standpoint b, Standpoint c) {
  return (b.x - a.x) * (c.z - a.z) - (b.z - a.z) * (c.x - a.x);
}

inline bool between(double v, double a, double b) {
  return v >= std::min(a, b) && v <= std::max(a, b);
}

inline Standpoint wallStart(const MazeWall& w) {
  return w.alongX ? Standpoint{w.low, w.line} : Standpoint{w.line, w.low};
}
inline Standpoint wallEnd(const MazeWall& w) {
  return w.alongX ? Standpoint{w.high, w.line} : Standpoint{w.line, w.high};
}

// Whether the segments ab and cd share a point (touching counts).
inline bool segmentsMeet(Standpoint a, Standpoint b, Standpoint c, Standpoint d) {
  const double d1 = turn(c, d, a), d2 = turn(c, d, b), d3 = turn(a, b, c), d4 = turn(a, b, d);
  if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
    return true;
  auto onSegment = [](Standpoint p, Standpoint q, Standpoint r) {  // r on pq, given in line
    return between(r.x, p.x, q.x) && between(r.z, p.z, q.z);
  };
  return (d1 == 0 && onSegment(c, d, a)) || (d2 == 0 && onSegment(c, d, b)) ||
         (d3 == 0 && onSegment(a, b, c)) || (d4 == 0 && onSegment(a, b, d));
}

// Whether the way from a to b touches or crosses a wall; the door is none.
inline bool wayMeetsWall(Standpoint a, Standpoint b) {
  for (const MazeWall& w : kMazeWalls) {
    if (!w.door && segmentsMeet(a, b, wallStart(w), wallEnd(w))) return true;
  }
  return false;
}

inline double distanceToWall(Standpoint p, const MazeWall& w) {
  const Standpoint s = wallStart(w), e = wallEnd(w);
  const double lx = e.x - s.x, lz = e.z - s.z;
  const double t =
      std::clamp(((p.x - s.x) * lx + (p.z - s.z) * lz) / (lx * lx + lz * lz), 0.0, 1.0);
  return std::hypot(p.x - (s.x + t * lx), p.z - (s.z + t * lz));
}

inline bool inCell(Standpoint p, const MazeCell& c) {
  return p.x >= c.x0() && p.x <= c.x1() && p.z >= c.z0() && p.z <= c.z1();
}

// The nearest wall bounding a path cell that holds the point (edges too); a
// large number when no cell does.
inline double distanceToItsWalls(Standpoint p) {
  double nearest = 1e300;
  for (const MazeCell& c : kMazeCells) {
    if (!inCell(p, c)) continue;
    for (const MazeWall& w : kMazeWalls) {
      if (w.door) continue;
      const bool bounds =
          w.alongX ? (w.line == c.z0() || w.line == c.z1()) && w.low < c.x1() && w.high > c.x0()
                   : (w.line == c.x0() || w.line == c.x1()) && w.low < c.z1() && w.high > c.z0();
      if (bounds) nearest = std::min(nearest, distanceToWall(p, w));
    }
  }
  return nearest;
}

// On the path: inside a path cell (or on its edge) and `margin` clear of
// every wall of the cells that hold it.
inline bool onThePath(Standpoint p, double margin) {
  bool inside = false;
  for (const MazeCell& c : kMazeCells) inside = inside || inCell(p, c);
  return inside && distanceToItsWalls(p) >= margin;
}

}  // namespace maze_geometry
