// A steady frame allocates nothing: every allocation through operator new
// made by the game is counted while it plays a thousand frames with walking,
// turning, shots, smoke bursts and the read-outs. The GL driver's own
// allocations (llvmpipe compiles shader variants with LLVM, which uses the
// process's operator new on Linux) are the driver's business and are left
// out; under Windows the driver never sees this executable's operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#if defined(__linux__)
#include <dlfcn.h>
#include <execinfo.h>
#endif

#include "app/shell.h"
#include "frame_test_scene.h"

namespace {
std::atomic<bool> counting{false};
std::thread::id gameThread;  // the driver's worker threads are not the game
std::atomic<long> allocations{0};

// The call stack of the first counted allocation, printed when the test fails.
#if defined(__linux__)
void* firstStack[64];
int firstStackDepth = 0;
void rememberStack() { firstStackDepth = backtrace(firstStack, 64); }
void printFirstStack() {
  if (firstStackDepth > 0) backtrace_symbols_fd(firstStack, firstStackDepth, 2);
}
#else
void rememberStack() {}
void printFirstStack() {}
#endif

// Whether the allocation being made has no GL driver code on its call stack.
bool fromTheGame() {
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
      return false;
    }
  }
#endif
  return true;
}

void* allocate(std::size_t size) {
  if (counting.load(std::memory_order_relaxed) && std::this_thread::get_id() == gameThread &&
      fromTheGame()) {
    if (allocations.fetch_add(1) == 0) rememberStack();
  }
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void* allocateNoThrow(std::size_t size) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
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
class SteadyFrames : public frame_test::GameScene {};
}  // namespace

TEST(AllocationCounter, SeesTheGamesAllocations) {
  gameThread = std::this_thread::get_id();
  counting = true;
  const long before = allocations.load();
  int* p = new int(7);
  counting = false;
  EXPECT_EQ(allocations.load(), before + 1);
  delete p;
}

TEST_F(SteadyFrames, AThousandFramesOfPlayAllocateNothing) {
  frame_test::Mouse mouse;
  // The test's stand-in for the OS records sounds and warps in lists; give
  // them their room before counting.
  testPlatform.sounds.reserve(4096);
  testPlatform.warps.reserve(4096);
  input.showStats = 1;
  for (int i = 0; i < 5; ++i) step();  // warm-up: the first use of the C runtime
#if defined(__linux__)
  void* warm[4];
  backtrace(warm, 4);  // its first call loads the unwinder
#endif

  gameThread = std::this_thread::get_id();
  allocations = 0;
  counting = true;
  for (int f = 0; f < 1000; ++f) {
    // Shoot the first enemy, walk along the corridor into cell 3, then turn
    // on the spot shooting at the walls.
    if (f == 0) input.mouseYaw = 45;
    if (f == 100) keyDown(vk::Up);
    if (f >= 100 && f < 400) {
      const double tz = f < 200 ? 1664 : 1100;
      const double wanted = frame_test::headingTowards(player.xtrans2, player.ztrans2, 896, tz);
      mouse.turn(std::fmax(-8.0, std::fmin(8.0, frame_test::wrap180(wanted - view.heading))));
    }
    if (f == 400) keyUp(vk::Up);
    if (f >= 400) mouse.turn(1.5);
    if (f % 7 == 0) input.fireRequest = 1;
    step();
  }
  counting = false;
  EXPECT_EQ(allocations.load(), 0);
  if (allocations.load() != 0) printFirstStack();
  EXPECT_EQ(result.gameOver, 0);
  EXPECT_EQ(enemies[0].dead, 1);
  EXPECT_GT(testPlatform.sounds.size(), 100u);
}
