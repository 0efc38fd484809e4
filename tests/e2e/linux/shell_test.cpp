// The SDL shell as a whole: the full-screen question, the window and its
// context, the fallback question, the main loop and the teardown. Message
// boxes and cursor warps go to the recording test platform. Run on SDL's
// offscreen driver (every display mode is offered) and under X11 on a
// 1024x768 and a 640x480 screen (only the latter has the full-screen mode).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "app/sdl/loop.h"
#include "app/sdl/window.h"
#include "app/shell.h"
#include "game/state.h"
#include "gl.h"
#include "support/test_platform.h"

namespace {
const char* const kStartText = "Would You Like To Run In Fullscreen Mode(Support Mouse Movement)?";
const char* const kFallbackText =
    "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode "
    "Instead?";

// Whether the display offers 640 x 480 for full screen (asked once).
bool askDisplayForGameMode() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  SDL_DisplayMode wanted{};
  wanted.format = SDL_PIXELFORMAT_RGB565;
  wanted.w = 640;
  wanted.h = 480;
  SDL_DisplayMode got{};
  const bool found = SDL_GetClosestDisplayMode(0, &wanted, &got) != nullptr && got.w == 640 &&
                     got.h == 480;
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
    loopCounters = LoopCounters{};
  }
  static bool openWindowed() {
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
  // Runs passes until one finds the queue empty (bounded).
  static void drainQueue(FramePacer* pacer) {
    for (int i = 0; i < 1000; ++i) {
      const uint64_t events = loopCounters.events;
      ASSERT_TRUE(mainLoopPass(pacer));
      if (loopCounters.events == events) return;
    }
    FAIL() << "the event queue never ran empty";
  }
};

TEST_F(ShellTest, TheStartQuestionAndAWindowedGameEndedByEscape) {
  testPlatform.messageAnswer = kIdNo;
  input.KeyDown[vk::Escape] = 1;  // held from the start: the first empty pass ends it
  EXPECT_EQ(runShooter(), 0);
  ASSERT_EQ(testPlatform.messages.size(), 1u) << recordedMessages();
  EXPECT_EQ(testPlatform.messages[0].text, kStartText);
  EXPECT_EQ(testPlatform.messages[0].caption, "Start FullScreen?");
  EXPECT_EQ(testPlatform.messages[0].flags, kMbYesNo | kMbIconQuestion);
  EXPECT_FALSE(shell.fullscreen);
  EXPECT_EQ(gameWindow, nullptr);
  EXPECT_EQ(gameContext, nullptr);
  EXPECT_EQ(loopCounters.frames, 1u);
  EXPECT_EQ(loopCounters.swaps, 0u);
}

TEST_F(ShellTest, TheWindowedGameHasItsTitleClientAreaContextAndProjection) {
  ASSERT_TRUE(openWindowed());
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

TEST_F(ShellTest, FullScreenWhereTheDisplayHasTheMode) {
  if (!displayHasGameMode()) GTEST_SKIP() << "this display has no 640 x 480 mode";
  ASSERT_TRUE(openGameWindow(kWindowTitle, 640, 480, 16, true));
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

TEST_F(ShellTest, WithoutTheModeYesToTheFallbackRunsWindowed) {
  if (displayHasGameMode()) GTEST_SKIP() << "this display has the 640 x 480 mode";
  testPlatform.messageAnswer = kIdYes;
  input.KeyDown[vk::Escape] = 1;
  EXPECT_EQ(runShooter(), 0);
  ASSERT_EQ(testPlatform.messages.size(), 2u) << recordedMessages();
  EXPECT_EQ(testPlatform.messages[0].caption, "Start FullScreen?");
  EXPECT_EQ(testPlatform.messages[1].text, kFallbackText);
  EXPECT_EQ(testPlatform.messages[1].caption, "Quarl GL");
  EXPECT_EQ(testPlatform.messages[1].flags, kMbYesNo | kMbIconExclamation);
  EXPECT_FALSE(shell.fullscreen);
  EXPECT_EQ(loopCounters.frames, 1u);
}

TEST_F(ShellTest, WithoutTheModeTheFallbackWindowIsNotFullScreen) {
  if (displayHasGameMode()) GTEST_SKIP() << "this display has the 640 x 480 mode";
  testPlatform.messageAnswer = kIdYes;
  ASSERT_TRUE(openGameWindow(kWindowTitle, 640, 480, 16, true));
  EXPECT_FALSE(SDL_GetWindowFlags(gameWindow) & SDL_WINDOW_FULLSCREEN);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  int w = 0, h = 0;
  SDL_GetWindowSize(gameWindow, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

TEST_F(ShellTest, WithoutTheModeNoToTheFallbackClosesTheProgram) {
  if (displayHasGameMode()) GTEST_SKIP() << "this display has the 640 x 480 mode";
  testPlatform.messageAnswer = kIdNo;
  EXPECT_FALSE(openGameWindow(kWindowTitle, 640, 480, 16, true));
  ASSERT_EQ(testPlatform.messages.size(), 2u) << recordedMessages();
  EXPECT_EQ(testPlatform.messages[0].caption, "Quarl GL");
  EXPECT_EQ(testPlatform.messages[1].text, "Program Will Now Close.");
  EXPECT_EQ(testPlatform.messages[1].caption, "ERROR");
  EXPECT_EQ(testPlatform.messages[1].flags, kMbOk | kMbIconStop);
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
  const bool opened = openWindowed();
  if (opened) closeGameWindow();
  EXPECT_EQ(chdir(previous), 0);
  std::free(previous);
  rmdir(folder);
  if (opened) GTEST_SKIP() << "the scene start-up loads no files yet";
  ASSERT_FALSE(testPlatform.messages.empty());
  EXPECT_EQ(testPlatform.messages.back().text, "Initialization Failed.");
  EXPECT_EQ(testPlatform.messages.back().caption, "ERROR");
  EXPECT_EQ(testPlatform.messages.back().flags, kMbOk | kMbIconExclamation);
  EXPECT_EQ(gameWindow, nullptr);
  EXPECT_EQ(gameContext, nullptr);
}

TEST_F(ShellTest, OneEventPerPassAndFramesOnlyWithAnEmptyQueue) {
  ASSERT_TRUE(openWindowed());
  FramePacer pacer;
  drainQueue(&pacer);
  const LoopCounters before = loopCounters;
  for (int i = 0; i < 3; ++i) push(SDL_USEREVENT);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(mainLoopPass(&pacer));
    EXPECT_EQ(loopCounters.events, before.events + static_cast<uint64_t>(i) + 1);
    EXPECT_EQ(loopCounters.frames, before.frames);
    EXPECT_EQ(loopCounters.swaps, before.swaps);
  }
  ASSERT_TRUE(mainLoopPass(&pacer));
  EXPECT_EQ(loopCounters.events, before.events + 3);
  EXPECT_EQ(loopCounters.frames, before.frames + 1);
  EXPECT_EQ(loopCounters.swaps, before.swaps + 1);
}

TEST_F(ShellTest, WhileMinimisedNoFrameRunsButTheKeyboardStillWalks) {
  ASSERT_TRUE(openWindowed());
  FramePacer pacer;
  drainQueue(&pacer);
  push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED);
  pushKey(SDL_KEYDOWN, SDL_SCANCODE_W, SDLK_w);
  ASSERT_TRUE(mainLoopPass(&pacer));
  ASSERT_TRUE(mainLoopPass(&pacer));
  EXPECT_FALSE(shell.active);
  EXPECT_EQ(input.KeyDown[vk::W], 1);

  const LoopCounters before = loopCounters;
  const double zBefore = player.zmove;
  ASSERT_TRUE(mainLoopPass(&pacer));
  EXPECT_EQ(loopCounters.frames, before.frames);  // no frame
  EXPECT_EQ(loopCounters.swaps, before.swaps + 1);  // but a swap
  // and the keyboard step (mouse motion on a real display may have turned the view)
  EXPECT_NEAR(player.zmove, zBefore - 10 * std::cos(view.heading * kDegToRad), 1e-9);

  // Escape ends the loop also while minimised.
  pushKey(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  ASSERT_TRUE(mainLoopPass(&pacer));
  EXPECT_FALSE(mainLoopPass(&pacer));
  EXPECT_EQ(loopCounters.frames, before.frames);
  EXPECT_EQ(loopCounters.swaps, before.swaps + 1);
}

TEST_F(ShellTest, RestoringResumesFrames) {
  ASSERT_TRUE(openWindowed());
  FramePacer pacer;
  push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED);
  drainQueue(&pacer);
  EXPECT_FALSE(shell.active);
  push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_RESTORED);
  drainQueue(&pacer);
  EXPECT_TRUE(shell.active);
  const uint64_t frames = loopCounters.frames;
  ASSERT_TRUE(mainLoopPass(&pacer));
  EXPECT_EQ(loopCounters.frames, frames + 1);
}

TEST_F(ShellTest, ClosingTheWindowEndsTheLoop) {
  ASSERT_TRUE(openWindowed());
  FramePacer pacer;
  drainQueue(&pacer);
  push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE);
  EXPECT_FALSE(mainLoopPass(&pacer));
  // SDL polls in cycles: finish this one before pushing the next event.
  drainQueue(&pacer);
  push(SDL_QUIT);
  EXPECT_FALSE(mainLoopPass(&pacer));
}

TEST_F(ShellTest, TheLoopPresentsAtMostSixtyFramesPerSecond) {
  ASSERT_TRUE(openWindowed());
  FramePacer pacer;
  drainQueue(&pacer);
  const uint64_t swaps = loopCounters.swaps;
  const Uint64 start = SDL_GetPerformanceCounter();
  int frames = 0;
  while (frames < 31) {
    const uint64_t events = loopCounters.events;
    ASSERT_TRUE(mainLoopPass(&pacer));
    if (loopCounters.events == events) ++frames;
  }
  const double seconds = static_cast<double>(SDL_GetPerformanceCounter() - start) /
                         static_cast<double>(SDL_GetPerformanceFrequency());
  EXPECT_EQ(loopCounters.swaps, swaps + 31);
  // The first presented frame only starts the pacer's clock.
  EXPECT_GE(seconds, 30 / 60.0 - 0.002);
}
}  // namespace
