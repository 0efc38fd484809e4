// The creature's colours: mottled green-brown skin with warts, a leather
// tunic with belt and buckle, cloth breeches and ankle wraps, yellow slit
// eyes, tusks, horn claws and a studded wooden club.
#include <algorithm>
#include <cmath>

#include "creature_paint.h"

namespace creature {

namespace {

constexpr double kPi = 3.14159265358979323846;

uint32_t mixBits(uint32_t h) {
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return h;
}

uint32_t hash3(int x, int y, int z, uint32_t seed) {
  uint32_t h = mixBits(seed * 0x9e3779b9u + uint32_t(x) * 0x85ebca77u);
  h = mixBits(h ^ (uint32_t(y) * 0xc2b2ae3du));
  return mixBits(h ^ (uint32_t(z) * 0x27d4eb2fu));
}

double unit(uint32_t h) { return h * (1.0 / 4294967296.0); }

double smooth(double t) { return t * t * (3 - 2 * t); }

double smoothStep(double e0, double e1, double x) {
  return smooth(std::clamp((x - e0) / (e1 - e0), 0.0, 1.0));
}

double fract(double x) { return x - std::floor(x); }

// Triangle wave, 0 at whole numbers, 1 halfway between.
double saw(double x) { return 1.0 - std::fabs(2.0 * fract(x) - 1.0); }

double distanceToSegment(double x, double y, double ax, double ay, double bx, double by,
                         double* along) {
  const double dx = bx - ax, dy = by - ay;
  const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  if (along) *along = t;
  return std::hypot(x - ax - dx * t, y - ay - dy * t);
}

const Colour kSkinDark = {0.24, 0.30, 0.11};
const Colour kSkinMid = {0.40, 0.47, 0.19};
const Colour kSkinLight = {0.56, 0.56, 0.26};
const Colour kWart = {0.34, 0.29, 0.13};
const Colour kLeather = {0.36, 0.23, 0.12};
const Colour kLeatherDark = {0.17, 0.10, 0.05};
const Colour kCloth = {0.34, 0.29, 0.20};
const Colour kIvory = {0.88, 0.84, 0.64};
const Colour kHorn = {0.20, 0.15, 0.10};
const Colour kGold = {0.86, 0.68, 0.22};
const Colour kIron = {0.55, 0.56, 0.60};

Colour skinAt(Vec3 p) {
  const double blotch = smoothStep(0.28, 0.72, fractalNoise(p * 0.3, 11, 3));
  Colour c = blotch < 0.5 ? mix(kSkinDark, kSkinMid, blotch * 2)
                          : mix(kSkinMid, kSkinLight, blotch * 2 - 1);
  c = scaled(c, 0.88 + 0.24 * valueNoise(p * 2.7, 12));
  uint32_t cell = 0;
  const double d = cellDistance(p * 0.95, 13, &cell);
  if ((cell & 3u) == 0) {
    const double size = 0.20 + 0.12 * unit(mixBits(cell));
    if (d < size)
      c = mix(c, kWart, 0.85 * (1 - smoothStep(size * 0.6, size, d)));
    else if (d < size * 1.5)
      c = scaled(c, 1.08);
  }
  return c;
}

Colour leatherAt(Vec3 p) {
  Colour c = scaled(kLeather, 0.8 + 0.35 * fractalNoise(p * 0.5, 21, 3));
  c = scaled(c, 0.92 + 0.14 * valueNoise(p * 4.0, 22));
  // Scuffs.
  if (valueNoise(p * 1.3, 23) > 0.74) c = mix(c, {0.50, 0.36, 0.22}, 0.4);
  return c;
}

Colour clothAt(Vec3 p) {
  Colour c = scaled(kCloth, 0.8 + 0.3 * fractalNoise(p * 0.6, 31, 2));
  const double weave = 0.5 + 0.5 * std::sin(p.y * 9.0) * std::sin((p.x + p.z) * 9.0);
  return scaled(c, 0.92 + 0.1 * weave);
}

}  // namespace

double valueNoise(Vec3 p, uint32_t seed) {
  const double fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
  const int ix = int(fx), iy = int(fy), iz = int(fz);
  const double tx = smooth(p.x - fx), ty = smooth(p.y - fy), tz = smooth(p.z - fz);
  double corner[2][2][2];
  for (int a = 0; a < 2; ++a)
    for (int b = 0; b < 2; ++b)
      for (int c = 0; c < 2; ++c) corner[a][b][c] = unit(hash3(ix + a, iy + b, iz + c, seed));
  auto lerp1 = [](double a, double b, double t) { return a + (b - a) * t; };
  const double x00 = lerp1(corner[0][0][0], corner[1][0][0], tx);
  const double x10 = lerp1(corner[0][1][0], corner[1][1][0], tx);
  const double x01 = lerp1(corner[0][0][1], corner[1][0][1], tx);
  const double x11 = lerp1(corner[0][1][1], corner[1][1][1], tx);
  return lerp1(lerp1(x00, x10, ty), lerp1(x01, x11, ty), tz);
}

double fractalNoise(Vec3 p, uint32_t seed, int octaves) {
  double sum = 0, weight = 0, amplitude = 1;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * valueNoise(p, seed + uint32_t(o) * 101u);
    weight += amplitude;
    amplitude *= 0.5;
    p = p * 2.03;
  }
  return sum / weight;
}

double cellDistance(Vec3 p, uint32_t seed, uint32_t* cellHash) {
  const int ix = int(std::floor(p.x)), iy = int(std::floor(p.y)), iz = int(std::floor(p.z));
  double best = 1e9;
  for (int a = -1; a <= 1; ++a) {
    for (int b = -1; b <= 1; ++b) {
      for (int c = -1; c <= 1; ++c) {
        const uint32_t h = hash3(ix + a, iy + b, iz + c, seed);
        const Vec3 point = {ix + a + unit(mixBits(h ^ 1u)), iy + b + unit(mixBits(h ^ 2u)),
                            iz + c + unit(mixBits(h ^ 3u))};
        const double d = length(point - p);
        if (d < best) {
          best = d;
          if (cellHash) *cellHash = h;
        }
      }
    }
  }
  return best;
}

Paint paintHead(const Surface& s) {
  const Vec3 p = s.p;
  Colour c = skinAt(p);
  // Crown a little browner.
  c = mix(c, {0.36, 0.36, 0.17}, 0.35 * smoothStep(25.0, 28.5, p.y));
  // Dark sockets round the eyes.
  const Vec3 eye = {kEyeCentre.x, kEyeCentre.y, p.z < 0 ? -kEyeCentre.z : kEyeCentre.z};
  const double socket = length(p - eye);
  c = scaled(c, 1 - 0.6 * (1 - smoothStep(kEyeRadius, kEyeRadius + 1.5, socket)));
  if (s.n.x > 0.1) {
    const double az = std::fabs(p.z);
    // Heavy brows, low over the nose: an angry frown.
    const double brow =
        distanceToSegment(az, p.y, 0.7, kEyeCentre.y + 1.2, 4.3, kEyeCentre.y + 2.5, nullptr);
    if (brow < 0.5) c = mix(c, {0.16, 0.16, 0.06}, 0.8 * (1 - smoothStep(0.3, 0.5, brow)));
    // Furrows on the forehead.
    for (double y0 : {kEyeCentre.y + 3.4, kEyeCentre.y + 4.1}) {
      const double w = y0 + 0.12 * az * az * 0.5;
      if (std::fabs(p.y - w) < 0.1 && az < 2.6) c = scaled(c, 0.72);
    }
    // Cheeks flushed brown.
    const double cheek = std::hypot(p.y - 18.9, az - 3.4);
    c = mix(c, {0.50, 0.36, 0.20}, 0.35 * (1 - smoothStep(0.5, 2.0, cheek)));
    // Mouth: a wide grin, jagged teeth above, two tusks from the lower jaw.
    const double mouthY = 16.2 + 0.09 * p.z * p.z;
    const double dy = p.y - mouthY;
    if (az < 3.9) {
      const double open = 0.42 * (1 - smoothStep(2.6, 3.9, az));
      if (std::fabs(dy) < open + 0.28) c = mix(c, {0.24, 0.14, 0.08}, 0.65);  // lips
      if (std::fabs(dy) < open) {
        c = {0.20, 0.04, 0.03};
        // Pointed upper teeth between the tusks.
        const double local = fract(az / 0.75 + 0.5);
        const double tooth = 1.3 * open * (1 - std::fabs(2 * local - 1));
        if (open - dy < tooth && az < 1.5) c = scaled(kIvory, 0.95 - 0.3 * (open - dy) / tooth);
      }
      // Tusks from below the lower lip to above the upper one.
      const double tuskAlong = (dy + open + 0.3) / (2 * open + 1.3);
      if (tuskAlong >= 0 && tuskAlong <= 1) {
        const double half = 0.4 * (1 - tuskAlong) + 0.05;
        const double off = std::fabs(az - 2.05);
        if (off < half)
          c = mix(kIvory, {0.60, 0.54, 0.36}, 0.7 * (1 - tuskAlong));
        else if (off < half + 0.1)
          c = scaled(c, 0.6);
      }
    }
    // An old scar down the left cheek, with stitch marks.
    if (p.z < 0) {
      double along = 0;
      const double d = distanceToSegment(p.z, p.y, -4.7, 21.0, -3.2, 18.1, &along);
      if (d < 0.16)
        c = {0.58, 0.42, 0.32};
      else if (d < 0.45 && saw(along * 5) < 0.22)
        c = {0.16, 0.10, 0.06};
    }
  }
  // Shadow under the jaw.
  if (s.n.y < -0.3) c = scaled(c, 1 - 0.4 * smoothStep(-0.3, -0.9, s.n.y));
  return {c, 0};
}

Paint paintEye(const Surface& s) {
  // Painted by direction from the eye's centre (either eye: z mirrors).
  const Vec3 d =
      normalized(s.p - Vec3{kEyeCentre.x, kEyeCentre.y, s.p.z < 0 ? -kEyeCentre.z : kEyeCentre.z});
  Colour c = mix({0.95, 0.50, 0.04}, {1.0, 0.93, 0.25}, smoothStep(0.3, 0.9, d.x));
  // Red rim towards the socket.
  c = mix(c, {0.50, 0.08, 0.04}, 1 - smoothStep(0.0, 0.45, d.x));
  // A slit pupil.
  const double slit = 0.06 + 0.1 * smoothStep(0.6, 1.0, d.x);
  if (d.x > 0.5 && std::fabs(d.z) < slit && std::fabs(d.y) < 0.62) c = {0.03, 0.02, 0.01};
  return {c, 0.6};
}

Paint paintNose(const Surface& s) {
  const Vec3 p = s.p;
  Colour c = skinAt(p);
  c = mix(c, {0.52, 0.36, 0.20}, 0.5 * smoothStep(0.45, 0.95, s.v));
  // Nostrils under the tip.
  if (s.n.y < -0.2 && p.x > 10.8 && p.x < 12.0 && std::fabs(std::fabs(p.z) - 0.45) < 0.28)
    c = {0.10, 0.05, 0.03};
  // A wart on the bridge.
  if (std::hypot(p.x - 9.6, std::hypot(p.y - 20.0, p.z + 0.3)) < 0.4) c = kWart;
  return {c, 0};
}

Paint paintEar(const Surface& s) {
  Colour c = skinAt(s.p);
  // The inner face (towards the front) is a pinkish brown, darker deep inside.
  const double rim = std::fabs(std::cos(2 * kPi * s.u));
  const double inner = smoothStep(0.05, 0.45, s.n.x) * (1 - smoothStep(0.55, 0.8, rim)) *
                       (1 - smoothStep(0.7, 0.95, s.v));
  const Colour pink = mix({0.60, 0.38, 0.27}, {0.32, 0.17, 0.12}, 1 - smoothStep(0.2, 0.6, rim));
  c = mix(c, pink, inner);
  // Veins.
  if (inner > 0.3 && saw(s.v * 5 + 2.0 * rim) < 0.08) c = scaled(c, 0.7);
  // A torn nick near the tip.
  if (s.v > 0.62 && s.v < 0.68 && rim > 0.8) c = {0.12, 0.07, 0.04};
  return {c, 0};
}

Paint paintTorso(const Surface& s) {
  const Vec3 p = s.p;
  const double az = std::fabs(p.z);
  // The tunic stops at the shoulders, with a V at the throat.
  double top = 10.9;
  if (p.x > 0.8) top -= std::max(0.0, 2.4 - az) * 1.3;
  if (p.y > top) {
    Colour c = skinAt(p);
    if (p.y < top + 0.35) c = scaled(c, 0.65);  // shadow over the edge
    return {c, 0};
  }
  Colour c = leatherAt(p);
  // Stitched side seams.
  const double side = std::min(std::fabs(s.u - 0.25), std::fabs(s.u - 0.75));
  if (side < 0.006)
    c = scaled(c, 0.55);
  else if (side < 0.02 && saw(p.y / 0.7) < 0.3)
    c = {0.62, 0.52, 0.36};
  // Hem along the top edge.
  if (p.y > top - 0.45) c = scaled(c, 0.7);
  // Lacing under the V.
  if (p.x > 0.8 && az < 1.3 && p.y > top - 3.0 && p.y < top) {
    const double lace = saw((p.y - az) / 0.9);
    const double lace2 = saw((p.y + az) / 0.9);
    if (lace < 0.12 || lace2 < 0.12) c = {0.58, 0.48, 0.30};
  }
  // A square patch sewn on the back.
  if (p.x < -2.0 && std::fabs(p.y - 4.0) < 2.2 && std::fabs(p.z - 1.5) < 1.9) {
    c = mix(leatherAt(p * 1.7), {0.45, 0.33, 0.20}, 0.4);
    const double ex = std::min(2.2 - std::fabs(p.y - 4.0), 1.9 - std::fabs(p.z - 1.5));
    if (ex < 0.15 && saw((p.y + p.z) / 0.5) < 0.4) c = {0.62, 0.52, 0.36};
  }
  // Belt with a brass buckle; a pouch hangs on the right hip.
  const double beltY = -2.3;
  const double db = std::fabs(p.y - beltY);
  if (db < 0.95) {
    c = scaled(kLeatherDark, 0.85 + 0.3 * valueNoise(p * 3.0, 41));
    if (db > 0.78) c = scaled(c, 0.6);
    if (p.x < 0 && saw(s.u * 12) < 0.15 && db < 0.3) c = kIron;  // studs round the back
  }
  if (p.x > 0.5 && az < 1.35 && db < 1.3) {
    if (az > 0.75 || db > 0.75)
      c = scaled(kGold, 0.8 + 0.3 * smoothStep(0.0, 1.3, p.y - beltY + 1.3));
    if (az < 0.12 && db < 0.75) c = {0.72, 0.70, 0.62};  // the prong
  }
  if (p.y < beltY - 0.95) {
    // Skirt of leather strips with a ragged hem.
    const double strip = s.u * 18;
    if (fract(strip) < 0.07) c = scaled(c, 0.45);
    if (int(std::floor(strip)) % 2 == 1) c = scaled(c, 0.85);
    const double hem = -9.0 + 0.6 * saw(strip + 0.5) + 0.3 * valueNoise(p * 2.0, 42);
    if (p.y < hem) c = scaled(kLeatherDark, 0.7);
    // The pouch.
    if (p.z > 3.2 && p.z < 6.3 && p.y > -6.6 && p.x > -1.5 && p.x < 2.2) {
      c = scaled(leatherAt(p + Vec3{5, 0, 0}), 1.15);
      if (p.y > -4.6) c = scaled(c, 0.75);  // flap
      if (std::hypot(p.y + 4.8, p.x - 0.4) < 0.3) c = kGold;
    }
  }
  // The underside is in deep shade.
  if (s.n.y < -0.5) c = scaled(c, 0.5);
  return {c, 0};
}

Paint paintArm(const Surface& s) {
  const Vec3 p = s.p;
  Colour c = skinAt(p);
  // Studded band round the upper arm.
  if (s.v > 0.20 && s.v < 0.27) {
    c = scaled(kLeatherDark, 1.2);
    if (saw(s.u * 6) < 0.18 && s.v > 0.22 && s.v < 0.25) c = kIron;
  }
  // Leather bracer on the forearm, laced up the inside.
  if (s.v > 0.6 && s.v < 0.9) {
    c = leatherAt(p);
    if (s.v < 0.62 || s.v > 0.88) c = scaled(c, 0.6);
    const double inside = std::fabs(fract(s.u + 0.25) - 0.5);
    if (inside < 0.06 && (saw((s.v - 0.6) * 40) < 0.25)) c = {0.60, 0.50, 0.32};
  }
  // Elbow creases.
  if (s.v > 0.46 && s.v < 0.56 && saw(s.v * 60) < 0.15) c = scaled(c, 0.7);
  return {c, 0};
}

Paint paintHand(const Surface& s) {
  Colour c = skinAt(s.p);
  // Knuckles and fingers.
  const double across = std::cos(2 * kPi * s.u);
  if (s.v > 0.5 && s.v < 0.88) {
    for (double g : {-0.35, 0.3}) {
      if (std::fabs(across - g) < 0.06) c = scaled(c, 0.55);
    }
    if (std::fabs(s.v - 0.55) < 0.02) c = scaled(c, 0.75);
  }
  // Claws.
  if (s.v > 0.86) c = mix(kHorn, {0.40, 0.34, 0.26}, smoothStep(0.86, 1.0, s.v) * 0.6);
  return {c, 0};
}

Paint paintLeg(const Surface& s) {
  const Vec3 p = s.p;
  Colour c = skinAt(p);
  // Breeches to above the knee, with a ragged edge and a patch.
  const double hem = 0.42 + 0.035 * saw(s.u * 7) + 0.02 * valueNoise(p * 2.0, 51);
  if (s.v < hem) {
    c = clothAt(p);
    if (s.v > hem - 0.025) c = scaled(c, 0.6);
    if (std::fabs(s.u - 0.5) < 0.09 && std::fabs(s.v - 0.25) < 0.08)
      c = mix(clothAt(p * 1.5), {0.46, 0.40, 0.26}, 0.5);  // patch on the front
  }
  // Knobbly knees.
  if (s.v > hem && s.v < 0.6 && saw(s.v * 45) < 0.12 && std::fabs(s.u - 0.5) < 0.2)
    c = scaled(c, 0.72);
  // Cloth wraps round the ankle.
  if (s.v > 0.78 && s.v < 0.94) {
    c = scaled(clothAt(p), 1.1);
    if (saw(s.u * 5 + s.v * 14) < 0.16) c = scaled(c, 0.55);
  }
  return {c, 0};
}

Paint paintFoot(const Surface& s) {
  const Vec3 p = s.p;
  Colour c = skinAt(p);
  // Rings from heel to toe; around: top (u = 0) and sole (u = 0.5).
  const double upward = std::cos(2 * kPi * s.u);
  const double sideways = std::sin(2 * kPi * s.u);
  if (s.v > 0.62 && upward > -0.2) {
    for (double g : {-0.35, 0.0, 0.35})
      if (std::fabs(sideways - g) < 0.05) c = scaled(c, 0.55);
  }
  if (s.v > 0.86 && upward > -0.5) c = mix(kHorn, {0.45, 0.38, 0.28}, 0.3);  // toe claws
  if (s.n.y < -0.55) c = scaled({0.22, 0.19, 0.12}, 0.8 + 0.4 * valueNoise(p * 3.0, 61));
  return {c, 0};
}

Paint paintClub(const Surface& s) {
  const Vec3 p = s.p;
  const double a = 2 * kPi * s.u;
  // Wood with grain running along the club.
  const double grain = fractalNoise({std::cos(a) * 3.0, std::sin(a) * 3.0, s.v * 2.5}, 71, 3);
  Colour c = scaled({0.47, 0.31, 0.16}, 0.7 + 0.5 * grain);
  if (saw(grain * 9) < 0.1) c = scaled(c, 0.75);
  // A knot hole.
  if (std::hypot(s.v - 0.5, (fract(s.u + 0.3) - 0.5) * 0.3) < 0.03) c = {0.16, 0.09, 0.04};
  // Grip wrapped in a leather strap.
  if (s.v < 0.33 && s.v > 0.03) {
    c = scaled(kLeather, 0.75 + 0.3 * valueNoise(p * 4.0, 72));
    if (fract(s.u + s.v * 10) < 0.12) c = scaled(kLeatherDark, 0.8);
  }
  // Iron studs hammered into the head.
  if (s.v > 0.62 && s.v < 0.97) {
    uint32_t cell = 0;
    const double d = cellDistance(p * 0.85, 73, &cell);
    if (d < 0.28)
      c = mix(kIron, {0.9, 0.9, 0.92}, 1 - smoothStep(0.0, 0.2, d));
    else if (d < 0.34)
      c = scaled(c, 0.55);
  }
  if (s.v > 0.97) c = mix(c, {0.62, 0.48, 0.30}, 0.5);  // end grain
  return {c, 0};
}

}  // namespace creature
