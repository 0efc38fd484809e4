// The soak's checks: non-finite state, where everything stands, GL errors,
// memory figures, and the faults made on request to prove each check.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#if defined(__linux__)
#include <malloc.h>
#include <unistd.h>
#elif defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#endif

#include "app/shell.h"
#include "game/enemies.h"
#include "game/state.h"
#include "gl.h"
#include "soak.h"
#include "support/maze_geometry.h"
#include "world/collision.h"
#include "world/maze_layout.h"
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

// Each check of where things stand: true when it found something, which it
// describes in `what`.
using Text = char[160];

bool playerOffThePath(Text what) {
  // Judged by the maze's own geometry, not by the wall test: inside a path
  // cell (or on its edge) and the margin clear of that cell's walls.
  const Standpoint now = {player.xtrans2, player.ztrans2};
  if (maze_geometry::onThePath(now, kPlayerMargin)) return false;
  std::snprintf(what, sizeof(Text), "the player off the path at x %.2f, z %.2f", now.x, now.z);
  return true;
}

bool playerThroughAWall(Standpoint before, Text what) {
  const Standpoint now = {player.xtrans2, player.ztrans2};
  if (!maze_geometry::wayMeetsWall(before, now)) return false;
  std::snprintf(what, sizeof(Text),
                "the player went through a wall from x %.2f, z %.2f to x %.2f, z %.2f", before.x,
                before.z, now.x, now.z);
  return true;
}

bool enemyOutsideItsZone(Text what) {
  for (int i = 0; i < kEnemyCount; ++i) {
    const Enemy& e = enemies[i];
    if (e.dead || playerInZone(kEnemyConfig[i], e.x, e.z)) continue;
    std::snprintf(what, sizeof(Text), "enemies[%d] outside its zone at x %.2f, z %.2f", i,
                  static_cast<double>(e.x), static_cast<double>(e.z));
    return true;
  }
  return false;
}

bool fragmentOutsideTheMaze(Text what) {
  for (int i = kPuffs; i < kParticlesPerBurst; ++i) {
    for (int b = 0; b < kBursts; ++b) {
      const Particle& p = particles[i][b];
      if (!(p.life > 0)) continue;
      // Inside a path cell (an edge counts), between floor and ceiling.
      bool inside = false;
      for (const MazeCell& c : kMazeCells) inside = inside || maze_geometry::inCell({p.x, p.z}, c);
      if (inside && p.y >= 0 && p.y <= kCeilingY) continue;
      std::snprintf(what, sizeof(Text),
                    "particles[%d][%d] outside the maze at x %.2f, y %.2f, z %.2f", i, b, p.x, p.y,
                    p.z);
      return true;
    }
  }
  return false;
}

bool scoreWrong(Text what) {
  int dead = 0;
  for (const Enemy& e : enemies) dead += e.dead ? 1 : 0;
  if (result.point == 10 * dead) return false;
  std::snprintf(what, sizeof(Text), "score %d with %d enemies dead", result.point, dead);
  return true;
}
}  // namespace

void Misplaced::note(long frame, const char* what) {
  if (frames++ > 0) return;
  firstFrame = frame;
  std::snprintf(first, sizeof first, "%s", what);
}

void checkPlaces(Standpoint before, long frame, Misplaced found[kPlaceChecks]) {
  Text what;
  if (playerOffThePath(what)) found[kPlayerPlace].note(frame, what);
  if (playerThroughAWall(before, what)) found[kPlayerStep].note(frame, what);
  if (enemyOutsideItsZone(what)) found[kEnemyPlace].note(frame, what);
  if (fragmentOutsideTheMaze(what)) found[kFragmentPlace].note(frame, what);
  if (scoreWrong(what)) found[kScore].note(frame, what);
}

bool stepWasHeld(Standpoint before) {
  return maze_geometry::wayMeetsWall(before, {-view.camX, -view.camZ});
}

#define SOAK_CHECK(value)                                               \
  do {                                                                  \
    if (!std::isfinite(static_cast<double>(value))) {                   \
      std::snprintf(nonFiniteName, sizeof nonFiniteName, "%s", #value); \
      return nonFiniteName;                                             \
    }                                                                   \
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
    const float values[] = {e.x,    e.z,         e.speedX,  e.speedZ,
                            e.fall, e.fallSpeed, e.RotateX, e.multiplier};
    const char* const names[] = {"x",    "z",         "speedX",  "speedZ",
                                 "fall", "fallSpeed", "RotateX", "multiplier"};
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
  for (const char* known :
       {"nan", "alloc", "glerror", "leak", "rock", "wall", "enemy", "fragment", "score"}) {
    if (std::strcmp(kind, known) == 0) return true;
  }
  return false;
}

bool injectFault(const char* kind) {
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
  } else if (std::strcmp(kind, "rock") == 0) {
    player.xtrans2 = 640;  // cell (2, 4), walled in by the corridors around it
    player.ztrans2 = 1152;
  } else if (std::strcmp(kind, "wall") == 0) {
    // To the middle of a dead end that no straight way from where the player
    // is reaches without meeting a wall. Cell 14 opens only onto cell 13, and
    // a way into it through that side comes from x < 512 in the long
    // corridor (zone 1); from there, or from cell 14 itself, cell 8 instead.
    const bool nearCell14 =
        player.xtrans2 < 512 && player.ztrans2 > 1024 && player.ztrans2 < kMazeZones[1].z1;
    player.xtrans2 = nearCell14 ? 640 : 128;
    player.ztrans2 = nearCell14 ? 384 : 1152;
  } else if (std::strcmp(kind, "enemy") == 0) {
    for (int i = 0; i < kEnemyCount; ++i) {
      if (enemies[i].dead) continue;
      enemies[i].x = static_cast<float>(kEnemyConfig[i].zoneX1 + 40);
      return true;
    }
    return false;
  } else if (std::strcmp(kind, "fragment") == 0) {
    // Into the rock beside the start, inside the maze's bounding box.
    particles[kPuffs][0].life = 1;
    particles[kPuffs][0].x = 640;
    particles[kPuffs][0].y = 30;
    particles[kPuffs][0].z = 1152;
  } else if (std::strcmp(kind, "score") == 0) {
    result.point += 10;
  }
  return true;
}

void releaseInjectedFaults() {
  std::free(leaked);
  leaked = nullptr;
}
