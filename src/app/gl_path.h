// The desktop builds' GL path (gl/gl_desktop.h): through the game's GL layer,
// or each call straight to the system's driver with --direct-gl on the command
// line (app/command_line.h) or SHOOTER_DIRECT_GL=1 in the environment. The
// shell starts the chosen path when its context is current.
#pragma once

// Chooses the path: the driver's when the option was given or the
// environment asks for it.
void chooseGlPath(bool directOption);
