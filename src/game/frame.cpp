// One game frame: the player step, the camera, then the maze, enemy, shot, smoke and HUD passes.
#include "game/frame.h"

#include <cmath>

#include "platform/timer.h"

#include "camera.h"
#include "game/enemies.h"
#include "game/hud.h"
#include "game/shooting.h"
#include "game/state.h"
#include "gl.h"
#include "world/collision.h"
#include "world/maze.h"
#include "world/particles.h"

namespace {
// Damping factors are single-precision constants used in double arithmetic.
constexpr double kWalkDamping = static_cast<double>(0.8f);
constexpr double kTurnDamping = static_cast<double>(0.9f);

void movePlayer() {
  const Standpoint before = {player.xtrans2, player.ztrans2};
  player.xmove *= kWalkDamping;
  player.zmove *= kWalkDamping;
  player.xtrans2 += player.xmove / 10;
  player.ztrans2 += player.zmove / 10;
  view.camX = -player.xtrans2;
  view.camZ = -player.ztrans2;
  // The camera keeps this frame's unclamped position; the wall test's
  // correction shows from the next frame on. However long the step, it never
  // takes the player through a wall.
  collideStep(before, &player.xtrans2, &player.ytrans2, &player.ztrans2, &player.xmove,
              &player.ymove, &player.zmove, kPlayerMargin, 0.0);
}

void turnPlayer() {
  input.turnSpeed *= kTurnDamping;
  view.keyYaw += input.turnSpeed;
  view.heading = input.mouseYaw + view.keyYaw;
  view.viewYaw = 360 - view.heading;
}

// Every tenth frame with the read-outs on: seconds over the last ten frames.
void sampleFrameRate() {
  ++frameRate.frameCount;
  if (frameRate.frameCount % 10 != 0) return;
  frameRate.nowTime = timerGetTime() / 1000;
  frameRate.elapsed = std::fabs(frameRate.nowTime - frameRate.lastTime);
  frameRate.lastTime = timerGetTime() / 1000;
  if (frameRate.elapsed != 0) frameRate.fps = 10 / frameRate.elapsed;
}
}  // namespace

// The particle pass, seen from the player; it ends once nothing is alive.
void drawSmoke() {
  const ParticleView eye = {
      input.pitch, view.viewYaw, view.camX, view.camZ, {player.xtrans2, player.ztrans2}};
  if (!drawParticles(eye)) shot.smokeActive = 0;
}

void placeCamera() {
  glLoadIdentity();
  glRotated(input.pitch, 1, 0, 0);
  glRotated(view.viewYaw, 0, 1, 0);
  glTranslated(view.camX, -kEyeHeight, view.camZ);
}

bool runFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (result.gameWon || result.gameOver) {
    drawEndScreen();
    return true;
  }
  movePlayer();
  turnPlayer();
  placeCamera();
  drawMaze();
  updateEnemies();
  fireIfRequested();
  marchShot();
  if (shot.smokeActive) drawSmoke();
  drawCrosshair();
  drawHud();
  if (input.showStats) {
    glDisable(GL_DEPTH_TEST);
    sampleFrameRate();
    drawStats();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_TEXTURE_2D);
  }
  return true;
}
