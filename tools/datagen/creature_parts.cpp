// The creature's part table: each part's rings, skin region, paint and shape,
// and the check that the regions fit the skin.
#include <algorithm>
#include <cstdio>

#include "creature_parts.h"

namespace creature {

const Vec3 kHeadCentre = {2.2, 20.8, 0.0};
const Vec3 kHeadRadii = {6.0, 7.4, 5.7};
const Vec3 kEyeCentre = {7.3, 22.2, 2.4};
const double kEyeRadius = 1.35;

namespace {

// Rings of an ellipsoid around `axis` (a unit vector): `along` is the half
// length on the axis, r1 and r2 the half-widths across it.
std::vector<Ring> ellipsoid(Vec3 centre, Vec3 axis, double along, double r1, double r2, int rings) {
  std::vector<Ring> out;
  for (int k = 0; k < rings; ++k) {
    const double phi = kPi * k / (rings - 1);
    const double across = (k == 0 || k == rings - 1) ? 0.0 : std::sin(phi);
    out.push_back({centre + axis * (-along * std::cos(phi)), r1 * across, r2 * across});
  }
  return out;
}

// A heavy jaw, a brow ridge over the eyes and a forehead that slopes back.
Vec3 shapeHead(Vec3 p, double, double) {
  const Vec3 d = p - kHeadCentre;
  const double ex = d.x / kHeadRadii.x, ey = d.y / kHeadRadii.y;
  const double front = std::max(0.0, ex);
  const double low = std::clamp(-ey * 1.7, 0.0, 1.0);
  p.x += 1.7 * std::pow(front, 1.5) * low;
  p.z *= 1.0 + 0.16 * low;
  p.x += 0.9 * front * front * std::exp(-std::pow((ey - 0.26) / 0.14, 2.0));
  if (ey > 0.45) p.x -= 1.2 * front * (ey - 0.45);
  p.y -= 0.6 * std::max(0.0, -ex) * std::max(0.0, ey);  // flatter back of the skull
  return p;
}

// Flat soles.
Vec3 shapeFoot(Vec3 p, double, double) {
  p.y = std::max(p.y, kFloor);
  return p;
}

bool regionsApart(const Region& a, const Region& b) {
  const int g = 2 * kGutter;
  return a.x + a.w + g <= b.x || b.x + b.w + g <= a.x || a.y + a.h + g <= b.y ||
         b.y + b.h + g <= a.y;
}

}  // namespace

std::vector<BodyPart> bodyParts() {
  std::vector<BodyPart> parts;
  const Vec3 up = {0, 1, 0}, back = {-1, 0, 0}, forward = {1, 0, 0}, right = {0, 0, 1};
  const Sides kRight = Sides::kRight, kLeft = Sides::kLeft, kBoth = Sides::kBoth;

  parts.push_back({"head",
                   ellipsoid(kHeadCentre, up, kHeadRadii.y, kHeadRadii.x, kHeadRadii.z, 8),
                   back,
                   10,
                   {4, 4, 120, 84},
                   paintHead,
                   shapeHead,
                   kRight,
                   // Most texels for the face; the back of the skull gets fewer.
                   {0.6, 0.6, 1.2, 2.0, 2.0, 2.0, 2.0, 1.2, 0.6, 0.6},
                   {0.5, 1.2, 1.5, 1.5, 1.2, 0.8, 0.5}});

  // Hunched, with a pot belly.
  parts.push_back({"torso",
                   {{{0.5, -11.0, 0}, 0, 0},
                    {{0.5, -9.8, 0}, 4.9, 6.6},
                    {{0.9, -6.0, 0}, 5.3, 6.2},
                    {{1.7, -1.5, 0}, 6.0, 6.3},
                    {{0.9, 4.5, 0}, 4.8, 6.4},
                    {{0.6, 9.3, 0}, 4.0, 6.6},
                    {{1.4, 12.0, 0}, 3.0, 4.2},
                    {{2.3, 13.8, 0}, 2.4, 2.5},
                    {{2.8, 15.6, 0}, 0, 0}},
                   back,
                   10,
                   {132, 4, 120, 100},
                   paintTorso,
                   nullptr,
                   kRight});

  parts.push_back({"eye",
                   ellipsoid(kEyeCentre, forward, kEyeRadius, kEyeRadius * 0.85, kEyeRadius, 4),
                   up,
                   6,
                   {200, 160, 36, 36},
                   paintEye,
                   nullptr,
                   kBoth});

  // A long, drooping nose.
  parts.push_back({"nose",
                   {{{6.6, 20.6, 0}, 0, 0},
                    {{8.0, 20.0, 0}, 2.0, 1.8},
                    {{10.3, 19.0, 0}, 1.3, 1.2},
                    {{11.8, 17.9, 0}, 0.9, 0.85},
                    {{12.4, 17.2, 0}, 0, 0}},
                   up,
                   4,
                   {186, 112, 40, 40},
                   paintNose,
                   nullptr,
                   kRight});

  parts.push_back({"ear",
                   {{{1.8, 21.6, 4.0}, 0, 0},
                    {{1.3, 22.2, 5.4}, 3.0, 0.9},
                    {{0.3, 23.4, 8.0}, 2.5, 0.6},
                    {{-0.4, 24.5, 9.8}, 1.4, 0.45},
                    {{-1.0, 25.4, 11.2}, 0, 0}},
                   up,
                   4,
                   {140, 112, 40, 40},
                   paintEar,
                   nullptr,
                   kBoth});

  // The left arm hangs; the right one is raised with the club.
  const Region armRegion = {4, 112, 60, 72}, handRegion = {4, 192, 40, 32};
  parts.push_back({"arm",
                   {{{0.6, 11.2, 6.4}, 0, 0},
                    {{0.6, 9.0, 7.3}, 2.4, 2.4},
                    {{-0.4, 0.2, 9.2}, 1.7, 1.8},
                    {{0.8, -3.6, 9.6}, 2.0, 2.0},
                    {{2.4, -8.0, 9.7}, 1.3, 1.4},
                    {{2.8, -9.2, 9.7}, 0, 0}},
                   forward,
                   5,
                   armRegion,
                   paintArm,
                   nullptr,
                   kLeft});
  parts.push_back({"hand",
                   {{{2.6, -8.0, 9.8}, 0, 0},
                    {{2.9, -9.0, 9.8}, 1.7, 1.3},
                    {{3.4, -10.8, 9.8}, 2.1, 1.25},
                    {{3.6, -12.4, 9.8}, 1.6, 0.95},
                    {{3.5, -13.6, 9.8}, 0, 0}},
                   forward,
                   4,
                   handRegion,
                   paintHand,
                   nullptr,
                   kLeft});
  parts.push_back({"raised arm",
                   {{{0.6, 11.2, 6.4}, 0, 0},
                    {{0.6, 9.0, 7.3}, 2.4, 2.4},
                    {{1.0, 5.2, 8.8}, 2.0, 2.0},
                    {{1.8, 2.2, 9.8}, 1.75, 1.75},
                    {{4.0, 3.4, 10.0}, 2.0, 2.0},
                    {{6.3, 5.0, 9.8}, 1.3, 1.4},
                    {{6.9, 5.5, 9.7}, 0, 0}},
                   up,
                   5,
                   armRegion,
                   nullptr,
                   nullptr,
                   kRight});
  parts.push_back({"fist",
                   {{{6.3, 4.8, 9.8}, 0, 0},
                    {{7.0, 5.5, 9.8}, 1.7, 1.4},
                    {{8.0, 6.4, 9.8}, 1.9, 1.5},
                    {{8.8, 7.0, 9.8}, 1.3, 1.1},
                    {{9.2, 7.3, 9.8}, 0, 0}},
                   up,
                   4,
                   handRegion,
                   nullptr,
                   nullptr,
                   kRight});

  parts.push_back({"leg",
                   {{{0.7, -5.0, 3.5}, 0, 0},
                    {{0.8, -7.5, 3.6}, 3.0, 2.9},
                    {{2.4, -15.0, 4.9}, 2.1, 2.1},
                    {{1.3, -18.2, 4.9}, 2.2, 2.1},
                    {{0.7, -22.3, 4.6}, 1.4, 1.4},
                    {{0.6, -23.7, 4.6}, 0, 0}},
                   forward,
                   5,
                   {72, 112, 60, 72},
                   paintLeg,
                   nullptr,
                   kBoth});

  parts.push_back({"foot",
                   {{{-2.2, -23.4, 4.8}, 0, 0},
                    {{-1.3, -23.6, 4.8}, 1.6, 1.6},
                    {{2.2, -24.0, 5.0}, 1.3, 2.1},
                    {{5.4, -24.3, 5.3}, 0.9, 2.3},
                    {{7.2, -24.6, 5.4}, 0, 0}},
                   up,
                   5,
                   {52, 192, 50, 40},
                   paintFoot,
                   shapeFoot,
                   kBoth});

  // The club, upright in the raised fist.
  const Vec3 butt = {8.3, 3.3, 9.8}, tip = {6.0, 28.0, 9.8};
  const Vec3 along = tip - butt;
  parts.push_back({"club",
                   {{butt, 0, 0},
                    {butt + along * 0.03, 0.75, 0.75},
                    {butt + along * 0.45, 0.95, 0.95},
                    {butt + along * 0.72, 2.0, 2.0},
                    {butt + along * 0.93, 2.3, 2.3},
                    {tip, 0, 0}},
                   right,
                   5,
                   {140, 160, 50, 72},
                   paintClub,
                   nullptr,
                   kRight});
  return parts;
}

bool partsFitTheSkin(const std::vector<BodyPart>& parts) {
  for (size_t a = 0; a < parts.size(); ++a) {
    const Region& r = parts[a].region;
    const BodyPart& p = parts[a];
    if (r.x < 0 || r.y < 0 || r.x + r.w > kSkinWidth || r.y + r.h > kSkinHeight ||
        r.w < 4 * p.segments || r.h < 4 * int(p.rings.size()) ||
        (!p.segmentShare.empty() && p.segmentShare.size() != size_t(p.segments)) ||
        (!p.ringShare.empty() && p.ringShare.size() + 1 != p.rings.size())) {
      std::fprintf(stderr, "datagen: creature part %s has a bad skin region\n", parts[a].name);
      return false;
    }
    if (!parts[a].paint) {
      // It borrows the region of a painted part.
      bool painted = false;
      for (const BodyPart& other : parts) {
        const Region& o = other.region;
        painted = painted || (other.paint && o.x == r.x && o.y == r.y && o.w == r.w && o.h == r.h);
      }
      if (!painted) {
        std::fprintf(stderr, "datagen: creature part %s has an unpainted region\n", parts[a].name);
        return false;
      }
      continue;
    }
    for (size_t b = 0; b < a; ++b) {
      if (parts[b].paint && !regionsApart(r, parts[b].region)) {
        std::fprintf(stderr, "datagen: creature parts %s and %s overlap in the skin\n",
                     parts[a].name, parts[b].name);
        return false;
      }
    }
  }
  return true;
}

}  // namespace creature
