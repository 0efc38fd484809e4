// The generated enemy model "tris.md2" and its skin "hobgoblin.bmp", read with
// the game's MD2 reader: a sound MD2 version 8 file, a creature of the right
// size standing on the floor, closed parts wound so that the game's face
// normals point outwards, and texture coordinates on painted texels.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "model/md2.h"
#include "support/file_bytes.h"
#include "support/test_paths.h"
#include "support/test_platform.h"

namespace {

int32_t i32(const std::vector<uint8_t>& b, size_t at) {
  return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                 uint32_t(b[at + 3]) << 24);
}
int i16(const std::vector<uint8_t>& b, size_t at) {
  return int16_t(uint16_t(b[at] | b[at + 1] << 8));
}

struct Vec {
  double x, y, z;
};
Vec sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec cross(Vec a, Vec b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

enum Field {
  kIdent,
  kVersion,
  kSkinWidth,
  kSkinHeight,
  kFrameSize,
  kNumSkins,
  kNumXyz,
  kNumSt,
  kNumTris,
  kNumGlCmds,
  kNumFrames,
  kOfsSkins,
  kOfsSt,
  kOfsTris,
  kOfsFrames,
  kOfsGlCmds,
  kOfsEnd
};

struct Triangle {
  int xyz[3];
  int st[3];
};

// The model file as the game's reader sees it.
class CreatureFile : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes = readFileBytes(std::string(test_paths::kRun) + "/tris.md2");
    testPlatform.clear();
    ASSERT_TRUE(md2Reader.read(bytes.data(), bytes.size(), "tris.md2"))
        << (testPlatform.messages.empty() ? "" : testPlatform.messages[0].text);
    std::memcpy(h, &md2Reader.header(), sizeof h);
    ASSERT_LE(h[kNumXyz], 2048);
    ASSERT_GT(h[kNumSt], 0);
    ASSERT_GT(h[kNumTris], 0);
    ASSERT_EQ(h[kFrameSize], 40 + 4 * h[kNumXyz]);
    for (const Md2Reader::Triangle& tri : md2Reader.triangles()) {
      Triangle t;
      for (int k = 0; k < 3; ++k) {
        t.xyz[k] = tri.index_xyz[k];
        t.st[k] = tri.index_st[k];
      }
      triangles.push_back(t);
    }
    for (const Md2Reader::TexCoord& st : md2Reader.texCoords()) texCoords.push_back({st.s, st.t});
    for (const Vector3f& p : md2Reader.firstFrame()) positions.push_back({p.x, p.y, p.z});
    skinNames = md2Reader.skinNames().size();
    if (skinNames > 0) {
      const char* name = md2Reader.skinNames()[0].name;
      const char* end = std::find(name, name + Md2Reader::kSkinNameBytes, '\0');
      skinName.assign(name, end);
      skinNameEnded = end != name + Md2Reader::kSkinNameBytes;
    }
    md2Reader.release();
    // The packed vertex bytes of the first frame, which the reader decodes.
    const size_t frame = size_t(h[kOfsFrames]);
    for (int i = 0; i < h[kNumXyz]; ++i) {
      const size_t at = frame + 40 + size_t(i) * 4;
      packed.push_back({bytes[at], bytes[at + 1], bytes[at + 2]});
    }
  }

  bool inside(int64_t offset, int64_t size) const {
    return offset >= 68 && size >= 0 && offset + size <= int64_t(bytes.size());
  }

  std::vector<uint8_t> bytes;
  int32_t h[17] = {};
  std::vector<Triangle> triangles;
  std::vector<std::pair<int, int>> texCoords;  // s, t in texels
  std::vector<std::array<int, 3>> packed;
  std::vector<Vec> positions;
  size_t skinNames = 0;
  std::string skinName;
  bool skinNameEnded = false;
};

TEST_F(CreatureFile, HeaderAndSectionsAgreeWithTheFile) {
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "IDP2");
  EXPECT_EQ(h[kOfsEnd], int32_t(bytes.size()));
  EXPECT_LE(h[kFrameSize], Md2Reader::kFrameBufferBytes);
  EXPECT_GE(h[kNumTris], 300);
  EXPECT_LE(h[kNumTris], 700);
  EXPECT_GT(h[kSkinWidth], 0);
  EXPECT_GT(h[kSkinHeight], 0);
  EXPECT_GE(h[kNumGlCmds], 0);

  // Every section lies inside the file after the header, and none overlaps another.
  std::vector<std::pair<int64_t, int64_t>> sections = {
      {h[kOfsSkins], int64_t(h[kNumSkins]) * 64},
      {h[kOfsSt], int64_t(h[kNumSt]) * 4},
      {h[kOfsTris], int64_t(h[kNumTris]) * 12},
      {h[kOfsFrames], int64_t(h[kNumFrames]) * h[kFrameSize]},
      {h[kOfsGlCmds], int64_t(h[kNumGlCmds]) * 4}};
  for (const auto& s : sections) EXPECT_TRUE(inside(s.first, s.second)) << s.first;
  std::sort(sections.begin(), sections.end());
  for (size_t i = 1; i < sections.size(); ++i)
    EXPECT_LE(sections[i - 1].first + sections[i - 1].second, sections[i].first);

  // The skin's name, zero-terminated inside its 64 bytes.
  ASSERT_GE(skinNames, 1u);
  EXPECT_TRUE(skinNameEnded);
  EXPECT_EQ(skinName, "hobgoblin.bmp");
}

TEST_F(CreatureFile, EveryIndexNamesAnExistingVertexOrTexel) {
  // The reader has checked the indices against the counts.
  for (const Triangle& t : triangles) {
    EXPECT_TRUE(t.xyz[0] != t.xyz[1] && t.xyz[1] != t.xyz[2] && t.xyz[0] != t.xyz[2]);
  }
  for (const auto& [s, t] : texCoords) {
    EXPECT_TRUE(s >= 0 && s <= h[kSkinWidth] && t >= 0 && t <= h[kSkinHeight]) << s << "," << t;
  }
  // GL commands: strips and fans of vertex records, ending with a zero, that
  // fill the list exactly.
  if (h[kNumGlCmds] > 0) {
    ASSERT_TRUE(inside(h[kOfsGlCmds], int64_t(h[kNumGlCmds]) * 4));
    int64_t at = 0;
    const int64_t count = h[kNumGlCmds];
    bool ended = false;
    while (at < count && !ended) {
      const int32_t n = i32(bytes, size_t(h[kOfsGlCmds] + 4 * at++));
      if (n == 0) {
        ended = true;
        break;
      }
      const int64_t vertices = n < 0 ? -int64_t(n) : n;
      ASSERT_GE(vertices, 3);
      ASSERT_LE(at + 3 * vertices, count);
      for (int64_t v = 0; v < vertices; ++v, at += 3) {
        const int32_t index = i32(bytes, size_t(h[kOfsGlCmds] + 4 * (at + 2)));
        ASSERT_TRUE(index >= 0 && index < h[kNumXyz]);
      }
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(at, count);
  }
}

TEST_F(CreatureFile, StandsOnTheFloorAtTheRightSizeFacingForward) {
  // The packed bytes use their whole range on every axis.
  for (int a = 0; a < 3; ++a) {
    int lo = 255, hi = 0;
    for (const auto& b : packed) {
      lo = std::min(lo, b[size_t(a)]);
      hi = std::max(hi, b[size_t(a)]);
    }
    EXPECT_EQ(lo, 0) << "axis " << a;
    EXPECT_EQ(hi, 255) << "axis " << a;
  }
  Vec lo = positions[0], hi = positions[0];
  for (const Vec& p : positions) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }
  // Drawn 25 units up, the feet touch the floor and the head stays under
  // the ceiling (64).
  EXPECT_NEAR(lo.y, -25.0, 1.0);
  EXPECT_NEAR(hi.y, 30.0, 2.5);
  EXPECT_GE(hi.z - lo.z, 16.0);
  EXPECT_LE(hi.z - lo.z, 24.0);
  EXPECT_LE(hi.x - lo.x, 24.0);
  // It faces +x: the nose reaches further forward than the back of the head.
  double front = -1e9, rear = 1e9;
  for (const Vec& p : positions) {
    if (p.y < 14.0) continue;
    front = std::max(front, p.x);
    rear = std::min(rear, p.x);
  }
  EXPECT_GT(front, -rear + 4.0);
}

TEST_F(CreatureFile, EveryPartIsClosedAndItsFaceNormalsPointOut) {
  // Parts: vertices joined by triangles.
  std::vector<int> parent(static_cast<size_t>(h[kNumXyz]));
  std::iota(parent.begin(), parent.end(), 0);
  auto root = [&](int v) {
    while (parent[size_t(v)] != v) v = parent[size_t(v)] = parent[size_t(parent[size_t(v)])];
    return v;
  };
  for (const Triangle& t : triangles) {
    parent[size_t(root(t.xyz[1]))] = root(t.xyz[0]);
    parent[size_t(root(t.xyz[2]))] = root(t.xyz[0]);
  }
  // Closed and consistently wound: each directed edge is met once, and its
  // reverse once, by the neighbouring triangle.
  std::map<std::pair<int, int>, int> edges;
  for (const Triangle& t : triangles)
    for (int k = 0; k < 3; ++k) ++edges[{t.xyz[k], t.xyz[(k + 1) % 3]}];
  for (const auto& e : edges) {
    EXPECT_EQ(e.second, 1) << e.first.first << "-" << e.first.second;
    const auto back = edges.find({e.first.second, e.first.first});
    EXPECT_TRUE(back != edges.end() && back->second == 1) << e.first.first << "-" << e.first.second;
  }
  // The game's face normal (p0 - p2) x (p2 - p1) encloses a positive volume
  // only when it points out of the part.
  std::map<int, double> volume;
  for (const Triangle& t : triangles) {
    const Vec p0 = positions[size_t(t.xyz[0])], p1 = positions[size_t(t.xyz[1])],
              p2 = positions[size_t(t.xyz[2])];
    volume[root(t.xyz[0])] += dot(cross(sub(p0, p2), sub(p2, p1)), p0) / 6.0;
  }
  EXPECT_GE(volume.size(), 10u);
  for (const auto& part : volume) EXPECT_GT(part.second, 0.5) << "part of vertex " << part.first;
}

TEST_F(CreatureFile, TextureCoordinatesLandOnThePaintedSkin) {
  const std::vector<uint8_t> bmp = readFileBytes(std::string(test_paths::kRun) + "/hobgoblin.bmp");
  ASSERT_GE(bmp.size(), 54u);
  ASSERT_EQ(bmp[0], 'B');
  ASSERT_EQ(bmp[1], 'M');
  const int32_t width = i32(bmp, 18), height = i32(bmp, 22);
  ASSERT_EQ(i16(bmp, 28), 24);
  ASSERT_EQ(i32(bmp, 30), 0);
  ASSERT_EQ(width, h[kSkinWidth]);
  ASSERT_EQ(height, h[kSkinHeight]);  // bottom-up rows
  const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t(3);
  const size_t pixels = size_t(i32(bmp, 10));
  ASSERT_GE(bmp.size(), pixels + rowBytes * size_t(height));
  // A texel by its texture coordinate: t counts rows from the top of the picture.
  auto texel = [&](int s, int t) {
    const size_t row = size_t(height - 1 - std::clamp(t, 0, height - 1));
    const size_t at = pixels + row * rowBytes + size_t(std::clamp(s, 0, width - 1)) * 3;
    return uint32_t(bmp[at]) | uint32_t(bmp[at + 1]) << 8 | uint32_t(bmp[at + 2]) << 16;
  };
  // The unpainted background is the picture's most common colour.
  std::map<uint32_t, int> counts;
  for (int t = 0; t < height; ++t)
    for (int s = 0; s < width; ++s) ++counts[texel(s, t)];
  const uint32_t background =
      std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
      })->first;
  int onBackground = 0;
  for (const Triangle& tri : triangles) {
    int s = 0, t = 0;
    for (int k = 0; k < 3; ++k) {
      s += texCoords[size_t(tri.st[k])].first;
      t += texCoords[size_t(tri.st[k])].second;
    }
    if (texel(s / 3, t / 3) == background) ++onBackground;
  }
  EXPECT_EQ(onBackground, 0);
}

}  // namespace
