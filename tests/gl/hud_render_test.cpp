// What the head-up display and the end screens put on the screen.
#include <gtest/gtest.h>

#include "game/hud.h"
#include "game/state.h"
#include "support/game_scene.h"

using scene::Frame;
using scene::GameScene;
using scene::isBlue;
using scene::isWhite;
using scene::lineBox;

namespace {
class Hud : public GameScene {};

// "point: " is seven glyphs; the score's field is the four after it.
const auto kScoreLabel = lineBox(150, 210, 0, 6);
const auto kScoreField = lineBox(150, 210, 7, 4);
}  // namespace

TEST_F(Hud, ScoreZeroPrintsFourBlanks) {
  const Frame zero = frame();
  EXPECT_GT(zero.count(kScoreLabel, isBlue), 50);
  EXPECT_EQ(zero.count(kScoreField, isBlue), 0);
  result.point = 20;
  const Frame twenty = frame();
  EXPECT_GT(twenty.count(kScoreField, isBlue), 20);
}

TEST_F(Hud, DistanceIsPrintedInWhite) {
  const Frame f = frame();
  EXPECT_GT(f.count(lineBox(150, 250, 0, 14), isWhite), 100);
}

TEST_F(Hud, CaughtAndWinningInOneFrameShowsGameOver) {
  player.xtrans2 = 384;  // in front of the door, in the sixth enemy's zone
  player.ztrans2 = 40;
  enemies[5].x = 390;  // and the sixth enemy right there
  enemies[5].z = 45;
  step();
  EXPECT_EQ(result.gameOver, 1);
  EXPECT_EQ(result.gameWon, 1);
  const Frame both = frame();

  result.gameWon = 0;
  const Frame lost = frame();
  result.gameOver = 0;
  result.gameWon = 1;
  const Frame won = frame();
  EXPECT_EQ(countDifferentPixels(both.view(), lost.view(), 0), 0u);
  EXPECT_GT(countDifferentPixels(both.view(), won.view(), 0), 100u);
  // "GAME OVER!" is ten glyphs, "You win!" eight.
  EXPECT_GT(lost.count(lineBox(0, 190, 8, 2), isWhite), 10);
  EXPECT_EQ(won.count(lineBox(0, 190, 8, 2), isWhite), 0);
  EXPECT_GT(won.count(lineBox(0, 190, 0, 8), isWhite), 20);
}

TEST_F(Hud, EndScreenShowsTheScoreAndNothingElse) {
  result.gameOver = 1;
  result.point = 30;
  const Frame f = frame();
  EXPECT_GT(f.count(lineBox(0, 210, 7, 4), isBlue), 5);
  EXPECT_GT(f.count(lineBox(0, 170, 0, 20), isWhite), 30);
  // Nothing outside the three lines: no maze, no crosshair, no HUD.
  EXPECT_EQ(f.count({-385, -289, 385, 140}, scene::isLit), 0);
}

TEST_F(Hud, ReadOutsShowTheDeadOnly) {
  input.showStats = 1;
  const Frame alive = frame();
  EXPECT_EQ(alive.count(lineBox(-350, -70, 0, 7), isWhite), 0);
  EXPECT_GT(alive.count(lineBox(-350, 250, 0, 9), isWhite), 50);  // FPS
  enemies[3].dead = 1;
  const Frame dead = frame();
  EXPECT_GT(dead.count(lineBox(80, -10, 0, 7), isWhite), 50);  // "[3]dead"
  EXPECT_EQ(dead.count(lineBox(80, -110, 0, 7), isWhite), 0);  // "[4]dead" is not there
}
