// Smoke bursts: where a shot strikes, 8 smoke puffs and 37 tumbling fragments.
#pragma once

#include <cstdint>

#include "world/collision.h"

struct Particle {
  double life;
  double fade;
  double size;
  double triangle[9];
  double angle[3];
  double spin[3];
  double x, y, z;
  double vx, vy, vz;
};

constexpr int kParticlesPerBurst = 45;
constexpr int kBursts = 45;
constexpr int kPuffs = 8;

// Indexed [particle][burst].
extern Particle particles[kParticlesPerBurst][kBursts];

// The bursts' own random numbers: the classic linear congruential generator
// (state * 214013 + 2531011, results 0..32767), starting from state 1.
int burstRandom();
void resetBurstRandom();
// The generator's state (for the game's state digest).
uint32_t burstRandomState();

// Where a shot's ray stopped (the shot's fire_x, fire_y, fire_z) and the step
// it was taking (fire_dx, fire_dy, fire_dz, world units per step).
struct Impact {
  double x, y, z;
  double dx, dy, dz;
};

// Fills burst `slot` (0..44, the shot's burstSlot) at the impact point, the
// particles moving along the ray's step. The shot calls it when its ray hits.
void startBurst(int32_t slot, const Impact& impact);

// The player's view that the particles are drawn in: the look angles
// (pitch, viewYaw, degrees), the camera translation (camX, camZ), and where
// the player stands, which picks the zone that holds the fragments.
struct ParticleView {
  double pitch;
  double viewYaw;
  double camX;
  double camZ;
  Standpoint player;
};

// One frame of a fragment's motion: move, bounce off the player's zone, fall,
// slow down, fade and tumble. Drawing is left to drawParticles.
// `zone` is the player's zone, looked up before (zoneAt).
void advanceFragmentInZone(Particle* p, int zone);

// One frame of a smoke puff's motion: drift at half speed, rise, slow down and
// fade at half a fragment's rate.
void advancePuff(Particle* p);

// Advances and draws every live particle. False when none was alive: the
// frame then clears its smokeActive flag and stops calling.
bool drawParticles(const ParticleView& view);

// Kills every particle and restarts the generator (tests).
void resetParticles();
