// The SDL shell's part of the program: the window and its context, full
// screen at the display's own mode and Alt+Enter, the switched display mode
// and its fallback to a window, the teardown, and the event pump
// the main loop drives. Message boxes and cursor warps go to the recording
// test platform. Run on SDL's offscreen driver (every display mode is offered)
// and under X11 on a 1024x768 and a 640x480 screen (only the latter has the
// full-screen mode). The loop itself is tested once for every shell, with a
// stand-in shell (tests/gl/main_loop_test.cpp).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/main_loop.h"
#include "app/sdl/events.h"
#include "app/sdl/window.h"
#include "app/shell.h"
#include "game/state.h"
#include "gl.h"
#include "platform/platform.h"
#include "support/test_platform.h"
#include "text/font.h"

namespace {
// Whether the display offers 640 x 480 for full screen (asked once).
bool askDisplayForGameMode() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  SDL_DisplayMode wanted{};
  wanted.format = SDL_PIXELFORMAT_RGB565;
  wanted.w = 640;
  wanted.h = 480;
  SDL_DisplayMode got{};
  const bool found =
      SDL_GetClosestDisplayMode(0, &wanted, &got) != nullptr && got.w == 640 && got.h == 480;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return found;
}

bool displayHasGameMode() {
  static const bool found = askDisplayForGameMode();
  return found;
}

// The recorded message boxes, for failure reports.
std::string recordedMessages() {
  std::string all;
  for (const RecordedMessage& m : testPlatform.messages) {
    all += "[" + m.caption + "] " + m.text + "\n";
  }
  return all;
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Other tests in this program leave SDL running; start from nothing.
    SDL_Quit();
    // An X server may refuse a connection made the moment another one closed.
    SDL_Delay(50);
    reset();
  }
  void TearDown() override {
    if (gameWindow != nullptr) closeGameWindow();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "the video subsystem was left running";
    reset();
  }
  static void reset() {
    resetGameState();
    shell = ShellState{};
    testPlatform.clear();
  }
  static WindowOpen openWindowed() {
    return openGameWindow(kWindowTitle, kWindowWidth, kWindowHeight, kWindowBits, false);
  }
  static void push(Uint32 type, Uint8 windowEvent = 0) {
    SDL_Event e{};
    e.type = type;
    if (type == SDL_WINDOWEVENT) {
      e.window.event = windowEvent;
      e.window.windowID = SDL_GetWindowID(gameWindow);
    }
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  static void pushKey(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  // Takes events until the queue is empty (bounded).
  static void drainQueue() {
    int code = -1;
    for (int i = 0; i < 1000; ++i) {
      const PumpResult result = pumpEvent(&code);
      ASSERT_NE(result, PumpResult::Quit);
      if (result == PumpResult::Empty) return;
    }
    FAIL() << "the event queue never ran empty";
  }
};

TEST_F(ShellTest, TheWindowedGameHasItsTitleClientAreaContextAndProjection) {
  ASSERT_EQ(openWindowed(), WindowOpen::Opened);
  ASSERT_NE(gameWindow, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(gameWindow), "First Person Shooter");
  int w = 0, h = 0;
  SDL_GetWindowSize(gameWindow, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  const Uint32 flags = SDL_GetWindowFlags(gameWindow);
  EXPECT_TRUE(flags & SDL_WINDOW_OPENGL);
  EXPECT_TRUE(flags & SDL_WINDOW_SHOWN);
  EXPECT_FALSE(flags & SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());

  EXPECT_EQ(SDL_GL_GetCurrentContext(), gameContext);
  int doubleBuffer = 0, depth = 0;
  SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
  SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
  // The offscreen driver draws into a pbuffer, which has no back buffer.
  if (std::string(SDL_GetCurrentVideoDriver()) != "offscreen") {
    EXPECT_EQ(doubleBuffer, 1);
  }
  EXPECT_GE(depth, 16);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);
  GLdouble p[16];
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  EXPECT_NEAR(p[5], 1.7320508075688772, 1e-6);
  EXPECT_NEAR(p[0], 1.7320508075688772 * 480 / 640, 1e-6);
  // The scene start-up ran: depth test on, and the cursor placed in client coordinates.
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  ASSERT_EQ(testPlatform.warps.size(), 2u);
  EXPECT_EQ(testPlatform.warps[0], std::make_pair(322, 240));
  EXPECT_EQ(testPlatform.warps[1], std::make_pair(320, 240));

  closeGameWindow();
  EXPECT_EQ(gameWindow, nullptr);
  EXPECT_EQ(gameContext, nullptr);
  EXPECT_TRUE(testPlatform.messages.empty()) << recordedMessages();
}

TEST_F(ShellTest, FullScreenCoversTheDisplayAtItsModeAndAltEnterSwitches) {
  SDL_DisplayMode desktop{};
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  ASSERT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, true), WindowOpen::Opened);
  EXPECT_TRUE(testPlatform.messages.empty()) << recordedMessages();
  const GLuint font = fontTexture.textureName;
  struct Step {
    bool fullscreen;
    int width, height;  // the window's, in the desktop's units
  };
  const Step steps[] = {{true, desktop.w, desktop.h},
                        {false, 640, 480},
                        {true, desktop.w, desktop.h},
                        {false, 640, 480}};
  for (const Step& step : steps) {
    SDL_PumpEvents();
    drainQueue();
    EXPECT_EQ(shell.fullscreen, step.fullscreen);
    EXPECT_EQ((SDL_GetWindowFlags(gameWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                  SDL_WINDOW_FULLSCREEN_DESKTOP,
              step.fullscreen);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), step.fullscreen ? SDL_DISABLE : SDL_ENABLE);
    int w = 0, h = 0, pw = 0, ph = 0;
    SDL_GetWindowSize(gameWindow, &w, &h);
    SDL_GL_GetDrawableSize(gameWindow, &pw, &ph);
    EXPECT_EQ(w, step.width);
    EXPECT_EQ(h, step.height);
    // The frame is drawn at the drawable's pixels, with the context kept.
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], pw) << step.fullscreen;
    EXPECT_EQ(viewport[3], ph) << step.fullscreen;
    EXPECT_EQ(SDL_GL_GetCurrentContext(), gameContext);
    EXPECT_TRUE(glIsTexture(font));
    // The display's mode is never changed.
    SDL_DisplayMode now{};
    ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &now), 0);
    EXPECT_EQ(now.w, desktop.w);
    EXPECT_EQ(now.h, desktop.h);
    // Alt+Enter, caught by the shell: no key of the game's, never recorded.
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = SDL_SCANCODE_RETURN;
    e.key.keysym.sym = SDLK_RETURN;
    e.key.keysym.mod = KMOD_LALT;
    ASSERT_EQ(handleEvent(e), EventResult::Handled);
    EXPECT_EQ(input.KeyDown[0x0D], 0);
  }
  EXPECT_TRUE(testPlatform.messages.empty()) << recordedMessages();
}

TEST_F(ShellTest, SwitchedFullScreenWhereTheDisplayHasTheMode) {
  if (!displayHasGameMode()) GTEST_SKIP() << "this display has no 640 x 480 mode";
  shell.switchMode = true;
  ASSERT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, true), WindowOpen::Opened);
  EXPECT_TRUE(shell.fullscreen);
  EXPECT_TRUE(testPlatform.messages.empty()) << recordedMessages();
  EXPECT_TRUE(SDL_GetWindowFlags(gameWindow) & SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  EXPECT_FALSE(SDL_GetHintBoolean(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, SDL_TRUE));
  SDL_DisplayMode mode{};
  ASSERT_EQ(SDL_GetWindowDisplayMode(gameWindow, &mode), 0);
  EXPECT_EQ(mode.w, 640);
  EXPECT_EQ(mode.h, 480);
  closeGameWindow();
  EXPECT_TRUE(testPlatform.messages.empty()) << recordedMessages();
}

TEST_F(ShellTest, WithoutTheModeTheFallbackWindowIsNotFullScreen) {
  if (displayHasGameMode()) GTEST_SKIP() << "this display has the 640 x 480 mode";
  shell.switchMode = true;
  testPlatform.messageAnswer = Answer::Yes;
  ASSERT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, true), WindowOpen::Opened);
  ASSERT_EQ(testPlatform.messages.size(), 1u) << recordedMessages();
  EXPECT_EQ(testPlatform.messages[0].caption, "Quarl GL");
  EXPECT_FALSE(shell.fullscreen);
  EXPECT_FALSE(SDL_GetWindowFlags(gameWindow) & SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  int w = 0, h = 0;
  SDL_GetWindowSize(gameWindow, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

TEST_F(ShellTest, WithoutTheModeNoToTheFallbackClosesTheProgram) {
  if (displayHasGameMode()) GTEST_SKIP() << "this display has the 640 x 480 mode";
  shell.switchMode = true;
  testPlatform.messageAnswer = Answer::No;
  EXPECT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, true), WindowOpen::Declined);
  ASSERT_EQ(testPlatform.messages.size(), 2u) << recordedMessages();
  EXPECT_EQ(testPlatform.messages[0].caption, "Quarl GL");
  EXPECT_EQ(testPlatform.messages[1].text, "Program Will Now Close.");
  EXPECT_EQ(testPlatform.messages[1].caption, "ERROR");
  EXPECT_EQ(testPlatform.messages[1].icon, MessageIcon::Stop);
  EXPECT_EQ(gameWindow, nullptr);
  EXPECT_TRUE(testPlatform.warps.empty());  // the scene never started
}

TEST_F(ShellTest, AFailedSceneStartIsReportedAndCleanedUp) {
  // No data files in an empty folder.
  char folder[] = "/tmp/shooter-empty-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  char* previous = getcwd(nullptr, 0);
  ASSERT_NE(previous, nullptr);
  ASSERT_EQ(chdir(folder), 0);
  const WindowOpen opened = openWindowed();
  if (opened == WindowOpen::Opened) closeGameWindow();
  EXPECT_EQ(chdir(previous), 0);
  std::free(previous);
  rmdir(folder);
  EXPECT_EQ(opened, WindowOpen::Failed);
  ASSERT_FALSE(testPlatform.messages.empty());
  EXPECT_EQ(testPlatform.messages.back().text, "Initialization Failed.");
  EXPECT_EQ(testPlatform.messages.back().caption, "ERROR");
  EXPECT_EQ(testPlatform.messages.back().icon, MessageIcon::Exclamation);
  EXPECT_EQ(gameWindow, nullptr);
  EXPECT_EQ(gameContext, nullptr);
}

TEST_F(ShellTest, ThePumpTakesOneEventAtATimeAndTurnsItIntoInput) {
  ASSERT_EQ(openWindowed(), WindowOpen::Opened);
  drainQueue();
  int code = -1;
  EXPECT_EQ(pumpEvent(&code), PumpResult::Empty);
  pushKey(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_w);
  push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED);
  ASSERT_EQ(pumpEvent(&code), PumpResult::Handled);
  EXPECT_EQ(input.KeyDown[vk::W], 1);
  EXPECT_TRUE(shell.active) << "one event per call";
  ASSERT_EQ(pumpEvent(&code), PumpResult::Handled);
  EXPECT_FALSE(shell.active);
  // SDL polls in cycles: finish this one before pushing the next event.
  drainQueue();
  push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_RESTORED);
  drainQueue();
  EXPECT_TRUE(shell.active);
}

TEST_F(ShellTest, ClosingTheWindowIsTheQuitRequest) {
  ASSERT_EQ(openWindowed(), WindowOpen::Opened);
  drainQueue();
  push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE);
  int code = -1;
  EXPECT_EQ(pumpEvent(&code), PumpResult::Quit);
  EXPECT_EQ(code, kExitNormal);
  // SDL polls in cycles: finish this one before pushing the next event.
  drainQueue();
  push(SDL_QUIT);
  code = -1;
  EXPECT_EQ(pumpEvent(&code), PumpResult::Quit);
  EXPECT_EQ(code, kExitNormal);
}
}  // namespace
