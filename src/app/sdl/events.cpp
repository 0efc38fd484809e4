// The SDL shell's window procedure: SDL events into game input, one per pass.
#include "app/sdl/events.h"

#include "app/main_loop.h"
#include "app/screenshot.h"
#include "app/sdl/keymap.h"
#include "app/sdl/pads.h"
#include "app/sdl/window.h"
#include "app/shell.h"
#include "game/state.h"

namespace {
void handleWindowEvent(const SDL_WindowEvent& window) {
  switch (window.event) {
    case SDL_WINDOWEVENT_MINIMIZED: shell.active = false; break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED: shell.active = true; break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST: padsFocus(window.event == SDL_WINDOWEVENT_FOCUS_GAINED); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      // The event gives the window's size; the drawable's pixels may be more.
      if (gameWindow != nullptr) {
        resizeToDrawable();
      } else {
        resizeView(window.data1, window.data2);
      }
      break;
    default: break;
  }
}
}  // namespace

EventResult handleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT: return EventResult::Quit;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) return EventResult::Quit;
      handleWindowEvent(event.window);
      break;
    case SDL_KEYDOWN: {
      // F12 saves a screenshot and is no key of the game's (app/screenshot.h).
      if (event.key.keysym.scancode == SDL_SCANCODE_F12) {
        if (event.key.repeat == 0) requestScreenshot();
        break;
      }
      // Alt+Enter switches between full screen and a window, and is no key
      // of the game's either.
      if ((event.key.keysym.scancode == SDL_SCANCODE_RETURN ||
           event.key.keysym.scancode == SDL_SCANCODE_KP_ENTER) &&
          (event.key.keysym.mod & KMOD_ALT) != 0) {
        if (event.key.repeat == 0) switchFullScreen();
        break;
      }
      // Repeats of a held key simply leave it down.
      if (isSystemKey(event.key.keysym)) break;
      const int key = virtualKeyFromKeysym(event.key.keysym);
      if (key != 0) keyDown(key);
      break;
    }
    case SDL_KEYUP: {
      if (event.key.keysym.scancode == SDL_SCANCODE_F12) break;
      // A release always clears the key, even with Alt held meanwhile, so
      // that no key can stay down after it was let go.
      const int key = virtualKeyFromKeysym(event.key.keysym);
      if (key != 0) keyUp(key);
      break;
    }
    case SDL_MOUSEMOTION: mouseView(event.motion.x, event.motion.y); break;
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) fireButton();
      break;
    default: handlePadEvent(event); break;
  }
  return EventResult::Handled;
}

PumpResult pumpEvent(int* quitCode) {
  SDL_Event event;
  if (!SDL_PollEvent(&event)) {
    // The queue is empty: a frame follows, with the pads as they are now.
    readPads();
    return PumpResult::Empty;
  }
  if (handleEvent(event) == EventResult::Quit) {
    *quitCode = kExitNormal;
    return PumpResult::Quit;
  }
  return PumpResult::Handled;
}
