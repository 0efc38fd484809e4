// The game state's start values.
#include <gtest/gtest.h>

#include "game/state.h"

TEST(GameState, StartsAtTheSpawnPointsAndTheCorner) {
  resetGameState();
  EXPECT_EQ(player.xtrans2, 1240.0);
  EXPECT_EQ(player.ztrans2, 1752.0);
  EXPECT_EQ(shot.fire_y, 10.0);
  EXPECT_EQ(shot.shotDone, 1);
  EXPECT_EQ(enemies[0].x, 1044.0f);
  EXPECT_EQ(enemies[5].z, 20.0f);
  // The start point lies inside the first enemy's zone.
  EXPECT_GT(player.xtrans2, kEnemyConfig[0].zoneX0);
  EXPECT_LT(player.ztrans2, kEnemyConfig[0].zoneZ1);
}
