// The maze's display lists: how they are compiled, what they bind, and the views they draw.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/shell.h"
#include "game/frame.h"
#include "game/state.h"
#include "image/textures.h"
#include "support/game_scene.h"
#include "support/reference_image.h"
#include "world/maze.h"

using scene::MazeScene;
using Pixels = std::vector<uint8_t>;

namespace {

bool allBlack(const Pixels& rgb) {
  for (uint8_t v : rgb) {
    if (v != 0) return false;
  }
  return true;
}

// One polygon as GL's feedback mode reports it: window x, y, depth and
// texture s, t of each vertex.
struct FeedbackVertex {
  float x, y, depth, s, t;
};
using FeedbackPolygon = std::vector<FeedbackVertex>;

// Replays the lists in feedback mode under an orthographic view in which
// window x and y are world x + 8 and world y + 8 and the depth falls as
// world z grows.
std::vector<FeedbackPolygon> feedbackPolygons() {
  std::vector<GLfloat> buffer(64 * 1024);
  glViewport(0, 0, 1296, 80);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-8, 1288, -8, 72, -1800, 8);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  for (GLuint list : mazeLists) glCallList(list);
  const GLint used = glRenderMode(GL_RENDER);
  resizeView(640, 480);

  std::vector<FeedbackPolygon> polygons;
  constexpr int kFloatsPerVertex = 3 + 4 + 4;
  for (GLint i = 0; i < used;) {
    const auto token = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
    if (token != GL_POLYGON_TOKEN) {
      ADD_FAILURE() << "unexpected feedback token " << token;
      break;
    }
    const auto count = static_cast<int>(buffer[static_cast<size_t>(i++)]);
    FeedbackPolygon polygon;
    for (int v = 0; v < count; ++v, i += kFloatsPerVertex) {
      const GLfloat* f = &buffer[static_cast<size_t>(i)];
      polygon.push_back({f[0], f[1], f[2], f[7], f[8]});
    }
    polygons.push_back(polygon);
  }
  return polygons;
}

bool sameVertex(const FeedbackVertex& a, const FeedbackVertex& b) {
  return a.x == b.x && a.y == b.y && a.depth == b.depth && a.s == b.s && a.t == b.t;
}

// The quads in the order they were sent. GL may report each quad as two
// triangles, either as a fan (a b c)(a c d) or as (a b d)(b c d).
std::vector<FeedbackPolygon> feedbackQuads() {
  const std::vector<FeedbackPolygon> polygons = feedbackPolygons();
  std::vector<FeedbackPolygon> quads;
  for (size_t i = 0; i < polygons.size(); ++i) {
    const FeedbackPolygon& p = polygons[i];
    if (p.size() == 4) {
      quads.push_back(p);
      continue;
    }
    if (p.size() != 3 || i + 1 >= polygons.size() || polygons[i + 1].size() != 3) {
      ADD_FAILURE() << "polygon " << i << " is neither a quad nor half of one";
      return {};
    }
    const FeedbackPolygon& q = polygons[++i];
    if (sameVertex(q[0], p[0]) && sameVertex(q[1], p[2])) {
      quads.push_back({p[0], p[1], p[2], q[2]});
    } else if (sameVertex(q[0], p[1]) && sameVertex(q[2], p[2])) {
      quads.push_back({p[0], p[1], q[1], p[2]});
    } else {
      ADD_FAILURE() << "triangles " << i - 1 << " and " << i << " do not form a quad";
      return {};
    }
  }
  return quads;
}

}  // namespace

// The maze's lists and bindings as the driver holds them: read back from it.
class MazeOnTheDriver : public scene::OnTheDriver<MazeScene> {};

TEST_F(MazeOnTheDriver, ListsAreConsecutiveAndCompiledWithoutDrawing) {
  // With the camera placed at the start, executing the lists while they are
  // built would draw the maze.
  standAt(1240, 1752, 0);
  placeCamera();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  buildMaze();
  EXPECT_TRUE(allBlack(present()));
  for (int i = 0; i < kPathCells; ++i) {
    EXPECT_EQ(mazeLists[i], mazeLists[0] + static_cast<GLuint>(i));
    EXPECT_TRUE(glIsList(mazeLists[i]));
  }
}

TEST_F(MazeOnTheDriver, ListsEmitTheFloorCeilingAndEveryWallAsOneQuad) {
  const std::vector<FeedbackPolygon> polygons = feedbackQuads();
  ASSERT_EQ(polygons.size(), 2u + kMazeWallCount);
  for (const FeedbackPolygon& p : polygons) ASSERT_EQ(p.size(), 4u);

  // Floor, then ceiling: corners (1280, 1792), (1280, 0), (0, 0), (0, 1792).
  for (int k = 0; k < 2; ++k) {
    const FeedbackPolygon& flat = polygons[static_cast<size_t>(k)];
    const float y = k == 0 ? 8.0f : 72.0f;
    const float xs[] = {1288, 1288, 8, 8};
    const float ss[] = {20, 20, 0, 0};
    const float ts[] = {28, 0, 0, 28};
    for (int v = 0; v < 4; ++v) {
      EXPECT_NEAR(flat[v].x, xs[v], 0.01) << "flat " << k << " vertex " << v;
      EXPECT_NEAR(flat[v].y, y, 0.01);
      EXPECT_FLOAT_EQ(flat[v].s, ss[v]);
      EXPECT_FLOAT_EQ(flat[v].t, ts[v]);
    }
    EXPECT_GT(flat[1].depth, flat[0].depth);  // depth falls as z grows
  }

  // Walls: high end top, high end bottom, low end bottom, low end top, the
  // image repeating every 64 units along the wall.
  int repeats4 = 0, repeats15 = 0, repeats1 = 0;
  for (size_t w = 2; w < polygons.size(); ++w) {
    const FeedbackPolygon& q = polygons[w];
    const float s = q[0].s;
    if (s == 4.0f) ++repeats4;
    if (s == 1.5f) ++repeats15;
    if (s == 1.0f) ++repeats1;
    const float ys[] = {72, 8, 8, 72};
    const float ss[] = {s, s, 0, 0};
    const float ts[] = {1, 0, 0, 1};
    for (int v = 0; v < 4; ++v) {
      EXPECT_NEAR(q[v].y, ys[v], 0.01) << "wall " << w - 2;
      EXPECT_FLOAT_EQ(q[v].s, ss[v]) << "wall " << w - 2;
      EXPECT_FLOAT_EQ(q[v].t, ts[v]) << "wall " << w - 2;
    }
    const bool constantZ = std::fabs(q[0].x - q[2].x) > 1;
    if (constantZ) {
      EXPECT_GT(q[0].x, q[2].x) << "wall " << w - 2;
      EXPECT_NEAR(q[0].depth, q[2].depth, 1e-4);
      EXPECT_NEAR((q[0].x - q[2].x) / 64, s, 0.01);
    } else {
      EXPECT_LT(q[0].depth, q[2].depth) << "wall " << w - 2;  // larger z first
    }
  }
  EXPECT_EQ(repeats4, 35);
  EXPECT_EQ(repeats15, 2);
  EXPECT_EQ(repeats1, 1);
}

TEST_F(MazeOnTheDriver, OnlyTheFirstAndTheDoorsListBindTextures) {
  GLuint sentinel = 0;
  glGenTextures(1, &sentinel);
  auto bindingAfter = [&](int list) {
    glBindTexture(GL_TEXTURE_2D, sentinel);
    glCallList(mazeLists[list]);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return static_cast<GLuint>(bound);
  };
  for (int list = 0; list < kPathCells; ++list) {
    const GLuint expected = list == 0 || list == kDoorCell ? wallTexture : sentinel;
    EXPECT_EQ(bindingAfter(list), expected) << "list " << list;
  }
}

TEST_F(MazeScene, TheMazeIsDrawnWithBlendingOffAndLeavesItOn) {
  // A blend function that blacks out everything shows whether blending was on.
  glEnable(GL_BLEND);
  glBlendFunc(GL_ZERO, GL_ZERO);
  standAt(1240, 1752, 90);
  drawMazeView();
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(allBlack(present()));
}

// The views through either GL path: straight to the driver and through the layer.
class MazeViews : public scene::OnBothPaths<MazeScene> {};
INSTANTIATE_TEST_SUITE_P(Gl, MazeViews, scene::bothPaths(), scene::pathName);

TEST_P(MazeViews, ViewsFromTheStartMatchTheReferences) {
  // Facing -z: the wall at z = 1536 ahead, x = 1280 on the right.
  standAt(1240, 1752, 0);
  drawMazeView();
  expectMatchesReference("maze_start_north", 300, present());

  // Facing -x: z = 1536 on the right, z = 1792 on the left, the corridor
  // open into cell 1 and, past x = 1024, to cell 2 on the right.
  standAt(1240, 1752, 90);
  drawMazeView();
  expectMatchesReference("maze_start_west", 300, present());
}

TEST_P(MazeViews, ViewThroughTheDoorCellMatchesTheReference) {
  // From the back of cell 11, up cells 11 and 12 to the door at z = 0.
  standAt(384, 480, 0);
  drawMazeView();
  expectMatchesReference("maze_door", 300, present());
}
