// The soak's parts: the options, what a run counts and measures, the run
// itself (soak_run.cpp), its checks (soak_checks.cpp) and the report
// (soak_report.cpp). soak.cpp's main puts them together.
#pragma once

#include <cstdint>

#include "world/collision.h"

struct SoakOptions {
  long frames = 20000;
  uint64_t seed = 1;
  long rssLimitKb = 16384;
  long maxGameFrames = 40000;
  long rssEvery = 0;             // print the memory figures every this many frames
  const char* inject = nullptr;  // a fault made half way, to prove the checks
  // The offscreen surface. The game still draws its 640 x 480 view with the
  // same calls; a smaller surface only leaves llvmpipe fewer pixels to fill,
  // and nothing the soak checks reads a pixel.
  int width = 640;
  int height = 480;
};

// The checks of where everything stands, each counted on its own so that one
// finding hides no other.
enum PlaceCheck { kPlayerPlace, kPlayerStep, kEnemyPlace, kFragmentPlace, kScore, kPlaceChecks };
struct Misplaced {
  long frames = 0;  // frames of play in which the check found something
  long firstFrame = -1;
  char first[160] = {};  // what it found first
  void note(long frame, const char* what);
};

// What a run counted and measured.
struct SoakTotals {
  long frames = 0;
  long games = 0;
  long wins = 0;
  long losses = 0;
  long abandoned = 0;
  long shots = 0;
  long sounds = 0;
  long kills = 0;
  long endFrames = 0;
  long statsFrames = 0;
  long glErrors = 0;
  unsigned firstGlError = 0;
  long firstGlErrorFrame = -1;
  const char* nonFinite = nullptr;
  long nonFiniteFrame = -1;
  Misplaced misplaced[kPlaceChecks];
  long heldSteps = 0;  // the player's steps that met a wall and were held
  long messages = 0;

  double seconds = 0;  // from start-up to the end of the loop
  long rssStartUp = -1;
  long rssStart = -1;  // after the warm-up
  long rssEnd = -1;
  long peakFirstHalf = -1;  // highest RSS sampled in each half of the loop
  long peakSecondHalf = -1;
  long heapStart = -1;
  long heapEnd = -1;
  long gameAllocations = 0;    // operator new by the game's thread in the loop
  long driverAllocations = 0;  // ... from inside the GL driver
};

// soak.cpp: the command line. False for anything it does not understand.
bool parseSoakOptions(int argc, char** argv, SoakOptions* options);

// soak_run.cpp: opens the context and starts the game in the current folder
// (false, with the reason on stderr, when it cannot), then plays and checks
// options.frames frames, and finally closes the game again.
bool startSoak(const SoakOptions& options, SoakTotals* totals);
void runSoak(const SoakOptions& options, SoakTotals* totals);
void endSoak();

// soak_checks.cpp: the checks the run makes as it goes.
// The first game variable or particle that is NaN or infinite, or null.
const char* nonFiniteGameVariable();
const char* nonFiniteParticle();
// Where everything stands after a frame of play, `before` being where the
// player stood after the frame before, judged by the maze's own geometry
// (tests/support/maze_geometry.h), not by the wall tests: the player in a path
// cell, clear of its walls, with no wall between `before` and where it stands
// now; each living enemy inside its zone; every live fragment inside a path
// cell, between floor and ceiling; the score 10 per dead enemy. Each check
// that finds something notes it in `found`.
void checkPlaces(Standpoint before, long frame, Misplaced found[kPlaceChecks]);
// Whether the frame's step (from `before` to where the camera stood) met a wall.
bool stepWasHeld(Standpoint before);
// Reads every pending GL error into the totals.
void readGlErrors(SoakTotals* totals);
// Resident set size and the C heap in use (all threads), in kB; -1 where the
// system does not tell.
long residentKb();
long heapInUseKb();
// Makes a fault of the kind one check looks for: nan, alloc, glerror, leak,
// and rock, wall, enemy, fragment, score for checkPlaces. False when it
// cannot be made in this frame (no living enemy to move).
bool isSoakFault(const char* kind);
bool injectFault(const char* kind);
void releaseInjectedFaults();

// soak_report.cpp: whether the run found nothing, and the report on stdout.
// Frames found out of place, all checks together.
long misplacedFrames(const SoakTotals& totals);
bool soakPassed(const SoakOptions& options, const SoakTotals& totals);
void printSoakReport(const SoakOptions& options, const SoakTotals& totals);
