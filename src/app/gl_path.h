// The desktop builds' GL path (gl/gl_desktop.h): through the game's GL layer,
// or each call straight to the system's driver with --direct-gl on the command
// line or SHOOTER_DIRECT_GL=1 in the environment. The shell starts the chosen
// path when its context is current.
#pragma once

// The option that chooses the driver's path; the other option readers let it pass.
inline constexpr const char kDirectGlOption[] = "--direct-gl";

// Reads the choice; other arguments are left to the other readers.
void readGlOptions(int argc, char** argv);
