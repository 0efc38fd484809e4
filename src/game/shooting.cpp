// The rifle: the hit test of a hunting enemy, firing, and the march of the
// shot's ray to the face of the player's zone where it leaves a smoke burst.
#include "game/shooting.h"
#include "camera.h"
#include "data_files.h"
#include "game/state.h"
#include "math/game_math.h"
#include "platform/platform.h"
#include "world/collision.h"
#include "world/particles.h"

namespace {
constexpr double kAimTolerance = 0.1746;  // radians, just over 10 degrees
constexpr double kFoldedAim = 2.8809;     // radians, about 165 degrees
constexpr int32_t kKillScore = 10;
constexpr double kStepsPerUnit = 5.0;  // a march step is 0.2 units in x-z
constexpr int32_t kLastBurst = kBursts - 1;

bool strictlyBetween(double v, double a, double b) { return (v > a && v < b) || (v < a && v > b); }
}  // namespace

HitAngles hitAngles(float x, float z, double fireX, double fireZ, double playerX, double playerZ) {
  const double ex = static_cast<double>(x);
  const double ez = static_cast<double>(z);
  HitAngles a;
  a.H = gmath::atan((ez - fireZ) / (ex - fireX + 0.5));
  a.P = gmath::atan((playerZ - ez) / (playerX - ex + 0.5));
  a.D = a.H - a.P;
  return a;
}

bool shotStrikes(float x, float z, double fireX, double fireZ, double playerX, double playerZ) {
  const HitAngles a = hitAngles(x, z, fireX, fireZ, playerX, playerZ);
  if (a.D > -kAimTolerance && a.D < kAimTolerance) {
    return strictlyBetween(static_cast<double>(z), playerZ, fireZ) &&
           strictlyBetween(static_cast<double>(x), playerX, fireX);
  }
  // atan folds directions into -90..90 degrees: two nearly opposite angles
  // mean the fire point lies on the far side of the enemy.
  return a.D > kFoldedAim || a.D < -kFoldedAim;
}

void hitTestEnemy(Enemy* enemy) {
  if (input.fireRequest != 1) return;
  if (!shotStrikes(enemy->x, enemy->z, shot.fire_x, shot.fire_z, player.xtrans2, player.ztrans2)) {
    return;
  }
  ++enemy->hit;
  if (enemy->hit == kHitsToKill) {
    enemy->dead = 1;
    result.point += kKillScore;
  }
}

void fireIfRequested() {
  if (!input.fireRequest) return;
  platformPlaySound(kRifleSoundFile);  // asynchronous; a missing sound changes nothing
  ++shot.burstSlot;
  if (shot.burstSlot > kLastBurst) shot.burstSlot = 0;
  shot.shotDone = 0;
  input.fireRequest = 0;
  // From the player's position of this frame, before its wall test.
  shot.fire_x = -view.camX;
  shot.fire_y = kMuzzleHeight;
  shot.fire_z = -view.camZ;
  shot.fire_dx = -gmath::sin(view.heading * kDegToRad) / kStepsPerUnit;
  shot.fire_dy = -gmath::tan(input.pitch * kDegToRad) / kStepsPerUnit;
  shot.fire_dz = -gmath::cos(view.heading * kDegToRad) / kStepsPerUnit;
}

void marchShot() {
  if (shot.shotDone) return;
  // The player stands still while the ray marches: its zone is looked up once.
  const int zone = zoneAt({player.xtrans2, player.ztrans2});
  int32_t steps = 0;
  while (!shot.shotDone) {
    ++steps;
    shot.fire_x += shot.fire_dx;
    shot.fire_y += shot.fire_dy;
    shot.fire_z += shot.fire_dz;
    // Most steps end well within the zone, where the wall test moves nothing.
    const bool within = zone >= 0 && withinZone(zone, shot.fire_x, shot.fire_y, shot.fire_z);
    if (!within && collideInZone(zone, &shot.fire_x, &shot.fire_y, &shot.fire_z, &player.ymove,
                                 &player.ymove, &player.ymove, 0.0, 0.0)) {
      shot.shotDone = 1;
      startBurst(shot.burstSlot,
                 {shot.fire_x, shot.fire_y, shot.fire_z, shot.fire_dx, shot.fire_dy, shot.fire_dz});
      shot.smokeActive = 1;
    } else if (steps > kMaxShotSteps) {
      // Nothing to strike (the player stands on a zone bound): no smoke.
      shot.shotDone = 1;
    }
  }
}
