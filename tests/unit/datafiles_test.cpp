// The generated data files in the game's folder: headers the readers accept,
// the sizes the game expects, and the few properties the drawing code relies
// on (black backgrounds for additive overlays, glyphs clear of their cell
// edges, tiles that wrap without a seam).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/test_paths.h"

namespace {

std::vector<uint8_t> readRunFile(const std::string& name) {
  return readFileBytes(std::string(test_paths::kRun) + "/" + name);
}

// A 24-bit bottom-up BMP as luminance, rows top to bottom.
struct Gray {
  int width = 0, height = 0;
  std::vector<double> v;
  double at(int x, int y) const { return v[size_t(y) * size_t(width) + size_t(x)]; }
};

// Checks the headers of a 24-bit BMP of the given size and returns its pixels.
Gray checkedBmp(const std::string& name, int width, int height) {
  SCOPED_TRACE(name);
  Gray g;
  const std::vector<uint8_t> b = readRunFile(name);
  const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t(3);
  EXPECT_EQ(b.size(), 54 + rowBytes * size_t(height));
  if (b.size() != 54 + rowBytes * size_t(height)) return g;
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(u32(b, 2), b.size());
  EXPECT_EQ(u32(b, 10), 54u);
  EXPECT_EQ(u32(b, 14), 40u);
  EXPECT_EQ(u32(b, 18), uint32_t(width));
  EXPECT_EQ(u32(b, 22), uint32_t(height));
  EXPECT_EQ(u16(b, 26), 1u);
  EXPECT_EQ(u16(b, 28), 24u);
  EXPECT_EQ(u32(b, 30), 0u);
  g.width = width;
  g.height = height;
  for (int y = 0; y < height; ++y) {
    const size_t row = 54 + rowBytes * size_t(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &b[row + size_t(x) * 3];
      g.v.push_back(0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2]);
    }
  }
  return g;
}

double mean(const Gray& g) {
  double sum = 0;
  for (double v : g.v) sum += v;
  return sum / double(g.v.size());
}

// Brightest pixel on the picture's outer edge.
double brightestEdge(const Gray& g) {
  double m = 0;
  for (int i = 0; i < g.width; ++i) m = std::max({m, g.at(i, 0), g.at(i, g.height - 1)});
  for (int i = 0; i < g.height; ++i) m = std::max({m, g.at(0, i), g.at(g.width - 1, i)});
  return m;
}

// The jump across the wrap (last column to first) against the usual step
// between neighbouring columns; near 1 for a seamless tile.
double seamRatio(const Gray& g, bool acrossColumns) {
  const int n = acrossColumns ? g.width : g.height, m = acrossColumns ? g.height : g.width;
  auto pix = [&](int i, int j) { return acrossColumns ? g.at(i, j) : g.at(j, i); };
  double seam = 0, inner = 0;
  for (int j = 0; j < m; ++j) {
    seam += std::fabs(pix(n - 1, j) - pix(0, j));
    for (int i = 1; i < n; ++i) inner += std::fabs(pix(i, j) - pix(i - 1, j));
  }
  return seam / (inner / (n - 1));
}

TEST(DataFiles, TilesAreSeamlessBitmapsAndTheFloorIsDarker) {
  const Gray walls = checkedBmp("Data/walls.bmp", 256, 256);
  const Gray floor = checkedBmp("Data/floor.bmp", 256, 256);
  const Gray exit = checkedBmp("Data/exit.bmp", 256, 256);
  ASSERT_FALSE(walls.v.empty() || floor.v.empty() || exit.v.empty());
  for (const Gray* tile : {&walls, &floor}) {
    EXPECT_LT(seamRatio(*tile, true), 1.6);
    EXPECT_LT(seamRatio(*tile, false), 1.6);
  }
  EXPECT_GT(mean(walls), 70.0);
  EXPECT_LT(mean(floor), 0.8 * mean(walls));
  EXPECT_GT(mean(exit), 40.0);
}

TEST(DataFiles, OverlaysAreLightShapesOnBlack) {
  const Gray crosshair = checkedBmp("Data/crosshair.bmp", 64, 64);
  const Gray smoke = checkedBmp("Data/smoke.bmp", 128, 128);
  ASSERT_FALSE(crosshair.v.empty() || smoke.v.empty());
  EXPECT_EQ(brightestEdge(crosshair), 0.0);
  EXPECT_EQ(brightestEdge(smoke), 0.0);
  // The crosshair is open in the middle but has bright lines.
  EXPECT_LT(crosshair.at(31, 31) + crosshair.at(32, 32), 1.0);
  EXPECT_GT(*std::max_element(crosshair.v.begin(), crosshair.v.end()), 200.0);
  // The puff is brightest near its middle and fades outwards.
  EXPECT_GT(smoke.at(64, 64), 120.0);
  EXPECT_GT(smoke.at(64, 64), 3.0 * smoke.at(64, 10));
}

TEST(DataFiles, FontHasTwoSetsOfGlyphsClearOfTheirCellEdges) {
  const std::vector<uint8_t> b = readRunFile("Data/Font.TGA");
  ASSERT_GE(b.size(), 18u);
  const uint8_t header[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_TRUE(std::equal(header, header + 12, b.begin()));
  ASSERT_EQ(u16(b, 12), 256u);
  ASSERT_EQ(u16(b, 14), 256u);
  const size_t bytesPerPixel = b[16] / 8u;
  ASSERT_TRUE(b[16] == 24 || b[16] == 32);
  ASSERT_GE(b.size(), 18 + 256 * 256 * bytesPerPixel);
  // Rows are stored bottom-up: row y from the top of the picture is stored row 255 - y.
  auto green = [&](int x, int y) {
    return b[18 + (size_t(255 - y) * 256 + size_t(x)) * bytesPerPixel + 1];
  };
  std::vector<long> ink(256, 0);
  for (int cell = 0; cell < 256; ++cell) {
    const int cx = (cell % 16) * 16, cy = (cell / 16) * 16;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const int v = green(cx + x, cy + y);
        ink[size_t(cell)] += v;
        if (x == 0 || y == 0 || x == 15 || y == 15) {
          EXPECT_EQ(v, 0) << "cell " << cell << " edge at " << x << "," << y;
        }
      }
    }
  }
  long regular = 0, bold = 0;
  for (int code = 32; code < 128; ++code) {
    const bool printable = code > 32 && code < 127;
    EXPECT_EQ(ink[size_t(code - 32)] > 0, printable) << "set 0, code " << code;
    EXPECT_EQ(ink[size_t(code + 96)] > 0, printable) << "set 1, code " << code;
    regular += ink[size_t(code - 32)];
    bold += ink[size_t(code + 96)];
  }
  for (int cell = 96; cell < 128; ++cell) EXPECT_EQ(ink[size_t(cell)], 0) << "cell " << cell;
  for (int cell = 224; cell < 256; ++cell) EXPECT_EQ(ink[size_t(cell)], 0) << "cell " << cell;
  EXPECT_GT(bold, regular * 5 / 4);
}

TEST(DataFiles, RifleShotIsAShortCanonicalPcmWave) {
  const std::vector<uint8_t> b = readRunFile("Data/rifle.WAV");
  ASSERT_GE(b.size(), 44u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(u32(b, 4), b.size() - 8);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(u32(b, 16), 16u);
  EXPECT_EQ(u16(b, 20), 1u);  // PCM
  EXPECT_EQ(u16(b, 22), 1u);  // mono
  const uint32_t rate = u32(b, 24);
  EXPECT_TRUE(rate == 22050 || rate == 44100) << rate;
  EXPECT_EQ(u32(b, 28), rate * 2);
  EXPECT_EQ(u16(b, 32), 2u);
  EXPECT_EQ(u16(b, 34), 16u);
  EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
  ASSERT_EQ(u32(b, 40), b.size() - 44);
  const size_t samples = (b.size() - 44) / 2;
  EXPECT_NEAR(double(samples) / rate, 0.4, 0.15);
  // Loud at the start, silent at the end (no click when it stops).
  auto sample = [&](size_t i) { return int16_t(u16(b, 44 + 2 * i)); };
  int startPeak = 0;
  for (size_t i = 0; i < samples / 20; ++i)
    startPeak = std::max(startPeak, std::abs(int(sample(i))));
  EXPECT_GT(startPeak, 20000);
  EXPECT_LT(std::abs(int(sample(samples - 1))), 100);
}

}  // namespace
