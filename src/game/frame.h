// One game frame: advances the whole game by one step and draws it.
#pragma once

// Always returns true.
bool runFrame();

// The particle pass, seen from the player; it clears shot.smokeActive once
// nothing is alive. The frame calls it while smoke is active.
void drawSmoke();

// The modelview matrix of the player's eye: pitch, then the view's yaw, then
// the camera position at eye height. The frame calls it before the maze.
void placeCamera();
