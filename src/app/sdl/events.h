// The SDL shell's window procedure: turns one SDL event into game state
// (the key table, the active flag, the projection, the mouse view and the
// fire request).
#pragma once

#include <SDL.h>

enum class EventResult {
  Handled,  // the event was taken (whether or not it changed anything)
  Quit,     // the window was closed: the main loop ends
};

EventResult handleEvent(const SDL_Event& event);
