// The process exit codes of the game, on every build.
#pragma once

// Every normal end: Escape, closing the window, a failed frame, declining the
// windowed fallback, a replay that ended as its recording did.
constexpr int kExitNormal = 0;
// The game could not start: a bad option, a recorded game that cannot be read,
// a file that cannot be opened for writing, a window or scene that failed.
constexpr int kExitStartFailed = 1;
// A replay (--play) that did not end as its recording did (other frames or
// another state digest), or whose recording has no end record to check it by.
constexpr int kExitReplayDiffers = 2;
// The recording (--record) or the trace (--trace) could not be written whole.
constexpr int kExitNotWritten = 3;
