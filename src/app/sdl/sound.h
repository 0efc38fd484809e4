// The SDL shell's sound, beyond platformPlaySound (platform.h).
#pragma once

// Reads a wave file and opens the sound device for it now, so that its first
// platformPlaySound (the first shot) does neither: the game calls it at
// start-up. Starting SDL's sound alone took 18 to 99 ms on a desktop without
// a sound server, a hitch in the first shot's frame.
void loadSound(const char* fileName);
