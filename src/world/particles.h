// Smoke bursts: where a shot strikes, 8 smoke puffs and 37 tumbling fragments.
#pragma once

#include <cstdint>

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

// Fills burst shot.burstSlot at the fire point, moving along the ray's step.
void startBurst();

// One frame of a fragment's motion: move, bounce off the player's zone, fall,
// slow down, fade and tumble. Drawing is left to drawParticles.
void advanceFragment(Particle* p);

// One frame of a smoke puff's motion: drift at half speed, rise, slow down and
// fade at half a fragment's rate.
void advancePuff(Particle* p);

// Advances and draws every live particle; clears smokeActive when none is left.
void drawParticles();

// Kills every particle and restarts the generator (tests).
void resetParticles();
