// Pads on SDL, through its game controller API and the mapping database SDL
// ships: a pad plugged in while the game runs is taken up, one pulled out
// lets go of every key it held (app/devices.h).
#pragma once

#include <SDL.h>

// Starts and stops SDL's game controller system with the game window. The
// pads already plugged in arrive as added events.
void startPads();
void stopPads();

// Takes a pad's added or removed event; false for any other event.
bool handlePadEvent(const SDL_Event& event);

// Pads play only the window that has the keyboard focus, as on Windows and
// in the browser: losing it lets go of everything the pads held, and until
// it comes back no pad is read. The window starts without it; the window
// events say when it gains and loses it.
void padsFocus(bool hasFocus);

// Passes each open pad's state to the game, with the focus; once per frame.
void readPads();
