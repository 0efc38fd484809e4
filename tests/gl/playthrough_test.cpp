// Whole games, frame by frame through the same input handlers the shells use:
// a player who walks the corridor to the door and shoots every enemy that
// hunts it, and one who stands still and is caught.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "app/shell.h"
#include "frame_test_scene.h"
#include "game/play_hud.h"

using frame_test::Frame;
using frame_test::GameScene;
using frame_test::headingTowards;
using frame_test::Mouse;
using frame_test::wrap180;

namespace {
// Cell centres along the corridor from the start to the door: cells 1, 2,
// 3, 4, 6, 10, 15, 16, 17, 11, 12, and a point just in front of the door.
struct Waypoint {
  double x, z;
};
constexpr Waypoint kRoute[] = {
    {896, 1664}, {896, 1408}, {896, 1152}, {896, 896}, {640, 896}, {384, 896},
    {128, 896},  {128, 640},  {128, 384},  {384, 384}, {384, 128}, {384, 30},
};
constexpr int kRouteLength = static_cast<int>(sizeof kRoute / sizeof kRoute[0]);

constexpr double kMaxTurnPerFrame = 8;   // degrees of mouse turning per frame
constexpr double kWalkAlignment = 4;     // walk only when facing the way this closely
constexpr double kAimAlignment = 2;      // fire only when aimed this closely
constexpr double kWaypointReached = 16;  // units
constexpr int kFrameLimit = 5000;

class Playthrough : public GameScene {
 protected:
  // Turns towards a heading by at most kMaxTurnPerFrame; returns the
  // remaining error in degrees.
  double steer(double wanted) {
    const double error = wrap180(wanted - view.heading);
    const double turn = std::fmax(-kMaxTurnPerFrame, std::fmin(kMaxTurnPerFrame, error));
    mouse_.turn(turn);
    return std::fabs(error - turn);
  }

  static void hold(int key, bool down) {
    if (down) {
      keyDown(key);
    } else {
      keyUp(key);
    }
  }

  Mouse mouse_;
};
}  // namespace

TEST_F(Playthrough, WalksToTheDoorShootingEveryHunterAndWins) {
  int next = 0;
  int frames = 0;
  int shots = 0;
  int killed = 0;
  bool huntedBy[kEnemyCount] = {};
  Frame last;
  while (!result.gameWon && !result.gameOver && frames < kFrameLimit) {
    const int hunter = alertingEnemy();
    if (hunter >= 0) {
      // Stand and shoot: the hit test of a press looks at where the ray of
      // the previous press ended, so keep pressing while aimed.
      huntedBy[hunter] = true;
      hold(vk::Up, false);
      const Enemy& e = enemies[hunter];
      const double error = steer(headingTowards(player.xtrans2, player.ztrans2,
                                                static_cast<double>(e.x),
                                                static_cast<double>(e.z)));
      if (error < kAimAlignment) {
        input.fireRequest = 1;  // what the window procedure does on a left button press
        ++shots;
      }
    } else {
      while (next < kRouteLength - 1 &&
             std::hypot(kRoute[next].x - player.xtrans2, kRoute[next].z - player.ztrans2) <
                 kWaypointReached) {
        ++next;
      }
      const Waypoint& w = kRoute[next];
      const double error = steer(headingTowards(player.xtrans2, player.ztrans2, w.x, w.z));
      hold(vk::Up, error < kWalkAlignment);
    }
    last = frame();
    ++frames;
  }
  hold(vk::Up, false);
  for (int i = 0; i < kEnemyCount; ++i) killed += enemies[i].dead;
  std::printf("playthrough: %d frames, %d shots, %d kills, score %d\n", frames, shots, killed,
              result.point);

  ASSERT_EQ(result.gameOver, 0) << "caught after " << frames << " frames";
  ASSERT_EQ(result.gameWon, 1) << "not at the door after " << frames << " frames";
  // The third enemy guards a dead end; all the others stand in the way.
  for (int i = 0; i < kEnemyCount; ++i) {
    EXPECT_EQ(enemies[i].dead, huntedBy[i] ? 1 : 0) << "enemy " << i;
  }
  EXPECT_EQ(killed, 5);
  EXPECT_EQ(result.point, 10 * killed);
  EXPECT_LT(exitDistance(player.xtrans2, player.ztrans2), 5.0);
  // The winning frame is still a playing frame; the end screen follows.
  EXPECT_GT(last.count(frame_test::lineBox(150, 250, 0, 14), frame_test::isWhite), 50);

  const Frame end = frame();
  matchReference(end, "win", 50);
  EXPECT_GT(end.count(frame_test::lineBox(0, 210, 7, 4), frame_test::isBlue), 5);  // "  50"
  // A click now changes nothing.
  input.fireRequest = 1;
  const size_t sounds = testPlatform.sounds.size();
  frame();
  EXPECT_EQ(input.fireRequest, 1);
  EXPECT_EQ(testPlatform.sounds.size(), sounds);
}

TEST_F(Playthrough, StandingStillIsCaught) {
  int frames = 0;
  while (!result.gameOver && frames < kFrameLimit) {
    step();
    ++frames;
  }
  std::printf("caught after %d frames\n", frames);
  ASSERT_EQ(result.gameOver, 1);
  EXPECT_EQ(result.gameWon, 0);
  EXPECT_EQ(result.point, 0);
  const Enemy& first = enemies[0];
  EXPECT_LT(std::fabs(player.xtrans2 - static_cast<double>(first.x)), 15.0);
  EXPECT_LT(std::fabs(player.ztrans2 - static_cast<double>(first.z)), 15.0);
  const Frame end = frame();
  matchReference(end, "gameover", 50);
}
