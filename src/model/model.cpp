// The model store: the enemies' one model and the release of its arrays.
#include "model/model.h"

#include <cstddef>

Model enemyModel;

void releaseMeshArrays(Model* model) {
  const size_t count = model->meshCount > 0 ? static_cast<size_t>(model->meshCount) : 0;
  for (size_t i = 0; i < count && i < model->meshes.size(); ++i) {
    Mesh& mesh = model->meshes[i];
    std::vector<MeshFace>().swap(mesh.faces);
    std::vector<Vector3f>().swap(mesh.normals);
    std::vector<Vector3f>().swap(mesh.positions);
    std::vector<Vector2f>().swap(mesh.texCoords);
  }
}
