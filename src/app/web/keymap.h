// Translation of a browser key event's key code into the Win32 virtual-key
// code the game's key table is indexed by.
#pragma once

// The virtual-key code (0 for none) of a DOM keyCode. Browsers model keyCode
// on the Windows codes; the few that some browsers number differently are
// mapped to the Windows value.
int virtualKeyFromKeyCode(unsigned long keyCode);
