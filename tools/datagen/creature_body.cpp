// The creature's body: each part is a closed solid swept along a spine of
// rings (the first and last ring shrink to a pole), cut into N segments
// around. A part owns one rectangle of the skin atlas: around the part runs
// left to right, along the spine top to bottom. Parts on both sides (ears,
// eyes, legs, feet) are built once and mirrored, and both copies share the
// same rectangle; the hanging left arm and the raised right arm share one
// too. The parts are laid out and painted in a figure 53 units tall, which is
// then stretched upwards to stand from y = -25 to y = 30.
#include "creature_body.h"

#include <algorithm>
#include <cstdio>

#include "creature_paint.h"

namespace creature {

const Vec3 kHeadCentre = {2.2, 20.8, 0.0};
const Vec3 kHeadRadii = {6.0, 7.4, 5.7};
const Vec3 kEyeCentre = {7.3, 22.2, 2.4};
const double kEyeRadius = 1.35;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFloor = -25.0;  // the soles
constexpr double kTop = 30.0;     // the top of the head

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
  Painter paint;            // null: the region is painted by another part
  Shaper shape;
  Sides sides;
  // Optional shares of the region's texels: one per segment (around) and one
  // per gap between rings (along, on top of the surface length); empty means
  // even. They put more texels where the detail is, such as the face.
  std::vector<double> segmentShare = {};
  std::vector<double> ringShare = {};
};

// Rings of an ellipsoid around `axis` (a unit vector): `along` is the half
// length on the axis, r1 and r2 the half-widths across it.
std::vector<Ring> ellipsoid(Vec3 centre, Vec3 axis, double along, double r1, double r2,
                            int rings) {
  std::vector<Ring> out;
  for (int k = 0; k < rings; ++k) {
    const double phi = kPi * k / (rings - 1);
    const double across = (k == 0 || k == rings - 1) ? 0.0 : std::sin(phi);
    out.push_back({centre + axis * (-along * std::cos(phi)), r1 * across, r2 * across});
  }
  return out;
}

// A heavy jaw, a brow ridge over the eyes and a forehead that slopes back.
Vec3 shapeHead(Vec3 p, double, double) {
  const Vec3 d = p - kHeadCentre;
  const double ex = d.x / kHeadRadii.x, ey = d.y / kHeadRadii.y;
  const double front = std::max(0.0, ex);
  const double low = std::clamp(-ey * 1.7, 0.0, 1.0);
  p.x += 1.7 * std::pow(front, 1.5) * low;
  p.z *= 1.0 + 0.16 * low;
  p.x += 0.9 * front * front * std::exp(-std::pow((ey - 0.26) / 0.14, 2.0));
  if (ey > 0.45) p.x -= 1.2 * front * (ey - 0.45);
  p.y -= 0.6 * std::max(0.0, -ex) * std::max(0.0, ey);  // flatter back of the skull
  return p;
}

// Flat soles.
Vec3 shapeFoot(Vec3 p, double, double) {
  p.y = std::max(p.y, kFloor);
  return p;
}

std::vector<BodyPart> bodyParts() {
  std::vector<BodyPart> parts;
  const Vec3 up = {0, 1, 0}, back = {-1, 0, 0}, forward = {1, 0, 0}, right = {0, 0, 1};
  const Sides kRight = Sides::kRight, kLeft = Sides::kLeft, kBoth = Sides::kBoth;

  parts.push_back({"head", ellipsoid(kHeadCentre, up, kHeadRadii.y, kHeadRadii.x,
                                     kHeadRadii.z, 8),
                   back, 10, {4, 4, 120, 84}, paintHead, shapeHead, kRight,
                   // Most texels for the face; the back of the skull gets fewer.
                   {0.6, 0.6, 1.2, 2.0, 2.0, 2.0, 2.0, 1.2, 0.6, 0.6},
                   {0.5, 1.2, 1.5, 1.5, 1.2, 0.8, 0.5}});

  // Hunched, with a pot belly.
  parts.push_back({"torso",
                   {{{0.5, -11.0, 0}, 0, 0},
                    {{0.5, -9.8, 0}, 4.9, 6.6},
                    {{0.9, -6.0, 0}, 5.3, 6.2},
                    {{1.7, -1.5, 0}, 6.0, 6.3},
                    {{0.9, 4.5, 0}, 4.8, 6.4},
                    {{0.6, 9.3, 0}, 4.0, 6.6},
                    {{1.4, 12.0, 0}, 3.0, 4.2},
                    {{2.3, 13.8, 0}, 2.4, 2.5},
                    {{2.8, 15.6, 0}, 0, 0}},
                   back, 10, {132, 4, 120, 100}, paintTorso, nullptr, kRight});

  parts.push_back({"eye", ellipsoid(kEyeCentre, forward, kEyeRadius, kEyeRadius * 0.85,
                                    kEyeRadius, 4),
                   up, 6, {200, 160, 36, 36}, paintEye, nullptr, kBoth});

  // A long, drooping nose.
  parts.push_back({"nose",
                   {{{6.6, 20.6, 0}, 0, 0},
                    {{8.0, 20.0, 0}, 2.0, 1.8},
                    {{10.3, 19.0, 0}, 1.3, 1.2},
                    {{11.8, 17.9, 0}, 0.9, 0.85},
                    {{12.4, 17.2, 0}, 0, 0}},
                   up, 4, {186, 112, 40, 40}, paintNose, nullptr, kRight});

  parts.push_back({"ear",
                   {{{1.8, 21.6, 4.0}, 0, 0},
                    {{1.3, 22.2, 5.4}, 3.0, 0.9},
                    {{0.3, 23.4, 8.0}, 2.5, 0.6},
                    {{-0.4, 24.5, 9.8}, 1.4, 0.45},
                    {{-1.0, 25.4, 11.2}, 0, 0}},
                   up, 4, {140, 112, 40, 40}, paintEar, nullptr, kBoth});

  // The left arm hangs; the right one is raised with the club.
  const Region armRegion = {4, 112, 60, 72}, handRegion = {4, 192, 40, 32};
  parts.push_back({"arm",
                   {{{0.6, 11.2, 6.4}, 0, 0},
                    {{0.6, 9.0, 7.3}, 2.4, 2.4},
                    {{-0.4, 0.2, 9.2}, 1.7, 1.8},
                    {{0.8, -3.6, 9.6}, 2.0, 2.0},
                    {{2.4, -8.0, 9.7}, 1.3, 1.4},
                    {{2.8, -9.2, 9.7}, 0, 0}},
                   forward, 5, armRegion, paintArm, nullptr, kLeft});
  parts.push_back({"hand",
                   {{{2.6, -8.0, 9.8}, 0, 0},
                    {{2.9, -9.0, 9.8}, 1.7, 1.3},
                    {{3.4, -10.8, 9.8}, 2.1, 1.25},
                    {{3.6, -12.4, 9.8}, 1.6, 0.95},
                    {{3.5, -13.6, 9.8}, 0, 0}},
                   forward, 4, handRegion, paintHand, nullptr, kLeft});
  parts.push_back({"raised arm",
                   {{{0.6, 11.2, 6.4}, 0, 0},
                    {{0.6, 9.0, 7.3}, 2.4, 2.4},
                    {{1.0, 5.2, 8.8}, 2.0, 2.0},
                    {{1.8, 2.2, 9.8}, 1.75, 1.75},
                    {{4.0, 3.4, 10.0}, 2.0, 2.0},
                    {{6.3, 5.0, 9.8}, 1.3, 1.4},
                    {{6.9, 5.5, 9.7}, 0, 0}},
                   up, 5, armRegion, nullptr, nullptr, kRight});
  parts.push_back({"fist",
                   {{{6.3, 4.8, 9.8}, 0, 0},
                    {{7.0, 5.5, 9.8}, 1.7, 1.4},
                    {{8.0, 6.4, 9.8}, 1.9, 1.5},
                    {{8.8, 7.0, 9.8}, 1.3, 1.1},
                    {{9.2, 7.3, 9.8}, 0, 0}},
                   up, 4, handRegion, nullptr, nullptr, kRight});

  parts.push_back({"leg",
                   {{{0.7, -5.0, 3.5}, 0, 0},
                    {{0.8, -7.5, 3.6}, 3.0, 2.9},
                    {{2.4, -15.0, 4.9}, 2.1, 2.1},
                    {{1.3, -18.2, 4.9}, 2.2, 2.1},
                    {{0.7, -22.3, 4.6}, 1.4, 1.4},
                    {{0.6, -23.7, 4.6}, 0, 0}},
                   forward, 5, {72, 112, 60, 72}, paintLeg, nullptr, kBoth});

  parts.push_back({"foot",
                   {{{-2.2, -23.4, 4.8}, 0, 0},
                    {{-1.3, -23.6, 4.8}, 1.6, 1.6},
                    {{2.2, -24.0, 5.0}, 1.3, 2.1},
                    {{5.4, -24.3, 5.3}, 0.9, 2.3},
                    {{7.2, -24.6, 5.4}, 0, 0}},
                   up, 5, {52, 192, 50, 40}, paintFoot, shapeFoot, kBoth});

  // The club, upright in the raised fist.
  const Vec3 butt = {8.3, 3.3, 9.8}, tip = {6.0, 28.0, 9.8};
  const Vec3 along = tip - butt;
  parts.push_back({"club",
                   {{butt, 0, 0},
                    {butt + along * 0.03, 0.75, 0.75},
                    {butt + along * 0.45, 0.95, 0.95},
                    {butt + along * 0.72, 2.0, 2.0},
                    {butt + along * 0.93, 2.3, 2.3},
                    {tip, 0, 0}},
                   right, 5, {140, 160, 50, 72}, paintClub, nullptr, kRight});
  return parts;
}

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

// Corners of the part's triangles, in grid coordinates (ring, segment), with
// the winding before any flip.
template <typename Emit>
void forEachTriangle(int rings, int segments, Emit emit) {
  for (int i = 0; i + 1 < rings; ++i) {
    for (int j = 0; j < segments; ++j) {
      const int a[2] = {i, j}, b[2] = {i + 1, j}, c[2] = {i + 1, j + 1}, d[2] = {i, j + 1};
      if (i == 0) {
        emit(a, b, c);
      } else if (i + 1 == rings - 1) {
        emit(a, b, d);
      } else {
        emit(a, b, c);
        emit(a, c, d);
      }
    }
  }
}

Grid tessellate(const BodyPart& part) {
  Grid g;
  g.rings = int(part.rings.size());
  g.segments = part.segments;
  const int n = g.segments;
  for (int i = 0; i < g.rings; ++i) {
    const Ring& ring = part.rings[size_t(i)];
    const Vec3 prev = part.rings[size_t(std::max(0, i - 1))].centre;
    const Vec3 next = part.rings[size_t(std::min(g.rings - 1, i + 1))].centre;
    const Vec3 tangent = normalized(next - prev);
    const Vec3 e1 = normalized(part.firstAxis - tangent * dot(part.firstAxis, tangent));
    const Vec3 e2 = cross(tangent, e1);
    const double v = double(i) / (g.rings - 1);
    for (int j = 0; j < n; ++j) {
      const double angle = 2 * kPi * j / n;
      Vec3 p = ring.centre + e1 * (ring.r1 * std::cos(angle)) + e2 * (ring.r2 * std::sin(angle));
      if (part.shape) p = part.shape(p, v, angle);
      g.points.push_back(p);
    }
  }
  // Wind the triangles so that the game's face normal points outwards: the
  // enclosed volume measured with it must come out positive.
  double volume = 0;
  forEachTriangle(g.rings, n, [&](const int* a, const int* b, const int* c) {
    const Vec3 p0 = g.at(a[0], a[1]), p1 = g.at(b[0], b[1]), p2 = g.at(c[0], c[1]);
    volume += dot(gameFaceNormal(p0, p1, p2), p0);
  });
  g.flip = volume < 0;
  g.normals.assign(g.points.size(), Vec3{});
  forEachTriangle(g.rings, n, [&](const int* a, const int* b, const int* c) {
    const Vec3 p0 = g.at(a[0], a[1]), p1 = g.at(b[0], b[1]), p2 = g.at(c[0], c[1]);
    Vec3 f = gameFaceNormal(p0, p1, p2);
    if (g.flip) f = f * -1.0;
    for (const int* k : {a, b, c}) {
      // A pole's normal gathers every face around it.
      if (k[0] == 0 || k[0] == g.rings - 1) {
        for (int j = 0; j < n; ++j) g.normals[size_t(k[0] * n + j)] = g.normals[size_t(k[0] * n + j)] + f;
      } else {
        Vec3& s = g.normals[size_t(k[0] * n + k[1] % n)];
        s = s + f;
      }
    }
  });
  for (Vec3& v : g.normals) v = normalized(v);

  // Texture rows follow the length of the part's surface, so texels keep
  // roughly the same size from pole to pole.
  std::vector<double> along(size_t(g.rings), 0.0);
  for (int i = 1; i < g.rings; ++i) {
    double sum = 0;
    for (int j = 0; j < n; ++j) sum += length(g.at(i, j) - g.at(i - 1, j));
    const double share = part.ringShare.empty() ? 1.0 : part.ringShare[size_t(i - 1)];
    along[size_t(i)] = along[size_t(i - 1)] + share * sum / n;
  }
  const Region& r = part.region;
  for (int i = 0; i < g.rings; ++i) {
    int row = r.y + int(std::lround(r.h * along[size_t(i)] / along.back()));
    if (i > 0) row = std::max(row, g.rows.back() + 2);
    g.rows.push_back(std::min(row, r.y + r.h));
  }
  std::vector<double> around(size_t(n) + 1, 0.0);
  for (int j = 0; j < n; ++j)
    around[size_t(j) + 1] = around[size_t(j)] + (part.segmentShare.empty() ? 1.0 : part.segmentShare[size_t(j)]);
  for (int j = 0; j <= n; ++j)
    g.columns.push_back(r.x + int(std::lround(r.w * around[size_t(j)] / around.back())));
  return g;
}

// Appends one part (or its mirror image) to the mesh; `stBase` is where the
// part's texture coordinates start in the mesh's list.
void appendPart(Mesh& mesh, const Grid& g, int stBase, bool mirror) {
  const int n = g.segments;
  const int base = int(mesh.positions.size());
  // Unique points: the two poles and the inner rings.
  auto index = [&](int i, int j) {
    if (i == 0) return base;
    if (i == g.rings - 1) return base + 1;
    return base + 2 + (i - 1) * n + j % n;
  };
  auto flipZ = [&](Vec3 p) { return mirror ? Vec3{p.x, p.y, -p.z} : p; };
  mesh.positions.push_back(flipZ(g.at(0, 0)));
  mesh.positions.push_back(flipZ(g.at(g.rings - 1, 0)));
  for (int i = 1; i + 1 < g.rings; ++i)
    for (int j = 0; j < n; ++j) mesh.positions.push_back(flipZ(g.at(i, j)));
  // Texture coordinates: inner rings (n + 1 per ring: the seam appears at both
  // ends), then one pole coordinate per segment at each end.
  auto st = [&](int i, int j, int segment) {
    if (i == 0) return stBase + (g.rings - 2) * (n + 1) + segment;
    if (i == g.rings - 1) return stBase + (g.rings - 2) * (n + 1) + n + segment;
    return stBase + (i - 1) * (n + 1) + j;
  };
  const bool reverse = g.flip != mirror;  // a mirror image turns the winding over
  forEachTriangle(g.rings, n, [&](const int* a, const int* b, const int* c) {
    const int segment = std::min({a[1], b[1], c[1]});
    Triangle t;
    const int* corners[3] = {a, b, c};
    if (reverse) std::swap(corners[1], corners[2]);
    for (int k = 0; k < 3; ++k) {
      t.xyz[k] = index(corners[k][0], corners[k][1]);
      t.st[k] = st(corners[k][0], corners[k][1], segment);
    }
    mesh.triangles.push_back(t);
  });
}

void appendTexCoords(Mesh& mesh, const Grid& g) {
  const int n = g.segments;
  for (int i = 1; i + 1 < g.rings; ++i)
    for (int j = 0; j <= n; ++j) mesh.texCoords.push_back({g.columns[size_t(j)], g.rows[size_t(i)]});
  for (int end : {0, g.rings - 1})
    for (int j = 0; j < n; ++j)
      mesh.texCoords.push_back({(g.columns[size_t(j)] + g.columns[size_t(j) + 1]) / 2, g.rows[size_t(end)]});
}

// ---- Lighting baked into the skin ----

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

struct Occluder {
  Vec3 centre;
  double radius = 0;
  size_t first = 0, count = 0;  // triangles of the mesh
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
double openness(const Mesh& mesh, const std::vector<Occluder>& occluders,
                const Hemisphere& hemi, Vec3 p, Vec3 n) {
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

constexpr int kGutter = 3;  // texels painted around each region against mipmap bleeding

void paintRegion(Picture& skin, const BodyPart& part, const Grid& g, const Mesh& mesh,
                 const std::vector<Occluder>& occluders, const Hemisphere& hemi) {
  const Region& r = part.region;
  const int n = g.segments;
  for (int py = r.y - kGutter; py < r.y + r.h + kGutter; ++py) {
    if (py < 0 || py >= skin.height) continue;
    // Which two rings this row lies between.
    const double row = py + 0.5;
    int i = 0;
    while (i + 2 < g.rings && row >= g.rows[size_t(i + 1)]) ++i;
    const double fv = std::clamp((row - g.rows[size_t(i)]) /
                                     double(std::max(1, g.rows[size_t(i + 1)] - g.rows[size_t(i)])),
                                 0.0, 1.0);
    for (int px = r.x - kGutter; px < r.x + r.w + kGutter; ++px) {
      if (px < 0 || px >= skin.width) continue;
      // Which segment this column lies in (the region wraps round).
      double x = px + 0.5;
      if (x < r.x) x += r.w;
      if (x >= r.x + r.w) x -= r.w;
      int j = 0;
      while (j + 1 < n && x >= g.columns[size_t(j) + 1]) ++j;
      const double fu = std::clamp((x - g.columns[size_t(j)]) /
                                       double(std::max(1, g.columns[size_t(j) + 1] - g.columns[size_t(j)])),
                                   0.0, 1.0);
      Surface s;
      s.p = lerp(lerp(g.at(i, j), g.at(i, j + 1), fu), lerp(g.at(i + 1, j), g.at(i + 1, j + 1), fu), fv);
      s.n = normalized(lerp(lerp(g.normalAt(i, j), g.normalAt(i, j + 1), fu),
                            lerp(g.normalAt(i + 1, j), g.normalAt(i + 1, j + 1), fu), fv));
      s.u = (j + fu) / n;
      s.v = std::clamp((row - r.y) / r.h, 0.0, 1.0);
      const Paint paint = part.paint(s);
      const double open = openness(mesh, occluders, hemi, s.p, s.n);
      const double direct = std::max(0.0, dot(s.n, kLight));
      const double sky = 0.5 + 0.5 * s.n.y;
      const double light = (0.40 + 0.22 * sky) * (0.35 + 0.65 * open) + 0.56 * direct * (0.55 + 0.45 * open);
      const double k = light + (1.0 - light) * paint.glow;
      skin.at(px, py) = {toByte(paint.colour.r * k), toByte(paint.colour.g * k),
                         toByte(paint.colour.b * k), 255};
    }
  }
}

bool regionsApart(const Region& a, const Region& b) {
  const int g = 2 * kGutter;
  return a.x + a.w + g <= b.x || b.x + b.w + g <= a.x || a.y + a.h + g <= b.y ||
         b.y + b.h + g <= a.y;
}

}  // namespace

bool buildCreature(Mesh& mesh, Picture& skin) {
  const std::vector<BodyPart> parts = bodyParts();
  for (size_t a = 0; a < parts.size(); ++a) {
    const Region& r = parts[a].region;
    const BodyPart& p = parts[a];
    if (r.x < 0 || r.y < 0 || r.x + r.w > kSkinWidth || r.y + r.h > kSkinHeight ||
        r.w < 4 * p.segments || r.h < 4 * int(p.rings.size()) ||
        (!p.segmentShare.empty() && p.segmentShare.size() != size_t(p.segments)) ||
        (!p.ringShare.empty() && p.ringShare.size() + 1 != p.rings.size())) {
      std::fprintf(stderr, "datagen: creature part %s has a bad skin region\n", parts[a].name);
      return false;
    }
    if (!parts[a].paint) {
      // It borrows the region of a painted part.
      bool painted = false;
      for (const BodyPart& other : parts) {
        const Region& o = other.region;
        painted = painted || (other.paint && o.x == r.x && o.y == r.y && o.w == r.w && o.h == r.h);
      }
      if (!painted) {
        std::fprintf(stderr, "datagen: creature part %s has an unpainted region\n", parts[a].name);
        return false;
      }
      continue;
    }
    for (size_t b = 0; b < a; ++b) {
      if (parts[b].paint && !regionsApart(r, parts[b].region)) {
        std::fprintf(stderr, "datagen: creature parts %s and %s overlap in the skin\n",
                     parts[a].name, parts[b].name);
        return false;
      }
    }
  }

  mesh = Mesh{};
  std::vector<Grid> grids;
  std::vector<Occluder> occluders;
  for (const BodyPart& part : parts) {
    grids.push_back(tessellate(part));
    const Grid& g = grids.back();
    const int stBase = int(mesh.texCoords.size());
    appendTexCoords(mesh, g);
    for (bool mirror : {false, true}) {
      if (mirror ? part.sides == Sides::kRight : part.sides == Sides::kLeft) continue;
      Occluder o;
      o.first = mesh.triangles.size();
      const size_t firstPoint = mesh.positions.size();
      appendPart(mesh, g, stBase, mirror);
      o.count = mesh.triangles.size() - o.first;
      for (size_t v = firstPoint; v < mesh.positions.size(); ++v) o.centre = o.centre + mesh.positions[v];
      o.centre = o.centre * (1.0 / double(mesh.positions.size() - firstPoint));
      for (size_t v = firstPoint; v < mesh.positions.size(); ++v)
        o.radius = std::max(o.radius, length(mesh.positions[v] - o.centre));
      o.radius += 0.01;
      occluders.push_back(o);
    }
  }

  skin = Picture(kSkinWidth, kSkinHeight, Rgba{24, 20, 16, 255});
  const Hemisphere hemi;
  for (size_t k = 0; k < parts.size(); ++k)
    if (parts[k].paint) paintRegion(skin, parts[k], grids[k], mesh, occluders, hemi);

  double top = -1e30;
  for (const Vec3& p : mesh.positions) top = std::max(top, p.y);
  const double stretch = (kTop - kFloor) / (top - kFloor);
  for (Vec3& p : mesh.positions) p.y = kFloor + (p.y - kFloor) * stretch;
  return true;
}

}  // namespace creature
