// The portable main loop, the start and end of the program, and every text the
// shells show in their message boxes.
#include "app/main_loop.h"

#include "app/recording.h"
#include "app/screenshot.h"
#include "app/shell.h"
#include "game/frame.h"
#include "game/state.h"
#include "platform/platform.h"

LoopCounters loopCounters;

namespace {
constexpr const char* kErrorCaption = "ERROR";
constexpr const char* kShutdownCaption = "SHUTDOWN ERROR";

// How the current run ends; set by loopPass.
int exitCode = kExitNormal;

// The start question, unless the command line answered it. Only Yes runs
// full screen: No, a cancelled box (Escape under some systems) or one that
// could not be shown leave the display alone.
bool askFullScreen() {
  if (shell.screenRequest != ScreenRequest::Ask) {
    return shell.screenRequest == ScreenRequest::FullScreen;
  }
  return platformMessageBox(kFullScreenQuestion, kFullScreenCaption, MessageButtons::YesNo,
                            MessageIcon::Question) == Answer::Yes;
}
}  // namespace

bool askWindowedFallback() {
  if (platformMessageBox("The Requested Fullscreen Mode Is Not Supported By\n"
                         "Your Video Card. Use Windowed Mode Instead?",
                         "Quarl GL", MessageButtons::YesNo,
                         MessageIcon::Exclamation) == Answer::Yes) {
    return true;
  }
  platformMessageBox("Program Will Now Close.", kErrorCaption, MessageButtons::Ok,
                     MessageIcon::Stop);
  return false;
}

void showStartError(StartError error) {
  const char* text = "Initialization Failed.";
  switch (error) {
    case StartError::WindowSystem: text = "Failed To Register The Window Class."; break;
    case StartError::Window: text = "Window Creation Error."; break;
    case StartError::DrawingSurface: text = "Can't Create A GL Device Context."; break;
    case StartError::ChooseFormat: text = "Can't Find A Suitable PixelFormat."; break;
    case StartError::SetFormat: text = "Can't Set The PixelFormat."; break;
    case StartError::CreateContext: text = "Can't Create A GL Rendering Context."; break;
    case StartError::ActivateContext: text = "Can't Activate The GL Rendering Context."; break;
    case StartError::Scene: text = "Initialization Failed."; break;
  }
  platformMessageBox(text, kErrorCaption, MessageButtons::Ok, MessageIcon::Exclamation);
}

void showShutdownError(ShutdownError error) {
  const char* text = "Could Not Release hWnd.";
  switch (error) {
    case ShutdownError::ReleaseCurrent: text = "Release Of DC And RC Failed."; break;
    case ShutdownError::DeleteContext: text = "Release Rendering Context Failed."; break;
    case ShutdownError::ReleaseDeviceContext: text = "Release Device Context Failed."; break;
    case ShutdownError::DestroyWindow: text = "Could Not Release hWnd."; break;
  }
  platformMessageBox(text, kShutdownCaption, MessageButtons::Ok, MessageIcon::Information);
}

bool startGame(int* code) {
  exitCode = kExitNormal;
  if (!startRecordedGame()) {
    *code = kExitStartFailed;
    return false;
  }
  const bool fullscreen = askFullScreen();
  switch (openGameWindow(kWindowTitle, kWindowWidth, kWindowHeight, kWindowBits, fullscreen)) {
    case WindowOpen::Opened: return true;
    // Declining the windowed fallback is the player's choice, not a failure.
    case WindowOpen::Declined: *code = kExitNormal; break;
    case WindowOpen::Failed: *code = kExitStartFailed; break;
  }
  finishRecordedGame();
  return false;
}

bool loopPass(FramePacer* pacer) {
  ++loopCounters.passes;
  int quitCode = 0;
  switch (pumpEvent(&quitCode)) {
    case PumpResult::Handled: ++loopCounters.events; return true;
    case PumpResult::Quit:
      ++loopCounters.events;
      exitCode = quitCode;
      return false;
    case PumpResult::Empty: break;
  }
  // A replay feeds this pass's input here, and ends when it runs out.
  if (!takeLoopPass()) return false;
  if (shell.active) {
    ++loopCounters.frames;
    if (!runFrame()) return false;
    traceFrame();
    // F12: the frame just drawn, before it is shown.
    takeRequestedScreenshot();
  }
  // Escape ends the game also while the window is minimised.
  if (input.KeyDown[vk::Escape] != 0) return false;
  // The buffers are swapped also while minimised, when no frame was drawn.
  presentFrame();
  ++loopCounters.swaps;
  if (pacer != nullptr) pacer->wait();
  keyboardStep();
  return true;
}

int endGame() {
  const int recorded = finishRecordedGame();
  closeGameWindow();
  // A quit request's own code comes first.
  return exitCode != kExitNormal ? exitCode : recorded;
}

int runGame() {
  int code = kExitNormal;
  if (!startGame(&code)) return code;
  FramePacer pacer;
  while (loopPass(&pacer)) {
  }
  return endGame();
}
