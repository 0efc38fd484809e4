// The timedemo's scenes, shared by the desktop timedemo and the browser's:
// each one a preparation of the game's state and a frame to draw.
#pragma once

#include "world/particles.h"

struct TimedemoScene {
  const char* name;
  void (*prepare)();
  void (*draw)();
};

// Empty frame, maze alone, start frame, worst playing frame, the worst without
// the read-outs, the worst without shot and smoke; the maze frame is scene 1.
constexpr int kTimedemoScenes = 6;
constexpr int kMazeScene = 1;
extern const TimedemoScene timedemoScenes[kTimedemoScenes];

// Where the worst frame's 45 bursts strike; once, before the scenes run.
void placeImpacts();
// Every burst started at its impact, the smoke on.
void fillAllBursts();

// The worst frame's standpoint and the enemy hunting there.
constexpr double kLongViewX = 1000.0;
constexpr double kLongViewZ = 1408.0;
constexpr int kHunter = 1;
