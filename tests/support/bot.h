// A player for the playthrough tests, the allocation test and the soak: it
// turns by mouse moves and walks by key messages, the way the shells feed
// them, hunts down the enemy that hunts it, and otherwise follows the corridor
// to the door. In random mode (the soak) it wanders first and flips the
// read-outs and the mouse inversion now and then.
#pragma once

#include <cstdint>

namespace bot {

// The angle from -180 to 180 that is equal to `degrees` modulo 360.
double wrap180(double degrees);

// The heading that faces from (x, z) towards (tx, tz): forward is (-sin, -cos).
double headingTowards(double x, double z, double tx, double tz);

// The mouse as the OS moves it: each move is one mouse-move message to the
// game, and a cursor warp the game asks for arrives as the next move, at the
// warped position.
class Mouse {
 public:
  // One move by (dx, dy) pixels.
  void move(double dx, double dy);
  // Turns the view by about `degrees` (positive turns mouseYaw up), in moves
  // of at most 100 pixels.
  void turn(double degrees);
  void setCursor(double x, double y);

 private:
  double x_ = 320;
  double y_ = 240;
};

// Waypoints along the corridor from a path cell to the door: the centres of
// the cells on the way, then a point just inside the door.
struct Waypoint {
  double x, z;
};
constexpr int kMaxWaypoints = 20;
struct Route {
  Waypoint points[kMaxWaypoints];
  int length = 0;
};

// The path cell holding (x, z), or -1 (outside the path, or not a number).
int pathCellAt(double x, double z);
// The route from the given path cell (from the door point alone for -1).
Route routeFrom(int cell);
// The first path cell with no way to the door, or -1 when every cell has one.
int cellWithoutAWayToTheDoor();

// Seeded random numbers (splitmix64): the bot's own, so that it never draws
// from the bursts' generator.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t next();
  // 0 .. n-1
  int below(int n);
  // lo .. hi inclusive
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  // true once in n calls on average
  bool oneIn(int n) { return below(n) == 0; }

 private:
  uint64_t state_;
};

// What the player did before one frame.
struct Turn {
  int hunter = -1;     // the enemy it aimed at, or -1 while walking
  bool fired = false;  // it pressed the button
};

class Player {
 public:
  // A scripted player: it follows the route from where it stands and shoots
  // only at hunters. With a seed it plays randomly (see the file comment).
  Player() = default;
  explicit Player(uint64_t seed) : random_(seed), randomMode_(true) {}

  // The game was reset: every key is up and the player is at the start.
  void newGame();

  // The messages that arrive before the next frame.
  Turn beforeFrame();

  // Lets go of every key it holds.
  void releaseKeys();

  Mouse& mouse() { return mouse_; }

 private:
  void press(int key);
  void release(int key);
  void fire(Turn* turn);
  // Turns towards a heading by at most the turn limit, levelling the view;
  // returns the error left after this turn, in degrees.
  double steer(double wanted);
  Turn guide();
  void wander(Turn* turn);
  void toggles();

  Mouse mouse_;
  Random random_{0};
  bool randomMode_ = false;
  bool held_[256] = {};
  bool guided_ = true;
  bool routeSet_ = false;
  Route route_;
  int next_ = 0;
  int wanderLeft_ = 0;
  int fHeld_ = 0;
  int iHeld_ = 0;
};

}  // namespace bot
