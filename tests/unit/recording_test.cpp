// Recorded games: the reader against damaged, foreign and cut files, the
// options, a replay that takes the recording's input and drops the live input
// but Escape, the exit code of a replay that ends otherwise, and files that
// cannot be written whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/devices.h"
#include "app/exit_codes.h"
#include "app/recording.h"
#include "app/shell.h"
#include "game/state.h"
#include "support/recorded_game.h"
#include "support/test_paths.h"
#include "support/test_platform.h"

namespace {
using Bytes = std::vector<uint8_t>;

Bytes header(uint16_t version = kRecordingVersion, uint16_t size = 16) {
  Bytes b = {'S',
             'H',
             'O',
             'O',
             'T',
             'R',
             'E',
             'C',
             static_cast<uint8_t>(version),
             static_cast<uint8_t>(version >> 8),
             static_cast<uint8_t>(size),
             static_cast<uint8_t>(size >> 8),
             0,
             0,
             0,
             0};
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
      {"a mouse move of NaN", header() + mouse(std::numeric_limits<double>::quiet_NaN(), 2),
       RecordingCheck::Damaged, 16},
      {"a mouse move far off", header() + kPass + mouse(5, 2e6), RecordingCheck::Damaged, 18},
      {"a window state of 2", header() + Bytes{5, 2}, RecordingCheck::Damaged, 16},
      {"a sixth device", header() + kPass + Bytes{7, 5, 0x57}, RecordingCheck::Damaged, 18},
      {"a look of infinity", header() + mouse(1, std::numeric_limits<double>::infinity(), 9),
       RecordingCheck::Damaged, 16},
      {"a record after the end", header() + kPass + kEnd + kPass, RecordingCheck::Damaged, 31},
      {"a whole game",
       header() + Bytes{1, 0x57} + mouse(12, 300) + Bytes{4} + kPass + kPass +
           Bytes{2, 0x57, 7, 4, 0x41} + mouse(300, 0, 9) + kPass + Bytes{8, 4, 0x41} + kEnd,
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

// A file cut anywhere (a game that never ended, a full disk) reads up to its
// last whole record and has no end record.
TEST(Recording, ReaderTakesAFileCutShortUpToItsLastWholeRecord) {
  const Bytes game = header() + kPass + mouse(12, 300) + kEnd;
  const size_t ends[] = {16, 18, 35};  // where the whole records before the end end
  for (size_t size = kRecordingHeaderSize; size < game.size(); ++size) {
    RecordingSummary summary;
    ASSERT_EQ(checkRecording(game.data(), size, &summary), RecordingCheck::Good) << size;
    const size_t whole = size >= ends[2] ? ends[2] : size >= ends[1] ? ends[1] : ends[0];
    EXPECT_EQ(summary.end, whole) << size;
    EXPECT_EQ(summary.cut, whole != size) << size;
    EXPECT_EQ(summary.passes, whole >= ends[1] ? 1u : 0u) << size;
    EXPECT_FALSE(summary.hasEnd) << size;
  }
}

namespace {
// Reads the options of a command line (the words after the program's name).
bool readOptions(const std::string& line) {
  static std::string words;  // the options keep pointers into it
  words = "shooter " + line;
  std::vector<char*> argv;
  for (char* w = std::strtok(&words[0], " "); w != nullptr; w = std::strtok(nullptr, " ")) {
    argv.push_back(w);
  }
  GameOptions options;
  int exitCode = 0;
  return takeCommandLine(static_cast<int>(argv.size()), argv.data(), &options, &exitCode);
}
}  // namespace

// The trace may not be the recording itself, by whatever name: the files are
// compared by identity (an existing one) or by folder and name (a new one).
TEST(Recording, TheTraceIsRefusedWhereItWouldOverwriteTheRecording) {
  const std::string d = "same_file_test";
  std::filesystem::create_directories(d + "/sub");
  std::ofstream(d + "/kept.rec") << "recorded";
  std::filesystem::remove(d + "/new.rec");
  std::error_code linked;
  std::filesystem::remove(d + "/link.rec");
  std::filesystem::create_hard_link(d + "/kept.rec", d + "/link.rec", linked);
  const struct {
    std::string options;
    bool refused;
  } lines[] = {
      {"--record " + d + "/new.rec --trace " + d + "/new.rec", true},
      {"--record " + d + "/new.rec --trace ./" + d + "/new.rec", true},
      {"--trace " + d + "/sub/../new.rec --record " + d + "/new.rec", true},
      {"--play " + d + "/kept.rec --trace ./" + d + "//kept.rec", true},
      {"--record " + d + "/new.rec --trace " + d + "/sub/new.rec", false},
      {"--play " + d + "/kept.rec --trace " + d + "/new.rec", false},
      {"--record " + d + "/new.rec --trace " + d + "/kept.rec", false},
  };
  for (const auto& line : lines) {
    testPlatform.clear();
    EXPECT_EQ(readOptions(line.options), !line.refused) << line.options;
    EXPECT_EQ(testPlatform.commandLineAnswers.size(), line.refused ? 1u : 0u) << line.options;
  }
  // A hard link is the same file under another name. Every system the tests
  // run on makes one: a link that cannot be made fails rather than passes.
  ASSERT_FALSE(linked) << "no hard link could be made: " << linked.message();
  testPlatform.clear();
  EXPECT_FALSE(readOptions("--play " + d + "/kept.rec --trace " + d + "/link.rec"));
  readOptions("");
}

// A game recorded from the keyboard, the mouse's button, a pad and the page's
// buttons replays from the file alone: live input is dropped, except Escape.
TEST(Recording, ReplayTakesTheRecordedInputAndLiveEscapeOnly) {
  const std::string path = std::string(test_paths::kBinary) + "/recording_test.rec";
  std::vector<char> name(path.begin(), path.end());
  name.push_back('\0');
  PadState forward;
  forward.leftY = -1;  // pushed away: W
  const auto fresh = [] {
    resetGameState();
    devices = DeviceState{};
    keyHolds = KeyHolds{};
    shell = ShellState{};
  };
  fresh();
  testPlatform.clear();
  const LiveAfterRecordedGame live;
  chooseRecordedGame(name.data(), nullptr, nullptr);
  ASSERT_TRUE(startRecordedGame());
  keyDown(vk::A);
  fireButton();
  padFrame(0, forward);
  takeLoopPass();
  padFrame(0, PadState{});
  pageButton(vk::F, true);
  shell.active = false;
  takeLoopPass();
  EXPECT_EQ(finishRecordedGame(), kExitNormal);

  fresh();
  chooseRecordedGame(nullptr, name.data(), nullptr);
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
  // Live Escape changed the state the recording ended with.
  EXPECT_EQ(finishRecordedGame(), kExitReplayDiffers);
  fresh();
  EXPECT_TRUE(testPlatform.messages.empty());
  std::remove(path.c_str());
}

namespace {
// Runs `shooter OPTIONS` as far as the recorded game goes: the start, `passes`
// passes with a mouse move each, and the end; returns the exit code the end
// asks for (-1: it did not start).
int playRecordedGame(const std::string& options, int passes) {
  resetGameState();
  devices = DeviceState{};
  keyHolds = KeyHolds{};
  shell = ShellState{};
  if (!readOptions(options) || !startRecordedGame()) return -1;
  for (int i = 0; i < passes && takeLoopPass(); ++i) {
    mouseView(10.0 + i, 20.0);
    traceFrame();
  }
  return finishRecordedGame();
}
}  // namespace

// A replay that ends otherwise than its recording, or whose recording has no
// end record to check it by, asks for an exit code of its own.
TEST(Recording, ReplayThatEndsOtherwiseAsksForItsExitCode) {
  const std::string recorded = std::string(test_paths::kBinary) + "/recording_test_end.rec";
  const std::string altered = std::string(test_paths::kBinary) + "/recording_test_altered.rec";
  testPlatform.clear();
  // The GL path's option is the shell's: the recorder lets it pass.
  ASSERT_EQ(playRecordedGame("--direct-gl --record " + recorded, 5), kExitNormal);
  MappedFile mapped;
  ASSERT_EQ(mapFile(recorded.c_str(), &mapped), MapResult::Mapped);
  const Bytes game(mapped.data, mapped.data + mapped.size);
  unmapFile(&mapped);
  const size_t end = game.size() - 13;  // the end record: tag, frames, digest
  ASSERT_EQ(game.at(end), static_cast<uint8_t>(RecordTag::End));
  struct Case {
    const char* what;
    size_t keep;  // the bytes kept
    size_t flip;  // a byte with its lowest bit flipped (0: none)
    int code;
  };
  const Case cases[] = {
      {"as recorded", game.size(), 0, kExitNormal},
      {"another frame count", game.size(), end + 1, kExitReplayDiffers},
      {"no end record", end, 0, kExitReplayDiffers},
      {"the end record cut short", end + 5, 0, kExitReplayDiffers},
  };
  for (const Case& c : cases) {
    Bytes file = cut(game, c.keep);
    file[c.flip] ^= c.flip != 0 ? 1 : 0;
    std::ofstream(altered, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    EXPECT_EQ(playRecordedGame("--play " + altered, 100), c.code) << c.what;
  }
  EXPECT_TRUE(testPlatform.messages.empty());
  std::remove(recorded.c_str());
  std::remove(altered.c_str());
}

#ifndef _WIN32
// A full disk: the recording or the trace that could not be written whole is
// reported, and the game asks for an exit code of its own.
TEST(Recording, FileThatCannotBeWrittenWholeIsReported) {
  const std::string elsewhere = std::string(test_paths::kBinary) + "/recording_test_full.rec";
  for (const std::string& options :
       {std::string("--record /dev/full"), "--record " + elsewhere + " --trace /dev/full"}) {
    testPlatform.clear();
    // Long enough to overflow the stream's buffer before the end.
    EXPECT_EQ(playRecordedGame(options, 600), kExitNotWritten) << options;
    ASSERT_EQ(testPlatform.messages.size(), 1u) << options;
    EXPECT_NE(testPlatform.messages[0].text.find("\"/dev/full\" could not be written whole"),
              std::string::npos)
        << testPlatform.messages[0].text;
  }
  testPlatform.clear();
  std::remove(elsewhere.c_str());
}
#endif
