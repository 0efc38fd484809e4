// The rifle: the hit test of a hunting enemy, firing, and the march of the shot's ray.
#pragma once

#include <cstdint>

#include "game/state.h"

// Hits that kill an enemy; the kill scores 10.
constexpr int32_t kHitsToKill = 3;

// The march's step limit: a ray gives up once its step count exceeds this.
constexpr int32_t kMaxShotSteps = 10000;

// The angles of the hit test, radians: H from the fire point to the enemy,
// P from the enemy to the player, D = H - P. The read-outs show them too.
struct HitAngles {
  double H;
  double P;
  double D;
};
HitAngles hitAngles(float x, float z, double fireX, double fireZ, double playerX, double playerZ);

// Whether a shot whose previous ray ended at (fireX, fireZ) strikes the enemy
// at (x, z) seen from the player (the button press is checked by the caller).
bool shotStrikes(float x, float z, double fireX, double fireZ, double playerX, double playerZ);

// Called by the enemy step for one hunting, living enemy: the hit test against
// the current fire point and button press; counts the hit, and on the third
// kills it and scores.
void hitTestEnemy(Enemy* enemy);

// Fires if the left button was pressed since the last shot (the frame calls
// it after the enemies).
void fireIfRequested();

// Marches the current shot's ray to its impact and starts a burst there
// (every frame, after firing).
void marchShot();
