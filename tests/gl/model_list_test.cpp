// The enemy model's display list: what it sends, and the state it leaves.
#include <gtest/gtest.h>

#include <vector>

#include "gl.h"
#include "image/textures.h"
#include "model/md2.h"
#include "model/model.h"
#include "model/model_list.h"
#include "support/game_scene.h"
#include "support/gl_context.h"
#include "support/test_platform.h"
#include "unit/md2_test_writer.h"

namespace {

// Vertices inside the view volume with identity matrices, so the feedback
// buffer sees every triangle unclipped.
md2test::Source smallModel() {
  md2test::Source src;
  src.skinwidth = 100;
  src.skinheight = 50;
  md2test::Frame frame;
  for (float& s : frame.scale) s = 0.01f;
  frame.translate[0] = -0.5f;
  frame.translate[1] = -0.5f;
  frame.translate[2] = -0.5f;
  frame.vertices = {{0, 0, 0}, {100, 0, 10}, {100, 80, 20}, {0, 80, 30}, {50, 40, 90}};
  src.frames = {frame};
  src.st = {{0, 0}, {100, 0}, {100, 50}, {0, 50}, {25, 10}};
  src.tris = {{{0, 1, 2}, {0, 1, 2}},
              {{0, 2, 3}, {4, 2, 3}},
              {{4, 1, 0}, {4, 1, 0}},
              {{3, 4, 2}, {3, 3, 1}},
              {{1, 4, 3}, {2, 0, 4}}};
  return src;
}

struct FeedbackVertex {
  float x, y, z;
  float s, t;
};

class ModelList : public scene::GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    if (HasFatalFailure()) return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  void TearDown() override {
    releaseMeshArrays(&enemyModel);
    enemyModel = Model{};
    if (modelList != 0) glDeleteLists(modelList, 1);
    modelList = 0;
    skinTexture = 0;
    GlTest::TearDown();
  }

  void loadEnemy(const md2test::Source& src) {
    const std::vector<unsigned char> bytes = md2test::write(src);
    ASSERT_TRUE(md2Reader.loadFromMemory(&enemyModel, bytes.data(), bytes.size(), "enemy",
                                         "hobgoblin.bmp"));
  }

  // Runs the list in feedback mode; one entry per polygon token, holding the
  // polygon's vertices.
  std::vector<std::vector<FeedbackVertex>> feedback() {
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(modelList);
    glFlush();  // the layer draws what it holds while feedback is on
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<std::vector<FeedbackVertex>> polygons;
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    constexpr int kVertexFloats = 3 + 4 + 4;  // window position, RGBA, STRQ
    for (GLint i = 0; i < used;) {
      const GLint token = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
      if (token != GL_POLYGON_TOKEN) {
        ADD_FAILURE() << "unexpected feedback token " << token;
        break;
      }
      const int count = static_cast<int>(buffer[static_cast<size_t>(i++)]);
      std::vector<FeedbackVertex> polygon;
      for (int k = 0; k < count; ++k, i += kVertexFloats) {
        const GLfloat* v = &buffer[static_cast<size_t>(i)];
        polygon.push_back({v[0], v[1], v[2], v[7], v[8]});
      }
      polygons.push_back(polygon);
    }
    return polygons;
  }
};

// The current normal, blending and binding the list leaves, read back from
// the driver.
class ModelListOnTheDriver : public ModelList {
 protected:
  gldesk::Path glPath() const override { return gldesk::Path::Direct; }
};

TEST_F(ModelList, SendsThreeVerticesPerFaceInFaceAndCornerOrder) {
  loadEnemy(smallModel());
  buildModelList();
  ASSERT_NE(modelList, 0u);
  const std::vector<std::vector<FeedbackVertex>> polygons = feedback();
  const Mesh& mesh = enemyModel.meshes[0];
  ASSERT_EQ(polygons.size(), static_cast<size_t>(mesh.faceCount));
  for (size_t f = 0; f < polygons.size(); ++f) {
    ASSERT_EQ(polygons[f].size(), 3u) << "face " << f;
    for (size_t k = 0; k < 3; ++k) {
      const Vector3f& p = mesh.positions[mesh.faces[f].vertexIndex[k]];
      const Vector2f& t = mesh.texCoords[mesh.faces[f].texCoordIndex[k]];
      const FeedbackVertex& got = polygons[f][k];
      EXPECT_NEAR(got.x, (p.x + 1.0f) * 320.0f, 1e-2f) << f << "/" << k;
      EXPECT_NEAR(got.y, (p.y + 1.0f) * 240.0f, 1e-2f) << f << "/" << k;
      EXPECT_NEAR(got.s, t.x, 1e-6f) << f << "/" << k;
      EXPECT_NEAR(got.t, t.y, 1e-6f) << f << "/" << k;
    }
  }
}

TEST_F(ModelListOnTheDriver, LeavesTheLastCornersNormalTurnedOutwardsAndItsTexCoord) {
  loadEnemy(smallModel());
  buildModelList();
  glCallList(modelList);
  const Mesh& mesh = enemyModel.meshes[0];
  const MeshFace& last = mesh.faces[mesh.faceCount - 1];
  const Vector3f& stored = mesh.normals[last.vertexIndex[2]];
  const Vector2f& st = mesh.texCoords[last.texCoordIndex[2]];
  GLfloat normal[3];
  GLfloat texCoord[4];
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
  EXPECT_EQ(normal[0], -stored.x);
  EXPECT_EQ(normal[1], -stored.y);
  EXPECT_EQ(normal[2], -stored.z);
  EXPECT_EQ(texCoord[0], st.x);
  EXPECT_EQ(texCoord[1], st.y);
}

TEST_F(ModelList, BlendingIsEnabledAfterwardsWhateverItWasBefore) {
  loadEnemy(smallModel());
  buildModelList();
  glDisable(GL_BLEND);
  glCallList(modelList);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  // Texturing itself is left as it was, on or off.
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  glEnable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glCallList(modelList);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(ModelListOnTheDriver, BindsTheSkinTextureFixedWhenCompiled) {
  GLuint textures[2];
  glGenTextures(2, textures);
  glBindTexture(GL_TEXTURE_2D, textures[0]);
  glBindTexture(GL_TEXTURE_2D, textures[1]);
  skinTexture = textures[0];
  loadEnemy(smallModel());
  buildModelList();
  skinTexture = textures[1];  // later changes do not reach the list
  glBindTexture(GL_TEXTURE_2D, 0);
  glCallList(modelList);
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), textures[0]);
  glDeleteTextures(2, textures);
}

TEST_F(ModelListOnTheDriver, WithoutAMeshItStillBindsTheSkinAndDrawsNothing) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  skinTexture = texture;
  buildModelList();  // enemyModel never loaded
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_BLEND);
  EXPECT_TRUE(feedback().empty());
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), texture);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  glDeleteTextures(1, &texture);
}

TEST_F(ModelList, AMissingSkinBindsTheDefaultTexture) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  skinTexture = 0;
  loadEnemy(smallModel());
  buildModelList();
  glBindTexture(GL_TEXTURE_2D, texture);
  glCallList(modelList);
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0);
  glDeleteTextures(1, &texture);
}

TEST_F(ModelList, AMeshWithoutTexCoordsSendsNone) {
  loadEnemy(smallModel());
  Mesh& mesh = enemyModel.meshes[0];
  mesh.texCoords.clear();
  buildModelList();
  glTexCoord2f(0.25f, 0.75f);
  const std::vector<std::vector<FeedbackVertex>> polygons = feedback();
  EXPECT_EQ(polygons.size(), static_cast<size_t>(mesh.faceCount));
  for (const auto& polygon : polygons) {
    ASSERT_EQ(polygon.size(), 3u);
    for (const FeedbackVertex& v : polygon) {
      EXPECT_EQ(v.s, 0.25f);
      EXPECT_EQ(v.t, 0.75f);
    }
  }
}

}  // namespace
