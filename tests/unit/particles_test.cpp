// Smoke bursts: the generator, filling a burst, and a particle's motion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "game/state.h"
#include "world/particles.h"

namespace {

// A burst as the shot starts it: in the shot's slot, at its fire point.
void startShotBurst() {
  startBurst(shot.burstSlot,
             {shot.fire_x, shot.fire_y, shot.fire_z, shot.fire_dx, shot.fire_dy, shot.fire_dz});
}

// An independent copy of the generator, to predict what a burst draws.
struct ReferenceRandom {
  uint32_t state = 1;
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
};

class Particles : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGameState();
    resetParticles();
  }
  void TearDown() override { resetParticles(); }
};

int liveBursts() {
  int count = 0;
  for (int b = 0; b < kBursts; ++b) {
    if (particles[0][b].life > 0) ++count;
  }
  return count;
}

}  // namespace

TEST_F(Particles, TheGeneratorGivesTheClassicSequence) {
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  for (int value : expected) EXPECT_EQ(burstRandom(), value);
  resetBurstRandom();
  EXPECT_EQ(burstRandom(), 41);
}

TEST_F(Particles, ABurstDraws899NumbersAndFillsOnlyItsSlot) {
  ReferenceRandom ref;
  for (int n = 0; n < 899; ++n) ref.next();
  shot.burstSlot = 7;
  startShotBurst();
  EXPECT_EQ(burstRandom(), ref.next());

  for (int b = 0; b < kBursts; ++b) {
    for (int i = 0; i < kParticlesPerBurst; ++i) {
      EXPECT_EQ(particles[i][b].life, b == 7 ? 1.0 : 0.0) << i << "/" << b;
    }
  }
}

TEST_F(Particles, ShotsTakeTheSlotsAsARing) {
  // The shot advances the slot before each burst: the first shot of a run
  // fills burst 1, the 45th burst 0.
  std::vector<int> filled;
  for (int shotNumber = 1; shotNumber <= kBursts; ++shotNumber) {
    shot.burstSlot = (shot.burstSlot + 1) % kBursts;
    const int before = liveBursts();
    startShotBurst();
    EXPECT_EQ(liveBursts(), before + 1);
    filled.push_back(shot.burstSlot);
  }
  EXPECT_EQ(filled.front(), 1);
  EXPECT_EQ(filled.back(), 0);
  EXPECT_EQ(liveBursts(), kBursts);
}

TEST_F(Particles, ASlotOutsideTheRingIsIgnored) {
  for (int slot : {-1, kBursts, 1000}) {
    shot.burstSlot = slot;
    startShotBurst();
  }
  EXPECT_EQ(liveBursts(), 0);
  EXPECT_EQ(burstRandom(), 41);  // nothing was drawn
}

TEST_F(Particles, ABurstStartsAtTheFirePointAndMatchesAKnownFragment) {
  shot.burstSlot = 1;
  shot.fire_x = 1100;
  shot.fire_y = 10;
  shot.fire_z = 1536;
  shot.fire_dx = 0.05;
  shot.fire_dy = -0.01;
  shot.fire_dz = -0.19;
  startShotBurst();

  // Every particle starts alive at the fire point, moving off along the
  // shot's direction by less than a fifth of a unit per step, with a fade of
  // 0.02 to 0.04 per step.
  for (int i = 0; i < kParticlesPerBurst; ++i) {
    const Particle& p = particles[i][1];
    EXPECT_EQ(p.life, 1.0) << i;
    EXPECT_EQ(p.x, 1100.0) << i;
    EXPECT_EQ(p.y, 10.0) << i;
    EXPECT_EQ(p.z, 1536.0) << i;
    EXPECT_GE(p.fade, 0.02) << i;
    EXPECT_LT(p.fade, 0.04) << i;
    const double dx = p.vx - 0.05, dy = p.vy + 0.01, dz = p.vz + 0.19;
    EXPECT_LE(std::max({std::fabs(dx), std::fabs(dy), std::fabs(dz)}), 0.2) << i;
  }

  // A known fragment: the first particle as the generator's first numbers
  // make it (a 2-unit puff with no size draw), and the next one's size.
  const Particle& p0 = particles[0][1];
  EXPECT_EQ(p0.size, 2.0);
  EXPECT_EQ(p0.triangle[0], 0.21333333333333335);
  EXPECT_EQ(p0.triangle[1], -0.10666666666666667);
  EXPECT_EQ(p0.angle[0], 344.0);
  EXPECT_EQ(p0.angle[1], 305.0);
  EXPECT_EQ(p0.angle[2], 65.0);
  EXPECT_EQ(p0.spin[0], 1.2);
  EXPECT_EQ(p0.spin[1], 0.40000000000000002);
  EXPECT_EQ(p0.spin[2], -2.7999999999999998);
  EXPECT_EQ(p0.fade, 0.038199999552965165);
  EXPECT_EQ(p0.vx, -0.0014804882791173354);
  EXPECT_EQ(p0.vy, -0.026302126442389724);
  EXPECT_EQ(p0.vz, -0.13626985774476916);
  EXPECT_EQ(particles[1][1].size, 0.71999999999999997);
}

TEST_F(Particles, TwoRunsMakeIdenticalBursts) {
  auto run = [] {
    resetParticles();
    for (int n = 0; n < 5; ++n) {
      shot.burstSlot = (n * 7) % kBursts;
      shot.fire_x = 1000 + n;
      startShotBurst();
    }
    std::vector<unsigned char> bytes(sizeof particles);
    std::memcpy(bytes.data(), particles, sizeof particles);
    return bytes;
  };
  const auto first = run();
  const auto second = run();
  EXPECT_TRUE(first == second);
}

TEST_F(Particles, AFragmentMovesFallsSlowsFadesAndTumbles) {
  player.xtrans2 = 1240;  // zone 0
  player.ztrans2 = 1752;
  Particle p{};
  p.life = 1.0;
  p.fade = 0.03;
  p.x = 1100;
  p.y = 20;
  p.z = 1700;
  p.vx = 0.1;
  p.vy = 0.2;
  p.vz = -0.3;
  p.angle[0] = 10;
  p.spin[0] = 4;
  p.spin[2] = -5;
  advanceFragmentInZone(&p, zoneAt({player.xtrans2, player.ztrans2}));
  EXPECT_DOUBLE_EQ(p.x, 1100.1);
  EXPECT_DOUBLE_EQ(p.y, 20.2);
  EXPECT_DOUBLE_EQ(p.z, 1700 - 0.3);
  EXPECT_EQ(p.vx, 0.1 * 0.99);
  EXPECT_EQ(p.vy, (0.2 - 0.00999999977648258209228515625) * 0.99);
  EXPECT_EQ(p.vz, -0.3 * 0.99);
  EXPECT_EQ(p.life, 1.0 - 0.03);
  // Spin is added first, then worn down by the fade.
  EXPECT_EQ(p.angle[0], 14.0);
  EXPECT_EQ(p.spin[0], 4 - 0.03);
  EXPECT_EQ(p.angle[2], -5.0);
  EXPECT_EQ(p.spin[2], -5 - 0.03);
}

TEST_F(Particles, AFragmentBouncesOffTheFacesOfThePlayersZone) {
  player.xtrans2 = 1240;
  player.ztrans2 = 1752;
  Particle p{};
  p.life = 1;
  p.x = 1279.9;
  p.y = 0.1;
  p.z = 1700;
  p.vx = 0.4;
  p.vy = -0.4;
  advanceFragmentInZone(&p, zoneAt({player.xtrans2, player.ztrans2}));
  EXPECT_EQ(p.x, 1280.0);
  EXPECT_EQ(p.y, 0.0);
  EXPECT_DOUBLE_EQ(p.vx, -0.3 * 0.99);
  EXPECT_DOUBLE_EQ(p.vy, (0.3 - 0.00999999977648258209228515625) * 0.99);
}

TEST_F(Particles, APuffDriftsAtHalfSpeedRisesAndFadesAtHalfRate) {
  Particle p{};
  p.life = 1.0;
  p.fade = 0.03;
  p.x = 10;
  p.y = 20;
  p.z = 30;
  p.vx = 0.2;
  p.vy = -0.1;
  p.vz = 0.4;
  advancePuff(&p);
  EXPECT_DOUBLE_EQ(p.x, 10.1);
  EXPECT_DOUBLE_EQ(p.y, 20 - 0.05);
  EXPECT_DOUBLE_EQ(p.z, 30.2);
  const double damping = 0.89999997615814208984375;
  EXPECT_EQ(p.vx, 0.2 * damping);
  EXPECT_EQ(p.vy, (-0.1 + 0.00999999977648258209228515625) * damping);
  EXPECT_EQ(p.vz, 0.4 * damping);
  EXPECT_DOUBLE_EQ(p.life, 1.0 - 0.015);
  // Puffs never collide: far outside any zone it keeps going.
  p.x = -500;
  p.vx = -1;
  advancePuff(&p);
  EXPECT_EQ(p.x, -500.5);
}

TEST_F(Particles, LifetimesFollowFromTheFade) {
  // Frames drawn with positive alpha, counting the frame that draws it first.
  auto framesVisible = [](double fade, bool puff) {
    Particle p{};
    p.life = 1.0;
    p.fade = fade;
    p.y = 30;
    int frames = 0;
    while (p.life > 0) {
      if (puff) {
        advancePuff(&p);
      } else {
        advanceFragmentInZone(&p, zoneAt({player.xtrans2, player.ztrans2}));
      }
      if (p.life > 0) ++frames;
    }
    return frames;
  };
  const double minFade = 0.0199999995529651641845703125;
  const double maxFade = 99 / 5000.0 + minFade;
  EXPECT_EQ(framesVisible(minFade, false), 50);
  EXPECT_EQ(framesVisible(maxFade, false), 25);
  EXPECT_EQ(framesVisible(minFade, true), 100);
  EXPECT_EQ(framesVisible(maxFade, true), 50);
}
