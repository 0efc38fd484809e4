// The playing steps of the frame: enemies, the rifle, the crosshair, the HUD,
// the read-outs and the end screens.
#pragma once

// Zone test, chase, catch, facing, hit test and drawing of all six enemies.
void updateEnemies();

// Fires if the left button was pressed since the last shot.
void fireIfRequested();

// Marches the current shot's ray to its impact and starts a burst there.
void marchShot();

void drawCrosshair();
// Distance (and the win test), alert and score.
void drawHud();
// The frame rate and the debug read-outs (F); the frame samples the rate first.
void drawStats();
void drawEndScreen();
