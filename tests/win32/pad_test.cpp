// Pads on the Win32 shell. Run twice under Wine (tests/win32/pad_wine.sh):
// with the stand-in XInput (xinput_standin.cpp) beside this .exe, a pad walks,
// looks, fires, lets go while another window is in front and, pulled out,
// lets go; with no XInput at all the game still opens its window and plays.
#include <windows.h>
#include <gtest/gtest.h>
#include <xinput.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/devices.h"
#include "app/main_loop.h"
#include "app/shell.h"
#include "app/win32/pads.h"
#include "app/win32/window.h"
#include "game/state.h"
#include "support/test_platform.h"

namespace {
template <typename Proc>
Proc standIn(const char* name) {
  HMODULE module = GetModuleHandleA("xinput1_4.dll");
  FARPROC proc = module != nullptr ? GetProcAddress(module, name) : nullptr;
  Proc result = nullptr;
  static_assert(sizeof result == sizeof proc, "function pointers differ in size");
  std::memcpy(&result, &proc, sizeof result);
  return result;
}

// Passes of the real loop until `count` more frames have run.
void frames(int count) {
  const uint64_t until = loopCounters.frames + static_cast<uint64_t>(count);
  for (int pass = 0; pass < 1000 * count && loopCounters.frames < until; ++pass) {
    ASSERT_TRUE(loopPass(nullptr));
  }
  ASSERT_EQ(loopCounters.frames, until);
}

TEST(PadTest, AStandInPadPlaysOrWithoutXInputTheKeyboardDoes) {
  const char* mode = std::getenv("SHOOTER_XINPUT");
  const bool standInExpected = mode != nullptr && std::strcmp(mode, "stand-in") == 0;
  resetGameState();
  devices = DeviceState{};
  keyHolds = KeyHolds{};
  ASSERT_EQ(openGameWindow(kWindowTitle, kWindowWidth, kWindowHeight, kWindowBits, false),
            WindowOpen::Opened);
  frames(1);
  const double z = player.ztrans2;
  if (!standInExpected) {
    EXPECT_EQ(padLibrary(), nullptr);
    keyDown(vk::W);
    frames(10);
    EXPECT_LT(player.ztrans2, z - 20) << "the keyboard walks";
  } else {
    EXPECT_STREQ(padLibrary(), "xinput1_4.dll");
    const auto setState = standIn<void (*)(DWORD, const XINPUT_GAMEPAD*)>("standInSetState");
    const auto unplug = standIn<void (*)(DWORD)>("standInUnplug");
    ASSERT_TRUE(setState != nullptr && unplug != nullptr);
    XINPUT_GAMEPAD pad;
    std::memset(&pad, 0, sizeof pad);
    pad.sThumbLY = 32767;  // pushed away: forward
    setState(0, &pad);
    frames(80);  // a slot found empty is asked again about a second later
    EXPECT_LT(player.ztrans2, z - 40);

    pad.sThumbLY = 0;
    pad.sThumbRX = -32768;  // full left: 2 degrees a frame
    setState(0, &pad);
    const double yaw = input.mouseYaw;
    frames(10);
    pad.sThumbRX = 0;
    pad.bRightTrigger = 255;
    pad.wButtons = XINPUT_GAMEPAD_DPAD_LEFT;
    setState(0, &pad);
    frames(2);
    const double turned = std::fmod(input.mouseYaw - yaw + 360, 360);
    EXPECT_TRUE(turned >= 16 && turned <= 22) << turned;
    EXPECT_EQ(testPlatform.sounds.size(), 1u) << "one shot per pull of the trigger";
    EXPECT_EQ(input.KeyDown[vk::Left], 1);
    // Another window in front: the pad lets go until the game's is in front again.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    frames(1);
    EXPECT_EQ(GetForegroundWindow(), other);
    EXPECT_EQ(input.KeyDown[vk::Left], 0) << "a pad plays a window that is not in front";
    SetForegroundWindow(hWnd);
    frames(1);
    EXPECT_EQ(input.KeyDown[vk::Left], 1);
    DestroyWindow(other);
    unplug(0);
    frames(1);
    EXPECT_EQ(input.KeyDown[vk::Left], 0) << "a pad pulled out still holds Left";
  }
  closeGameWindow();
  resetGameState();
}
}  // namespace
