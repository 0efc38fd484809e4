// The six enemies: the frame's enemy step, and the rules behind it as plain functions.
#pragma once

#include "game/state.h"

// The frame's enemy step: for the first to the sixth enemy in order, the zone
// test, chase, catch, facing, hit test and drawing.
void updateEnemies();

// The rules, as plain functions of their inputs, so that the frame and the
// tests use the very same arithmetic. Positions of enemies are single
// precision; everything taken from the player is double, and differences are
// made in double.

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
