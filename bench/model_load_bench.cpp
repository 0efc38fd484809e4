// Model load times: the largest outside model, and a generated model of
// 100,000 faces (from a file and from memory), with the single-pass normal
// computation beside the vertex-by-face pass it replaces.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "model/md2.h"
#include "model/model.h"
#include "support/test_paths.h"
#include "support/test_platform.h"
#include "unit/md2_test_writer.h"

namespace {

constexpr int32_t kBigVertices = 2070;  // the most one 8320-byte frame holds
constexpr int32_t kBigFaces = 100000;

const std::vector<unsigned char>& bigModelBytes() {
  static const std::vector<unsigned char> bytes =
      md2test::write(md2test::generated(kBigVertices, kBigFaces));
  return bytes;
}

const std::string& bigModelFile() {
  static const std::string path = [] {
    const std::string p = std::string(test_paths::kBinary) + "/bench-100k-faces.md2";
    const std::vector<unsigned char>& bytes = bigModelBytes();
    FILE* out = std::fopen(p.c_str(), "wb");
    if (out != nullptr) {
      std::fwrite(bytes.data(), 1, bytes.size(), out);
      std::fclose(out);
    }
    return p;
  }();
  return path;
}

void loadFile(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    Model model;
    if (!md2Reader.load(&model, path.c_str(), "skin.bmp")) {
      state.SkipWithError(("cannot load " + path).c_str());
      break;
    }
    benchmark::DoNotOptimize(model.meshes[0].normals);
    releaseMeshArrays(&model);
  }
  testPlatform.clear();
}

void BM_LoadLargestCorpusModel(benchmark::State& state) {
  const std::string path = std::string(test_paths::kTestdata) + "/md2/valid/faerie.md2";
  if (!std::ifstream(path).good()) {
    state.SkipWithError("no outside model files");
    return;
  }
  loadFile(state, path);
  state.counters["faces"] = 654;
}
BENCHMARK(BM_LoadLargestCorpusModel)->Unit(benchmark::kMicrosecond);

void BM_LoadGenerated100kFacesFile(benchmark::State& state) {
  loadFile(state, bigModelFile());
  state.counters["faces"] = kBigFaces;
}
BENCHMARK(BM_LoadGenerated100kFacesFile)->Unit(benchmark::kMillisecond);

void BM_LoadGenerated100kFacesMemory(benchmark::State& state) {
  const std::vector<unsigned char>& bytes = bigModelBytes();
  for (auto _ : state) {
    Model model;
    md2Reader.loadFromMemory(&model, bytes.data(), bytes.size(), "bench", "skin.bmp");
    benchmark::DoNotOptimize(model.meshes[0].normals);
    releaseMeshArrays(&model);
  }
  state.counters["faces"] = kBigFaces;
}
BENCHMARK(BM_LoadGenerated100kFacesMemory)->Unit(benchmark::kMillisecond);

// The normal passes alone, on the loaded 100,000-face mesh.
struct BigMesh {
  Model model;
  BigMesh() {
    const std::vector<unsigned char>& bytes = bigModelBytes();
    md2Reader.loadFromMemory(&model, bytes.data(), bytes.size(), "bench", nullptr);
  }
  ~BigMesh() { releaseMeshArrays(&model); }
};

void BM_NormalsSinglePass100k(benchmark::State& state) {
  BigMesh big;
  for (auto _ : state) {
    md2Reader.computeNormals(&big.model);
    benchmark::DoNotOptimize(big.model.meshes[0].normals);
  }
}
BENCHMARK(BM_NormalsSinglePass100k)->Unit(benchmark::kMillisecond);

void BM_NormalsVertexByFace100k(benchmark::State& state) {
  BigMesh big;
  for (auto _ : state) {
    std::vector<Vector3f> normals = md2test::referenceNormals(big.model.meshes[0]);
    benchmark::DoNotOptimize(normals.data());
  }
}
BENCHMARK(BM_NormalsVertexByFace100k)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
