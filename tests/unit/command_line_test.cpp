// The command line: what each request answers, and the refusals, each naming
// the word at fault and pointing to --help.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/exit_codes.h"
#include "app/recording.h"
#include "support/test_platform.h"

namespace {
// Runs takeCommandLine on `shooter WORDS` (split at spaces); the exit code,
// or -1 when the game would start.
int take(const std::string& line, GameOptions* options) {
  static std::string words;  // the options keep pointers into it
  words = "shooter " + line;
  std::vector<char*> argv;
  for (char* w = std::strtok(&words[0], " "); w != nullptr; w = std::strtok(nullptr, " ")) {
    argv.push_back(w);
  }
  int code = -1;
  if (takeCommandLine(static_cast<int>(argv.size()), argv.data(), options, &code)) code = -1;
  chooseRecordedGame(nullptr, nullptr, nullptr);
  return code;
}
}  // namespace

TEST(CommandLine, HelpAndVersionAnswerAndEndWithZero) {
  struct Case {
    const char* line;
    const char* answer;  // the start of the answer
  };
  const Case cases[] = {
      {"--help", "Usage: shooter "},
      {"-h", "Usage: shooter "},
      {"--direct-gl -h --bogus", "Usage: shooter "},  // at once, before later words
      {"--version", "shooter "},
      {"paused --version", "shooter "},
  };
  for (const Case& c : cases) {
    testPlatform.clear();
    GameOptions options;
    EXPECT_EQ(take(c.line, &options), kExitNormal) << c.line;
    ASSERT_EQ(testPlatform.commandLineAnswers.size(), 1u) << c.line;
    const RecordedMessage& answer = testPlatform.commandLineAnswers[0];
    EXPECT_EQ(answer.text.rfind(c.answer, 0), 0u) << answer.text;
    EXPECT_EQ(answer.icon, MessageIcon::None) << c.line;
    EXPECT_TRUE(testPlatform.messages.empty()) << c.line;
  }
  // The name and the project's version.
  EXPECT_TRUE(std::regex_match(versionText(), std::regex("shooter [0-9]+\\.[0-9]+[.0-9]*")))
      << versionText();
  // The usage names every option and the variable.
  for (const char* name :
       {"--record FILE", "--play FILE", "--trace FILE", "--direct-gl", "-h, --help", "--version",
        "SHOOTER_DIRECT_GL", "--fullscreen", "--window", "--switch-mode"}) {
    EXPECT_NE(std::strstr(usageText(), name), nullptr) << name;
  }
}

TEST(CommandLine, MistakesAreRefusedNamingTheWordAndPointingToHelp) {
  struct Case {
    const char* line;
    const char* reason;
  };
  const Case cases[] = {
      {"--recrod game.rec", "Unknown option \"--recrod\"."},
      {"-x", "Unknown option \"-x\"."},
      {"--trace t --Help", "Unknown option \"--Help\"."},
      {"--play", "No file after \"--play\"."},
      {"--trace a --trace b", "\"--trace\" is given twice."},
      {"--record a --play b", "\"--play\" cannot follow --record or --play"},
      {"--play a --trace a", "The trace \"a\" is the recorded game's own file."},
      {"--window --fullscreen", "\"--fullscreen\" cannot follow --fullscreen or --window"},
      {"--fullscreen --window", "\"--window\" cannot follow --fullscreen or --window"},
      {"--window --switch-mode --window", "\"--window\" cannot follow --fullscreen or"},
      {"--full-screen", "Unknown option \"--full-screen\"."},
  };
  for (const Case& c : cases) {
    testPlatform.clear();
    GameOptions options;
    EXPECT_EQ(take(c.line, &options), kExitStartFailed) << c.line;
    ASSERT_EQ(testPlatform.commandLineAnswers.size(), 1u) << c.line;
    const RecordedMessage& answer = testPlatform.commandLineAnswers[0];
    EXPECT_EQ(answer.text.rfind(c.reason, 0), 0u) << answer.text;
    EXPECT_NE(answer.text.find("See \"shooter --help\""), std::string::npos) << answer.text;
    EXPECT_EQ(answer.caption, "shooter");
    EXPECT_EQ(answer.icon, MessageIcon::Exclamation);
  }
}

TEST(CommandLine, GameOptionsAreReadWithTheirFiles) {
  testPlatform.clear();
  GameOptions options;
  // A file's name may look like an option; words without "-" are the shell's.
  EXPECT_EQ(take("paused --direct-gl --record --help --trace -t", &options), -1);
  EXPECT_STREQ(options.record, "--help");
  EXPECT_EQ(options.play, nullptr);
  EXPECT_STREQ(options.trace, "-t");
  EXPECT_TRUE(options.directGl);
  EXPECT_TRUE(testPlatform.commandLineAnswers.empty());
}

TEST(CommandLine, TheScreenIsChosenInAdvanceForTheShell) {
  struct Case {
    const char* line;
    ScreenRequest screen;
    bool switchMode;
  };
  const Case cases[] = {
      {"", ScreenRequest::Ask, false},
      {"--window", ScreenRequest::Window, false},
      {"--fullscreen --record r", ScreenRequest::FullScreen, false},
      {"--switch-mode", ScreenRequest::Ask, true},
      {"--switch-mode --fullscreen --switch-mode", ScreenRequest::FullScreen, true},
  };
  for (const Case& c : cases) {
    testPlatform.clear();
    shell = ShellState{};
    shell.switchMode = !c.switchMode;  // each run sets both, whatever was there
    shell.screenRequest = ScreenRequest::Window;
    GameOptions options;
    EXPECT_EQ(take(c.line, &options), -1) << c.line;
    EXPECT_EQ(options.screen, c.screen) << c.line;
    EXPECT_EQ(shell.screenRequest, c.screen) << c.line;
    EXPECT_EQ(shell.switchMode, c.switchMode) << c.line;
  }
  shell = ShellState{};
}
