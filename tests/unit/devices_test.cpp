// Pads and touches in the game's own input: which key entries they hold, how
// they turn the view and when they fire.
#include <gtest/gtest.h>

#include <string>

#include "app/devices.h"
#include "app/shell.h"
#include "game/state.h"
#include "support/test_platform.h"

namespace {
class DevicesTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    resetGameState();
    shell = ShellState{};
    devices = DeviceState{};
    testPlatform.clear();
  }
  // The walking, turning and toggle keys that are down, as letters.
  static std::string held() {
    const struct { int key; char name; } keys[] = {
        {vk::W, 'W'}, {vk::S, 'S'}, {vk::A, 'A'}, {vk::D, 'D'}, {vk::Up, '^'}, {vk::Down, 'v'},
        {vk::Left, '<'}, {vk::Right, '>'}, {vk::F, 'F'}, {vk::I, 'I'}, {vk::Escape, 'E'}};
    std::string s;
    for (const auto& k : keys) {
      if (input.KeyDown[k.key] != 0) s += k.name;
    }
    return s;
  }
  static PadState stick(double x, double y) {
    PadState pad;
    pad.leftX = x;
    pad.leftY = y;
    return pad;
  }
  static PadState buttons(uint32_t b) {
    PadState pad;
    pad.buttons = b;
    return pad;
  }
};

TEST_F(DevicesTest, PadStateHoldsTheKeysOfItsDirectionAndButtons) {
  const struct {
    PadState pad;
    const char* keys;
  } table[] = {
      {stick(0, 0), ""},
      {stick(0.15, -0.15), ""},  // inside the dead zone
      {stick(0, -0.3), "W"},
      {stick(0, 1), "S"},
      {stick(-1, 0), "A"},
      {stick(1, 0), "D"},
      {stick(0.7, -0.7), "WD"},     // diagonals walk with two keys
      {stick(-0.6, 0.6), "SA"},
      {stick(0.3, -0.9), "W"},      // 18 degrees off: still straight ahead
      {buttons(kPadUp), "^"},
      {buttons(kPadDown), "v"},
      {buttons(kPadLeft), "<"},
      {buttons(kPadLeftShoulder), "<"},
      {buttons(kPadRight | kPadRightShoulder), ">"},
      {buttons(kPadBack), "F"},
      {buttons(kPadNorth), "I"},
      {buttons(kPadRightStick), "I"},
      {buttons(kPadStart), "E"},
      {buttons(kPadSouth | kPadEast | kPadWest | kPadLeftStick), ""},
  };
  for (const auto& row : table) {
    padFrame(0, row.pad);
    EXPECT_EQ(held(), row.keys) << row.pad.leftX << ", " << row.pad.leftY << " buttons "
                                << row.pad.buttons;
  }
  padFrame(0, PadState{});
  EXPECT_EQ(held(), "");
}

TEST_F(DevicesTest, APadWalksWithTheKeyboardsOwnImpulse) {
  view.heading = 30;
  padFrame(1, stick(0, -1));
  keyboardStep();
  const double padX = player.xmove, padZ = player.zmove;
  padRemoved(1);
  player.xmove = player.zmove = 0;
  keyDown(vk::W);
  keyboardStep();
  EXPECT_EQ(player.xmove, padX);
  EXPECT_EQ(player.zmove, padZ);
}

TEST_F(DevicesTest, PulledOutPadLetsGoOfItsKeysButNotTheKeyboards) {
  keyDown(vk::W);
  padFrame(2, stick(-0.7, -0.7));  // W and A
  padFrame(3, buttons(kPadLeft));
  padRemoved(2);
  EXPECT_EQ(held(), "W<");
  keyUp(vk::W);
  padRemoved(3);
  EXPECT_EQ(held(), "");
  // A key let go on the keyboard stays down while a pad holds it.
  padFrame(0, stick(0, -1));
  keyDown(vk::W);
  keyUp(vk::W);
  EXPECT_EQ(held(), "W");
}

TEST_F(DevicesTest, TogglesLatchOncePerPressAsTheKeysDo) {
  for (int i = 0; i < 5; ++i) {
    padFrame(0, buttons(kPadBack | kPadNorth));
    keyboardStep();
  }
  EXPECT_EQ(input.showStats, 1);
  EXPECT_TRUE(shell.invertMouse);
  padFrame(0, PadState{});
  keyboardStep();
  padFrame(0, buttons(kPadBack | kPadRightStick));
  keyboardStep();
  EXPECT_EQ(input.showStats, 0);
  EXPECT_FALSE(shell.invertMouse);
}

TEST_F(DevicesTest, FireOncePerPressOfTheTriggerOrSouthButton) {
  const struct {
    double trigger;
    uint32_t buttons;
    int fires;
  } table[] = {{0, 0, 0},   {0.4, 0, 0}, {0.6, 0, 1}, {1, 0, 0},         {0, 0, 0},
               {0, kPadSouth, 1}, {0, kPadSouth, 0}, {0.9, kPadSouth, 0}, {0, 0, 0}};
  for (const auto& row : table) {
    input.fireRequest = 0;
    PadState pad = buttons(row.buttons);
    pad.rightTrigger = row.trigger;
    padFrame(0, pad);
    EXPECT_EQ(input.fireRequest, row.fires) << row.trigger << " " << row.buttons;
  }
}

TEST_F(DevicesTest, RightStickTurnsAtItsRateThroughTheMouseView) {
  shell.lastMouseX = shell.lastMouseY = 200;
  input.mouseYaw = 100;
  PadState pad;
  pad.rightX = 1;  // full right: 64 pixels a frame, 2 degrees
  for (int frame = 0; frame < 10; ++frame) padFrame(0, pad);
  EXPECT_NEAR(input.mouseYaw, 80, 1e-9);  // across the band's wrap, too
  EXPECT_EQ(input.pitch, 0);
  // The system's cursor follows the virtual one.
  ASSERT_FALSE(testPlatform.warps.empty());
  EXPECT_EQ(testPlatform.warps.back().first, static_cast<int>(shell.lastMouseX));

  pad.rightX = 0;
  pad.rightY = -0.2;  // inside the dead zone
  padFrame(0, pad);
  EXPECT_EQ(input.pitch, 0);
  pad.rightY = -1;  // up looks up
  padFrame(0, pad);
  EXPECT_NEAR(input.pitch, -2, 1e-9);
}

TEST_F(DevicesTest, TouchesOnTheLeftWalkAndOnTheRightLookOrFire) {
  // The stick is anchored where the finger lands.
  touchStart(7, 100, 300, 0);
  touchMove(7, 100, 290);  // 10 of 60 pixels: inside the dead zone
  EXPECT_EQ(held(), "");
  touchMove(7, 100, 250);
  EXPECT_EQ(held(), "W");
  touchMove(7, 150, 340);
  EXPECT_EQ(held(), "SD");
  touchStart(8, 200, 200, 0);  // a second finger on the left half is ignored
  touchEnd(8, 10);
  EXPECT_EQ(held(), "SD");
  touchEnd(7, 500);
  EXPECT_EQ(held(), "");

  const struct {
    double moveX, endMs;
    int fires;
    double yaw;
  } taps[] = {
      {0, 150, 1, 100},        // a tap
      {8, 199, 1, 100},        // within the slop: still a tap, and no look
      {0, 250, 0, 100},        // held too long
      {16, 100, 0, 96},        // dragged: 16 pixels look 4 degrees right
  };
  for (const auto& tap : taps) {
    input.fireRequest = 0;
    input.mouseYaw = 100;
    shell.lastMouseX = shell.lastMouseY = 200;
    touchStart(1, 400, 200, 1000);
    touchMove(1, 400 + tap.moveX, 200);
    touchEnd(1, 1000 + tap.endMs);
    EXPECT_EQ(input.fireRequest, tap.fires) << tap.moveX << " " << tap.endMs;
    EXPECT_NEAR(input.mouseYaw, tap.yaw, 1e-9) << tap.moveX << " " << tap.endMs;
  }
  touchStart(2, 400, 200, 0);
  touchCancel(2);
  EXPECT_EQ(input.fireRequest, 0);
}

TEST_F(DevicesTest, PageButtonsHoldTheirKeys) {
  pageButton(vk::F, true);
  keyboardStep();
  keyboardStep();
  pageButton(vk::F, false);
  keyboardStep();
  EXPECT_EQ(input.showStats, 1);
  pageButton(vk::Escape, true);
  EXPECT_EQ(held(), "E");
  pageButton(vk::Escape, false);
  EXPECT_EQ(held(), "");
}
}  // namespace
