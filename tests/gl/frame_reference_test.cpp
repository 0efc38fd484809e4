// Whole frames of the game compared with committed pictures: the start view,
// a smoke burst on a wall and the read-outs, drawn straight by GL and through
// the game's GL layer. (The two end screens are compared at the end of the
// playthroughs.) SHOOTER_WRITE_FRAMES=1 rewrites the pictures.
#include <gtest/gtest.h>

#include "game/state.h"
#include "platform/timer.h"
#include "support/game_scene.h"
#include "support/reference_image.h"
#include "support/test_platform.h"

using scene::Frame;
using scene::GameScene;
using scene::isRed;
using scene::lineBox;

namespace {
class ReferenceFrames : public scene::OnBothPaths<GameScene> {};
INSTANTIATE_TEST_SUITE_P(Gl, ReferenceFrames, scene::bothPaths(), scene::pathName);
}  // namespace

TEST_P(ReferenceFrames, StartViewWithTheFirstEnemyHunting) {
  input.mouseYaw = 45;  // facing the first enemy down the corridor
  const Frame f = frame();
  EXPECT_EQ(enemies[0].inZone, 1);
  EXPECT_GT(f.count(lineBox(150, 230, 0, 6), isRed), 50);  // "ALERT!"
  expectMatchesReference("start", 400, f.rgb);
}

TEST_P(ReferenceFrames, SmokeBurstOnAWall) {
  // Three shots at the end wall (x = 1280) of the first corridor, close by.
  for (double yaw : {296.0, 300.0, 304.0}) {
    input.mouseYaw = yaw;
    input.fireRequest = 1;
    step();
    EXPECT_EQ(shot.fire_x, 1280.0);
  }
  EXPECT_EQ(shot.smokeActive, 1);
  EXPECT_EQ(shot.burstSlot, 3);
  step();
  const Frame f = frame();
  EXPECT_EQ(shot.smokeActive, 1);
  expectMatchesReference("smoke", 400, f.rgb);
}

TEST_P(ReferenceFrames, ReadOuts) {
  // A clock that advances a 60th of a second per frame, for a steady rate.
  testPlatform.manualClock = true;
  testPlatform.counter = 0;
  timerInit();
  input.mouseYaw = 45;
  input.showStats = 1;
  enemies[4].dead = 1;  // shows "[4]dead"
  enemies[4].hit = 3;
  Frame f;
  for (int i = 0; i < 10; ++i) {
    testPlatform.counter += 1000000000 / 60;
    f = frame();
  }
  EXPECT_NEAR(frameRate.fps, 60.0, 0.01);
  expectMatchesReference("stats", 400, f.rgb);
}
