// Soak run: the real frame, game after game, on an offscreen context, driven
// by seeded random input the way the shells feed it (key messages, mouse
// moves with the cursor warps they cause, button presses, the keyboard step
// after each presented frame).
//
//   soak [FRAMES] [--seed N] [--rss-limit-kb K] [--max-game-frames N]
//        [--size WxH] [--rss-every N] [--inject-fault nan|alloc|glerror|leak]
//
// Runs in the current folder, which must hold the game's data files. Every
// frame checks that no game variable is NaN or infinite (the particle table
// every 16 frames), GL errors are read every 100 frames, and after a warm-up
// the run counts operator new calls made by the game's thread outside the GL
// driver and checks that the resident set size (sampled every 100 frames)
// peaks no higher in the second half of the run than in the first: the GL
// driver's heap rises and falls with what a frame draws, so single readings
// say little. A won or lost game shows its end
// screen for a few frames and then the state is reset for the next one.
// Exit status 0 when nothing was found.
//
// Each game starts either under a guide that walks the path to the door and
// shoots the enemy that hunts it, or with a stretch of aimless wandering (of
// random length) before the guide takes over; the wanderer is usually caught.
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#if defined(__linux__)
#include <dlfcn.h>
#include <execinfo.h>
#include <malloc.h>
#include <unistd.h>
#elif defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#endif

#include "app/shell.h"
#include "game/frame.h"
#include "game/state.h"
#include "gl.h"
#include "support/gl_context.h"
#include "support/test_platform.h"
#include "world/maze_layout.h"
#include "world/particles.h"

// ---------------------------------------------------------------------------
// Allocation counter: every operator new of the game's thread while counting
// is on. On Linux the GL driver (llvmpipe compiles shader variants with LLVM,
// which uses the process's operator new) is told apart by its call stack and
// counted separately; under Windows the driver never sees this operator new.

namespace {
std::atomic<bool> counting{false};
std::thread::id gameThread;
std::atomic<long> gameAllocations{0};
std::atomic<long> driverAllocations{0};
#if defined(__linux__)
int firstStackDepth = 0;
void* firstStack[64];
#endif

bool fromTheDriver() {
#if defined(__linux__)
  void* frames[128];
  const int depth = backtrace(frames, 128);
  for (int i = 0; i < depth; ++i) {
    Dl_info info{};
    if (dladdr(frames[i], &info) == 0 || info.dli_fname == nullptr) continue;
    const char* name = info.dli_fname;
    if (std::strstr(name, "/dri/") != nullptr || std::strstr(name, "libLLVM") != nullptr ||
        std::strstr(name, "libgallium") != nullptr || std::strstr(name, "libGL") != nullptr ||
        std::strstr(name, "libEGL") != nullptr) {
      return true;
    }
  }
#endif
  return false;
}

void countAllocation() {
  if (!counting.load(std::memory_order_relaxed) || std::this_thread::get_id() != gameThread) {
    return;
  }
  if (fromTheDriver()) {
    driverAllocations.fetch_add(1);
    return;
  }
  if (gameAllocations.fetch_add(1) == 0) {
#if defined(__linux__)
    firstStackDepth = backtrace(firstStack, 64);
#endif
  }
}

void* allocate(std::size_t size) {
  countAllocation();
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void* allocateNoThrow(std::size_t size) noexcept {
  countAllocation();
  return std::malloc(size == 0 ? 1 : size);
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return allocateNoThrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return allocateNoThrow(size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

// ---------------------------------------------------------------------------
// Memory figures.

long residentKb() {
#if defined(__linux__)
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return -1;
  long size = 0, resident = 0;
  const int read = std::fscanf(f, "%ld %ld", &size, &resident);
  std::fclose(f);
  if (read != 2) return -1;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
#elif defined(_WIN32)
  PROCESS_MEMORY_COUNTERS counters;
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return static_cast<long>(counters.WorkingSetSize / 1024);
#else
  return -1;
#endif
}

// Bytes the C heap has handed out (all threads), where the library tells.
long heapInUseKb() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
#else
  return -1;
#endif
}

// ---------------------------------------------------------------------------
// Seeded random numbers (splitmix64): the soak's own, so that it never draws
// from the bursts' generator.

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
  // lo .. hi inclusive
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  // true once in n calls on average
  bool oneIn(int n) { return below(n) == 0; }

 private:
  uint64_t state_;
};

// ---------------------------------------------------------------------------
// The path to the door: for each path cell, the neighbouring path cell one
// step closer to the door's cell, found once by a breadth-first search over
// open cell edges.

int cellAt[kMazeColumns][kMazeRows];
int nextHop[kPathCells];

void buildRoutes() {
  for (auto& column : cellAt)
    for (int& c : column) c = -1;
  for (int i = 0; i < kPathCells; ++i) cellAt[kMazeCells[i].col][kMazeCells[i].row] = i;

  auto open = [](int a, int b) {
    const MazeCell& p = kMazeCells[a];
    const MazeCell& q = kMazeCells[b];
    if (p.row == q.row && q.col == p.col + 1)
      return !(p.walls & kEdgeHighX) && !(q.walls & kEdgeLowX);
    if (p.row == q.row && q.col == p.col - 1)
      return !(p.walls & kEdgeLowX) && !(q.walls & kEdgeHighX);
    if (p.col == q.col && q.row == p.row + 1)
      return !(p.walls & kEdgeHighZ) && !(q.walls & kEdgeLowZ);
    if (p.col == q.col && q.row == p.row - 1)
      return !(p.walls & kEdgeLowZ) && !(q.walls & kEdgeHighZ);
    return false;
  };
  int queue[kPathCells];
  int head = 0, tail = 0;
  for (int& h : nextHop) h = -2;  // unreached
  nextHop[kDoorCell] = -1;        // the door's own cell: head for the door
  queue[tail++] = kDoorCell;
  while (head < tail) {
    const int at = queue[head++];
    for (int j = 0; j < kPathCells; ++j) {
      if (nextHop[j] == -2 && open(at, j)) {
        nextHop[j] = at;
        queue[tail++] = j;
      }
    }
  }
}

int pathCellOf(double x, double z) {
  if (!std::isfinite(x) || !std::isfinite(z)) return -1;
  const int col = static_cast<int>(std::floor(x / kCellSize));
  const int row = static_cast<int>(std::floor(z / kCellSize));
  if (col < 0 || col >= kMazeColumns || row < 0 || row >= kMazeRows) return -1;
  return cellAt[col][row];
}

double wrap180(double degrees) {
  double d = std::fmod(degrees, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return d;
}

// The heading that faces from (x, z) towards (tx, tz): forward is (-sin, -cos).
double headingTowards(double x, double z, double tx, double tz) {
  return std::atan2(-(tx - x), -(tz - z)) / kDegToRad;
}

double clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

// ---------------------------------------------------------------------------
// The input: what a player's hands do before each frame.

constexpr int kWalkKeys[] = {vk::Up, vk::W, vk::Down, vk::S, vk::A, vk::D, vk::Left, vk::Right};
constexpr double kPixelsPerDegree = 32;

class Hands {
 public:
  explicit Hands(uint64_t seed) : random_(seed) {}

  void newGame() {
    for (bool& h : held_) h = false;  // the reset released every key
    fHeld_ = iHeld_ = 0;
    guided_ = random_.oneIn(3);
    wanderLeft_ = guided_ ? 0 : random_.between(100, 4000);
    sinceFire_ = 0;
  }

  // The messages that arrive before the next frame.
  void beforeFrame() {
    ++sinceFire_;
    if (!guided_ && --wanderLeft_ <= 0) guided_ = true;
    if (guided_) {
      guide();
    } else {
      wander();
    }
    toggles();
  }

  void setCursor(double x, double y) {
    cursorX_ = x;
    cursorY_ = y;
  }

 private:
  void press(int key) {
    if (!held_[key]) keyDown(key);
    held_[key] = true;
  }
  void release(int key) {
    if (held_[key]) keyUp(key);
    held_[key] = false;
  }

  // A mouse move by (dx, dy) pixels; a warp the game asks for arrives as the
  // next mouse move, at the warped position.
  void moveMouse(double dx, double dy) {
    const size_t warpsBefore = testPlatform.warps.size();
    cursorX_ += dx;
    cursorY_ += dy;
    mouseView(cursorX_, cursorY_);
    if (testPlatform.warps.size() > warpsBefore) {
      const std::pair<int, int>& warp = testPlatform.warps.back();
      cursorX_ = warp.first;
      cursorY_ = warp.second;
      mouseView(cursorX_, cursorY_);
    }
  }

  void fire() {
    input.fireRequest = 1;
    sinceFire_ = 0;
  }

  void wander() {
    if (random_.oneIn(20)) {
      const int key = kWalkKeys[random_.below(8)];
      if (held_[key]) {
        release(key);
      } else {
        press(key);
      }
    }
    if (random_.oneIn(2)) moveMouse(random_.between(-40, 40), random_.between(-15, 15));
    if (random_.oneIn(12)) fire();
  }

  // Turns towards `wanted` (a heading) and levels the view, by mouse.
  void steer(double wanted) {
    const double turn = clamp(wrap180(wanted - view.heading), -6, 6);
    const double pitchFix = clamp(input.pitch, -3, 3);
    const double dy = (shell.invertMouse ? 1 : -1) * pitchFix * kPixelsPerDegree;
    moveMouse(-turn * kPixelsPerDegree, dy);
  }

  void guide() {
    for (int key : kWalkKeys)
      if (key != vk::Up) release(key);
    // The enemy hunting the player, if any: face it and shoot.
    const Enemy* hunter = nullptr;
    for (const Enemy& e : enemies) {
      if (e.inZone && !e.dead) {
        hunter = &e;
        break;
      }
    }
    if (hunter != nullptr) {
      release(vk::Up);
      const double wanted = headingTowards(player.xtrans2, player.ztrans2,
                                           static_cast<double>(hunter->x),
                                           static_cast<double>(hunter->z));
      steer(wanted);
      if (sinceFire_ >= 6 && std::fabs(wrap180(wanted - view.heading)) < 3) fire();
      return;
    }
    // Otherwise on towards the door: the next cell's centre, or the door.
    const int cell = pathCellOf(player.xtrans2, player.ztrans2);
    double tx = kExitX, tz = kExitZ;
    if (cell >= 0 && nextHop[cell] >= 0) {
      const MazeCell& next = kMazeCells[nextHop[cell]];
      tx = next.x0() + kCellSize / 2;
      tz = next.z0() + kCellSize / 2;
    }
    const double wanted = headingTowards(player.xtrans2, player.ztrans2, tx, tz);
    steer(wanted);
    if (std::fabs(wrap180(wanted - view.heading)) < 35) {
      press(vk::Up);
    } else {
      release(vk::Up);
    }
    if (random_.oneIn(40)) fire();  // at the walls, for the smoke
  }

  // F and I, pressed now and then and held for a few frames.
  void toggles() {
    if (fHeld_ > 0) {
      if (--fHeld_ == 0) release(vk::F);
    } else if (random_.oneIn(300)) {
      press(vk::F);
      fHeld_ = random_.between(1, 6);
    }
    if (iHeld_ > 0) {
      if (--iHeld_ == 0) release(vk::I);
    } else if (random_.oneIn(1500)) {
      press(vk::I);
      iHeld_ = random_.between(1, 6);
    }
  }

  Random random_;
  bool held_[256] = {};
  bool guided_ = false;
  int wanderLeft_ = 0;
  int sinceFire_ = 0;
  int fHeld_ = 0;
  int iHeld_ = 0;
  double cursorX_ = 320;
  double cursorY_ = 240;
};

// ---------------------------------------------------------------------------
// Checks.

char nonFiniteName[96];

#define SOAK_CHECK(value)                                                     \
  do {                                                                        \
    if (!std::isfinite(static_cast<double>(value))) {                         \
      std::snprintf(nonFiniteName, sizeof nonFiniteName, "%s", #value);       \
      return nonFiniteName;                                                   \
    }                                                                         \
  } while (0)

// The first game variable that is NaN or infinite, or null.
const char* nonFiniteGameVariable() {
  SOAK_CHECK(input.mouseYaw);
  SOAK_CHECK(input.pitch);
  SOAK_CHECK(input.turnSpeed);
  SOAK_CHECK(player.xtrans2);
  SOAK_CHECK(player.ytrans2);
  SOAK_CHECK(player.ztrans2);
  SOAK_CHECK(player.xmove);
  SOAK_CHECK(player.ymove);
  SOAK_CHECK(player.zmove);
  SOAK_CHECK(view.keyYaw);
  SOAK_CHECK(view.heading);
  SOAK_CHECK(view.viewYaw);
  SOAK_CHECK(view.camX);
  SOAK_CHECK(view.camZ);
  SOAK_CHECK(shot.fire_x);
  SOAK_CHECK(shot.fire_y);
  SOAK_CHECK(shot.fire_z);
  SOAK_CHECK(shot.fire_dx);
  SOAK_CHECK(shot.fire_dy);
  SOAK_CHECK(shot.fire_dz);
  SOAK_CHECK(frameRate.nowTime);
  SOAK_CHECK(frameRate.lastTime);
  SOAK_CHECK(frameRate.elapsed);
  SOAK_CHECK(frameRate.fps);
  SOAK_CHECK(shell.lastMouseX);
  SOAK_CHECK(shell.lastMouseY);
  for (int i = 0; i < kEnemyCount; ++i) {
    const Enemy& e = enemies[i];
    const float values[] = {e.x, e.z, e.speedX, e.speedZ, e.fall, e.fallSpeed, e.RotateX,
                            e.multiplier};
    const char* const names[] = {"x", "z", "speedX", "speedZ", "fall", "fallSpeed", "RotateX",
                                 "multiplier"};
    for (int k = 0; k < 8; ++k) {
      if (!std::isfinite(values[k])) {
        std::snprintf(nonFiniteName, sizeof nonFiniteName, "enemies[%d].%s", i, names[k]);
        return nonFiniteName;
      }
    }
  }
  return nullptr;
}

bool finiteParticle(const Particle& p) {
  double sum = p.life + p.fade + p.size + p.x + p.y + p.z + p.vx + p.vy + p.vz;
  for (double t : p.triangle) sum += t;
  for (double a : p.angle) sum += a;
  for (double s : p.spin) sum += s;
  // A sum of finite values can overflow only far beyond anything here.
  return std::isfinite(sum);
}

const char* nonFiniteParticle() {
  for (int i = 0; i < kParticlesPerBurst; ++i) {
    for (int b = 0; b < kBursts; ++b) {
      if (!finiteParticle(particles[i][b])) {
        std::snprintf(nonFiniteName, sizeof nonFiniteName, "particles[%d][%d]", i, b);
        return nonFiniteName;
      }
    }
  }
  return nullptr;
}

// ---------------------------------------------------------------------------

struct Totals {
  long frames = 0;
  long games = 0;
  long wins = 0;
  long losses = 0;
  long abandoned = 0;
  long shots = 0;
  long sounds = 0;
  long kills = 0;
  long endFrames = 0;
  long statsFrames = 0;
  long glErrors = 0;
  unsigned firstGlError = 0;
  long firstGlErrorFrame = -1;
  const char* nonFinite = nullptr;
  long nonFiniteFrame = -1;
  long messages = 0;
};

struct Options {
  long frames = 20000;
  uint64_t seed = 1;
  long rssLimitKb = 16384;
  long maxGameFrames = 40000;
  long rssEvery = 0;  // print the memory figures every this many frames
  const char* inject = nullptr;  // a fault made half way, to prove the checks
  int width = 640;   // the offscreen surface; a smaller one runs a long soak faster
  int height = 480;
};

bool parse(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
      o->seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--rss-limit-kb") == 0 && hasValue) {
      o->rssLimitKb = std::atol(argv[++i]);
    } else if (std::strcmp(argv[i], "--max-game-frames") == 0 && hasValue) {
      o->maxGameFrames = std::atol(argv[++i]);
      if (o->maxGameFrames < 1) return false;
    } else if (std::strcmp(argv[i], "--inject-fault") == 0 && hasValue) {
      o->inject = argv[++i];
      if (std::strcmp(o->inject, "nan") != 0 && std::strcmp(o->inject, "alloc") != 0 &&
          std::strcmp(o->inject, "glerror") != 0 && std::strcmp(o->inject, "leak") != 0) {
        return false;
      }
    } else if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
      if (std::sscanf(argv[++i], "%dx%d", &o->width, &o->height) != 2 || o->width < 1 ||
          o->height < 1 || o->width > 4096 || o->height > 4096) {
        return false;
      }
    } else if (std::strcmp(argv[i], "--rss-every") == 0 && hasValue) {
      o->rssEvery = std::atol(argv[++i]);
    } else if (argv[i][0] != '-') {
      o->frames = std::atol(argv[i]);
      if (o->frames < 1) return false;
    } else {
      return false;
    }
  }
  return true;
}

GlContext context;

// The faults --inject-fault makes, each of the kind one check looks for.
void* leaked = nullptr;
void injectFault(const char* kind) {
  if (std::strcmp(kind, "nan") == 0) {
    view.keyYaw = std::nan("");
  } else if (std::strcmp(kind, "alloc") == 0) {
    int* volatile p = new int(7);
    delete p;
  } else if (std::strcmp(kind, "glerror") == 0) {
    glEnable(0xFFFF);  // not a capability: GL_INVALID_ENUM
  } else if (std::strcmp(kind, "leak") == 0) {
    const size_t size = 64u << 20;
    leaked = std::malloc(size);
    if (leaked != nullptr) std::memset(leaked, 1, size);
  }
}

void newGame(Hands* hands) {
  resetGameState();
  resetParticles();
  testPlatform.sounds.clear();
  testPlatform.warps.clear();
  hands->newGame();
}

void readGlErrors(Totals* t) {
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
    if (t->glErrors++ == 0) {
      t->firstGlError = e;
      t->firstGlErrorFrame = t->frames;
    }
  }
}

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
      startBurst(b, {shot.fire_x, shot.fire_y, shot.fire_z, shot.fire_dx, shot.fire_dy,
                     shot.fire_dz});
    }
    shot.smokeActive = 1;
    presentFrame();
  }
  result.gameOver = 1;
  for (int f = 0; f < 3; ++f) presentFrame();
#if defined(__linux__)
  void* frames[4];
  backtrace(frames, 4);  // its first call loads the unwinder
#endif
  glFinish();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: soak [FRAMES] [--seed N] [--rss-limit-kb K] [--max-game-frames N]\n"
                 "            [--size WxH] [--rss-every N] [--inject-fault nan|alloc|glerror|leak]\n");
    return 2;
  }
#if !defined(_WIN32)
  // SDL would otherwise turn Ctrl-C and SIGTERM into quit events nobody reads.
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
#endif
  const auto started = std::chrono::steady_clock::now();
  if (!context.open(options.width, options.height)) {
    std::fprintf(stderr, "soak: no OpenGL context\n");
    return 1;
  }
  testPlatform.clear();
  resizeView(options.width, options.height);
  if (!initScene()) {
    for (const RecordedMessage& m : testPlatform.messages)
      std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
    std::fprintf(stderr, "soak: start-up failed (run it in the game's data folder)\n");
    return 1;
  }
  const long rssStartUp = residentKb();
  testPlatform.clear();
  testPlatform.sounds.reserve(1024);
  testPlatform.warps.reserve(1024);
  testPlatform.messages.reserve(16);
  buildRoutes();
  for (int i = 0; i < kPathCells; ++i) {
    if (nextHop[i] == -2) {
      std::fprintf(stderr, "soak: path cell %d has no way to the door\n", i);
      return 1;
    }
  }
  warmUp();

  Hands hands(options.seed);
  Totals t;
  shell.lastMouseX = 320;
  shell.lastMouseY = 240;
  hands.setCursor(320, 240);
  newGame(&hands);
  readGlErrors(&t);  // start-up's own, if any, count too

  const long rssStart = residentKb();
  const long heapStart = heapInUseKb();
  long peakFirstHalf = rssStart;   // highest RSS sampled in each half
  long peakSecondHalf = -1;
  gameThread = std::this_thread::get_id();
  counting = true;

  long gameFrames = 0;
  int endScreenLeft = -1;  // frames of end screen still to show; -1 while playing
  Random endRandom(options.seed ^ 0x5EEDull);
  const long progressEvery = options.frames >= 200000 ? 50000 : 0;
  for (t.frames = 0; t.frames < options.frames; ++t.frames) {
    const bool playing = !result.gameWon && !result.gameOver;
    if (playing) hands.beforeFrame();
    if (options.inject != nullptr && t.frames == options.frames / 2) injectFault(options.inject);
    const bool fireAsked = input.fireRequest != 0;
    if (input.showStats) ++t.statsFrames;

    presentFrame();

    if (playing && fireAsked && input.fireRequest == 0) ++t.shots;
    t.sounds += static_cast<long>(testPlatform.sounds.size());
    testPlatform.sounds.clear();
    if (testPlatform.warps.size() > 512) testPlatform.warps.clear();
    if (!testPlatform.messages.empty()) {
      t.messages += static_cast<long>(testPlatform.messages.size());
      testPlatform.messages.clear();
    }

    if (!playing) ++t.endFrames;
    if (playing && (result.gameWon || result.gameOver)) {
      ++t.games;
      if (result.gameOver) {
        ++t.losses;
      } else {
        ++t.wins;
      }
      t.kills += result.point / 10;
      endScreenLeft = endRandom.between(1, 40);
    } else if (playing && ++gameFrames >= options.maxGameFrames) {
      ++t.abandoned;
      gameFrames = 0;
      newGame(&hands);
    }
    if (!playing && --endScreenLeft <= 0) {
      endScreenLeft = -1;
      gameFrames = 0;
      newGame(&hands);
    }

    if (t.nonFinite == nullptr) {
      const char* bad = nonFiniteGameVariable();
      if (bad == nullptr && t.frames % 16 == 0) bad = nonFiniteParticle();
      if (bad != nullptr) {
        t.nonFinite = bad;
        t.nonFiniteFrame = t.frames;
      }
    }
    if (t.frames % 100 == 0) readGlErrors(&t);
    if (t.frames % 100 == 0) {
      const long rss = residentKb();
      long& peak = t.frames < options.frames / 2 ? peakFirstHalf : peakSecondHalf;
      if (rss > peak) peak = rss;
    }
    if (options.rssEvery > 0 && t.frames % options.rssEvery == 0) {
      std::fprintf(stderr, "soak: frame %ld, games %ld, RSS %ld kB, C heap %ld kB\n", t.frames,
                   t.games, residentKb(), heapInUseKb());
    }
    if (progressEvery > 0 && t.frames > 0 && t.frames % progressEvery == 0) {
      std::fprintf(stderr,
                   "soak: %ld frames, %ld games (%ld won, %ld lost, %ld abandoned), %ld shots, "
                   "RSS %ld kB, new by the game %ld, non-finite %s, GL errors %ld\n",
                   t.frames, t.games, t.wins, t.losses, t.abandoned, t.shots, residentKb(),
                   gameAllocations.load(), t.nonFinite != nullptr ? t.nonFinite : "none",
                   t.glErrors);
    }
  }
  readGlErrors(&t);
  counting = false;
  const long rssEnd = residentKb();
  if (rssEnd > peakSecondHalf) peakSecondHalf = rssEnd;
  const long heapEnd = heapInUseKb();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  // The driver's heap rises and falls by tens of megabytes with what a frame
  // draws; a leak shows as a second half whose peak tops the first half's.
  const long rssGrowth = peakSecondHalf - peakFirstHalf;
  const bool memoryFlat = rssStart < 0 || rssGrowth <= options.rssLimitKb;
  std::free(leaked);
  const bool pass = t.nonFinite == nullptr && t.glErrors == 0 && gameAllocations.load() == 0 &&
                    memoryFlat && t.messages == 0 && t.sounds == t.shots;

  std::printf("soak: %ld frames, seed %llu, %.1f s (%.0f frames per second)\n", t.frames,
              static_cast<unsigned long long>(options.seed), seconds,
              seconds > 0 ? static_cast<double>(t.frames) / seconds : 0.0);
  std::printf("  games %ld: wins %ld, losses %ld; abandoned after %ld frames: %ld\n", t.games,
              t.wins, t.losses, options.maxGameFrames, t.abandoned);
  std::printf("  shots %ld, sounds played %ld, kills %ld\n", t.shots, t.sounds, t.kills);
  std::printf("  frames with the read-outs on %ld, end-screen frames %ld\n", t.statsFrames,
              t.endFrames);
  if (t.nonFinite != nullptr) {
    std::printf("  non-finite value: %s at frame %ld\n", t.nonFinite, t.nonFiniteFrame);
  } else {
    std::printf("  non-finite values: none\n");
  }
  if (t.glErrors > 0) {
    std::printf("  GL errors: %ld, the first 0x%04X by frame %ld\n", t.glErrors, t.firstGlError,
                t.firstGlErrorFrame);
  } else {
    std::printf("  GL errors: none\n");
  }
  if (t.messages > 0) std::printf("  message boxes during play: %ld\n", t.messages);
  std::printf("  RSS: %ld kB after start-up, %ld kB after warm-up, %ld kB at the end (%+ld kB)\n",
              rssStartUp, rssStart, rssEnd, rssEnd - rssStart);
  std::printf("  RSS peaks: %ld kB in the first half, %ld kB in the second (%+ld kB; limit %ld kB)\n",
              peakFirstHalf, peakSecondHalf, rssGrowth, options.rssLimitKb);
  if (!memoryFlat) std::printf("  memory grew beyond the limit\n");
  if (heapStart >= 0) {
    std::printf("  C heap in use: %ld kB after warm-up, %ld kB at the end (%+ld kB)\n", heapStart,
                heapEnd, heapEnd - heapStart);
  }
  std::printf("  operator new in the loop: %ld by the game, %ld by the GL driver\n",
              gameAllocations.load(), driverAllocations.load());
#if defined(__linux__)
  if (gameAllocations.load() > 0 && firstStackDepth > 0 && options.inject == nullptr) {
    std::printf("  the first game allocation was made here:\n");
    std::fflush(stdout);
    backtrace_symbols_fd(firstStack, firstStackDepth, 1);
  }
#endif
  std::printf("  %s\n", pass ? "PASS" : "FAIL");

  releaseScene();
  context.close();
  return pass ? 0 : 1;
}
