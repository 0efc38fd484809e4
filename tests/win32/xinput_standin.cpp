// A stand-in for XInput, put beside a test's .exe as xinput1_4.dll: its pads
// are whatever the test sets through standInSetState and standInUnplug.
#include <windows.h>
#include <xinput.h>

namespace {
XINPUT_STATE states[XUSER_MAX_COUNT] = {};
bool plugged[XUSER_MAX_COUNT] = {};
DWORD packet = 0;
}  // namespace

extern "C" {
__declspec(dllexport) DWORD WINAPI XInputGetState(DWORD user, XINPUT_STATE* state) {
  if (user >= XUSER_MAX_COUNT || state == nullptr) return ERROR_BAD_ARGUMENTS;
  if (!plugged[user]) return ERROR_DEVICE_NOT_CONNECTED;
  *state = states[user];
  return ERROR_SUCCESS;
}

__declspec(dllexport) void standInSetState(DWORD user, const XINPUT_GAMEPAD* pad) {
  if (user >= XUSER_MAX_COUNT) return;
  plugged[user] = true;
  states[user].dwPacketNumber = ++packet;
  states[user].Gamepad = *pad;
}

__declspec(dllexport) void standInUnplug(DWORD user) {
  if (user < XUSER_MAX_COUNT) plugged[user] = false;
}
}
