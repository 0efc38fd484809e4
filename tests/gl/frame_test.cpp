// Frames of play: the enemies' rules as the frame runs them, and the rifle.
#include <gtest/gtest.h>

#include "game/enemies.h"
#include "game/state.h"
#include "support/game_scene.h"
#include "support/test_platform.h"
#include "world/particles.h"

using scene::GameScene;

namespace {
class Frames : public GameScene {
 protected:
  // Runs only the enemy step under the camera, as the frame does.
  static void enemyStep() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    updateEnemies();
  }

  static void place(int enemy, double x, double z) {
    enemies[enemy].x = static_cast<float>(x);
    enemies[enemy].z = static_cast<float>(z);
  }
};
}  // namespace

TEST_F(Frames, CatchSquareIsStrictOnBothAxes) {
  const double px = player.xtrans2;
  const double pz = player.ztrans2;
  place(0, px - 15, pz - 14.9);  // exactly 15 on x: not caught, and no chase on x
  enemyStep();
  EXPECT_EQ(result.gameOver, 0);
  EXPECT_EQ(enemies[0].speedX, 0.0f);
  place(0, px + 14.9, pz + 15);
  enemyStep();
  EXPECT_EQ(result.gameOver, 0);
  place(0, px + 14.9, pz - 14.9);  // a corner of the square, not a circle
  enemyStep();
  EXPECT_EQ(result.gameOver, 1);
}

TEST_F(Frames, SpeedIsKeptAcrossARespawnAndHitsAreForgotten) {
  enemies[0].speedX = 0.25f;
  enemies[0].speedZ = -0.5f;
  enemies[0].hit = 2;
  place(0, 1100, 1600);
  player.xtrans2 = 896;  // cell 3: outside the first enemy's zone
  player.ztrans2 = 1152;
  enemyStep();
  EXPECT_EQ(enemies[0].inZone, 0);
  EXPECT_EQ(enemies[0].x, 1044.0f);
  EXPECT_EQ(enemies[0].z, 1556.0f);
  EXPECT_EQ(enemies[0].hit, 0);
  EXPECT_EQ(enemies[0].speedX, 0.25f);
  EXPECT_EQ(enemies[0].speedZ, -0.5f);

  player.xtrans2 = 1240;  // back at the start
  player.ztrans2 = 1752;
  enemyStep();
  EXPECT_EQ(enemies[0].inZone, 1);
  const float speedX = static_cast<float>(0.25 + 0.001);
  const float speedZ = static_cast<float>(-0.5f + 0.001);
  EXPECT_EQ(enemies[0].speedX, speedX);
  EXPECT_EQ(enemies[0].speedZ, speedZ);
  EXPECT_EQ(enemies[0].x, 1044.0f + speedX);
  EXPECT_EQ(enemies[0].z, 1556.0f + speedZ);
}

TEST_F(Frames, EnemyStopsDeadWithinTheBandOnOneAxis) {
  place(0, player.xtrans2 - 10, player.ztrans2 - 100);
  enemies[0].speedX = 0.3f;
  enemies[0].speedZ = 0.3f;
  const float x = enemies[0].x;
  const float z = enemies[0].z;
  enemyStep();
  EXPECT_EQ(enemies[0].speedX, 0.0f);
  EXPECT_EQ(enemies[0].x, x);
  EXPECT_EQ(enemies[0].speedZ, static_cast<float>(0.3f + 0.001));
  EXPECT_EQ(enemies[0].z, z + enemies[0].speedZ);
}

TEST_F(Frames, PlayerOnAZoneBoundIsNotHunted) {
  player.xtrans2 = 768;  // the first zone's low x bound
  player.ztrans2 = 1600;
  place(0, 1000, 1600);
  enemyStep();
  EXPECT_EQ(enemies[0].inZone, 0);
  EXPECT_EQ(enemies[0].x, 1044.0f);  // back on its post
  for (const Enemy& e : enemies) EXPECT_EQ(e.inZone, 0);
}

TEST_F(Frames, DeadEnemyFallsOnlyWhileDrawn) {
  enemies[0].dead = 1;
  enemies[0].hit = 3;
  place(0, 1100, 1650);
  player.xtrans2 = 896;  // outside its zone: not drawn, not reset
  player.ztrans2 = 1152;
  for (int i = 0; i < 10; ++i) enemyStep();
  EXPECT_EQ(enemies[0].fall, 0.0f);
  EXPECT_EQ(enemies[0].hit, 3);
  EXPECT_EQ(enemies[0].x, 1100.0f);

  player.xtrans2 = 1240;
  player.ztrans2 = 1752;
  for (int i = 0; i < 41; ++i) enemyStep();
  EXPECT_LT(enemies[0].fall, 89.0f);
  enemyStep();  // the 42nd drawn frame
  EXPECT_NEAR(enemies[0].fall, 90.3, 0.01);
  const float settled = enemies[0].fall;
  for (int i = 0; i < 20; ++i) enemyStep();
  EXPECT_EQ(enemies[0].fall, settled);
  EXPECT_EQ(enemies[0].x, 1100.0f);  // the dead never move
  EXPECT_EQ(result.gameOver, 0);
}

TEST_F(Frames, EachEnemyKeepsItsTransformsToItself) {
  GLdouble before[16];
  GLdouble after[16];
  enemies[0].dead = 1;
  enemies[0].hit = 3;
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotated(30, 0, 1, 0);
  glTranslated(-1240, -kEyeHeight, -1752);
  glGetDoublev(GL_MODELVIEW_MATRIX, before);
  updateEnemies();
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]) << i;
  enemies[0].dead = 0;
  enemies[0].hit = 0;
  updateEnemies();
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]) << i;
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Frames, PressWithNoHuntingEnemyStillFires) {
  player.xtrans2 = 896;  // cell 3, in no enemy's zone
  player.ztrans2 = 1152;
  input.mouseYaw = 270;  // facing +x: the wall at x = 1024
  input.fireRequest = 1;
  step();
  for (const Enemy& e : enemies) EXPECT_EQ(e.inZone, 0);
  ASSERT_EQ(testPlatform.sounds.size(), 1u);
  EXPECT_EQ(testPlatform.sounds[0], "Data/rifle.WAV");
  EXPECT_EQ(input.fireRequest, 0);
  EXPECT_EQ(shot.burstSlot, 1);
  EXPECT_EQ(shot.shotDone, 1);
  EXPECT_EQ(shot.fire_x, 1024.0);
  EXPECT_NEAR(shot.fire_z, 1152.0, 1e-4);
  EXPECT_EQ(shot.smokeActive, 1);
}

// (What the third hit does, the kill and the score, is the hit test's own rule.)
TEST_F(Frames, EachPressAfterTheFirstHitsAndEveryPressIsHeard) {
  input.mouseYaw = 45;  // from the start straight at the first enemy
  for (int press = 1; press <= 5; ++press) {
    input.fireRequest = 1;
    step();
    // The first press has no earlier ray beyond the enemy to test against.
    const int32_t hits = press - 1 < 3 ? press - 1 : 3;
    EXPECT_EQ(enemies[0].hit, hits) << "press " << press;
  }
  EXPECT_EQ(testPlatform.sounds.size(), 5u);
}

TEST_F(Frames, HitsAreForgottenWhenThePlayerLeavesTheZone) {
  input.mouseYaw = 45;
  for (int press = 0; press < 3; ++press) {
    input.fireRequest = 1;
    step();
  }
  EXPECT_EQ(enemies[0].hit, 2);
  player.xtrans2 = 896;  // out to cell 3, shooting there, and back
  player.ztrans2 = 1152;
  input.fireRequest = 1;
  step();
  EXPECT_EQ(enemies[0].hit, 0);
  player.xtrans2 = 1240;
  player.ztrans2 = 1752;
  for (int press = 0; press < 3; ++press) {
    input.fireRequest = 1;
    step();
  }
  // The ray shot in cell 3 ended far off the enemy's line: the first press
  // back only lays a new ray, the next two hit.
  EXPECT_EQ(enemies[0].hit, 2);
  EXPECT_EQ(enemies[0].dead, 0);
  input.fireRequest = 1;
  step();
  EXPECT_EQ(enemies[0].dead, 1);
  EXPECT_EQ(result.point, 10);
}

TEST_F(Frames, NoSmokeBeforeTheFirstWallHit) {
  for (int i = 0; i < 5; ++i) step();
  EXPECT_EQ(shot.smokeActive, 0);
  for (int i = 0; i < kBursts; ++i) EXPECT_EQ(particles[0][i].life, 0.0);
}

TEST_F(Frames, AfterTheEndClicksChangeNothing) {
  result.gameWon = 1;
  player.xmove = 10;
  input.fireRequest = 1;
  input.turnSpeed = 3;
  const Enemy firstBefore = enemies[0];
  for (int i = 0; i < 3; ++i) step();
  EXPECT_EQ(input.fireRequest, 1);
  EXPECT_TRUE(testPlatform.sounds.empty());
  EXPECT_EQ(shot.burstSlot, 0);
  EXPECT_EQ(player.xtrans2, 1240.0);
  EXPECT_EQ(player.xmove, 10.0);
  EXPECT_EQ(view.keyYaw, 0.0);
  EXPECT_EQ(enemies[0].x, firstBefore.x);
  EXPECT_EQ(enemies[0].inZone, 0);
}
