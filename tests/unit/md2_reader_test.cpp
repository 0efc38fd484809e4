// The MD2 reader on small files built in memory: decoding, messages, and the
// refusal of files whose header or sections do not fit together.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/md2.h"
#include "model/model.h"
#include "platform/platform.h"
#include "support/test_paths.h"
#include "support/test_platform.h"
#include "unit/md2_test_writer.h"

namespace {

using md2test::put32;

class Md2ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { testPlatform.clear(); }
  void TearDown() override {
    releaseMeshArrays(&model);
    testPlatform.clear();
  }

  bool loadBytes(const std::vector<unsigned char>& bytes, const char* skin = "skin.bmp",
                 const char* name = "test.md2") {
    return md2Reader.loadFromMemory(&model, bytes.data(), bytes.size(), name, skin);
  }

  void expectUntouched() const {
    EXPECT_EQ(model.meshCount, 0);
    EXPECT_EQ(model.materialCount, 0);
    EXPECT_TRUE(model.meshes.empty());
    EXPECT_TRUE(model.materials.empty());
  }

  void expectOneError(const std::string& text) const {
    ASSERT_EQ(testPlatform.messages.size(), 1u);
    EXPECT_EQ(testPlatform.messages[0].text, text);
    EXPECT_EQ(testPlatform.messages[0].caption, "Error");
    EXPECT_EQ(testPlatform.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(testPlatform.messages[0].icon, MessageIcon::None);
  }

  Model model;
};

TEST_F(Md2ReaderTest, MissingFileGivesTheFindMessage) {
  EXPECT_FALSE(md2Reader.load(&model, "no-such-model.md2", "skin.bmp"));
  expectOneError("Unable to find the file: no-such-model.md2!");
  expectUntouched();
}

TEST_F(Md2ReaderTest, VersionsOtherThanEightAreRefusedWithTheVersionMessage) {
  for (int32_t version : {7, 9, 0, -8}) {
    testPlatform.clear();
    md2test::Source src = md2test::quad();
    src.version = version;
    EXPECT_FALSE(loadBytes(md2test::write(src))) << version;
    expectOneError("Invalid file format (Version not 8): test.md2!");
    expectUntouched();
  }
}

TEST_F(Md2ReaderTest, EmptyInputGivesTheVersionMessage) {
  EXPECT_FALSE(md2Reader.loadFromMemory(&model, nullptr, 0, "empty.md2", "skin.bmp"));
  expectOneError("Invalid file format (Version not 8): empty.md2!");
  expectUntouched();
}

TEST_F(Md2ReaderTest, AnyIdentIsAcceptedWhenTheVersionIsEight) {
  md2test::Source src = md2test::quad();
  src.ident = 0x58585858;
  EXPECT_TRUE(loadBytes(md2test::write(src)));
  EXPECT_TRUE(testPlatform.messages.empty());
}

TEST_F(Md2ReaderTest, LongNamesAreCutToTheMessageBuffer) {
  const std::string name(400, 'm');
  EXPECT_FALSE(md2Reader.load(&model, name.c_str(), nullptr));
  ASSERT_EQ(testPlatform.messages.size(), 1u);
  const std::string& text = testPlatform.messages[0].text;
  EXPECT_EQ(text.size(), 254u);
  EXPECT_EQ(text, ("Unable to find the file: " + name).substr(0, 254));

  testPlatform.clear();
  std::vector<unsigned char> bytes = md2test::write(md2test::quad());
  put32(bytes, md2test::kNumFrames, 0);
  EXPECT_FALSE(loadBytes(bytes, nullptr, name.c_str()));
  ASSERT_EQ(testPlatform.messages.size(), 1u);
  EXPECT_EQ(testPlatform.messages[0].text.size(), 254u);
  EXPECT_EQ(testPlatform.messages[0].text.rfind("Corrupt model file (", 0), 0u);
}

TEST_F(Md2ReaderTest, FirstFrameBecomesOneMeshInGameAxes) {
  md2test::Source src = md2test::quad();
  md2test::Frame second = src.frames[0];
  second.translate[0] = 100.0f;
  second.vertices = {{9, 9, 9}, {8, 8, 8}, {7, 7, 7}, {6, 6, 6}};
  src.frames.push_back(second);
  ASSERT_TRUE(loadBytes(md2test::write(src)));
  EXPECT_TRUE(testPlatform.messages.empty());

  ASSERT_EQ(model.meshCount, 1);
  ASSERT_EQ(model.meshes.size(), 1u);
  const Mesh& mesh = model.meshes[0];
  EXPECT_EQ(mesh.vertexCount, 4);
  EXPECT_EQ(mesh.faceCount, 2);
  EXPECT_EQ(mesh.texCoordCount, 4);
  ASSERT_FALSE(mesh.positions.empty());
  ASSERT_FALSE(mesh.normals.empty());
  ASSERT_FALSE(mesh.texCoords.empty());
  ASSERT_FALSE(mesh.faces.empty());

  // (0,0,0) is the translation itself, with the file's z up and y turned to -z.
  EXPECT_EQ(mesh.positions[0].x, -3.0f);
  EXPECT_EQ(mesh.positions[0].y, 7.0f);
  EXPECT_EQ(mesh.positions[0].z, -5.0f);
  // (0,20,30): x = 0*0.5-3, y = 30*2+7, z = -(20*0.25+5).
  EXPECT_EQ(mesh.positions[3].x, -3.0f);
  EXPECT_EQ(mesh.positions[3].y, 67.0f);
  EXPECT_EQ(mesh.positions[3].z, -10.0f);
  EXPECT_EQ(mesh.positions[1].x, 2.0f);

  // Corners keep the file's order.
  EXPECT_EQ(mesh.faces[1].vertexIndex[0], 0);
  EXPECT_EQ(mesh.faces[1].vertexIndex[1], 2);
  EXPECT_EQ(mesh.faces[1].vertexIndex[2], 3);
  EXPECT_EQ(mesh.faces[1].texCoordIndex[2], 3);
}

TEST_F(Md2ReaderTest, TextureCoordinatesAreScaledAndFlipped) {
  md2test::Source src = md2test::quad();  // skin 64 x 32
  src.st = {{0, 0}, {64, 32}, {16, 8}, {-32, 48}};
  ASSERT_TRUE(loadBytes(md2test::write(src)));
  const std::vector<Vector2f>& t = model.meshes[0].texCoords;
  EXPECT_EQ(t[0].x, 0.0f);
  EXPECT_EQ(t[0].y, 1.0f);  // t = 0 is the top row
  EXPECT_EQ(t[1].x, 1.0f);  // s = skinwidth
  EXPECT_EQ(t[1].y, 0.0f);  // t = skinheight
  EXPECT_EQ(t[2].x, 0.25f);
  EXPECT_EQ(t[2].y, 0.75f);
  EXPECT_EQ(t[3].x, -0.5f);  // signed values stay signed
  EXPECT_EQ(t[3].y, -0.5f);
}

TEST_F(Md2ReaderTest, SkinNameBecomesTheOneMaterial) {
  ASSERT_TRUE(loadBytes(md2test::write(md2test::quad()), "hobgoblin.bmp"));
  EXPECT_EQ(model.materialCount, 1);
  ASSERT_EQ(model.materials.size(), 1u);
  EXPECT_EQ(model.materials[0].skinFile, "hobgoblin.bmp");
}

TEST_F(Md2ReaderTest, NullSkinLeavesTheMaterialsEmpty) {
  ASSERT_TRUE(loadBytes(md2test::write(md2test::quad()), nullptr));
  EXPECT_EQ(model.materialCount, 0);
  EXPECT_TRUE(model.materials.empty());
  EXPECT_EQ(model.meshCount, 1);
}

TEST_F(Md2ReaderTest, LargestFrameTheBufferHoldsIsAccepted) {
  // 2070 vertices make a frame that fills the buffer exactly.
  md2test::Source src = md2test::generated(2070, 300);
  const std::vector<unsigned char> bytes = md2test::write(src);
  ASSERT_EQ(md2test::get32(bytes, md2test::kFrameSize), Md2Reader::kFrameBufferBytes);
  EXPECT_TRUE(loadBytes(bytes));
  EXPECT_TRUE(testPlatform.messages.empty());
}

TEST_F(Md2ReaderTest, FileOnDiskLoadsLikeMemoryAndIsClosedOnRefusal) {
  const std::string path = std::string(test_paths::kBinary) + "/md2_reader_test.md2";
  std::vector<unsigned char> bytes = md2test::write(md2test::quad());
  put32(bytes, md2test::kNumTris, 1000);  // runs past the end
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
  EXPECT_FALSE(md2Reader.load(&model, path.c_str(), nullptr));
  expectOneError("Corrupt model file (file ends early): " + path + "!");
  expectUntouched();
  // Removing an open file fails on Windows, so this also shows it was closed.
  EXPECT_EQ(std::remove(path.c_str()), 0);

  bytes = md2test::write(md2test::quad());
  out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
  Model fromMemory;
  ASSERT_TRUE(md2Reader.loadFromMemory(&fromMemory, bytes.data(), bytes.size(), "m", nullptr));
  ASSERT_TRUE(md2Reader.load(&model, path.c_str(), nullptr));
  EXPECT_EQ(std::remove(path.c_str()), 0);
  const Mesh& a = model.meshes[0];
  const Mesh& b = fromMemory.meshes[0];
  EXPECT_EQ(0, std::memcmp(a.positions.data(), b.positions.data(), 4 * sizeof(Vector3f)));
  EXPECT_EQ(0, std::memcmp(a.normals.data(), b.normals.data(), 4 * sizeof(Vector3f)));
  EXPECT_EQ(0, std::memcmp(a.texCoords.data(), b.texCoords.data(), 4 * sizeof(Vector2f)));
  EXPECT_EQ(0, std::memcmp(a.faces.data(), b.faces.data(), 2 * sizeof(MeshFace)));
  releaseMeshArrays(&fromMemory);
}

// Each hostile edit of a good file, and the reason the refusal names.
struct Corruption {
  const char* what;
  std::function<void(std::vector<unsigned char>&)> edit;
  const char* reason;
};

TEST_F(Md2ReaderTest, HostileHeadersAndSectionsAreRefusedCleanly) {
  using namespace md2test;
  const std::vector<Corruption> cases = {
      {"header cut short", [](auto& b) { b.resize(40); }, "file ends early"},
      {"cut inside the frame", [](auto& b) { b.resize(b.size() - 1); }, "file ends early"},
      {"header only", [](auto& b) { b.resize(68); }, "file ends early"},
      {"negative framesize", [](auto& b) { put32(b, kFrameSize, -4); }, "negative count"},
      {"negative skins", [](auto& b) { put32(b, kNumSkins, -1); }, "negative count"},
      {"negative vertices", [](auto& b) { put32(b, kNumXyz, -1); }, "negative count"},
      {"negative st", [](auto& b) { put32(b, kNumSt, -2); }, "negative count"},
      {"negative tris", [](auto& b) { put32(b, kNumTris, -1); }, "negative count"},
      {"negative frames", [](auto& b) { put32(b, kNumFrames, INT32_MIN); }, "negative count"},
      {"no frames", [](auto& b) { put32(b, kNumFrames, 0); }, "no frames"},
      {"no vertices", [](auto& b) { put32(b, kNumXyz, 0); }, "no vertices"},
      {"zero skin width", [](auto& b) { put32(b, kSkinWidth, 0); }, "zero skin size"},
      {"zero skin height", [](auto& b) { put32(b, kSkinHeight, 0); }, "zero skin size"},
      {"frame over the buffer", [](auto& b) { put32(b, kFrameSize, 8324); }, "bad frame size"},
      {"huge frame", [](auto& b) { put32(b, kFrameSize, 100000); }, "bad frame size"},
      {"frame under its vertices", [](auto& b) { put32(b, kFrameSize, 55); }, "bad frame size"},
      {"vertices over the frame", [](auto& b) { put32(b, kNumXyz, 5); }, "bad frame size"},
      {"vertex count overflowing", [](auto& b) { put32(b, kNumXyz, 0x40000000); },
       "bad frame size"},
      {"negative skin offset", [](auto& b) { put32(b, kOfsSkins, -64); },
       "section outside the file"},
      {"st offset past the end", [](auto& b) { put32(b, kOfsSt, 1 << 30); },
       "section outside the file"},
      {"tris offset past the end", [](auto& b) { put32(b, kOfsTris, INT32_MAX); },
       "section outside the file"},
      {"negative frame offset", [](auto& b) { put32(b, kOfsFrames, -1); },
       "section outside the file"},
      {"too many skins", [](auto& b) { put32(b, kNumSkins, 1 << 24); }, "file ends early"},
      {"too many st", [](auto& b) { put32(b, kNumSt, INT32_MAX); }, "file ends early"},
      {"too many tris", [](auto& b) { put32(b, kNumTris, 7); }, "file ends early"},
      {"too many frames", [](auto& b) { put32(b, kNumFrames, 2); }, "file ends early"},
      {"frames overflowing", [](auto& b) { put32(b, kNumFrames, INT32_MAX); }, "file ends early"},
      {"vertex index past the end", [](auto& b) { b[get32(b, kOfsTris) + 12 + 4] = 4; },
       "triangle index out of range"},
      {"negative vertex index",
       [](auto& b) {
         b[get32(b, kOfsTris)] = 0xFF;
         b[get32(b, kOfsTris) + 1] = 0xFF;
       },
       "triangle index out of range"},
      {"st index past the end", [](auto& b) { b[get32(b, kOfsTris) + 10] = 4; },
       "triangle index out of range"},
      {"negative st index", [](auto& b) { b[get32(b, kOfsTris) + 7] = 0x80; },
       "triangle index out of range"},
      {"triangles but no st", [](auto& b) { put32(b, kNumSt, 0); }, "triangle index out of range"},
  };
  const std::vector<unsigned char> good = write(quad());
  for (const Corruption& c : cases) {
    SCOPED_TRACE(c.what);
    testPlatform.clear();
    std::vector<unsigned char> bytes = good;
    c.edit(bytes);
    EXPECT_FALSE(loadBytes(bytes));
    expectOneError(std::string("Corrupt model file (") + c.reason + "): test.md2!");
    expectUntouched();
  }
}

TEST_F(Md2ReaderTest, ReaderRecoversAfterARefusal) {
  std::vector<unsigned char> bad = md2test::write(md2test::quad());
  put32(bad, md2test::kNumTris, 1000);
  EXPECT_FALSE(loadBytes(bad));
  testPlatform.clear();
  EXPECT_TRUE(loadBytes(md2test::write(md2test::quad())));
  EXPECT_TRUE(testPlatform.messages.empty());
  EXPECT_EQ(model.meshes.size(), 1u);
}

TEST_F(Md2ReaderTest, TrianglesAndTexCoordsMayBeAbsent) {
  md2test::Source src = md2test::quad();
  src.st.clear();
  src.tris.clear();
  ASSERT_TRUE(loadBytes(md2test::write(src)));
  const Mesh& mesh = model.meshes[0];
  EXPECT_EQ(mesh.faceCount, 0);
  EXPECT_EQ(mesh.texCoordCount, 0);
  // Vertices no face names get a zero normal rather than a 0/0.
  for (int v = 0; v < mesh.vertexCount; ++v) {
    EXPECT_EQ(mesh.normals[v].x, 0.0f);
    EXPECT_EQ(mesh.normals[v].y, 0.0f);
    EXPECT_EQ(mesh.normals[v].z, 0.0f);
  }
}

}  // namespace
