// A pad on the SDL shell: SDL's virtual joystick, opened by the game
// controller API like a real pad, walks, looks and fires in the game window
// through the real event pump and main loop, and pulled out lets go. Pads play
// only the window that has the keyboard focus.
#include <gtest/gtest.h>

#include <cmath>

#include "app/devices.h"
#include "app/main_loop.h"
#include "app/sdl/window.h"
#include "app/shell.h"
#include "game/state.h"
#include "support/test_platform.h"

namespace {
// Passes of the real loop until `count` more frames have run.
void frames(int count) {
  const uint64_t until = loopCounters.frames + static_cast<uint64_t>(count);
  for (int pass = 0; pass < 100 * count && loopCounters.frames < until; ++pass) {
    ASSERT_TRUE(loopPass(nullptr));
  }
  ASSERT_EQ(loopCounters.frames, until);
}

// The window system's word that the window lost or regained the focus.
void focusEvent(Uint8 which) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = SDL_GetWindowID(gameWindow);
  event.window.event = which;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

// The window in front: no window manager gives it the focus here (and SDL's
// offscreen driver has none to give), so the window system's word is sent.
// Behind another window likewise.
void takeFocus() {
  focusEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  frames(2);
}

TEST(PadTest, WalksLooksFiresAndPulledOutLetsGo) {
  SDL_Quit();
  resetGameState();
  shell = ShellState{};
  devices = DeviceState{};
  keyHolds = KeyHolds{};
  testPlatform.clear();
  ASSERT_EQ(openGameWindow(kWindowTitle, kWindowWidth, kWindowHeight, kWindowBits, false),
            WindowOpen::Opened);
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr) << SDL_GetError();

  // Without the focus the pad plays nothing. The window system's own word
  // on the new window comes first (under X11 it may give it the focus).
  frames(5);
  SDL_Delay(100);
  frames(5);
  focusEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  frames(1);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32767);
  frames(5);
  EXPECT_EQ(input.KeyDown[vk::W], 0) << "the pad is read without the focus";
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
  takeFocus();

  const double z = player.ztrans2;
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32767);
  frames(20);
  EXPECT_LT(player.ztrans2, z - 40) << "the stick pushed forward walks north";
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);

  // Full deflection left: 2 degrees a frame (a frame may pass while SDL takes
  // the change, and a turn past 360 drops its overshoot, as the mouse's does).
  const double yaw = input.mouseYaw;
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, -32767);
  frames(10);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 0);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);
  frames(2);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
  frames(2);
  const double turned = std::fmod(input.mouseYaw - yaw + 360, 360);
  EXPECT_TRUE(turned >= 16 && turned <= 22) << turned;
  EXPECT_EQ(testPlatform.sounds.size(), 1u) << "one shot per press";
  EXPECT_EQ(input.KeyDown[vk::D], 1);

  // Another window in front: what the pad held is let go, and the pad plays
  // no more until the game's window is in front again.
  focusEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  frames(2);
  EXPECT_EQ(input.KeyDown[vk::D], 0) << "the pad still holds D behind another window";
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  frames(2);
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
  frames(2);
  EXPECT_EQ(input.KeyDown[vk::D], 0) << "the pad is read behind another window";
  EXPECT_EQ(testPlatform.sounds.size(), 1u) << "a shot behind another window";
  focusEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  frames(2);
  EXPECT_EQ(input.KeyDown[vk::D], 1) << "the pad plays again in front";

  SDL_JoystickClose(pad);
  ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
  frames(2);
  EXPECT_EQ(input.KeyDown[vk::D], 0) << "a pad pulled out still holds D";
  closeGameWindow();
  resetGameState();
}
}  // namespace
