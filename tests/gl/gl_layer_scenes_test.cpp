// The game's GL 1.1 layer over desktop GL, through each of its backends (GL
// 1.1's client arrays; the browser's shader program where the system's GL has
// the GL 2 entry points it draws with): each scene is drawn once by GL's own
// display lists, immediate mode and matrices and once through the layer's
// batches, and the pictures must match.
#include <cmath>
#include <cstdint>
#include <vector>

#include "gl_layer_fixture.h"

namespace gllayer {
namespace {
// Glyph-like lists: a textured quad and a move to the right, called through a
// list base with the colour set outside the lists, as the text output does.
void glyphs(const Gl& gl) {
  const GLuint lists = gl.GenLists(3);
  for (GLuint i = 0; i < 3; ++i) {
    const float s = 0.25f * static_cast<float>(i);
    gl.NewList(lists + i, GL_COMPILE);
    gl.Begin(GL_QUADS);
    gl.TexCoord2f(s, 0);
    gl.Vertex2i(0, 0);
    gl.TexCoord2f(s + 0.5f, 0);
    gl.Vertex2i(60, 0);
    gl.TexCoord2f(s + 0.5f, 1);
    gl.Vertex2i(60, 90);
    gl.TexCoord2f(s, 1);
    gl.Vertex2i(0, 90);
    gl.End();
    gl.Translated(70, 0, 0);
    gl.EndList();
  }
  const GLubyte text[] = {'a', 'c', 'b', 'a'};
  gl.Enable(GL_BLEND);
  gl.BlendFunc(GL_SRC_ALPHA, GL_ONE);
  gl.Enable(GL_TEXTURE_2D);
  gl.BindTexture(GL_TEXTURE_2D, texture);
  gl.ListBase(lists - 'a');
  gl.Color4f(1, 0.5f, 0.25f, 1);
  gl.Translated(20, 40, 0);
  gl.CallLists(4, GL_UNSIGNED_BYTE, text);
  gl.LoadIdentity();
  gl.Color4f(0.25f, 1, 1, 0.5f);
  gl.Translated(20, 190, 0);
  gl.CallLists(4, GL_UNSIGNED_BYTE, text);
  gl.DeleteLists(lists, 3);
}

// One colour, then the vertices: every vertex takes it, and the next
// primitive too; a colour between two vertices holds from there on.
void carriedColour(const Gl& gl) {
  gl.Color4f(0, 0.75f, 0.5f, 1);
  quad(gl, 50, 50, 250, 300);
  gl.Begin(GL_TRIANGLES);
  const int tri[6][2] = {{350, 50}, {600, 80}, {450, 300}, {350, 320}, {620, 330}, {500, 470}};
  for (int i = 0; i < 6; ++i) {
    if (i == 4) gl.Color4f(1, 0, 1, 0.5f);
    gl.Vertex2i(tri[i][0], tri[i][1]);
  }
  gl.End();
}

// A state change between two primitives: texture, blending and its function,
// and the depth test with its function, each between overlapping quads.
void stateBetweenPrimitives(const Gl& gl) {
  gl.BindTexture(GL_TEXTURE_2D, texture);
  gl.Enable(GL_DEPTH_TEST);
  gl.DepthFunc(GL_LEQUAL);
  gl.Color4f(0.9f, 0.9f, 0.9f, 0.6f);
  quad(gl, 40, 40, 300, 300, 50);
  gl.Enable(GL_TEXTURE_2D);
  quad(gl, 100, 100, 300, 300, -50);
  gl.Enable(GL_BLEND);
  gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  quad(gl, 160, 160, 300, 300, 20);  // behind the second where they overlap
  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_TEXTURE_2D);
  gl.Color4f(1, 0.2f, 0, 0.5f);
  quad(gl, 220, 20, 200, 200, 90);
  gl.DepthFunc(GL_LESS);
}

// A matrix change inside a list, and a list called inside a list, with
// PushMatrix and PopMatrix around a part of it.
void nestedLists(const Gl& gl) {
  const GLuint lists = gl.GenLists(2);
  gl.NewList(lists, GL_COMPILE);
  quad(gl, 0, 0, 60, 40);
  gl.Translated(80, 10, 0);
  gl.Rotated(20, 0, 0, 1);
  gl.EndList();
  gl.NewList(lists + 1, GL_COMPILE);
  gl.Color4f(0.2f, 1, 0.6f, 1);
  gl.CallList(lists);
  gl.PushMatrix();
  gl.Translated(0, 150, 0);
  gl.CallList(lists);
  gl.PopMatrix();
  gl.CallList(lists);
  gl.EndList();
  gl.Enable(GL_TEXTURE_2D);
  gl.BindTexture(GL_TEXTURE_2D, texture);
  gl.Color4f(1, 0, 0, 1);
  gl.Translated(30, 60, 0);
  gl.CallList(lists + 1);
  quad(gl, 0, 0, 50, 50);  // after the list: its matrix and its colour
  gl.DeleteLists(lists, 2);
}

// A colour carried across a batch boundary: set before a change of state,
// taken by the vertices after it.
void colourAcrossBatches(const Gl& gl) {
  gl.Color4f(0.2f, 0.8f, 0.4f, 0.7f);
  quad(gl, 30, 30, 200, 200);
  gl.Enable(GL_TEXTURE_2D);
  gl.BindTexture(GL_TEXTURE_2D, texture);
  quad(gl, 260, 30, 200, 200);
  gl.Enable(GL_BLEND);
  gl.BlendFunc(GL_SRC_ALPHA, GL_ONE);
  quad(gl, 150, 150, 300, 300);
}

// Translucent quads over each other, the blend function and texturing
// changing between them: only the game's order gives this picture.
void blendingOrder(const Gl& gl) {
  gl.Enable(GL_BLEND);
  gl.BindTexture(GL_TEXTURE_2D, texture);
  for (int i = 0; i < 12; ++i) {
    gl.BlendFunc(GL_SRC_ALPHA, i % 3 == 0 ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    (i % 2 ? gl.Enable : gl.Disable)(GL_TEXTURE_2D);
    gl.Color4f(i % 3 == 0 ? 1.0f : 0.2f, i % 3 == 1 ? 1.0f : 0.3f, i % 3 == 2 ? 1.0f : 0.1f, 0.6f);
    quad(gl, 40 + 25 * i, 40 + 20 * i, 200, 160);
  }
}

// The same texture bound again between quads, and quads that each have a
// matrix of their own, turned about every kind of axis, as the smoke puffs
// and the fallen enemies are: one run, drawn at once.
void reboundTexture(const Gl& gl) {
  gl.Enable(GL_TEXTURE_2D);
  gl.Enable(GL_BLEND);
  gl.BlendFunc(GL_SRC_ALPHA, GL_ONE);
  const double axes[5][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0.2, -0.1, 1}, {0, 0, -2}};
  for (int i = 0; i < 40; ++i) {
    gl.BindTexture(GL_TEXTURE_2D, texture);
    gl.LoadIdentity();
    gl.Translated(60 + 13 * i, 80 + 7 * i, 0);
    gl.Rotated(9 * i - 100, axes[i % 5][0], axes[i % 5][1], axes[i % 5][2]);
    gl.Color4f(0.3f, 0.5f, 0.9f, 0.02f * static_cast<float>(i));
    quad(gl, -30, -30, 60, 60);
  }
}

// State recorded in a list runs when it is called, not when it is built, and
// the list's colour stays current after it; a deleted list draws nothing.
void recordedState(const Gl& gl) {
  const GLuint lists = gl.GenLists(2);
  gl.NewList(lists, GL_COMPILE);
  gl.Disable(GL_BLEND);
  gl.Color4f(1, 1, 0, 1);
  gl.PushMatrix();
  gl.Translated(100, 100, 0);
  gl.Rotated(90, 0, 0, 1);
  gl.Begin(GL_TRIANGLES);
  gl.Vertex2i(0, 0);
  gl.Vertex2i(100, 0);
  gl.Vertex2i(0, 50);
  gl.End();
  gl.PopMatrix();
  gl.EndList();
  gl.NewList(lists + 1, GL_COMPILE);
  quad(gl, 300, 300, 100, 100);
  gl.EndList();
  gl.DeleteLists(lists + 1, 1);
  gl.Enable(GL_BLEND);
  gl.BlendFunc(GL_ONE, GL_ONE);
  gl.Color4f(0, 0, 1, 1);
  quad(gl, 50, 50, 100, 100);  // blended, the list not run yet
  gl.CallList(lists);
  gl.CallList(lists + 1);
  quad(gl, 400, 100, 100, 100);  // yellow, unblended
  gl.DeleteLists(lists, 1);
}

// Each primitive over vertices made for it, at pixel centres, with a colour
// and texture coordinate that follow the position (so that any split of a
// quad or polygon shades it alike; no pixel centre on a texel's edge), the
// texture turned by the texture matrix. Back faces are culled: a strip's every
// other triangle and a quad strip's quads must be wound as GL winds them.
void primitive(const Gl& gl, GLenum mode) {
  const bool lines = mode != GL_POINTS && mode <= GL_LINE_STRIP, fan = mode == GL_TRIANGLE_FAN;
  const bool strip = mode == GL_TRIANGLE_STRIP || mode == GL_QUAD_STRIP;
  if (mode > GL_LINE_STRIP) {
    gl.Enable(GL_CULL_FACE);
    gl.Enable(GL_TEXTURE_2D);
    gl.BindTexture(GL_TEXTURE_2D, texture);
    gl.MatrixMode(GL_TEXTURE);
    gl.Rotated(30, 0, 0, 1);
    gl.MatrixMode(GL_MODELVIEW);
  }
  gl.Begin(mode);
  for (int i = 0; i < (mode == GL_POINTS ? 2400 : strip ? 24 : fan ? 14 : 12); ++i) {
    // A star for lines, a ring (about its centre for a fan), a zigzag band, a grid of points.
    const double r = lines ? (i % 2 ? 90 : 220) : fan && i == 0 ? 0 : 200, a = (i - fan) * 0.5236;
    double x = std::floor(320 + r * std::cos(a)), y = std::floor(240 + r * std::sin(a));
    if (strip) x = 40 + 50 * (i / 2), y = i % 2 ? 100 : 300 + 40 * (i / 2 % 2);
    if (mode == GL_POINTS) x = 10 * (i % 60) + 15, y = 10 * (i / 60) + 30;
    gl.Color4f(float(x / 640), float(y / 480), 1, 1);
    gl.TexCoord2f(float((x + 0.3) / 160), float((y + 0.3) / 120));
    gl.Vertex3d(x + 0.5, y + 0.5, 0);
  }
  gl.End();
  gl.Disable(GL_CULL_FACE);
}

// A list compiled and run at once draws as it is compiled and again when
// called; a list only compiled changes neither the colour, the texture
// coordinate nor the matrix. A list's vertices before it sets a texture
// coordinate take the caller's; the last it sets stays current after it.
void listsAndVertexState(const Gl& gl) {
  const GLuint lists = gl.GenLists(3);
  gl.NewList(lists, GL_COMPILE_AND_EXECUTE);
  gl.Color4f(1, 0.5f, 0, 1);
  quad(gl, 20, 20, 150, 100);
  gl.Translated(200, 50, 0);
  gl.EndList();
  gl.NewList(lists + 1, GL_COMPILE);
  gl.Color4f(0, 1, 0, 1);
  gl.TexCoord2f(0.6f, 0.1f);
  gl.Translated(0, 250, 0);
  gl.EndList();
  quad(gl, 20, 20, 100, 150);
  gl.CallList(lists);
  gl.CallList(lists + 1);
  quad(gl, 0, 0, 50, 50);
  gl.NewList(lists + 2, GL_COMPILE);
  gl.Begin(GL_TRIANGLES);
  gl.Vertex2i(0, 0), gl.Vertex2i(180, 0), gl.Vertex2i(0, 180);
  gl.End();
  gl.TexCoord2f(0.35f, 0.1f);
  gl.EndList();
  gl.Enable(GL_TEXTURE_2D);
  gl.BindTexture(GL_TEXTURE_2D, texture);
  gl.LoadIdentity();
  gl.Translated(420, 40, 0);
  gl.TexCoord2f(0.6f, 0.1f);
  gl.CallList(lists + 2);
  quad(gl, 0, 200, 180, 180, 0, false);
  gl.DeleteLists(lists, 3);
}

// Clear, viewport, matrix mode, loads, glOrtho and the depth function in a
// list act when the list is called, not when it is compiled.
void recordedView(const Gl& gl) {
  const GLuint list = gl.GenLists(1);
  gl.Enable(GL_DEPTH_TEST);
  gl.Color4f(1, 0, 0, 1);
  quad(gl, 100, 100, 400, 300, 50);
  gl.NewList(list, GL_COMPILE);
  gl.Clear(GL_DEPTH_BUFFER_BIT);
  gl.Viewport(320, 0, 320, 240);
  gl.MatrixMode(GL_PROJECTION);
  gl.LoadIdentity();
  gl.Ortho(0, 100, 0, 100, -100, 100);
  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadIdentity();
  gl.DepthFunc(GL_LEQUAL);
  gl.EndList();
  gl.Translated(50, 0, 0);
  gl.Color4f(0, 1, 0, 1);
  quad(gl, 0, 50, 400, 100, -50);  // behind the red
  gl.Color4f(0, 1, 1, 1);
  quad(gl, 0, 50, 400, 100, -50);  // as deep as the green: not drawn yet
  gl.CallList(list);
  gl.Color4f(1, 1, 0, 1);
  quad(gl, 10, 10, 80, 80, -90);  // in the lower right quarter, over the red
  gl.Color4f(0, 0, 1, 1);
  quad(gl, 50, 50, 40, 40, -90);  // as deep as the yellow, and drawn
  gl.DeleteLists(list, 1);
}

// Small quads in rows, texturing toggled every `every` quads (never for 0): a
// frame larger than the stream takes 9,000, one with more runs than the batch
// keeps 1,100 toggled each time.
void smallQuads(const Gl& gl, int count, int every) {
  gl.BindTexture(GL_TEXTURE_2D, texture);
  const int columns = count > 2000 ? 100 : 40, w = 600 / columns, h = 450 / (count / columns + 1);
  for (int i = 0; i < count; ++i) {
    if (every > 0 && i % every == 0) (i / every % 2 ? gl.Enable : gl.Disable)(GL_TEXTURE_2D);
    gl.Color4f(float(i % 11) / 10, float(i % 13) / 12, float(i % 7) / 6 + 0.1f, 1);
    quad(gl, 20 + w * (i % columns), 10 + h * (i / columns), w, h);
  }
}

// A texture filled again between two quads: the first keeps what it had.
void refilledTexture(const Gl& gl) {
  GLuint name = 0;
  glGenTextures(1, &name);
  gl.Enable(GL_TEXTURE_2D);
  gl.BindTexture(GL_TEXTURE_2D, name);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  const GLubyte red[4] = {255, 0, 0, 255}, green[4] = {0, 255, 0, 255};
  upload(gl, red);
  quad(gl, 50, 50, 200, 200);
  upload(gl, green);
  quad(gl, 300, 200, 200, 200);
  gl.DeleteTextures(1, &name);
}

// The driver's own state between primitives: what was drawn before it keeps
// the state it was drawn with (no depth written, a channel masked, the whole
// frame open), what comes after takes the new one.
void driverStateBetweenPrimitives(const Gl& gl) {
  gl.Enable(GL_DEPTH_TEST);
  gl.Color4f(0.8f, 0.2f, 0.2f, 1);
  gl.DepthMask(GL_FALSE);
  quad(gl, 40, 40, 300, 300, 10, false);
  gl.DepthMask(GL_TRUE);
  gl.Color4f(0.2f, 0.8f, 0.2f, 1);
  quad(gl, 200, 200, 300, 200, -10, false);  // behind the first, drawn over it
  gl.ColorMask(GL_FALSE, GL_TRUE, GL_TRUE, GL_TRUE);
  gl.Color4f(1, 1, 1, 1);
  quad(gl, 100, 300, 200, 150, 20, false);
  gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  gl.Scissor(400, 0, 100, 480);
  gl.Enable(GL_SCISSOR_TEST);
  quad(gl, 0, 0, 640, 100, 30, false);
  gl.Disable(GL_SCISSOR_TEST);
  quad(gl, 500, 300, 100, 100, 30, false);
}

// List names as floats: whole numbers, a negative one below the base, and
// those no name can hold (too large either way, not a number), which call
// nothing.
void floatListNames(const Gl& gl) {
  const GLuint lists = gl.GenLists(3);
  for (GLuint i = 0; i < 3; ++i) {
    gl.NewList(lists + i, GL_COMPILE);
    gl.Color4f(0.3f * float(i + 1), 1 - 0.3f * float(i), 0.5f, 1);
    quad(gl, 0, 0, 40, 200, 0, false);
    gl.Translated(50, 0, 0);
    gl.EndList();
  }
  const GLfloat names[] = {0, 1, -1, 1.5f, -1e20f, 1e20f, NAN, 4e9f, -3e9f, 0.75f, -1.5f};
  gl.ListBase(lists + 1);
  gl.Translated(20, 100, 0);
  gl.CallLists(sizeof names / sizeof names[0], GL_FLOAT, names);
  gl.ListBase(0);
  gl.DeleteLists(lists, 3);
}

struct Scene {
  const char* name;
  void (*draw)(const Gl&);
  int minLit;                // pixels GL's picture lights, at least
  unsigned long draws;       // the layer's draw calls for it
  unsigned long stateCalls;  // and its state calls, the projection's two included
  unsigned long uploads = 1;
  int differ = 300;  // pixels that may differ: lines and points have no diagonal to split
};

const Scene kScenes[] = {
    {"glyph lists through a base", glyphs, 40000, 1, 7},
    {"the current colour carried", carriedColour, 80000, 1, 5},
    {"a state change between two primitives", stateBetweenPrimitives, 100000, 4, 12},
    {"a matrix change in a list, a list in a list", nestedLists, 8000, 1, 6},
    {"a colour carried across a batch boundary", colourAcrossBatches, 80000, 3, 9},
    {"blending order across batches", blendingOrder, 60000, 12, 25},
    {"a texture rebound to the same name", reboundTexture, 30000, 1, 7},
    {"state recorded in a list", recordedState, 15000, 2, 7},
    {"points", [](const Gl& gl) { primitive(gl, GL_POINTS); }, 2000, 1, 6, 1, 0},
    {"lines", [](const Gl& gl) { primitive(gl, GL_LINES); }, 700, 1, 6, 1, 0},
    {"a line strip", [](const Gl& gl) { primitive(gl, GL_LINE_STRIP); }, 1400, 1, 6, 1, 0},
    {"a line loop", [](const Gl& gl) { primitive(gl, GL_LINE_LOOP); }, 1500, 1, 6, 1, 0},
    {"a triangle strip", [](const Gl& gl) { primitive(gl, GL_TRIANGLE_STRIP); }, 90000, 1, 8},
    {"a triangle fan", [](const Gl& gl) { primitive(gl, GL_TRIANGLE_FAN); }, 90000, 1, 8},
    {"a quad strip", [](const Gl& gl) { primitive(gl, GL_QUAD_STRIP); }, 90000, 1, 8},
    {"a polygon", [](const Gl& gl) { primitive(gl, GL_POLYGON); }, 90000, 1, 8},
    {"lists compiled and executed, and the vertex state", listsAndVertexState, 60000, 2, 7},
    {"clear, viewport and projection in a list", recordedView, 60000, 2, 9, 2},
    {"a frame larger than the stream", [](const Gl& gl) { smallQuads(gl, 9000, 0); }, 200000, 2, 5,
     2},
    {"more runs than the batch keeps", [](const Gl& gl) { smallQuads(gl, 1100, 1); }, 200000, 1100,
     1105, 2},
    {"a texture filled again in the frame", refilledTexture, 60000, 2, 6, 2},
    {"the driver's state between primitives", driverStateBetweenPrimitives, 100000, 5, 8, 5},
    {"list names as floats", floatListNames, 40000, 1, 5},
};

TEST_F(GlLayer, BatchedScenesMatchDesktopGl) {
  for (const LayerBackend& backend : kBackends) {
    glbatch::useBackend(*backend.backend);
    for (const Scene& scene : kScenes) {
      const std::vector<uint8_t> want = picture(kDesktop, scene.draw);
      const glbatch::Counters before = glbatch::counters();
      const std::vector<uint8_t> got = picture(kLayer, scene.draw);
      const glbatch::Counters after = glbatch::counters();
      EXPECT_GT(lit(want), scene.minLit) << scene.name;
      EXPECT_LE(differing(want, got), scene.differ) << backend.name << ": " << scene.name;
      EXPECT_EQ(after.draws - before.draws, scene.draws) << backend.name << ": " << scene.name;
      EXPECT_EQ(after.stateCalls - before.stateCalls, scene.stateCalls)
          << backend.name << ": " << scene.name;
      EXPECT_EQ(after.uploads - before.uploads, scene.uploads)
          << backend.name << ": " << scene.name;
    }
  }
}
}  // namespace
}  // namespace gllayer
