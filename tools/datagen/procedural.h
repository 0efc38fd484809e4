// Building blocks for the generated pictures: a seeded random stream,
// periodic (tileable) noise, and a small floating-point canvas that knows how
// to shade a height field and become a Picture.
#pragma once

#include <cstdint>
#include <vector>

#include "image.h"

// Linear congruential generator (Knuth's 64-bit constants). Same sequence on
// every machine, unlike the standard library's distributions.
class Lcg {
 public:
  explicit Lcg(uint64_t seed) : state_(seed * 2862933555777941757ull + 3037000493ull) {}
  uint32_t next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return uint32_t(state_ >> 33);
  }
  // Uniform in [0, 1).
  double unit() { return double(next()) / 2147483648.0; }
  // Uniform in [lo, hi).
  double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
  // Uniform integer in [0, n).
  int below(int n) { return int(next() % uint32_t(n)); }

 private:
  uint64_t state_;
};

// Hash of a lattice point to [0, 1).
double latticeValue(int x, int y, uint32_t seed);

// Value noise in [0, 1) over a lattice of `period` x `period` cells spread over
// the unit square: u and v in [0, 1) and the result wraps at 1 on both axes.
double periodicNoise(double u, double v, int period, uint32_t seed);

// Fractal sum of periodicNoise: octaves at period, 2 period, 4 period, ...
// with amplitudes 1, gain, gain^2, ...; normalised to about [0, 1).
double periodicFbm(double u, double v, int period, int octaves, double gain, uint32_t seed);

double clamp01(double v);
double smoothstep(double edge0, double edge1, double v);
double mix(double a, double b, double t);

struct Colour {
  double r = 0, g = 0, b = 0;
};
Colour mixColour(const Colour& a, const Colour& b, double t);
Colour scaleColour(const Colour& c, double k);

// A width x height grid of doubles, wrapping at its edges.
struct Field {
  int width = 0;
  int height = 0;
  std::vector<double> values;

  Field(int w, int h, double fill = 0.0)
      : width(w), height(h), values(size_t(w) * size_t(h), fill) {}
  double& at(int x, int y) { return values[size_t(y) * size_t(width) + size_t(x)]; }
  double at(int x, int y) const { return values[size_t(y) * size_t(width) + size_t(x)]; }
  double wrapped(int x, int y) const {
    return at(((x % width) + width) % width, ((y % height) + height) % height);
  }
};

// Lambert shading of a height field seen head-on (heights in pixels of
// relief per unit, `strength` scales the slopes), lit from the upper left.
// Returns a light factor around 1 for flat ground.
Field shadeHeights(const Field& heights, double strength);

// Colour channels (0..1 nominal) to an opaque picture, clamped and rounded.
struct ColourCanvas {
  int width = 0;
  int height = 0;
  std::vector<Colour> pixels;

  ColourCanvas(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h)) {}
  Colour& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  const Colour& at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  Picture toPicture() const;
};

// Average luminance (0..255) of a picture; used to keep the sets balanced.
double meanLuminance(const Picture& picture);
