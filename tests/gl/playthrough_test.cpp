// Whole games, frame by frame through the same input handlers the shells use:
// a player who walks the corridor to the door and shoots every enemy that
// hunts it, and one who stands still and is caught.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "app/recording.h"
#include "app/shell.h"
#include "game/frame.h"
#include "game/hud.h"
#include "game/state.h"
#include "platform/platform.h"
#include "support/bot.h"
#include "support/game_scene.h"
#include "support/recorded_game.h"
#include "support/reference_image.h"
#include "support/test_paths.h"
#include "support/test_platform.h"
#include "world/collision.h"

using scene::Frame;
using scene::GameScene;

namespace {
constexpr int kFrameLimit = 5000;

// The recorded walk compares the game's state, not its pictures.
class Playthrough : public GameScene {
 protected:
  bool readsNoPixel() const override { return true; }
};
// The games played to their end screens through either GL path.
class PlayedToTheEnd : public scene::OnBothPaths<GameScene> {};
INSTANTIATE_TEST_SUITE_P(Gl, PlayedToTheEnd, scene::bothPaths(), scene::pathName);
}  // namespace

TEST_P(PlayedToTheEnd, WalksToTheDoorShootingEveryHunterAndWins) {
  bot::Player bot;
  int frames = 0;
  int shots = 0;
  int killed = 0;
  bool huntedBy[kEnemyCount] = {};
  // The walk keeps to the corridor: no step meets a wall, so the wall test
  // holds it exactly as the cell it steps into always did (the recorded walk,
  // tests/recordings/playthrough.rec, replays to the same bits).
  int stepsMeetingAWall = 0;
  // Only the frame the game ended in is looked at: reading a frame back
  // waits for it, so the others are not read.
  Frame last;
  while (!result.gameWon && !result.gameOver && frames < kFrameLimit) {
    const bot::Turn turn = bot.beforeFrame();
    if (turn.hunter >= 0) huntedBy[turn.hunter] = true;
    if (turn.fired) ++shots;
    const Standpoint before = {player.xtrans2, player.ztrans2};
    EXPECT_TRUE(runFrame());
    if (result.gameWon || result.gameOver) last.rgb = context.readPixels();
    context.swap();
    keyboardStep();
    if (stepMeetsWall(before, {-view.camX, -view.camZ})) ++stepsMeetingAWall;
    ++frames;
  }
  bot.releaseKeys();
  for (int i = 0; i < kEnemyCount; ++i) killed += enemies[i].dead;
  std::printf("playthrough: %d frames, %d shots, %d kills, score %d\n", frames, shots, killed,
              result.point);

  EXPECT_EQ(stepsMeetingAWall, 0);
  ASSERT_EQ(result.gameOver, 0) << "caught after " << frames << " frames";
  ASSERT_EQ(result.gameWon, 1) << "not at the door after " << frames << " frames";
  // The third enemy guards a dead end; all the others stand in the way.
  for (int i = 0; i < kEnemyCount; ++i) {
    EXPECT_EQ(enemies[i].dead, huntedBy[i] ? 1 : 0) << "enemy " << i;
  }
  EXPECT_EQ(killed, 5);
  EXPECT_EQ(result.point, 10 * killed);
  EXPECT_LT(exitDistance(player.xtrans2, player.ztrans2), 5.0);
  // The winning frame is still a playing frame; the end screen follows.
  EXPECT_GT(last.count(scene::lineBox(150, 250, 0, 14), scene::isWhite), 50);

  const Frame end = frame();
  expectMatchesReference("win", 50, end.rgb);
  EXPECT_GT(end.count(scene::lineBox(0, 210, 7, 4), scene::isBlue), 5);  // "  50"
  // A click now changes nothing.
  input.fireRequest = 1;
  const size_t sounds = testPlatform.sounds.size();
  frame();
  EXPECT_EQ(input.fireRequest, 1);
  EXPECT_EQ(testPlatform.sounds.size(), sounds);
}

TEST_P(PlayedToTheEnd, StandingStillIsCaught) {
  int frames = 0;
  while (!result.gameOver && frames < kFrameLimit) {
    step();
    ++frames;
  }
  std::printf("caught after %d frames\n", frames);
  ASSERT_EQ(result.gameOver, 1);
  EXPECT_EQ(result.gameWon, 0);
  EXPECT_EQ(result.point, 0);
  const Enemy& first = enemies[0];
  EXPECT_LT(std::fabs(player.xtrans2 - static_cast<double>(first.x)), 15.0);
  EXPECT_LT(std::fabs(player.ztrans2 - static_cast<double>(first.z)), 15.0);
  const Frame end = frame();
  expectMatchesReference("gameover", 50, end.rgb);
}

// The same walk, recorded as the game records it, from the cursor that the
// start-up warp leaves, must end as the committed recording of it does
// (tests/recordings/playthrough.rec, which every build replays in
// tests/determinism): a change to the game or to this player that changes the
// walk shows here first. To record it anew, copy the file this test writes
// over the committed one and refresh its trace (README, "Recorded games").
TEST_F(Playthrough, RecordedWalkEndsAsTheCommittedRecording) {
  const std::string path = std::string(test_paths::kBinary) + "/playthrough.rec";
  const LiveAfterRecordedGame live;
  chooseRecordedGame(path.c_str(), nullptr, nullptr);
  ASSERT_TRUE(startRecordedGame());
  shell.lastMouseX = 0;  // as the game starts, before the warp's move arrives
  shell.lastMouseY = 0;
  mouseView(320, 240);
  bot::Player bot;
  uint32_t frames = 0;
  while (!result.gameWon && !result.gameOver && frames < kFrameLimit) {
    bot.beforeFrame();
    takeLoopPass();
    step();
    ++frames;
  }
  bot.releaseKeys();
  // The end screen, and Escape ends the game after its frame.
  keyDown(vk::Escape);
  takeLoopPass();
  runFrame();
  EXPECT_EQ(finishRecordedGame(), 0);
  EXPECT_EQ(result.gameWon, 1);
  MappedFile file;
  const std::string committed =
      std::string(test_paths::kSource) + "/tests/recordings/playthrough.rec";
  ASSERT_EQ(mapFile(committed.c_str(), &file), MapResult::Mapped);
  RecordingSummary summary;
  EXPECT_EQ(checkRecording(file.data, file.size, &summary), RecordingCheck::Good);
  unmapFile(&file);
  EXPECT_EQ(summary.frames, frames + 1) << "the walk is no longer the committed one";
  EXPECT_EQ(summary.digest, gameStateDigest()) << "the walk is no longer the committed one";
}
