// The keyboard step of the main loop and the mouse view of the window
// procedure: the portable halves of both shells' input handling.
#include <gtest/gtest.h>

#include <cmath>

#include "app/shell.h"
#include "game/state.h"
#include "support/test_platform.h"

namespace {
class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGameState();
    shell = ShellState{};
    testPlatform.clear();
  }
  void TearDown() override {
    resetGameState();
    shell = ShellState{};
    testPlatform.clear();
  }
  static void hold(int key) { keyDown(key); }
};

using KeyboardStepTest = InputTest;
using MouseViewTest = InputTest;

TEST_F(KeyboardStepTest, ForwardWalksAlongTheHeadingAndBackCancelsIt) {
  view.heading = 30;
  hold(vk::Up);
  keyboardStep();
  // Forward at heading 30 is (-sin 30, -cos 30) at an impulse of 10.
  EXPECT_NEAR(player.xmove, -5.0, 1e-6);
  EXPECT_NEAR(player.zmove, -8.660254, 1e-6);

  player.xmove = player.zmove = 0;
  hold(vk::Down);
  keyboardStep();
  EXPECT_NEAR(player.xmove, 0, 1e-12);
  EXPECT_NEAR(player.zmove, 0, 1e-12);

  player.xmove = player.zmove = 0;
  keyUp(vk::Up);
  hold(vk::S);
  keyboardStep();
  EXPECT_NEAR(player.xmove, 5.0, 1e-6);
  EXPECT_NEAR(player.zmove, 8.660254, 1e-6);
}

TEST_F(KeyboardStepTest, UpAndWTogetherWalkOnce) {
  view.heading = 0;
  hold(vk::Up);
  hold(vk::W);
  keyboardStep();
  EXPECT_DOUBLE_EQ(player.xmove, 0);
  EXPECT_DOUBLE_EQ(player.zmove, -10);
}

TEST_F(KeyboardStepTest, SideStepsAddToForward) {
  view.heading = 0;
  hold(vk::W);
  hold(vk::A);
  keyboardStep();
  // Forward is -z, the left step -x at heading 0.
  EXPECT_NEAR(player.xmove, -10, 1e-6);
  EXPECT_NEAR(player.zmove, -10, 1e-6);

  player.xmove = player.zmove = 0;
  keyUp(vk::A);
  hold(vk::D);
  keyboardStep();
  EXPECT_NEAR(player.xmove, 10, 1e-6);
  EXPECT_NEAR(player.zmove, -10, 1e-6);
}

TEST_F(KeyboardStepTest, LeftTurnsLeftRightTurnsRightBothTurnLeft) {
  hold(vk::Left);
  keyboardStep();
  EXPECT_DOUBLE_EQ(input.turnSpeed, 0.5);
  hold(vk::Right);
  keyboardStep();
  EXPECT_DOUBLE_EQ(input.turnSpeed, 1.0);
  keyUp(vk::Left);
  keyboardStep();
  EXPECT_DOUBLE_EQ(input.turnSpeed, 0.5);
}

TEST_F(KeyboardStepTest, WithoutKeysNothingMoves) {
  view.heading = 123;
  keyboardStep();
  EXPECT_EQ(player.xmove, 0);
  EXPECT_EQ(player.zmove, 0);
  EXPECT_EQ(input.turnSpeed, 0);
  EXPECT_EQ(input.showStats, 0);
  EXPECT_FALSE(shell.invertMouse);
}

TEST_F(KeyboardStepTest, FAndIToggleOncePerPress) {
  hold(vk::F);
  hold(vk::I);
  for (int i = 0; i < 10; ++i) keyboardStep();
  EXPECT_EQ(input.showStats, 1);
  EXPECT_TRUE(shell.invertMouse);

  keyUp(vk::F);
  keyboardStep();
  EXPECT_EQ(input.showStats, 1);
  EXPECT_TRUE(shell.invertMouse);

  hold(vk::F);
  keyUp(vk::I);
  keyboardStep();
  keyboardStep();
  EXPECT_EQ(input.showStats, 0);
  EXPECT_TRUE(shell.invertMouse);

  hold(vk::I);
  keyboardStep();
  EXPECT_FALSE(shell.invertMouse);
}

TEST_F(InputTest, KeyTableIgnoresCodesOutsideItsRange) {
  keyDown(-1);
  keyDown(256);
  keyUp(1000);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(input.KeyDown[i], 0) << i;
  keyDown(255);
  EXPECT_EQ(input.KeyDown[255], 1);
  keyUp(255);
  EXPECT_EQ(input.KeyDown[255], 0);
}

TEST_F(MouseViewTest, MovingRightTurnsRightAndMovingDownLooksDown) {
  shell.lastMouseX = 200;
  shell.lastMouseY = 200;
  input.mouseYaw = 100;
  mouseView(232, 264);
  EXPECT_DOUBLE_EQ(input.mouseYaw, 99);
  EXPECT_DOUBLE_EQ(input.pitch, 2);
  EXPECT_EQ(shell.lastMouseX, 232);
  EXPECT_EQ(shell.lastMouseY, 264);
  EXPECT_TRUE(testPlatform.warps.empty());
}

TEST_F(MouseViewTest, InversionFlipsThePitch) {
  shell.invertMouse = true;
  shell.lastMouseX = 200;
  shell.lastMouseY = 200;
  mouseView(200, 264);
  EXPECT_DOUBLE_EQ(input.pitch, -2);
  EXPECT_DOUBLE_EQ(input.mouseYaw, 0);
}

TEST_F(MouseViewTest, LeavingTheBandWarpsToTheOtherEdgeAndTurnsOnlyTheWrappedDistance) {
  input.mouseYaw = 180;
  shell.lastMouseX = 365;
  shell.lastMouseY = 200.7;
  mouseView(371, 200);
  ASSERT_EQ(testPlatform.warps.size(), 1u);
  EXPECT_EQ(testPlatform.warps[0], std::make_pair(10, 200));  // truncated last y
  EXPECT_DOUBLE_EQ(input.mouseYaw, 180 - 6.0 / 32);

  // The warp's own move from 371 to 10 turns by (371 - 360 - 10) / 32.
  mouseView(10, 200);
  EXPECT_DOUBLE_EQ(input.mouseYaw, 180 - 6.0 / 32 + (371.0 - 360 - 10) / 32);
  EXPECT_EQ(testPlatform.warps.size(), 1u);

  // And back across the left edge.
  input.mouseYaw = 180;
  shell.lastMouseX = 15;
  mouseView(9, 200);
  ASSERT_EQ(testPlatform.warps.size(), 2u);
  EXPECT_EQ(testPlatform.warps[1], std::make_pair(370, 200));
  mouseView(370, 200);
  EXPECT_DOUBLE_EQ(input.mouseYaw, 180 + 6.0 / 32 + (9.0 - (370 - 360)) / 32);
}

TEST_F(MouseViewTest, VerticalWarpsKeepTheLastX) {
  shell.lastMouseX = 123.9;
  shell.lastMouseY = 365;
  mouseView(124, 371);
  shell.lastMouseY = 15;
  mouseView(124, 9);
  ASSERT_EQ(testPlatform.warps.size(), 2u);
  EXPECT_EQ(testPlatform.warps[0], std::make_pair(123, 10));
  EXPECT_EQ(testPlatform.warps[1], std::make_pair(124, 370));
}

TEST_F(MouseViewTest, AJumpBetweenTwoLowPositionsTurnsNothing) {
  // More than 300 pixels apart, yet neither end above 180: no turn at all.
  input.mouseYaw = 50;
  shell.lastMouseX = -200;
  shell.lastMouseY = 100;
  mouseView(150, 100);
  EXPECT_DOUBLE_EQ(input.mouseYaw, 50);
}

TEST_F(MouseViewTest, YawJumpsToExactlyZeroOrThreeSixty) {
  input.mouseYaw = 359.9;
  shell.lastMouseX = 200;
  shell.lastMouseY = 200;
  mouseView(168, 200);  // +1 degree: 360.9 is past the end
  EXPECT_EQ(input.mouseYaw, 0.0);

  input.mouseYaw = 0.1;
  mouseView(200, 200);  // -1 degree
  EXPECT_EQ(input.mouseYaw, 360.0);

  input.mouseYaw = 359;
  mouseView(168, 200);  // exactly 360 stays
  EXPECT_EQ(input.mouseYaw, 360.0);
}

TEST_F(MouseViewTest, PitchStopsAtEightyFive) {
  shell.lastMouseX = 200;
  for (int i = 0; i < 12; ++i) {
    shell.lastMouseY = 10;
    mouseView(200, 300);  // 290 pixels down: about 9 degrees
  }
  EXPECT_EQ(input.pitch, 85.0);
  for (int i = 0; i < 24; ++i) {
    shell.lastMouseY = 300;
    mouseView(200, 10);
  }
  EXPECT_EQ(input.pitch, -85.0);
}
}  // namespace
