// XInput's four users, each in the game's pad slot of the same number.
#include "app/win32/pads.h"

#include <windows.h>
#include <xinput.h>

#include <cstring>

#include "app/devices.h"

namespace {
using GetStateProc = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

constexpr const char* kLibraries[] = {"xinput1_4.dll", "xinput9_1_0.dll"};
constexpr int kUsers = XUSER_MAX_COUNT < kMaxPads ? XUSER_MAX_COUNT : kMaxPads;
// Asking XInput for a user with no pad is slow: an empty slot is asked again
// only after this many frames (about a second).
constexpr int kEmptySlotFrames = 60;

bool loaded = false;
const char* library = nullptr;
GetStateProc getState = nullptr;
bool connected[kUsers] = {};
int waitFrames[kUsers] = {};

void loadXInput() {
  loaded = true;
  for (const char* name : kLibraries) {
    HMODULE module = LoadLibraryA(name);
    if (module == nullptr) continue;
    FARPROC proc = GetProcAddress(module, "XInputGetState");
    if (proc == nullptr) {
      FreeLibrary(module);
      continue;
    }
    static_assert(sizeof getState == sizeof proc, "function pointers differ in size");
    std::memcpy(&getState, &proc, sizeof getState);
    library = name;
    return;
  }
}

double stick(SHORT value) { return value < -32767 ? -1.0 : value / 32767.0; }

struct ButtonBit {
  WORD button;
  uint32_t bit;
};
constexpr ButtonBit kButtons[] = {
    {XINPUT_GAMEPAD_A, kPadSouth},
    {XINPUT_GAMEPAD_B, kPadEast},
    {XINPUT_GAMEPAD_X, kPadWest},
    {XINPUT_GAMEPAD_Y, kPadNorth},
    {XINPUT_GAMEPAD_BACK, kPadBack},
    {XINPUT_GAMEPAD_START, kPadStart},
    {XINPUT_GAMEPAD_LEFT_THUMB, kPadLeftStick},
    {XINPUT_GAMEPAD_RIGHT_THUMB, kPadRightStick},
    {XINPUT_GAMEPAD_LEFT_SHOULDER, kPadLeftShoulder},
    {XINPUT_GAMEPAD_RIGHT_SHOULDER, kPadRightShoulder},
    {XINPUT_GAMEPAD_DPAD_UP, kPadUp},
    {XINPUT_GAMEPAD_DPAD_DOWN, kPadDown},
    {XINPUT_GAMEPAD_DPAD_LEFT, kPadLeft},
    {XINPUT_GAMEPAD_DPAD_RIGHT, kPadRight},
};
}  // namespace

void readPads(bool focused) {
  if (!loaded) loadXInput();
  if (getState == nullptr) return;
  if (!focused) {
    for (int user = 0; user < kUsers; ++user) {
      if (connected[user]) padRemoved(user);
      connected[user] = false;
      waitFrames[user] = 0;  // asked again as soon as the window is in front
    }
    return;
  }
  for (int user = 0; user < kUsers; ++user) {
    if (!connected[user] && waitFrames[user] > 0) {
      --waitFrames[user];
      continue;
    }
    XINPUT_STATE state;
    std::memset(&state, 0, sizeof state);
    if (getState(static_cast<DWORD>(user), &state) != ERROR_SUCCESS) {
      if (connected[user]) padRemoved(user);
      connected[user] = false;
      waitFrames[user] = kEmptySlotFrames;
      continue;
    }
    connected[user] = true;
    const XINPUT_GAMEPAD& g = state.Gamepad;
    PadState pad;
    pad.leftX = stick(g.sThumbLX);
    pad.leftY = -stick(g.sThumbLY);  // XInput's y grows upwards
    pad.rightX = stick(g.sThumbRX);
    pad.rightY = -stick(g.sThumbRY);
    pad.leftTrigger = g.bLeftTrigger / 255.0;
    pad.rightTrigger = g.bRightTrigger / 255.0;
    for (const ButtonBit& b : kButtons) {
      if ((g.wButtons & b.button) != 0) pad.buttons |= b.bit;
    }
    padFrame(user, pad);
  }
}

const char* padLibrary() { return library; }
