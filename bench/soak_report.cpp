// The soak's verdict and its report on stdout.
#include <cstdio>

#include "soak.h"
#include "support/alloc_counter.h"

namespace {
// The driver's heap rises and falls by tens of megabytes with what a frame
// draws; a leak shows as a second half whose peak tops the first half's.
long rssGrowth(const SoakTotals& t) { return t.peakSecondHalf - t.peakFirstHalf; }

bool memoryFlat(const SoakOptions& options, const SoakTotals& t) {
  return t.rssStart < 0 || rssGrowth(t) <= options.rssLimitKb;
}
}  // namespace

long misplacedFrames(const SoakTotals& t) {
  long frames = 0;
  for (const Misplaced& m : t.misplaced) frames += m.frames;
  return frames;
}

bool soakPassed(const SoakOptions& options, const SoakTotals& t) {
  return t.nonFinite == nullptr && misplacedFrames(t) == 0 && t.glErrors == 0 &&
         t.gameAllocations == 0 && memoryFlat(options, t) && t.messages == 0 && t.sounds == t.shots;
}

void printSoakReport(const SoakOptions& options, const SoakTotals& t) {
  const double seconds = t.seconds;
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
  for (const Misplaced& m : t.misplaced) {
    if (m.frames > 0) {
      std::printf("  out of place: %s at frame %ld (%ld frames)\n", m.first, m.firstFrame,
                  m.frames);
    }
  }
  if (misplacedFrames(t) == 0) {
    std::printf("  out of place: nothing (player, its steps, enemies, fragments, score)\n");
  }
  std::printf("  steps held at a wall: %ld\n", t.heldSteps);
  if (t.glErrors > 0) {
    std::printf("  GL errors: %ld, the first 0x%04X by frame %ld\n", t.glErrors, t.firstGlError,
                t.firstGlErrorFrame);
  } else {
    std::printf("  GL errors: none\n");
  }
  if (t.messages > 0) std::printf("  message boxes during play: %ld\n", t.messages);
  std::printf("  RSS: %ld kB after start-up, %ld kB after warm-up, %ld kB at the end (%+ld kB)\n",
              t.rssStartUp, t.rssStart, t.rssEnd, t.rssEnd - t.rssStart);
  std::printf(
      "  RSS peaks: %ld kB in the first half, %ld kB in the second (%+ld kB; limit %ld kB)\n",
      t.peakFirstHalf, t.peakSecondHalf, rssGrowth(t), options.rssLimitKb);
  if (!memoryFlat(options, t)) std::printf("  memory grew beyond the limit\n");
  if (t.heapStart >= 0) {
    std::printf("  C heap in use: %ld kB after warm-up, %ld kB at the end (%+ld kB)\n", t.heapStart,
                t.heapEnd, t.heapEnd - t.heapStart);
  }
  std::printf("  operator new in the loop: %ld by the game, %ld by the GL driver\n",
              t.gameAllocations, t.driverAllocations);
  if (alloc_counter::firstStackKnown() && options.inject == nullptr) {
    std::printf("  the first game allocation was made here:\n");
    std::fflush(stdout);
    alloc_counter::printFirstStack(1);
  }
  std::printf("  %s\n", soakPassed(options, t) ? "PASS" : "FAIL");
}
