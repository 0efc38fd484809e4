// The main loop on a real message queue and GL context: how it ends, what
// it returns, and what runs while the window is minimised.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstring>

#include "app/shell.h"
#include "app/win32/game_window.h"
#include "game/state.h"
#include "support/gl_context.h"
#include "support/test_platform.h"

namespace {
constexpr const char* kLoopTestClass = "ShooterMainLoopTest";

// What the frame hook sees, and when it stops the loop.
int presentedFrames = 0;
int stopAfterFrames = 0;

void countFrame() {
  ++presentedFrames;
  if (presentedFrames == stopAfterFrames) PostQuitMessage(0);
}

class MainLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      WNDCLASSA windowClass;
      std::memset(&windowClass, 0, sizeof windowClass);
      windowClass.lpfnWndProc = windowProc;
      windowClass.hInstance = GetModuleHandleA(nullptr);
      windowClass.lpszClassName = kLoopTestClass;
      return RegisterClassA(&windowClass) != 0;
    }();
    ASSERT_TRUE(registered);
    ASSERT_TRUE(gl_.open());
    window_ = CreateWindowExA(0, kLoopTestClass, "loop test", WS_POPUP, 0, 0, 64, 64, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    resetGameState();
    shell = ShellState{};
    testPlatform.clear();
    presentedFrames = 0;
    stopAfterFrames = 0;
    framePresented = countFrame;
  }

  void TearDown() override {
    framePresented = nullptr;
    if (window_ != nullptr) DestroyWindow(window_);
  }

  GlContext gl_;
  HWND window_ = nullptr;
};

TEST_F(MainLoopTest, EscapeEndsWithExitCodeZero) {
  // The last message taken is the Escape key's own (wParam 0x1B): the exit
  // code is still 0.
  PostMessageA(window_, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(runMainLoop(), 0);
  EXPECT_EQ(presentedFrames, 0) << "the pass that sees Escape presents nothing";
}

TEST_F(MainLoopTest, EscapeEndsAlsoWhileMinimised) {
  shell.active = false;
  PostMessageA(window_, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(runMainLoop(), 0);
}

TEST_F(MainLoopTest, CloseRequestEndsWithTheQuitCode) {
  PostMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(runMainLoop(), 0);
  EXPECT_TRUE(IsWindow(window_));
  PostQuitMessage(3);
  EXPECT_EQ(runMainLoop(), 3) << "the quit message's own code is passed on";
}

TEST_F(MainLoopTest, MessagesAreHandledBeforeAnyFrame) {
  // Queued messages come first, one per pass; the first frame sees them all.
  PostMessageA(window_, WM_KEYDOWN, 'W', 1);
  PostMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  stopAfterFrames = 1;
  EXPECT_EQ(runMainLoop(), 0);
  EXPECT_EQ(presentedFrames, 1);
  EXPECT_EQ(input.KeyDown['W'], 1);
  // The keyboard step after the frame added the walking impulse (heading 0: -z).
  EXPECT_DOUBLE_EQ(player.zmove, -10.0);
}

TEST_F(MainLoopTest, WhileMinimisedFramesStopButKeysStillAddImpulses) {
  shell.active = false;
  input.KeyDown['W'] = 1;
  stopAfterFrames = 3;
  EXPECT_EQ(runMainLoop(), 0);
  EXPECT_EQ(presentedFrames, 3) << "the buffers are still swapped";
  EXPECT_DOUBLE_EQ(player.zmove, -30.0) << "three impulses, no damping: no frame ran";
  EXPECT_DOUBLE_EQ(player.ztrans2, 1752.0);
}

TEST_F(MainLoopTest, FramesMoveThePlayerWhileActive) {
  input.KeyDown['W'] = 1;
  stopAfterFrames = 5;
  EXPECT_EQ(runMainLoop(), 0);
  EXPECT_LT(player.ztrans2, 1752.0);
}

TEST_F(MainLoopTest, PresentedFramesAreHeldToSixtyPerSecond) {
  // Only a lower bound: a slow machine takes longer, never shorter.
  stopAfterFrames = 13;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(runMainLoop(), 0);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The first frame is not held; each of the other twelve waits a 60th of a second.
  EXPECT_GE(seconds, 12.0 / 60.0 - 0.01);
}
}  // namespace
