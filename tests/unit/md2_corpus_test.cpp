// The MD2 reader against outside model files: real models must load with the
// geometry of their first frame, and every damaged file must be refused with
// a message and without a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/md2.h"
#include "model/model.h"
#include "support/test_paths.h"
#include "support/test_platform.h"
#include "unit/md2_test_writer.h"

namespace {

const std::string kCorpus = std::string(test_paths::kTestdata) + "/md2";

bool corpusPresent() { return std::ifstream(kCorpus + "/valid/flag.md2").good(); }

struct Facts {
  const char* file;
  int32_t skinwidth, skinheight, numXyz, numSt, numTris;
  Vector3f vertex0, boxMin, boxMax;
  Vector2f st0;
  int32_t tri0Xyz[3], tri0St[3];
};

const Facts kValid[] = {
    {"faerie.md2",
     220,
     193,
     366,
     487,
     654,
     {0.2786f, 0.5368f, -7.8685f},
     {-16.8138f, -24.5303f, -12.0833f},
     {3.2717f, 27.4381f, 14.1306f},
     {0.645455f, 0.766839f},
     {294, 296, 295},
     {0, 1, 2}},
    {"sydney.md2",
     308,
     193,
     342,
     456,
     679,
     {0.3627f, -4.4021f, -2.6524f},
     {-7.7346f, -24.0143f, -10.1030f},
     {5.5013f, 30.9431f, 11.9887f},
     {0.259740f, 0.274611f},
     {336, 332, 333},
     {0, 1, 2}},
    {"flag.md2",
     212,
     243,
     106,
     612,
     204,
     {-0.0019f, 68.7435f, -0.9300f},
     {-1.2977f, 0.0f, -42.4300f},
     {1.2441f, 99.6000f, -0.1000f},
     {0.985849f, 0.312757f},
     {0, 8, 7},
     {0, 2, 1}},
    {"dolphin.md2",
     256,
     256,
     324,
     293,
     500,
     {-2.1647f, 325.1176f, 124.2799f},
     {-142.0f, -42.0f, -374.8182f},
     {141.0f, 353.0f, 515.1818f},
     {0.769531f, 0.894531f},
     {2, 1, 0},
     {2, 1, 0}},
    {"horse.md2",
     468,
     151,
     346,
     2070,
     690,
     {-38.2470f, 59.3578f, 1.4354f},
     {-81.7000f, 1.7000f, -11.8750f},
     {42.8000f, 84.7664f, 12.8999f},
     {0.320513f, 0.337748f},
     {10, 267, 3},
     {0, 2, 1}},
};

void expectNear(Vector3f actual, Vector3f expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class Md2Corpus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!corpusPresent()) GTEST_SKIP() << "no MD2 test files under " << kCorpus;
    testPlatform.clear();
  }
  void TearDown() override { testPlatform.clear(); }
};

TEST_F(Md2Corpus, ValidModelsLoadWithTheirFirstFrame) {
  for (const Facts& facts : kValid) {
    SCOPED_TRACE(facts.file);
    testPlatform.clear();
    Model model;
    const std::string path = kCorpus + "/valid/" + facts.file;
    ASSERT_TRUE(md2Reader.load(&model, path.c_str(), "skin.bmp"));
    EXPECT_TRUE(testPlatform.messages.empty());
    ASSERT_EQ(model.meshCount, 1);
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(model.materialCount, 1);
    const Mesh& mesh = model.meshes[0];
    EXPECT_EQ(mesh.vertexCount, facts.numXyz);
    EXPECT_EQ(mesh.texCoordCount, facts.numSt);
    EXPECT_EQ(mesh.faceCount, facts.numTris);

    expectNear(mesh.positions[0], facts.vertex0, 1e-3f);
    Vector3f lo = mesh.positions[0];
    Vector3f hi = mesh.positions[0];
    for (int32_t v = 0; v < mesh.vertexCount; ++v) {
      const Vector3f& p = mesh.positions[v];
      lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
      hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    expectNear(lo, facts.boxMin, 1e-3f);
    expectNear(hi, facts.boxMax, 1e-3f);
    EXPECT_NEAR(mesh.texCoords[0].x, facts.st0.x, 1e-6f);
    EXPECT_NEAR(mesh.texCoords[0].y, facts.st0.y, 1e-6f);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(mesh.faces[0].vertexIndex[k], facts.tri0Xyz[k]);
      EXPECT_EQ(mesh.faces[0].texCoordIndex[k], facts.tri0St[k]);
    }
    // Smooth normals are unit length wherever a real face meets the vertex.
    for (int32_t v = 0; v < mesh.vertexCount; ++v) {
      const Vector3f& n = mesh.normals[v];
      const double length = n.x * n.x + n.y * n.y + n.z * n.z;
      EXPECT_TRUE(length == 0.0 || std::abs(length - 1.0) < 1e-5) << "vertex " << v;
    }
    releaseMeshArrays(&model);
  }
}

TEST_F(Md2Corpus, ChangedIdentLoadsExactlyLikeTheOriginal) {
  Model original;
  Model changed;
  ASSERT_TRUE(md2Reader.load(&original, (kCorpus + "/valid/flag.md2").c_str(), nullptr));
  ASSERT_TRUE(
      md2Reader.load(&changed, (kCorpus + "/derived/flag.ident-changed.md2").c_str(), nullptr));
  const Mesh& a = original.meshes[0];
  const Mesh& b = changed.meshes[0];
  ASSERT_EQ(a.vertexCount, b.vertexCount);
  ASSERT_EQ(a.faceCount, b.faceCount);
  ASSERT_EQ(a.texCoordCount, b.texCoordCount);
  const size_t vertices = static_cast<size_t>(a.vertexCount);
  EXPECT_EQ(0, std::memcmp(a.positions.data(), b.positions.data(), vertices * sizeof(Vector3f)));
  EXPECT_EQ(0, std::memcmp(a.normals.data(), b.normals.data(), vertices * sizeof(Vector3f)));
  EXPECT_EQ(0, std::memcmp(a.texCoords.data(), b.texCoords.data(),
                           static_cast<size_t>(a.texCoordCount) * sizeof(Vector2f)));
  EXPECT_EQ(0, std::memcmp(a.faces.data(), b.faces.data(),
                           static_cast<size_t>(a.faceCount) * sizeof(MeshFace)));
  releaseMeshArrays(&original);
  releaseMeshArrays(&changed);
}

TEST_F(Md2Corpus, VersionEditsAndTheEmptyFileGiveTheVersionMessage) {
  for (const char* name : {"flag.version7.md2", "flag.version9.md2", "empty.md2"}) {
    SCOPED_TRACE(name);
    testPlatform.clear();
    Model model;
    const std::string path = kCorpus + "/derived/" + name;
    EXPECT_FALSE(md2Reader.load(&model, path.c_str(), "skin.bmp"));
    ASSERT_EQ(testPlatform.messages.size(), 1u);
    EXPECT_EQ(testPlatform.messages[0].text, "Invalid file format (Version not 8): " + path + "!");
    EXPECT_EQ(testPlatform.messages[0].caption, "Error");
    EXPECT_EQ(model.meshCount, 0);
  }
}

// Every MD2 line of the manifest: DECODE files load silently; REFUSE files,
// and SAFE files (damage the format leaves unchecked), are refused with one
// "Error" message naming the file, and leave the model empty.
TEST_F(Md2Corpus, ManifestLabelsAreHonoured) {
  std::ifstream manifest(std::string(test_paths::kTestdata) + "/manifest.tsv");
  ASSERT_TRUE(manifest.good());
  std::string line;
  int decoded = 0;
  int refused = 0;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    std::string file, label;
    std::getline(fields, file, '\t');
    std::getline(fields, label, '\t');
    if (file.rfind("md2/", 0) != 0 || file.size() < 4 ||
        file.compare(file.size() - 4, 4, ".md2") != 0) {
      continue;
    }
    SCOPED_TRACE(file + " " + label);
    testPlatform.clear();
    Model model;
    const std::string path = std::string(test_paths::kTestdata) + "/" + file;
    const bool loaded = md2Reader.load(&model, path.c_str(), "skin.bmp");
    if (label == "DECODE") {
      EXPECT_TRUE(loaded);
      EXPECT_TRUE(testPlatform.messages.empty());
      ++decoded;
    } else {
      EXPECT_FALSE(loaded);
      ASSERT_EQ(testPlatform.messages.size(), 1u);
      EXPECT_EQ(testPlatform.messages[0].caption, "Error");
      EXPECT_NE(testPlatform.messages[0].text.find(path + "!"), std::string::npos);
      EXPECT_EQ(model.meshCount, 0);
      EXPECT_TRUE(model.meshes.empty());
      EXPECT_TRUE(model.materials.empty());
      ++refused;
    }
    releaseMeshArrays(&model);
  }
  EXPECT_EQ(decoded, 6);  // five models and the changed ident
  EXPECT_EQ(refused, 9);  // malformed and derived files
}

TEST_F(Md2Corpus, DamagedFilesNameTheirDamage) {
  const struct {
    const char* file;
    const char* reason;
  } cases[] = {
      {"malformed/malformed_zero_numvertices.md2", "no vertices"},
      {"derived/flag.header-only.md2", "file ends early"},
      {"derived/flag.truncated-in-frame0.md2", "file ends early"},
      {"derived/flag.framesize-huge.md2", "bad frame size"},
      {"derived/flag.numtris-negative.md2", "negative count"},
      {"derived/flag.tri0-index-out-of-range.md2", "triangle index out of range"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    testPlatform.clear();
    Model model;
    const std::string path = kCorpus + "/" + c.file;
    EXPECT_FALSE(md2Reader.load(&model, path.c_str(), nullptr));
    ASSERT_EQ(testPlatform.messages.size(), 1u);
    EXPECT_EQ(testPlatform.messages[0].text,
              std::string("Corrupt model file (") + c.reason + "): " + path + "!");
  }
}

}  // namespace
