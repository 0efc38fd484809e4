// Soak run: the real frame, game after game, on an offscreen context, driven
// by seeded random input the way the shells feed it (key messages, mouse
// moves with the cursor warps they cause, button presses, the keyboard step
// after each presented frame).
//
//   soak [FRAMES] [--seed N] [--rss-limit-kb K] [--max-game-frames N]
//        [--size WxH] [--rss-every N] [--inject-fault KIND]
//
// KIND: nan, alloc, glerror, leak, rock, wall, enemy, fragment, score.
//
// Runs in the current folder, which must hold the game's data files. Every
// frame checks that no game variable or particle is NaN or infinite, reads
// the GL errors and, in play, where everything stands, by the maze's own
// geometry: the player in a path cell and clear of its walls, with no wall
// crossed since the frame before; each living enemy in its zone; every live
// fragment inside a path cell; the score 10 per dead enemy. After
// a warm-up the run counts operator new calls made by the game's thread
// outside the GL driver and checks that the resident set size (sampled every 100 frames)
// peaks no higher in the second half of the run than in the first: the GL
// driver's heap rises and falls with what a frame draws, so single readings
// say little. A won or lost game shows its end
// screen for a few frames and then the state is reset for the next one.
// Exit status 0 when nothing was found, 1 when something was.
//
// Each game starts either under a guide that walks the path to the door and
// shoots the enemy that hunts it, or with a stretch of aimless wandering (of
// random length) before the guide takes over; the wanderer is usually caught.
// The player is the tests' bot (tests/support/bot.h) in its random mode.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "soak.h"

bool parseSoakOptions(int argc, char** argv, SoakOptions* o) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
      o->seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--rss-limit-kb") == 0 && hasValue) {
      o->rssLimitKb = std::atol(argv[++i]);
    } else if (std::strcmp(argv[i], "--max-game-frames") == 0 && hasValue) {
      o->maxGameFrames = std::atol(argv[++i]);
      if (o->maxGameFrames < 1) return false;
    } else if (std::strcmp(argv[i], "--inject-fault") == 0 && hasValue) {
      o->inject = argv[++i];
      if (!isSoakFault(o->inject)) return false;
    } else if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
      if (std::sscanf(argv[++i], "%dx%d", &o->width, &o->height) != 2 || o->width < 1 ||
          o->height < 1 || o->width > 4096 || o->height > 4096) {
        return false;
      }
    } else if (std::strcmp(argv[i], "--rss-every") == 0 && hasValue) {
      o->rssEvery = std::atol(argv[++i]);
    } else if (argv[i][0] != '-') {
      o->frames = std::atol(argv[i]);
      if (o->frames < 1) return false;
    } else {
      return false;
    }
  }
  return true;
}

int main(int argc, char** argv) {
  SoakOptions options;
  if (!parseSoakOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: soak [FRAMES] [--seed N] [--rss-limit-kb K] [--max-game-frames N]\n"
                 "            [--size WxH] [--rss-every N] [--inject-fault KIND]\n"
                 "KIND: nan alloc glerror leak rock wall enemy fragment score\n");
    return 2;
  }
#if !defined(_WIN32)
  // SDL would otherwise turn Ctrl-C and SIGTERM into quit events nobody reads.
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
#endif
  SoakTotals totals;
  if (!startSoak(options, &totals)) return 1;
  runSoak(options, &totals);
  releaseInjectedFaults();
  const bool pass = soakPassed(options, totals);
  printSoakReport(options, totals);
  endSoak();
  return pass ? 0 : 1;
}
