// The counting operator new and delete behind alloc_counter.h.
#include "support/alloc_counter.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#if defined(__linux__)
#include <dlfcn.h>
#include <execinfo.h>
#endif

namespace {
std::atomic<bool> counting{false};
std::thread::id countedThread;  // the driver's worker threads are not the game
std::atomic<long> gameCount{0};
std::atomic<long> driverCount{0};
#if defined(__linux__)
void* firstStack[64];
int firstStackDepth = 0;
#endif

// Whether the allocation being made has GL driver code on its call stack.
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
  if (!counting.load(std::memory_order_relaxed) || std::this_thread::get_id() != countedThread) {
    return;
  }
  if (fromTheDriver()) {
    driverCount.fetch_add(1);
    return;
  }
  if (gameCount.fetch_add(1) == 0) {
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

namespace alloc_counter {

void start() {
  counting = false;
  countedThread = std::this_thread::get_id();
  gameCount = 0;
  driverCount = 0;
#if defined(__linux__)
  firstStackDepth = 0;
#endif
  counting = true;
}

void stop() { counting = false; }

long gameAllocations() { return gameCount.load(); }
long driverAllocations() { return driverCount.load(); }

void warmUp() {
#if defined(__linux__)
  void* frames[4];
  backtrace(frames, 4);  // its first call loads the unwinder
#endif
}

bool firstStackKnown() {
#if defined(__linux__)
  return gameCount.load() > 0 && firstStackDepth > 0;
#else
  return false;
#endif
}

void printFirstStack(int fd) {
#if defined(__linux__)
  if (firstStackKnown()) backtrace_symbols_fd(firstStack, firstStackDepth, fd);
#else
  (void)fd;
#endif
}

}  // namespace alloc_counter

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
