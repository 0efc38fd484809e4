// The enemy model's display list: mesh 0 as textured triangles.
#include "model/model_list.h"

#include "image/textures.h"
#include "model/model.h"

GLuint modelList = 0;

namespace {

bool cornersInside(const Mesh& mesh, const MeshFace& face) {
  for (int k = 0; k < 3; ++k) {
    const int32_t v = face.vertexIndex[k];
    const int32_t t = face.texCoordIndex[k];
    if (v < 0 || v >= mesh.vertexCount || size_t(v) >= mesh.positions.size()) return false;
    if (!mesh.normals.empty() && size_t(v) >= mesh.normals.size()) return false;
    if (!mesh.texCoords.empty() &&
        (t < 0 || t >= mesh.texCoordCount || size_t(t) >= mesh.texCoords.size()))
      return false;
  }
  return true;
}

// Mesh 0 as plain triangles: every corner sends its own normal (the stored
// one turned back outwards), texture coordinate and position.
void sendMesh(const Mesh& mesh) {
  if (mesh.faces.empty() || mesh.positions.empty()) return;
  glBegin(GL_TRIANGLES);
  for (int32_t f = 0; f < mesh.faceCount && size_t(f) < mesh.faces.size(); ++f) {
    const MeshFace& face = mesh.faces[size_t(f)];
    if (!cornersInside(mesh, face)) continue;
    for (int k = 0; k < 3; ++k) {
      const int32_t v = face.vertexIndex[k];
      if (!mesh.normals.empty()) {
        const Vector3f& n = mesh.normals[v];
        glNormal3f(-n.x, -n.y, -n.z);
      }
      if (!mesh.texCoords.empty()) {
        const Vector2f& t = mesh.texCoords[face.texCoordIndex[k]];
        glTexCoord2f(t.x, t.y);
      }
      const Vector3f& p = mesh.positions[v];
      glVertex3f(p.x, p.y, p.z);
    }
  }
  glEnd();
}

}  // namespace

void buildModelList() {
  modelList = glGenLists(1);
  glNewList(modelList, GL_COMPILE);
  glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, skinTexture);
  if (!enemyModel.meshes.empty()) sendMesh(enemyModel.meshes[0]);
  glEnable(GL_BLEND);
  glEndList();
}
