// The creature's model file: MD2, version 8, one frame. The file's axes are
// the game's turned about x: file (x, y, z) = game (x, -z, y).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "creature_body.h"

namespace creature {

constexpr int kMd2HeaderSize = 68;
constexpr int kMd2FrameHeaderSize = 40;

// The file bytes: header, one skin name, texture coordinates, triangles, one
// frame packed over its bounding box, and a GL command list of one
// three-vertex strip per triangle.
std::vector<uint8_t> encodeMd2(const Mesh& mesh, int skinWidth, int skinHeight,
                               const std::string& skinName, const std::string& frameName);

// The model as a reader of the file sees it: the first frame decoded into the
// game's axes, texture coordinates in texels.
struct Md2Model {
  int skinWidth = 0, skinHeight = 0;
  std::string skinName;
  std::vector<Vec3> positions;
  std::vector<TexCoord> texCoords;
  std::vector<Triangle> triangles;
};

// Reads MD2 bytes with the game's own reader (every count, offset, index and
// the frame-size limit checked). False with the reader's message in `error`
// when the game would refuse the file.
bool decodeMd2(const std::vector<uint8_t>& bytes, Md2Model& out, std::string& error);

}  // namespace creature
