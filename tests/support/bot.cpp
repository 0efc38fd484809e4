// The test player: mouse, route through the maze, hunting and wandering.
#include "support/bot.h"

#include <cmath>

#include "app/shell.h"
#include "game/hud.h"
#include "game/state.h"
#include "support/test_platform.h"
#include "world/maze_layout.h"

namespace bot {

namespace {
constexpr double kPixelsPerDegree = 32;
constexpr double kMaxMove = 100;        // pixels in one mouse message of a turn
constexpr double kMaxTurnPerFrame = 8;  // degrees of mouse turning per frame
constexpr double kMaxLevelPerFrame = 3;
constexpr double kWalkAlignment = 4;     // walk only when facing the way this closely
constexpr double kAimAlignment = 2;      // fire only when aimed this closely
constexpr double kWaypointReached = 16;  // units
// The last waypoint: in front of the door's middle, 25 units further in than
// the exit point; the game is won well before the bot gets there.
constexpr Waypoint kInsideTheDoor = {kExitX, kExitZ + 25};

constexpr int kWalkKeys[] = {vk::Up, vk::W, vk::Down, vk::S, vk::A, vk::D, vk::Left, vk::Right};

double clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Whether the shared edge of two path cells is open.
bool open(int a, int b) {
  const MazeCell& p = kMazeCells[a];
  const MazeCell& q = kMazeCells[b];
  if (p.row == q.row && q.col == p.col + 1)
    return !(p.walls & kEdgeHighX) && !(q.walls & kEdgeLowX);
  if (p.row == q.row && q.col == p.col - 1)
    return !(p.walls & kEdgeLowX) && !(q.walls & kEdgeHighX);
  if (p.col == q.col && q.row == p.row + 1)
    return !(p.walls & kEdgeHighZ) && !(q.walls & kEdgeLowZ);
  if (p.col == q.col && q.row == p.row - 1)
    return !(p.walls & kEdgeLowZ) && !(q.walls & kEdgeHighZ);
  return false;
}

constexpr int kUnreached = -2;
constexpr int kAtTheDoor = -1;

// For each path cell, the neighbouring path cell one step closer to the
// door's cell: a breadth-first search over open cell edges.
struct NextHops {
  int hop[kPathCells];
  NextHops() {
    int queue[kPathCells];
    int head = 0, tail = 0;
    for (int& h : hop) h = kUnreached;
    hop[kDoorCell] = kAtTheDoor;
    queue[tail++] = kDoorCell;
    while (head < tail) {
      const int at = queue[head++];
      for (int j = 0; j < kPathCells; ++j) {
        if (hop[j] == kUnreached && open(at, j)) {
          hop[j] = at;
          queue[tail++] = j;
        }
      }
    }
  }
};

const NextHops& nextHops() {
  static const NextHops hops;
  return hops;
}
}  // namespace

double wrap180(double degrees) {
  double d = std::fmod(degrees, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return d;
}

double headingTowards(double x, double z, double tx, double tz) {
  return std::atan2(-(tx - x), -(tz - z)) * 180.0 / 3.14159265358979323846;
}

void Mouse::move(double dx, double dy) {
  const size_t warpsBefore = testPlatform.warps.size();
  x_ += dx;
  y_ += dy;
  mouseView(x_, y_);
  if (testPlatform.warps.size() > warpsBefore) {
    const std::pair<int, int>& warp = testPlatform.warps.back();
    x_ = warp.first;
    y_ = warp.second;
    mouseView(x_, y_);
  }
}

void Mouse::turn(double degrees) {
  double pixels = -degrees * kPixelsPerDegree;
  while (std::fabs(pixels) > 0.0) {
    const double step = std::fabs(pixels) > kMaxMove ? std::copysign(kMaxMove, pixels) : pixels;
    pixels -= step;
    move(step, 0);
  }
}

void Mouse::setCursor(double x, double y) {
  x_ = x;
  y_ = y;
}

int pathCellAt(double x, double z) {
  if (!std::isfinite(x) || !std::isfinite(z)) return -1;
  const int col = static_cast<int>(std::floor(x / kCellSize));
  const int row = static_cast<int>(std::floor(z / kCellSize));
  for (int i = 0; i < kPathCells; ++i) {
    if (kMazeCells[i].col == col && kMazeCells[i].row == row) return i;
  }
  return -1;
}

Route routeFrom(int cell) {
  Route route;
  const NextHops& hops = nextHops();
  int at = cell >= 0 ? hops.hop[cell] : kAtTheDoor;
  while (at >= 0 && route.length < kMaxWaypoints - 1) {
    const MazeCell& c = kMazeCells[at];
    route.points[route.length++] = {c.x0() + kCellSize / 2, c.z0() + kCellSize / 2};
    at = hops.hop[at];
  }
  route.points[route.length++] = kInsideTheDoor;
  return route;
}

int cellWithoutAWayToTheDoor() {
  for (int i = 0; i < kPathCells; ++i) {
    if (nextHops().hop[i] == kUnreached) return i;
  }
  return -1;
}

uint64_t Random::next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int Random::below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

void Player::newGame() {
  for (bool& h : held_) h = false;  // the reset released every key
  fHeld_ = iHeld_ = 0;
  routeSet_ = false;
  if (randomMode_) {
    guided_ = random_.oneIn(3);
    wanderLeft_ = guided_ ? 0 : random_.between(100, 4000);
  } else {
    guided_ = true;
  }
}

Turn Player::beforeFrame() {
  Turn turn;
  if (!guided_ && --wanderLeft_ <= 0) {
    guided_ = true;
    for (int key : kWalkKeys) release(key);
  }
  if (guided_) {
    turn = guide();
  } else {
    wander(&turn);
  }
  if (randomMode_) toggles();
  return turn;
}

void Player::releaseKeys() {
  for (int key = 0; key < 256; ++key) release(key);
}

void Player::press(int key) {
  keyDown(key);
  held_[key] = true;
}

void Player::release(int key) {
  if (held_[key]) keyUp(key);
  held_[key] = false;
}

void Player::fire(Turn* turn) {
  fireButton();  // what the window procedure does on a left button press
  turn->fired = true;
}

double Player::steer(double wanted) {
  if (input.pitch != 0) {
    const double level = clamp(input.pitch, -kMaxLevelPerFrame, kMaxLevelPerFrame);
    mouse_.move(0, (shell.invertMouse ? 1 : -1) * level * kPixelsPerDegree);
  }
  const double error = wrap180(wanted - view.heading);
  const double turn = clamp(error, -kMaxTurnPerFrame, kMaxTurnPerFrame);
  mouse_.turn(turn);
  return std::fabs(error - turn);
}

Turn Player::guide() {
  Turn turn;
  turn.hunter = alertingEnemy();
  if (turn.hunter >= 0) {
    // Stand and shoot: the hit test of a press looks at where the ray of the
    // previous press ended, so keep pressing while aimed.
    release(vk::Up);
    const Enemy& e = enemies[turn.hunter];
    const double error = steer(headingTowards(player.xtrans2, player.ztrans2,
                                              static_cast<double>(e.x), static_cast<double>(e.z)));
    if (error < kAimAlignment) fire(&turn);
    return turn;
  }
  if (!routeSet_) {
    route_ = routeFrom(pathCellAt(player.xtrans2, player.ztrans2));
    next_ = 0;
    routeSet_ = true;
  }
  while (next_ < route_.length - 1 &&
         std::hypot(route_.points[next_].x - player.xtrans2,
                    route_.points[next_].z - player.ztrans2) < kWaypointReached) {
    ++next_;
  }
  const Waypoint& w = route_.points[next_];
  const double error = steer(headingTowards(player.xtrans2, player.ztrans2, w.x, w.z));
  if (error < kWalkAlignment) {
    press(vk::Up);
  } else {
    release(vk::Up);
  }
  if (randomMode_ && random_.oneIn(40)) fire(&turn);  // at the walls, for the smoke
  return turn;
}

void Player::wander(Turn* turn) {
  if (random_.oneIn(20)) {
    const int key = kWalkKeys[random_.below(8)];
    if (held_[key]) {
      release(key);
    } else {
      press(key);
    }
  }
  if (random_.oneIn(2)) mouse_.move(random_.between(-40, 40), random_.between(-15, 15));
  if (random_.oneIn(12)) fire(turn);
}

// F and I, pressed now and then and held for a few frames.
void Player::toggles() {
  if (fHeld_ > 0) {
    if (--fHeld_ == 0) release(vk::F);
  } else if (random_.oneIn(300)) {
    press(vk::F);
    fHeld_ = random_.between(1, 6);
  }
  if (iHeld_ > 0) {
    if (--iHeld_ == 0) release(vk::I);
  } else if (random_.oneIn(1500)) {
    press(vk::I);
    iHeld_ = random_.between(1, 6);
  }
}

}  // namespace bot
