// The command line, the same on every desktop build:
//
//   shooter [--fullscreen | --window] [--switch-mode]
//           [--record FILE | --play FILE] [--trace FILE] [--direct-gl]
//   shooter --help | -h
//   shooter --version
//
// Words without a leading "-" are left to the shell (the page's "paused").
// The usage that --help shows lives here alone: every build prints this text.
#pragma once

#include <cstddef>

#include "app/input.h"

// What the command line asks for.
enum class CommandRequest {
  Play,     // the game, with the options read into GameOptions
  Help,     // the usage
  Version,  // the program's name and version
  Refused,  // an unknown option or a mistake in one (the reason is given)
};

// The options of a game. The names point into argv.
struct GameOptions {
  const char* record = nullptr;               // --record FILE
  const char* play = nullptr;                 // --play FILE
  const char* trace = nullptr;                // --trace FILE
  bool directGl = false;                      // --direct-gl (the desktop's GL path, app/gl_path.h)
  ScreenRequest screen = ScreenRequest::Ask;  // --fullscreen or --window
  bool switchMode = false;                    // --switch-mode
};

// Reads the command line, word by word: --help, -h and --version answer at
// once; a refusal names the word and points to --help in `reason`.
CommandRequest readCommandLine(int argc, char** argv, GameOptions* options, char* reason,
                               size_t reasonSize);

// "shooter 1.0": the name and the version of the project.
const char* versionText();
// The usage: every option, the environment and the exit codes.
const char* usageText();

// The whole command line of a program: reads it and answers --help,
// --version or a refused option (platformCommandLineAnswer), or passes the
// options to the recorded game and the screen's choice to the shell (`shell`). False when the
// program ends now, with *exitCode (0 after the usage or the version, kExitStartFailed after a
// refusal).
bool takeCommandLine(int argc, char** argv, GameOptions* options, int* exitCode);
