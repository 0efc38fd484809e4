// One game frame: advances the whole game by one step and draws it.
#pragma once

// Always returns true.
bool runFrame();

// The modelview matrix of the player's eye: pitch, then the view's yaw, then
// the camera position at eye height. The frame calls it before the maze.
void placeCamera();
