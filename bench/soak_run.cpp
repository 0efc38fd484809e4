// The soak's run: start-up, a warm-up through every path of the frame, then
// game after game under the random player, with the checks after each frame.
#include <chrono>
#include <cstdio>

#include "app/shell.h"
#include "game/frame.h"
#include "game/state.h"
#include "gl.h"
#include "soak.h"
#include "support/alloc_counter.h"
#include "support/bot.h"
#include "support/gl_context.h"
#include "support/test_platform.h"
#include "world/particles.h"

namespace {
GlContext context;
std::chrono::steady_clock::time_point started;

// The part of a pass of the main loop after the messages: the frame, the
// picture, the keyboard. An offscreen swap presents nothing and so never
// makes the driver draw: glFinish stands in for a window's swap, which waits
// for the frame.
void presentFrame() {
  runFrame();
  context.swap();
  glFinish();
  keyboardStep();
}

// Every path the frame takes once, before anything is measured: the C
// runtime's first formatting, the driver's shader variants for the maze,
// the enemies, smoke, the HUD, the read-outs and the end screen, and the
// driver's largest frames (all 45 bursts alive at once).
void warmUp() {
  resetGameState();
  resetParticles();
  input.showStats = 1;
  for (int f = 0; f < 60; ++f) {
    if (f % 5 == 0) input.fireRequest = 1;
    input.mouseYaw = 45;  // towards the first enemy
    presentFrame();
  }
  for (int f = 0; f < 10; ++f) {
    for (int b = 0; b < kBursts; ++b) {
      shot.burstSlot = b;
      shot.fire_x = player.xtrans2 - 20 - b;
      shot.fire_y = 5 + b % 40;
      shot.fire_z = player.ztrans2 - 20 - b;
      startBurst(b,
                 {shot.fire_x, shot.fire_y, shot.fire_z, shot.fire_dx, shot.fire_dy, shot.fire_dz});
    }
    shot.smokeActive = 1;
    presentFrame();
  }
  result.gameOver = 1;
  for (int f = 0; f < 3; ++f) presentFrame();
  alloc_counter::warmUp();
  glFinish();
}

void newGame(bot::Player* hands) {
  resetGameState();
  resetParticles();
  testPlatform.sounds.clear();
  testPlatform.warps.clear();
  hands->newGame();
}

// After each frame: what the game played, said and made of its state.
class Tally {
 public:
  Tally(const SoakOptions& options, SoakTotals* totals)
      : options_(options), t_(*totals), endRandom_(options.seed ^ 0x5EEDull) {}

  // Before the player's messages: whether the game is on.
  void startFrame() { playing_ = !result.gameWon && !result.gameOver; }

  // Just before the frame: whether a press is pending, and the read-outs.
  void beforeFrame() {
    fireAsked_ = input.fireRequest != 0;
    if (input.showStats) ++t_.statsFrames;
  }

  // After the frame; true when the next game must start.
  bool afterFrame() {
    if (playing_ && fireAsked_ && input.fireRequest == 0) ++t_.shots;
    t_.sounds += static_cast<long>(testPlatform.sounds.size());
    testPlatform.sounds.clear();
    if (testPlatform.warps.size() > 512) testPlatform.warps.clear();
    if (!testPlatform.messages.empty()) {
      t_.messages += static_cast<long>(testPlatform.messages.size());
      testPlatform.messages.clear();
    }
    bool next = false;
    if (!playing_) ++t_.endFrames;
    if (playing_ && (result.gameWon || result.gameOver)) {
      ++t_.games;
      if (result.gameOver) {
        ++t_.losses;
      } else {
        ++t_.wins;
      }
      t_.kills += result.point / 10;
      endScreenLeft_ = endRandom_.between(1, 40);
    } else if (playing_ && ++gameFrames_ >= options_.maxGameFrames) {
      ++t_.abandoned;
      gameFrames_ = 0;
      next = true;
    }
    if (!playing_ && --endScreenLeft_ <= 0) {
      endScreenLeft_ = -1;
      gameFrames_ = 0;
      next = true;
    }
    return next;
  }

  bool playing() const { return playing_; }

 private:
  const SoakOptions& options_;
  SoakTotals& t_;
  bot::Random endRandom_;
  bool playing_ = true;
  bool fireAsked_ = false;
  long gameFrames_ = 0;
  int endScreenLeft_ = -1;  // frames of end screen still to show; -1 while playing
};

// After each frame of play: whether the player's step was held at a wall, and
// where everything stands.
void checkPlay(Standpoint lastPlace, SoakTotals* t) {
  if (stepWasHeld(lastPlace)) ++t->heldSteps;
  checkPlaces(lastPlace, t->frames, t->misplaced);
}

// The checks after each frame, and the progress lines.
void check(const SoakOptions& options, SoakTotals* t) {
  if (t->nonFinite == nullptr) {
    const char* bad = nonFiniteGameVariable();
    if (bad == nullptr) bad = nonFiniteParticle();
    if (bad != nullptr) {
      t->nonFinite = bad;
      t->nonFiniteFrame = t->frames;
    }
  }
  readGlErrors(t);
  if (t->frames % 100 == 0) {
    const long rss = residentKb();
    long& peak = t->frames < options.frames / 2 ? t->peakFirstHalf : t->peakSecondHalf;
    if (rss > peak) peak = rss;
  }
  if (options.rssEvery > 0 && t->frames % options.rssEvery == 0) {
    std::fprintf(stderr, "soak: frame %ld, games %ld, RSS %ld kB, C heap %ld kB\n", t->frames,
                 t->games, residentKb(), heapInUseKb());
  }
  const long progressEvery = options.frames >= 200000 ? 50000 : 0;
  if (progressEvery > 0 && t->frames > 0 && t->frames % progressEvery == 0) {
    std::fprintf(stderr,
                 "soak: %ld frames, %ld games (%ld won, %ld lost, %ld abandoned), %ld shots, "
                 "RSS %ld kB, new by the game %ld, non-finite %s, frames out of place %ld, GL "
                 "errors %ld\n",
                 t->frames, t->games, t->wins, t->losses, t->abandoned, t->shots, residentKb(),
                 alloc_counter::gameAllocations(), t->nonFinite != nullptr ? t->nonFinite : "none",
                 misplacedFrames(*t), t->glErrors);
  }
}
}  // namespace

bool startSoak(const SoakOptions& options, SoakTotals* totals) {
  started = std::chrono::steady_clock::now();
  if (!context.open(options.width, options.height)) {
    std::fprintf(stderr, "soak: no OpenGL context\n");
    return false;
  }
  testPlatform.clear();
  // The game's view is its window's whatever the surface: its calls are the
  // window's, and a smaller surface only rasterises fewer pixels of them.
  resizeView(kWindowWidth, kWindowHeight);
  if (!initScene()) {
    for (const RecordedMessage& m : testPlatform.messages)
      std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
    std::fprintf(stderr, "soak: start-up failed (run it in the game's data folder)\n");
    return false;
  }
  totals->rssStartUp = residentKb();
  testPlatform.clear();
  testPlatform.sounds.reserve(1024);
  testPlatform.warps.reserve(1024);
  testPlatform.messages.reserve(16);
  const int stranded = bot::cellWithoutAWayToTheDoor();
  if (stranded >= 0) {
    std::fprintf(stderr, "soak: path cell %d has no way to the door\n", stranded);
    return false;
  }
  warmUp();
  return true;
}

void runSoak(const SoakOptions& options, SoakTotals* totals) {
  SoakTotals& t = *totals;
  bot::Player hands(options.seed);
  shell.lastMouseX = 320;
  shell.lastMouseY = 240;
  hands.mouse().setCursor(320, 240);
  newGame(&hands);
  readGlErrors(&t);  // start-up's own, if any, count too

  t.rssStart = residentKb();
  t.heapStart = heapInUseKb();
  t.peakFirstHalf = t.rssStart;
  t.peakSecondHalf = -1;
  alloc_counter::start();

  Tally tally(options, totals);
  // The fault is made half way, after a frame of play that left the game on.
  bool faultDue = options.inject != nullptr;
  Standpoint lastPlace = {player.xtrans2, player.ztrans2};
  for (t.frames = 0; t.frames < options.frames; ++t.frames) {
    tally.startFrame();
    if (tally.playing()) hands.beforeFrame();
    tally.beforeFrame();
    presentFrame();
    if (tally.playing()) {
      if (faultDue && t.frames >= options.frames / 2 && !result.gameWon && !result.gameOver) {
        faultDue = !injectFault(options.inject);
      }
      checkPlay(lastPlace, totals);
      lastPlace = {player.xtrans2, player.ztrans2};
    }
    if (tally.afterFrame()) {
      newGame(&hands);
      lastPlace = {player.xtrans2, player.ztrans2};
    }
    check(options, totals);
  }
  readGlErrors(&t);
  alloc_counter::stop();
  t.gameAllocations = alloc_counter::gameAllocations();
  t.driverAllocations = alloc_counter::driverAllocations();
  t.rssEnd = residentKb();
  if (t.rssEnd > t.peakSecondHalf) t.peakSecondHalf = t.rssEnd;
  t.heapEnd = heapInUseKb();
  t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

void endSoak() {
  releaseScene();
  context.close();
}
