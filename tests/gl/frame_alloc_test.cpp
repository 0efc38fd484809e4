// A steady frame allocates nothing: every allocation through operator new
// made by the game is counted while it plays a thousand frames with walking,
// turning, shots, smoke bursts and the read-outs. The GL driver's own
// allocations (llvmpipe compiles shader variants with LLVM, which uses the
// process's operator new on Linux) are the driver's business and are left
// out; under Windows the driver never sees this executable's operator new.
#include <gtest/gtest.h>

#include <cmath>

#include "app/shell.h"
#include "game/state.h"
#include "support/alloc_counter.h"
#include "support/bot.h"
#include "support/game_scene.h"
#include "support/test_platform.h"

namespace {
// Through either GL path: the game's own GL layer allocates nothing either.
// Only the count matters, so the frames go to a small surface.
class SteadyFrames : public scene::OnBothPaths<scene::GameScene> {
 protected:
  bool readsNoPixel() const override { return true; }
};
INSTANTIATE_TEST_SUITE_P(Gl, SteadyFrames, scene::bothPaths(), scene::pathName);
}  // namespace

TEST(AllocationCounter, SeesTheGamesAllocations) {
  alloc_counter::start();
  int* p = new int(7);
  alloc_counter::stop();
  EXPECT_EQ(alloc_counter::gameAllocations(), 1);
  delete p;
}

TEST_P(SteadyFrames, AThousandFramesOfPlayAllocateNothing) {
  bot::Mouse mouse;
  // The test's stand-in for the OS records sounds and warps in lists; give
  // them their room before counting.
  testPlatform.sounds.reserve(4096);
  testPlatform.warps.reserve(4096);
  input.showStats = 1;
  for (int i = 0; i < 5; ++i) step();  // warm-up: the first use of the C runtime
  alloc_counter::warmUp();

  alloc_counter::start();
  for (int f = 0; f < 1000; ++f) {
    // Shoot the first enemy, walk along the corridor into cell 3, then turn
    // on the spot shooting at the walls.
    if (f == 0) input.mouseYaw = 45;
    if (f == 100) keyDown(vk::Up);
    if (f >= 100 && f < 400) {
      const double tz = f < 200 ? 1664 : 1100;
      const double wanted = bot::headingTowards(player.xtrans2, player.ztrans2, 896, tz);
      mouse.turn(std::fmax(-8.0, std::fmin(8.0, bot::wrap180(wanted - view.heading))));
    }
    if (f == 400) keyUp(vk::Up);
    if (f >= 400) mouse.turn(1.5);
    if (f % 7 == 0) input.fireRequest = 1;
    step();
  }
  alloc_counter::stop();
  EXPECT_EQ(alloc_counter::gameAllocations(), 0);
  alloc_counter::printFirstStack(2);
  EXPECT_EQ(result.gameOver, 0);
  EXPECT_EQ(enemies[0].dead, 1);
  EXPECT_GT(testPlatform.sounds.size(), 100u);
}
