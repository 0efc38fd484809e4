// A rough software rendering of two views of the maze, for the data generator's contact sheet.
#include "preview.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "camera.h"
#include "procedural.h"
#include "world/maze_layout.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr double kPi = 3.14159265358979323846;
const double kTanHalfFov = std::tan(kFieldOfView / 2 * kPi / 180.0);

// Mipmap chain made like GLU's: each level the 2 x 2 box average of the one above.
struct Mipmaps {
  std::vector<Picture> levels;
  explicit Mipmaps(const Picture& base) {
    levels.push_back(base);
    while (levels.back().width > 1 && levels.back().height > 1) {
      const Picture& up = levels.back();
      Picture down(up.width / 2, up.height / 2);
      for (int y = 0; y < down.height; ++y) {
        for (int x = 0; x < down.width; ++x) {
          const Rgba* q[4] = {&up.at(2 * x, 2 * y), &up.at(2 * x + 1, 2 * y),
                              &up.at(2 * x, 2 * y + 1), &up.at(2 * x + 1, 2 * y + 1)};
          down.at(x, y) = Rgba{uint8_t((q[0]->r + q[1]->r + q[2]->r + q[3]->r + 2) / 4),
                               uint8_t((q[0]->g + q[1]->g + q[2]->g + q[3]->g + 2) / 4),
                               uint8_t((q[0]->b + q[1]->b + q[2]->b + q[3]->b + 2) / 4), 255};
        }
      }
      levels.push_back(down);
    }
  }

  // Bilinear sample of the nearest level for `texelsPerPixel`, repeating;
  // t = 0 is the picture's bottom row, as in the game's textures.
  Colour sample(double s, double t, double texelsPerPixel) const {
    const double lambda = std::log2(std::max(texelsPerPixel, 1e-6));
    const int level = std::clamp(int(std::lround(lambda)), 0, int(levels.size()) - 1);
    const Picture& p = levels[size_t(level)];
    const double fx = s * p.width - 0.5, fy = (1.0 - t) * p.height - 0.5;
    const double x0 = std::floor(fx), y0 = std::floor(fy);
    const double ax = fx - x0, ay = fy - y0;
    auto texel = [&](double x, double y) {
      const int ix = ((int(x) % p.width) + p.width) % p.width;
      const int iy = ((int(y) % p.height) + p.height) % p.height;
      const Rgba& c = p.at(ix, iy);
      return Colour{c.r / 255.0, c.g / 255.0, c.b / 255.0};
    };
    return mixColour(mixColour(texel(x0, y0), texel(x0 + 1, y0), ax),
                     mixColour(texel(x0, y0 + 1), texel(x0 + 1, y0 + 1), ax), ay);
  }
};

// An axis-aligned rectangle of the maze: constant `axis` coordinate k,
// spanning u and v (for x: u = z, v = y; for y: u = x, v = z; for z: u = x,
// v = y). The texture repeats every 64 units from (u0, v0).
struct Quad {
  int axis;
  double k, u0, u1, v0, v1;
  int texture;
};

struct Scene {
  std::vector<Quad> quads;
  double eyeX, eyeZ, heading;  // degrees, 0 looks towards -z
};

Picture render(const Scene& scene, const Mipmaps* textures, const Mipmaps& crosshair) {
  ColourCanvas canvas(kWidth, kHeight);
  const double h = scene.heading * kPi / 180.0;
  const double fwd[3] = {-std::sin(h), 0.0, -std::cos(h)};
  const double right[3] = {std::cos(h), 0.0, -std::sin(h)};
  const double eye[3] = {scene.eyeX, kEyeHeight, scene.eyeZ};
  const double pixelAngle = 2.0 * kTanHalfFov / kHeight;
  for (int py = 0; py < kHeight; ++py) {
    for (int px = 0; px < kWidth; ++px) {
      const double sx = (px + 0.5 - kWidth / 2.0) / (kHeight / 2.0) * kTanHalfFov;
      const double sy = -(py + 0.5 - kHeight / 2.0) / (kHeight / 2.0) * kTanHalfFov;
      const double dir[3] = {fwd[0] + sx * right[0], sy, fwd[2] + sx * right[2]};
      const double len = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
      double best = 1e30;
      Colour colour{0, 0, 0};
      for (const Quad& q : scene.quads) {
        const int ua = q.axis == 0 ? 2 : 0, va = q.axis == 1 ? 2 : 1;
        if (std::fabs(dir[q.axis]) < 1e-12) continue;
        const double t = (q.k - eye[q.axis]) / dir[q.axis];
        if (t <= 0 || t >= best) continue;
        const double u = eye[ua] + t * dir[ua], v = eye[va] + t * dir[va];
        if (u < q.u0 || u > q.u1 || v < q.v0 || v > q.v1) continue;
        best = t;
        const double distance = t * len, cosine = std::fabs(dir[q.axis]) / len;
        const double texels =
            distance * pixelAngle / std::max(cosine, 0.02) * 4.0;  // 256 texels per 64 units
        colour = textures[q.texture].sample((u - q.u0) / 64.0, (v - q.v0) / 64.0, texels);
      }
      canvas.at(px, py) = colour;
    }
  }
  // The crosshair: a 2 x 2 quad at depth 35, added on top.
  const double half = (1.0 / 35.0) / kTanHalfFov * (kHeight / 2.0);
  const double texelsPerPixel = 64.0 / (2.0 * half);
  for (int py = 0; py < kHeight; ++py) {
    for (int px = 0; px < kWidth; ++px) {
      const double s = (px + 0.5 - (kWidth / 2.0 - half)) / (2.0 * half);
      const double t = 1.0 - (py + 0.5 - (kHeight / 2.0 - half)) / (2.0 * half);
      if (s < 0 || s > 1 || t < 0 || t > 1) continue;
      const Colour c = crosshair.sample(s, t, texelsPerPixel);
      Colour& out = canvas.at(px, py);
      out = Colour{out.r + c.r, out.g + c.g, out.b + c.b};
    }
  }
  return canvas.toPicture();
}

// The whole maze as the game lays it out: floor, ceiling and every wall, the
// door with the exit texture.
void addMaze(Scene* scene) {
  scene->quads.push_back({1, 0.0, 0, kWorldSizeX, 0, kWorldSizeZ, 1});
  scene->quads.push_back({1, kCeilingY, 0, kWorldSizeX, 0, kWorldSizeZ, 1});
  for (const MazeWall& wall : kMazeWalls) {
    // A wall on a line of constant z spans x (axis 2); one of constant x spans z (axis 0).
    scene->quads.push_back(
        {wall.alongX ? 2 : 0, wall.line, wall.low, wall.high, 0, kCeilingY, wall.door ? 2 : 0});
  }
}

}  // namespace

Picture previewExitView(const Picture& walls, const Picture& floor, const Picture& exit,
                        const Picture& crosshair) {
  const Mipmaps textures[3] = {Mipmaps(walls), Mipmaps(floor), Mipmaps(exit)};
  Scene scene;
  addMaze(&scene);
  // From cell 11, facing the door in the wall at z = 0.
  scene.eyeX = 400;
  scene.eyeZ = 300;
  scene.heading = 8;
  return render(scene, textures, Mipmaps(crosshair));
}

Picture previewLongCorridor(const Picture& walls, const Picture& floor, const Picture& exit,
                            const Picture& crosshair) {
  const Mipmaps textures[3] = {Mipmaps(walls), Mipmaps(floor), Mipmaps(exit)};
  Scene scene;
  addMaze(&scene);
  // Zone 1: z from 1280 to 1536, x from 0 to 1024, seen from near x = 1000.
  scene.eyeX = 990;
  scene.eyeZ = 1380;
  scene.heading = 82;
  return render(scene, textures, Mipmaps(crosshair));
}
