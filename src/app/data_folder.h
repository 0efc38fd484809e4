// The game's data folder, found wherever the game is started from.
//
// The game loads its data by paths relative to its working folder
// (data_files.h). A player may start it from any folder: through the installed
// command, a launcher, or by its full path. At start-up the entry point then
// finds the folder that holds the data and changes into it, after making the
// file names given to --record, --play and --trace absolute, so that they still
// name files in the folder the player started the game from.
//
// The data folder is the first of these that holds any of the data files:
//   1. the working folder (a game started in its own folder, as the tests do);
//   2. the program's own folder (the archives and the Windows zip);
//   3. the installed layout's data folder, found from the program's folder
//      (the Debian package: lib/games/shooter/shooter and share/games/shooter).
// A folder with only some of the files counts: the game then names what is
// missing or damaged there. Where none holds any, the game stays where it was
// started and reports the missing files.
#pragma once

#include <cstddef>

struct GameOptions;

// True when `path` names the same file from every working folder.
bool isAbsolutePath(const char* path);

// `folder` and `path` joined into `out` (an absolute path is copied as it is).
// False, with `out` empty, when the result does not fit in `size` bytes.
bool pathFromFolder(const char* folder, const char* path, char* out, size_t size);

// True when `folder` holds any of the game's data files.
bool holdsGameData(const char* folder);

// The data folder for a game started in `working` from a program in `program`
// (empty when unknown), into `out`; false when no candidate holds any data.
bool findDataFolder(const char* working, const char* program, char* out, size_t size);

// The start-up step of the desktop entry points: finds the data folder, makes
// the options' file names absolute and changes into it, passing the new names
// to the recorded game (app/recording.h). Where anything fails on the way (a
// name too long to make absolute, a folder that cannot be entered) the game
// stays in the folder it was started in, with its names as given.
void enterDataFolder(GameOptions* options);

// The OS's side (app/posix/folders.cpp, app/win32/folders.cpp); each false
// when the answer does not fit or the OS refuses.
bool workingFolder(char* out, size_t size);
bool programFolder(char* out, size_t size);
bool changeFolder(const char* folder);
