// Writes the creature's mesh and skin coordinates as an MD2 model file, and reads it back
// with the game's own reader.
#include "creature_md2.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image.h"
#include "model/md2.h"
#include "reader_messages.h"

namespace creature {

namespace {

constexpr int kVersion = 8;
constexpr int kSkinNameSize = 64;
constexpr int kFrameNameSize = 16;

// File axes from game axes, and back.
Vec3 toFile(Vec3 g) { return {g.x, -g.z, g.y}; }

void putName(std::vector<uint8_t>& out, const std::string& name, size_t size) {
  for (size_t i = 0; i < size; ++i)
    out.push_back(i < name.size() && i + 1 < size ? uint8_t(name[i]) : 0);
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
  for (int v : {kVersion, skinWidth, skinHeight, frameSize, 1, numXyz, numSt, numTris, numGlCmds, 1,
                ofsSkins, ofsSt, ofsTris, ofsFrames, ofsGlCmds, ofsEnd})
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
  // The game's own reader decides whether the file is sound; its message is
  // the reason.
  Md2Reader reader;
  lastReaderMessage().clear();
  if (!reader.read(bytes.data(), bytes.size(), "tris.md2")) {
    error = lastReaderMessage();
    return false;
  }
  const Md2Header& h = reader.header();
  out.skinWidth = h.skinwidth;
  out.skinHeight = h.skinheight;
  if (!reader.skinNames().empty()) {
    const char* name = reader.skinNames()[0].name;
    out.skinName.assign(name, std::find(name, name + Md2Reader::kSkinNameBytes, '\0'));
  }
  for (const Md2Reader::TexCoord& st : reader.texCoords()) out.texCoords.push_back({st.s, st.t});
  for (const Md2Reader::Triangle& tri : reader.triangles()) {
    Triangle t;
    for (int k = 0; k < 3; ++k) {
      t.xyz[k] = tri.index_xyz[k];
      t.st[k] = tri.index_st[k];
    }
    out.triangles.push_back(t);
  }
  for (const Vector3f& p : reader.firstFrame()) out.positions.push_back({p.x, p.y, double(p.z)});
  reader.release();
  return true;
}

}  // namespace creature
