// Evaluates the game's sin, cos, tan and atan over a fixed set of about a
// million arguments (the game's headings, smoke spreads, pitches and slopes,
// the doubles around multiples of pi/2, and doubles from the whole range) and
// prints a digest of the results per function and of all of them. Every build
// (Linux, Windows, the browser's WebAssembly) must print the same digests:
// CTest compares them with math_digest.expected.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "math/game_math.h"

namespace {
using gmath::bitsOf;
using gmath::fromBits;

uint64_t randomState = 19;
uint64_t next() {  // splitmix64
  uint64_t z = (randomState += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
// A whole number from 0 to n - 1, as a double.
double below(uint64_t n) { return static_cast<double>(static_cast<int64_t>(next() % n)); }
// A finite double of any size and sign.
double anyFinite() {
  for (;;) {
    const double x = fromBits(next());
    if (x - x == 0) return x;
  }
}

struct Digest {
  uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
  long count = 0;
  void add(double y) {
    // Every NaN counts alike: the builds may differ in a NaN's payload.
    const uint64_t u = y != y ? 0x7FF8000000000000ull : bitsOf(y);
    for (int i = 0; i < 8; ++i) {
      hash ^= (u >> (8 * i)) & 0xFFu;
      hash *= 0x100000001B3ull;
    }
    ++count;
  }
};

Digest digests[4];
Digest all;
constexpr const char* kNames[4] = {"sin", "cos", "tan", "atan"};
double (*const kFunctions[4])(double) = {gmath::sin, gmath::cos, gmath::tan, gmath::atan};

void eval(int f, double x) {
  const double y = kFunctions[f](x);
  digests[f].add(y);
  all.add(y);
}

constexpr double kDegToRad = static_cast<double>(0.017453292f);
constexpr double kHalfPi = 1.5707963267948966;
}  // namespace

int main() {
  // Headings: whole 32nds of a degree (the mouse's steps) within a million
  // degrees either way, straight ahead and a side step off.
  for (int i = 0; i < 100000; ++i) {
    const double h = (below(64000001) - 32000000) / 32;
    for (int f = 0; f < 2; ++f) {
      eval(f, h * kDegToRad);
      eval(f, (h + 90) * kDegToRad);
    }
  }
  // The smoke: every pair of spread angles a burst can draw.
  for (int a = 0; a < 360; ++a) {
    for (int c = 0; c < 360; ++c) {
      const double m = std::sqrt(static_cast<double>(a * a + c * c));
      eval(0, std::sqrt(a * a + m * m));
      eval(1, std::sqrt(a * a + m * m));
      eval(1, std::sqrt(c * c + m * m));
    }
  }
  // The pitch, in 32nds of a degree and anywhere within -85..85.
  for (int i = -85 * 32; i <= 85 * 32; ++i) eval(2, i / 32.0 * kDegToRad);
  for (int i = 0; i < 100000; ++i) eval(2, (below(1700000001) / 1e7 - 85) * kDegToRad);
  // Slopes of the hit test: coordinate differences within the maze.
  for (int i = 0; i < 200000; ++i) {
    const double dz = below(3584001) / 1000 - 1792;
    const double dx = below(2560001) / 1000 - 1280 + 0.5;
    eval(3, dz / dx);
  }
  // The doubles nearest each multiple of pi/2 up to a thousand quarter turns,
  // two either side.
  for (int k = -1000; k <= 1000; ++k) {
    const uint64_t centre = bitsOf(k * kHalfPi);
    for (int d = -2; d <= 2; ++d) {
      const double x = k == 0 ? fromBits(static_cast<uint64_t>(d + 2)) : fromBits(centre + d);
      for (int f = 0; f < 4; ++f) eval(f, x);
    }
  }
  // Doubles from the whole range.
  for (int i = 0; i < 40000; ++i) {
    for (int f = 0; f < 4; ++f) eval(f, anyFinite());
  }
  for (int f = 0; f < 4; ++f) {
    std::printf("%-4s %08x%08x  %ld values\n", kNames[f],
                static_cast<unsigned>(digests[f].hash >> 32),
                static_cast<unsigned>(digests[f].hash), digests[f].count);
  }
  std::printf("all  %08x%08x  %ld values\n", static_cast<unsigned>(all.hash >> 32),
              static_cast<unsigned>(all.hash), all.count);
  return 0;
}
