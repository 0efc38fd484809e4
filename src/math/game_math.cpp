// The game's sine, cosine, tangent and arctangent (see game_math.h). The
// arithmetic is double-double where the last bit depends on it: a value is the
// unevaluated sum hi + lo of two doubles, and the error-free sums and products
// below give the rounding error of one operation exactly. The constant tables
// come from tools/math_tables.py.
#include "math/game_math.h"

#include <cstdint>
#include <cstring>

namespace gmath {
namespace {

struct Pair {
  double hi;
  double lo;
};

// 2^e for a normal result (-1022 <= e <= 1023).
double pow2(int e) { return fromBits(static_cast<uint64_t>(e + 1023) << 52); }

// a + b exactly, for any a and b.
Pair twoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly, when |a| >= |b| (or a is 0).
Pair fastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a * b exactly (Dekker's product; the halves of a 53-bit significand multiply
// without rounding). Needs |a|, |b| well below 2^996.
Pair split(double a) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double t = kSplitter * a;
  const double hi = t - (t - a);
  return {hi, a - hi};
}

Pair twoProd(double a, double b) {
  const double p = a * b;
  const Pair as = split(a);
  const Pair bs = split(b);
  const double e = ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
  return {p, e};
}

// (a.hi + a.lo) / (b.hi + b.lo), as a pair.
Pair divide(Pair a, Pair b) {
  const double q = a.hi / b.hi;
  const Pair p = twoProd(q, b.hi);
  const double rest = ((a.hi - p.hi) - p.lo + a.lo) - q * b.lo;
  return fastTwoSum(q, rest / b.hi);
}

Pair negate(Pair a) { return {-a.hi, -a.lo}; }

// ---------------------------------------------------------------------------
// Argument reduction: x = n * pi/2 + r with |r| <= pi/4, exactly enough for
// every finite x.

// 2/pi in 32-bit words, most significant first: bit k of the fraction (weight
// 2^-k, k >= 1) is bit 32 - ((k - 1) % 32) - 1 of word (k - 1) / 32. Forty
// words cover the largest double's exponent plus the window.
constexpr uint32_t kTwoOverPi[40] = {
    0xA2F9836Eu, 0x4E441529u, 0xFC2757D1u, 0xF534DDC0u, 0xDB629599u, 0x3C439041u, 0xFE5163ABu,
    0xDEBBC561u, 0xB7246E3Au, 0x424DD2E0u, 0x06492EEAu, 0x09D1921Cu, 0xFE1DEB1Cu, 0xB129A73Eu,
    0xE88235F5u, 0x2EBB4484u, 0xE99C7026u, 0xB45F7E41u, 0x3991D639u, 0x835339F4u, 0x9C845F8Bu,
    0xBDF9283Bu, 0x1FF897FFu, 0xDE05980Fu, 0xEF2F118Bu, 0x5A0A6D1Fu, 0x6D367ECFu, 0x27CB09B7u,
    0x4F463F66u, 0x9E5FEA2Du, 0x7527BAC7u, 0xEBE5F17Bu, 0x3D0739F7u, 0x8A5292EAu, 0x6BFB5FB1u,
    0x1F8D5D08u, 0x56033046u, 0xFC7B6BABu, 0xF0CFBC20u, 0x9AF4361Du,
};
// pi/2 as the sum of two doubles (to about 2^-107).
constexpr double kHalfPiHi = 0x1.921fb54442d18p+0;
constexpr double kHalfPiLo = 0x1.1a62633145c07p-54;

constexpr int kWindowWords = 6;  // 192 bits of 2/pi per reduction
constexpr int kProductWords = kWindowWords + 2;

uint32_t wordAt(const uint32_t* p, int i) { return i >= 0 && i < kProductWords ? p[i] : 0; }

// Bits lo .. lo + 63 of the product (bits outside it are 0).
uint64_t bits64(const uint32_t* p, int lo) {
  const int w = lo >= 0 ? lo / 32 : -((31 - lo) / 32);
  const int s = lo - w * 32;
  const uint64_t a = wordAt(p, w) | (static_cast<uint64_t>(wordAt(p, w + 1)) << 32);
  const uint64_t c = wordAt(p, w + 2);
  return s == 0 ? a : (a >> s) | (c << (64 - s));
}

bool bitAt(const uint32_t* p, int i) { return ((p[i / 32] >> (i % 32)) & 1u) != 0; }

// For finite x > pi/4: returns n mod 4 and sets *r = x - n * pi/2, |r| <= pi/4.
//
// With x = m * 2^e (m the 53-bit significand), x * 2/pi mod 4 needs only the
// bits of 2/pi from weight 2^-(e-1) on: the earlier ones give multiples of 4.
// Their product with m, in integers, holds n in the two bits above the binary
// point and the fraction below it; the window is long enough that even the x
// closest to a multiple of pi/2 keeps more than 60 correct bits of r.
int reduce(double x, Pair* r) {
  const uint64_t u = bitsOf(x);
  const int e = static_cast<int>((u >> 52) & 0x7FF) - 1075;
  const uint64_t m = (u & 0xFFFFFFFFFFFFFull) | (1ull << 52);
  const int first = e >= 2 ? e - 1 : 1;  // weight 2^-first
  const int fractionBits = first + 32 * kWindowWords - 1 - e;

  uint32_t w[kWindowWords];  // least significant first
  const int word = (first - 1) / 32;
  const int shift = (first - 1) % 32;
  for (int i = 0; i < kWindowWords; ++i) {
    const uint32_t a = kTwoOverPi[word + i];
    const uint32_t b = kTwoOverPi[word + i + 1];
    w[kWindowWords - 1 - i] = shift == 0 ? a : (a << shift) | (b >> (32 - shift));
  }
  uint32_t p[kProductWords] = {};
  const uint32_t mw[2] = {static_cast<uint32_t>(m), static_cast<uint32_t>(m >> 32)};
  for (int j = 0; j < 2; ++j) {
    uint64_t carry = 0;
    for (int i = 0; i < kWindowWords; ++i) {
      const uint64_t t = static_cast<uint64_t>(mw[j]) * w[i] + p[i + j] + carry;
      p[i + j] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
    p[kWindowWords + j] = static_cast<uint32_t>(carry);
  }

  int n = (bitAt(p, fractionBits) ? 1 : 0) + (bitAt(p, fractionBits + 1) ? 2 : 0);
  // Keep the fraction alone; from one half on, round n up and take 1 - fraction.
  const bool negative = bitAt(p, fractionBits - 1);
  for (int i = 0; i < kProductWords; ++i) {
    const int below = fractionBits - 32 * i;  // bits of word i that belong to the fraction
    if (below <= 0) {
      p[i] = 0;
    } else if (below < 32) {
      p[i] &= (1u << below) - 1;
    }
  }
  if (negative) {
    n = (n + 1) & 3;
    uint64_t borrow = 1;  // two's complement: invert and add one
    for (uint32_t& v : p) {
      const uint64_t t = static_cast<uint64_t>(static_cast<uint32_t>(~v)) + borrow;
      v = static_cast<uint32_t>(t);
      borrow = t >> 32;
    }
    for (int i = 0; i < kProductWords; ++i) {
      const int below = fractionBits - 32 * i;
      if (below <= 0) {
        p[i] = 0;
      } else if (below < 32) {
        p[i] &= (1u << below) - 1;
      }
    }
  }

  int top = -1;
  for (int i = kProductWords - 1; i >= 0 && top < 0; --i) {
    for (int b = 31; b >= 0; --b) {
      if ((p[i] >> b) & 1u) {
        top = 32 * i + b;
        break;
      }
    }
  }
  if (top < 0) {  // x * 2/pi an integer: cannot happen for x > 0, kept for safety
    *r = {0, 0};
    return n;
  }
  constexpr uint64_t kMask53 = (1ull << 53) - 1;
  const uint64_t a = bits64(p, top - 52) & kMask53;
  const uint64_t b = bits64(p, top - 105) & kMask53;
  const double fa = static_cast<double>(static_cast<int64_t>(a)) * pow2(top - 52 - fractionBits);
  const double fb = static_cast<double>(static_cast<int64_t>(b)) * pow2(top - 105 - fractionBits);
  Pair prod = twoProd(fa, kHalfPiHi);
  prod.lo += fa * kHalfPiLo + fb * kHalfPiHi;
  const Pair reduced = fastTwoSum(prod.hi, prod.lo);
  *r = negative ? negate(reduced) : reduced;
  return n;
}

// ---------------------------------------------------------------------------
// The kernels on |r| <= pi/4: the leading terms in double-double, the rest of
// the Taylor series in plain doubles, where its rounding stays below 2^-60 of
// the result.

Pair sinKernel(Pair r) {
  const double x = r.hi;
  const Pair x2 = twoProd(x, x);
  Pair x3 = twoProd(x2.hi, x);
  x3.lo += x2.lo * x;
  const double sixthHi = x3.hi / 6;  // x^3 / 6 as a pair
  const Pair back = twoProd(sixthHi, 6.0);
  const double sixthLo = ((x3.hi - back.hi) - back.lo + x3.lo) / 6;
  const double z = x2.hi;
  const double tail =
      x3.hi * z *
      (1.0 / 120 +
       z * (-1.0 / 5040 +
            z * (1.0 / 362880 +
                 z * (-1.0 / 39916800 +
                      z * (1.0 / 6227020800 +
                           z * (-1.0 / 1307674368000 + z * (1.0 / 355687428096000 +
                                                            z * (-1.0 / 121645100408832000.0 +
                                                                 z / 51090942171709440000.0))))))));
  const Pair s = fastTwoSum(x, -sixthHi);
  // r.lo moves the result by r.lo * cos(x).
  const double lo = s.lo - sixthLo + tail + r.lo * (1 - 0.5 * z);
  return fastTwoSum(s.hi, lo);
}

Pair cosKernel(Pair r) {
  const double x = r.hi;
  const Pair x2 = twoProd(x, x);
  const double halfHi = 0.5 * x2.hi;  // (x + r.lo)^2 / 2
  const double halfLo = 0.5 * x2.lo + x * r.lo;
  Pair x4 = twoProd(x2.hi, x2.hi);
  x4.lo += 2 * x2.hi * x2.lo;
  const double q = x4.hi / 24;  // x^4 / 24 as a pair
  const Pair back = twoProd(q, 24.0);
  const double qLo = ((x4.hi - back.hi) - back.lo + x4.lo) / 24;
  const double z = x2.hi;
  const double tail =
      x4.hi * z *
      (-1.0 / 720 +
       z * (1.0 / 40320 +
            z * (-1.0 / 3628800 +
                 z * (1.0 / 479001600 +
                      z * (-1.0 / 87178291200 +
                           z * (1.0 / 20922789888000 +
                                z * (-1.0 / 6402373705728000 + z / 2432902008176640000.0)))))));
  const Pair a = fastTwoSum(1.0, -halfHi);
  const Pair b = fastTwoSum(a.hi, q);
  const double lo = a.lo + b.lo - halfLo + qLo + tail;
  return fastTwoSum(b.hi, lo);
}

constexpr double kQuarterPi = 0x1.921fb54442d18p-1;
constexpr double kTiny = 0x1p-27;  // below it sin x = tan x = x and cos x = 1, rounded

bool isFinite(double x) { return (bitsOf(x) & 0x7FF0000000000000ull) != 0x7FF0000000000000ull; }

double magnitude(double x) { return fromBits(bitsOf(x) & 0x7FFFFFFFFFFFFFFFull); }

// |x| as n and r; n = 0 within pi/4.
int reduceMagnitude(double ax, Pair* r) {
  if (ax <= kQuarterPi) {
    *r = {ax, 0};
    return 0;
  }
  return reduce(ax, r);
}

double sum(Pair a) { return a.hi + a.lo; }

// ---------------------------------------------------------------------------
// atan on 0 <= x <= 1 (x a pair): atan x = atan c + atan((x - c) / (1 + x c))
// with c = i/8 the nearest eighth, so the series runs on |t| <= 1/16.

constexpr Pair kAtanEighths[9] = {
    {0x0.0p+0, 0x0.0p+0},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
};

Pair atanUnit(Pair x) {
  // x.hi is in [0, 1] and the digests were made with this rounding; lround differs where
  // x.hi * 8 + 0.5 rounds up to a whole number.
  // NOLINTNEXTLINE(bugprone-incorrect-roundings)
  const int i = static_cast<int>(x.hi * 8 + 0.5);
  Pair t = x;
  if (i > 0) {
    const double c = i / 8.0;
    // x.hi - c is exact (c/2 <= x.hi <= 2c).
    const Pair num = twoSum(x.hi - c, x.lo);
    Pair cx = twoProd(c, x.hi);
    cx.lo += c * x.lo;
    const Pair den1 = fastTwoSum(1.0, cx.hi);
    const Pair den = fastTwoSum(den1.hi, den1.lo + cx.lo);
    t = divide(num, den);
  }
  const double z = t.hi * t.hi;
  const double tail =
      t.hi * z *
      (-1.0 / 3 +
       z * (1.0 / 5 +
            z * (-1.0 / 7 +
                 z * (1.0 / 9 +
                      z * (-1.0 / 11 + z * (1.0 / 13 + z * (-1.0 / 15 + z * (1.0 / 17))))))));
  const Pair c = kAtanEighths[i];
  const Pair s = twoSum(c.hi, t.hi);
  // t.lo moves atan by t.lo / (1 + t^2).
  const double lo = s.lo + c.lo + tail + t.lo * (1 - z);
  return fastTwoSum(s.hi, lo);
}

}  // namespace

double sin(double x) {
  const double ax = magnitude(x);
  if (!isFinite(x)) return x - x;
  if (ax < kTiny) return x;
  Pair r;
  const int n = reduceMagnitude(ax, &r);
  const Pair v = (n & 1) ? cosKernel(r) : sinKernel(r);
  const double s = sum(v);
  const bool negative = ((n & 2) != 0) != (x < 0);
  return negative ? -s : s;
}

double cos(double x) {
  const double ax = magnitude(x);
  if (!isFinite(x)) return x - x;
  if (ax < kTiny) return 1.0;
  Pair r;
  const int n = reduceMagnitude(ax, &r);
  const Pair v = (n & 1) ? sinKernel(r) : cosKernel(r);
  const double c = sum(v);
  return (n == 1 || n == 2) ? -c : c;
}

double tan(double x) {
  const double ax = magnitude(x);
  if (!isFinite(x)) return x - x;
  if (ax < kTiny) return x;
  Pair r;
  const int n = reduceMagnitude(ax, &r);
  const Pair s = sinKernel(r);
  const Pair c = cosKernel(r);
  // Odd quarters: tan(r + pi/2) = -cos r / sin r.
  const double t = (n & 1) ? -sum(divide(c, s)) : sum(divide(s, c));
  return x < 0 ? -t : t;
}

double atan(double x) {
  if (x != x) return x + x;
  const double ax = magnitude(x);
  if (ax < kTiny) return x;
  double a;
  if (ax <= 1) {
    a = sum(atanUnit({ax, 0}));
  } else if (ax < 0x1p60) {
    // atan x = pi/2 - atan(1/x), with 1/x as a pair.
    const double uh = 1 / ax;
    const Pair back = twoProd(uh, ax);
    const double ul = ((1 - back.hi) - back.lo) / ax;
    const Pair v = atanUnit({uh, ul});
    const Pair d = twoSum(kHalfPiHi, -v.hi);
    a = d.hi + ((d.lo + kHalfPiLo) - v.lo);
  } else {
    a = kHalfPiHi;  // pi/2 - 1/x rounds to it
  }
  return x < 0 ? -a : a;
}

}  // namespace gmath
