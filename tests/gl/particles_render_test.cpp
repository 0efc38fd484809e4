// The particle pass drawn over the maze: what shows, what hides, when it ends.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game/frame.h"
#include "game/shooting.h"
#include "game/state.h"
#include "image/textures.h"
#include "support/game_scene.h"
#include "support/reference_image.h"
#include "world/particles.h"

using scene::MazeScene;
using Pixels = std::vector<uint8_t>;

namespace {

// The player fires where it faces: the game's own shot strikes the wall ahead
// and starts its burst in `slot`.
void fireAhead(int32_t slot) {
  shot.burstSlot = slot - 1;  // firing moves on to the next slot
  input.fireRequest = 1;
  fireIfRequested();
  marchShot();
}

size_t differingPixels(const Pixels& a, const Pixels& b) {
  size_t count = 0;
  for (size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3) {
    if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++count;
  }
  return count;
}

void killParticles(int from, int to, int burst) {
  for (int i = from; i < to; ++i) particles[i][burst].life = 0;
}

class ParticleScene : public MazeScene {
 protected:
  // The maze from near the wall z = 1536, facing it, so that the burst
  // covers a good part of the picture.
  Pixels mazeOnly() {
    standAt(1240, 1560, 0);
    drawMazeView();
    return present();
  }
};

}  // namespace

TEST_F(ParticleScene, ABurstIsAdvancedAndDrawnInTheFrameThatStartsIt) {
  const Pixels before = mazeOnly();

  drawMazeView();
  fireAhead(1);  // heading 0 from cell 0: the wall z = 1536
  std::vector<Particle> started(kParticlesPerBurst);
  for (int i = 0; i < kParticlesPerBurst; ++i) started[static_cast<size_t>(i)] = particles[i][1];
  drawSmoke();
  const Pixels after = present();
  if (writingFrames()) {
    writeFrame(framePath("particles_burst"), after);
  }

  EXPECT_EQ(shot.smokeActive, 1);
  for (int i = 0; i < kParticlesPerBurst; ++i) {
    const Particle& s = started[static_cast<size_t>(i)];
    const Particle& p = particles[i][1];
    if (i < kPuffs) {
      EXPECT_EQ(p.life, s.life - s.fade / 2) << i;
      EXPECT_EQ(p.x, s.x + s.vx / 2) << i;
    } else {
      EXPECT_EQ(p.life, s.life - s.fade) << i;
      EXPECT_EQ(p.angle[0], s.angle[0] + s.spin[0]) << i;
    }
  }
  // No other burst came alive.
  for (int b = 0; b < kBursts; ++b) {
    if (b != 1) {
      EXPECT_EQ(particles[0][b].life, 0.0) << b;
    }
  }
  EXPECT_GT(differingPixels(before, after), 200u);
}

TEST_F(ParticleScene, WithNothingAliveThePassDrawsNothingAndEnds) {
  const Pixels before = mazeOnly();
  // A record whose life has run out is neither moved nor drawn.
  particles[20][3].life = 0;
  particles[20][3].x = 1200;
  particles[20][3].y = 20;
  particles[20][3].z = 1600;
  particles[20][3].vx = 1;
  particles[2][3].life = -0.01;
  particles[2][3].vy = 1;

  drawMazeView();
  shot.smokeActive = 1;
  drawSmoke();
  EXPECT_EQ(shot.smokeActive, 0);
  EXPECT_EQ(differingPixels(before, present()), 0u);
  EXPECT_EQ(particles[20][3].x, 1200.0);
  EXPECT_EQ(particles[2][3].y, 0.0);
}

// The state the pass leaves, read back from the driver.
class ParticlesOnTheDriver : public scene::OnTheDriver<ParticleScene> {};

TEST_F(ParticlesOnTheDriver, ThePassLeavesTheSmokeStateForTheNextStep) {
  standAt(1240, 1752, 0);
  drawMazeView();
  fireAhead(0);
  drawSmoke();

  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLint bound = 0, src = 0, dst = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(static_cast<GLuint>(bound), smokeTexture);
  EXPECT_EQ(src, GL_SRC_ALPHA);
  EXPECT_EQ(dst, GL_ONE);
}

TEST_F(ParticleScene, PuffsShowThroughWallsAndFragmentsDoNot) {
  const Pixels before = mazeOnly();
  // The player exactly on the line z = 1536 stands in no zone, so nothing
  // holds the fragments; the burst lies behind the wall the camera faces.
  player.ztrans2 = 1536.0;
  const Impact behindTheWall = {1240, 10, 1500, 0, 0, 0};

  startBurst(0, behindTheWall);
  killParticles(0, kPuffs, 0);
  drawMazeView();
  shot.smokeActive = 1;
  drawSmoke();
  EXPECT_EQ(differingPixels(before, present()), 0u) << "fragments showed through the wall";

  startBurst(0, behindTheWall);
  killParticles(kPuffs, kParticlesPerBurst, 0);
  drawMazeView();
  drawSmoke();
  const Pixels after = present();
  EXPECT_GT(differingPixels(before, after), 100u) << "puffs were hidden by the wall";
  // Additive: nothing got darker.
  for (size_t i = 0; i < before.size(); ++i) ASSERT_GE(after[i], before[i]) << i;
}

TEST_F(ParticleScene, SmokeEndsAfterTheLongestLivedParticleFades) {
  standAt(1240, 1600, 0);
  fireAhead(44);
  // How many passes each particle stays live for, by its own fade.
  int longest = 0;
  for (int i = 0; i < kParticlesPerBurst; ++i) {
    const Particle& p = particles[i][44];
    const double perPass = i < kPuffs ? p.fade / 2 : p.fade;
    double life = p.life;
    int passes = 0;
    while (life > 0) {
      life -= perPass;
      ++passes;
    }
    if (passes > longest) longest = passes;
  }
  EXPECT_GE(longest, 51);
  EXPECT_LE(longest, 101);

  int passes = 0;
  while (shot.smokeActive && passes < 200) {
    drawMazeView();
    drawSmoke();
    ++passes;
    if (passes == 15 && writingFrames()) {
      writeFrame(framePath("particles_pass15"), present());
    }
  }
  EXPECT_EQ(passes, longest + 1);  // the last pass finds nothing alive
}
