// SDL events to game state: keys, mouse, window state and size.
#include <gtest/gtest.h>

#include "app/recording.h"
#include "app/screenshot.h"
#include "app/sdl/events.h"
#include "app/shell.h"
#include "game/state.h"
#include "gl.h"
#include "support/gl_context.h"
#include "support/test_platform.h"

namespace {
class EventTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    resetGameState();
    shell = ShellState{};
    testPlatform.clear();
  }

  static SDL_Event key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE,
                       Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    return e;
  }
  static SDL_Event window(Uint8 event, Sint32 data1 = 0, Sint32 data2 = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    e.window.data1 = data1;
    e.window.data2 = data2;
    return e;
  }
  static SDL_Event button(Uint8 which) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = which;
    e.button.state = SDL_PRESSED;
    return e;
  }
};

TEST_F(EventTest, KeysAreDownFromTheirPressToTheirRelease) {
  EXPECT_EQ(handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_w)), EventResult::Handled);
  EXPECT_EQ(input.KeyDown[vk::W], 1);
  handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_LEFT, SDLK_LEFT));
  EXPECT_EQ(input.KeyDown[vk::Left], 1);
  handleEvent(key(SDL_KEYUP, SDL_SCANCODE_W, SDLK_w));
  EXPECT_EQ(input.KeyDown[vk::W], 0);
  EXPECT_EQ(input.KeyDown[vk::Left], 1);
}

// F12 asks for a screenshot and is no key of the game's: nothing of it reaches
// the key table (nor a recording, which takes keys on the same way).
TEST_F(EventTest, F12AsksForAScreenshotAndLeavesTheGameAlone) {
  const uint64_t before = gameStateDigest();
  handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_F12, SDLK_F12, KMOD_NONE, 1));
  EXPECT_FALSE(screenshotRequested());  // a held key's repeat
  handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_F12, SDLK_F12));
  EXPECT_TRUE(screenshotRequested());
  handleEvent(key(SDL_KEYUP, SDL_SCANCODE_F12, SDLK_F12));
  EXPECT_EQ(gameStateDigest(), before);
  takeRequestedScreenshot();  // no pictures folder here: a message
  EXPECT_FALSE(screenshotRequested());
}

TEST_F(EventTest, RepeatsLeaveAKeyDown) {
  handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_UP, SDLK_UP));
  for (int i = 0; i < 5; ++i) handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_UP, SDLK_UP, 0, 1));
  EXPECT_EQ(input.KeyDown[vk::Up], 1);
  handleEvent(key(SDL_KEYUP, SDL_SCANCODE_UP, SDLK_UP));
  EXPECT_EQ(input.KeyDown[vk::Up], 0);
}

TEST_F(EventTest, KeysPressedWithAltAreNotRecorded) {
  handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT));
  handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_F, SDLK_f, KMOD_LALT));
  handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_RALT));
  handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_F10, SDLK_F10));
  for (int i = 0; i < 256; ++i) EXPECT_EQ(input.KeyDown[i], 0) << i;
}

TEST_F(EventTest, AReleaseWithAltHeldStillReleases) {
  handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_S, SDLK_s));
  handleEvent(key(SDL_KEYUP, SDL_SCANCODE_S, SDLK_s, KMOD_LALT));
  EXPECT_EQ(input.KeyDown[vk::S], 0);
}

TEST_F(EventTest, KeysWithoutACodeChangeNothing) {
  handleEvent(key(SDL_KEYDOWN, SDL_SCANCODE_AUDIOPLAY, SDLK_AUDIOPLAY));
  for (int i = 0; i < 256; ++i) EXPECT_EQ(input.KeyDown[i], 0) << i;
}

TEST_F(EventTest, OnlyTheLeftButtonFires) {
  handleEvent(button(SDL_BUTTON_RIGHT));
  handleEvent(button(SDL_BUTTON_MIDDLE));
  EXPECT_EQ(input.fireRequest, 0);
  handleEvent(button(SDL_BUTTON_LEFT));
  EXPECT_EQ(input.fireRequest, 1);
}

TEST_F(EventTest, MouseMotionTurnsTheViewInWindowCoordinates) {
  shell.lastMouseX = 320;
  shell.lastMouseY = 240;
  input.mouseYaw = 90;
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = 352;
  e.motion.y = 272;
  e.motion.xrel = 32;
  e.motion.yrel = 32;
  handleEvent(e);
  EXPECT_DOUBLE_EQ(input.mouseYaw, 89);  // right turns to smaller yaw
  EXPECT_DOUBLE_EQ(input.pitch, 1);
  EXPECT_EQ(shell.lastMouseX, 352);
  EXPECT_EQ(shell.lastMouseY, 272);

  e.motion.x = 380;  // out of the band: warped back to its left edge
  handleEvent(e);
  ASSERT_EQ(testPlatform.warps.size(), 1u);
  EXPECT_EQ(testPlatform.warps[0], std::make_pair(10, 272));
}

TEST_F(EventTest, MinimisingStopsFramesAndRestoringResumesThem) {
  handleEvent(window(SDL_WINDOWEVENT_MINIMIZED));
  EXPECT_FALSE(shell.active);
  // Losing the focus is not minimising.
  handleEvent(window(SDL_WINDOWEVENT_FOCUS_LOST));
  handleEvent(window(SDL_WINDOWEVENT_HIDDEN));
  EXPECT_FALSE(shell.active);
  handleEvent(window(SDL_WINDOWEVENT_RESTORED));
  EXPECT_TRUE(shell.active);
  handleEvent(window(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_TRUE(shell.active);
  handleEvent(window(SDL_WINDOWEVENT_MINIMIZED));
  handleEvent(window(SDL_WINDOWEVENT_MAXIMIZED));
  EXPECT_TRUE(shell.active);
}

TEST_F(EventTest, ClosingTheWindowQuits) {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_EQ(handleEvent(quit), EventResult::Quit);
  EXPECT_EQ(handleEvent(window(SDL_WINDOWEVENT_CLOSE)), EventResult::Quit);
  EXPECT_EQ(handleEvent(window(SDL_WINDOWEVENT_EXPOSED)), EventResult::Handled);
  SDL_Event other{};
  other.type = SDL_USEREVENT;
  EXPECT_EQ(handleEvent(other), EventResult::Handled);
}

class ResizeTest : public EventTest {
 protected:
  void SetUp() override {
    EventTest::SetUp();
    ASSERT_TRUE(gl.open());
  }
  static void viewport(GLint out[4]) { glGetIntegerv(GL_VIEWPORT, out); }
  static void projection(GLdouble out[16]) { glGetDoublev(GL_PROJECTION_MATRIX, out); }
  GlContext gl;
};

TEST_F(ResizeTest, ASizeChangeSetsViewportAndProjection) {
  handleEvent(window(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 400));
  GLint v[4];
  viewport(v);
  EXPECT_EQ(v[2], 800);
  EXPECT_EQ(v[3], 400);
  GLdouble p[16];
  projection(p);
  const double f = 1.0 / std::tan(30.0 * 3.14159265358979323846 / 180.0);
  EXPECT_NEAR(p[5], f, 1e-6);
  EXPECT_NEAR(p[0], f / 2.0, 1e-6);
  EXPECT_NEAR(p[10], -(1250.0 + 1.0) / (1250.0 - 1.0), 1e-6);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(ResizeTest, AZeroHeightGivesAOnePixelProjection) {
  handleEvent(window(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 0));
  GLint v[4];
  viewport(v);
  EXPECT_EQ(v[3], 1);
  GLdouble p[16];
  projection(p);
  const double f = 1.0 / std::tan(30.0 * 3.14159265358979323846 / 180.0);
  EXPECT_NEAR(p[0], f / 640.0, 1e-9);
  for (double x : p) EXPECT_TRUE(std::isfinite(x));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
}  // namespace
