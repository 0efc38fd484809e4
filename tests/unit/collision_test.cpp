// The wall tests: the player held in its path cell, points confined to its zone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "game/state.h"
#include "support/maze_geometry.h"
#include "world/collision.h"
#include "world/maze_layout.h"

namespace {

struct Point {
  double x, y, z;
  double vx = 0, vy = 0, vz = 0;
};

// The wall tests pick the cell or zone from where the player stands.
Standpoint here() { return {player.xtrans2, player.ztrans2}; }

bool cell(Point* p, double margin, double bounce) {
  return collideCell(here(), &p->x, &p->y, &p->z, &p->vx, &p->vy, &p->vz, margin, bounce);
}

bool zone(Point* p, double margin, double bounce) {
  return collideInZone(zoneAt(here()), &p->x, &p->y, &p->z, &p->vx, &p->vy, &p->vz, margin, bounce);
}

void standAt(double x, double z) {
  player.xtrans2 = x;
  player.ztrans2 = z;
}

class Collision : public ::testing::Test {
 protected:
  void SetUp() override { resetGameState(); }
};

}  // namespace

TEST_F(Collision, PlayerPushingIntoTheEndWallSlidesAlongIt) {
  // The frame's own call, on the player's variables.
  player.xtrans2 = 1278.5;
  player.ztrans2 = 1700;
  player.xmove = 9;
  player.zmove = -4;
  EXPECT_TRUE(collideCell(here(), &player.xtrans2, &player.ytrans2, &player.ztrans2, &player.xmove,
                          &player.ymove, &player.zmove, 5.0, 0.0));
  EXPECT_EQ(player.xtrans2, 1275.0);
  EXPECT_EQ(player.xmove, 0.0);
  EXPECT_EQ(player.zmove, -4.0);
  EXPECT_EQ(player.ytrans2, 7.0);
  EXPECT_EQ(player.ztrans2, 1700.0);
}

TEST_F(Collision, ThePlayerPassesTheDoorButNotTheWallBesideIt) {
  standAt(384, 3);
  Point p{384, 7, 3, 0, 0, -6};
  EXPECT_FALSE(cell(&p, 5, 0));
  EXPECT_EQ(p.z, 3.0);
  EXPECT_EQ(p.vz, -6.0);

  standAt(300, 3);
  p = {300, 7, 3, 0, 0, -6};
  EXPECT_TRUE(cell(&p, 5, 0));
  EXPECT_EQ(p.z, 5.0);
  EXPECT_EQ(p.vz, 0.0);

  // With margin 5 the opening runs from x = 357 to x = 411.
  for (double x : {357.0, 411.0}) {
    standAt(x, 3);
    p = {x, 7, 3};
    EXPECT_FALSE(cell(&p, 5, 0)) << x;
  }
  for (double x : {356.5, 411.5}) {
    standAt(x, 3);
    p = {x, 7, 3};
    EXPECT_TRUE(cell(&p, 5, 0)) << x;
    EXPECT_EQ(p.z, 5.0) << x;
  }

  // Past z = 0 the player stands in no cell and nothing holds it.
  standAt(384, -1);
  p = {384, -30, -1};
  EXPECT_FALSE(cell(&p, 5, 0));
  EXPECT_EQ(p.y, -30.0);
}

TEST_F(Collision, OnAGridLineNoCellHolds) {
  standAt(1024.0, 1700);
  Point p{1024.0, -3, 1700, 0, -1, 0};
  EXPECT_FALSE(cell(&p, 5, 0));
  EXPECT_EQ(p.y, -3.0);
  // Zone 0 still contains that position.
  EXPECT_TRUE(zone(&p, 0, 0));
  EXPECT_EQ(p.y, 0.0);

  // Between zones 0 and 1 neither a cell nor a zone matches.
  standAt(900, 1536.0);
  p = {900, -3, 5000};
  EXPECT_FALSE(cell(&p, 5, 0));
  EXPECT_FALSE(zone(&p, 0, 0));
  EXPECT_EQ(p.z, 5000.0);
}

TEST_F(Collision, APointExactlyAtTheMarginIsNotMoved) {
  standAt(1240, 1752);
  Point p{1275, 7, 1700, 3, 0, 0};
  EXPECT_FALSE(cell(&p, 5, 0));
  EXPECT_EQ(p.x, 1275.0);
  EXPECT_EQ(p.vx, 3.0);
  // The same on every face of the cell, floor and ceiling included.
  p = {1100, 59, 1787, 1, 1, 1};
  EXPECT_FALSE(cell(&p, 5, 0));
  p = {1100, 5, 1541, 1, 1, 1};
  EXPECT_FALSE(cell(&p, 5, 0));
  EXPECT_EQ(p.z, 1541.0);
  // And for the zone box.
  p = {768, 0, 1792, 1, 1, 1};
  EXPECT_FALSE(zone(&p, 0, 0.75));
  EXPECT_EQ(p.vx, 1.0);
}

TEST_F(Collision, AFragmentBelowTheFloorBouncesBack) {
  standAt(1240, 1752);
  Point p{1100, -0.2, 1700, 0.1, -0.4, 0.2};
  EXPECT_TRUE(zone(&p, 0.0, 0.75));
  EXPECT_EQ(p.y, 0.0);
  EXPECT_DOUBLE_EQ(p.vy, 0.3);
  EXPECT_EQ(p.vx, 0.1);
  EXPECT_EQ(p.vz, 0.2);
}

TEST_F(Collision, TheZoneFollowsThePlayerNotThePoint) {
  Point p{1100, 10, 1700, 1, 0, 1};
  standAt(500, 1400);  // zone 1: x 0..1024, z 1280..1536
  EXPECT_TRUE(zone(&p, 0, 0.75));
  EXPECT_EQ(p.x, 1024.0);
  EXPECT_EQ(p.z, 1536.0);
  EXPECT_EQ(p.vx, -0.75);
  EXPECT_EQ(p.vz, -0.75);

  standAt(1240, 1752);  // back in zone 0, where the point now lies inside
  p = {1100, 10, 1700, 1, 0, 1};
  EXPECT_FALSE(zone(&p, 0, 0.75));

  // The door makes no exception for the zone: its face at z = 0 is whole.
  standAt(384, 100);
  p = {384, 10, -2};
  EXPECT_TRUE(zone(&p, 0, 0));
  EXPECT_EQ(p.z, 0.0);
}

TEST_F(Collision, OnlyOneTestPerAxisInTheirOrder) {
  // A margin wider than half the cell makes both tests of an axis hold; the
  // first in order wins and the other is skipped.
  standAt(900, 1100);  // cell 3: walls at x = 768 and x = 1024
  Point p{800, 30, 1100};
  EXPECT_TRUE(cell(&p, 200, 0));
  EXPECT_EQ(p.x, 968.0);         // the low edge first
  EXPECT_EQ(p.y, 64.0 - 200.0);  // the ceiling first

  standAt(1100, 1600);  // cell 0: walls at z = 1536 and z = 1792
  p = {1100, 7, 1600};
  EXPECT_TRUE(cell(&p, 200, 0));
  EXPECT_EQ(p.z, 1592.0);  // the high edge first

  // The zone tests the high face first on every axis.
  p = {1000, 30, 1600};
  EXPECT_TRUE(zone(&p, 300, 0));
  EXPECT_EQ(p.x, 980.0);
  EXPECT_EQ(p.y, -236.0);
  EXPECT_EQ(p.z, 1492.0);
}

TEST_F(Collision, TheShotsAliasedVelocityStaysZero) {
  standAt(1240, 1752);
  shot.fire_x = 1300;
  shot.fire_y = 10;
  shot.fire_z = 1700;
  EXPECT_TRUE(collideInZone(zoneAt(here()), &shot.fire_x, &shot.fire_y, &shot.fire_z, &player.ymove,
                            &player.ymove, &player.ymove, 0.0, 0.0));
  EXPECT_EQ(shot.fire_x, 1280.0);
  EXPECT_EQ(player.ymove, 0.0);
}

TEST_F(Collision, EachCellStopsAtItsWallsAndLetsThroughItsOpenings) {
  // Push a point one unit beyond the middle of every edge of every path cell
  // and compare with the walls the maze draws there.
  for (int i = 0; i < kPathCells; ++i) {
    const MazeCell& c = kMazeCells[i];
    const double cx = (c.x0() + c.x1()) / 2;
    const double cz = (c.z0() + c.z1()) / 2;
    standAt(cx, cz);
    const struct {
      double x, z;
      bool alongX;
      double line;
    } probes[] = {{c.x0() - 1, cz, false, c.x0()},
                  {c.x1() + 1, cz, false, c.x1()},
                  {cx + 50, c.z0() - 1, true, c.z0()},
                  {cx + 50, c.z1() + 1, true, c.z1()}};
    for (const auto& probe : probes) {
      bool wallThere = false;
      const double along = probe.alongX ? probe.x : probe.z;
      for (const MazeWall& w : kMazeWalls) {
        if (w.alongX == probe.alongX && w.line == probe.line && w.low < along && w.high > along)
          wallThere = true;
      }
      Point p{probe.x, 7, probe.z};
      EXPECT_EQ(cell(&p, 5, 0), wallThere) << "cell " << i << " at " << probe.x << ", " << probe.z;
      if (wallThere) {
        const double kept = probe.alongX ? p.z : p.x;
        EXPECT_EQ(std::abs(kept - probe.line), 5.0) << "cell " << i;
      }
    }
  }
}

TEST_F(Collision, AStepNeverCarriesThePlayerThroughAWall) {
  // Each step starts just clear of the margin and goes past the wall line.
  // "today" is what collideCell in the cell of the step's end alone gives.
  const struct {
    const char* what;
    double fromX, fromZ, toX, toZ, vx, vz;
    double x, z, keptVx, keptVz;
  } steps[] = {
      // Rock beyond the wall (today: no cell holds the player, it walks on).
      {"cell 0 into the rock at z 1536", 1165.26, 1541.48, 1166.5, 1535.92, 12, -55.6, 1166.5, 1541,
       12, 0},
      {"cell 3 into the rock at x 1024", 1019.5, 1100, 1024.5, 1101, 50, 10, 1019, 1101, 0, 10},
      {"cell 12 beside the door", 300, 5.5, 301, -0.5, 10, -60, 301, 5, 10, 0},
      // A path cell beyond the wall (today: held on the far side).
      {"cell 15 into cell 14", 100, 1018.5, 101, 1024.5, 10, 60, 101, 1019, 10, 0},
      {"cell 11 into cell 8", 506.5, 400, 512.5, 402, 60, 20, 507, 402, 0, 20},
      {"cell 8 into cell 11", 517.5, 300, 511.5, 297, -60, -30, 517, 297, 0, -30},
      // Through two open sides past a corner of the rock at (512, 768): held
      // by the wall of the cell it passed through first.
      {"cell 6 past the corner, via cell 10", 513.65, 768.98, 509.17, 767.72, -44.8, -12.6, 509.17,
       773, -44.8, 0},
      {"cell 6 past the corner, via cell 7", 513.5, 769.5, 510.5, 765.5, -30, -40, 517, 765.5, 0,
       -40},
  };
  for (const auto& s : steps) {
    EXPECT_TRUE(stepMeetsWall({s.fromX, s.fromZ}, {s.toX, s.toZ})) << s.what;
    Point p{s.toX, 7, s.toZ, s.vx, 0, s.vz};
    EXPECT_TRUE(collideStep({s.fromX, s.fromZ}, &p.x, &p.y, &p.z, &p.vx, &p.vy, &p.vz, 5, 0))
        << s.what;
    EXPECT_EQ(p.x, s.x) << s.what;
    EXPECT_EQ(p.z, s.z) << s.what;
    EXPECT_EQ(p.vx, s.keptVx) << s.what;
    EXPECT_EQ(p.vz, s.keptVz) << s.what;
    EXPECT_FALSE(stepMeetsWall({s.fromX, s.fromZ}, {p.x, p.z})) << s.what;
  }
  // The door is no wall, but the step out through it is held on its line,
  // clear of its sides, where the exit is in reach; a next step along that
  // line stops short of the wall beside the door.
  const struct {
    double fromX, fromZ, toX, toZ, x;
  } outs[] = {{384, 4, 384, -1, 384}, {354, 4, 353, -3, 357}, {410, 2, 420, -4, 411}};
  for (const auto& s : outs) {
    Point out{s.toX, 7, s.toZ, 0, 0, -6};
    EXPECT_TRUE(
        collideStep({s.fromX, s.fromZ}, &out.x, &out.y, &out.z, &out.vx, &out.vy, &out.vz, 5, 0));
    EXPECT_NEAR(out.x, s.x, 1e-6) << s.fromX;
    EXPECT_EQ(out.z, 0.0) << s.fromX;
    EXPECT_EQ(out.vz, 0.0) << s.fromX;
    EXPECT_TRUE(maze_geometry::onThePath({out.x, out.z}, 5)) << out.x << ", " << out.z;
    EXPECT_FALSE(maze_geometry::wayMeetsWall({s.fromX, s.fromZ}, {out.x, out.z})) << s.fromX;
    for (const double along : {-60.0, 60.0}) {
      const Standpoint door{out.x, out.z};
      Point next{door.x + along, 7, 0, along, 0, 0};
      collideStep(door, &next.x, &next.y, &next.z, &next.vx, &next.vy, &next.vz, 5, 0);
      EXPECT_TRUE(maze_geometry::onThePath({next.x, next.z}, 5)) << next.x << ", " << next.z;
      EXPECT_FALSE(maze_geometry::wayMeetsWall(door, {next.x, next.z})) << next.x;
    }
  }
  // A long step whose slide along the walls would leave the path (it once
  // slid out through the door, 494 units from its first wall) is held where
  // its straight way first meets a wall: within the margin of it.
  {
    const Standpoint from{271.5, 474.7}, to{1219.6, -350.5};
    double nearest = 1e300;  // how far along the way its first wall stands
    for (const MazeWall& w : kMazeWalls) {
      if (w.door) continue;
      const Standpoint a = maze_geometry::wallStart(w), b = maze_geometry::wallEnd(w);
      if (!maze_geometry::segmentsMeet(from, to, a, b)) continue;
      const double t =
          w.alongX ? (w.line - from.z) / (to.z - from.z) : (w.line - from.x) / (to.x - from.x);
      nearest = std::min(nearest, t);
    }
    ASSERT_LT(nearest, 1.0);
    const Standpoint meets{from.x + nearest * (to.x - from.x), from.z + nearest * (to.z - from.z)};
    Point p{to.x, 7, to.z, 3, 0, 3};
    EXPECT_TRUE(collideStep(from, &p.x, &p.y, &p.z, &p.vx, &p.vy, &p.vz, 5, 0));
    EXPECT_LE(std::hypot(p.x - meets.x, p.z - meets.z), 5 * std::sqrt(2.0) + 1e-9)
        << from.x << ", " << from.z << " ended at " << p.x << ", " << p.z;
    EXPECT_TRUE(maze_geometry::onThePath({p.x, p.z}, 5));
    EXPECT_FALSE(maze_geometry::wayMeetsWall(from, {p.x, p.z}));
  }
}

TEST_F(Collision, AStepToNoPlaceIsNotTaken) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const double targets[][2] = {{kNaN, 300}, {300, kNaN},  {kNaN, kNaN},
                               {kInf, 300}, {300, -kInf}, {-kInf, kInf}};
  for (const auto& t : targets) {
    Point p{t[0], 7, t[1], kNaN, 0, kInf};
    EXPECT_TRUE(collideStep({300, 400}, &p.x, &p.y, &p.z, &p.vx, &p.vy, &p.vz, 5, 0));
    EXPECT_EQ(p.x, 300.0);
    EXPECT_EQ(p.z, 400.0);
    EXPECT_EQ(p.vx, 0.0);
    EXPECT_EQ(p.vz, 0.0);
  }
}

TEST_F(Collision, AStepOnThePathIsTestedInTheCellItEndsIn) {
  // Random steps from every cell, short ones (a frame's walk) and long ones up
  // to 2,000 units: those that end on the path with no wall in the way come
  // out as collideCell leaves them, bit for bit; every step ends on the path,
  // clear of the walls, with no wall between its start and its end (judged
  // by the maze's own geometry, not by the wall test).
  uint64_t seed = 12345;
  auto uniform = [&seed](double lo, double hi) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return lo + (hi - lo) * static_cast<double>(seed >> 11) / 9007199254740992.0;
  };
  int held = 0, longSteps = 0;
  for (int n = 0; n < 300000; ++n) {
    const MazeCell& c = kMazeCells[n % kPathCells];
    Point start{uniform(c.x0() + 1, c.x1() - 1), 7, uniform(c.z0() + 1, c.z1() - 1)};
    standAt(start.x, start.z);
    cell(&start, 5, 0);  // a start clear of its own cell's walls
    const Standpoint from{start.x, start.z};
    double toX, toZ;
    if (n % 3 == 2) {
      const double length = uniform(0, 2000), angle = uniform(0, 6.283185307179586);
      toX = from.x + length * std::cos(angle);
      toZ = from.z + length * std::sin(angle);
      ++longSteps;
    } else {
      const double reach = n % 3 == 0 ? 12 : 7;
      toX = from.x + uniform(-reach, reach);
      toZ = from.z + uniform(-reach, reach);
    }
    Point p{toX, 7, toZ, 1, 0, 1};
    collideStep(from, &p.x, &p.y, &p.z, &p.vx, &p.vy, &p.vz, 5, 0);
    const auto where = [&] {
      return ::testing::Message() << from.x << ", " << from.z << " to " << toX << ", " << toZ
                                  << " ended at " << p.x << ", " << p.z;
    };
    ASSERT_TRUE(maze_geometry::onThePath({p.x, p.z}, 5 - 1e-9)) << where();
    ASSERT_FALSE(maze_geometry::wayMeetsWall(from, {p.x, p.z})) << where();
    bool onPath = false;
    for (const MazeCell& any : kMazeCells)
      onPath = onPath || maze_geometry::inCell({toX, toZ}, any);
    if (onPath && !maze_geometry::wayMeetsWall(from, {toX, toZ})) {
      Point today{toX, 7, toZ, 1, 0, 1};
      collideCell({toX, toZ}, &today.x, &today.y, &today.z, &today.vx, &today.vy, &today.vz, 5, 0);
      ASSERT_TRUE(p.x == today.x && p.z == today.z && p.vx == today.vx && p.vz == today.vz)
          << where();
    } else {
      ++held;
    }
  }
  EXPECT_GT(held, 50000);
  EXPECT_EQ(longSteps, 100000);
}

TEST_F(Collision, NoZoneAndAPointWithinItsZoneMoveNothing) {
  // Standpoints inside zones, on a bound (no zone) and outside; points inside,
  // past each face, on a face, and NaN; with and without margin and bounce.
  const Standpoint standpoints[] = {{1240, 1752}, {1000, 1408}, {800, 1000}, {900, 1536},
                                    {768, 1600},  {-10, 5},     {1100, 1700}};
  const double nan = std::nan("");
  const Point points[] = {
      {1000, 10, 1600, 1, 2, 3},       {1300, 10, 1600, 1, 2, 3},
      {700, 70, 1400, -1, 2, -3},      {900, -1, 1800, 0, -0.0, 4},
      {1280, 0, 1536, 1, 1, 1},        {nan, 10, 1600, 1, 1, 1},
      {1000, nan, nan, 1, 1, 1},       {-5000, 5000, -5000, 7, 8, 9},
      {768, 64, 1792, 1, 1, 1},        {1280, 0, 1536, -0.0, 0, 0},
      {1279.9, 63.9, 1791.9, 1, 2, 3}, {768, 64.0000001, 1600, 1, 1, 1},
  };
  for (const Standpoint& s : standpoints) {
    const int found = zoneAt(s);
    EXPECT_GE(found, -1);
    EXPECT_LT(found, kZones);
    for (const Point& start : points) {
      for (const double margin : {0.0, 5.0}) {
        for (const double bounce : {0.0, 0.75}) {
          Point a = start;
          const bool moved =
              collideInZone(found, &a.x, &a.y, &a.z, &a.vx, &a.vy, &a.vz, margin, bounce);
          // No zone moves nothing; nor does a zone its box holds without a
          // margin: the shortcut of the march and the fragments.
          if (found < 0 || (margin == 0 && withinZone(found, start.x, start.y, start.z))) {
            EXPECT_FALSE(moved);
            EXPECT_EQ(std::memcmp(&a, &start, sizeof a), 0)
                << "standing at " << s.x << ", " << s.z << "; point " << start.x << ", " << start.y
                << ", " << start.z;
          }
        }
      }
    }
  }
  EXPECT_EQ(zoneAt({900, 1536}), -1);  // a bound between two zones
  EXPECT_EQ(zoneAt({-10, 5}), -1);     // outside the maze
  EXPECT_EQ(zoneAt({1240, 1752}), 0);
}
