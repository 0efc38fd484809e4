// The creature's pieces, shared by its builder's files: the part table
// (creature_parts.cpp), the tessellation into the mesh (creature_mesh.cpp)
// and the lighting baked into the skin (creature_bake.cpp).
#pragma once

#include <vector>

#include "creature_body.h"
#include "creature_paint.h"

namespace creature {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFloor = -25.0;  // the soles
constexpr double kTop = 30.0;     // the top of the head
constexpr int kGutter = 3;        // texels painted around each region against mipmap bleeding

struct Ring {
  Vec3 centre;
  double r1 = 0, r2 = 0;  // half-widths along the ring's first and second axes
};

struct Region {
  int x = 0, y = 0, w = 0, h = 0;  // in texels, y from the top of the skin
};

// Moves a generated point: (point, position along the part 0..1, angle).
using Shaper = Vec3 (*)(Vec3 p, double v, double angle);

enum class Sides { kRight, kLeft, kBoth };  // kLeft: only the mirror image

struct BodyPart {
  const char* name;
  std::vector<Ring> rings;  // first and last have zero radii
  Vec3 firstAxis;           // r1 runs along this direction, made square to the spine
  int segments;
  Region region;
  Painter paint;  // null: the region is painted by another part
  Shaper shape;
  Sides sides;
  // Optional shares of the region's texels: one per segment (around) and one
  // per gap between rings (along, on top of the surface length); empty means
  // even. They put more texels where the detail is, such as the face.
  std::vector<double> segmentShare = {};
  std::vector<double> ringShare = {};
};

// The creature's parts, in the order they go into the mesh.
std::vector<BodyPart> bodyParts();

// Whether the parts' skin regions fit the skin, hold their shares, and are
// painted once without overlapping; says what is wrong on stderr if not.
bool partsFitTheSkin(const std::vector<BodyPart>& parts);

// One tessellated part: a grid of rings x segments (the pole rings repeat
// their single point) and the texture rows of its rings.
struct Grid {
  int rings = 0, segments = 0;
  std::vector<Vec3> points;   // rings * segments
  std::vector<Vec3> normals;  // outward, per grid point
  std::vector<int> rows;      // texture row of each ring
  std::vector<int> columns;   // texture column of each segment edge (segments + 1)
  bool flip = false;          // triangles are wound the other way round

  Vec3 at(int i, int j) const { return points[size_t(i * segments + (j % segments))]; }
  Vec3 normalAt(int i, int j) const { return normals[size_t(i * segments + (j % segments))]; }
};

Grid tessellate(const BodyPart& part);
// Appends one part (or its mirror image) to the mesh; `stBase` is where the
// part's texture coordinates start in the mesh's list.
void appendPart(Mesh& mesh, const Grid& g, int stBase, bool mirror);
void appendTexCoords(Mesh& mesh, const Grid& g);

// A part's triangles in the mesh, with a sphere around them, for the
// occlusion rays.
struct Occluder {
  Vec3 centre;
  double radius = 0;
  size_t first = 0, count = 0;  // triangles of the mesh
};

// Paints the part's region of the skin (and its gutter): the part's paint,
// lit from above and in front and darkened where the body hides the sky.
void paintRegion(Picture& skin, const BodyPart& part, const Grid& g, const Mesh& mesh,
                 const std::vector<Occluder>& occluders);

}  // namespace creature
