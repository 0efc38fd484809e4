// The main loop and the program's start and end, the same for every shell:
// driven here through a stand-in shell whose event queue, window and
// presentation are scripted, with the real frame on a GL context.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "app/main_loop.h"
#include "app/shell.h"
#include "game/state.h"
#include "support/game_scene.h"
#include "support/gl_context.h"
#include "support/test_platform.h"

namespace {
// The stand-in shell: what the loop asked of it.
struct StandInShell {
  std::deque<std::function<void()>> queue;  // waiting events, each a window-procedure action
  bool quitQueued = false;                  // after the queue: the quit request
  int quitCode = 0;
  int presents = 0;
  double zmoveAtPresent = 0;  // player.zmove when the last frame was presented
  // openGameWindow
  int opens = 0;
  int closes = 0;
  bool openedFullscreen = false;
  bool displayRefusesFullscreen = false;
  bool sceneFails = false;
};
StandInShell standIn;
}  // namespace

PumpResult pumpEvent(int* quitCode) {
  if (!standIn.queue.empty()) {
    const std::function<void()> event = standIn.queue.front();
    standIn.queue.pop_front();
    event();
    return PumpResult::Handled;
  }
  if (standIn.quitQueued) {
    standIn.quitQueued = false;
    *quitCode = standIn.quitCode;
    return PumpResult::Quit;
  }
  return PumpResult::Empty;
}

void presentFrame() {
  ++standIn.presents;
  standIn.zmoveAtPresent = player.zmove;
}

WindowOpen openGameWindow(const char* title, int width, int height, int bits, bool fullscreenFlag) {
  ++standIn.opens;
  EXPECT_STREQ(title, "First Person Shooter");
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  EXPECT_EQ(bits, 16);
  shell.fullscreen = fullscreenFlag;
  standIn.openedFullscreen = fullscreenFlag;
  if (fullscreenFlag && standIn.displayRefusesFullscreen) {
    if (!askWindowedFallback()) return WindowOpen::Declined;
    shell.fullscreen = false;
  }
  if (standIn.sceneFails) {
    closeGameWindow();
    showStartError(StartError::Scene);
    return WindowOpen::Failed;
  }
  return WindowOpen::Opened;
}

void closeGameWindow() { ++standIn.closes; }

namespace {
const char* const kStartQuestion =
    "Would You Like To Run In Fullscreen Mode(Support Mouse Movement)?";

class MainLoopTest : public scene::GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();  // the game's own path, the layer
    if (HasFatalFailure()) return;
    resetGameState();
    shell = ShellState{};
    loopCounters = LoopCounters{};
    standIn = StandInShell{};
  }
  void TearDown() override {
    resetGameState();
    shell = ShellState{};
    GlTest::TearDown();
  }
  static void queueKeyDown(int key) {
    standIn.queue.push_back([key] { keyDown(key); });
  }
  // The message boxes shown so far, for failure reports.
  static std::string shown() {
    std::string all;
    for (const RecordedMessage& m : testPlatform.messages)
      all += "\n  " + m.caption + ": " + m.text;
    return all;
  }
};

TEST_F(MainLoopTest, OneEventPerPassAndNoFrameWhileEventsWait) {
  queueKeyDown(vk::W);
  standIn.queue.push_back([] { fireButton(); });
  for (int pass = 1; pass <= 2; ++pass) {
    ASSERT_TRUE(loopPass(nullptr));
    EXPECT_EQ(loopCounters.events, static_cast<uint64_t>(pass));
    EXPECT_EQ(loopCounters.frames, 0u);
    EXPECT_EQ(standIn.presents, 0);
  }
  // The queue is empty: one frame sees both events, then the keyboard step
  // follows the presented frame (heading 0 walks along -z).
  ASSERT_TRUE(loopPass(nullptr));
  EXPECT_EQ(loopCounters.frames, 1u);
  EXPECT_EQ(loopCounters.swaps, 1u);
  EXPECT_EQ(standIn.presents, 1);
  EXPECT_EQ(input.fireRequest, 0) << "the frame fired";
  EXPECT_EQ(standIn.zmoveAtPresent, 0.0) << "the keyboard step runs after presenting";
  EXPECT_DOUBLE_EQ(player.zmove, -10.0);
  // The next frame moves the player with that impulse.
  ASSERT_TRUE(loopPass(nullptr));
  EXPECT_LT(player.ztrans2, 1752.0);
  EXPECT_EQ(loopCounters.passes, 4u);
}

TEST_F(MainLoopTest, WhileMinimisedFramesStopButBuffersSwapAndKeysStillWalk) {
  standIn.queue.push_back([] { shell.active = false; });
  queueKeyDown(vk::W);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(loopPass(nullptr));
  EXPECT_EQ(loopCounters.frames, 0u);
  EXPECT_EQ(standIn.presents, 3);
  EXPECT_DOUBLE_EQ(player.zmove, -30.0) << "three impulses and no damping: no frame ran";
  EXPECT_DOUBLE_EQ(player.ztrans2, 1752.0);

  standIn.queue.push_back([] { shell.active = true; });
  ASSERT_TRUE(loopPass(nullptr));
  ASSERT_TRUE(loopPass(nullptr));
  EXPECT_EQ(loopCounters.frames, 1u) << "restoring resumes the frames";
  EXPECT_LT(player.ztrans2, 1752.0);
}

TEST_F(MainLoopTest, EscapeEndsTheLoopBeforePresentingAlsoWhileMinimised) {
  for (bool active : {true, false}) {
    loopCounters = LoopCounters{};
    standIn = StandInShell{};
    shell.active = active;
    queueKeyDown(vk::Escape);
    ASSERT_TRUE(loopPass(nullptr));
    EXPECT_FALSE(loopPass(nullptr)) << "active " << active;
    EXPECT_EQ(loopCounters.frames, active ? 1u : 0u);
    EXPECT_EQ(standIn.presents, 0);
    EXPECT_EQ(endGame(), kExitNormal) << "Escape is a normal end";
    EXPECT_EQ(standIn.closes, 1);
    keyUp(vk::Escape);
  }
}

TEST_F(MainLoopTest, TheQuitRequestEndsTheLoopWithItsCode) {
  standIn.quitQueued = true;
  EXPECT_FALSE(loopPass(nullptr));
  EXPECT_EQ(loopCounters.events, 1u);
  EXPECT_EQ(loopCounters.frames, 0u);
  EXPECT_EQ(endGame(), 0) << "closing the window";

  standIn.quitQueued = true;
  standIn.quitCode = 3;
  EXPECT_FALSE(loopPass(nullptr));
  EXPECT_EQ(endGame(), 3) << "a quit request's own code is passed on";
  EXPECT_EQ(standIn.closes, 2);
}

TEST_F(MainLoopTest, TheStartQuestionAndAGameEndedByClosingTheWindow) {
  testPlatform.messageAnswer = Answer::No;
  standIn.quitQueued = true;
  EXPECT_EQ(runGame(), kExitNormal);
  ASSERT_EQ(testPlatform.messages.size(), 1u) << shown();
  EXPECT_EQ(testPlatform.messages[0].text, kStartQuestion);
  EXPECT_EQ(testPlatform.messages[0].caption, "Start FullScreen?");
  EXPECT_EQ(testPlatform.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(testPlatform.messages[0].icon, MessageIcon::Question);
  EXPECT_EQ(standIn.opens, 1);
  EXPECT_FALSE(standIn.openedFullscreen);
  EXPECT_EQ(standIn.closes, 1);
}

TEST_F(MainLoopTest, OnlyYesToTheStartQuestionRunsFullScreen) {
  for (Answer answer : {Answer::Yes, Answer::No, Answer::Cancel, Answer::Ok}) {
    testPlatform.clear();
    standIn = StandInShell{};
    testPlatform.messageAnswer = answer;
    int code = -1;
    ASSERT_TRUE(startGame(&code));
    EXPECT_EQ(standIn.openedFullscreen, answer == Answer::Yes) << static_cast<int>(answer);
  }
}

TEST_F(MainLoopTest, TheCommandLineAnswersTheStartQuestionInAdvance) {
  struct Case {
    ScreenRequest request;
    bool fullscreen;
    size_t questions;
  };
  const Case cases[] = {{ScreenRequest::Ask, true, 1},
                        {ScreenRequest::FullScreen, true, 0},
                        {ScreenRequest::Window, false, 0}};
  for (const Case& c : cases) {
    testPlatform.clear();
    standIn = StandInShell{};
    shell = ShellState{};
    shell.screenRequest = c.request;
    testPlatform.messageAnswer = Answer::Yes;
    int code = -1;
    ASSERT_TRUE(startGame(&code));
    EXPECT_EQ(standIn.openedFullscreen, c.fullscreen) << static_cast<int>(c.request);
    EXPECT_EQ(testPlatform.messages.size(), c.questions) << shown();
  }
}

TEST_F(MainLoopTest, TheWindowedFallbackQuestion) {
  standIn.displayRefusesFullscreen = true;
  testPlatform.messageAnswer = Answer::Yes;
  int code = -1;
  ASSERT_TRUE(startGame(&code));
  EXPECT_FALSE(shell.fullscreen);
  ASSERT_EQ(testPlatform.messages.size(), 2u) << shown();
  EXPECT_EQ(testPlatform.messages[1].text,
            "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed "
            "Mode Instead?");
  EXPECT_EQ(testPlatform.messages[1].caption, "Quarl GL");
  EXPECT_EQ(testPlatform.messages[1].buttons, MessageButtons::YesNo);
  EXPECT_EQ(testPlatform.messages[1].icon, MessageIcon::Exclamation);

  // No (and a cancelled box) closes the program: a normal end, as chosen.
  for (Answer answer : {Answer::No, Answer::Cancel}) {
    testPlatform.clear();
    testPlatform.messageAnswer = answer;
    EXPECT_FALSE(askWindowedFallback());
    ASSERT_EQ(testPlatform.messages.size(), 2u) << shown();
    EXPECT_EQ(testPlatform.messages[1].text, "Program Will Now Close.");
    EXPECT_EQ(testPlatform.messages[1].caption, "ERROR");
    EXPECT_EQ(testPlatform.messages[1].buttons, MessageButtons::Ok);
    EXPECT_EQ(testPlatform.messages[1].icon, MessageIcon::Stop);
  }
}

TEST_F(MainLoopTest, AFailedStartEndsWithAFailureCodeDecliningTheFallbackDoesNot) {
  standIn.sceneFails = true;
  EXPECT_EQ(runGame(), kExitStartFailed);
  EXPECT_EQ(testPlatform.messages.back().text, "Initialization Failed.");
  EXPECT_EQ(standIn.closes, 1) << "the shell's own teardown, no second one";
  EXPECT_EQ(loopCounters.passes, 0u);

  // Yes to the start question, No to the fallback: the player's choice.
  standIn = StandInShell{};
  testPlatform.clear();
  standIn.displayRefusesFullscreen = true;
  testPlatform.answers = {Answer::Yes, Answer::No};
  EXPECT_EQ(runGame(), kExitNormal);
  ASSERT_EQ(testPlatform.messages.size(), 3u) << shown();
  EXPECT_EQ(testPlatform.messages[2].text, "Program Will Now Close.");
  EXPECT_EQ(loopCounters.passes, 0u);

  // A failure after a declined fallback in an earlier run is still a failure.
  standIn = StandInShell{};
  standIn.sceneFails = true;
  testPlatform.messageAnswer = Answer::No;
  EXPECT_EQ(runGame(), kExitStartFailed);
}

TEST_F(MainLoopTest, EveryWindowMessageHasItsTextAndCaption) {
  const std::pair<StartError, const char*> start[] = {
      {StartError::WindowSystem, "Failed To Register The Window Class."},
      {StartError::Window, "Window Creation Error."},
      {StartError::DrawingSurface, "Can't Create A GL Device Context."},
      {StartError::ChooseFormat, "Can't Find A Suitable PixelFormat."},
      {StartError::SetFormat, "Can't Set The PixelFormat."},
      {StartError::CreateContext, "Can't Create A GL Rendering Context."},
      {StartError::ActivateContext, "Can't Activate The GL Rendering Context."},
      {StartError::Scene, "Initialization Failed."},
  };
  for (const auto& [error, text] : start) {
    testPlatform.clear();
    showStartError(error);
    ASSERT_EQ(testPlatform.messages.size(), 1u);
    EXPECT_EQ(testPlatform.messages[0].text, text);
    EXPECT_EQ(testPlatform.messages[0].caption, "ERROR");
    EXPECT_EQ(testPlatform.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(testPlatform.messages[0].icon, MessageIcon::Exclamation);
  }
  const std::pair<ShutdownError, const char*> shutdown[] = {
      {ShutdownError::ReleaseCurrent, "Release Of DC And RC Failed."},
      {ShutdownError::DeleteContext, "Release Rendering Context Failed."},
      {ShutdownError::ReleaseDeviceContext, "Release Device Context Failed."},
      {ShutdownError::DestroyWindow, "Could Not Release hWnd."},
  };
  for (const auto& [error, text] : shutdown) {
    testPlatform.clear();
    showShutdownError(error);
    ASSERT_EQ(testPlatform.messages.size(), 1u);
    EXPECT_EQ(testPlatform.messages[0].text, text);
    EXPECT_EQ(testPlatform.messages[0].caption, "SHUTDOWN ERROR");
    EXPECT_EQ(testPlatform.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(testPlatform.messages[0].icon, MessageIcon::Information);
  }
}

TEST_F(MainLoopTest, PresentedFramesAreHeldToSixtyPerSecond) {
  // Only a lower bound: a slow machine takes longer, never shorter.
  FramePacer pacer;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 13; ++i) ASSERT_TRUE(loopPass(&pacer));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(standIn.presents, 13);
  // The first frame only starts the pacer's clock; each other waits a 60th.
  EXPECT_GE(seconds, 12.0 / 60.0 - 0.002);
}
}  // namespace
