// The in-memory model store: triangle meshes and materials of a loaded model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Vector3f {
  float x, y, z;
};

struct Vector2f {
  float x, y;
};

struct MeshFace {
  int32_t vertexIndex[3];
  int32_t texCoordIndex[3];
};

// Each mesh owns its four arrays (a copy has its own); releaseMeshArrays
// empties them. An empty array is an absent one. The counts are the
// loader's and say how many entries each array holds.
struct Mesh {
  int32_t vertexCount = 0;
  int32_t faceCount = 0;
  int32_t texCoordCount = 0;
  std::vector<Vector3f> positions;
  std::vector<Vector3f> normals;
  std::vector<Vector2f> texCoords;
  std::vector<MeshFace> faces;
};

struct Material {
  std::string skinFile;
};

struct Model {
  int32_t meshCount = 0;
  int32_t materialCount = 0;
  std::vector<Material> materials;
  std::vector<Mesh> meshes;
};

// The one model the six enemies share.
extern Model enemyModel;

// Frees faces, normals, positions and texCoords of meshes 0..meshCount-1, in
// that order; a second call frees nothing.
void releaseMeshArrays(Model* model);
