// Pads on SDL: up to kMaxPads game controllers, each in its own slot.
#include "app/sdl/pads.h"

#include "app/devices.h"

namespace {
SDL_GameController* slots[kMaxPads] = {};
bool started = false;
bool focused = false;  // whether the game window has the keyboard focus

// Events the pads' state is read without: each would only cost a pass of the loop.
constexpr Uint32 kUnread[] = {SDL_JOYAXISMOTION,
                              SDL_JOYBALLMOTION,
                              SDL_JOYHATMOTION,
                              SDL_JOYBUTTONDOWN,
                              SDL_JOYBUTTONUP,
                              SDL_CONTROLLERAXISMOTION,
                              SDL_CONTROLLERBUTTONDOWN,
                              SDL_CONTROLLERBUTTONUP,
                              SDL_CONTROLLERTOUCHPADDOWN,
                              SDL_CONTROLLERTOUCHPADMOTION,
                              SDL_CONTROLLERTOUCHPADUP,
                              SDL_CONTROLLERSENSORUPDATE,
                              SDL_JOYBATTERYUPDATED};

int slotOf(SDL_JoystickID id) {
  for (int slot = 0; slot < kMaxPads; ++slot) {
    if (slots[slot] != nullptr &&
        SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(slots[slot])) == id) {
      return slot;
    }
  }
  return -1;
}

void openPad(int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return;
  if (slotOf(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0) return;  // already open
  for (SDL_GameController*& slot : slots) {
    if (slot == nullptr) {
      slot = SDL_GameControllerOpen(deviceIndex);
      return;
    }
  }
}

void closePad(int slot) {
  SDL_GameControllerClose(slots[slot]);
  slots[slot] = nullptr;
  padRemoved(slot);
}

double axis(SDL_GameController* pad, SDL_GameControllerAxis which) {
  const double v = SDL_GameControllerGetAxis(pad, which) / 32767.0;
  return v < -1 ? -1 : v;
}

struct ButtonBit {
  SDL_GameControllerButton button;
  uint32_t bit;
};
constexpr ButtonBit kButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, kPadSouth},
    {SDL_CONTROLLER_BUTTON_B, kPadEast},
    {SDL_CONTROLLER_BUTTON_X, kPadWest},
    {SDL_CONTROLLER_BUTTON_Y, kPadNorth},
    {SDL_CONTROLLER_BUTTON_BACK, kPadBack},
    {SDL_CONTROLLER_BUTTON_START, kPadStart},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, kPadLeftStick},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, kPadRightStick},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kPadLeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kPadRightShoulder},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kPadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadRight},
};
}  // namespace

void startPads() {
  if (started) return;
  for (Uint32 type : kUnread) SDL_EventState(type, SDL_IGNORE);
  // SDL keeps the pads' state current behind other windows too, so that
  // nothing released meanwhile still seems held when the focus comes back;
  // what the game sees is the shell's to decide (padsFocus), not SDL's.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  // Without pad support the game still plays with the keyboard and mouse.
  started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

void stopPads() {
  for (int slot = 0; slot < kMaxPads; ++slot) {
    if (slots[slot] != nullptr) closePad(slot);
  }
  if (started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  started = false;
  focused = false;
}

void padsFocus(bool hasFocus) {
  focused = hasFocus;
  if (focused) return;
  for (int slot = 0; slot < kMaxPads; ++slot) {
    if (slots[slot] != nullptr) padRemoved(slot);  // let go of what it held
  }
}

bool handlePadEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: openPad(event.cdevice.which); return true;
    case SDL_CONTROLLERDEVICEREMOVED: {
      const int slot = slotOf(event.cdevice.which);
      if (slot >= 0) closePad(slot);
      return true;
    }
    default: return false;
  }
}

void readPads() {
  if (!focused) return;
  for (int slot = 0; slot < kMaxPads; ++slot) {
    SDL_GameController* pad = slots[slot];
    if (pad == nullptr) continue;
    PadState state;
    state.leftX = axis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    state.leftY = axis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    state.rightX = axis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    state.rightY = axis(pad, SDL_CONTROLLER_AXIS_RIGHTY);
    state.leftTrigger = axis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    state.rightTrigger = axis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    for (const ButtonBit& b : kButtons) {
      if (SDL_GameControllerGetButton(pad, b.button) != 0) state.buttons |= b.bit;
    }
    padFrame(slot, state);
  }
}
