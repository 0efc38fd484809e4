// The creature's body: each part is a closed solid swept along a spine of
// rings (the first and last ring shrink to a pole), cut into N segments
// around. A part owns one rectangle of the skin atlas: around the part runs
// left to right, along the spine top to bottom. Parts on both sides (ears,
// eyes, legs, feet) are built once and mirrored, and both copies share the
// same rectangle; the hanging left arm and the raised right arm share one
// too. The parts are laid out and painted in a figure 53 units tall, which is
// then stretched upwards to stand from y = -25 to y = 30.
#include <algorithm>

#include "creature_parts.h"

namespace creature {

bool buildCreature(Mesh& mesh, Picture& skin) {
  const std::vector<BodyPart> parts = bodyParts();
  if (!partsFitTheSkin(parts)) return false;

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
      for (size_t v = firstPoint; v < mesh.positions.size(); ++v)
        o.centre = o.centre + mesh.positions[v];
      o.centre = o.centre * (1.0 / double(mesh.positions.size() - firstPoint));
      for (size_t v = firstPoint; v < mesh.positions.size(); ++v)
        o.radius = std::max(o.radius, length(mesh.positions[v] - o.centre));
      o.radius += 0.01;
      occluders.push_back(o);
    }
  }

  skin = Picture(kSkinWidth, kSkinHeight, Rgba{24, 20, 16, 255});
  for (size_t k = 0; k < parts.size(); ++k)
    if (parts[k].paint) paintRegion(skin, parts[k], grids[k], mesh, occluders);

  double top = -1e30;
  for (const Vec3& p : mesh.positions) top = std::max(top, p.y);
  const double stretch = (kTop - kFloor) / (top - kFloor);
  for (Vec3& p : mesh.positions) p.y = kFloor + (p.y - kFloor) * stretch;
  return true;
}

}  // namespace creature
