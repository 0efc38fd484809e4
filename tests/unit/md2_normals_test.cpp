// Smooth vertex normals: the loader's single pass over the faces against the
// plain vertex-by-face pass, and the rules both follow.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "model/md2.h"
#include "model/model.h"
#include "support/test_paths.h"
#include "support/test_platform.h"
#include "unit/md2_test_writer.h"

namespace {

// A model holding one mesh built by hand (the arrays belong to the model).
struct HandMesh {
  Model model;
  HandMesh(std::vector<Vector3f> positions, std::vector<MeshFace> faces) {
    Mesh mesh;
    mesh.vertexCount = static_cast<int32_t>(positions.size());
    mesh.faceCount = static_cast<int32_t>(faces.size());
    mesh.positions = std::move(positions);
    mesh.faces = std::move(faces);
    model.meshes.push_back(mesh);
    model.meshCount = 1;
  }
  ~HandMesh() { releaseMeshArrays(&model); }
  const Mesh& mesh() const { return model.meshes[0]; }
};

MeshFace face(int32_t a, int32_t b, int32_t c) { return {{a, b, c}, {0, 0, 0}}; }

bool sameBits(const std::vector<Vector3f>& a, const std::vector<Vector3f>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), b.size() * sizeof(Vector3f)) == 0;
}

TEST(Md2Normals, PointOppositeTheFaceNormalAtUnitLength) {
  // (p0 - p2) x (p2 - p1) of this triangle is (0, 0, -2).
  HandMesh hand({{0, 0, 0}, {2, 0, 0}, {0, 1, 0}}, {face(0, 1, 2)});
  md2Reader.computeNormals(&hand.model);
  for (int v = 0; v < 3; ++v) {
    EXPECT_EQ(hand.mesh().normals[v].x, 0.0f);
    EXPECT_EQ(hand.mesh().normals[v].y, 0.0f);
    EXPECT_EQ(hand.mesh().normals[v].z, 1.0f);
  }
}

TEST(Md2Normals, LargerFacesWeighMore) {
  // Vertex 0 is shared by a big face facing -z and a small one facing -x.
  HandMesh hand({{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {0, 0, 1}, {0, 1, 0}},
                {face(0, 1, 2), face(0, 3, 4)});
  md2Reader.computeNormals(&hand.model);
  // Face normals (0,0,-16) and (1,0,0): the sum keeps their 16 : 1 weight.
  const Vector3f n = hand.mesh().normals[0];
  EXPECT_LT(n.x, 0.0f);
  EXPECT_NEAR(n.z / -n.x, 16.0f, 1e-4f);
}

TEST(Md2Normals, AFaceNamingAVertexTwiceCountsOnce) {
  // A face with a repeated corner has a zero normal, so only the count can
  // tell: find a triangle whose normal divided by -2 and by -3 normalises to
  // different bits, then make vertex 0 the repeated corner of such a face.
  for (int i = 1; i < 200; ++i) {
    const Vector3f p1{1.0f + 0.013f * static_cast<float>(i), 0.3f, 0.1f};
    const Vector3f p2{0.2f, 1.0f + 0.007f * static_cast<float>(i), 0.7f};
    HandMesh twice({{0, 0, 0}, p1, p2}, {face(0, 0, 1), face(0, 1, 2)});
    std::vector<Vector3f> once = md2test::referenceNormals(twice.mesh());
    // The same sums with vertex 0 counted three times.
    HandMesh thrice({{0, 0, 0}, p1, p2}, {face(0, 1, 1), face(0, 2, 2), face(0, 1, 2)});
    std::vector<Vector3f> three = md2test::referenceNormals(thrice.mesh());
    if (std::memcmp(&once[0], &three[0], sizeof(Vector3f)) == 0) continue;

    md2Reader.computeNormals(&twice.model);
    EXPECT_TRUE(sameBits(twice.mesh().normals, once));
    return;
  }
  FAIL() << "no triangle tells a count of 2 from 3";
}

TEST(Md2Normals, UnnamedVerticesGetZero) {
  HandMesh hand({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}}, {face(0, 1, 2)});
  md2Reader.computeNormals(&hand.model);
  EXPECT_EQ(hand.mesh().normals[3].x, 0.0f);
  EXPECT_EQ(hand.mesh().normals[3].y, 0.0f);
  EXPECT_EQ(hand.mesh().normals[3].z, 0.0f);
}

TEST(Md2Normals, NothingHappensWithoutMeshes) {
  HandMesh hand({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {face(0, 1, 2)});
  hand.model.meshCount = 0;
  md2Reader.computeNormals(&hand.model);
  EXPECT_TRUE(hand.mesh().normals.empty());
  hand.model.meshCount = -3;
  md2Reader.computeNormals(&hand.model);
  EXPECT_TRUE(hand.mesh().normals.empty());
  hand.model.meshCount = 1;
}

TEST(Md2Normals, SinglePassMatchesVertexByFacePassOnGeneratedModels) {
  testPlatform.clear();
  for (uint32_t seed : {1u, 2u, 3u}) {
    // Few vertices and many faces: heavy sharing, repeated corners.
    const std::vector<unsigned char> bytes = md2test::write(md2test::generated(40, 900, seed));
    Model model;
    ASSERT_TRUE(md2Reader.loadFromMemory(&model, bytes.data(), bytes.size(), "gen", nullptr));
    const Mesh& mesh = model.meshes[0];
    EXPECT_TRUE(sameBits(mesh.normals, md2test::referenceNormals(mesh))) << seed;
    releaseMeshArrays(&model);
  }
  EXPECT_TRUE(testPlatform.messages.empty());
}

TEST(Md2Normals, SinglePassMatchesVertexByFacePassOnRealModels) {
  const std::string dir = std::string(test_paths::kTestdata) + "/md2/valid/";
  if (!std::ifstream(dir + "flag.md2").good()) GTEST_SKIP() << "no MD2 test files";
  for (const char* name : {"faerie.md2", "sydney.md2", "flag.md2", "dolphin.md2", "horse.md2"}) {
    Model model;
    ASSERT_TRUE(md2Reader.load(&model, (dir + name).c_str(), nullptr)) << name;
    const Mesh& mesh = model.meshes[0];
    EXPECT_TRUE(sameBits(mesh.normals, md2test::referenceNormals(mesh))) << name;
    releaseMeshArrays(&model);
  }
}

TEST(ModelStore, ReleaseFreesEachArrayOnceAndKeepsTheRecords) {
  testPlatform.clear();
  const std::vector<unsigned char> bytes = md2test::write(md2test::quad());
  Model model;
  ASSERT_TRUE(md2Reader.loadFromMemory(&model, bytes.data(), bytes.size(), "q", "skin.bmp"));
  releaseMeshArrays(&model);
  ASSERT_EQ(model.meshes.size(), 1u);
  EXPECT_EQ(model.meshCount, 1);
  EXPECT_EQ(model.materialCount, 1);
  EXPECT_EQ(model.meshes[0].faceCount, 2);
  EXPECT_TRUE(model.meshes[0].faces.empty());
  EXPECT_TRUE(model.meshes[0].normals.empty());
  EXPECT_TRUE(model.meshes[0].positions.empty());
  EXPECT_TRUE(model.meshes[0].texCoords.empty());
  releaseMeshArrays(&model);  // a second teardown finds nothing to free
  EXPECT_TRUE(model.meshes[0].positions.empty());
}

TEST(ModelStore, ReleaseStaysWithinTheList) {
  Model empty;
  releaseMeshArrays(&empty);
  EXPECT_TRUE(empty.meshes.empty());

  // A count larger than the list, or arrays never made, are no reason to crash.
  Model odd;
  odd.meshCount = 5;
  odd.meshes.push_back(Mesh{});
  releaseMeshArrays(&odd);
  EXPECT_EQ(odd.meshes.size(), 1u);
}

}  // namespace
