// The game's own sine, cosine, tangent and arctangent. The C libraries of the
// three builds (glibc, Windows' runtime, the browser's musl) differ from each
// other in the last bit now and then; these give the same bits everywhere, so
// a recorded game replays exactly on every build.
//
// They use only IEEE double additions, multiplications and divisions (no long
// double, no library call, no fused multiply-add: the game is compiled with
// floating-point contraction off) and integer arithmetic, so any platform with
// IEEE doubles in round-to-nearest computes the same results.
//
// Ranges and accuracy: every finite double. The argument reduction of sin, cos
// and tan multiplies by a 192-bit window of 2/pi in integers, so the reduced
// angle keeps at least 70 correct bits for every finite argument, even the
// double nearest a multiple of pi/2 (an angle of a billion turns reduces as
// well as one of a tenth of one), and the
// results are within 1 ulp of the true value (measured against 300-bit values
// over 360,000 arguments from the game's ranges and the whole double range:
// at most 0.54 ulp; tests/unit/game_math_test.cpp checks 763 of them). The
// game's own arguments: headings in radians (unbounded: the keyboard's turning
// is never wrapped), the smoke's spread angles 0..622, the pitch within
// +-85 degrees for tan, and any slope (including infinities) for atan.
// Infinities give NaN for sin, cos and tan; NaN gives NaN.
#pragma once

#include <cstdint>
#include <cstring>

namespace gmath {

// A double's bits and back (the recordings, the math and its tests read and
// write doubles as their bit patterns).
inline uint64_t bitsOf(double x) {
  uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}
inline double fromBits(uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}

double sin(double x);
double cos(double x);
double tan(double x);
double atan(double x);

}  // namespace gmath
