// The six enemies: each guards its zone, hunts the player standing in it,
// turns towards the player, can be shot, and topples over when killed.
#include "game/enemies.h"

#include <cmath>

#include "game/shooting.h"
#include "game/state.h"
#include "gl.h"
#include "math/game_math.h"
#include "model/model_list.h"

namespace {
constexpr double kChaseBand = 15.0;    // no chasing within this distance on an axis
constexpr double kChaseAccel = 0.001;  // speed change per frame beyond it
constexpr double kCatchRange = 15.0;   // the catch square's half edge
constexpr double kFallStop = 89.0;     // degrees
constexpr double kFallAccel = 0.1;     // degrees per frame per frame
constexpr float kModelHeight = 25.0f;  // lift of a standing enemy's model
constexpr float kFallenHeight = 15.0f;

// One row of the facing table: the offset for bands 0-15, 15-30, 30-45,
// 45-60, 60-75 of the bearing's magnitude, and for everything else.
struct FacingRow {
  float band[5];
  float otherwise;
};
constexpr FacingRow kTowardsLowXLowZ = {{135, 110, 85, 60, 35}, 10};
constexpr FacingRow kTowardsLowXHighZ = {{-165, -140, -115, -90, -65}, -40};
constexpr FacingRow kTowardsHighXLowZ = {{20, 40, 60, 80, 100}, 140};

// Bands are open at both ends; a value exactly on an edge takes `otherwise`.
// `a` is the bearing oriented so that the first band lies below 15.
float lookUp(const FacingRow& row, float a) {
  if (a < 15) return row.band[0];
  for (int band = 1; band < 5; ++band) {
    const float low = static_cast<float>(15 * band);
    if (a > low && a < low + 15) return row.band[band];
  }
  return row.otherwise;
}

void drawStanding(Enemy* e) {
  glPushMatrix();
  // Chase on x, then on z, translating as each axis moves.
  e->speedX = chaseSpeed(e->speedX, player.xtrans2 - static_cast<double>(e->x));
  e->x += e->speedX;
  glTranslatef(e->x, 0, 0);
  e->speedZ = chaseSpeed(e->speedZ, player.ztrans2 - static_cast<double>(e->z));
  e->z += e->speedZ;
  glTranslatef(0, 0, e->z);

  const double dx = player.xtrans2 - static_cast<double>(e->x);
  const double dz = player.ztrans2 - static_cast<double>(e->z);
  if (std::fabs(dx) < kCatchRange && std::fabs(dz) < kCatchRange) result.gameOver = 1;

  e->RotateX = enemyBearing(e->x, e->z, player.xtrans2, player.ztrans2);
  e->multiplier = facingMultiplier(dx, dz, e->RotateX);
  glRotatef(e->multiplier + e->RotateX, 0, 1, 0);

  // A kill shows from the next frame: this one still draws it upright.
  hitTestEnemy(e);
  glTranslatef(0, kModelHeight, 0);
  glCallList(modelList);
  glPopMatrix();
}

void drawFallen(Enemy* e) {
  glPushMatrix();
  glTranslatef(e->x, kFallenHeight, e->z);
  glRotatef(e->multiplier + e->RotateX, 0, 1, 0);
  advanceFall(e);
  glRotatef(e->fall, 1, 0, -1);
  glCallList(modelList);
  glPopMatrix();
}
}  // namespace

bool playerInZone(const EnemyConfig& config, double x, double z) {
  return x > config.zoneX0 && x < config.zoneX1 && z > config.zoneZ0 && z < config.zoneZ1;
}

float chaseSpeed(float speed, double d) {
  if (d > kChaseBand) return static_cast<float>(static_cast<double>(speed) + kChaseAccel);
  if (-d > kChaseBand) return static_cast<float>(static_cast<double>(speed) - kChaseAccel);
  return 0.0f;
}

float enemyBearing(float x, float z, double playerX, double playerZ) {
  const double slope =
      (playerZ - static_cast<double>(z)) / (playerX - static_cast<double>(x) + 0.5);
  return static_cast<float>(gmath::atan(slope) / kDegToRad);
}

float facingMultiplier(double dx, double dz, float bearing) {
  if (dz < 0 && dx < 0) return lookUp(kTowardsLowXLowZ, bearing);
  if (dx < 0 && dz > 0) return lookUp(kTowardsLowXHighZ, -bearing);
  if (dx > 0 && dz < 0) return lookUp(kTowardsHighXLowZ, -bearing);
  return bearing * -165.0f / 90.0f - 15.0f;
}

void advanceFall(Enemy* enemy) {
  if (std::fabs(static_cast<double>(enemy->fall)) >= kFallStop) {
    enemy->fallSpeed = 0;
  } else {
    enemy->fallSpeed = static_cast<float>(static_cast<double>(enemy->fallSpeed) + kFallAccel);
  }
  enemy->fall += enemy->fallSpeed;
}

void updateEnemies() {
  for (int i = 0; i < kEnemyCount; ++i) {
    Enemy* e = &enemies[i];
    const EnemyConfig& config = kEnemyConfig[i];
    e->inZone = playerInZone(config, player.xtrans2, player.ztrans2) ? 1 : 0;
    if (!e->inZone) {
      // Back to its post with its hits forgotten; the speeds stay as they were.
      if (!e->dead) {
        e->hit = 0;
        e->x = config.spawnX;
        e->z = config.spawnZ;
      }
      continue;
    }
    if (e->dead) {
      drawFallen(e);
    } else {
      drawStanding(e);
    }
  }
}
