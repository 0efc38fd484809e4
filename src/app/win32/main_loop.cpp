// The start question and the main loop: one message per pass; when the queue
// is empty, one frame, presented and held to the frame pacer's rate.
#include "platform/pacer.h"
#include "platform/platform.h"
#include "app/shell.h"
#include "app/win32/game_window.h"
#include "game/frame.h"
#include "game/state.h"

void (*framePresented)() = nullptr;

bool askFullScreen() {
  const int answer =
      platformMessageBox("Would You Like To Run In Fullscreen Mode(Support Mouse Movement)?",
                         "Start FullScreen?", MB_YESNO | MB_ICONQUESTION);
  // Escape cancels the box on some systems: treat that, like No, as the
  // choice that leaves the display alone.
  return answer == IDYES;
}

int runMainLoop() {
  FramePacer pacer;
  MSG msg;
  bool done = false;
  int exitCode = 0;
  while (!done) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        done = true;
        exitCode = static_cast<int>(msg.wParam);
      } else {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      continue;
    }
    if (shell.active && !runFrame()) {
      done = true;
      continue;
    }
    // Escape ends the game also while the window is minimised.
    if (input.KeyDown[vk::Escape] != 0) {
      done = true;
      continue;
    }
    SwapBuffers(hDC);
    pacer.wait();
    if (framePresented != nullptr) framePresented();
    keyboardStep();
  }
  return exitCode;
}
