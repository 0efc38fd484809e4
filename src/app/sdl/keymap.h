// Translation of SDL key events into the Win32 virtual-key codes the game's
// key table is indexed by, so both shells fill KeyDown with the same numbers.
#pragma once

#include <SDL.h>

// The virtual-key code of a key (Win32 VK_* value), or 0 for a key that has none.
// Letters follow the keyboard layout (as on Windows); the digit row, the
// punctuation keys that the layout does not give a known character, and all
// non-character keys follow their position. Keypad keys give the numpad codes
// with Num Lock on and the navigation codes with it off, as Windows does.
int virtualKeyFromKeysym(const SDL_Keysym& keysym);

// Keys that Windows delivers as system keys: anything pressed while Alt is held,
// and F10. The game does not record them.
bool isSystemKey(const SDL_Keysym& keysym);
