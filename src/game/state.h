// The game's state: plain program-wide records with their start values. One
// run plays one game; nothing here is re-initialised while the game runs
// (resetGameState exists for the tests, which play many games in one process).
#pragma once

#include <cstdint>

#include "camera.h"
#include "world/maze_layout.h"

// Input state, written by the window procedure and the main loop.
struct InputState {
  uint8_t KeyDown[256] = {};  // 1 from a key's down message to its up message
  double mouseYaw = 0;        // degrees, kept within 0..360
  double pitch = 0;           // degrees, -85..85, positive looks down
  double turnSpeed = 0;       // keyboard turn rate, degrees per frame
  uint8_t fireRequest = 0;    // set by a left button press, cleared when the frame fires
  uint8_t showStats = 0;      // F: frame rate and debug read-outs
};

// The player, in world units.
struct PlayerState {
  double xtrans2 = 1240.0;
  double ytrans2 = 7.0;
  double ztrans2 = 1752.0;
  double xmove = 0;
  double ymove = 0;  // only ever handed to the wall tests; stays 0
  double zmove = 0;
};

// The view, recomputed by every frame.
struct ViewState {
  double keyYaw = 0;   // sum of the keyboard turning, never wrapped
  double heading = 0;  // mouseYaw + keyYaw; forward is (-sin, -cos) in (x, z)
  double viewYaw = 0;  // 360 - heading, the camera's rotation about y
  double camX = 0;     // -xtrans2 before the frame's wall test
  double camZ = 0;     // -ztrans2 before the frame's wall test
};

// The rifle's shot.
struct ShotState {
  uint8_t shotDone = 1;  // 0 while a ray is being marched
  double fire_x = 0;
  double fire_y = kMuzzleHeight;
  double fire_z = 0;
  double fire_dx = 0;
  double fire_dy = 0;
  double fire_dz = 0;
  int32_t burstSlot = 0;    // smoke burst the next wall hit fills, 0..44
  uint8_t smokeActive = 0;  // particles may be alive
};

// One enemy. Positions and speeds are single precision.
struct Enemy {
  float x = 0;
  float z = 0;
  uint8_t inZone = 0;
  uint8_t dead = 0;
  int32_t hit = 0;
  float speedX = 0;
  float speedZ = 0;
  float fall = 0;
  float fallSpeed = 0;
  float RotateX = 0;
  float multiplier = 0;
};

// Where an enemy starts and the rectangle it guards (bounds exclusive).
struct EnemyConfig {
  float spawnX, spawnZ;
  double zoneX0, zoneX1, zoneZ0, zoneZ1;
};

// An enemy that guards one of the maze's zones.
constexpr EnemyConfig guarding(float spawnX, float spawnZ, const MazeZone& zone) {
  return {spawnX, spawnZ, zone.x0, zone.x1, zone.z0, zone.z1};
}

constexpr int kEnemyCount = 6;
constexpr EnemyConfig kEnemyConfig[kEnemyCount] = {
    guarding(1044, 1556, kMazeZones[0]),  // the start's corridor
    guarding(532, 1300, kMazeZones[1]),   // the long corridor
    guarding(20, 1044, kMazeZones[3]),    // the dead end at cell 14
    guarding(532, 532, kMazeZones[4]),    // the dead end at cell 8
    guarding(20, 532, kMazeZones[6]),     // the corridor up to cell 17
    // The last corridor, to the door (zone 7). Its rectangle reaches on to
    // z = 768 over cell (1, 2), which is walled in on all four sides and holds
    // no path cell: the player never stands there, so in play the sixth enemy
    // guards exactly zone 7. The rectangle is kept as the game has it.
    {492, 20, kMazeZones[7].x0, kMazeZones[7].x1, kMazeZones[7].z0, 768.0},
};

struct ResultState {
  int32_t point = 0;     // the score, 10 per kill
  uint8_t gameOver = 0;  // an enemy reached the player
  uint8_t gameWon = 0;   // the player reached the exit
};

// Frame-rate sampling, only while the read-outs are shown.
struct FrameRateState {
  int32_t frameCount = 0;
  double nowTime = 0;  // seconds
  double lastTime = 0;
  double elapsed = 0;
  double fps = 0;
};

extern InputState input;
extern PlayerState player;
extern ViewState view;
extern ShotState shot;
extern Enemy enemies[kEnemyCount];
extern ResultState result;
extern FrameRateState frameRate;

// Degrees to radians: pi/180 rounded to single precision, used in double arithmetic.
constexpr double kDegToRad = static_cast<double>(0.017453292f);

// Puts every record back to its start value (enemies on their spawn points).
void resetGameState();
