// The timedemo's scenes: the longest corridor with all 45 bursts alive, an
// enemy hunting and the read-outs on, and the lighter frames to compare it with.
#include "timedemo_scenes.h"

#include <cmath>

#include "camera.h"
#include "game/frame.h"
#include "game/state.h"
#include "gl.h"
#include "support/test_platform.h"
#include "world/collision.h"
#include "world/maze.h"

namespace {
constexpr double kStartX = 1240.0;
constexpr double kStartZ = 1752.0;

// The longest straight view: from the high-x end of the 1024-unit corridor
// (zone 1, guarded by the second enemy) looking along -x.
constexpr double kLongViewHeading = 90.0;
constexpr float kHunterDistance = 50.0f;  // well outside the catch range of 15

// Where the 45 bursts sit: real shots fanned over the view (heading and pitch
// offsets), each marched to its impact like the rifle's ray.
Impact impacts[kBursts];

void emptyFrame() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

// The frame's maze pass alone, with the camera where a new game puts it.
void mazeFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glRotated(0.0, 1, 0, 0);
  glRotated(360.0, 0, 1, 0);
  glTranslated(-kStartX, -kEyeHeight, -kStartZ);
  drawMaze();
}

void gameFrame() { runFrame(); }

void prepareNothing() {}

void prepareStart() {
  resetGameState();
  testPlatform.sounds.clear();
  testPlatform.warps.clear();
}

// The worst frame, with parts of it left out to show what each costs.
void prepareWorstOf(bool smoke, bool readouts) {
  resetGameState();
  testPlatform.sounds.clear();
  testPlatform.warps.clear();
  if (smoke) fillAllBursts();
  player.xtrans2 = kLongViewX;
  player.ztrans2 = kLongViewZ;
  input.mouseYaw = kLongViewHeading;
  input.showStats = readouts ? 1 : 0;
  input.fireRequest = smoke ? 1 : 0;
  // The frame counter at 9: this frame samples the frame rate as well.
  frameRate.frameCount = 9;
  enemies[kHunter].x = static_cast<float>(kLongViewX) - kHunterDistance;
  enemies[kHunter].z = static_cast<float>(kLongViewZ);
}

void prepareWorst() { prepareWorstOf(true, true); }
void prepareWorstNoReadouts() { prepareWorstOf(true, false); }
void prepareWorstNoSmoke() { prepareWorstOf(false, true); }
}  // namespace

const TimedemoScene timedemoScenes[kTimedemoScenes] = {
    {"empty frame (clear + swap)", prepareNothing, emptyFrame},
    {"maze alone, from the start", prepareNothing, mazeFrame},
    {"start frame (runFrame, idle)", prepareStart, gameFrame},
    {"worst playing frame", prepareWorst, gameFrame},
    {"  the same without the read-outs", prepareWorstNoReadouts, gameFrame},
    {"  the same without shot and smoke", prepareWorstNoSmoke, gameFrame},
};

void placeImpacts() {
  player.xtrans2 = kLongViewX;
  player.ztrans2 = kLongViewZ;
  for (int b = 0; b < kBursts; ++b) {
    const double heading = kLongViewHeading + (b % 9 - 4) * 6.0;  // -24..24 degrees
    const double pitch = (b / 9 - 2) * 9.0;                       // -18..18 degrees
    Impact& i = impacts[b];
    i.dx = -std::sin(heading * kDegToRad) / 5;
    i.dy = -std::tan(pitch * kDegToRad) / 5;
    i.dz = -std::cos(heading * kDegToRad) / 5;
    i.x = kLongViewX;
    i.y = 10.0;
    i.z = kLongViewZ;
    double zero = 0;
    for (int step = 0; step < 20000; ++step) {
      i.x += i.dx;
      i.y += i.dy;
      i.z += i.dz;
      if (collideInZone(zoneAt({player.xtrans2, player.ztrans2}), &i.x, &i.y, &i.z, &zero, &zero,
                        &zero, 0.0, 0.0)) {
        break;
      }
    }
  }
}

void fillAllBursts() {
  for (int b = 0; b < kBursts; ++b) {
    const Impact& i = impacts[b];
    shot.burstSlot = b;
    shot.fire_x = i.x;
    shot.fire_y = i.y;
    shot.fire_z = i.z;
    shot.fire_dx = i.dx;
    shot.fire_dy = i.dy;
    shot.fire_dz = i.dz;
    startBurst(b, i);
  }
  shot.smokeActive = 1;
}
