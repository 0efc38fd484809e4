// Software rendering of the creature for the review pictures.
#include "creature_view.h"

#include <algorithm>
#include <cmath>

namespace creature {

namespace {

struct Projected {
  double x = 0, y = 0;  // pixels
  double w = 1;         // 1 / depth for perspective, 1 for orthographic
  double depth = 0;     // distance along the view direction
  double s = 0, t = 0;  // texture coordinates as the game has them
};

Rgba sample(const Picture& skin, double s, double t) {
  // t = 0 is the bottom row of the picture, as OpenGL loads a bottom-up BMP.
  const double x = s * skin.width - 0.5, y = (1.0 - t) * skin.height - 0.5;
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  auto at = [&](int px, int py) {
    px = ((px % skin.width) + skin.width) % skin.width;
    py = ((py % skin.height) + skin.height) % skin.height;
    return skin.at(px, py);
  };
  const Rgba c[4] = {at(x0, y0), at(x0 + 1, y0), at(x0, y0 + 1), at(x0 + 1, y0 + 1)};
  auto channel = [&](uint8_t Rgba::*m) {
    const double top = c[0].*m + (c[1].*m - c[0].*m) * fx;
    const double bottom = c[2].*m + (c[3].*m - c[2].*m) * fx;
    return uint8_t(std::lround(top + (bottom - top) * fy));
  };
  return {channel(&Rgba::r), channel(&Rgba::g), channel(&Rgba::b), 255};
}

double edge(const Projected& a, const Projected& b, double x, double y) {
  return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

}  // namespace

Picture renderView(const Md2Model& model, const Picture& skin, const ViewCamera& camera, int width,
                   int height) {
  Picture picture(width, height, Rgba{58, 62, 72, 255});
  std::vector<double> depth(size_t(width) * size_t(height), 1e30);
  const Vec3 forward = normalized(camera.target - camera.eye);
  const Vec3 right = normalized(cross(forward, {0, 1, 0}));
  const Vec3 up = cross(right, forward);
  const double focal = camera.perspective
                           ? (height / 2.0) / std::tan(camera.fovY * 3.14159265358979 / 360.0)
                           : height / camera.unitsHigh;
  auto project = [&](Vec3 p) {
    const Vec3 d = p - camera.eye;
    Projected out;
    out.depth = dot(d, forward);
    const double k = camera.perspective ? focal / std::max(out.depth, 1e-3) : focal;
    out.x = width / 2.0 + dot(d, right) * k;
    out.y = height / 2.0 - dot(d, up) * k;
    out.w = camera.perspective ? 1.0 / std::max(out.depth, 1e-3) : 1.0;
    return out;
  };

  for (const Triangle& tri : model.triangles) {
    Projected v[3];
    Vec3 p[3];
    for (int k = 0; k < 3; ++k) {
      p[k] = model.positions[size_t(tri.xyz[k])];
      v[k] = project(p[k]);
      const TexCoord& st = model.texCoords[size_t(tri.st[k])];
      v[k].s = double(st.s) / model.skinWidth;
      v[k].t = 1.0 - double(st.t) / model.skinHeight;
    }
    if (v[0].depth <= 0.5 || v[1].depth <= 0.5 || v[2].depth <= 0.5) continue;
    const double area = edge(v[0], v[1], v[2].x, v[2].y);
    if (std::fabs(area) < 1e-9) continue;
    const Vec3 normal = normalized(gameFaceNormal(p[0], p[1], p[2]));
    const Vec3 centre = (p[0] + p[1] + p[2]) * (1.0 / 3.0);
    const Vec3 toEye = camera.perspective ? normalized(camera.eye - centre) : forward * -1.0;
    const double facing = dot(normal, toEye);
    const double light = camera.shaded ? 0.55 + 0.45 * std::max(0.0, facing) : 1.0;
    const int x0 = std::max(0, int(std::floor(std::min({v[0].x, v[1].x, v[2].x}))));
    const int x1 = std::min(width - 1, int(std::ceil(std::max({v[0].x, v[1].x, v[2].x}))));
    const int y0 = std::max(0, int(std::floor(std::min({v[0].y, v[1].y, v[2].y}))));
    const int y1 = std::min(height - 1, int(std::ceil(std::max({v[0].y, v[1].y, v[2].y}))));
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        const double b0 = edge(v[1], v[2], px, py) / area;
        const double b1 = edge(v[2], v[0], px, py) / area;
        const double b2 = 1.0 - b0 - b1;
        if (b0 < 0 || b1 < 0 || b2 < 0) continue;
        const double w = b0 * v[0].w + b1 * v[1].w + b2 * v[2].w;
        const double d =
            camera.perspective ? 1.0 / w : b0 * v[0].depth + b1 * v[1].depth + b2 * v[2].depth;
        double& z = depth[size_t(y) * size_t(width) + size_t(x)];
        if (d >= z) continue;
        z = d;
        if (facing < 0 && camera.shaded) {
          picture.at(x, y) = {255, 0, 255, 255};
          continue;
        }
        const double s = (b0 * v[0].s * v[0].w + b1 * v[1].s * v[1].w + b2 * v[2].s * v[2].w) / w;
        const double t = (b0 * v[0].t * v[0].w + b1 * v[1].t * v[1].w + b2 * v[2].t * v[2].w) / w;
        Rgba c = sample(skin, s, t);
        c.r = uint8_t(std::lround(c.r * light));
        c.g = uint8_t(std::lround(c.g * light));
        c.b = uint8_t(std::lround(c.b * light));
        picture.at(x, y) = c;
      }
    }
  }
  return picture;
}

}  // namespace creature
