// Recorded games: the reader against damaged and foreign files, and a replay
// that takes the recording's input and drops the live input but Escape.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/devices.h"
#include "app/recording.h"
#include "app/shell.h"
#include "game/state.h"
#include "support/test_platform.h"

namespace {
using Bytes = std::vector<uint8_t>;

Bytes header(uint16_t version = kRecordingVersion, uint16_t size = 16) {
  Bytes b = {'S', 'H', 'O', 'O', 'T', 'R', 'E', 'C', static_cast<uint8_t>(version),
             static_cast<uint8_t>(version >> 8), static_cast<uint8_t>(size),
             static_cast<uint8_t>(size >> 8), 0, 0, 0, 0};
  return b;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A mouse move (tag 3) or a look (tag 9).
Bytes mouse(double x, double y, uint8_t tag = 3) {
  Bytes b(17, tag);
  std::memcpy(&b[1], &x, 8);  // the machines that run the tests are little-endian
  std::memcpy(&b[9], &y, 8);
  return b;
}

// The first n bytes.
Bytes cut(Bytes b, size_t n) {
  b.resize(n);
  return b;
}

const Bytes kPass = {5, 1};
const Bytes kEnd = {6, 2, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
}  // namespace

TEST(Recording, ReaderRefusesDamagedAndForeignFiles) {
  struct Case {
    const char* what;
    Bytes file;
    RecordingCheck check;
    size_t badOffset;
  };
  const Case cases[] = {
      {"empty", {}, RecordingCheck::NotARecording, 0},
      {"a short header", cut(header(), 12), RecordingCheck::NotARecording, 0},
      {"another magic", Bytes{'S', 'H', 'O', 'O', 'T', 'R', 'E', 'X'} + Bytes(8, 0),
       RecordingCheck::NotARecording, 0},
      {"version 0", header(0), RecordingCheck::NotARecording, 0},
      {"a newer version", header(2) + kPass, RecordingCheck::NewerVersion, 0},
      {"a header too short", header(1, 8), RecordingCheck::Damaged, 10},
      {"a header past the end", header(1, 40), RecordingCheck::Damaged, 10},
      {"an unknown record", header() + kPass + Bytes{10}, RecordingCheck::Damaged, 18},
      {"a key cut off", header() + Bytes{1}, RecordingCheck::Damaged, 16},
      {"a mouse move cut off", header() + cut(mouse(1, 2), 16), RecordingCheck::Damaged, 16},
      {"a mouse move of NaN", header() + mouse(std::numeric_limits<double>::quiet_NaN(), 2), RecordingCheck::Damaged, 16},
      {"a mouse move far off", header() + kPass + mouse(5, 2e6), RecordingCheck::Damaged, 18},
      {"a window state of 2", header() + Bytes{5, 2}, RecordingCheck::Damaged, 16},
      {"a sixth device", header() + kPass + Bytes{7, 5, 0x57}, RecordingCheck::Damaged, 18},
      {"a look of infinity", header() + mouse(1, std::numeric_limits<double>::infinity(), 9),
       RecordingCheck::Damaged, 16},
      {"a record after the end", header() + kPass + kEnd + kPass, RecordingCheck::Damaged, 31},
      {"a whole game", header() + Bytes{1, 0x57} + mouse(12, 300) + Bytes{4} + kPass + kPass +
                           Bytes{2, 0x57, 7, 4, 0x41} + mouse(300, 0, 9) + kPass +
                           Bytes{8, 4, 0x41} + kEnd,
       RecordingCheck::Good, 0},
      {"a longer header", header(1, 20) + Bytes(4, 0xEE) + kPass, RecordingCheck::Good, 0},
  };
  for (const Case& c : cases) {
    RecordingSummary summary;
    EXPECT_EQ(checkRecording(c.file.data(), c.file.size(), &summary), c.check) << c.what;
    EXPECT_EQ(summary.badOffset, c.badOffset) << c.what;
  }
  RecordingSummary summary;
  const Bytes game = header() + kPass + kPass + kEnd;
  ASSERT_EQ(checkRecording(game.data(), game.size(), &summary), RecordingCheck::Good);
  EXPECT_EQ(summary.passes, 2u);
  EXPECT_TRUE(summary.hasEnd);
  EXPECT_EQ(summary.frames, 2u);
  EXPECT_EQ(summary.digest, 0x0807060504030201ull);
}

// A game recorded from the keyboard, the mouse's button, a pad and the page's
// buttons replays from the file alone: live input is dropped, except Escape.
TEST(Recording, ReplayTakesTheRecordedInputAndLiveEscapeOnly) {
  const std::string path = SHOOTER_BINARY_DIR "/recording_test.rec";
  std::vector<char> name(path.begin(), path.end());
  name.push_back('\0');
  char program[] = "shooter", record[] = "--record", play[] = "--play";
  char* recordArgs[] = {program, record, name.data()};
  char* playArgs[] = {program, play, name.data()};
  PadState forward;
  forward.leftY = -1;  // pushed away: W
  const auto fresh = [] {
    resetGameState();
    devices = DeviceState{};
    shell = ShellState{};
  };
  fresh();
  testPlatform.clear();
  ASSERT_TRUE(readRecordingOptions(3, recordArgs));
  ASSERT_TRUE(startRecordedGame());
  keyDown(vk::A);
  fireButton();
  padFrame(0, forward);
  takeLoopPass();
  padFrame(0, PadState{});
  pageButton(vk::F, true);
  shell.active = false;
  takeLoopPass();
  finishRecordedGame();

  fresh();
  ASSERT_TRUE(readRecordingOptions(3, playArgs));
  ASSERT_TRUE(startRecordedGame());
  keyDown(vk::D);  // live input
  padFrame(1, forward);
  mouseView(100, 100);
  EXPECT_EQ(input.KeyDown[vk::D] + input.KeyDown[vk::W] + input.mouseYaw, 0);
  ASSERT_TRUE(takeLoopPass());
  EXPECT_EQ(input.KeyDown[vk::A] + input.KeyDown[vk::W] + input.fireRequest, 3);
  EXPECT_TRUE(shell.active);
  keyDown(vk::Escape);  // the player can always leave
  EXPECT_EQ(input.KeyDown[vk::Escape], 1);
  ASSERT_TRUE(takeLoopPass());
  EXPECT_EQ(input.KeyDown[vk::W], 0);
  EXPECT_EQ(input.KeyDown[vk::F], 1);
  EXPECT_FALSE(shell.active);
  EXPECT_FALSE(takeLoopPass());  // the recording has run out
  finishRecordedGame();
  fresh();
  EXPECT_TRUE(testPlatform.messages.empty());
  std::remove(path.c_str());
}
