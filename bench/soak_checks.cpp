// The soak's checks: non-finite state, GL errors, memory figures, and the
// faults made on request to prove each check.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <malloc.h>
#include <unistd.h>
#elif defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#endif

#include "app/shell.h"
#include "game/state.h"
#include "gl.h"
#include "soak.h"
#include "world/particles.h"

namespace {
char nonFiniteName[96];
void* leaked = nullptr;

bool finiteParticle(const Particle& p) {
  double sum = p.life + p.fade + p.size + p.x + p.y + p.z + p.vx + p.vy + p.vz;
  for (double t : p.triangle) sum += t;
  for (double a : p.angle) sum += a;
  for (double s : p.spin) sum += s;
  // A sum of finite values can overflow only far beyond anything here.
  return std::isfinite(sum);
}
}  // namespace

#define SOAK_CHECK(value)                                                     \
  do {                                                                        \
    if (!std::isfinite(static_cast<double>(value))) {                         \
      std::snprintf(nonFiniteName, sizeof nonFiniteName, "%s", #value);       \
      return nonFiniteName;                                                   \
    }                                                                         \
  } while (0)

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

void readGlErrors(SoakTotals* t) {
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
    if (t->glErrors++ == 0) {
      t->firstGlError = e;
      t->firstGlErrorFrame = t->frames;
    }
  }
}

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

long heapInUseKb() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
#else
  return -1;
#endif
}

bool isSoakFault(const char* kind) {
  return std::strcmp(kind, "nan") == 0 || std::strcmp(kind, "alloc") == 0 ||
         std::strcmp(kind, "glerror") == 0 || std::strcmp(kind, "leak") == 0;
}

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

void releaseInjectedFaults() {
  std::free(leaked);
  leaked = nullptr;
}
