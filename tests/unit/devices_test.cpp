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
  void SetUp() override { TearDown(); }
  void TearDown() override {
    resetGameState();
    shell = ShellState{};
    devices = DeviceState{};
    keyHolds = KeyHolds{};
    testPlatform.clear();
    shell.lastMouseX = shell.lastMouseY = 200;
    input.mouseYaw = 100;
  }
  // The keys that are down, as letters (^ v < > for the arrows, E for Escape).
  static std::string held() {
    std::string s;
    for (const char c : std::string("WSAD^v<>FIE")) {
      const int key = c == '^'   ? vk::Up
                      : c == 'v' ? vk::Down
                      : c == '<' ? vk::Left
                      : c == '>' ? vk::Right
                      : c == 'E' ? vk::Escape
                                 : c;
      if (input.KeyDown[key] != 0) s += c;
    }
    return s;
  }
  static PadState pad(double x, double y, uint32_t buttons = 0, double trigger = 0) {
    PadState p;
    p.leftX = x;
    p.leftY = y;
    p.buttons = buttons;
    p.rightTrigger = trigger;
    return p;
  }
};

TEST_F(DevicesTest, APadHoldsTheKeysOfItsStickAndButtonsAndFiresOncePerPress) {
  const struct {
    PadState pad;
    const char* keys;
    int fires;
  } table[] = {
      {pad(0, 0), "", 0},
      {pad(0.15, -0.15), "", 0},  // inside the dead zone
      {pad(0, -0.3), "W", 0},
      {pad(0.3, -0.9), "W", 0},   // 18 degrees off: still straight ahead
      {pad(0.7, -0.7), "WD", 0},  // diagonals walk with two keys
      {pad(-0.6, 0.6), "SA", 0},
      {pad(-1, 0, kPadUp | kPadLeftShoulder), "A^<", 0},
      {pad(1, 0, kPadDown | kPadRight), "Dv>", 0},
      {pad(0, 0, kPadRightShoulder | kPadBack), ">F", 0},
      {pad(0, 0, kPadNorth | kPadStart), "IE", 0},
      {pad(0, 0, kPadRightStick | kPadLeft), "<I", 0},
      {pad(0, 0, 0, 0.4), "", 0},  // a trigger short of a press
      {pad(0, 0, 0, 0.6), "", 1},
      {pad(0, 0, kPadSouth, 1), "", 0},  // still the same press
      {pad(0, 0, kPadSouth | kPadEast | kPadWest | kPadLeftStick), "", 0},
      {pad(0, 0), "", 0},
      {pad(0, 0, kPadSouth), "", 1},
  };
  for (const auto& row : table) {
    input.fireRequest = 0;
    padFrame(0, row.pad);
    EXPECT_EQ(held(), row.keys) << row.pad.leftX << ", " << row.pad.leftY << " " << row.pad.buttons;
    EXPECT_EQ(input.fireRequest, row.fires) << row.pad.buttons << " " << row.pad.rightTrigger;
  }
}

TEST_F(DevicesTest, PadsAndKeysHoldApartAndTogglesLatchAsTheKeysDo) {
  keyDown(vk::W);
  padFrame(2, pad(-0.7, -0.7));  // W and A
  padFrame(3, pad(0, 0, kPadLeft | kPadBack));
  keyboardStep();
  keyboardStep();
  padRemoved(2);  // pulled out: lets go of A, the keyboard still holds W
  EXPECT_EQ(held(), "W<F");
  padFrame(3, pad(0, -1));
  keyUp(vk::W);  // the pad still holds it
  EXPECT_EQ(held(), "W");
  padRemoved(3);
  EXPECT_EQ(held(), "");
  EXPECT_EQ(input.showStats, 1) << "held over two frames, F toggled once";
}

TEST_F(DevicesTest, TheRightStickTurnsTwoDegreesAFramePastItsDeadZone) {
  const struct {
    double x, y, yaw, pitch;
  } table[] = {{0.15, -0.15, 100, 0}, {1, 0, 98, 0}, {0, -1, 98, -2}, {-1, 0, 100, -2}};
  for (const auto& row : table) {
    PadState right;
    right.rightX = row.x;
    right.rightY = row.y;
    padFrame(0, right);
    EXPECT_NEAR(input.mouseYaw, row.yaw, 1e-9) << row.x << ", " << row.y;
    EXPECT_NEAR(input.pitch, row.pitch, 1e-9) << row.x << ", " << row.y;
  }
  EXPECT_EQ(testPlatform.warps.back().first, 200) << "the system's cursor follows";
}

TEST_F(DevicesTest, TouchesOnTheLeftWalkAndOnTheRightLookOrFire) {
  touchStart(7, 100, 300, 0);  // the stick is anchored where the finger lands
  const struct {
    double x, y;
    const char* keys;
  } stick[] = {{100, 290, ""}, {100, 250, "W"}, {150, 340, "SD"}, {40, 300, "A"}};
  for (const auto& row : stick) {
    touchMove(7, row.x, row.y);
    EXPECT_EQ(held(), row.keys) << row.x << ", " << row.y;
  }
  touchStart(8, 200, 200, 0);  // a second finger on the left half is ignored
  touchEnd(8, 10);
  EXPECT_EQ(held(), "A");
  touchEnd(7, 500);
  EXPECT_EQ(held(), "");

  const struct {
    double moveX, endMs;
    int fires;
    double yaw;
  } taps[] = {{0, 150, 1, 100}, {8, 199, 1, 100}, {0, 250, 0, 100}, {16, 100, 0, 96}};
  for (const auto& tap : taps) {  // a tap, one within the slop, a slow one, a drag
    input.fireRequest = 0;
    input.mouseYaw = 100;
    touchStart(1, 400, 200, 1000);
    touchMove(1, 400 + tap.moveX, 200);
    touchEnd(1, 1000 + tap.endMs);
    EXPECT_EQ(input.fireRequest, tap.fires) << tap.moveX << " " << tap.endMs;
    EXPECT_NEAR(input.mouseYaw, tap.yaw, 1e-9) << tap.moveX << " " << tap.endMs;
  }
  touchStart(2, 400, 200, 0);
  touchCancel(2);
  pageButton(vk::Escape, true);
  EXPECT_EQ(input.fireRequest, 0);
  EXPECT_EQ(held(), "E");
}
}  // namespace
