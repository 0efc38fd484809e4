// Small MD2 files built in memory for the model tests and the benchmark, and
// the plain vertex-by-face normal pass the loader's single pass must match.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/model.h"

namespace md2test {

struct Frame {
  float scale[3] = {1.0f, 1.0f, 1.0f};
  float translate[3] = {0.0f, 0.0f, 0.0f};
  std::string name = "frame";
  std::vector<std::array<uint8_t, 3>> vertices;  // packed x, y, z in file axes
};

struct Triangle {
  int16_t xyz[3];
  int16_t st[3];
};

struct Source {
  int32_t ident = 0x32504449;  // "IDP2"
  int32_t version = 8;
  int32_t skinwidth = 64;
  int32_t skinheight = 32;
  std::vector<std::string> skins;
  std::vector<std::array<int16_t, 2>> st;
  std::vector<Triangle> tris;
  std::vector<Frame> frames;
};

// Header field byte offsets, for patching a written file.
enum Field : size_t {
  kIdent = 0,
  kVersion = 4,
  kSkinWidth = 8,
  kSkinHeight = 12,
  kFrameSize = 16,
  kNumSkins = 20,
  kNumXyz = 24,
  kNumSt = 28,
  kNumTris = 32,
  kNumGlcmds = 36,
  kNumFrames = 40,
  kOfsSkins = 44,
  kOfsSt = 48,
  kOfsTris = 52,
  kOfsFrames = 56,
  kOfsGlcmds = 60,
  kOfsEnd = 64
};

inline void put32(std::vector<unsigned char>& out, size_t at, int32_t value) {
  uint32_t u;
  std::memcpy(&u, &value, sizeof u);
  for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(u >> (8 * i));
}

inline int32_t get32(const std::vector<unsigned char>& in, size_t at) {
  uint32_t u = 0;
  for (size_t i = 0; i < 4; ++i) u |= static_cast<uint32_t>(in[at + i]) << (8 * i);
  int32_t value;
  std::memcpy(&value, &u, sizeof value);
  return value;
}

inline void append32(std::vector<unsigned char>& out, int32_t value) {
  out.resize(out.size() + 4);
  put32(out, out.size() - 4, value);
}

inline void append16(std::vector<unsigned char>& out, int16_t value) {
  const uint16_t u = static_cast<uint16_t>(value);
  out.push_back(static_cast<unsigned char>(u & 0xFF));
  out.push_back(static_cast<unsigned char>(u >> 8));
}

inline void appendFloat(std::vector<unsigned char>& out, float value) {
  int32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  append32(out, bits);
}

// Writes header, skins, texture coordinates, triangles and frames in that
// order, with framesize = 40 + 4 * (vertices of the first frame).
inline std::vector<unsigned char> write(const Source& src) {
  const int32_t numXyz =
      src.frames.empty() ? 0 : static_cast<int32_t>(src.frames[0].vertices.size());
  const int32_t frameSize = 40 + 4 * numXyz;
  const int32_t ofsSkins = 68;
  const int32_t ofsSt = ofsSkins + 64 * static_cast<int32_t>(src.skins.size());
  const int32_t ofsTris = ofsSt + 4 * static_cast<int32_t>(src.st.size());
  const int32_t ofsFrames = ofsTris + 12 * static_cast<int32_t>(src.tris.size());
  const int32_t ofsEnd = ofsFrames + frameSize * static_cast<int32_t>(src.frames.size());

  std::vector<unsigned char> out;
  for (int32_t v :
       {src.ident, src.version, src.skinwidth, src.skinheight, frameSize,
        static_cast<int32_t>(src.skins.size()), numXyz, static_cast<int32_t>(src.st.size()),
        static_cast<int32_t>(src.tris.size()), 0, static_cast<int32_t>(src.frames.size()), ofsSkins,
        ofsSt, ofsTris, ofsFrames, ofsEnd, ofsEnd}) {
    append32(out, v);
  }
  for (const std::string& skin : src.skins) {
    std::string padded = skin;
    padded.resize(64, '\0');
    out.insert(out.end(), padded.begin(), padded.end());
  }
  for (const auto& st : src.st) {
    append16(out, st[0]);
    append16(out, st[1]);
  }
  for (const Triangle& tri : src.tris) {
    for (int16_t i : tri.xyz) append16(out, i);
    for (int16_t i : tri.st) append16(out, i);
  }
  for (const Frame& frame : src.frames) {
    for (float f : frame.scale) appendFloat(out, f);
    for (float f : frame.translate) appendFloat(out, f);
    std::string name = frame.name;
    name.resize(16, '\0');
    out.insert(out.end(), name.begin(), name.end());
    for (size_t i = 0; i < static_cast<size_t>(numXyz); ++i) {
      const std::array<uint8_t, 3> v =
          i < frame.vertices.size() ? frame.vertices[i] : std::array<uint8_t, 3>{0, 0, 0};
      out.push_back(v[0]);
      out.push_back(v[1]);
      out.push_back(v[2]);
      out.push_back(0);  // light normal index
    }
  }
  return out;
}

// One quad as two triangles over four vertices, with a skin name.
inline Source quad() {
  Source src;
  src.skins = {"quad.pcx"};
  src.st = {{0, 0}, {64, 0}, {64, 32}, {0, 32}};
  src.tris = {{{0, 1, 2}, {0, 1, 2}}, {{0, 2, 3}, {0, 2, 3}}};
  Frame frame;
  frame.scale[0] = 0.5f;
  frame.scale[1] = 0.25f;
  frame.scale[2] = 2.0f;
  frame.translate[0] = -3.0f;
  frame.translate[1] = 5.0f;
  frame.translate[2] = 7.0f;
  frame.vertices = {{0, 0, 0}, {10, 0, 0}, {10, 20, 0}, {0, 20, 30}};
  src.frames = {frame};
  return src;
}

// A deterministic model of `faces` triangles over `vertices` vertices, with
// shared vertices, repeated corners and a few degenerate faces mixed in.
inline Source generated(int32_t vertices, int32_t faces, uint32_t seed = 12345u) {
  uint32_t state = seed;
  auto next = [&state]() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  Source src;
  src.skinwidth = 256;
  src.skinheight = 256;
  Frame frame;
  frame.scale[0] = 0.37f;
  frame.scale[1] = 0.41f;
  frame.scale[2] = 0.29f;
  frame.translate[0] = -40.0f;
  frame.translate[1] = -50.0f;
  frame.translate[2] = -10.0f;
  for (int32_t i = 0; i < vertices; ++i) {
    frame.vertices.push_back(
        {static_cast<uint8_t>(next()), static_cast<uint8_t>(next()), static_cast<uint8_t>(next())});
  }
  src.frames = {frame};
  for (int32_t i = 0; i < vertices; ++i) {
    src.st.push_back({static_cast<int16_t>(next() % 257), static_cast<int16_t>(next() % 257)});
  }
  for (int32_t f = 0; f < faces; ++f) {
    Triangle tri{};
    for (int k = 0; k < 3; ++k) {
      tri.xyz[k] = static_cast<int16_t>(next() % static_cast<uint32_t>(vertices));
      tri.st[k] = static_cast<int16_t>(next() % static_cast<uint32_t>(vertices));
    }
    if (f % 97 == 0) tri.xyz[2] = tri.xyz[0];  // a corner named twice
    src.tris.push_back(tri);
  }
  return src;
}

// The vertex-by-face normal pass, written out plainly: for each vertex, the
// normals of every face naming it (once per face), in face order, divided by
// minus their count and scaled to unit length. Unnamed vertices and zero sums
// follow the loader's own rule (zero vector, and the unscaled quotient).
inline std::vector<Vector3f> referenceNormals(const Mesh& mesh) {
  std::vector<Vector3f> faceNormals(static_cast<size_t>(mesh.faceCount));
  for (int32_t f = 0; f < mesh.faceCount; ++f) {
    const MeshFace& face = mesh.faces[f];
    const Vector3f p0 = mesh.positions[face.vertexIndex[0]];
    const Vector3f p1 = mesh.positions[face.vertexIndex[1]];
    const Vector3f p2 = mesh.positions[face.vertexIndex[2]];
    const Vector3f a{p0.x - p2.x, p0.y - p2.y, p0.z - p2.z};
    const Vector3f b{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
    faceNormals[static_cast<size_t>(f)] = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z,
                                           a.x * b.y - a.y * b.x};
  }
  std::vector<Vector3f> normals(static_cast<size_t>(mesh.vertexCount));
  for (int32_t v = 0; v < mesh.vertexCount; ++v) {
    Vector3f sum{0.0f, 0.0f, 0.0f};
    int32_t count = 0;
    for (int32_t f = 0; f < mesh.faceCount; ++f) {
      const MeshFace& face = mesh.faces[f];
      if (face.vertexIndex[0] == v || face.vertexIndex[1] == v || face.vertexIndex[2] == v) {
        const Vector3f& n = faceNormals[static_cast<size_t>(f)];
        sum = {sum.x + n.x, sum.y + n.y, sum.z + n.z};
        ++count;
      }
    }
    Vector3f& out = normals[static_cast<size_t>(v)];
    if (count == 0) {
      out = {0.0f, 0.0f, 0.0f};
      continue;
    }
    const float k = static_cast<float>(-count);
    const Vector3f q{sum.x / k, sum.y / k, sum.z / k};
    const double length =
        std::sqrt(static_cast<double>(q.x) * q.x + static_cast<double>(q.y) * q.y +
                  static_cast<double>(q.z) * q.z);
    out = length == 0.0
              ? q
              : Vector3f{static_cast<float>(q.x / length), static_cast<float>(q.y / length),
                         static_cast<float>(q.z / length)};
  }
  return normals;
}

}  // namespace md2test
