// The rules behind the enemies and the rifle, as plain functions of their
// inputs, so that the frame and the tests use the very same arithmetic.
// Positions of enemies are single precision; everything taken from the
// player or the fire point is double, and differences are made in double.
#pragma once

#include <cstdint>

#include "game/state.h"

// Strictly inside the enemy's zone rectangle: a point on a bound is outside.
bool playerInZone(const EnemyConfig& config, double x, double z);

// Chase speed along one axis for a distance d (player minus enemy): faster
// towards the player beyond 15 units, stopped within 15 units (inclusive).
float chaseSpeed(float speed, double d);

// Bearing from an enemy at (x, z) to the player, in degrees.
float enemyBearing(float x, float z, double playerX, double playerZ);

// Offset added to the bearing so the model faces the player; dx, dz are the
// player minus the enemy, `bearing` is the value of enemyBearing.
float facingMultiplier(double dx, double dz, float bearing);

// One frame of a dead enemy's fall: speeds up by 0.1 degree per frame until
// the tilt reaches 89 degrees, then stays.
void advanceFall(Enemy* enemy);

// The angles of the hit test, radians: H from the fire point to the enemy,
// P from the enemy to the player, D = H - P.
struct HitAngles {
  double H;
  double P;
  double D;
};
HitAngles hitAngles(float x, float z, double fireX, double fireZ, double playerX,
                    double playerZ);

// Whether a shot whose previous ray ended at (fireX, fireZ) strikes the enemy
// at (x, z) seen from the player (the button press is checked by the caller).
bool shotStrikes(float x, float z, double fireX, double fireZ, double playerX, double playerZ);

// The hit test of one hunting, living enemy against the current fire point
// and button press; counts the hit, and on the third kills it and scores.
void hitTestEnemy(Enemy* enemy);

// The march's step limit: a ray gives up once its step count exceeds this.
constexpr int32_t kMaxShotSteps = 10000;
