// The maze's textures: stone walls, flagstone floor (also the ceiling), the
// exit door, and the two additive overlays (crosshair and smoke puff).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "data_files.h"
#include "generators.h"
#include "preview.h"
#include "procedural.h"
#include "typeface.h"

namespace {

constexpr int kTile = 256;  // walls, floor and exit are 256 x 256

// ---------------------------------------------------------------------------
// Stone masonry: rectangular blocks separated by mortar, in a tile that wraps
// on both axes. A block may run past the right or bottom edge; it continues
// at the opposite edge.

struct Block {
  double x0, y0, x1, y1;
};

struct StoneStyle {
  Colour stoneCool;  // the two ends of the block colour range
  Colour stoneWarm;
  double warmth;  // how far towards stoneWarm blocks may go
  double toneLo, toneHi;
  Colour mortar;
  double mortarHalf;  // half the joint width, pixels
  double bevel;       // width of a block's rounded edge, pixels
  double corner;      // corner radius, pixels
  double jitter;      // how ragged the block outlines are, pixels
  double rough;       // surface relief inside a block
  double relief;      // slope scale of the shading
  double cracks;      // 0 for none
  double stains;      // strength of the darker, damp patches
  Colour stainTint;   // what a stain multiplies the stone by
  uint32_t seed;
};

struct StoneLayers {
  Field height;
  Field occlusion;
  ColourCanvas albedo;
  StoneLayers() : height(kTile, kTile), occlusion(kTile, kTile, 1.0), albedo(kTile, kTile) {}
};

// Which block holds the pixel centre (px, py), and how far inside it lies
// (rounded-rectangle distance). Returns the block index or -1.
int findBlock(const std::vector<Block>& blocks, double px, double py, double corner,
              double* depth) {
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Block& b = blocks[i];
    for (double ox : {0.0, double(kTile)}) {
      for (double oy : {0.0, double(kTile)}) {
        const double x = px + ox, y = py + oy;
        if (x < b.x0 || x >= b.x1 || y < b.y0 || y >= b.y1) continue;
        const double dx = std::min(x - b.x0, b.x1 - x), dy = std::min(y - b.y0, b.y1 - y);
        const double qx = corner - dx, qy = corner - dy;
        *depth = (qx > 0 && qy > 0) ? corner - std::sqrt(qx * qx + qy * qy) : std::min(dx, dy);
        return int(i);
      }
    }
  }
  *depth = 0.0;
  return -1;
}

StoneLayers buildStone(const std::vector<Block>& blocks, const StoneStyle& s) {
  StoneLayers out;
  // Per-block colour and relief offsets, drawn once so they do not depend on
  // the order in which pixels are visited.
  std::vector<Colour> blockColour(blocks.size());
  std::vector<double> blockLift(blocks.size());
  Lcg rng(s.seed);
  for (size_t i = 0; i < blocks.size(); ++i) {
    const double tone = rng.range(s.toneLo, s.toneHi);
    const double warm = rng.unit() * s.warmth;
    blockColour[i] = scaleColour(mixColour(s.stoneCool, s.stoneWarm, warm), tone);
    blockLift[i] = rng.range(-0.08, 0.08);
  }
  for (int y = 0; y < kTile; ++y) {
    for (int x = 0; x < kTile; ++x) {
      const double u = (x + 0.5) / kTile, v = (y + 0.5) / kTile;
      double depth = 0.0;
      const int id = findBlock(blocks, x + 0.5, y + 0.5, s.corner, &depth);
      // Ragged, chipped outlines.
      depth += (periodicFbm(u, v, 16, 3, 0.55, s.seed + 11) - 0.5) * s.jitter;
      const double stoneMask =
          id < 0 ? 0.0 : smoothstep(s.mortarHalf - 0.6, s.mortarHalf + 0.6, depth);
      const double edge = smoothstep(s.mortarHalf, s.mortarHalf + s.bevel, depth);

      const double roughness = periodicFbm(u, v, 32, 4, 0.55, s.seed + 23) - 0.5;
      const double fine = periodicNoise(u, v, 128, s.seed + 29) - 0.5;
      const double pit = std::max(0.0, periodicNoise(u, v, 64, s.seed + 31) - 0.78) * 2.5;
      double stoneHeight = 0.45 + 0.55 * edge + (id < 0 ? 0.0 : blockLift[size_t(id)]) +
                           s.rough * edge * (roughness + 0.25 * fine) - 0.35 * pit * edge;
      const double mortarHeight = 0.12 + 0.08 * fine + 0.05 * roughness;

      Colour stone = id < 0 ? s.mortar : blockColour[size_t(id)];
      const double mottle = periodicFbm(u, v, 8, 4, 0.5, s.seed + 37);
      stone = scaleColour(stone, 0.72 + 0.56 * mottle + 0.12 * fine);
      // Stains: broad darker, slightly green patches.
      const double stain = smoothstep(0.56, 0.72, periodicFbm(u, v, 4, 3, 0.5, s.seed + 41));
      stone = mixColour(
          stone, Colour{stone.r * s.stainTint.r, stone.g * s.stainTint.g, stone.b * s.stainTint.b},
          stain * s.stains);
      // Grain: dark and light specks.
      const double speck = periodicNoise(u, v, 128, s.seed + 43);
      if (speck > 0.86) stone = scaleColour(stone, 1.0 - (speck - 0.86) * 2.2);
      if (speck < 0.08) stone = scaleColour(stone, 1.0 + (0.08 - speck) * 2.0);

      if (s.cracks > 0.0) {
        const double vein = std::fabs(periodicFbm(u, v, 6, 4, 0.5, s.seed + 47) - 0.5);
        const double where = smoothstep(0.55, 0.7, periodicNoise(u, v, 3, s.seed + 53));
        const double crack = (1.0 - smoothstep(0.004, 0.012, vein)) * where * s.cracks * edge;
        stoneHeight -= 0.3 * crack;
        stone = scaleColour(stone, 1.0 - 0.55 * crack);
      }

      Colour mortar = scaleColour(s.mortar, 0.8 + 0.4 * periodicFbm(u, v, 64, 2, 0.5, s.seed + 59));
      out.albedo.at(x, y) = mixColour(mortar, stone, stoneMask);
      out.height.at(x, y) = mix(mortarHeight, stoneHeight, stoneMask);
      // Dirt and shadow gather in the joints and along block edges.
      const double cavity = smoothstep(s.mortarHalf, s.mortarHalf + 2.5 * s.bevel, depth);
      out.occlusion.at(x, y) = mix(0.55, 0.78 + 0.22 * cavity, stoneMask);
    }
  }
  return out;
}

ColourCanvas litStone(const StoneLayers& layers, double relief) {
  const Field light = shadeHeights(layers.height, relief);
  ColourCanvas out(kTile, kTile);
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x)
      out.at(x, y) = scaleColour(layers.albedo.at(x, y),
                                 (0.42 + 0.58 * light.at(x, y)) * layers.occlusion.at(x, y));
  return out;
}

// Four courses of dressed stone, the joints of neighbouring courses apart
// (also across the wrap from the last course to the first).
std::vector<Block> wallBlocks() {
  struct Course {
    double top, bottom;
    double starts[3];
  };
  const Course courses[4] = {{0, 62, {0, 100, 172}},
                             {62, 130, {44, 128, 216}},
                             {130, 192, {12, 84, 170}},
                             {192, 256, {52, 134, 206}}};
  std::vector<Block> blocks;
  for (const Course& c : courses) {
    for (int i = 0; i < 3; ++i) {
      const double x1 = i < 2 ? c.starts[i + 1] : c.starts[0] + kTile;
      blocks.push_back({c.starts[i], c.top, x1, c.bottom});
    }
  }
  return blocks;
}

StoneStyle wallStyle() {
  StoneStyle s;
  s.stoneCool = {0.57, 0.56, 0.53};
  s.stoneWarm = {0.64, 0.56, 0.45};
  s.warmth = 0.65;
  s.toneLo = 0.86;
  s.toneHi = 1.10;
  s.mortar = {0.30, 0.28, 0.25};
  s.mortarHalf = 2.6;
  s.bevel = 7.0;
  s.corner = 6.0;
  s.jitter = 5.0;
  s.rough = 0.45;
  s.relief = 11.0;
  s.cracks = 0.0;
  s.stains = 0.8;
  s.stainTint = {0.66, 0.70, 0.62};
  s.seed = 1001;
  return s;
}

Picture makeWalls() {
  return litStone(buildStone(wallBlocks(), wallStyle()), wallStyle().relief).toPicture();
}

// Flagstones of several sizes on a 32-pixel grid, none crossing the tile edge.
std::vector<Block> floorBlocks() {
  const int layout[8][4] = {{0, 0, 4, 4}, {4, 0, 4, 2}, {4, 2, 2, 2}, {6, 2, 2, 4},
                            {0, 4, 2, 4}, {2, 4, 4, 2}, {2, 6, 3, 2}, {5, 6, 3, 2}};
  std::vector<Block> blocks;
  for (const auto& r : layout)
    blocks.push_back({r[0] * 32.0, r[1] * 32.0, (r[0] + r[2]) * 32.0, (r[1] + r[3]) * 32.0});
  return blocks;
}

StoneStyle floorStyle() {
  StoneStyle s;
  s.stoneCool = {0.33, 0.33, 0.34};
  s.stoneWarm = {0.38, 0.34, 0.29};
  s.warmth = 0.9;
  s.toneLo = 0.74;
  s.toneHi = 1.0;
  s.mortar = {0.14, 0.13, 0.12};
  s.mortarHalf = 2.2;
  s.bevel = 4.0;
  s.corner = 3.0;
  s.jitter = 3.0;
  s.rough = 0.22;  // worn smooth
  s.relief = 9.0;
  s.cracks = 0.8;
  s.stains = 0.6;
  s.stainTint = {0.70, 0.68, 0.64};
  s.seed = 2002;
  return s;
}

Picture makeFloor() {
  return litStone(buildStone(floorBlocks(), floorStyle()), floorStyle().relief).toPicture();
}

// ---------------------------------------------------------------------------
// The exit: a steel door in a stone surround, lit by a green EXIT sign and
// green light strips in the frame, with daylight behind its wire-glass panes.

struct Box {
  double x0, y0, x1, y1;
  bool contains(double x, double y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
  // Distance from the nearest edge, positive inside.
  double inside(double x, double y) const {
    return std::min(std::min(x - x0, x1 - x), std::min(y - y0, y1 - y));
  }
};

// Separable box blur, clamped at the borders (the door is not tiled).
Field blur(const Field& in, int radius, int passes) {
  Field a = in, b(in.width, in.height);
  for (int p = 0; p < passes; ++p) {
    for (int pass = 0; pass < 2; ++pass) {
      for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
          double sum = 0.0;
          for (int k = -radius; k <= radius; ++k) {
            const int sx = pass == 0 ? std::clamp(x + k, 0, a.width - 1) : x;
            const int sy = pass == 1 ? std::clamp(y + k, 0, a.height - 1) : y;
            sum += a.at(sx, sy);
          }
          b.at(x, y) = sum / (2 * radius + 1);
        }
      }
      std::swap(a, b);
    }
  }
  return a;
}

// The door's layout in texels (x right, y down from the top of the wall),
// its colours, and the lettering of the sign above it.
struct ExitDoor {
  Box frame{32, 66, 224, 256};
  Box opening{44, 78, 212, 256};
  Box leaves[2] = {{44, 78, 128, 256}, {128, 78, 212, 256}};
  Box housing{68, 10, 188, 58};
  Box panel{73, 15, 183, 53};
  Colour steel{0.34, 0.36, 0.37};
  Colour paint{0.20, 0.29, 0.26};
  Colour green{0.10, 0.95, 0.38};
  Field word{0, 0};
  int wordX = 0, wordY = 0;
};

// "EXIT" in bold, centred on the sign's panel; false if it does not fit.
bool letterTheSign(ExitDoor* door) {
  TypeFace bold("DejaVuSans-Bold.ttf");
  door->word = renderTextLine(bold, "EXIT", 34, 34, 0);
  const Box& panel = door->panel;
  const Field& word = door->word;
  if (word.width == 0 || word.width > panel.x1 - panel.x0 - 8) {
    std::fprintf(stderr, "datagen: the exit sign's lettering does not fit\n");
    return false;
  }
  door->wordX = int(panel.x0 + (panel.x1 - panel.x0 - word.width) / 2);
  door->wordY = int(panel.y0 + (panel.y1 - panel.y0 - word.height) / 2);
  return true;
}

// Each texel step below paints the layers at texel (x, y), whose centre is
// (px, py), with the brushed grain there, and returns the light the texel
// gives off.

// Steel frame with a recessed green light strip along its middle.
Colour paintFrame(const ExitDoor& door, StoneLayers& layers, int x, int y, double px, double py,
                  double grain) {
  const Box& frame = door.frame;
  const Box& opening = door.opening;
  Colour emit;
  const double d = frame.inside(px, py);
  const double toOpening = std::max(opening.x0 - px, std::max(px - opening.x1, opening.y0 - py));
  layers.height.at(x, y) = 1.0 + 0.3 * smoothstep(0, 3, d) * smoothstep(0, 3, toOpening);
  layers.albedo.at(x, y) = scaleColour(door.steel, 0.9 + 0.3 * grain);
  layers.occlusion.at(x, y) = 1.0;
  const double mid = std::fabs(std::min(d, toOpening) - 6.0);
  if (mid < 1.6) {
    layers.height.at(x, y) = 0.9;
    emit = scaleColour(door.green, 1.0 - 0.3 * smoothstep(0.8, 1.6, mid));
  }
  return emit;
}

// A painted door leaf: wired-glass window, recessed panel, kick plate, push bar.
Colour paintLeaf(const ExitDoor& door, StoneLayers& layers, int x, int y, double px, double py,
                 double grain) {
  Colour emit;
  const Box& leaf = px < 128 ? door.leaves[0] : door.leaves[1];
  const double d = leaf.inside(px, py);
  const Box window{leaf.x0 + 14, 92, leaf.x1 - 14, 142};
  const Box recess{leaf.x0 + 12, 186, leaf.x1 - 12, 234};
  const Box kick{leaf.x0 + 2, 238, leaf.x1 - 2, 256};
  double h = 0.55 + 0.1 * smoothstep(0, 2.5, d);
  Colour c = scaleColour(door.paint, 0.92 + 0.25 * grain);
  if (window.contains(px, py)) {
    const double wd = window.inside(px, py);
    if (wd < 3) {
      h = 0.7;  // rubber seal and bead
      c = Colour{0.10, 0.11, 0.11};
    } else {
      // Daylight through wired glass.
      h = 0.45;
      const double mesh = std::min(std::fabs(std::fmod(px + py, 12.0) - 6.0),
                                   std::fabs(std::fmod(px - py + 240.0, 12.0) - 6.0));
      const double wire = 1.0 - smoothstep(0.3, 1.1, mesh);
      const double sky = 0.85 + 0.15 * (1.0 - (py - window.y0) / (window.y1 - window.y0));
      c = Colour{0.05, 0.07, 0.06};
      emit = scaleColour(mixColour(Colour{0.72, 1.0, 0.82}, Colour{0.25, 0.38, 0.30}, wire), sky);
    }
  } else if (recess.contains(px, py)) {
    h = 0.45 + 0.1 * smoothstep(0, 3, recess.inside(px, py));
  } else if (kick.contains(px, py)) {
    h = 0.68;
    c = scaleColour(Colour{0.52, 0.53, 0.52}, 0.85 + 0.4 * grain);
  }
  // Push bar across both leaves.
  if (py >= 160 && py < 170 && px >= leaf.x0 + 6 && px < leaf.x1 - 6) {
    const double across = (py - 165.0) / 5.0;
    h = 0.8 + 0.2 * std::sqrt(std::max(0.0, 1.0 - across * across));
    c = Colour{0.66, 0.67, 0.65};
  }
  // The seam between the leaves and the frame reads as a dark line.
  const double seam = smoothstep(0.0, 1.5, d);
  layers.height.at(x, y) = h * (0.8 + 0.2 * seam);
  layers.albedo.at(x, y) = scaleColour(c, 0.4 + 0.6 * seam);
  layers.occlusion.at(x, y) = 0.85 + 0.15 * seam;
  return emit;
}

// The sign's housing, and its lit panel, a little brighter in the middle,
// with white lettering.
Colour paintSign(const ExitDoor& door, StoneLayers& layers, int x, int y, double px, double py) {
  Colour emit;
  const Box& housing = door.housing;
  const Box& panel = door.panel;
  const double d = housing.inside(px, py);
  layers.height.at(x, y) = 1.0 + 0.4 * smoothstep(0, 3, d);
  layers.albedo.at(x, y) = Colour{0.16, 0.17, 0.17};
  layers.occlusion.at(x, y) = 1.0;
  if (panel.contains(px, py)) {
    const double cx = (px - (panel.x0 + panel.x1) / 2) / ((panel.x1 - panel.x0) / 2);
    const double cy = (py - (panel.y0 + panel.y1) / 2) / ((panel.y1 - panel.y0) / 2);
    emit = scaleColour(door.green, 0.88 + 0.12 * (1.0 - 0.5 * (cx * cx + cy * cy)));
    const int wx = x - door.wordX, wy = y - door.wordY;
    if (wx >= 0 && wy >= 0 && wx < door.word.width && wy < door.word.height)
      emit = mixColour(emit, Colour{0.93, 1.0, 0.95}, door.word.at(wx, wy));
  }
  return emit;
}

// The stone surround: a shadow below the sign and beside the frame.
void shadeSurround(const ExitDoor& door, StoneLayers& layers, int x, int y, double px, double py) {
  const Box& housing = door.housing;
  const Box& frame = door.frame;
  const double shadow = std::max(
      smoothstep(5, 0, std::max(std::fabs(px - 128) - (housing.x1 - 128), py - housing.y1)) *
          (py > housing.y1 ? 1.0 : 0.0),
      smoothstep(5, 0, std::max(px - frame.x1, frame.y0 - py)) * (px > frame.x1 ? 1.0 : 0.0));
  layers.occlusion.at(x, y) *= 1.0 - 0.45 * shadow;
}

// Surfaces, then the green light thrown on them, then the light sources.
ColourCanvas lightTheDoor(const StoneLayers& layers, const ColourCanvas& glow, double relief) {
  const Field light = shadeHeights(layers.height, relief);
  Field spillR(kTile, kTile), spillG(kTile, kTile), spillB(kTile, kTile);
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      spillR.at(x, y) = glow.at(x, y).r;
      spillG.at(x, y) = glow.at(x, y).g;
      spillB.at(x, y) = glow.at(x, y).b;
    }
  spillR = blur(spillR, 9, 3);
  spillG = blur(spillG, 9, 3);
  spillB = blur(spillB, 9, 3);
  ColourCanvas out(kTile, kTile);
  for (int y = 0; y < kTile; ++y) {
    for (int x = 0; x < kTile; ++x) {
      const Colour& a = layers.albedo.at(x, y);
      const double lit = (0.42 + 0.58 * light.at(x, y)) * layers.occlusion.at(x, y);
      const Colour spill{spillR.at(x, y), spillG.at(x, y), spillB.at(x, y)};
      const Colour& e = glow.at(x, y);
      out.at(x, y) = Colour{a.r * (lit + 2.2 * spill.r) + e.r + 0.35 * spill.r,
                            a.g * (lit + 2.2 * spill.g) + e.g + 0.35 * spill.g,
                            a.b * (lit + 2.2 * spill.b) + e.b + 0.35 * spill.b};
    }
  }
  return out;
}

bool makeExit(Picture* result) {
  StoneStyle style = wallStyle();
  style.seed = 3003;
  StoneLayers layers = buildStone(wallBlocks(), style);
  ColourCanvas glow(kTile, kTile);  // light the door gives off
  ExitDoor door;
  if (!letterTheSign(&door)) return false;

  for (int y = 0; y < kTile; ++y) {
    for (int x = 0; x < kTile; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double u = px / kTile, v = py / kTile;
      const double grain = periodicFbm(u, v * 0.25, 64, 3, 0.5, 77) - 0.5;  // brushed, vertical
      Colour emit;
      if (door.frame.contains(px, py) && !door.opening.contains(px, py)) {
        emit = paintFrame(door, layers, x, y, px, py, grain);
      } else if (door.opening.contains(px, py)) {
        emit = paintLeaf(door, layers, x, y, px, py, grain);
      } else if (door.housing.contains(px, py)) {
        emit = paintSign(door, layers, x, y, px, py);
      } else {
        shadeSurround(door, layers, x, y, px, py);
      }
      glow.at(x, y) = emit;
    }
  }
  *result = lightTheDoor(layers, glow, style.relief).toPicture();
  return true;
}

// ---------------------------------------------------------------------------
// Additive overlays: light on black, no alpha.

// Area coverage of a shape given by its signed distance (negative inside).
double coverage(double signedDistance) { return clamp01(0.5 - signedDistance); }

// A ring crossed by four ticks, open in the middle.
Picture makeCrosshair() {
  constexpr int size = 64;
  const double c = size / 2.0;
  const double ringRadius = 18.5, line = 2.8, tickIn = 8.0, tickOut = 27.0;
  Picture p(size, size, Rgba{0, 0, 0, 255});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // 4 x 4 samples per pixel for clean edges at this small size.
      double sum = 0.0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          const double dx = x + (sx + 0.5) / 4 - c, dy = y + (sy + 0.5) / 4 - c;
          const double r = std::sqrt(dx * dx + dy * dy);
          double v = coverage((std::fabs(r - ringRadius) - line / 2) * 4);
          const double along = std::max(std::fabs(dx), std::fabs(dy));
          const double across = std::min(std::fabs(dx), std::fabs(dy));
          const double tick =
              std::max(across - line / 2, std::max(tickIn - along, along - tickOut));
          v = std::max(v, coverage(tick * 4));
          sum += v;
        }
      }
      const double dx = x + 0.5 - c, dy = y + 0.5 - c;
      const double r = std::sqrt(dx * dx + dy * dy);
      // A faint halo round the ring keeps it visible on bright walls.
      const double halo = 0.10 * std::exp(-std::pow((r - ringRadius) / 3.5, 2));
      const double value = clamp01(sum / 16 + halo);
      const uint8_t g = uint8_t(std::lround(value * 255));
      const uint8_t rb = uint8_t(std::lround(value * 235));
      p.at(x, y) = Rgba{rb, g, rb, 255};
    }
  }
  return p;
}

// A soft, lumpy grey puff that fades to black well inside the square.
Picture makeSmoke() {
  constexpr int size = 128;
  const double c = size / 2.0, radius = 58.0;
  Picture p(size, size, Rgba{0, 0, 0, 255});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double dx = x + 0.5 - c, dy = y + 0.5 - c;
      const double u = (x + 0.5) / size, v = (y + 0.5) / size;
      const double billow = periodicFbm(u, v, 4, 5, 0.55, 4242);
      const double lumpy =
          std::sqrt(dx * dx + dy * dy) / radius * (0.85 + 0.35 * (billow - 0.5) * 2.0);
      const double body = std::pow(clamp01(1.0 - lumpy), 1.6);
      const double detail = 0.7 + 0.6 * periodicFbm(u, v, 8, 4, 0.5, 4343);
      const double edge = smoothstep(c - 1.0, c - 8.0, std::sqrt(dx * dx + dy * dy));
      const double value = clamp01(body * detail * edge * 1.15);
      const uint8_t g = uint8_t(std::lround(value * 245));
      p.at(x, y) = Rgba{g, g, g, 255};
    }
  }
  return p;
}

// The floor and walls side by side, two tiles each way, to check the seams.
Picture tiled(const Picture& tile, int across, int down) {
  Picture out(tile.width * across, tile.height * down);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) out.at(x, y) = tile.at(x % tile.width, y % tile.height);
  return out;
}

}  // namespace

bool writeTextures(const std::string& outDir, ContactSheet* sheet) {
  const Picture walls = makeWalls();
  const Picture floor = makeFloor();
  Picture exit;
  if (!makeExit(&exit)) return false;
  const Picture crosshair = makeCrosshair();
  const Picture smoke = makeSmoke();

  bool ok = writeFile(outDir + "/" + kWallsFile, encodeBmp24(walls));
  ok = writeFile(outDir + "/" + kFloorFile, encodeBmp24(floor)) && ok;
  ok = writeFile(outDir + "/" + kExitFile, encodeBmp24(exit)) && ok;
  ok = writeFile(outDir + "/" + kCrosshairFile, encodeBmp24(crosshair)) && ok;
  ok = writeFile(outDir + "/" + kSmokeFile, encodeBmp24(smoke)) && ok;
  if (sheet != nullptr) {
    sheet->add("walls.bmp x2x2", tiled(walls, 2, 2));
    sheet->add("floor.bmp x2x2", tiled(floor, 2, 2));
    sheet->add("exit.bmp x2", exit, 2);
    sheet->add("crosshair.bmp x4", crosshair, 4);
    sheet->add("smoke.bmp x2", smoke, 2);
    sheet->add("in the game: the exit", previewExitView(walls, floor, exit, crosshair));
    sheet->add("in the game: a long corridor", previewLongCorridor(walls, floor, exit, crosshair));
  }
  return ok;
}
