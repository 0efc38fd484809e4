// The wall tests: the player held in its path cell, points confined to its zone.
#include <gtest/gtest.h>

#include "game/state.h"
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
  return collideZone(here(), &p->x, &p->y, &p->z, &p->vx, &p->vy, &p->vz, margin, bounce);
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
  EXPECT_TRUE(collideCell(here(), &player.xtrans2, &player.ytrans2, &player.ztrans2,
                          &player.xmove, &player.ymove, &player.zmove, 5.0, 0.0));
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
  EXPECT_EQ(p.x, 968.0);  // the low edge first
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
  EXPECT_TRUE(collideZone(here(), &shot.fire_x, &shot.fire_y, &shot.fire_z, &player.ymove,
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
    } probes[] = {{c.x0() - 1, cz, false, c.x0()}, {c.x1() + 1, cz, false, c.x1()},
                  {cx + 50, c.z0() - 1, true, c.z0()}, {cx + 50, c.z1() + 1, true, c.z1()}};
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
