// The creature's mesh: each part tessellated into a grid of rings and
// segments, its triangles and texture coordinates appended to the mesh.
#include <algorithm>

#include "creature_parts.h"

namespace creature {

namespace {
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
}  // namespace

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
        for (int j = 0; j < n; ++j)
          g.normals[size_t(k[0] * n + j)] = g.normals[size_t(k[0] * n + j)] + f;
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
    around[size_t(j) + 1] =
        around[size_t(j)] + (part.segmentShare.empty() ? 1.0 : part.segmentShare[size_t(j)]);
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
    for (int j = 0; j <= n; ++j)
      mesh.texCoords.push_back({g.columns[size_t(j)], g.rows[size_t(i)]});
  for (int end : {0, g.rings - 1})
    for (int j = 0; j < n; ++j)
      mesh.texCoords.push_back(
          {(g.columns[size_t(j)] + g.columns[size_t(j) + 1]) / 2, g.rows[size_t(end)]});
}

}  // namespace creature
