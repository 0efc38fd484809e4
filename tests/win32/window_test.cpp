// Opening and closing the game window for real (message boxes are recorded
// and answered by the test platform). Runs in the game's data folder, so the
// scene loads as it does in the game.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "app/main_loop.h"
#include "app/recording.h"
#include "app/shell.h"
#include "app/win32/screen.h"
#include "app/win32/window.h"
#include "game/state.h"
#include "gl.h"
#include "support/test_platform.h"

namespace {
class GameWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGameState();
    shell = ShellState{};
    testPlatform.clear();
    windowDpi = kDefaultDpi;
  }

  void TearDown() override {
    closeGameWindow();
    // The game registers its class once per run; each test is a run of its own.
    UnregisterClassA(kWindowClass, GetModuleHandleA(nullptr));
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // The message boxes shown so far, for failure reports.
  static std::string shownMessages() {
    std::string all;
    for (const RecordedMessage& message : testPlatform.messages) {
      all += "\n  " + message.caption + ": " + message.text;
    }
    return all;
  }

  static DWORD screenWidthNow() {
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    return mode.dmPelsWidth;
  }

  static bool screenLargerThanTheGame() {
    return GetSystemMetrics(SM_CXSCREEN) > kWindowWidth ||
           GetSystemMetrics(SM_CYSCREEN) > kWindowHeight;
  }
};

TEST(PixelFormat, AsksForDoubleBufferedRgbaWithA16BitDepthBuffer) {
  const PIXELFORMATDESCRIPTOR pfd = gamePixelFormat(16);
  EXPECT_EQ(pfd.nSize, 40);
  EXPECT_EQ(pfd.nVersion, 1);
  EXPECT_EQ(pfd.dwFlags, 0x25u);
  EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
  EXPECT_EQ(pfd.cColorBits, 16);
  EXPECT_EQ(pfd.cDepthBits, 16);
  EXPECT_EQ(pfd.iLayerType, PFD_MAIN_PLANE);
  // Everything else is left to the driver.
  PIXELFORMATDESCRIPTOR rest = pfd;
  rest.nSize = 0;
  rest.nVersion = 0;
  rest.dwFlags = 0;
  rest.iPixelType = 0;
  rest.cColorBits = 0;
  rest.cDepthBits = 0;
  rest.iLayerType = 0;
  PIXELFORMATDESCRIPTOR zero;
  std::memset(&zero, 0, sizeof zero);
  EXPECT_EQ(std::memcmp(&rest, &zero, sizeof zero), 0);
}

TEST_F(GameWindowTest, WindowedHasAnExact640x480ClientAreaAtTheTopLeft) {
  ASSERT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, false), WindowOpen::Opened)
      << shownMessages();
  EXPECT_TRUE(testPlatform.messages.empty()) << shownMessages();
  ASSERT_NE(hWnd, nullptr);
  ASSERT_NE(hDC, nullptr);
  ASSERT_NE(hRC, nullptr);
  EXPECT_EQ(hInstance, GetModuleHandleA(nullptr));

  char className[32] = {};
  GetClassNameA(hWnd, className, sizeof className);
  EXPECT_STREQ(className, "OpenGL");
  char title[64] = {};
  GetWindowTextA(hWnd, title, sizeof title);
  EXPECT_STREQ(title, "First Person Shooter");

  RECT client;
  GetClientRect(hWnd, &client);
  EXPECT_EQ(client.right - client.left, 640);
  EXPECT_EQ(client.bottom - client.top, 480);
  RECT outer;
  GetWindowRect(hWnd, &outer);
  EXPECT_EQ(outer.left, 0);
  EXPECT_EQ(outer.top, 0);

  const LONG style = GetWindowLongA(hWnd, GWL_STYLE);
  EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  EXPECT_TRUE(style & WS_CLIPSIBLINGS);
  EXPECT_TRUE(style & WS_CLIPCHILDREN);
  EXPECT_TRUE(style & WS_VISIBLE);
  const LONG exStyle = GetWindowLongA(hWnd, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);
  EXPECT_TRUE(exStyle & WS_EX_WINDOWEDGE);
  EXPECT_EQ(GetClassLongA(hWnd, GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_OWNDC);
  // The class carries the program icon (this test links the game's resources).
  EXPECT_NE(GetClassLongPtrA(hWnd, GCLP_HICON), 0);
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(hWnd, GCLP_HCURSOR)),
            LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(GetClassLongPtrA(hWnd, GCLP_HBRBACKGROUND), 0);

  // The context is current, double-buffered, with at least the asked depth.
  EXPECT_EQ(wglGetCurrentContext(), hRC);
  PIXELFORMATDESCRIPTOR granted;
  ASSERT_NE(DescribePixelFormat(hDC, GetPixelFormat(hDC), sizeof granted, &granted), 0);
  EXPECT_TRUE(granted.dwFlags & PFD_DOUBLEBUFFER);
  EXPECT_TRUE(granted.dwFlags & PFD_SUPPORT_OPENGL);
  EXPECT_GE(granted.cDepthBits, 16);

  // The projection was set for the requested size and the scene ran.
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  ASSERT_EQ(testPlatform.warps.size(), 2u);
  EXPECT_EQ(testPlatform.warps[0], std::make_pair(322, 240));
  EXPECT_EQ(testPlatform.warps[1], std::make_pair(320, 240));
}

TEST_F(GameWindowTest, CloseReleasesEverythingWithoutComplaint) {
  ASSERT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, false), WindowOpen::Opened)
      << shownMessages();
  HWND window = hWnd;
  closeGameWindow();
  EXPECT_EQ(hWnd, nullptr);
  EXPECT_EQ(hDC, nullptr);
  EXPECT_EQ(hRC, nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_TRUE(testPlatform.messages.empty()) << shownMessages();
  // A second teardown finds nothing left to release.
  closeGameWindow();
  EXPECT_TRUE(testPlatform.messages.empty());
}

TEST_F(GameWindowTest, SecondRegistrationOfTheClassIsReportedAndNothingIsBuilt) {
  ASSERT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, false), WindowOpen::Opened)
      << shownMessages();
  closeGameWindow();
  // The class outlives the window: a second open in the same run cannot register it.
  EXPECT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, false), WindowOpen::Failed);
  ASSERT_EQ(testPlatform.messages.size(), 1u);
  EXPECT_EQ(testPlatform.messages[0].text, "Failed To Register The Window Class.");
  EXPECT_EQ(testPlatform.messages[0].caption, "ERROR");
  EXPECT_EQ(testPlatform.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(hWnd, nullptr);
}

TEST_F(GameWindowTest, FailedSceneTearsTheWindowDownAndSaysSo) {
  // A folder without the game's data: the scene cannot load its model.
  char temp[MAX_PATH] = {};
  ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string empty = std::string(temp) + "shooter-no-data";
  CreateDirectoryA(empty.c_str(), nullptr);
  char previous[MAX_PATH] = {};
  ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(empty.c_str()));
  const bool opened = openGameWindow(kWindowTitle, 640, 480, 16, false) == WindowOpen::Opened;
  SetCurrentDirectoryA(previous);
  RemoveDirectoryA(empty.c_str());

  EXPECT_FALSE(opened);
  ASSERT_FALSE(testPlatform.messages.empty());
  EXPECT_EQ(testPlatform.messages.back().text, "Initialization Failed.");
  EXPECT_EQ(testPlatform.messages.back().caption, "ERROR");
  EXPECT_EQ(testPlatform.messages.back().icon, MessageIcon::Exclamation);
  EXPECT_EQ(hWnd, nullptr);
  EXPECT_EQ(hDC, nullptr);
  EXPECT_EQ(hRC, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(FindWindowA(kWindowClass, kWindowTitle), nullptr);
}

TEST_F(GameWindowTest, RefusedDisplayModeAndNoEndsTheProgram) {
  if (!screenLargerThanTheGame()) GTEST_SKIP() << "this screen accepts 640 x 480";
  testPlatform.messageAnswer = Answer::No;
  shell.switchMode = true;
  EXPECT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, true), WindowOpen::Declined);
  ASSERT_EQ(testPlatform.messages.size(), 2u);
  EXPECT_EQ(testPlatform.messages[0].caption, "Quarl GL");
  EXPECT_EQ(testPlatform.messages[1].text, "Program Will Now Close.");
  EXPECT_EQ(hWnd, nullptr);
  EXPECT_TRUE(shell.fullscreen) << "nothing was switched; the flag is left as asked";
}

TEST_F(GameWindowTest, RefusedDisplayModeAndYesRunsWindowed) {
  if (!screenLargerThanTheGame()) GTEST_SKIP() << "this screen accepts 640 x 480";
  testPlatform.messageAnswer = Answer::Yes;
  shell.switchMode = true;
  ASSERT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, true), WindowOpen::Opened)
      << shownMessages();
  ASSERT_EQ(testPlatform.messages.size(), 1u);
  EXPECT_EQ(testPlatform.messages[0].caption, "Quarl GL");
  EXPECT_FALSE(shell.fullscreen);
  EXPECT_EQ(GetWindowLongA(hWnd, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  RECT client;
  GetClientRect(hWnd, &client);
  EXPECT_EQ(client.right, 640);
  EXPECT_EQ(client.bottom, 480);
}
// Full screen is a borderless window over the whole monitor at the display's
// own mode; Alt+Enter switches to a window and back, in the same window with
// the same context, and never reaches the game.
TEST_F(GameWindowTest, FullScreenCoversTheMonitorAndAltEnterSwitchesInPlace) {
  const DWORD screenWidth = screenWidthNow();
  MONITORINFO monitor;
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor));
  const RECT screen = monitor.rcMonitor;
  ASSERT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, true), WindowOpen::Opened)
      << shownMessages();
  EXPECT_TRUE(testPlatform.messages.empty()) << shownMessages();
  const HGLRC context = hRC;
  const HWND window = hWnd;
  const uint64_t digest = gameStateDigest();
  GLint texture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
  ASSERT_NE(texture, 0) << "the scene binds a texture";

  constexpr LPARAM kAltEnter = 1 | (1 << 29);
  constexpr LPARAM kAltEnterRepeat = kAltEnter | (1 << 30);
  const struct Step {
    LPARAM press;  // 0: none (as opened)
    bool fullScreen;
  } steps[] = {{0, true},
               {kAltEnter, false},
               {kAltEnterRepeat, false},
               {kAltEnter, true},
               {kAltEnter, false}};
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << "full screen " << step.fullScreen);
    if (step.press != 0) {
      EXPECT_EQ(SendMessageA(hWnd, WM_SYSKEYDOWN, VK_RETURN, step.press), 0);
      SendMessageA(hWnd, WM_SYSKEYUP, VK_RETURN, step.press | (1L << 30) | (1L << 31));
    }
    EXPECT_EQ(shell.fullscreen, step.fullScreen);
    RECT outer;
    GetWindowRect(hWnd, &outer);
    RECT client;
    GetClientRect(hWnd, &client);
    const LONG style = GetWindowLongA(hWnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_VISIBLE);
    if (step.fullScreen) {
      EXPECT_TRUE(style & WS_POPUP);
      EXPECT_EQ(style & WS_CAPTION, 0);
      EXPECT_EQ(outer.left, screen.left);
      EXPECT_EQ(outer.top, screen.top);
      EXPECT_EQ(outer.right, screen.right);
      EXPECT_EQ(outer.bottom, screen.bottom);
    } else {
      EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
      EXPECT_EQ(client.right, scaleToDpi(640, windowDpi));
      EXPECT_EQ(client.bottom, scaleToDpi(480, windowDpi));
      EXPECT_EQ(outer.left, screen.left);
      EXPECT_EQ(outer.top, screen.top);
    }
    // Drawn at the client area's pixels, by the same context with its textures.
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], client.right);
    EXPECT_EQ(viewport[3], client.bottom);
    EXPECT_EQ(hWnd, window);
    EXPECT_EQ(wglGetCurrentContext(), context);
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(texture)));
    // The display keeps its mode; the key is the shell's alone.
    EXPECT_EQ(screenWidthNow(), screenWidth);
    EXPECT_EQ(input.KeyDown[VK_RETURN], 0);
    EXPECT_EQ(gameStateDigest(), digest);
  }
  EXPECT_TRUE(testPlatform.messages.empty()) << shownMessages();
}

// Moved to a monitor of another DPI, the window takes the rectangle Windows
// suggests and draws at its new pixels; the mouse keeps the game's units.
TEST_F(GameWindowTest, DpiChangeTakesTheSuggestedRectangle) {
  ASSERT_EQ(openGameWindow(kWindowTitle, 640, 480, 16, false), WindowOpen::Opened)
      << shownMessages();
  // Wider than 4:3, so that the view covers the whole client area, and
  // within the smallest screen the tests run on (1024 x 768).
  RECT suggested = {40, 30, 40 + 900, 30 + 600};
  SendMessageA(hWnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(windowDpi, 192u);
  RECT outer;
  GetWindowRect(hWnd, &outer);
  EXPECT_EQ(outer.left, 40);
  EXPECT_EQ(outer.top, 30);
  EXPECT_EQ(outer.right, 940);
  EXPECT_EQ(outer.bottom, 630);
  RECT client;
  GetClientRect(hWnd, &client);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], client.right);
  EXPECT_EQ(viewport[3], client.bottom);
}

TEST(DpiUnits, PixelsAndUnitsFollowTheDpi) {
  const struct Case {
    unsigned dpi;
    int units;
    int pixels;
  } cases[] = {{96, 640, 640},  {120, 640, 800}, {144, 480, 720}, {192, 640, 1280},
               {192, 480, 960}, {288, 10, 30},   {0, 370, 370},   {100000, 370, 370}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dpi << " dpi, " << c.units << " units");
    EXPECT_EQ(unitsToPixels(c.units, c.dpi), c.pixels);
    EXPECT_DOUBLE_EQ(pixelsToUnits(c.pixels, c.dpi), c.units);
    if (c.dpi >= 96 && c.dpi <= 288) {
      EXPECT_EQ(scaleToDpi(c.units, c.dpi), c.pixels);
    }
  }
}
}  // namespace
