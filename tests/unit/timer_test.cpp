// The frame timer over the platform's clocks, and the frame pacer.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/pacer.h"
#include "platform/timer.h"
#include "support/test_platform.h"

namespace {
class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { testPlatform.clear(); }
  void TearDown() override { testPlatform.clear(); }
};

TEST_F(TimerTest, CounterReadingsAreMillisecondsSinceStart) {
  testPlatform.manualClock = true;
  testPlatform.counter = 5000000000LL;  // the test counter runs at 1 GHz
  timerInit();
  EXPECT_TRUE(frameTimer.useCounter);
  EXPECT_EQ(frameTimer.frequency, 1000000000);
  EXPECT_EQ(timerGetTime(), 0.0);
  testPlatform.counter += 2500000;
  EXPECT_NEAR(timerGetTime(), 2.5, 1e-9);
  testPlatform.counter += 1000000000;
  EXPECT_NEAR(timerGetTime(), 1002.5, 1e-6);
}

TEST_F(TimerTest, WithoutACounterTheMillisecondClockGivesWholeMilliseconds) {
  testPlatform.manualClock = true;
  testPlatform.hasCounter = false;
  testPlatform.counter = 777;  // must not be used
  testPlatform.milliseconds = 5000;
  timerInit();
  EXPECT_FALSE(frameTimer.useCounter);
  EXPECT_EQ(frameTimer.frequency, 1000);
  EXPECT_EQ(frameTimer.secondsPerTick, 0.001);
  EXPECT_EQ(timerGetTime(), 0.0);
  testPlatform.milliseconds = 5123;
  EXPECT_EQ(timerGetTime(), 123.0);
}

TEST_F(TimerTest, TheMillisecondClockIsReadAcrossItsWrap) {
  testPlatform.manualClock = true;
  testPlatform.hasCounter = false;
  testPlatform.milliseconds = 0xFFFFFF00u;
  timerInit();
  testPlatform.milliseconds = 0x100u;
  EXPECT_EQ(timerGetTime(), 512.0);
}

TEST_F(TimerTest, TheFirstRealReadingIsNearZeroAndNotNegative) {
  timerInit();
  const double first = timerGetTime();
  EXPECT_GE(first, 0.0);
  EXPECT_LT(first, 100.0);
  testPlatform.hasCounter = false;
  timerInit();
  const double fallback = timerGetTime();
  EXPECT_GE(fallback, 0.0);
  EXPECT_LT(fallback, 100.0);
}

TEST_F(TimerTest, TimerInitStartsAfresh) {
  testPlatform.manualClock = true;
  testPlatform.hasCounter = false;
  testPlatform.milliseconds = 100;
  timerInit();
  testPlatform.hasCounter = true;
  testPlatform.counter = 42;
  timerInit();
  EXPECT_TRUE(frameTimer.useCounter);
  EXPECT_EQ(frameTimer.startMs, 0u);
  EXPECT_EQ(frameTimer.startCount, 42);
}

// The pacer works on real time; only lower bounds are checked, which a busy
// machine cannot break.
double secondsFor(int waits, FramePacer* pacer) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < waits; ++i) pacer->wait();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(TimerTest, PacerHoldsPassesToSixtyPerSecond) {
  FramePacer pacer;
  const double first = secondsFor(1, &pacer);
  EXPECT_LT(first, 0.010);  // the first call only starts the clock
  const double thirty = secondsFor(30, &pacer);
  EXPECT_GE(thirty, 30 / 60.0 - 0.002);
}

TEST_F(TimerTest, PacerDoesNotRaceToCatchUpAfterAStall) {
  FramePacer pacer;
  pacer.wait();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_LT(secondsFor(1, &pacer), 0.010);  // the stall restarts the cadence
  EXPECT_GE(secondsFor(6, &pacer), 6 / 60.0 - 0.002);
}

TEST_F(TimerTest, PacerWithoutACounterSleepsAFrame) {
  testPlatform.hasCounter = false;
  FramePacer pacer;
  EXPECT_GE(secondsFor(3, &pacer), 3 / 60.0 - 0.002);
}
}  // namespace
