// Looks at a running game's windows from another process, for the end-to-end
// scripts (xdotool sees X windows, not Win32 ones):
//
//   wine_probe texts TITLE         the texts of the top-level window TITLE and of
//                                  its child windows (a message box's text and buttons)
//   wine_probe window TITLE        class, styles, window and client rectangles
//                                  and the cursor, for the window TITLE
//   wine_probe close-button TITLE  screen position of the window's close button
//   wine_probe screen              the screen size
//
// Prints "key value..." lines; exits 1 when the window is not there.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
HWND findTopLevel(const char* title) { return FindWindowA(nullptr, title); }

BOOL CALLBACK printChild(HWND child, LPARAM) {
  char className[64] = {};
  char text[4096] = {};
  GetClassNameA(child, className, sizeof className);
  GetWindowTextA(child, text, sizeof text);
  std::printf("child %s %s\n", className, text);
  return TRUE;
}

int texts(const char* title) {
  HWND window = findTopLevel(title);
  if (window == nullptr) return 1;
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  std::printf("title %s\n", text);
  EnumChildWindows(window, printChild, 0);
  return 0;
}

int describe(const char* title) {
  HWND window = findTopLevel(title);
  if (window == nullptr) return 1;
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  RECT rect;
  GetWindowRect(window, &rect);
  RECT client;
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  POINT cursor = {0, 0};
  GetCursorPos(&cursor);
  std::printf("class %s\n", className);
  std::printf("style 0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
  std::printf("exstyle 0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
  std::printf("rect %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  std::printf("client %ld %ld\n", client.right - client.left, client.bottom - client.top);
  std::printf("origin %ld %ld\n", origin.x, origin.y);
  std::printf("cursor %ld %ld\n", cursor.x, cursor.y);
  std::printf("visible %d\n", IsWindowVisible(window) ? 1 : 0);
  return 0;
}

DWORD_PTR hitTest(HWND window, LONG x, LONG y) {
  DWORD_PTR hit = HTNOWHERE;
  if (!SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                           &hit)) {
    return HTNOWHERE;
  }
  return hit;
}

// Scans the caption bar (its middle row, from the right) for what the window
// calls its close button and prints the button's middle.
int closeButton(const char* title) {
  HWND window = findTopLevel(title);
  if (window == nullptr) return 1;
  RECT rect;
  GetWindowRect(window, &rect);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  const LONG row = (rect.top + origin.y) / 2;
  for (LONG x = rect.right - 1; x >= rect.left; --x) {
    if (hitTest(window, x, row) != HTCLOSE) continue;
    LONG left = x;
    while (left > rect.left && hitTest(window, left - 1, row) == HTCLOSE) --left;
    const LONG middleX = (left + x) / 2;
    LONG top = row;
    while (top > rect.top && hitTest(window, middleX, top - 1) == HTCLOSE) --top;
    LONG bottom = row;
    while (bottom + 1 < origin.y && hitTest(window, middleX, bottom + 1) == HTCLOSE) ++bottom;
    std::printf("close-button %ld %ld\n", middleX, (top + bottom) / 2);
    return 0;
  }
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  // Rectangles in the screen's own pixels at any DPI, as the game (which is
  // DPI-aware) sees them.
  SetProcessDPIAware();
  if (argc == 2 && std::strcmp(argv[1], "screen") == 0) {
    std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: wine_probe texts|window|close-button TITLE | screen\n");
    return 2;
  }
  if (std::strcmp(argv[1], "texts") == 0) return texts(argv[2]);
  if (std::strcmp(argv[1], "window") == 0) return describe(argv[2]);
  if (std::strcmp(argv[1], "close-button") == 0) return closeButton(argv[2]);
  return 2;
}
