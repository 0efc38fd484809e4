// First Person Shooter in a browser: the page's entry point and frame callback.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "app/command_line.h"
#include "app/main_loop.h"
#include "app/recording.h"
#include "app/screenshot.h"
#include "app/shell.h"
#include "app/web/audio.h"
#include "app/web/events.h"
#include "app/web/page.h"
#include "data_files.h"
#include "game/state.h"
#include "platform/frame_gate.h"

namespace {
FrameGate gate;
double frameMilliseconds = 0;  // time spent in the game's frames, for the read-out
bool ended = false;
int exitCode = kExitNormal;  // what the game ended with, as a desktop game's process would
// Frames still to run before the loop holds (negative: no limit). Started
// with "paused" (the page's ?paused), the game waits for webRunFrames.
int framesLeft = -1;

void stopGame() {
  ended = true;
  emscripten_cancel_main_loop();
  emscripten_exit_pointerlock();
  emscripten_exit_fullscreen();
  exitCode = endGame();
  // The page says that the game is over and how to play again.
  EM_ASM({
    if (Module.onGameEnded) Module.onGameEnded();
  });
}

// One callback of the browser's frame loop, at most 60 times a second: passes
// of the main loop, each taking one of the events that came since the last
// frame, until one presents a frame. The gate is the pacing.
void browserFrame() {
  if (framesLeft == 0) {
    // Held: input still arrives, the game waits.
    while (pumpOneEvent()) {
    }
    return;
  }
  if (!gate.admit(emscripten_get_now())) return;
  if (framesLeft > 0) --framesLeft;
  const uint64_t swaps = loopCounters.swaps;
  while (loopCounters.swaps == swaps) {
    const uint64_t frames = loopCounters.frames;
    const double start = emscripten_get_now();
    const bool goOn = loopPass(nullptr);
    if (loopCounters.frames != frames) frameMilliseconds += emscripten_get_now() - start;
    if (!goOn) {
      stopGame();
      return;
    }
  }
}
}  // namespace

// Read-outs and controls for the browser tests.
extern "C" {
EMSCRIPTEN_KEEPALIVE void webRunFrames(int frames) { framesLeft = frames; }
EMSCRIPTEN_KEEPALIVE void webSetLook(double yaw, double pitch) { setLook(yaw, pitch); }
EMSCRIPTEN_KEEPALIVE unsigned webFrames() { return static_cast<unsigned>(loopCounters.frames); }
EMSCRIPTEN_KEEPALIVE double webFrameMilliseconds() { return frameMilliseconds; }
EMSCRIPTEN_KEEPALIVE int webEnded() { return ended ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int webExitCode() { return exitCode; }
EMSCRIPTEN_KEEPALIVE int webGameOver() { return result.gameOver; }
EMSCRIPTEN_KEEPALIVE int webGameWon() { return result.gameWon; }
EMSCRIPTEN_KEEPALIVE int webScore() { return result.point; }
EMSCRIPTEN_KEEPALIVE double webPlayerX() { return player.xtrans2; }
EMSCRIPTEN_KEEPALIVE double webPlayerZ() { return player.ztrans2; }
EMSCRIPTEN_KEEPALIVE double webHeading() { return view.heading; }
EMSCRIPTEN_KEEPALIVE double webPitch() { return input.pitch; }
EMSCRIPTEN_KEEPALIVE int webSmoke() { return shot.smokeActive; }
EMSCRIPTEN_KEEPALIVE unsigned webSounds() { return wavesStarted(); }
EMSCRIPTEN_KEEPALIVE int webKeyDown(int key) {
  return key >= 0 && key < 256 ? input.KeyDown[key] : 0;
}
EMSCRIPTEN_KEEPALIVE int webShowStats() { return input.showStats; }
// Enemy i's x, z, zone flag, hits or dead flag (field 0 to 4).
EMSCRIPTEN_KEEPALIVE double webEnemy(int i, int field) {
  if (i < 0 || i >= kEnemyCount) return 0;
  const Enemy& e = enemies[i];
  switch (field) {
    case 0: return static_cast<double>(e.x);
    case 1: return static_cast<double>(e.z);
    case 2: return e.inZone;
    case 3: return e.hit;
    default: return e.dead;
  }
}
}

namespace {
int start() {
  if (!startGame(&exitCode)) {
    ended = true;
    EM_ASM({
      if (Module.onGameEnded) Module.onGameEnded();
    });
    return exitCode;
  }
  loadWave(kRifleSoundFile);
  // The display's own rate drives the callback; the gate holds it to 60.
  emscripten_set_main_loop(browserFrame, 0, 0);
  EM_ASM({ Module.gameStarted = true; });
  return 0;
}
}  // namespace

// The page's own buttons: the answer to the start question it asked on a
// touch screen (the game starts), and F and Escape over the game.
extern "C" {
EMSCRIPTEN_KEEPALIVE void webAnswer(int yes) {
  answerNextQuestion(yes != 0);
  start();
}
EMSCRIPTEN_KEEPALIVE void webPageButton(int virtualKey, int down) {
  queuePageButton(virtualKey, down != 0);
}
// The Screenshot button: F12's screenshot, since F12 is the browser's own key.
EMSCRIPTEN_KEEPALIVE void webScreenshot() { requestScreenshot(); }
}

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "paused") == 0) framesLeft = 0;
  }
  // --record FILE, --play FILE and --trace FILE, which the page adds for
  // ?record, ?play= and ?trace.
  GameOptions options;
  if (!takeCommandLine(argc, argv, &options, &exitCode)) {
    ended = true;
    EM_ASM({
      if (Module.onGameEnded) Module.onGameEnded();
    });
    return exitCode;
  }
  // A touch screen answers the start question on the page, whose Yes may take
  // it full screen at once; the game starts with the answer (webAnswer).
  if (EM_ASM_INT({ return Module.askOnPage ? 1 : 0; })) {
    EM_ASM({ Module.askOnPage(UTF8ToString($0), UTF8ToString($1)); }, kFullScreenCaption,
           kFullScreenQuestion);
    return 0;
  }
  return start();
}
