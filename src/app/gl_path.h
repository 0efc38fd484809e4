// The desktop builds' GL path (gl/gl_desktop.h): through the game's GL layer,
// or each call straight to the system's driver with --direct-gl on the command
// line (app/command_line.h) or SHOOTER_DIRECT_GL=1 in the environment. The
// shell starts the chosen path when its context is current.
#pragma once

#include "app/main_loop.h"

// Chooses the path: the driver's when the option was given or the
// environment asks for it.
void chooseGlPath(bool directOption);

// The last steps of openGameWindow on every desktop, once the window is shown
// and its context is current: the chosen GL path started, the projection set
// for a drawable of width x height pixels (resizeView) and the scene loaded
// (initScene). Unless Opened, the window is closed (closeGameWindow) and the
// failed step's message shown.
WindowOpen openGameScene(int width, int height);

// The first steps of closeGameWindow, while the context is still current:
// the scene released (releaseScene) and the GL path stopped.
void closeGameScene();
