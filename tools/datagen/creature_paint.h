// Colours of the creature's surfaces: deterministic noise and one painter per
// body part. A painter sees a point of its part (position and outward normal
// in the game's axes, and where the point lies on the part) and returns the
// unlit colour there; the body's skin builder adds the lighting.
#pragma once

#include <cstdint>

#include "creature_body.h"

namespace creature {

struct Surface {
  Vec3 p;        // position
  Vec3 n;        // outward unit normal
  double u = 0;  // around the part, 0..1, starting at its first seam
  double v = 0;  // along the part, 0 at its first pole, 1 at its last
};

struct Colour {
  double r = 0, g = 0, b = 0;
};
inline Colour mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Colour scaled(Colour c, double k) { return {c.r * k, c.g * k, c.b * k}; }

struct Paint {
  Colour colour;
  double glow = 0;  // 0: fully lit by the baked light; 1: keeps its own colour
};

using Painter = Paint (*)(const Surface&);

// Smooth value noise in [0, 1] and a few octaves of it.
double valueNoise(Vec3 p, uint32_t seed);
double fractalNoise(Vec3 p, uint32_t seed, int octaves);
// Distance from p to the nearest of the jittered points of a unit cell grid,
// and a hash of that point's cell (for spots that differ from one another).
double cellDistance(Vec3 p, uint32_t seed, uint32_t* cellHash);

// Where the face parts sit; the body and the painters share them.
extern const Vec3 kHeadCentre;
extern const Vec3 kHeadRadii;
extern const Vec3 kEyeCentre;  // the creature's right eye (z > 0); the left mirrors it
extern const double kEyeRadius;

Paint paintHead(const Surface& s);
Paint paintEye(const Surface& s);
Paint paintNose(const Surface& s);
Paint paintEar(const Surface& s);
Paint paintTorso(const Surface& s);
Paint paintArm(const Surface& s);
Paint paintHand(const Surface& s);
Paint paintLeg(const Surface& s);
Paint paintFoot(const Surface& s);
Paint paintClub(const Surface& s);

}  // namespace creature
