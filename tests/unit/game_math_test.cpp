// The game's own trigonometry against true values computed to 300 bits
// (tools/math_tables.py --reference: the game's ranges and the hardest cases
// of the argument reduction), and its answers at the special values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "math/game_math.h"
#include "support/test_paths.h"

namespace {
using gmath::bitsOf;
using gmath::fromBits;

struct Function {
  const char* name;
  double (*f)(double);
};
constexpr Function kFunctions[] = {
    {"sin", gmath::sin}, {"cos", gmath::cos}, {"tan", gmath::tan}, {"atan", gmath::atan}};

// |y - (hi + lo)| in units in the last place of hi.
double ulpError(double y, double hi, double lo) {
  const double a = std::fabs(hi);
  const double ulp = std::nextafter(a, std::numeric_limits<double>::infinity()) - a;
  return std::fabs((y - hi) - lo) / ulp;
}
}  // namespace

TEST(GameMath, WithinOneUlpOfTheTrueValue) {
  const std::string reference =
      std::string(test_paths::kSource) + "/tests/unit/game_math_reference.txt";
  FILE* file = std::fopen(reference.c_str(), "r");
  ASSERT_NE(file, nullptr);
  char name[8];
  char x[20], hi[20], lo[20];
  double worst[4] = {};
  int rows = 0;
  while (std::fscanf(file, "%7s %19s %19s %19s", name, x, hi, lo) == 4) {
    for (int i = 0; i < 4; ++i) {
      if (std::strcmp(name, kFunctions[i].name) != 0) continue;
      const double arg = fromBits(std::strtoull(x, nullptr, 16));
      const double error = ulpError(kFunctions[i].f(arg), fromBits(std::strtoull(hi, nullptr, 16)),
                                    fromBits(std::strtoull(lo, nullptr, 16)));
      EXPECT_LT(error, 1.0) << name << "(" << arg << ")";
      if (error > worst[i]) worst[i] = error;
      ++rows;
    }
  }
  std::fclose(file);
  EXPECT_GT(rows, 700);
  std::printf("largest errors (ulp): sin %.3f, cos %.3f, tan %.3f, atan %.3f\n", worst[0], worst[1],
              worst[2], worst[3]);
}

TEST(GameMath, SpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double halfPi = 1.5707963267948966;
  struct Case {
    int function;  // index into kFunctions
    double x;
    double expected;  // NaN: any NaN
  };
  const Case cases[] = {
      {0, 0.0, 0.0},      {0, -0.0, -0.0}, {0, inf, nan},   {0, -inf, nan},   {0, nan, nan},
      {1, 0.0, 1.0},      {1, -0.0, 1.0},  {1, inf, nan},   {1, nan, nan},    {2, -0.0, -0.0},
      {2, inf, nan},      {3, 0.0, 0.0},   {3, -0.0, -0.0}, {3, inf, halfPi}, {3, -inf, -halfPi},
      {3, 1e300, halfPi}, {3, nan, nan},
  };
  for (const Case& c : cases) {
    const double y = kFunctions[c.function].f(c.x);
    if (std::isnan(c.expected)) {
      EXPECT_TRUE(std::isnan(y)) << kFunctions[c.function].name << "(" << c.x << ")";
    } else {  // bit for bit, so that the sign of a zero counts
      EXPECT_EQ(bitsOf(y), bitsOf(c.expected)) << kFunctions[c.function].name << "(" << c.x << ")";
    }
  }
}
