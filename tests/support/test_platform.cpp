// The recording OS stand-in behind platform.h for the tests.
#include "support/test_platform.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/platform.h"

TestPlatform testPlatform;

Answer platformMessageBox(const char* text, const char* caption, MessageButtons buttons,
                          MessageIcon icon, bool) {
  testPlatform.messages.push_back({text ? text : "", caption ? caption : "", buttons, icon});
  const size_t scripted = testPlatform.messages.size() - 1;
  if (scripted < testPlatform.answers.size()) return testPlatform.answers[scripted];
  return testPlatform.messageAnswer;
}

void platformCommandLineAnswer(const char* text, const char* caption, bool refusal) {
  testPlatform.commandLineAnswers.push_back(
      {text, caption, MessageButtons::Ok, refusal ? MessageIcon::Exclamation : MessageIcon::None});
}

bool platformPicturesFolder(char* out, size_t size) {
  std::snprintf(
      out, size, "%s",
      testPlatform.picturesFolder.empty() ? "there is none" : testPlatform.picturesFolder.c_str());
  return !testPlatform.picturesFolder.empty();
}

void platformPlaySound(const char* fileName) { testPlatform.sounds.push_back(fileName); }

void platformWarpCursor(int x, int y) { testPlatform.warps.emplace_back(x, y); }

namespace {
long long realNanoseconds() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

bool platformCounterFrequency(int64_t* countsPerSecond) {
  if (!testPlatform.hasCounter) {
    *countsPerSecond = 0;
    return false;
  }
  *countsPerSecond = 1000000000;
  return true;
}

int64_t platformCounter() {
  return testPlatform.manualClock ? testPlatform.counter : realNanoseconds();
}

uint32_t platformMilliseconds() {
  return testPlatform.manualClock ? testPlatform.milliseconds
                                  : static_cast<uint32_t>(realNanoseconds() / 1000000);
}

void platformSleep(double milliseconds) {
  std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(milliseconds));
}
