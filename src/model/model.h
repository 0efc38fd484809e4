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

// A plain record: copying it shares the four arrays. The copy inside a
// Model's `meshes` list owns them; releaseMeshArrays frees them.
struct Mesh {
  int32_t vertexCount = 0;
  int32_t faceCount = 0;
  int32_t texCoordCount = 0;
  Vector3f* positions = nullptr;
  Vector3f* normals = nullptr;
  Vector2f* texCoords = nullptr;
  MeshFace* faces = nullptr;
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

// Frees faces, normals, positions and texCoords of meshes 0..meshCount-1,
// each only if present, and forgets them so a second call frees nothing.
void releaseMeshArrays(Model* model);
