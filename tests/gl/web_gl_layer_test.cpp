// The game's GL 1.1 layer over desktop GL, through each of its backends (GL
// 1.1's client arrays; the browser's shader program where the system's GL has
// the GL 2 entry points it draws with): each scene is drawn once by GL's own
// display lists, immediate mode and matrices and once through the layer's
// batches, and the pictures must match.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#define SHOOTER_GL_COMPAT_IMPLEMENTATION  // call both the layer and real GL here
#include "gl/gl_batch.h"
#include "gl/gl_compat.h"
#define SHOOTER_GL_DESKTOP_IMPLEMENTATION  // and the desktop's forwarders by name
#include "gl/gl_desktop.h"
#include "support/gl_context.h"

namespace {
// The GL 1.1 calls a scene makes: GL's own, or the layer's.
struct Gl {
  void (*begin)(GLenum);
  void (*end)();
  void (*vertex2i)(GLint, GLint);
  void (*vertex3d)(GLdouble, GLdouble, GLdouble);
  void (*texCoord2f)(GLfloat, GLfloat);
  void (*color4f)(GLfloat, GLfloat, GLfloat, GLfloat);
  void (*enable)(GLenum);
  void (*disable)(GLenum);
  void (*bindTexture)(GLenum, GLuint);
  void (*blendFunc)(GLenum, GLenum);
  void (*depthFunc)(GLenum);
  void (*translated)(GLdouble, GLdouble, GLdouble);
  void (*rotated)(GLdouble, GLdouble, GLdouble, GLdouble);
  void (*pushMatrix)();
  void (*popMatrix)();
  void (*loadIdentity)();
  GLuint (*genLists)(GLsizei);
  void (*deleteLists)(GLuint, GLsizei);
  void (*newList)(GLuint, GLenum);
  void (*endList)();
  void (*callList)(GLuint);
  void (*callLists)(GLsizei, GLenum, const GLvoid*);
  void (*listBase)(GLuint);
  void (*matrixMode)(GLenum);
  void (*ortho)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
  GLenum (*getError)();
  void (*clear)(GLbitfield);
  void (*viewport)(GLint, GLint, GLsizei, GLsizei);
  void (*texParameteri)(GLenum, GLenum, GLint);
  void (*texImage2D)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*);
  void (*deleteTextures)(GLsizei, const GLuint*);
};
const Gl kDesktop = {glBegin, glEnd, glVertex2i, glVertex3d, glTexCoord2f, glColor4f, glEnable,
                     glDisable, glBindTexture, glBlendFunc, glDepthFunc, glTranslated, glRotated,
                     glPushMatrix, glPopMatrix, glLoadIdentity, glGenLists, glDeleteLists,
                     glNewList, glEndList, glCallList, glCallLists, glListBase, glMatrixMode,
                     glOrtho, glGetError, glClear, glViewport, glTexParameteri, glTexImage2D,
                     glDeleteTextures};
const Gl kLayer = {webBegin, webEnd, webVertex2i, webVertex3d, webTexCoord2f, webColor4f,
                   webEnable, webDisable, webBindTexture, webBlendFunc, webDepthFunc,
                   webTranslated, webRotated, webPushMatrix, webPopMatrix, webLoadIdentity,
                   webGenLists, webDeleteLists, webNewList, webEndList, webCallList,
                   webCallLists, webListBase, webMatrixMode, webOrtho, webGetError, webClear,
                   webViewport, webTexParameteri, webTexImage2D, webDeleteTextures};

GLuint texture = 0;  // 16 x 16 squares in four colours, made by the fixture

// A quad with its corners at (x, y) and (x + w, y + h), depth z, textured
// from corner to corner or with the current texture coordinate.
void quad(const Gl& gl, int x, int y, int w, int h, double z = 0, bool mapped = true) {
  gl.begin(GL_QUADS);
  const int corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (const auto& c : corners) {
    if (mapped) gl.texCoord2f(float(c[0]), float(c[1]));
    gl.vertex3d(x + w * c[0], y + h * c[1], z);
  }
  gl.end();
}

// A row of RGBA pixels, one by default, into the bound texture.
void upload(const Gl& gl, const void* pixel, GLenum type = GL_UNSIGNED_BYTE, GLsizei width = 1) {
  gl.texImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, 1, 0, GL_RGBA, type, pixel);
}

// Glyph-like lists: a textured quad and a move to the right, called through a
// list base with the colour set outside the lists, as the text output does.
void glyphs(const Gl& gl) {
  const GLuint lists = gl.genLists(3);
  for (GLuint i = 0; i < 3; ++i) {
    const float s = 0.25f * static_cast<float>(i);
    gl.newList(lists + i, GL_COMPILE);
    gl.begin(GL_QUADS);
    gl.texCoord2f(s, 0); gl.vertex2i(0, 0);
    gl.texCoord2f(s + 0.5f, 0); gl.vertex2i(60, 0);
    gl.texCoord2f(s + 0.5f, 1); gl.vertex2i(60, 90);
    gl.texCoord2f(s, 1); gl.vertex2i(0, 90);
    gl.end();
    gl.translated(70, 0, 0);
    gl.endList();
  }
  const GLubyte text[] = {'a', 'c', 'b', 'a'};
  gl.enable(GL_BLEND);
  gl.blendFunc(GL_SRC_ALPHA, GL_ONE);
  gl.enable(GL_TEXTURE_2D);
  gl.bindTexture(GL_TEXTURE_2D, texture);
  gl.listBase(lists - 'a');
  gl.color4f(1, 0.5f, 0.25f, 1);
  gl.translated(20, 40, 0);
  gl.callLists(4, GL_UNSIGNED_BYTE, text);
  gl.loadIdentity();
  gl.color4f(0.25f, 1, 1, 0.5f);
  gl.translated(20, 190, 0);
  gl.callLists(4, GL_UNSIGNED_BYTE, text);
  gl.deleteLists(lists, 3);
}

// One colour, then the vertices: every vertex takes it, and the next
// primitive too; a colour between two vertices holds from there on.
void carriedColour(const Gl& gl) {
  gl.color4f(0, 0.75f, 0.5f, 1);
  quad(gl, 50, 50, 250, 300);
  gl.begin(GL_TRIANGLES);
  const int tri[6][2] = {{350, 50}, {600, 80}, {450, 300}, {350, 320}, {620, 330}, {500, 470}};
  for (int i = 0; i < 6; ++i) {
    if (i == 4) gl.color4f(1, 0, 1, 0.5f);
    gl.vertex2i(tri[i][0], tri[i][1]);
  }
  gl.end();
}

// A state change between two primitives: texture, blending and its function,
// and the depth test with its function, each between overlapping quads.
void stateBetweenPrimitives(const Gl& gl) {
  gl.bindTexture(GL_TEXTURE_2D, texture);
  gl.enable(GL_DEPTH_TEST);
  gl.depthFunc(GL_LEQUAL);
  gl.color4f(0.9f, 0.9f, 0.9f, 0.6f);
  quad(gl, 40, 40, 300, 300, 50);
  gl.enable(GL_TEXTURE_2D);
  quad(gl, 100, 100, 300, 300, -50);
  gl.enable(GL_BLEND);
  gl.blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  quad(gl, 160, 160, 300, 300, 20);  // behind the second where they overlap
  gl.disable(GL_DEPTH_TEST);
  gl.disable(GL_TEXTURE_2D);
  gl.color4f(1, 0.2f, 0, 0.5f);
  quad(gl, 220, 20, 200, 200, 90);
  gl.depthFunc(GL_LESS);
}

// A matrix change inside a list, and a list called inside a list, with
// PushMatrix and PopMatrix around a part of it.
void nestedLists(const Gl& gl) {
  const GLuint lists = gl.genLists(2);
  gl.newList(lists, GL_COMPILE);
  quad(gl, 0, 0, 60, 40);
  gl.translated(80, 10, 0);
  gl.rotated(20, 0, 0, 1);
  gl.endList();
  gl.newList(lists + 1, GL_COMPILE);
  gl.color4f(0.2f, 1, 0.6f, 1);
  gl.callList(lists);
  gl.pushMatrix();
  gl.translated(0, 150, 0);
  gl.callList(lists);
  gl.popMatrix();
  gl.callList(lists);
  gl.endList();
  gl.enable(GL_TEXTURE_2D);
  gl.bindTexture(GL_TEXTURE_2D, texture);
  gl.color4f(1, 0, 0, 1);
  gl.translated(30, 60, 0);
  gl.callList(lists + 1);
  quad(gl, 0, 0, 50, 50);  // after the list: its matrix and its colour
  gl.deleteLists(lists, 2);
}

// A colour carried across a batch boundary: set before a change of state,
// taken by the vertices after it.
void colourAcrossBatches(const Gl& gl) {
  gl.color4f(0.2f, 0.8f, 0.4f, 0.7f);
  quad(gl, 30, 30, 200, 200);
  gl.enable(GL_TEXTURE_2D);
  gl.bindTexture(GL_TEXTURE_2D, texture);
  quad(gl, 260, 30, 200, 200);
  gl.enable(GL_BLEND);
  gl.blendFunc(GL_SRC_ALPHA, GL_ONE);
  quad(gl, 150, 150, 300, 300);
}

// Translucent quads over each other, the blend function and texturing
// changing between them: only the game's order gives this picture.
void blendingOrder(const Gl& gl) {
  gl.enable(GL_BLEND);
  gl.bindTexture(GL_TEXTURE_2D, texture);
  for (int i = 0; i < 12; ++i) {
    gl.blendFunc(GL_SRC_ALPHA, i % 3 == 0 ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    (i % 2 ? gl.enable : gl.disable)(GL_TEXTURE_2D);
    gl.color4f(i % 3 == 0 ? 1.0f : 0.2f, i % 3 == 1 ? 1.0f : 0.3f, i % 3 == 2 ? 1.0f : 0.1f, 0.6f);
    quad(gl, 40 + 25 * i, 40 + 20 * i, 200, 160);
  }
}

// The same texture bound again between quads, and quads that each have a
// matrix of their own, turned about every kind of axis, as the smoke puffs
// and the fallen enemies are: one run, drawn at once.
void reboundTexture(const Gl& gl) {
  gl.enable(GL_TEXTURE_2D);
  gl.enable(GL_BLEND);
  gl.blendFunc(GL_SRC_ALPHA, GL_ONE);
  const double axes[5][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0.2, -0.1, 1}, {0, 0, -2}};
  for (int i = 0; i < 40; ++i) {
    gl.bindTexture(GL_TEXTURE_2D, texture);
    gl.loadIdentity();
    gl.translated(60 + 13 * i, 80 + 7 * i, 0);
    gl.rotated(9 * i - 100, axes[i % 5][0], axes[i % 5][1], axes[i % 5][2]);
    gl.color4f(0.3f, 0.5f, 0.9f, 0.02f * static_cast<float>(i));
    quad(gl, -30, -30, 60, 60);
  }
}

// State recorded in a list runs when it is called, not when it is built, and
// the list's colour stays current after it; a deleted list draws nothing.
void recordedState(const Gl& gl) {
  const GLuint lists = gl.genLists(2);
  gl.newList(lists, GL_COMPILE);
  gl.disable(GL_BLEND);
  gl.color4f(1, 1, 0, 1);
  gl.pushMatrix();
  gl.translated(100, 100, 0);
  gl.rotated(90, 0, 0, 1);
  gl.begin(GL_TRIANGLES);
  gl.vertex2i(0, 0); gl.vertex2i(100, 0); gl.vertex2i(0, 50);
  gl.end();
  gl.popMatrix();
  gl.endList();
  gl.newList(lists + 1, GL_COMPILE);
  quad(gl, 300, 300, 100, 100);
  gl.endList();
  gl.deleteLists(lists + 1, 1);
  gl.enable(GL_BLEND);
  gl.blendFunc(GL_ONE, GL_ONE);
  gl.color4f(0, 0, 1, 1);
  quad(gl, 50, 50, 100, 100);  // blended, the list not run yet
  gl.callList(lists);
  gl.callList(lists + 1);
  quad(gl, 400, 100, 100, 100);  // yellow, unblended
  gl.deleteLists(lists, 1);
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
    gl.enable(GL_CULL_FACE);
    gl.enable(GL_TEXTURE_2D);
    gl.bindTexture(GL_TEXTURE_2D, texture);
    gl.matrixMode(GL_TEXTURE);
    gl.rotated(30, 0, 0, 1);
    gl.matrixMode(GL_MODELVIEW);
  }
  gl.begin(mode);
  for (int i = 0; i < (mode == GL_POINTS ? 2400 : strip ? 24 : fan ? 14 : 12); ++i) {
    // A star for lines, a ring (about its centre for a fan), a zigzag band, a grid of points.
    const double r = lines ? (i % 2 ? 90 : 220) : fan && i == 0 ? 0 : 200, a = (i - fan) * 0.5236;
    double x = std::floor(320 + r * std::cos(a)), y = std::floor(240 + r * std::sin(a));
    if (strip) x = 40 + 50 * (i / 2), y = i % 2 ? 100 : 300 + 40 * (i / 2 % 2);
    if (mode == GL_POINTS) x = 10 * (i % 60) + 15, y = 10 * (i / 60) + 30;
    gl.color4f(float(x / 640), float(y / 480), 1, 1);
    gl.texCoord2f(float((x + 0.3) / 160), float((y + 0.3) / 120));
    gl.vertex3d(x + 0.5, y + 0.5, 0);
  }
  gl.end();
  gl.disable(GL_CULL_FACE);
}

// A list compiled and run at once draws as it is compiled and again when
// called; a list only compiled changes neither the colour, the texture
// coordinate nor the matrix. A list's vertices before it sets a texture
// coordinate take the caller's; the last it sets stays current after it.
void listsAndVertexState(const Gl& gl) {
  const GLuint lists = gl.genLists(3);
  gl.newList(lists, GL_COMPILE_AND_EXECUTE);
  gl.color4f(1, 0.5f, 0, 1);
  quad(gl, 20, 20, 150, 100);
  gl.translated(200, 50, 0);
  gl.endList();
  gl.newList(lists + 1, GL_COMPILE);
  gl.color4f(0, 1, 0, 1);
  gl.texCoord2f(0.6f, 0.1f);
  gl.translated(0, 250, 0);
  gl.endList();
  quad(gl, 20, 20, 100, 150);
  gl.callList(lists);
  gl.callList(lists + 1);
  quad(gl, 0, 0, 50, 50);
  gl.newList(lists + 2, GL_COMPILE);
  gl.begin(GL_TRIANGLES);
  gl.vertex2i(0, 0), gl.vertex2i(180, 0), gl.vertex2i(0, 180);
  gl.end();
  gl.texCoord2f(0.35f, 0.1f);
  gl.endList();
  gl.enable(GL_TEXTURE_2D);
  gl.bindTexture(GL_TEXTURE_2D, texture);
  gl.loadIdentity();
  gl.translated(420, 40, 0);
  gl.texCoord2f(0.6f, 0.1f);
  gl.callList(lists + 2);
  quad(gl, 0, 200, 180, 180, 0, false);
  gl.deleteLists(lists, 3);
}

// Clear, viewport, matrix mode, loads, glOrtho and the depth function in a
// list act when the list is called, not when it is compiled.
void recordedView(const Gl& gl) {
  const GLuint list = gl.genLists(1);
  gl.enable(GL_DEPTH_TEST);
  gl.color4f(1, 0, 0, 1);
  quad(gl, 100, 100, 400, 300, 50);
  gl.newList(list, GL_COMPILE);
  gl.clear(GL_DEPTH_BUFFER_BIT);
  gl.viewport(320, 0, 320, 240);
  gl.matrixMode(GL_PROJECTION);
  gl.loadIdentity();
  gl.ortho(0, 100, 0, 100, -100, 100);
  gl.matrixMode(GL_MODELVIEW);
  gl.loadIdentity();
  gl.depthFunc(GL_LEQUAL);
  gl.endList();
  gl.translated(50, 0, 0);
  gl.color4f(0, 1, 0, 1);
  quad(gl, 0, 50, 400, 100, -50);  // behind the red
  gl.color4f(0, 1, 1, 1);
  quad(gl, 0, 50, 400, 100, -50);  // as deep as the green: not drawn yet
  gl.callList(list);
  gl.color4f(1, 1, 0, 1);
  quad(gl, 10, 10, 80, 80, -90);  // in the lower right quarter, over the red
  gl.color4f(0, 0, 1, 1);
  quad(gl, 50, 50, 40, 40, -90);  // as deep as the yellow, and drawn
  gl.deleteLists(list, 1);
}

// Small quads in rows, texturing toggled every `every` quads (never for 0): a
// frame larger than the stream takes 9,000, one with more runs than the batch
// keeps 1,100 toggled each time.
void smallQuads(const Gl& gl, int count, int every) {
  gl.bindTexture(GL_TEXTURE_2D, texture);
  const int columns = count > 2000 ? 100 : 40, w = 600 / columns, h = 450 / (count / columns + 1);
  for (int i = 0; i < count; ++i) {
    if (every > 0 && i % every == 0) (i / every % 2 ? gl.enable : gl.disable)(GL_TEXTURE_2D);
    gl.color4f(float(i % 11) / 10, float(i % 13) / 12, float(i % 7) / 6 + 0.1f, 1);
    quad(gl, 20 + w * (i % columns), 10 + h * (i / columns), w, h);
  }
}

// A texture filled again between two quads: the first keeps what it had.
void refilledTexture(const Gl& gl) {
  GLuint name = 0;
  glGenTextures(1, &name);
  gl.enable(GL_TEXTURE_2D);
  gl.bindTexture(GL_TEXTURE_2D, name);
  gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  const GLubyte red[4] = {255, 0, 0, 255}, green[4] = {0, 255, 0, 255};
  upload(gl, red);
  quad(gl, 50, 50, 200, 200);
  upload(gl, green);
  quad(gl, 300, 200, 200, 200);
  gl.deleteTextures(1, &name);
}

struct Scene {
  const char* name;
  void (*draw)(const Gl&);
  int minLit;         // pixels GL's picture lights, at least
  unsigned long draws;  // the layer's draw calls for it
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
};

struct LayerBackend {
  const char* name;
  const glbatch::Backend* backend;
};
const LayerBackend kBackends[] = {
    {"GL 1.1 client arrays", &glbatch::fixedFunctionBackend},
#ifdef SHOOTER_TEST_SHADER_BACKEND
    {"shader program", &glbatch::shaderBackend},
#endif
};

class WebGlLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(context_.open(640, 480)) << "no OpenGL context";
    glViewport(0, 0, 640, 480);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    std::vector<unsigned char> pixels(16 * 16 * 3);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        unsigned char* p = &pixels[static_cast<size_t>(y * 16 + x) * 3];
        const int square = (x / 4 + y / 4) % 4;
        p[0] = square == 1 ? 255 : 40;
        p[1] = square == 2 ? 255 : 80;
        p[2] = square == 3 ? 255 : 120;
      }
    }
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 16, 16, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    ASSERT_TRUE(webGlStart()) << "the layer cannot draw in this context";
  }

  void TearDown() override {
    webGlStop();
    glbatch::useBackend(glbatch::fixedFunctionBackend);
    glDeleteTextures(1, &texture);
    context_.close();
  }

  // The scene drawn from GL's initial state, 640 x 480 pixels to the screen.
  std::vector<uint8_t> picture(const Gl& gl, void (*draw)(const Gl&)) {
    const bool layer = &gl == &kLayer;
    if (layer) webGlStart();
    if (layer) testing::internal::CaptureStderr();
    gl.viewport(0, 0, 640, 480);
    gl.matrixMode(GL_TEXTURE);
    gl.loadIdentity();
    gl.matrixMode(GL_PROJECTION);
    gl.loadIdentity();
    gl.ortho(0, 640, 0, 480, -100, 100);
    gl.matrixMode(GL_MODELVIEW);
    gl.loadIdentity();
    for (GLenum cap : {GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST}) gl.disable(cap);
    gl.bindTexture(GL_TEXTURE_2D, 0);
    gl.blendFunc(GL_ONE, GL_ZERO);
    gl.depthFunc(GL_LESS);
    gl.color4f(1, 1, 1, 1);
    draw(gl);
    EXPECT_EQ(gl.getError(), GLenum(GL_NO_ERROR));
    if (layer) {
      webFinish();
      webGlStop();
      EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
    glFinish();
    std::vector<uint8_t> rgb = context_.readPixels();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return rgb;
  }

  // Pixels with a channel off by more than 8: quads split along another
  // diagonal may differ on the diagonal's edge pixels only.
  static int differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int n = 0;
    for (size_t p = 0; p + 2 < a.size(); p += 3) {
      for (size_t c = 0; c < 3; ++c) {
        if (std::abs(int(a[p + c]) - int(b[p + c])) > 8) {
          ++n;
          break;
        }
      }
    }
    return n;
  }

  static int lit(const std::vector<uint8_t>& a) {
    int n = 0;
    for (size_t p = 0; p + 2 < a.size(); p += 3) n += (a[p] | a[p + 1] | a[p + 2]) != 0;
    return n;
  }

  GlContext context_;
};

TEST_F(WebGlLayer, BatchedScenesMatchDesktopGl) {
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

// Calls GL refuses, and GL 1.1 calls that WebGL cannot carry out (web only):
// GL's error, and from the layer one line on stderr naming the call, the
// first time only.
struct Refusal {
  void (*calls)(const Gl&);
  GLenum error;      // the layer's, and desktop GL's unless it can do what WebGL cannot
  const char* told;  // in the line the layer prints; null for none
  bool webOnly;
  bool fixedTakes = false;  // the layer on GL 1.1's own backend hands it to GL
};
#define CALLS(...) [](const Gl& gl) { __VA_ARGS__; }
const GLfloat kPixel[4] = {0.1f, 0.2f, 0.3f, 0.4f};  // enough for a pixel of any type
void stacksOverflowAndEmptied(const Gl& gl) {
  for (GLenum mode : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
    gl.matrixMode(mode);
    for (int i = 0; i < 80; ++i) (i < 40 ? gl.pushMatrix : gl.popMatrix)();
  }
}
const Refusal kRefusals[] = {
    {CALLS(gl.begin(GL_POLYGON + 100)), GL_INVALID_ENUM, "glBegin", false},
    {CALLS(gl.end()), GL_INVALID_OPERATION, "glEnd", false},
    {CALLS(gl.begin(GL_LINES), gl.enable(GL_BLEND), gl.end()), GL_INVALID_OPERATION, "glEnable",
     false},
    {CALLS(gl.newList(900, GL_COMPILE_AND_EXECUTE + 1)), GL_INVALID_ENUM, "glNewList", false},
    {CALLS(gl.newList(900, GL_COMPILE), gl.newList(901, GL_COMPILE), gl.endList()),
     GL_INVALID_OPERATION, "glNewList", false},
    {CALLS(gl.endList()), GL_INVALID_OPERATION, "glEndList", false},
    {CALLS(gl.matrixMode(GL_BLEND)), GL_INVALID_ENUM, "glMatrixMode", false},
    {CALLS(gl.popMatrix()), GL_STACK_UNDERFLOW, "glPopMatrix", false},
    // Emptied by more pops than pushes: the underflow is told already, above.
    {stacksOverflowAndEmptied, GL_STACK_OVERFLOW, "glPushMatrix", false},
    {CALLS(gl.depthFunc(GL_NEVER - 1)), GL_INVALID_ENUM, "glDepthFunc", false},
    {CALLS(gl.blendFunc(GL_BLEND, GL_ONE)), GL_INVALID_ENUM, "glBlendFunc", false},
    {CALLS(gl.ortho(0, 0, 0, 1, 0, 1)), GL_INVALID_VALUE, "glOrtho", false},
    {CALLS(gl.callLists(1, GL_DOUBLE, kPixel)), GL_INVALID_ENUM, "glCallLists", false},
    {CALLS(gl.enable(GL_LIGHTING), gl.disable(GL_LIGHTING)), GL_INVALID_ENUM, "glEnable", true},
    {CALLS(gl.bindTexture(GL_TEXTURE_1D, 0)), GL_INVALID_ENUM, "glBindTexture", true},
    {CALLS(gl.bindTexture(GL_TEXTURE_2D, 0), upload(gl, kPixel, GL_FLOAT)), GL_INVALID_ENUM,
     "glTexImage2D", true, true},
    // Told already, as lighting was.
    {CALLS(gl.enable(GL_FOG), gl.disable(GL_FOG)), GL_INVALID_ENUM, nullptr, true, true},
    {CALLS(gl.bindTexture(GL_TEXTURE_2D, 0), upload(gl, kPixel, GL_UNSIGNED_BYTE, 3)),
     GL_INVALID_VALUE, "glTexImage2D", true},
    {CALLS(gl.newList(900, GL_COMPILE), upload(gl, kPixel), gl.endList()),
     GL_INVALID_OPERATION, "glTexImage2D", true},
    // A filter GL itself refuses: its error, through the layer's glGetError.
    {CALLS(gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_CLAMP)), GL_INVALID_ENUM,
     nullptr, false},
    {CALLS(gl.vertex2i(0, 0)), GL_NO_ERROR, "glVertex", false},  // outside a primitive
};
#undef CALLS

TEST_F(WebGlLayer, RefusalsGiveGlsErrorAndOneLine) {
  bool toldBy[sizeof kRefusals / sizeof kRefusals[0]] = {};
  for (const LayerBackend& backend : kBackends) {
    glbatch::useBackend(*backend.backend);
    const bool fixed = backend.backend == &glbatch::fixedFunctionBackend;
    for (const Refusal& r : kRefusals) {
      const bool taken = r.fixedTakes && fixed;
      const GLenum error = taken ? GLenum(GL_NO_ERROR) : r.error;
      const std::string name = std::string(backend.name) + ": " +
                               std::to_string(&r - kRefusals) + " " + (r.told ? r.told : "");
      r.calls(kDesktop);
      EXPECT_EQ(glGetError(), r.webOnly ? GLenum(GL_NO_ERROR) : r.error) << name;
      while (glGetError() != GL_NO_ERROR) {}
      webGlStart();
      for (int round = 0; round < 2; ++round) {
        testing::internal::CaptureStderr();
        r.calls(kLayer);
        EXPECT_EQ(webGetError(), error) << name;
        const std::string told = testing::internal::GetCapturedStderr();
        // Each refusal is told once in the program's life, by the first backend that refuses it.
        bool& toldBefore = toldBy[&r - kRefusals];
        const bool line = r.told != nullptr && round == 0 && !taken && !toldBefore;
        toldBefore = toldBefore || line;
        EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), line ? 1 : 0) << name << ": " << told;
        EXPECT_TRUE(!line || told.find(r.told) != std::string::npos) << name << ": " << told;
        while (webGetError() != GL_NO_ERROR) {}
      }
      webGlStop();
    }
    glDeleteLists(900, 2);
    webDeleteLists(900, 2);
  }
}

// Mipmaps: the same levels as GLU's (box-filtered halves), and a size that is
// no power of two rounded to the one GLU picks, with the values WebGL refuses
// mapped to those it takes.
TEST_F(WebGlLayer, MipmapsMatchGlu) {
  std::vector<unsigned char> image(64 * 32 * 3);
  uint32_t seed = 12345;
  for (unsigned char& c : image) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<unsigned char>(seed >> 24);
  }
  GLuint names[2];
  glGenTextures(2, names);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glBindTexture(GL_TEXTURE_2D, names[0]);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, 64, 32, GL_RGB, GL_UNSIGNED_BYTE, image.data());
  webBindTexture(GL_TEXTURE_2D, names[1]);
  ASSERT_EQ(webBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, 64, 32, GL_RGB, GL_UNSIGNED_BYTE,
                              image.data()), 0);
  for (GLint level = 0; level <= 6; ++level) {
    std::vector<unsigned char> want(64 * 32 * 3), got(64 * 32 * 3);
    GLint w = 0, h = 0;
    glBindTexture(GL_TEXTURE_2D, names[1]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, level < 6 ? 64 >> level : 1) << "level " << level;
    EXPECT_EQ(h, level < 5 ? 32 >> level : 1) << "level " << level;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, got.data());
    glBindTexture(GL_TEXTURE_2D, names[0]);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, want.data());
    int off = 0;
    for (int i = 0; i < w * h * 3; ++i) off += std::abs(int(want[size_t(i)]) - int(got[size_t(i)])) > 1;
    EXPECT_EQ(off, 0) << "level " << level;
  }

  // 48 x 40 goes up to 64 and down to 32, as GLU rounds.
  std::vector<unsigned char> odd(48 * 40 * 4, 200);
  glBindTexture(GL_TEXTURE_2D, names[1]);
  ASSERT_EQ(webBuild2DMipmaps(GL_TEXTURE_2D, 4, 48, 40, GL_RGBA, GL_UNSIGNED_BYTE, odd.data()), 0);
  GLint w = 0, h = 0, format = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 32);
  // GL 1.1's own backend hands GL the caller's internal format, 4: RGBA by its GL 1.0 name.
  EXPECT_TRUE(format == GL_RGBA || format == 4) << format;
  std::vector<unsigned char> level0(64 * 32 * 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, level0.data());
  for (unsigned char c : level0) ASSERT_EQ(c, 200);

  // WebGL has no GL_CLAMP: the layer on its terms takes the edge's colour.
  for (const LayerBackend& backend : kBackends) {
    glbatch::useBackend(*backend.backend);
    webTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    constexpr GLint kClampToEdge = 0x812F;  // GL 1.2, not in every GL 1.1 header
    EXPECT_EQ(wrap, backend.backend->webGlTerms ? kClampToEdge : GLint(GL_CLAMP)) << backend.name;
  }
  glDeleteTextures(2, names);
}
// The desktop's glGetError: through the layer, the error of a call the layer
// refused first, then the driver's; on the direct path the driver's alone.
TEST_F(WebGlLayer, DesktopErrorsAreTheLayersFirstThenTheDrivers) {
  webGlStop();
  gldesk::choosePath(gldesk::Path::Layer);
  ASSERT_TRUE(gldesk::start());
  testing::internal::CaptureStderr();
  deskMatrixMode(GL_BLEND);   // refused by the layer
  glViewport(0, 0, -1, -1);   // refused by the driver
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(deskGetError(), GLenum(GL_INVALID_ENUM));
  EXPECT_EQ(deskGetError(), GLenum(GL_INVALID_VALUE));
  EXPECT_EQ(deskGetError(), GLenum(GL_NO_ERROR));
  gldesk::stop();
  gldesk::choosePath(gldesk::Path::Direct);
  ASSERT_TRUE(gldesk::start());
  deskMatrixMode(GL_BLEND);
  EXPECT_EQ(deskGetError(), GLenum(GL_INVALID_ENUM));
  EXPECT_EQ(deskGetError(), GLenum(GL_NO_ERROR));
  gldesk::stop();
  gldesk::choosePath(gldesk::Path::Layer);
}

// Proxy textures, which WebGL lacks: any size within the largest side is
// taken and reported, a larger one is refused with 0.
TEST_F(WebGlLayer, ProxyTexturesTakeWhatFitsTheLargestSide) {
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  const struct { GLsizei w, h; bool fits; } cases[] = {
      {48, 40, true}, {maxSize, 1, true}, {maxSize + 1, 1, false}, {1, maxSize + 1, false}};
  for (const LayerBackend& backend : kBackends) {
    glbatch::useBackend(*backend.backend);
    for (const auto& c : cases) {
      webTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGB8, c.w, c.h, 0, GL_RGB, GL_UNSIGNED_BYTE,
                    nullptr);
      GLint w = -1, h = -1;
      webGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
      webGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
      EXPECT_EQ(w, c.fits ? c.w : 0) << backend.name << ": " << c.w << " x " << c.h;
      EXPECT_EQ(h, c.fits ? c.h : 0) << backend.name << ": " << c.w << " x " << c.h;
    }
  }
}
}  // namespace
