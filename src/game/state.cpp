// The game's state records, and their reset to the start values.
#include "game/state.h"

InputState input;
PlayerState player;
ViewState view;
ShotState shot;
Enemy enemies[kEnemyCount];
ResultState result;
FrameRateState frameRate;

namespace {
// Enemies start on their spawn points; everything else of theirs is zero.
struct EnemySpawner {
  EnemySpawner() { resetEnemies(); }
  static void resetEnemies() {
    for (int i = 0; i < kEnemyCount; ++i) {
      enemies[i] = Enemy{};
      enemies[i].x = kEnemyConfig[i].spawnX;
      enemies[i].z = kEnemyConfig[i].spawnZ;
    }
  }
} enemySpawner;
}  // namespace

void resetGameState() {
  input = InputState{};
  player = PlayerState{};
  view = ViewState{};
  shot = ShotState{};
  result = ResultState{};
  frameRate = FrameRateState{};
  EnemySpawner::resetEnemies();
}
