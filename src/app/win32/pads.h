// Pads on Windows through XInput, loaded at run time (xinput1_4.dll, else
// xinput9_1_0.dll), so that the game starts where neither exists and then
// plays without pads.
#pragma once

// Passes each connected pad's state to the game (app/devices.h) and lets go of
// what a pad pulled out held; once per frame. Loads XInput on its first call.
// Pads play only the window in front: while `focused` is false no pad is read,
// and each lets go of what it held, as if pulled out (a pad still held when
// the window is in front again takes its keys anew).
void readPads(bool focused);

// The XInput library in use ("xinput1_4.dll" or "xinput9_1_0.dll"), or null
// when neither could be loaded (or readPads has not run yet).
const char* padLibrary();
