// Seeded random numbers, tileable noise and the floating-point canvas for the generated pictures.
#include "procedural.h"

#include <algorithm>
#include <cmath>

double latticeValue(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 15;
  h *= 0x2c1b3c6du;
  h ^= h >> 12;
  h *= 0x297a2d39u;
  h ^= h >> 15;
  return double(h >> 8) / 16777216.0;
}

namespace {
double fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }
int wrapIndex(int i, int period) { return ((i % period) + period) % period; }
}  // namespace

double periodicNoise(double u, double v, int period, uint32_t seed) {
  const double x = u * period, y = v * period;
  const double fx = std::floor(x), fy = std::floor(y);
  const int x0 = wrapIndex(int(fx), period), y0 = wrapIndex(int(fy), period);
  const int x1 = wrapIndex(x0 + 1, period), y1 = wrapIndex(y0 + 1, period);
  const double tx = fade(x - fx), ty = fade(y - fy);
  const double a = mix(latticeValue(x0, y0, seed), latticeValue(x1, y0, seed), tx);
  const double b = mix(latticeValue(x0, y1, seed), latticeValue(x1, y1, seed), tx);
  return mix(a, b, ty);
}

double periodicFbm(double u, double v, int period, int octaves, double gain, uint32_t seed) {
  double sum = 0.0, weight = 0.0, amplitude = 1.0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * periodicNoise(u, v, period << i, seed + uint32_t(i) * 101u);
    weight += amplitude;
    amplitude *= gain;
  }
  return sum / weight;
}

double clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

double smoothstep(double edge0, double edge1, double v) {
  const double t = clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0 - 2.0 * t);
}

double mix(double a, double b, double t) { return a + (b - a) * t; }

Colour mixColour(const Colour& a, const Colour& b, double t) {
  return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)};
}

Colour scaleColour(const Colour& c, double k) { return {c.r * k, c.g * k, c.b * k}; }

Field shadeHeights(const Field& heights, double strength) {
  // Light from the upper left, in front of the surface (x right, y down, z out).
  const double lx = -0.45, ly = -0.55, lz = 0.70;
  const double len = std::sqrt(lx * lx + ly * ly + lz * lz);
  const double Lx = lx / len, Ly = ly / len, Lz = lz / len;
  Field light(heights.width, heights.height);
  for (int y = 0; y < heights.height; ++y) {
    for (int x = 0; x < heights.width; ++x) {
      const double dx = (heights.wrapped(x + 1, y) - heights.wrapped(x - 1, y)) * 0.5 * strength;
      const double dy = (heights.wrapped(x, y + 1) - heights.wrapped(x, y - 1)) * 0.5 * strength;
      const double nlen = std::sqrt(dx * dx + dy * dy + 1.0);
      const double lambert = (-dx * Lx - dy * Ly + Lz) / nlen;
      light.at(x, y) = std::max(0.0, lambert) / Lz;
    }
  }
  return light;
}

Picture ColourCanvas::toPicture() const {
  Picture picture(width, height);
  auto channel = [](double v) { return uint8_t(std::lround(clamp01(v) * 255.0)); };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Colour& c = at(x, y);
      picture.at(x, y) = Rgba{channel(c.r), channel(c.g), channel(c.b), 255};
    }
  }
  return picture;
}

double meanLuminance(const Picture& picture) {
  double sum = 0.0;
  for (const Rgba& c : picture.pixels) sum += 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
  return picture.pixels.empty() ? 0.0 : sum / double(picture.pixels.size());
}
