// Writes the creature's mesh and skin coordinates as an MD2 model file, and reads one back.
#include "creature_md2.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image.h"

namespace creature {

namespace {

constexpr int kVersion = 8;
constexpr int kSkinNameSize = 64;
constexpr int kFrameNameSize = 16;
constexpr int kMaxVertices = 2048;
constexpr int kMaxTriangles = 4096;

// File axes from game axes, and back.
Vec3 toFile(Vec3 g) { return {g.x, -g.z, g.y}; }

void putName(std::vector<uint8_t>& out, const std::string& name, size_t size) {
  for (size_t i = 0; i < size; ++i) out.push_back(i < name.size() && i + 1 < size ? uint8_t(name[i]) : 0);
}

int32_t getI32(const std::vector<uint8_t>& b, size_t at) {
  return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                 uint32_t(b[at + 3]) << 24);
}
int getI16(const std::vector<uint8_t>& b, size_t at) {
  return int(int16_t(uint16_t(b[at] | b[at + 1] << 8)));
}
float getF32(const std::vector<uint8_t>& b, size_t at) {
  const uint32_t bits = uint32_t(getI32(b, at));
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

}  // namespace

std::vector<uint8_t> encodeMd2(const Mesh& mesh, int skinWidth, int skinHeight,
                               const std::string& skinName, const std::string& frameName) {
  const int numXyz = int(mesh.positions.size());
  const int numSt = int(mesh.texCoords.size());
  const int numTris = int(mesh.triangles.size());
  const int frameSize = kMd2FrameHeaderSize + 4 * numXyz;
  const int numGlCmds = numTris * (1 + 3 * 3) + 1;
  const int ofsSkins = kMd2HeaderSize;
  const int ofsSt = ofsSkins + kSkinNameSize;
  const int ofsTris = ofsSt + 4 * numSt;
  const int ofsFrames = ofsTris + 12 * numTris;
  const int ofsGlCmds = ofsFrames + frameSize;
  const int ofsEnd = ofsGlCmds + 4 * numGlCmds;

  std::vector<uint8_t> out;
  out.reserve(size_t(ofsEnd));
  for (char c : {'I', 'D', 'P', '2'}) out.push_back(uint8_t(c));
  for (int v : {kVersion, skinWidth, skinHeight, frameSize, 1, numXyz, numSt, numTris, numGlCmds,
                1, ofsSkins, ofsSt, ofsTris, ofsFrames, ofsGlCmds, ofsEnd})
    putI32(out, v);

  putName(out, skinName, kSkinNameSize);
  for (const TexCoord& st : mesh.texCoords) {
    putI16(out, st.s);
    putI16(out, st.t);
  }
  for (const Triangle& t : mesh.triangles) {
    for (int k = 0; k < 3; ++k) putI16(out, t.xyz[k]);
    for (int k = 0; k < 3; ++k) putI16(out, t.st[k]);
  }

  // The frame: scale and translate spread the bounding box over 0..255.
  double lo[3] = {1e30, 1e30, 1e30}, hi[3] = {-1e30, -1e30, -1e30};
  for (const Vec3& p : mesh.positions) {
    const Vec3 f = toFile(p);
    const double c[3] = {f.x, f.y, f.z};
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], c[a]);
      hi[a] = std::max(hi[a], c[a]);
    }
  }
  float scale[3], translate[3];
  for (int a = 0; a < 3; ++a) {
    if (numXyz == 0) lo[a] = hi[a] = 0;
    translate[a] = float(lo[a]);
    scale[a] = hi[a] > lo[a] ? float((hi[a] - lo[a]) / 255.0) : 1.0f;
  }
  for (int a = 0; a < 3; ++a) putF32(out, scale[a]);
  for (int a = 0; a < 3; ++a) putF32(out, translate[a]);
  putName(out, frameName, kFrameNameSize);
  for (const Vec3& p : mesh.positions) {
    const Vec3 f = toFile(p);
    const double c[3] = {f.x, f.y, f.z};
    for (int a = 0; a < 3; ++a) {
      const long packed = std::lround((c[a] - double(translate[a])) / double(scale[a]));
      putU8(out, unsigned(std::clamp(packed, 0L, 255L)));
    }
    putU8(out, 0);  // light normal index: the game computes its own normals
  }

  // GL commands: every triangle as a strip of three, then the end mark.
  for (const Triangle& t : mesh.triangles) {
    putI32(out, 3);
    for (int k = 0; k < 3; ++k) {
      const TexCoord& st = mesh.texCoords[size_t(t.st[k])];
      putF32(out, float(st.s) / float(skinWidth));
      putF32(out, float(st.t) / float(skinHeight));
      putI32(out, t.xyz[k]);
    }
  }
  putI32(out, 0);
  return out;
}

bool decodeMd2(const std::vector<uint8_t>& bytes, Md2Model& out, std::string& error) {
  out = Md2Model{};
  if (bytes.size() < size_t(kMd2HeaderSize)) {
    error = "shorter than its header";
    return false;
  }
  int32_t h[17];
  for (int i = 0; i < 17; ++i) h[i] = getI32(bytes, size_t(i) * 4);
  const int32_t version = h[1], skinW = h[2], skinH = h[3], frameSize = h[4], numSkins = h[5],
                numXyz = h[6], numSt = h[7], numTris = h[8], numGlCmds = h[9], numFrames = h[10],
                ofsSkins = h[11], ofsSt = h[12], ofsTris = h[13], ofsFrames = h[14],
                ofsGlCmds = h[15], ofsEnd = h[16];
  if (std::memcmp(bytes.data(), "IDP2", 4) != 0 || version != kVersion) {
    error = "not an MD2 version 8 file";
    return false;
  }
  if (skinW <= 0 || skinH <= 0 || numSkins < 0 || numSkins > 32 || numXyz < 1 ||
      numXyz > kMaxVertices || numSt < 1 || numTris < 1 || numTris > kMaxTriangles ||
      numGlCmds < 0 || numFrames < 1 || numFrames > 512 || numSt > 65536) {
    error = "counts out of range";
    return false;
  }
  if (frameSize != kMd2FrameHeaderSize + 4 * numXyz || frameSize > kMd2MaxFrameSize) {
    error = "frame size does not match the vertex count";
    return false;
  }
  const int64_t fileSize = int64_t(bytes.size());
  auto inside = [&](int64_t ofs, int64_t size) { return ofs >= kMd2HeaderSize && size >= 0 && ofs + size <= fileSize; };
  if (ofsEnd != fileSize || !inside(ofsSkins, int64_t(numSkins) * kSkinNameSize) ||
      !inside(ofsSt, int64_t(numSt) * 4) || !inside(ofsTris, int64_t(numTris) * 12) ||
      !inside(ofsFrames, int64_t(numFrames) * frameSize) ||
      !inside(ofsGlCmds, int64_t(numGlCmds) * 4)) {
    error = "a section lies outside the file";
    return false;
  }
  out.skinWidth = skinW;
  out.skinHeight = skinH;
  if (numSkins > 0) {
    const uint8_t* name = bytes.data() + ofsSkins;
    const uint8_t* end = std::find(name, name + kSkinNameSize, uint8_t(0));
    out.skinName.assign(name, end);
  }
  for (int i = 0; i < numSt; ++i)
    out.texCoords.push_back({getI16(bytes, size_t(ofsSt + 4 * i)), getI16(bytes, size_t(ofsSt + 4 * i + 2))});
  for (int i = 0; i < numTris; ++i) {
    Triangle t;
    for (int k = 0; k < 3; ++k) {
      t.xyz[k] = getI16(bytes, size_t(ofsTris + 12 * i + 2 * k));
      t.st[k] = getI16(bytes, size_t(ofsTris + 12 * i + 6 + 2 * k));
      if (t.xyz[k] < 0 || t.xyz[k] >= numXyz || t.st[k] < 0 || t.st[k] >= numSt) {
        error = "a triangle names a missing vertex or texture coordinate";
        return false;
      }
    }
    out.triangles.push_back(t);
  }
  float scale[3], translate[3];
  for (int a = 0; a < 3; ++a) {
    scale[a] = getF32(bytes, size_t(ofsFrames + 4 * a));
    translate[a] = getF32(bytes, size_t(ofsFrames + 12 + 4 * a));
  }
  for (int i = 0; i < numXyz; ++i) {
    const size_t at = size_t(ofsFrames + kMd2FrameHeaderSize + 4 * i);
    const float f[3] = {bytes[at] * scale[0] + translate[0], bytes[at + 1] * scale[1] + translate[1],
                        bytes[at + 2] * scale[2] + translate[2]};
    out.positions.push_back({f[0], f[2], -double(f[1])});
  }
  return true;
}

}  // namespace creature
