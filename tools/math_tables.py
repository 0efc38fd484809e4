#!/usr/bin/env python3
"""Prints the constant tables of src/math/game_math.cpp (run once; the output
is pasted into the source): the bits of 2/pi for argument reduction, pi/2 as a
sum of three doubles, and atan(i/8) as pairs of doubles. Needs mpmath.

With --reference it prints instead the reference values of
tests/unit/game_math_reference.txt: per line a function, an argument and the
true value as the sum of two doubles (each double as its 64 bits in hex, which
every C library reads alike), for arguments over the game's ranges and
the hardest cases of the argument reduction."""
import math
import random
import struct
import sys

import mpmath

mpmath.mp.prec = 2000


def dd(v, parts=2):
    out = []
    for _ in range(parts):
        d = float(v)
        out.append(d)
        v = v - mpmath.mpf(d)
    return out


def main():
    limbs = 40
    two_over_pi = 2 / mpmath.pi
    bits = int(mpmath.floor(two_over_pi * mpmath.mpf(2) ** (32 * limbs)))
    words = [(bits >> (32 * (limbs - 1 - i))) & 0xFFFFFFFF for i in range(limbs)]
    print("// 2/pi in 32-bit words, most significant first")
    for i in range(0, limbs, 6):
        print("    " + " ".join("0x%08Xu," % w for w in words[i:i + 6]))
    print("// pi/2 =", ", ".join(d.hex() for d in dd(mpmath.pi / 2, 3)))
    print("// atan(i/8), i = 0..8")
    for i in range(9):
        hi, lo = dd(mpmath.atan(mpmath.mpf(i) / 8))
        print("    {%s, %s}," % (hi.hex(), lo.hex()))


def bits(x):
    return "%016x" % struct.unpack("<Q", struct.pack("<d", x))[0]


def reference():
    random.seed(19)
    k = float.fromhex("0x1.1df46ap-6")  # the game's degrees-to-radians factor
    args = {"sin": [], "cos": [], "tan": [], "atan": []}
    for _ in range(60):
        h = random.uniform(-1e6, 1e6) * k  # headings, unwrapped
        args["sin"].append(h)
        args["cos"].append(h)
        spread = random.uniform(0, 622)  # the smoke's spread angles
        args["sin"].append(spread)
        args["cos"].append(spread)
        args["tan"].append(random.uniform(-85, 85) * k)  # the pitch
        args["tan"].append(random.uniform(-1.6, 1.6))
        args["atan"].append(random.uniform(-4, 4))
        args["atan"].append(math.ldexp(random.uniform(0.5, 1), random.randint(-40, 70))
                            * random.choice([-1, 1]))
        big = math.ldexp(random.uniform(0.5, 1), random.randint(1, 1023))
        for f in ("sin", "cos", "tan"):
            args[f].append(big)
    # Doubles closest to multiples of pi/2 (the reduction's hardest cases),
    # the quarter turns themselves, the range ends and the largest double.
    hard = [6381956970095103 * 2.0 ** 797, float.fromhex("0x1.6ac5b262ca1ffp+849"),
            5.319372648326541e+255, 1e22, math.pi / 4, math.nextafter(math.pi / 4, 1),
            math.pi / 2, math.pi, 3 * math.pi / 2, 2 * math.pi, 90 * k, 85 * k, 622.0,
            2.0 ** -27, 1.0, 1.7976931348623157e308]
    for f in ("sin", "cos", "tan"):
        args[f] += hard + [-x for x in hard]
    args["atan"] += [1.0, -1.0, 0.0625, 1 / 16 + 2 ** -40, 2.0 ** 60, 1e300, 2.0 ** -27]
    for f, xs in args.items():
        for x in xs:
            v = getattr(mpmath, f)(mpmath.mpf(x))
            hi = float(v)
            lo = float(v - mpmath.mpf(hi))
            print("%-4s %s %s %s" % (f, bits(x), bits(hi), bits(lo)))


if len(sys.argv) > 1 and sys.argv[1] == "--reference":
    reference()
else:
    main()
