// The size gluBuild2DMipmaps scales an image's side to before it builds the
// levels, for the texture check and for the browser's own mipmap builder.
#pragma once

// A power of two: up when the side's two top bits are set (3 to 4, 48 to 64,
// 3072 to 4096), down otherwise (40 to 32, 5 to 4); 1 for anything below 2.
constexpr int gluScaledSide(int side) {
  if (side < 2) return 1;
  int power = 1;
  while (power <= side / 2) power *= 2;  // the top bit
  const bool nextBitSet = side - power >= power / 2;
  return (nextBitSet && power < (1 << 30)) ? power * 2 : power;
}
