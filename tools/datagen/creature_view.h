// A small software rasterizer for reviewing the creature: textured triangles
// with a depth buffer, no culling (as the game draws them), sampled the way
// the game maps the skin (v = 1 - t / skinheight, rows counted from the
// bottom of the picture).
#pragma once

#include "creature_md2.h"
#include "image.h"

namespace creature {

struct ViewCamera {
  Vec3 eye;
  Vec3 target;
  bool perspective = false;
  double fovY = 60;       // degrees, perspective only
  double unitsHigh = 60;  // world units across the picture's height, orthographic only
  bool shaded = true;     // darken faces turned from the eye (flat shading)
};

// Faces whose game normal points away from the eye, yet are seen, are drawn
// magenta: they would mean a triangle wound the wrong way.
Picture renderView(const Md2Model& model, const Picture& skin, const ViewCamera& camera, int width,
                   int height);

}  // namespace creature
