// MD2 reader: the file mapped, checked against every count and offset, its first
// frame turned into one mesh with smooth normals.
#include "model/md2.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/platform.h"

Md2Reader md2Reader;

static_assert(sizeof(Md2Header) == Md2Reader::kHeaderBytes, "seventeen 32-bit fields");

namespace {

constexpr size_t kMessageBytes = 255;

int32_t readLe32(const unsigned char* p) {
  const uint32_t u = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  int32_t value;
  std::memcpy(&value, &u, sizeof value);
  return value;
}

float readLeFloat(const unsigned char* p) {
  const int32_t bits = readLe32(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Rewrites a 16-bit value that was copied straight from the file into the
// host's order (a no-op on little-endian machines).
int16_t fromLe16(int16_t stored) {
  unsigned char b[2];
  std::memcpy(b, &stored, sizeof b);
  return static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
}

void showError(const char* text) {
  platformMessageBox(text, "Error", MessageButtons::Ok, MessageIcon::None);
}

const char* printable(const char* name) { return name != nullptr ? name : ""; }

void refuseMissing(const char* name) {
  char text[kMessageBytes];
  std::snprintf(text, sizeof text, "Unable to find the file: %s!", printable(name));
  showError(text);
}

void refuseVersion(const char* name) {
  char text[kMessageBytes];
  std::snprintf(text, sizeof text, "Invalid file format (Version not 8): %s!", printable(name));
  showError(text);
}

void refuseCorrupt(const char* reason, const char* name) {
  char text[kMessageBytes];
  std::snprintf(text, sizeof text, "Corrupt model file (%s): %s!", reason, printable(name));
  showError(text);
}

Vector3f difference(Vector3f a, Vector3f b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vector3f cross(Vector3f a, Vector3f b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The face normal, not normalised, so that larger triangles weigh more.
Vector3f faceNormal(const Vector3f* positions, const MeshFace& face) {
  const Vector3f p0 = positions[face.vertexIndex[0]];
  const Vector3f p1 = positions[face.vertexIndex[1]];
  const Vector3f p2 = positions[face.vertexIndex[2]];
  return cross(difference(p0, p2), difference(p2, p1));
}

// The summed face normals divided by minus their count, scaled to unit length
// (the length is taken in double precision). A vertex no face names, or
// whose faces are all degenerate, keeps a zero vector.
Vector3f averagedNormal(Vector3f sum, int32_t count) {
  if (count == 0) return {0.0f, 0.0f, 0.0f};
  const float k = static_cast<float>(-count);
  const Vector3f a{sum.x / k, sum.y / k, sum.z / k};
  const double length = std::sqrt(static_cast<double>(a.x) * a.x + static_cast<double>(a.y) * a.y +
                                  static_cast<double>(a.z) * a.z);
  if (length == 0.0) return a;
  return {static_cast<float>(a.x / length), static_cast<float>(a.y / length),
          static_cast<float>(a.z / length)};
}

bool faceInside(const MeshFace& face, int32_t vertexCount) {
  for (int32_t index : face.vertexIndex) {
    if (index < 0 || index >= vertexCount) return false;
  }
  return true;
}

// Whether `count` entries of `entryBytes` starting at `offset` lie inside a
// source of `size` bytes; sets `reason` when they do not.
bool sectionInside(int64_t offset, int64_t count, int64_t entryBytes, int64_t size,
                   const char** reason) {
  if (offset < 0 || offset > size) {
    *reason = "section outside the file";
    return false;
  }
  if (count * entryBytes > size - offset) {
    *reason = "file ends early";
    return false;
  }
  return true;
}

}  // namespace

bool Md2Reader::load(Model* model, const char* fileName, const char* skinFile) {
  release();
  MappedFile file;
  const MapResult mapped = mapFile(fileName, &file);
  if (mapped == MapResult::NotOpened) {
    refuseMissing(fileName);
    return false;
  }
  // Opened but not a regular file, or its bytes cannot be mapped.
  if (mapped != MapResult::Mapped) {
    refuseCorrupt("unreadable file", fileName);
    return false;
  }
  const bool loaded = loadFromMemory(model, file.data, file.size, fileName, skinFile);
  unmapFile(&file);
  return loaded;
}

bool Md2Reader::loadFromMemory(Model* model, const unsigned char* data, size_t size,
                               const char* name, const char* skinFile) {
  if (!read(data, size, name)) return false;
  buildMesh(model);
  computeNormals(model);
  if (skinFile != nullptr) {
    Material material;
    material.skinFile = skinFile;
    model->materialCount = 1;
    model->materials.push_back(material);
  }
  release();
  return true;
}

bool Md2Reader::read(const unsigned char* data, size_t size, const char* name) {
  release();
  memory_ = data;
  sourceSize_ = data != nullptr ? static_cast<int64_t>(size) : 0;
  // The header starts zeroed: a short file keeps zeros where it ends.
  unsigned char raw[kHeaderBytes] = {};
  const int64_t headerBytes = sourceSize_ < kHeaderBytes ? sourceSize_ : kHeaderBytes;
  const bool headerRead = readAt(0, raw, static_cast<size_t>(headerBytes));
  int32_t fields[kHeaderBytes / 4];
  for (int i = 0; i < kHeaderBytes / 4; ++i) fields[i] = readLe32(raw + std::ptrdiff_t{4} * i);
  std::memcpy(&header_, fields, sizeof header_);

  if (header_.version != 8) {
    release();
    refuseVersion(name);
    return false;
  }
  const char* reason = headerRead ? checkHeader() : "file ends early";
  if (reason == nullptr && !readSections()) reason = fault_;
  if (reason != nullptr) {
    release();
    refuseCorrupt(reason, name);
    return false;
  }
  return true;
}

// Everything the header promises must fit the source before a byte of the
// sections is read. Returns the reason for refusing, or null.
const char* Md2Reader::checkHeader() const {
  const Md2Header& h = header_;
  if (sourceSize_ < kHeaderBytes) return "file ends early";
  if (h.framesize < 0 || h.num_skins < 0 || h.num_xyz < 0 || h.num_st < 0 || h.num_tris < 0 ||
      h.num_frames < 0) {
    return "negative count";
  }
  if (h.num_frames < 1) return "no frames";
  if (h.num_xyz == 0) return "no vertices";
  if (h.skinwidth == 0 || h.skinheight == 0) return "zero skin size";
  if (h.framesize > kFrameBufferBytes ||
      h.framesize < kFrameHeaderBytes + 4 * static_cast<int64_t>(h.num_xyz)) {
    return "bad frame size";
  }
  const char* reason = nullptr;
  if (!sectionInside(h.ofs_skins, h.num_skins, kSkinNameBytes, sourceSize_, &reason) ||
      !sectionInside(h.ofs_st, h.num_st, 4, sourceSize_, &reason) ||
      !sectionInside(h.ofs_tris, h.num_tris, 12, sourceSize_, &reason) ||
      !sectionInside(h.ofs_frames, h.num_frames, h.framesize, sourceSize_, &reason)) {
    return reason;
  }
  return nullptr;
}

bool Md2Reader::readAt(int64_t offset, void* destination, size_t bytes) {
  if (offset < 0 || offset > sourceSize_ || static_cast<int64_t>(bytes) > sourceSize_ - offset) {
    return false;
  }
  if (bytes == 0) return true;
  if (memory_ == nullptr) return false;
  std::memcpy(destination, memory_ + offset, bytes);
  return true;
}

bool Md2Reader::readSections() {
  static_assert(
      sizeof(SkinName) == kSkinNameBytes && sizeof(TexCoord) == 4 && sizeof(Triangle) == 12,
      "sections are read straight into their records");
  const Md2Header& h = header_;
  fault_ = "file ends early";
  skins_.resize(static_cast<size_t>(h.num_skins));
  texCoords_.resize(static_cast<size_t>(h.num_st));
  triangles_.resize(static_cast<size_t>(h.num_tris));
  frames_.resize(static_cast<size_t>(h.num_frames));

  if (!readAt(h.ofs_skins, skins_.data(), skins_.size() * sizeof(SkinName)) ||
      !readAt(h.ofs_st, texCoords_.data(), texCoords_.size() * sizeof(TexCoord)) ||
      !readAt(h.ofs_tris, triangles_.data(), triangles_.size() * sizeof(Triangle)) ||
      !readAt(h.ofs_frames, frameBuffer_, static_cast<size_t>(h.framesize))) {
    return false;
  }

  for (TexCoord& st : texCoords_) {
    st.s = fromLe16(st.s);
    st.t = fromLe16(st.t);
  }
  for (Triangle& tri : triangles_) {
    for (int k = 0; k < 3; ++k) {
      tri.index_xyz[k] = fromLe16(tri.index_xyz[k]);
      tri.index_st[k] = fromLe16(tri.index_st[k]);
      if (tri.index_xyz[k] < 0 || tri.index_xyz[k] >= h.num_xyz || tri.index_st[k] < 0 ||
          tri.index_st[k] >= h.num_st) {
        fault_ = "triangle index out of range";
        return false;
      }
    }
  }

  decodeFirstFrame();
  fault_ = nullptr;
  return true;
}

// Packed vertices become positions in the game's axes: the file's z is up
// (our y) and the file's y points along our -z.
void Md2Reader::decodeFirstFrame() {
  const unsigned char* frame = frameBuffer_;
  const float scale[3] = {readLeFloat(frame), readLeFloat(frame + 4), readLeFloat(frame + 8)};
  const float translate[3] = {readLeFloat(frame + 12), readLeFloat(frame + 16),
                              readLeFloat(frame + 20)};
  const size_t count = static_cast<size_t>(header_.num_xyz);
  std::vector<Vector3f>& positions = frames_[0].positions;
  positions.resize(count);
  const unsigned char* packed = frame + kFrameHeaderBytes;
  for (size_t i = 0; i < count; ++i, packed += 4) {
    positions[i].x = static_cast<float>(packed[0]) * scale[0] + translate[0];
    positions[i].y = static_cast<float>(packed[2]) * scale[2] + translate[2];
    positions[i].z = -(static_cast<float>(packed[1]) * scale[1] + translate[1]);
  }
}

void Md2Reader::buildMesh(Model* model) {
  if (frames_.empty() || frames_[0].positions.empty()) return;  // nothing was read
  model->meshCount = 1;

  Mesh mesh;
  mesh.vertexCount = header_.num_xyz;
  mesh.faceCount = header_.num_tris;
  mesh.texCoordCount = header_.num_st;
  // The first frame's positions move into the mesh.
  mesh.positions.swap(frames_[0].positions);
  mesh.texCoords.resize(static_cast<size_t>(mesh.texCoordCount));
  mesh.faces.resize(static_cast<size_t>(mesh.faceCount));

  // The skin's rows run top to bottom in texel space, so t is flipped.
  const float width = static_cast<float>(header_.skinwidth);
  const float height = static_cast<float>(header_.skinheight);
  for (int32_t i = 0; i < mesh.texCoordCount; ++i) {
    const TexCoord& st = texCoords_[static_cast<size_t>(i)];
    mesh.texCoords[i].x = static_cast<float>(st.s) / width;
    mesh.texCoords[i].y = 1.0f - static_cast<float>(st.t) / height;
  }
  for (int32_t i = 0; i < mesh.faceCount; ++i) {
    const Triangle& tri = triangles_[static_cast<size_t>(i)];
    for (int k = 0; k < 3; ++k) {
      mesh.faces[i].vertexIndex[k] = tri.index_xyz[k];
      mesh.faces[i].texCoordIndex[k] = tri.index_st[k];
    }
  }
  model->meshes.push_back(std::move(mesh));
}

// Each vertex gets the sum of the normals of the faces that name it, added in
// face order, each face once however many of its corners name the vertex;
// the stored normal is that sum divided by minus the count, at unit length.
// One pass over the faces gives the same sums as comparing every vertex with
// every face. Faces naming a vertex outside the mesh are skipped.
void Md2Reader::computeNormals(Model* model) {
  const int32_t meshCount = model->meshCount;
  for (int32_t m = 0; m < meshCount && static_cast<size_t>(m) < model->meshes.size(); ++m) {
    Mesh& mesh = model->meshes[static_cast<size_t>(m)];
    std::vector<Vector3f>().swap(mesh.normals);
    if (mesh.vertexCount < 0 || mesh.positions.size() < static_cast<size_t>(mesh.vertexCount))
      continue;
    const size_t vertexCount = static_cast<size_t>(mesh.vertexCount);
    std::vector<Vector3f> sums(vertexCount, Vector3f{0.0f, 0.0f, 0.0f});
    std::vector<int32_t> counts(vertexCount, 0);

    for (int32_t f = 0; f < mesh.faceCount && static_cast<size_t>(f) < mesh.faces.size(); ++f) {
      const MeshFace& face = mesh.faces[static_cast<size_t>(f)];
      if (!faceInside(face, mesh.vertexCount)) continue;
      const Vector3f n = faceNormal(mesh.positions.data(), face);
      const int32_t a = face.vertexIndex[0];
      const int32_t b = face.vertexIndex[1];
      const int32_t c = face.vertexIndex[2];
      const int32_t named[3] = {a, b != a ? b : -1, (c != a && c != b) ? c : -1};
      for (int32_t v : named) {
        if (v < 0) continue;
        Vector3f& s = sums[v];
        s = {s.x + n.x, s.y + n.y, s.z + n.z};
        ++counts[static_cast<size_t>(v)];
      }
    }
    for (size_t v = 0; v < vertexCount; ++v) sums[v] = averagedNormal(sums[v], counts[v]);
    mesh.normals.swap(sums);
  }
}

void Md2Reader::release() {
  memory_ = nullptr;
  sourceSize_ = 0;
  std::vector<SkinName>().swap(skins_);
  std::vector<TexCoord>().swap(texCoords_);
  std::vector<Triangle>().swap(triangles_);
  std::vector<Md2Frame>().swap(frames_);
}
