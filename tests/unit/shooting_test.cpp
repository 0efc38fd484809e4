// The rifle: the hit test's angles and rules, firing and the march of the ray.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "game/shooting.h"
#include "game/state.h"
#include "support/test_platform.h"
#include "world/particles.h"

namespace {
class Shooting : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGameState();
    resetParticles();
    testPlatform.clear();
  }
  void TearDown() override { resetGameState(); }

  // Stands the player at (x, z) facing `heading`, as a frame leaves the view.
  static void standAt(double x, double z, double heading) {
    player.xtrans2 = x;
    player.ztrans2 = z;
    view.camX = -x;
    view.camZ = -z;
    view.heading = heading;
  }
};
}  // namespace

TEST_F(Shooting, StrikesWhenThePreviousRayEndedBeyondTheEnemy) {
  // Player at (1000, 1600), enemy on the line towards (900, 1550), ray end
  // further along that line.
  EXPECT_TRUE(shotStrikes(900.0f, 1550.0f, 800.0, 1500.0, 1000.0, 1600.0));
  // Ray end on the near side: the angles agree but the enemy is not between.
  EXPECT_FALSE(shotStrikes(900.0f, 1550.0f, 950.0, 1575.0, 1000.0, 1600.0));
  // Ray end off to one side by much more than ten degrees.
  EXPECT_FALSE(shotStrikes(900.0f, 1550.0f, 800.0, 1700.0, 1000.0, 1600.0));
}

TEST_F(Shooting, TenDegreeToleranceAndFoldedDirections) {
  const HitAngles a = hitAngles(900.0f, 1550.0f, 800.0, 1500.0, 1000.0, 1600.0);
  EXPECT_NEAR(a.D, 0.0, 0.01);
  EXPECT_DOUBLE_EQ(a.D, a.H - a.P);
  // Nearly straight along z: atan folds one direction to about +90 degrees
  // and the other to about -90, and that counts as a hit with no
  // betweenness test at all.
  const HitAngles folded = hitAngles(500.0f, 500.0f, 500.0, 100.0, 499.0, 800.0);
  EXPECT_GT(std::fabs(folded.D), 2.8809);
  EXPECT_TRUE(shotStrikes(500.0f, 500.0f, 500.0, 100.0, 499.0, 800.0));
}

TEST_F(Shooting, ScoresOnlyOnTheThirdHit) {
  Enemy e;
  e.x = 900.0f;
  e.z = 1550.0f;
  standAt(1000, 1600, 0);
  shot.fire_x = 800;
  shot.fire_z = 1500;
  hitTestEnemy(&e);  // no press, no hit
  EXPECT_EQ(e.hit, 0);
  input.fireRequest = 1;
  hitTestEnemy(&e);
  hitTestEnemy(&e);
  EXPECT_EQ(e.hit, 2);
  EXPECT_EQ(e.dead, 0);
  EXPECT_EQ(result.point, 0);
  hitTestEnemy(&e);
  EXPECT_EQ(e.hit, 3);
  EXPECT_EQ(e.dead, 1);
  EXPECT_EQ(result.point, 10);
}

TEST_F(Shooting, FiringPlaysTheSoundAndStartsARayAtTheMuzzle) {
  standAt(896, 1700, 90);  // facing -x
  player.xtrans2 = 890;    // the wall test moved the player: the muzzle stays
  fireIfRequested();
  EXPECT_TRUE(testPlatform.sounds.empty());
  EXPECT_EQ(shot.shotDone, 1);

  input.fireRequest = 1;
  input.pitch = 45;
  fireIfRequested();
  ASSERT_EQ(testPlatform.sounds.size(), 1u);
  EXPECT_EQ(testPlatform.sounds[0], "Data/rifle.WAV");
  EXPECT_EQ(input.fireRequest, 0);
  EXPECT_EQ(shot.shotDone, 0);
  EXPECT_EQ(shot.burstSlot, 1);  // the first shot fills slot 1
  EXPECT_EQ(shot.fire_x, 896.0);
  EXPECT_EQ(shot.fire_y, 10.0);
  EXPECT_EQ(shot.fire_z, 1700.0);
  EXPECT_NEAR(shot.fire_dx, -0.2, 1e-9);
  EXPECT_NEAR(shot.fire_dz, 0.0, 1e-8);
  EXPECT_NEAR(shot.fire_dy, -0.2, 1e-8);  // looking down
  EXPECT_NEAR(std::hypot(shot.fire_dx, shot.fire_dz), 0.2, 1e-12);
}

TEST_F(Shooting, BurstSlotWrapsAfterFortyFour) {
  for (int shotNumber = 1; shotNumber <= 45; ++shotNumber) {
    input.fireRequest = 1;
    fireIfRequested();
    EXPECT_EQ(shot.burstSlot, shotNumber % 45);
  }
  EXPECT_EQ(testPlatform.sounds.size(), 45u);
}

TEST_F(Shooting, RayFromCellOneTowardsCellTwoStopsInMidAir) {
  standAt(896, 1700, 0);  // cell 1, facing -z into cell 2 through the open edge
  input.fireRequest = 1;
  fireIfRequested();
  marchShot();
  EXPECT_EQ(shot.shotDone, 1);
  EXPECT_EQ(shot.fire_z, 1536.0);  // the face of the player's zone
  EXPECT_NEAR(shot.fire_x, 896.0, 1e-9);
  EXPECT_EQ(shot.fire_y, 10.0);
  EXPECT_EQ(shot.smokeActive, 1);
  EXPECT_EQ(particles[0][1].life, 1.0);
  EXPECT_EQ(particles[0][1].z, 1536.0);
  EXPECT_EQ(player.ymove, 0.0);
}

TEST_F(Shooting, RayIntoAWallLeavesABurstThere) {
  standAt(1240, 1752, 270);  // the start, facing +x: the wall at x = 1280
  input.fireRequest = 1;
  fireIfRequested();
  marchShot();
  EXPECT_EQ(shot.fire_x, 1280.0);
  EXPECT_EQ(shot.smokeActive, 1);
  // A finished ray is not marched again.
  const double x = shot.fire_x;
  marchShot();
  EXPECT_EQ(shot.fire_x, x);
}

TEST_F(Shooting, RayWithNothingToStrikeGivesUpWithoutSmoke) {
  standAt(900, 1536, 90);  // on the bound between two zones: no zone holds the ray
  input.fireRequest = 1;
  fireIfRequested();
  marchShot();
  EXPECT_EQ(shot.shotDone, 1);
  EXPECT_EQ(shot.smokeActive, 0);
  EXPECT_EQ(particles[0][1].life, 0.0);
  // 10001 steps of 0.2 units.
  EXPECT_NEAR(900 - shot.fire_x, 10001 * 0.2, 1e-6);
}

namespace {
// The rifle's march as it reads plainly: every 0.2-unit step tested against
// the player's zone looked up afresh at every step.
struct PlainMarch {
  double x, y, z, ymove;
  int32_t done, smoke;
};
PlainMarch plainMarch() {
  PlainMarch m = {shot.fire_x, shot.fire_y, shot.fire_z, player.ymove, shot.shotDone, 0};
  int32_t steps = 0;
  while (!m.done) {
    ++steps;
    m.x += shot.fire_dx;
    m.y += shot.fire_dy;
    m.z += shot.fire_dz;
    if (collideInZone(zoneAt({player.xtrans2, player.ztrans2}), &m.x, &m.y, &m.z, &m.ymove,
                      &m.ymove, &m.ymove, 0.0, 0.0)) {
      m.done = 1;
      m.smoke = 1;
    } else if (steps > kMaxShotSteps) {
      m.done = 1;
    }
  }
  return m;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
}  // namespace

TEST_F(Shooting, MarchWithItsZoneLookedUpOnceEndsWhereThePlainMarchEnds) {
  // Standpoints in several zones, on a zone bound and outside the maze, the
  // ray level, up, down and nearly along an axis; the player's ymove as the
  // bounce leaves it (0 turned to -0) is part of the state.
  struct Case {
    double x, z, heading, pitch, ymove;
  };
  const Case cases[] = {
      {1240, 1752, 270, 0, 0},     {1000, 1408, 90, 0, 0},  {896, 1700, 0, -20, 0.5},
      {896, 1700, 123.4, 35, -0},  {300, 1400, 181, 89, 0}, {900, 1536, 90, 0, 0},
      {1000, 1000, 45.5, -89, 2},  {-50, -50, 10, 0, 0},    {1100, 1600, 359.99, 1e-9, 0},
      {500, 1300, 270.0001, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "standing at " << c.x << ", " << c.z << " heading "
                                    << c.heading << " pitch " << c.pitch);
    resetGameState();
    resetParticles();
    standAt(c.x, c.z, c.heading);
    input.pitch = c.pitch;
    player.ymove = c.ymove;
    input.fireRequest = 1;
    fireIfRequested();
    const PlainMarch plain = plainMarch();
    marchShot();
    EXPECT_TRUE(sameBits(shot.fire_x, plain.x));
    EXPECT_TRUE(sameBits(shot.fire_y, plain.y));
    EXPECT_TRUE(sameBits(shot.fire_z, plain.z));
    EXPECT_TRUE(sameBits(player.ymove, plain.ymove));
    EXPECT_EQ(shot.shotDone, plain.done);
    EXPECT_EQ(shot.smokeActive, plain.smoke);
  }
}
