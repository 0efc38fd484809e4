// The crosshair, the head-up display with the exit test, the F read-outs and
// the two end screens.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "game/hud.h"
#include "game/shooting.h"
#include "game/state.h"
#include "gl.h"
#include "image/textures.h"
#include "text/font.h"
#include "world/maze_layout.h"

namespace {
constexpr double kWinDistance = 5.0;  // tens of units: 50 units from the exit point
constexpr int kFontSet = 1;

// The enemies' names as the read-outs label them.
constexpr const char* kTransX[kEnemyCount] = {"firstTransX",  "secondTransX", "thirdTransX",
                                              "fourthTransX", "fifthTransX",  "sixthTransX"};
constexpr const char* kTransZ[kEnemyCount] = {"firstTransZ",  "secondTransZ", "thirdTransZ",
                                              "fourthTransZ", "fifthTransZ",  "sixthTransZ"};

void white() { glColor4f(1, 1, 1, 1); }
void red() { glColor4f(1, 0, 0, 1); }
void blue() { glColor4f(0, 0, 1, 1); }

void bindFont() { glBindTexture(GL_TEXTURE_2D, fontTexture.textureName); }

void print(int x, int y, const HudLine& line) { printString(x, y, kFontSet, line.text); }
void print(const HudPlace& place, const HudLine& line) { print(place.x, place.y, line); }
void print(const HudPlace& place, const char* text) {
  printString(place.x, place.y, kFontSet, text);
}

uint64_t bitsOf(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// The line `format` makes of the value, kept in `cache` until the label or the
// value changes.
template <typename Format>
const HudLine& cached(CachedLine* cache, const char* label, double value, Format format) {
  const uint64_t bits = bitsOf(value);
  if (!cache->valid || cache->label != label || cache->bits != bits) {
    format(&cache->line, label, value);
    cache->valid = true;
    cache->label = label;
    cache->bits = bits;
  }
  return cache->line;
}

// The read-outs' value lines, in the order drawStats prints them.
constexpr int kValueLines = 32;
CachedLine valueLines[kValueLines];
int nextValueLine = 0;
CachedLine fpsLine;
CachedLine distanceLine;
constexpr const char* kFpsTag = "FPS";
constexpr const char* kDistanceTag = "Distance";

void printValue(int x, int y, const char* label, double value) {
  if (nextValueLine < kValueLines) {
    print(x, y, cachedValueLine(&valueLines[nextValueLine++], label, value));
    return;
  }
  HudLine line;
  formatValueLine(&line, label, value);
  print(x, y, line);
}

void printHits(int x, int y, int enemy) {
  HudLine line;
  formatHitLine(&line, enemy, enemies[enemy].hit);
  print(x, y, line);
}

void printDead(int x, int y, int enemy) {
  if (!enemies[enemy].dead) return;
  HudLine line;
  formatDeadLine(&line, enemy);
  print(x, y, line);
}

void printScore(const HudPlace& place) {
  HudLine line;
  formatScoreLine(&line, result.point);
  print(place, line);
}

// H - P of the hit test for an enemy against the latest fire point.
HitAngles anglesOf(int enemy) {
  return hitAngles(enemies[enemy].x, enemies[enemy].z, shot.fire_x, shot.fire_z, player.xtrans2,
                   player.ztrans2);
}

double degrees(double radians) { return radians / kDegToRad; }

void restoreAfterText() {
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_2D);
}
}  // namespace

void formatWholeField(char* out, size_t size, int width, int32_t value) {
  if (out == nullptr || size == 0) return;
  char digits[16];
  int count = 0;
  // Work on the magnitude as 64 bits so the most negative value survives.
  int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
  while (magnitude > 0) {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  if (value < 0) digits[count++] = '-';
  size_t pos = 0;
  for (int pad = width - count; pad > 0 && pos + 1 < size; --pad) out[pos++] = ' ';
  while (count > 0 && pos + 1 < size) out[pos++] = digits[--count];
  out[pos] = '\0';
}

void formatDistanceLine(HudLine* line, double distance) {
  std::snprintf(line->text, sizeof line->text, "Distance: %4.0f", distance);
}

void formatScoreLine(HudLine* line, int32_t point) {
  std::snprintf(line->text, sizeof line->text, "point: ");
  const size_t used = sizeof "point: " - 1;
  formatWholeField(line->text + used, sizeof line->text - used, 4, point);
}

void formatFpsLine(HudLine* line, double fps) {
  std::snprintf(line->text, sizeof line->text, "FPS: %4.0f", fps);
}

void formatValueLine(HudLine* line, const char* label, double value) {
  std::snprintf(line->text, sizeof line->text, "%s: %4.2f", label, value);
}

void formatHitLine(HudLine* line, int enemy, int32_t hit) {
  const int used = std::snprintf(line->text, sizeof line->text, "[%d]hit ", enemy);
  if (used < 0 || static_cast<size_t>(used) >= sizeof line->text) return;
  formatWholeField(line->text + used, sizeof line->text - static_cast<size_t>(used), 2, hit);
}

void formatDeadLine(HudLine* line, int enemy) {
  std::snprintf(line->text, sizeof line->text, "[%d]dead", enemy);
}

const HudLine& cachedValueLine(CachedLine* cache, const char* label, double value) {
  return cached(cache, label, value,
                [](HudLine* line, const char* l, double v) { formatValueLine(line, l, v); });
}

double exitDistance(double x, double z) {
  return std::sqrt((x - kExitX) * (x - kExitX) + (z - kExitZ) * (z - kExitZ)) / 10;
}

int alertingEnemy() {
  for (int i = 0; i < kEnemyCount; ++i) {
    if (enemies[i].inZone == 1 && enemies[i].hit < kHitsToKill) return i;
  }
  return -1;
}

void drawCrosshair() {
  glDisable(GL_DEPTH_TEST);  // stays off for the HUD
  glLoadIdentity();
  glTranslatef(0, 0, kCrosshairDepth);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  white();
  glBindTexture(GL_TEXTURE_2D, crosshairTexture);
  glBegin(GL_QUADS);
  glTexCoord2f(1, 1);
  glVertex3f(kCrosshairHalf, kCrosshairHalf, 0);
  glTexCoord2f(1, 0);
  glVertex3f(kCrosshairHalf, -kCrosshairHalf, 0);
  glTexCoord2f(0, 0);
  glVertex3f(-kCrosshairHalf, -kCrosshairHalf, 0);
  glTexCoord2f(0, 1);
  glVertex3f(-kCrosshairHalf, kCrosshairHalf, 0);
  glEnd();
}

void drawHud() {
  bindFont();
  white();
  print(kDistancePlace,
        cached(&distanceLine, kDistanceTag, exitDistance(player.xtrans2, player.ztrans2),
               [](HudLine* line, const char*, double v) { formatDistanceLine(line, v); }));
  // The end screen takes over from the next frame on.
  if (exitDistance(player.xtrans2, player.ztrans2) < kWinDistance) result.gameWon = 1;

  if (alertingEnemy() >= 0) {
    red();
    print(kAlertPlace, "ALERT!");
  }
  blue();
  printScore(kScorePlace);
  white();
  restoreAfterText();
}

void drawStats() {
  bindFont();
  white();
  nextValueLine = 0;
  print(kFpsPlace, cached(&fpsLine, kFpsTag, frameRate.fps,
                          [](HudLine* line, const char*, double v) { formatFpsLine(line, v); }));

  // The first enemy in detail.
  const Enemy& first = enemies[0];
  const HitAngles a0 = anglesOf(0);
  const double fx = static_cast<double>(first.x);
  const double fz = static_cast<double>(first.z);
  printValue(-350, 230, kTransX[0], fx);
  printValue(-350, 210, kTransZ[0], fz);
  printValue(-350, 190, "(xtrans2-firstTransX)", player.xtrans2 - fx);
  printValue(-350, 170, "xtrans2", player.xtrans2);
  printValue(-350, 150, "ztrans2", player.ztrans2);
  printValue(-350, 130, "(ztrans2-firstTransZ)", player.ztrans2 - fz);
  printValue(-350, 110, "firstRotateX@atan", static_cast<double>(first.RotateX));
  printValue(-350, 90, "multiplier+atan", static_cast<double>(first.multiplier + first.RotateX));
  printValue(-350, 70, "fire_x", shot.fire_x);
  printValue(-350, 50, "fire_y", shot.fire_y);
  printValue(-350, 30, "fire_z", shot.fire_z);
  printValue(-350, 10, "deg(M-H)", degrees(a0.H));
  printValue(-350, -10, "deg(P-M)", degrees(a0.P));
  printValue(-350, -30, "condition", degrees(a0.D));
  printHits(-350, -50, 0);
  printDead(-350, -70, 0);

  // The second enemy, below it.
  printValue(-350, -90, kTransX[1], static_cast<double>(enemies[1].x));
  printValue(-350, -110, kTransZ[1], static_cast<double>(enemies[1].z));
  printValue(-350, -150, "condition", degrees(anglesOf(1).D));
  printHits(-350, -170, 1);
  printDead(-350, -190, 1);

  // The third to the sixth, five lines each in the right column.
  constexpr int kRightX = 80;
  constexpr int kTop[kEnemyCount] = {0, 0, 170, 70, -30, -130};
  for (int i = 2; i < kEnemyCount; ++i) {
    const int y = kTop[i];
    printValue(kRightX, y, kTransX[i], static_cast<double>(enemies[i].x));
    printValue(kRightX, y - 20, kTransZ[i], static_cast<double>(enemies[i].z));
    printValue(kRightX, y - 40, "condition", degrees(anglesOf(i).D));
    printHits(kRightX, y - 60, i);
    printDead(kRightX, y - 80, i);
  }
  // The frame restores depth testing and texturing after the read-outs.
}

void drawEndScreen() {
  bindFont();
  blue();
  printScore(kEndScorePlace);
  white();
  print(kEndResultPlace, result.gameOver ? "GAME OVER!" : "You win!");
  print(kEndExitPlace, "Press ESC to exit...");
  restoreAfterText();
}
