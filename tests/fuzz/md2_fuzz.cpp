// Fuzz target for the MD2 reader: any bytes either load into a model whose
// arrays stay inside their counts, or are refused with one "Error" message.
// Links against the game's core and the recording OS stand-in of the tests.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/md2.h"
#include "model/model.h"
#include "support/test_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  testPlatform.clear();
  Model model;
  const bool loaded = md2Reader.loadFromMemory(&model, data, size, "fuzz.md2", "skin.bmp");
  if (loaded != testPlatform.messages.empty()) std::abort();
  if (loaded) {
    if (model.meshCount != 1 || model.meshes.size() != 1) std::abort();
    // Touch every element the display list would read.
    const Mesh& mesh = model.meshes[0];
    if (mesh.positions.size() != size_t(mesh.vertexCount) ||
        mesh.normals.size() != size_t(mesh.vertexCount) ||
        mesh.texCoords.size() != size_t(mesh.texCoordCount) ||
        mesh.faces.size() != size_t(mesh.faceCount))
      std::abort();
    float sink = 0.0f;
    for (int32_t f = 0; f < mesh.faceCount; ++f) {
      for (int k = 0; k < 3; ++k) {
        const int32_t v = mesh.faces[size_t(f)].vertexIndex[k];
        const int32_t t = mesh.faces[size_t(f)].texCoordIndex[k];
        if (v < 0 || v >= mesh.vertexCount || t < 0 || t >= mesh.texCoordCount) std::abort();
        sink +=
            mesh.positions[size_t(v)].x + mesh.normals[size_t(v)].y + mesh.texCoords[size_t(t)].x;
      }
    }
    volatile float keep = sink;
    (void)keep;
  } else if (model.meshCount != 0 || !model.meshes.empty() || !model.materials.empty()) {
    std::abort();
  }
  releaseMeshArrays(&model);
  return 0;
}
