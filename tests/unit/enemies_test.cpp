// The enemies' rules: zones, chase, bearing, facing and the fall.
#include <gtest/gtest.h>

#include <cmath>

#include "game/enemies.h"
#include "game/state.h"
#include "world/maze_layout.h"

namespace {
const EnemyConfig& first = kEnemyConfig[0];
const EnemyConfig& second = kEnemyConfig[1];
}  // namespace

TEST(EnemyZone, BoundsAreExclusive) {
  EXPECT_TRUE(playerInZone(first, 1240, 1752));  // the start point
  EXPECT_TRUE(playerInZone(first, 768.001, 1536.001));
  EXPECT_FALSE(playerInZone(first, 768, 1600));
  EXPECT_FALSE(playerInZone(first, 1280, 1600));
  EXPECT_FALSE(playerInZone(first, 1000, 1536));
  EXPECT_FALSE(playerInZone(first, 1000, 1792));
}

TEST(EnemyZone, SharedBoundBelongsToNeither) {
  // z = 1536 divides the first and the second zone.
  EXPECT_FALSE(playerInZone(first, 900, 1536));
  EXPECT_FALSE(playerInZone(second, 900, 1536));
  EXPECT_TRUE(playerInZone(first, 900, 1536.5));
  EXPECT_TRUE(playerInZone(second, 900, 1535.5));
}

TEST(EnemyZone, ZonesDoNotOverlap) {
  // Sample the floor: no point hunts with two enemies at once.
  for (double x = 0.5; x < 1280; x += 16) {
    for (double z = 0.5; z < 1792; z += 16) {
      int hunting = 0;
      for (const EnemyConfig& c : kEnemyConfig) hunting += playerInZone(c, x, z) ? 1 : 0;
      ASSERT_LE(hunting, 1) << x << ", " << z;
    }
  }
}

TEST(EnemyZone, EachGuardsThePathCellsOfTheZoneItStartsIn) {
  // An enemy's rectangle may differ from its maze zone only where no path
  // cell lies: the player stands in one or the other alike.
  auto inside = [](double x, double z, double x0, double x1, double z0, double z1) {
    return x > x0 && x < x1 && z > z0 && z < z1;
  };
  for (int e = 0; e < kEnemyCount; ++e) {
    const EnemyConfig& c = kEnemyConfig[e];
    int zone = -1;
    for (int i = 0; i < kZones && zone < 0; ++i) {
      const MazeZone& m = kMazeZones[i];
      if (inside(c.spawnX, c.spawnZ, m.x0, m.x1, m.z0, m.z1)) zone = i;
    }
    ASSERT_GE(zone, 0) << "enemy " << e << " starts outside every zone";
    const MazeZone& m = kMazeZones[zone];
    for (const MazeCell& cell : kMazeCells) {
      const double x = (cell.x0() + cell.x1()) / 2;
      const double z = (cell.z0() + cell.z1()) / 2;
      EXPECT_EQ(playerInZone(c, x, z), inside(x, z, m.x0, m.x1, m.z0, m.z1))
          << "enemy " << e << ", cell (" << cell.col << ", " << cell.row << ")";
    }
  }
}

TEST(EnemyChase, StopsWithinFifteenUnitsInclusive) {
  EXPECT_EQ(chaseSpeed(0.7f, 15.0), 0.0f);
  EXPECT_EQ(chaseSpeed(-0.7f, -15.0), 0.0f);
  EXPECT_EQ(chaseSpeed(0.7f, 0.0), 0.0f);
  EXPECT_EQ(chaseSpeed(0.0f, 15.0001), 0.001f);
  EXPECT_EQ(chaseSpeed(0.0f, -15.0001), -0.001f);
}

TEST(EnemyChase, SpeedChangesTowardsThePlayerWithoutLimit) {
  // The speed is stored in single precision after each double addition.
  float speed = -0.5f;
  for (int frame = 0; frame < 3000; ++frame) speed = chaseSpeed(speed, 100.0);
  EXPECT_NEAR(speed, 2.5, 0.01);
  float back = speed;
  back = chaseSpeed(back, -100.0);
  EXPECT_EQ(back, static_cast<float>(static_cast<double>(speed) - 0.001));
}

TEST(EnemyBearing, IsDefinedWhenTheXDifferenceIsZero) {
  // The half unit in the divisor keeps the slope finite.
  const float a = enemyBearing(500.0f, 500.0f, 500.0, 600.0);
  EXPECT_NEAR(a, std::atan(100.0 / 0.5) / kDegToRad, 1e-4);
  EXPECT_LT(a, 90.0f);
  EXPECT_NEAR(enemyBearing(0.0f, 0.0f, 99.5, 100.0), 45.0, 1e-4);
  EXPECT_NEAR(enemyBearing(0.0f, 0.0f, 99.5, -100.0), -45.0, 1e-4);
}

// The facing table: one case per band and per edge of each row.
struct FacingCase {
  double dx, dz;
  float a;
  float expected;
};

TEST(EnemyFacing, RowTowardsLowXAndLowZ) {
  const FacingCase cases[] = {
      {-1, -1, -40, 135}, {-1, -1, 14.99f, 135}, {-1, -1, 15, 10}, {-1, -1, 20, 110},
      {-1, -1, 30, 10},   {-1, -1, 40, 85},      {-1, -1, 45, 10}, {-1, -1, 50, 60},
      {-1, -1, 60, 10},   {-1, -1, 70, 35},      {-1, -1, 75, 10}, {-1, -1, 80, 10},
  };
  for (const FacingCase& c : cases) {
    EXPECT_EQ(facingMultiplier(c.dx, c.dz, c.a), c.expected) << "a = " << c.a;
  }
}

TEST(EnemyFacing, RowTowardsLowXAndHighZ) {
  const FacingCase cases[] = {
      {-1, 1, 40, -165}, {-1, 1, -14.99f, -165}, {-1, 1, -15, -40}, {-1, 1, -20, -140},
      {-1, 1, -30, -40}, {-1, 1, -40, -115},     {-1, 1, -45, -40}, {-1, 1, -50, -90},
      {-1, 1, -60, -40}, {-1, 1, -70, -65},      {-1, 1, -75, -40}, {-1, 1, -89, -40},
  };
  for (const FacingCase& c : cases) {
    EXPECT_EQ(facingMultiplier(c.dx, c.dz, c.a), c.expected) << "a = " << c.a;
  }
}

TEST(EnemyFacing, RowTowardsHighXAndLowZ) {
  const FacingCase cases[] = {
      {1, -1, 10, 20},   {1, -1, -15, 140}, {1, -1, -16, 40},  {1, -1, -30, 140},
      {1, -1, -31, 60},  {1, -1, -45, 140}, {1, -1, -46, 80},  {1, -1, -60, 140},
      {1, -1, -61, 100}, {1, -1, -75, 140}, {1, -1, -80, 140},
  };
  for (const FacingCase& c : cases) {
    EXPECT_EQ(facingMultiplier(c.dx, c.dz, c.a), c.expected) << "a = " << c.a;
  }
}

TEST(EnemyFacing, EveryOtherCaseUsesTheFormula) {
  const float a = 30.0f;
  const float formula = a * -165.0f / 90.0f - 15.0f;  // -70
  EXPECT_FLOAT_EQ(formula, -70.0f);
  EXPECT_EQ(facingMultiplier(1, 1, a), formula);   // dx > 0, dz > 0
  EXPECT_EQ(facingMultiplier(1, 0, a), formula);   // dx > 0, dz = 0
  EXPECT_EQ(facingMultiplier(0, -1, a), formula);  // dx = 0
  EXPECT_EQ(facingMultiplier(0, 1, a), formula);
  EXPECT_EQ(facingMultiplier(-1, 0, a), formula);  // dx < 0, dz = 0
  EXPECT_FLOAT_EQ(facingMultiplier(5, 5, 0), -15.0f);
  EXPECT_FLOAT_EQ(facingMultiplier(5, 5, -90), 150.0f);
}

TEST(EnemyFall, AcceleratesAndStopsPastEightyNineDegrees) {
  Enemy e;
  advanceFall(&e);
  EXPECT_FLOAT_EQ(e.fall, 0.1f);
  for (int frame = 2; frame <= 41; ++frame) advanceFall(&e);
  EXPECT_LT(e.fall, 89.0f);
  EXPECT_NEAR(e.fall, 86.1, 0.01);
  advanceFall(&e);  // the 42nd drawn frame
  EXPECT_NEAR(e.fall, 90.3, 0.01);
  const float settled = e.fall;
  for (int frame = 0; frame < 100; ++frame) advanceFall(&e);
  EXPECT_EQ(e.fall, settled);
  EXPECT_EQ(e.fallSpeed, 0.0f);
}
