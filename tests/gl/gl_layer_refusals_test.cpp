// What the GL layer refuses, and how: GL's error and one line on stderr,
// through each backend, against what desktop GL itself says.
#include <algorithm>
#include <string>

#include "gl_layer_fixture.h"

namespace gllayer {
namespace {
// Calls GL refuses, and GL 1.1 calls that WebGL cannot carry out (web only):
// GL's error, and from the layer one line on stderr naming the call, the
// first time only.
struct Refusal {
  void (*calls)(const Gl&);
  GLenum error;      // the layer's, and desktop GL's unless it can do what WebGL cannot
  const char* told;  // in the line the layer prints; null for none
  bool layerOnly;
  bool fixedTakes = false;  // the layer on GL 1.1's own backend hands it to GL
};
#define CALLS(...) [](const Gl& gl) { __VA_ARGS__; }
const GLfloat kPixel[4] = {0.1f, 0.2f, 0.3f, 0.4f};  // enough for a pixel of any type
void stacksOverflowAndEmptied(const Gl& gl) {
  for (GLenum mode : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
    gl.MatrixMode(mode);
    for (int i = 0; i < 80; ++i) (i < 40 ? gl.PushMatrix : gl.PopMatrix)();
  }
}
const Refusal kRefusals[] = {
    {CALLS(gl.Begin(GL_POLYGON + 100)), GL_INVALID_ENUM, "glBegin", false},
    {CALLS(gl.End()), GL_INVALID_OPERATION, "glEnd", false},
    {CALLS(gl.Begin(GL_LINES), gl.Enable(GL_BLEND), gl.End()), GL_INVALID_OPERATION, "glEnable",
     false},
    {CALLS(gl.NewList(900, GL_COMPILE_AND_EXECUTE + 1)), GL_INVALID_ENUM, "glNewList", false},
    {CALLS(gl.NewList(900, GL_COMPILE), gl.NewList(901, GL_COMPILE), gl.EndList()),
     GL_INVALID_OPERATION, "glNewList", false},
    {CALLS(gl.EndList()), GL_INVALID_OPERATION, "glEndList", false},
    {CALLS(gl.MatrixMode(GL_BLEND)), GL_INVALID_ENUM, "glMatrixMode", false},
    // A value past four hex digits, told whole.
    {CALLS(gl.MatrixMode(0x12B50)), GL_INVALID_ENUM, "glMatrixMode(0x12B50)", false},
    {CALLS(gl.PopMatrix()), GL_STACK_UNDERFLOW, "glPopMatrix", false},
    // Emptied by more pops than pushes: the underflow is told already, above.
    {stacksOverflowAndEmptied, GL_STACK_OVERFLOW, "glPushMatrix", false},
    {CALLS(gl.DepthFunc(GL_NEVER - 1)), GL_INVALID_ENUM, "glDepthFunc", false},
    {CALLS(gl.BlendFunc(GL_BLEND, GL_ONE)), GL_INVALID_ENUM, "glBlendFunc", false},
    {CALLS(gl.Ortho(0, 0, 0, 1, 0, 1)), GL_INVALID_VALUE, "glOrtho", false},
    {CALLS(gl.CallLists(1, GL_DOUBLE, kPixel)), GL_INVALID_ENUM, "glCallLists", false},
    {CALLS(gl.Enable(GL_LIGHTING), gl.Disable(GL_LIGHTING)), GL_INVALID_ENUM, "glEnable(0x0B50)",
     true},
    {CALLS(gl.BindTexture(GL_TEXTURE_1D, 0)), GL_INVALID_ENUM, "glBindTexture", true},
    {CALLS(gl.BindTexture(GL_TEXTURE_2D, 0), upload(gl, kPixel, GL_FLOAT)), GL_INVALID_ENUM,
     "glTexImage2D", true, true},
    // Another capability: a line of its own, naming it.
    {CALLS(gl.Enable(GL_FOG), gl.Disable(GL_FOG)), GL_INVALID_ENUM, "glEnable(0x0B60)", true, true},
    {CALLS(gl.BindTexture(GL_TEXTURE_2D, 0), upload(gl, kPixel, GL_UNSIGNED_BYTE, 3)),
     GL_INVALID_VALUE, "glTexImage2D", true},
    {CALLS(gl.NewList(900, GL_COMPILE), upload(gl, kPixel), gl.EndList()), GL_INVALID_OPERATION,
     "glTexImage2D", true},
    // A filter GL itself refuses: its error, through the layer's glGetError.
    {CALLS(gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_CLAMP)), GL_INVALID_ENUM,
     nullptr, false},
    {CALLS(gl.Vertex2i(0, 0)), GL_NO_ERROR, "glVertex", false},  // outside a primitive
    // The driver's state, which the layer does not record in its lists.
    {CALLS(gl.NewList(900, GL_COMPILE), gl.DepthMask(GL_FALSE), gl.EndList()), GL_INVALID_OPERATION,
     "glDepthMask", true},
    {CALLS(gl.ShadeModel(GL_SMOOTH)), GL_INVALID_OPERATION, "glShadeModel", true, true},
};
#undef CALLS

TEST_F(GlLayer, RefusalsGiveGlsErrorAndOneLine) {
  bool toldBy[sizeof kRefusals / sizeof kRefusals[0]] = {};
  for (const LayerBackend& backend : kBackends) {
    glbatch::useBackend(*backend.backend);
    const bool fixed = backend.backend == &glbatch::fixedFunctionBackend;
    for (const Refusal& r : kRefusals) {
      const bool taken = r.fixedTakes && fixed;
      const GLenum error = taken ? GLenum(GL_NO_ERROR) : r.error;
      const std::string name = std::string(backend.name) + ": " + std::to_string(&r - kRefusals) +
                               " " + (r.told ? r.told : "");
      r.calls(kDesktop);
      EXPECT_EQ(glGetError(), r.layerOnly ? GLenum(GL_NO_ERROR) : r.error) << name;
      while (glGetError() != GL_NO_ERROR) {
      }
      layerStart();
      for (int round = 0; round < 2; ++round) {
        testing::internal::CaptureStderr();
        r.calls(kLayer);
        EXPECT_EQ(layerGetError(), error) << name;
        const std::string told = testing::internal::GetCapturedStderr();
        // Each refusal is told once in the program's life, by the first backend that refuses it.
        bool& toldBefore = toldBy[&r - kRefusals];
        const bool line = r.told != nullptr && round == 0 && !taken && !toldBefore;
        toldBefore = toldBefore || line;
        EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), line ? 1 : 0) << name << ": " << told;
        EXPECT_TRUE(!line || told.find(r.told) != std::string::npos) << name << ": " << told;
        while (layerGetError() != GL_NO_ERROR) {
        }
      }
      layerStop();
    }
    glDeleteLists(900, 2);
    layerDeleteLists(900, 2);
  }
}

// The desktop's glGetError: through the layer, the error of a call the layer
// refused first, then the driver's; on the direct path the driver's alone.
TEST_F(GlLayer, DesktopErrorsAreTheLayersFirstThenTheDrivers) {
  layerStop();
  gldesk::choosePath(gldesk::Path::Layer);
  ASSERT_TRUE(gldesk::start());
  testing::internal::CaptureStderr();
  deskMatrixMode(GL_BLEND);  // refused by the layer
  glViewport(0, 0, -1, -1);  // refused by the driver
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
}  // namespace
}  // namespace gllayer
