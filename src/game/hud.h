// What the player reads: the crosshair, the head-up display with the exit test, the F read-outs
// and the end screens; and their texts, each formatted into a fixed line buffer by a plain
// function (no GL), with the values the display derives from the game state.
#pragma once

#include <cstddef>
#include <cstdint>

// Long enough for any double printed in full with two decimals.
constexpr size_t kHudLineSize = 400;

struct HudLine {
  char text[kHudLineSize];
};

// Where the HUD's lines sit on the text plane (text/font.h): the first glyph's
// top-left corner in eye space, and the most glyphs the line ever holds.
struct HudPlace {
  int x, y, glyphs;
};
constexpr HudPlace kDistancePlace{150, 250, 14};  // "Distance: %4.0f"
constexpr HudPlace kAlertPlace{150, 230, 6};      // "ALERT!"
constexpr HudPlace kScorePlace{150, 210, 11};     // "point: %4.0d"
constexpr HudPlace kFpsPlace{-350, 250, 9};       // "FPS: %4.0f", with F on
constexpr HudPlace kEndScorePlace{0, 210, 11};    // the end screens' score
constexpr HudPlace kEndResultPlace{0, 190, 10};   // "GAME OVER!" or "You win!"
constexpr HudPlace kEndExitPlace{0, 170, 20};     // "Press ESC to exit..."
// Every line above: what the page keeps its own buttons clear of.
constexpr HudPlace kHudPlaces[] = {kDistancePlace, kAlertPlace,     kScorePlace,  kFpsPlace,
                                   kEndScorePlace, kEndResultPlace, kEndExitPlace};

// The crosshair: a square of half-width kCrosshairHalf in eye space, this far
// in front of the eye, in the middle of the view.
constexpr float kCrosshairDepth = -35.0f;
constexpr float kCrosshairHalf = 1.0f;

// A whole number printed like "%<width>.0d": right-aligned in the field,
// and with no digits at all for 0 (a field of blanks). Done by hand so that
// every C runtime prints the same thing.
void formatWholeField(char* out, size_t size, int width, int32_t value);

void formatDistanceLine(HudLine* line, double distance);  // "Distance: %4.0f"
void formatScoreLine(HudLine* line, int32_t point);       // "point: %4.0d"
void formatFpsLine(HudLine* line, double fps);            // "FPS: %4.0f"
// "<label>: %4.2f", for the debug read-outs.
void formatValueLine(HudLine* line, const char* label, double value);
void formatHitLine(HudLine* line, int enemy, int32_t hit);  // "[<enemy>]hit %2.0d"
void formatDeadLine(HudLine* line, int enemy);              // "[<enemy>]dead"

// A read-out line kept from the frames before: formatted again only when its
// label (the same string) or its value (bit for bit) changed, for formatting
// doubles costs more than the rest of the read-outs.
struct CachedLine {
  bool valid;
  const char* label;
  uint64_t bits;
  HudLine line;
};
// What formatValueLine(label, value) gives, formatted only when it changed.
const HudLine& cachedValueLine(CachedLine* cache, const char* label, double value);

// Distance from the player to the exit point (kExitX, kExitZ), in tens of units.
double exitDistance(double x, double z);

// The first enemy, in order, that hunts the player and is still alive
// (fewer than three hits), or -1.
int alertingEnemy();

// The crosshair in the middle of the view; leaves depth testing off for the HUD.
void drawCrosshair();
// The head-up display: distance (and the win test), alert and score.
void drawHud();
// With F on: the frame rate and the debug read-outs (the frame samples the
// rate first).
void drawStats();
// Once the game is won or lost, the frame draws only this.
void drawEndScreen();
