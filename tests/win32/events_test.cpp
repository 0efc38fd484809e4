// The window procedure and the message pump: messages in, game input out.
// Messages go through a real (hidden) window whose procedure is windowProc, so
// the default handling of every message runs too.
#include <windows.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/main_loop.h"
#include "app/recording.h"
#include "app/screenshot.h"
#include "app/shell.h"
#include "app/win32/events.h"
#include "app/win32/screen.h"
#include "game/state.h"
#include "gl.h"
#include "support/gl_context.h"
#include "support/test_platform.h"

namespace {
constexpr const char* kProcTestClass = "ShooterWindowProcTest";

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      WNDCLASSA windowClass;
      std::memset(&windowClass, 0, sizeof windowClass);
      windowClass.lpfnWndProc = windowProc;
      windowClass.hInstance = GetModuleHandleA(nullptr);
      windowClass.lpszClassName = kProcTestClass;
      return RegisterClassA(&windowClass) != 0;
    }();
    ASSERT_TRUE(registered);
    // A popup without a system menu: no default handling opens a menu loop.
    window_ = CreateWindowExA(0, kProcTestClass, "proc test", WS_POPUP, 0, 0, 64, 64, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    resetGameState();
    shell = ShellState{};
    testPlatform.clear();
    windowDpi = kDefaultDpi;
  }

  void TearDown() override {
    windowDpi = kDefaultDpi;
    if (window_ != nullptr) DestroyWindow(window_);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(window_, message, wParam, lParam);
  }

  HWND window_ = nullptr;
};

// lParam of a key message: repeat count 1, plus the previous-state bit for repeats.
constexpr LPARAM kFirstPress = 1;
constexpr LPARAM kRepeat = 1 | (1 << 30);

TEST_F(WindowProcTest, KeyTableFollowsDownAndUpMessages) {
  send(WM_KEYDOWN, 'W', kFirstPress);
  EXPECT_EQ(input.KeyDown['W'], 1);
  // A held key repeats its down message; it stays down.
  send(WM_KEYDOWN, 'W', kRepeat);
  send(WM_KEYDOWN, 'W', kRepeat);
  EXPECT_EQ(input.KeyDown['W'], 1);
  send(WM_KEYDOWN, VK_LEFT, kFirstPress);
  EXPECT_EQ(input.KeyDown[VK_LEFT], 1);

  send(WM_KEYUP, 'W', static_cast<LPARAM>(0xC0000001u));
  EXPECT_EQ(input.KeyDown['W'], 0);
  EXPECT_EQ(input.KeyDown[VK_LEFT], 1) << "releasing one key leaves the others";
  send(WM_KEYUP, VK_LEFT, static_cast<LPARAM>(0xC0000001u));

  for (int key = 0; key < 256; ++key) EXPECT_EQ(input.KeyDown[key], 0) << "key " << key;
}

// F12 asks for a screenshot and is no key of the game's: nothing of it reaches
// the key table (nor a recording, which takes keys on the same way).
TEST_F(WindowProcTest, F12AsksForAScreenshotAndLeavesTheGameAlone) {
  const uint64_t before = gameStateDigest();
  send(WM_KEYDOWN, VK_F12, kRepeat);
  EXPECT_FALSE(screenshotRequested());  // a held key's repeat
  send(WM_KEYDOWN, VK_F12, kFirstPress);
  EXPECT_TRUE(screenshotRequested());
  send(WM_KEYUP, VK_F12, static_cast<LPARAM>(0xC0000001u));
  EXPECT_EQ(gameStateDigest(), before);
  takeRequestedScreenshot();  // no pictures folder here: a message
  EXPECT_FALSE(screenshotRequested());
}

TEST_F(WindowProcTest, SystemKeysAreNotRecorded) {
  // Alt held: keys arrive as system key messages and are left to the system.
  constexpr LPARAM kAltDown = 1 | (1 << 29);
  send(WM_SYSKEYDOWN, VK_MENU, kAltDown);
  send(WM_SYSKEYDOWN, 'W', kAltDown);
  send(WM_SYSKEYDOWN, VK_ESCAPE, kAltDown);
  EXPECT_EQ(input.KeyDown[VK_MENU], 0);
  EXPECT_EQ(input.KeyDown['W'], 0);
  EXPECT_EQ(input.KeyDown[VK_ESCAPE], 0);
}

TEST_F(WindowProcTest, LeftButtonRequestsAShot) {
  send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 100));
  send(WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(100, 100));
  EXPECT_EQ(input.fireRequest, 0);
  send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
  EXPECT_EQ(input.fireRequest, 1);
  // Releasing the button does not withdraw the request: the frame clears it.
  send(WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
  EXPECT_EQ(input.fireRequest, 1);
}

TEST_F(WindowProcTest, OnlyMinimisingStopsTheFrames) {
  send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
  EXPECT_FALSE(shell.active) << "minimised";
  send(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
  EXPECT_TRUE(shell.active) << "restored";
  // Switching to another application without minimising keeps the game running.
  send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  EXPECT_TRUE(shell.active);
  send(WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0);
  EXPECT_FALSE(shell.active);
}

TEST_F(WindowProcTest, ScreenSaverAndMonitorPowerOffAreRefused) {
  EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
  EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER, 2), 0);
  EXPECT_TRUE(IsWindow(window_));
}

TEST_F(WindowProcTest, MouseMoveTurnsTheView) {
  shell.lastMouseX = 200;
  shell.lastMouseY = 200;
  // 32 pixels left and 32 down: one degree of yaw, one degree of pitch (down).
  send(WM_MOUSEMOVE, 0, MAKELPARAM(168, 232));
  EXPECT_DOUBLE_EQ(input.mouseYaw, 1.0);
  EXPECT_DOUBLE_EQ(input.pitch, 1.0);
  EXPECT_EQ(shell.lastMouseX, 168.0);
  EXPECT_EQ(shell.lastMouseY, 232.0);
  EXPECT_TRUE(testPlatform.warps.empty());
}

// The client area's pixels reach the game in 96-DPI units: the same hand
// motion turns the view by the same angle at every DPI.
TEST_F(WindowProcTest, MouseMoveTurnsTheSameAngleAtEveryDpi) {
  for (const unsigned dpi : {96u, 120u, 144u, 192u}) {
    SCOPED_TRACE(testing::Message() << dpi << " dpi");
    windowDpi = dpi;
    input.mouseYaw = 0;
    input.pitch = 0;
    shell.lastMouseX = 200;
    shell.lastMouseY = 200;
    // 32 units left and 32 down, in this DPI's pixels.
    const int x = scaleToDpi(168, dpi);
    const int y = scaleToDpi(232, dpi);
    send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    EXPECT_DOUBLE_EQ(input.mouseYaw, 1.0);
    EXPECT_DOUBLE_EQ(input.pitch, 1.0);
    EXPECT_EQ(shell.lastMouseX, 168.0);
  }
  EXPECT_TRUE(testPlatform.warps.empty());
}

TEST_F(WindowProcTest, MouseCoordinatesAreUnsignedWords) {
  shell.lastMouseX = 200;
  shell.lastMouseY = 200;
  // Two pixels left of the client area: the low word reads 65534, far beyond
  // the band, so the cursor is warped to the band's left edge.
  send(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-2), 200));
  ASSERT_EQ(testPlatform.warps.size(), 1u);
  EXPECT_EQ(testPlatform.warps[0], std::make_pair(10, 200));
  EXPECT_EQ(shell.lastMouseX, 65534.0);
}

TEST_F(WindowProcTest, ThePumpTakesOneMessageAtATime) {
  MSG stray;
  while (PeekMessageA(&stray, nullptr, 0, 0, PM_REMOVE)) {
  }
  int code = -1;
  EXPECT_EQ(pumpEvent(&code), PumpResult::Empty);
  PostMessageA(window_, WM_KEYDOWN, 'W', kFirstPress);
  PostMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_EQ(pumpEvent(&code), PumpResult::Handled);
  EXPECT_EQ(input.KeyDown['W'], 1);
  EXPECT_EQ(input.fireRequest, 0) << "one message per call";
  ASSERT_EQ(pumpEvent(&code), PumpResult::Handled);
  EXPECT_EQ(input.fireRequest, 1);
}

TEST_F(WindowProcTest, ClosingPostsTheQuitMessageThePumpEndsWith) {
  PostMessageA(window_, WM_CLOSE, 0, 0);
  int code = -1;
  ASSERT_EQ(pumpEvent(&code), PumpResult::Handled);
  EXPECT_TRUE(IsWindow(window_)) << "the teardown destroys the window, not the close request";
  ASSERT_EQ(pumpEvent(&code), PumpResult::Quit);
  EXPECT_EQ(code, 0);
  PostQuitMessage(3);
  ASSERT_EQ(pumpEvent(&code), PumpResult::Quit);
  EXPECT_EQ(code, 3) << "the quit message's own code is passed on";
}

// Resizing needs a current context to act on.
class WindowSizeTest : public WindowProcTest {
 protected:
  void SetUp() override {
    WindowProcTest::SetUp();
    ASSERT_TRUE(gl_.open());
  }
  GlContext gl_;
};

TEST_F(WindowSizeTest, SizeMessageSetsViewportAndProjection) {
  send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);
  GLdouble projection[16] = {};
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  // GL keeps its matrices in single precision.
  const double focal = 1.0 / std::tan(30.0 * 3.14159265358979323846 / 180.0);
  EXPECT_NEAR(projection[5], focal, 1e-6) << "60 degrees vertical";
  EXPECT_NEAR(projection[0], focal * 480.0 / 640.0, 1e-6);
  EXPECT_NEAR(projection[10], -1251.0 / 1249.0, 1e-6) << "near 1, far 1250";
  EXPECT_NEAR(projection[14], -2500.0 / 1249.0, 1e-6);
  GLint matrixMode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
  EXPECT_EQ(matrixMode, GL_MODELVIEW);
}

TEST_F(WindowSizeTest, ZeroHeightIsTakenAsOnePixel) {
  send(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(640, 0));
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 1);
  GLdouble projection[16] = {};
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  for (double value : projection) EXPECT_TRUE(std::isfinite(value));
  EXPECT_NEAR(projection[5] / projection[0], 640.0, 1e-6) << "aspect 640 / 1";
}
}  // namespace
