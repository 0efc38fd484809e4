// The command line: its reader, the usage and the version, and the answer to
// a request that ends the program before the game starts.
#include "app/command_line.h"

#include <cstdio>
#include <cstring>

#include "app/exit_codes.h"
#include "app/recording.h"
#include "platform/platform.h"
#include "shooter_version.h"

namespace {
constexpr const char kVersion[] = SHOOTER_PROGRAM_NAME " " SHOOTER_VERSION;

// The exit codes below are those of app/exit_codes.h.
static_assert(kExitNormal == 0 && kExitStartFailed == 1 && kExitReplayDiffers == 2 &&
                  kExitNotWritten == 3,
              "the usage's exit codes");
constexpr const char kUsage[] =
    "Usage: " SHOOTER_PROGRAM_NAME
    " [--fullscreen | --window] [--switch-mode]\n"
    "               [--record FILE | --play FILE] [--trace FILE] [--direct-gl]\n"
    "First Person Shooter: walk the maze, shoot the six enemies, reach the exit door.\n"
    "\n"
    "Options:\n"
    "  --fullscreen    play full screen without asking first: the whole screen at\n"
    "                  its own resolution (Alt+Enter switches to a window)\n"
    "  --window        play in a window without asking first\n"
    "  --switch-mode   full screen switches the display to 640 x 480 instead\n"
    "  --record FILE   record the game's input into FILE, to be played again\n"
    "  --play FILE     replay the game recorded in FILE; live input is ignored,\n"
    "                  except Escape\n"
    "  --trace FILE    write the game's state after every frame into FILE\n"
    "  --direct-gl     send every GL call straight to the system's driver\n"
    "  -h, --help      show this help and exit\n"
    "  --version       show the name and version and exit\n"
    "\n"
    "Environment:\n"
    "  SHOOTER_DIRECT_GL=1   as --direct-gl\n"
    "\n"
    "Exit codes:\n"
    "  0   the game ended normally (Escape, the window closed, a replay ended\n"
    "      as recorded)\n"
    "  1   the game could not start (a bad option, a recorded game that cannot\n"
    "      be read, a file that cannot be written, no window)\n"
    "  2   a replay did not end as its recording did\n"
    "  3   the recording or the trace could not be written whole";

CommandRequest refuse(char* reason, size_t size, const char* before, const char* word,
                      const char* after) {
  std::snprintf(reason, size,
                "%s\"%s\"%s\nSee \"" SHOOTER_PROGRAM_NAME " --help\" for the options.", before,
                word, after);
  return CommandRequest::Refused;
}
}  // namespace

const char* versionText() { return kVersion; }

const char* usageText() { return kUsage; }

CommandRequest readCommandLine(int argc, char** argv, GameOptions* options, char* reason,
                               size_t reasonSize) {
  *options = GameOptions{};
  if (reasonSize > 0) reason[0] = '\0';
  for (int i = 1; i < argc; ++i) {
    const char* word = argv[i];
    const auto is = [word](const char* name) { return std::strcmp(word, name) == 0; };
    if (word[0] != '-') continue;
    if (is("--help") || is("-h")) return CommandRequest::Help;
    if (is("--version")) return CommandRequest::Version;
    if (is("--direct-gl")) {
      options->directGl = true;
      continue;
    }
    if (is("--switch-mode")) {
      options->switchMode = true;
      continue;
    }
    if (is("--fullscreen") || is("--window")) {
      if (options->screen != ScreenRequest::Ask) {
        return refuse(reason, reasonSize, "", word,
                      " cannot follow --fullscreen or --window: one screen at a time.");
      }
      options->screen = is("--window") ? ScreenRequest::Window : ScreenRequest::FullScreen;
      continue;
    }
    const char** file = is("--record")  ? &options->record
                        : is("--play")  ? &options->play
                        : is("--trace") ? &options->trace
                                        : nullptr;
    if (file == nullptr) return refuse(reason, reasonSize, "Unknown option ", word, ".");
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
      return refuse(reason, reasonSize, "No file after ", word, ".");
    }
    if (*file != nullptr) return refuse(reason, reasonSize, "", word, " is given twice.");
    if (!is("--trace") && (options->record != nullptr || options->play != nullptr)) {
      return refuse(reason, reasonSize, "", word,
                    " cannot follow --record or --play: one game at a time.");
    }
    *file = argv[++i];
  }
  // Writing the trace over the recording would spoil the game on its way,
  // whichever name either is given by.
  const char* game = options->record != nullptr ? options->record : options->play;
  if (game != nullptr && options->trace != nullptr && sameFile(game, options->trace)) {
    return refuse(reason, reasonSize, "The trace ", options->trace,
                  " is the recorded game's own file.");
  }
  return CommandRequest::Play;
}

bool takeCommandLine(int argc, char** argv, GameOptions* options, int* exitCode) {
  char reason[512];
  switch (readCommandLine(argc, argv, options, reason, sizeof reason)) {
    case CommandRequest::Play:
      chooseRecordedGame(options->record, options->play, options->trace);
      shell.screenRequest = options->screen;
      shell.switchMode = options->switchMode;
      return true;
    case CommandRequest::Help:
      platformCommandLineAnswer(kUsage, SHOOTER_PROGRAM_NAME, false);
      *exitCode = kExitNormal;
      return false;
    case CommandRequest::Version:
      platformCommandLineAnswer(kVersion, SHOOTER_PROGRAM_NAME, false);
      *exitCode = kExitNormal;
      return false;
    case CommandRequest::Refused:
      platformCommandLineAnswer(reason, SHOOTER_PROGRAM_NAME, true);
      *exitCode = kExitStartFailed;
      return false;
  }
  return false;
}
