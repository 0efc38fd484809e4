// The enemy creature: a goblin built from simple closed solids (stretched
// ellipsoids and bent, tapered tubes), and the skin its texture coordinates
// map. Everything is in the game's axes: x forward (the creature faces +x),
// y up, z to the creature's right. The feet stand at y = -25.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "image.h"

namespace creature {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalized(Vec3 a) {
  const double l = length(a);
  return l > 1e-12 ? a * (1.0 / l) : Vec3{0, 0, 0};
}
inline Vec3 lerp(Vec3 a, Vec3 b, double t) { return a + (b - a) * t; }

// The game's face normal of a triangle: (p0 - p2) x (p2 - p1). It points out
// of a solid whose triangles run clockwise seen from outside.
inline Vec3 gameFaceNormal(Vec3 p0, Vec3 p1, Vec3 p2) { return cross(p0 - p2, p2 - p1); }

struct TexCoord {
  int s = 0, t = 0;  // texels; t = 0 is the top row of the skin picture
};

struct Triangle {
  int xyz[3];
  int st[3];
};

struct Mesh {
  std::vector<Vec3> positions;
  std::vector<TexCoord> texCoords;
  std::vector<Triangle> triangles;
};

constexpr int kSkinWidth = 256;
constexpr int kSkinHeight = 256;

// Builds the creature's mesh and paints its skin (kSkinWidth x kSkinHeight).
// Returns false with a message on stderr if the layout is inconsistent.
bool buildCreature(Mesh& mesh, Picture& skin);

}  // namespace creature
