// Smoke bursts: filling one where a shot strikes, and the pass that moves and draws them.
#include "world/particles.h"

#include <cmath>
#include <cstring>

#include "camera.h"
#include "gl.h"
#include "image/textures.h"
#include "math/game_math.h"
#include "world/collision.h"

Particle particles[kParticlesPerBurst][kBursts];

namespace {
uint32_t randomState = 1;

// Single-precision tuning constants, used in double arithmetic.
constexpr double kGravity = static_cast<double>(0.01f);
constexpr double kMinFade = static_cast<double>(0.02f);
constexpr double kPuffDamping = static_cast<double>(0.9f);
constexpr double kFragmentDamping = 0.99;
constexpr double kFragmentBounce = 0.75;
constexpr double kFirstPuffSize = 2.0;
constexpr float kPuffRed = 0.18f;
constexpr float kPuffGreen = 0.17f;
constexpr float kPuffBlue = 0.15f;

double randomMod(int n) { return static_cast<double>(burstRandom() % n); }

double hypot2(double u, double v) { return std::sqrt(u * u + v * v); }

// The player's view from an eye height of 10, then the particle's position,
// turned so that its own frame faces the viewer.
void placeParticle(const ParticleView& view, const Particle& p) {
  glLoadIdentity();
  glRotated(view.pitch, 1, 0, 0);
  glRotated(view.viewYaw, 0, 1, 0);
  glTranslated(view.camX, -kMuzzleHeight, view.camZ);
  glTranslated(p.x, p.y, p.z);
  glRotated(-view.viewYaw, 0, 1, 0);
  glRotated(-view.pitch, 1, 0, 0);
}

void drawFragment(const ParticleView& view, const Particle& p) {
  placeParticle(view, p);
  glRotated(p.angle[0], 1, 0, 0);
  glRotated(p.angle[1], 0, 1, 0);
  glRotated(p.angle[2], 0, 0, 1);
  glColor4d(0, 0, 0, p.life);
  const double* t = p.triangle;
  glBegin(GL_TRIANGLES);
  glVertex3d(t[0], t[3], t[6]);
  glVertex3d(t[1], t[4], t[7]);
  glVertex3d(t[2], t[5], t[8]);
  glEnd();
}

void drawPuff(const ParticleView& view, const Particle& p) {
  placeParticle(view, p);
  glColor4d(static_cast<double>(kPuffRed), static_cast<double>(kPuffGreen),
            static_cast<double>(kPuffBlue), p.life);
  const double s = p.size;
  glBegin(GL_QUADS);
  glTexCoord2d(1, 1);
  glVertex3d(s, s, 0);
  glTexCoord2d(1, 0);
  glVertex3d(s, -s, 0);
  glTexCoord2d(0, 0);
  glVertex3d(-s, -s, 0);
  glTexCoord2d(0, 1);
  glVertex3d(-s, s, 0);
  glEnd();
}
}  // namespace

int burstRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

void resetBurstRandom() { randomState = 1; }

uint32_t burstRandomState() { return randomState; }

void startBurst(int32_t slot, const Impact& impact) {
  const int b = slot;
  // The shot keeps the slot within the ring; anything else would write
  // outside the table.
  if (b < 0 || b >= kBursts) return;
  for (int i = 0; i < kParticlesPerBurst; ++i) {
    Particle& p = particles[i][b];
    p.size = i == 0 ? kFirstPuffSize : (randomMod(25) + 25) / 50;
    for (double& v : p.triangle) v = (randomMod(50) - 25) / 75;
    for (double& v : p.angle) v = randomMod(360);
    for (double& v : p.spin) v = (randomMod(50) - 25) / 5;
    p.life = 1.0;
    p.fade = randomMod(100) / 5000 + kMinFade;
    p.x = impact.x;
    p.y = impact.y;
    p.z = impact.z;
    // The spread angles enter the sine and cosine as they were drawn, without
    // a conversion from degrees.
    const double a = randomMod(360);
    const double c = randomMod(360);
    const double t = randomMod(100) / 500;
    const double m = hypot2(a, c);
    p.vx = gmath::sin(hypot2(a, m)) * t + impact.dx;
    p.vy = gmath::cos(hypot2(a, m)) * t + impact.dy;
    p.vz = gmath::cos(hypot2(c, m)) * t + impact.dz;
  }
}

void advanceFragmentInZone(Particle* p, int zone) {
  p->x += p->vx;
  p->y += p->vy;
  p->z += p->vz;
  // Within the zone the wall test moves nothing: most fragments, most frames.
  if (zone < 0 || !withinZone(zone, p->x, p->y, p->z)) {
    collideInZone(zone, &p->x, &p->y, &p->z, &p->vx, &p->vy, &p->vz, 0.0, kFragmentBounce);
  }
  p->vy -= kGravity;
  p->vx *= kFragmentDamping;
  p->vy *= kFragmentDamping;
  p->vz *= kFragmentDamping;
  p->life -= p->fade;
  for (int k = 0; k < 3; ++k) {
    p->angle[k] += p->spin[k];
    p->spin[k] -= p->fade;
  }
}

void advancePuff(Particle* p) {
  p->x += p->vx / 2;
  p->y += p->vy / 2;
  p->z += p->vz / 2;
  p->vy += kGravity;
  p->vx *= kPuffDamping;
  p->vy *= kPuffDamping;
  p->vz *= kPuffDamping;
  p->life -= p->fade / 2;
}

bool drawParticles(const ParticleView& view) {
  bool noneAlive = true;

  // Fragments: untextured black triangles, hidden by walls in front of them.
  glDisable(GL_TEXTURE_2D);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  const int zone = zoneAt(view.player);  // the player stands still meanwhile
  for (int b = 0; b < kBursts; ++b) {
    for (int i = kPuffs; i < kParticlesPerBurst; ++i) {
      Particle& p = particles[i][b];
      if (!(p.life > 0)) continue;
      noneAlive = false;
      advanceFragmentInZone(&p, zone);
      drawFragment(view, p);
    }
  }

  // Puffs: additive, showing through walls.
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, smokeTexture);
  for (int b = 0; b < kBursts; ++b) {
    for (int i = 0; i < kPuffs; ++i) {
      Particle& p = particles[i][b];
      if (!(p.life > 0)) continue;
      noneAlive = false;
      advancePuff(&p);
      drawPuff(view, p);
    }
  }
  glEnable(GL_DEPTH_TEST);

  return !noneAlive;
}

void resetParticles() {
  std::memset(particles, 0, sizeof particles);
  resetBurstRandom();
}
