// Timedemo: the real frame on an offscreen context (640 x 480 unless --size
// says otherwise), run from the game's data folder after the real start-up.
//
// Prints, from one run:
//   - start-up: time to a presented frame with only the context open, and
//     with the whole start-up (initScene) and the first game frame;
//   - the median frame time (frame + glFinish + swap) of an empty frame, the
//     maze alone from the start, the idle start frame, and the worst playing
//     frame (all 45 bursts alive, the longest corridor in view, an enemy
//     hunting close by, a shot fired, the read-outs on), with their ratios,
//     and that frame again without the read-outs and without shot and smoke,
//     with the GL calls each frame sends the driver and the game's
//     allocations: through the game's GL layer, then straight to the driver;
//   - micro-benchmarks (Google Benchmark) of the wall test, the bursts and
//     text output.
//
//   timedemo [--frames N] [--startup-only] [--since SECONDS.MICROS]
//            [--run-dir DIR] [--no-micro] [--path layer|direct] [--size WxH]
//            [benchmark flags...]
//   timedemo --worst-frames N
//
// --path runs the frame table on one GL path only (both by default). --size
// draws every frame at W x H pixels, as the game does full screen (a fill
// rate figure: the frame's work is the same at every size).
//
// --worst-frames runs N worst playing frames through the layer with a backend
// that draws nothing, and nothing else: the frames for callgrind to count
// (scripts/bench --instructions), each runFrame between the preparations.
//
// --since gives the launch instant (a shell's $EPOCHREALTIME taken just
// before exec), so that start-up counts from process start, loading included;
// without it start-up counts from main(). Scenarios run interleaved in small
// batches, so that load from other processes spreads evenly over them; quote
// the ratios, not the absolute times.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/shell.h"
#include "camera.h"
#include "game/frame.h"
#include "game/state.h"
#include "gl.h"
#include "gl/gl_batch.h"
#include "support/alloc_counter.h"
#include "support/gl_context.h"
#include "support/test_paths.h"
#include "support/test_platform.h"
#include "text/font.h"
#include "timedemo_scenes.h"
#include "world/collision.h"
#include "world/maze.h"
#include "world/particles.h"

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

double epochSeconds() {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count();
}

GlContext context;
// The drawable's size, --size.
int viewWidth = 640;
int viewHeight = 480;

struct Scenario {
  const char* name;
  void (*prepare)();
  void (*draw)();
  std::vector<double> ms;
  gldesk::DriverCalls calls;  // the last frame's
  long allocations;           // the game's in the last frame (not the driver's)
};

gldesk::DriverCalls callsSince(const gldesk::DriverCalls& before) {
  const gldesk::DriverCalls now = gldesk::driverCalls();
  return {now.draws - before.draws, now.stateCalls - before.stateCalls, now.calls - before.calls};
}

double percentile(std::vector<double> v, double q) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t i = static_cast<size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

// The scenes' table on the path started now; returns the worst frame's ratio
// to the maze frame.
double runFrameTable(int frames) {
  placeImpacts();
  std::vector<Scenario> scenarios;
  for (const TimedemoScene& s : timedemoScenes) {
    scenarios.push_back({s.name, s.prepare, s.draw, {}, {0, 0, 0}, 0});
  }
  // Small batches, after two warm rounds; fewer frames than a batch (the
  // check under CTest) run that many, unwarmed.
  const int batch = std::min(10, std::max(1, frames));
  const int warmRounds = frames < 10 ? 0 : 2;
  const int rounds = std::max(1, (frames + batch - 1) / batch);
  for (Scenario& s : scenarios) s.ms.reserve(static_cast<size_t>(rounds * batch));
  testPlatform.sounds.reserve(64);
  testPlatform.warps.reserve(64);

  for (int round = 0; round < rounds + warmRounds; ++round) {
    for (Scenario& s : scenarios) {
      for (int f = 0; f < batch; ++f) {
        s.prepare();
        const Clock::time_point t0 = Clock::now();
        s.draw();
        glFinish();
        context.swap();
        const Clock::time_point t1 = Clock::now();
        if (round >= warmRounds) s.ms.push_back(msBetween(t0, t1));
      }
    }
  }
  // One frame more of each, untimed (telling the game's allocations from the
  // driver's takes a look at the call stack of each): the GL calls that
  // reached the driver and what the game allocated.
  for (Scenario& s : scenarios) {
    s.prepare();
    const gldesk::DriverCalls before = gldesk::driverCalls();
    alloc_counter::start();
    s.draw();
    glFinish();
    context.swap();
    alloc_counter::stop();
    s.calls = callsSince(before);
    s.allocations = alloc_counter::gameAllocations();
  }
  // What the worst frame really drew: one more, then a look at the state.
  timedemoScenes[3].prepare();
  runFrame();
  glFinish();
  int live = 0;
  for (const auto& row : particles)
    for (const Particle& p : row) live += p.life > 0 ? 1 : 0;
  std::printf("\nWorst frame: %d of %d particles alive, enemy %d %s, %s, read-outs %s\n", live,
              kParticlesPerBurst * kBursts, kHunter + 1,
              enemies[kHunter].inZone && !enemies[kHunter].dead ? "hunting" : "NOT hunting",
              result.gameOver || result.gameWon ? "GAME ENDED" : "game on",
              input.showStats ? "on" : "off");

  // Leave the game as a new one.
  resetGameState();
  resetParticles();

  const double empty = percentile(scenarios[0].ms, 0.5);
  const double maze = percentile(scenarios[1].ms, 0.5);
  std::printf("\nFrame times, %d frames each, median (p10..p90), ms; ratios of medians\n",
              rounds * batch);
  std::printf("  %-36s %8s %17s %8s %8s %7s %7s %7s %7s\n", "frame", "median", "p10..p90",
              "x empty", "x maze", "draws", "state", "calls", "allocs");
  for (const Scenario& s : scenarios) {
    const double m = percentile(s.ms, 0.5);
    std::printf("  %-36s %8.3f %8.3f..%-8.3f %8.2f %8.2f %7lu %7lu %7lu %7ld\n", s.name, m,
                percentile(s.ms, 0.1), percentile(s.ms, 0.9), empty > 0 ? m / empty : 0.0,
                maze > 0 ? m / maze : 0.0, s.calls.draws, s.calls.stateCalls, s.calls.calls,
                s.allocations);
  }
  std::printf(
      "  (GL calls reaching the driver in the scene's last frame: draws, state calls,\n"
      "   all calls; allocs: operator new calls of the game, not the driver, in it)\n");
  const double start = percentile(scenarios[2].ms, 0.5);
  const double worst = percentile(scenarios[3].ms, 0.5);
  if (start > 0) std::printf("  worst / start frame: %.2f\n", worst / start);
  if (worst > 0) std::printf("  worst frame as a rate: %.0f frames per second\n", 1000.0 / worst);
  return maze > 0 ? worst / maze : 0.0;
}

// No GL error waiting after the scenes on a path (the layer's refusals first).
bool noGlError(const char* path) {
  const GLenum error = glGetError();
  if (error == GL_NO_ERROR) return true;
  std::fprintf(stderr, "timedemo: GL error 0x%04X on %s\n", static_cast<unsigned>(error), path);
  return false;
}

// Starts the game on a path: the scene's lists and textures belong to the
// path that made them, so a new path loads them anew.
bool startOnPath(gldesk::Path path) {
  releaseScene();
  gldesk::stop();
  gldesk::choosePath(path);
  if (!gldesk::start()) return false;
  resizeView(viewWidth, viewHeight);
  return initScene();
}

// ---------------------------------------------------------------------------
// Micro-benchmarks.

// A shot's ray marched down the longest corridor: one wall test per 0.2-unit
// step, as the rifle's march does.
void BM_CollideZone_ShotMarch(benchmark::State& state) {
  resetGameState();
  player.xtrans2 = kLongViewX;
  player.ztrans2 = kLongViewZ;
  long steps = 0;
  for (auto _ : state) {
    double x = kLongViewX, y = 10.0, z = kLongViewZ, zero = 0;
    const double dx = -0.2, dy = 0.0, dz = 0.0;
    for (;;) {
      ++steps;
      x += dx;
      y += dy;
      z += dz;
      if (collideInZone(zoneAt({kLongViewX, kLongViewZ}), &x, &y, &z, &zero, &zero, &zero, 0.0,
                        0.0)) {
        break;
      }
    }
    benchmark::DoNotOptimize(x);
  }
  state.counters["steps"] =
      benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
  state.counters["per_step"] = benchmark::Counter(
      static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  resetGameState();
}
BENCHMARK(BM_CollideZone_ShotMarch)->Unit(benchmark::kMicrosecond);

// One fragment's bounce test, the call the particle pass makes per fragment.
void BM_CollideZone_Fragment(benchmark::State& state) {
  resetGameState();
  player.xtrans2 = kLongViewX;
  player.ztrans2 = kLongViewZ;
  double x = 900, y = 30, z = 1400, vx = -3.1, vy = 1.7, vz = 2.3;
  for (auto _ : state) {
    x += vx;
    y += vy;
    z += vz;
    benchmark::DoNotOptimize(
        collideInZone(zoneAt({kLongViewX, kLongViewZ}), &x, &y, &z, &vx, &vy, &vz, 0.0, 0.75));
  }
  resetGameState();
}
BENCHMARK(BM_CollideZone_Fragment);

void BM_StartBurst(benchmark::State& state) {
  resetGameState();
  int slot = 0;
  for (auto _ : state) {
    shot.burstSlot = slot;
    shot.fire_x = 500;
    shot.fire_z = 1400;
    shot.fire_dx = -0.2;
    startBurst(slot,
               {shot.fire_x, shot.fire_y, shot.fire_z, shot.fire_dx, shot.fire_dy, shot.fire_dz});
    slot = slot == kBursts - 1 ? 0 : slot + 1;
  }
  benchmark::DoNotOptimize(particles[0][0].vx);
  resetParticles();
  resetGameState();
}
BENCHMARK(BM_StartBurst);

// The motion of all 2025 particles, without drawing: the arithmetic share of
// the particle pass (bursts refilled every 20 passes).
void BM_ParticleMotion_AllBursts(benchmark::State& state) {
  resetGameState();
  placeImpacts();
  int passes = 0;
  for (auto _ : state) {
    if (passes++ % 20 == 0) {
      state.PauseTiming();
      fillAllBursts();
      state.ResumeTiming();
    }
    const int zone = zoneAt({kLongViewX, kLongViewZ});
    for (int b = 0; b < kBursts; ++b) {
      for (int i = kPuffs; i < kParticlesPerBurst; ++i)
        if (particles[i][b].life > 0) advanceFragmentInZone(&particles[i][b], zone);
      for (int i = 0; i < kPuffs; ++i)
        if (particles[i][b].life > 0) advancePuff(&particles[i][b]);
    }
    benchmark::ClobberMemory();
  }
  resetParticles();
  resetGameState();
}
BENCHMARK(BM_ParticleMotion_AllBursts)->Unit(benchmark::kMicrosecond);

// One read-out line: formatting, the glyph lists, and their drawing (the
// driver is made to draw every 50 lines; left alone, an offscreen context
// queues work without end).
void BM_PrintText_ReadoutLine(benchmark::State& state) {
  double value = 1240.0;
  glBindTexture(GL_TEXTURE_2D, fontTexture.textureName);
  int lines = 0;
  for (auto _ : state) {
    char line[64];
    std::snprintf(line, sizeof line, "fire_x: %4.2f", value);
    printString(-350, 70, 1, line);
    value += 0.01;
    if (++lines % 50 == 0) glFinish();
  }
  glFinish();
}
BENCHMARK(BM_PrintText_ReadoutLine);

// The worst frame's own work, the game's and the GL layer's, with a backend
// that hands GL nothing to draw: what the frame costs before any driver.
const glbatch::Backend kNothingDrawn = {
    [] { return true; },    [] {}, [](const glbatch::EyeVertex*, size_t) {}, [](bool) {},
    [](const GLdouble*) {}, false};

void BM_WorstFrame_GameAndLayer(benchmark::State& state) {
  releaseScene();
  gldesk::stop();
  glbatch::useBackend(kNothingDrawn);
  gldesk::choosePath(gldesk::Path::Layer);
  if (!gldesk::start() || !initScene()) state.SkipWithError("no start");
  timedemoScenes[3].prepare();
  for (auto _ : state) {
    state.PauseTiming();
    timedemoScenes[3].prepare();
    state.ResumeTiming();
    timedemoScenes[3].draw();
    glFlush();
  }
  releaseScene();
  gldesk::stop();
  glbatch::useBackend(glbatch::fixedFunctionBackend);
  gldesk::start();
  initScene();
  resetGameState();
  resetParticles();
}
BENCHMARK(BM_WorstFrame_GameAndLayer)->Unit(benchmark::kMicrosecond);

// N worst frames on the backend that draws nothing; prints the particles alive
// in each, for the instruction counts per particle.
int runWorstFrames(int frames) {
  releaseScene();
  gldesk::stop();
  glbatch::useBackend(kNothingDrawn);
  gldesk::choosePath(gldesk::Path::Layer);
  if (!gldesk::start() || !initScene()) return 1;
  placeImpacts();
  int alive = 0;
  for (int f = 0; f < frames; ++f) {
    timedemoScenes[3].prepare();
    for (const auto& row : particles)
      for (const Particle& p : row) alive += p.life > 0 ? 1 : 0;
    runFrame();
    glFlush();
  }
  std::printf("WORST_FRAMES frames=%d particles=%d\n", frames, alive);
  return 0;
}

// The formatting alone of a full read-out block (42 lines).
void BM_Format_ReadoutBlock(benchmark::State& state) {
  char line[128];
  double v = 1044.0;
  for (auto _ : state) {
    for (int n = 0; n < 36; ++n) {
      benchmark::DoNotOptimize(std::snprintf(line, sizeof line, "secondTransX: %4.2f", v));
      v += 0.5;
    }
    for (int n = 0; n < 6; ++n) {
      benchmark::DoNotOptimize(std::snprintf(line, sizeof line, "[1]hit %2.0d", n));
    }
  }
}
BENCHMARK(BM_Format_ReadoutBlock);

// ---------------------------------------------------------------------------

struct Options {
  int frames = 300;
  int worstFrames = 0;  // --worst-frames: only those
  bool startupOnly = false;
  bool layer = true;   // the frame table through the GL layer
  bool direct = true;  // and straight to the driver
  bool micro = true;
  double since = -1;  // launch instant, seconds since the epoch
  std::string runDir = test_paths::kRun;
  std::vector<char*> benchmarkArgs;
};

bool parse(int argc, char** argv, Options* o) {
  o->benchmarkArgs.push_back(argv[0]);
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--frames" && hasValue) {
      o->frames = std::atoi(argv[++i]);
      if (o->frames < 1) return false;
    } else if (a == "--path" && hasValue) {
      const std::string path = argv[++i];
      if (path != "layer" && path != "direct") return false;
      o->layer = path == "layer";
      o->direct = path == "direct";
    } else if (a == "--worst-frames" && hasValue) {
      o->worstFrames = std::atoi(argv[++i]);
      if (o->worstFrames < 1) return false;
    } else if (a == "--startup-only") {
      o->startupOnly = true;
    } else if (a == "--no-micro") {
      o->micro = false;
    } else if (a == "--since" && hasValue) {
      std::string s = argv[++i];
      std::replace(s.begin(), s.end(), ',', '.');  // $EPOCHREALTIME follows the locale
      o->since = std::atof(s.c_str());
    } else if (a == "--size" && hasValue) {
      char end = '\0';
      if (std::sscanf(argv[++i], "%dx%d%c", &viewWidth, &viewHeight, &end) != 2 || viewWidth < 1 ||
          viewHeight < 1 || viewWidth > 8192 || viewHeight > 8192) {
        return false;
      }
    } else if (a == "--run-dir" && hasValue) {
      o->runDir = argv[++i];
    } else if (a.rfind("--benchmark_", 0) == 0) {
      o->benchmarkArgs.push_back(argv[i]);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const Clock::time_point mainEntered = Clock::now();
  const double mainEnteredEpoch = epochSeconds();
  Options options;
  if (!parse(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: timedemo [--frames N] [--startup-only] [--since SECONDS.MICROS]\n"
                 "                [--run-dir DIR] [--no-micro] [--path layer|direct]\n"
                 "                [--size WxH] [--benchmark_...]\n"
                 "       timedemo --worst-frames N\n");
    return 2;
  }
#if !defined(_WIN32)
  // SDL would otherwise turn Ctrl-C and SIGTERM into quit events nobody reads.
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
#endif
  if (chdir(options.runDir.c_str()) != 0) {
    std::fprintf(stderr, "timedemo: cannot enter the run folder %s\n", options.runDir.c_str());
    return 1;
  }

  // Start-up: a presented frame with the bare context, then the game's (on
  // the game's own path, the layer).
  if (!context.open(viewWidth, viewHeight) || !gldesk::start()) {
    std::fprintf(stderr, "timedemo: no OpenGL context\n");
    return 1;
  }
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  context.swap();
  glFinish();
  const Clock::time_point contextReady = Clock::now();
  if (options.worstFrames > 0) {
    const int failed = runWorstFrames(options.worstFrames);
    releaseScene();
    gldesk::stop();
    context.close();
    return failed;
  }

  resizeView(viewWidth, viewHeight);
  if (!initScene()) {
    for (const RecordedMessage& m : testPlatform.messages)
      std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
    std::fprintf(stderr, "timedemo: start-up failed\n");
    return 1;
  }
  shell.lastMouseX = 320;
  shell.lastMouseY = 240;
  runFrame();
  context.swap();
  glFinish();
  keyboardStep();
  const Clock::time_point gameReady = Clock::now();

  // Before main: loading, dynamic linking and static constructors.
  const double beforeMain = options.since > 0 ? (mainEnteredEpoch - options.since) * 1000 : 0;
  const double contextMs = beforeMain + msBetween(mainEntered, contextReady);
  const double gameMs = beforeMain + msBetween(mainEntered, gameReady);
  std::printf("Start-up to the first presented frame (from %s):\n",
              options.since > 0 ? "process start" : "main");
  std::printf("  context only:                        %8.1f ms\n", contextMs);
  std::printf("  context + initScene + first frame:   %8.1f ms   (x %.2f)\n", gameMs,
              contextMs > 0 ? gameMs / contextMs : 0.0);
  if (options.since > 0)
    std::printf("  of which before main:                %8.1f ms\n", beforeMain);
  std::printf("STARTUP context_ms=%.3f game_ms=%.3f\n", contextMs, gameMs);
  if (options.startupOnly) return 0;

  std::printf("\nRenderer: %s, %s, at %d x %d\n",
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
              reinterpret_cast<const char*>(glGetString(GL_VERSION)), viewWidth, viewHeight);
  alloc_counter::warmUp();
  double layered = 0, direct = 0;
  if (options.layer) {
    std::printf("\nThrough the game's GL layer (GL 1.1 client arrays):");
    layered = runFrameTable(options.frames);
    if (!noGlError("the layer")) return 1;
  }
  if (options.direct) {
    if (!startOnPath(gldesk::Path::Direct)) {
      std::fprintf(stderr, "timedemo: the direct path did not start\n");
      return 1;
    }
    std::printf("\nStraight to the driver (--direct-gl):");
    direct = runFrameTable(options.frames);
    if (!noGlError("the direct path")) return 1;
    if (!startOnPath(gldesk::Path::Layer)) return 1;
  }
  if (options.layer && options.direct) {
    std::printf("\nWorst playing frame / maze frame: %.2f through the layer, %.2f direct\n",
                layered, direct);
  }

  if (options.micro) {
    std::printf("\nMicro-benchmarks\n");
    std::fflush(stdout);
    int benchArgc = static_cast<int>(options.benchmarkArgs.size());
    benchmark::Initialize(&benchArgc, options.benchmarkArgs.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  }
  releaseScene();
  gldesk::stop();
  context.close();
  return 0;
}
