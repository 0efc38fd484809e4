// The head-up display's texts and the values behind them: fields, distance, alert.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "game/hud.h"
#include "game/state.h"

namespace {
std::string field(int width, int32_t value) {
  char out[32];
  formatWholeField(out, sizeof out, width, value);
  return out;
}
}  // namespace

TEST(HudText, WholeFieldPrintsNoDigitsForZero) {
  EXPECT_EQ(field(4, 0), "    ");
  EXPECT_EQ(field(2, 0), "  ");
  EXPECT_EQ(field(4, 10), "  10");
  EXPECT_EQ(field(4, -5), "  -5");
  EXPECT_EQ(field(2, 30), "30");
  EXPECT_EQ(field(2, 12345), "12345");  // wider than the field: all digits
  EXPECT_EQ(field(4, std::numeric_limits<int32_t>::min()), "-2147483648");
  EXPECT_EQ(field(4, std::numeric_limits<int32_t>::max()), "2147483647");
}

TEST(HudText, WholeFieldStaysInsideItsBuffer) {
  char out[4];
  std::memset(out, 'x', sizeof out);
  formatWholeField(out, sizeof out, 10, 7);
  EXPECT_STREQ(out, "   ");
  char tiny[1] = {'x'};
  formatWholeField(tiny, sizeof tiny, 4, 99);
  EXPECT_EQ(tiny[0], '\0');
}

TEST(HudText, ScoreAndHitLines) {
  HudLine line;
  formatScoreLine(&line, 0);
  EXPECT_STREQ(line.text, "point:     ");  // the label and four blanks
  formatScoreLine(&line, 50);
  EXPECT_STREQ(line.text, "point:   50");
  formatHitLine(&line, 0, 0);
  EXPECT_STREQ(line.text, "[0]hit   ");
  formatHitLine(&line, 5, 2);
  EXPECT_STREQ(line.text, "[5]hit  2");
  formatDeadLine(&line, 3);
  EXPECT_STREQ(line.text, "[3]dead");
}

TEST(HudText, DistanceAndValueLines) {
  HudLine line;
  formatDistanceLine(&line, exitDistance(1240, 1752));
  EXPECT_STREQ(line.text, "Distance:  195");  // 194.54
  formatDistanceLine(&line, 4.6);             // the winning frame can still show 5
  EXPECT_STREQ(line.text, "Distance:    5");
  formatDistanceLine(&line, 2.5);  // ties round to even, as printf does
  EXPECT_STREQ(line.text, "Distance:    2");
  formatFpsLine(&line, 0);
  EXPECT_STREQ(line.text, "FPS:    0");
  formatValueLine(&line, "fire_y", 10.0);
  EXPECT_STREQ(line.text, "fire_y: 10.00");
  formatValueLine(&line, "condition", -0.004);
  EXPECT_STREQ(line.text, "condition: -0.00");
  formatValueLine(&line, "xtrans2", 1240.125);
  EXPECT_STREQ(line.text, "xtrans2: 1240.12");
}

TEST(HudText, TheLargestDoubleFitsTheLine) {
  HudLine line;
  formatValueLine(&line, "(xtrans2-firstTransX)", -std::numeric_limits<double>::max());
  const size_t length = std::strlen(line.text);
  EXPECT_EQ(length, std::strlen("(xtrans2-firstTransX): -") + 309 + 3);
  EXPECT_LT(length, kHudLineSize);
  EXPECT_EQ(std::strncmp(line.text, "(xtrans2-firstTransX): -17976931348623157", 41), 0);
  EXPECT_STREQ(line.text + length - 3, ".00");
}

TEST(HudValues, ExitDistanceInTensOfUnits) {
  EXPECT_DOUBLE_EQ(exitDistance(384, 5), 0.0);
  EXPECT_DOUBLE_EQ(exitDistance(384, 55), 5.0);
  EXPECT_DOUBLE_EQ(exitDistance(414, 45), 5.0);
  EXPECT_LT(exitDistance(384, 54.9), 5.0);
}

TEST(HudValues, AlertOnlyForALivingHuntingEnemy) {
  resetGameState();
  EXPECT_EQ(alertingEnemy(), -1);
  enemies[3].inZone = 1;
  EXPECT_EQ(alertingEnemy(), 3);
  enemies[3].hit = 3;  // the killing hit: gone in that very frame
  enemies[3].dead = 1;
  EXPECT_EQ(alertingEnemy(), -1);
  enemies[1].inZone = 1;
  enemies[1].hit = 2;
  enemies[4].inZone = 1;
  EXPECT_EQ(alertingEnemy(), 1);  // the first in order wins
  resetGameState();
}

TEST(HudText, CachedReadOutEqualsAFreshlyFormattedOne) {
  // One read-out's values over frames: unchanged, changed, changed back, the
  // two zeros, NaN, huge, and the label changed with the value kept.
  static const char* const kLabelA = "fire_x";
  static const char* const kLabelB = "fire_z";
  const double nan = std::nan("");
  struct Frame {
    const char* label;
    double value;
  };
  const Frame frames[] = {
      {kLabelA, 1240.0}, {kLabelA, 1240.0},   {kLabelA, 1240.004}, {kLabelA, 1240.0},
      {kLabelA, 0.0},    {kLabelA, -0.0},     {kLabelA, 0.0},      {kLabelA, nan},
      {kLabelA, -nan},   {kLabelA, 1e300},    {kLabelB, 1e300},    {kLabelB, -0.005},
      {kLabelA, -0.005}, {kLabelA, -1.0 / 3}, {kLabelA, -1.0 / 3},
  };
  CachedLine cache{};
  for (const Frame& f : frames) {
    HudLine fresh;
    formatValueLine(&fresh, f.label, f.value);
    EXPECT_STREQ(cachedValueLine(&cache, f.label, f.value).text, fresh.text)
        << f.label << " " << f.value;
  }
}
