// The lighting baked into the creature's skin: the paint of each texel lit
// from above and in front, and darkened by how much of the sky the rest of
// the body hides (rays against the mesh).
#include <algorithm>

#include "creature_parts.h"

namespace creature {

namespace {

const Vec3 kLight = normalized({0.55, 1.0, 0.0});  // from above and in front

// A fixed set of directions around +z, spread evenly and weighted by the cosine.
struct Hemisphere {
  static constexpr int kCount = 24;
  Vec3 dirs[kCount];
  Hemisphere() {
    const double golden = kPi * (3.0 - std::sqrt(5.0));
    for (int i = 0; i < kCount; ++i) {
      const double r = std::sqrt((i + 0.5) / kCount);
      const double a = golden * i;
      dirs[i] = {r * std::cos(a), r * std::sin(a), std::sqrt(std::max(0.0, 1 - r * r))};
    }
  }
};

bool rayHitsTriangle(Vec3 o, Vec3 d, Vec3 a, Vec3 b, Vec3 c, double maxDistance) {
  const Vec3 e1 = b - a, e2 = c - a;
  const Vec3 p = cross(d, e2);
  const double det = dot(e1, p);
  if (std::fabs(det) < 1e-12) return false;
  const double inv = 1.0 / det;
  const Vec3 s = o - a;
  const double u = dot(s, p) * inv;
  if (u < 0 || u > 1) return false;
  const Vec3 q = cross(s, e1);
  const double v = dot(d, q) * inv;
  if (v < 0 || u + v > 1) return false;
  const double t = dot(e2, q) * inv;
  return t > 0.02 && t < maxDistance;
}

// Share of the sky above a point that the rest of the body leaves open.
double openness(const Mesh& mesh, const std::vector<Occluder>& occluders, const Hemisphere& hemi,
                Vec3 p, Vec3 n) {
  constexpr double kReach = 9.0;
  const Vec3 helper = std::fabs(n.x) < 0.8 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
  const Vec3 t1 = normalized(cross(helper, n)), t2 = cross(n, t1);
  const Vec3 origin = p + n * 0.12;
  int open = 0;
  for (const Vec3& h : hemi.dirs) {
    const Vec3 d = t1 * h.x + t2 * h.y + n * h.z;
    bool hit = false;
    for (const Occluder& o : occluders) {
      // Skip bodies the ray cannot reach.
      const Vec3 oc = o.centre - origin;
      const double along = dot(oc, d);
      const double miss2 = dot(oc, oc) - along * along;
      if (miss2 > o.radius * o.radius) continue;
      if (along < -o.radius || along - o.radius > kReach) continue;
      for (size_t t = o.first; t < o.first + o.count && !hit; ++t) {
        const Triangle& tri = mesh.triangles[t];
        hit = rayHitsTriangle(origin, d, mesh.positions[size_t(tri.xyz[0])],
                              mesh.positions[size_t(tri.xyz[1])],
                              mesh.positions[size_t(tri.xyz[2])], kReach);
      }
      if (hit) break;
    }
    if (!hit) ++open;
  }
  return double(open) / Hemisphere::kCount;
}

uint8_t toByte(double v) { return uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

}  // namespace

void paintRegion(Picture& skin, const BodyPart& part, const Grid& g, const Mesh& mesh,
                 const std::vector<Occluder>& occluders) {
  static const Hemisphere hemi;
  const Region& r = part.region;
  const int n = g.segments;
  for (int py = r.y - kGutter; py < r.y + r.h + kGutter; ++py) {
    if (py < 0 || py >= skin.height) continue;
    // Which two rings this row lies between.
    const double row = py + 0.5;
    int i = 0;
    while (i + 2 < g.rings && row >= g.rows[size_t(i + 1)]) ++i;
    const double fv = std::clamp(
        (row - g.rows[size_t(i)]) / double(std::max(1, g.rows[size_t(i + 1)] - g.rows[size_t(i)])),
        0.0, 1.0);
    for (int px = r.x - kGutter; px < r.x + r.w + kGutter; ++px) {
      if (px < 0 || px >= skin.width) continue;
      // Which segment this column lies in (the region wraps round).
      double x = px + 0.5;
      if (x < r.x) x += r.w;
      if (x >= r.x + r.w) x -= r.w;
      int j = 0;
      while (j + 1 < n && x >= g.columns[size_t(j) + 1]) ++j;
      const double fu =
          std::clamp((x - g.columns[size_t(j)]) /
                         double(std::max(1, g.columns[size_t(j) + 1] - g.columns[size_t(j)])),
                     0.0, 1.0);
      Surface s;
      s.p = lerp(lerp(g.at(i, j), g.at(i, j + 1), fu), lerp(g.at(i + 1, j), g.at(i + 1, j + 1), fu),
                 fv);
      s.n = normalized(lerp(lerp(g.normalAt(i, j), g.normalAt(i, j + 1), fu),
                            lerp(g.normalAt(i + 1, j), g.normalAt(i + 1, j + 1), fu), fv));
      s.u = (j + fu) / n;
      s.v = std::clamp((row - r.y) / r.h, 0.0, 1.0);
      const Paint paint = part.paint(s);
      const double open = openness(mesh, occluders, hemi, s.p, s.n);
      const double direct = std::max(0.0, dot(s.n, kLight));
      const double sky = 0.5 + 0.5 * s.n.y;
      const double light =
          (0.40 + 0.22 * sky) * (0.35 + 0.65 * open) + 0.56 * direct * (0.55 + 0.45 * open);
      const double k = light + (1.0 - light) * paint.glow;
      skin.at(px, py) = {toByte(paint.colour.r * k), toByte(paint.colour.g * k),
                         toByte(paint.colour.b * k), 255};
    }
  }
}

}  // namespace creature
