// The tests' stand-in for the OS: message boxes, sounds and cursor warps are
// recorded instead of shown, and message boxes answer from a script.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

struct RecordedMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  MessageIcon icon;
};

struct TestPlatform {
  std::vector<RecordedMessage> messages;
  // The names the game passed: its own constants, kept as they are, so that
  // recording a sound allocates nothing.
  std::vector<std::string_view> sounds;
  std::vector<std::pair<int, int>> warps;
  std::vector<RecordedMessage> commandLineAnswers;  // icon Exclamation: a refusal
  std::string picturesFolder;                       // empty: there is none
  std::vector<Answer> answers;                      // what the first message boxes return, in order
  Answer messageAnswer = Answer::Ok;                // what every later message box returns
  bool hasCounter = true;                           // false: the counter's frequency query fails
  long long counter = 0;                            // the counter's reading when manualClock is set
  unsigned milliseconds = 0;                        // the millisecond clock when manualClock is set
  bool manualClock = false;                         // false: both clocks follow real time

  void clear() { *this = TestPlatform{}; }
};

extern TestPlatform testPlatform;
