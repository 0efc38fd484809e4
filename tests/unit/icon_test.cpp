// The generated program icon: the freedesktop theme's PNG at every size and
// the Windows .ico read back as a desktop reads them, each picture with alpha
// and drawn sharp at its own size.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/png.h"
#include "support/test_paths.h"

namespace {
const std::string kGenerated = std::string(test_paths::kBinary) + "/generated";
constexpr int kThemeSizes[] = {SHOOTER_ICON_SIZES};  // the build's list

const uint8_t* pixel(const PngImage& image, int x, int y) {
  return &image.rgba[(size_t(y) * size_t(image.width) + size_t(x)) * 4];
}

// What a desktop needs of each picture: clear corners, an opaque middle,
// smoothed edges, and the crosshair's right arm sharp across its width (a
// picture scaled from another size blends its edges into pink).
void expectIconPicture(const PngImage& image, int size) {
  ASSERT_EQ(image.width, size);
  ASSERT_EQ(image.height, size);
  EXPECT_EQ(pixel(image, 0, 0)[3], 0);
  EXPECT_EQ(pixel(image, size - 1, size - 1)[3], 0);
  EXPECT_EQ(pixel(image, size / 2, size / 2)[3], 255);
  int partial = 0;
  for (size_t i = 3; i < image.rgba.size(); i += 4)
    partial += image.rgba[i] > 0 && image.rgba[i] < 255;
  EXPECT_GT(partial, 0) << "no smoothed edge";
  int white = 0;
  for (int y = 0; y < size; ++y) {
    const uint8_t* p = pixel(image, size * 3 / 4, y);
    if (p[3] < 255) continue;
    if (p[1] > 240) ++white;
    EXPECT_TRUE(p[1] > 240 || p[1] < 100) << "a blurred arm edge at row " << y;
  }
  EXPECT_GE(white, 2) << "the arm is narrower than two pixels";
}

PngImage themeIcon(int size) {
  const std::string name = std::to_string(size) + "x" + std::to_string(size);
  PngImage image;
  std::string error;
  EXPECT_TRUE(readPng(kGenerated + "/hicolor/" + name + "/apps/shooter.png", image, &error))
      << error;
  EXPECT_TRUE(image.hasAlpha);
  return image;
}
}  // namespace

TEST(Icon, ThemeHoldsEverySizeWithAlpha) {
  for (int size : kThemeSizes) {
    SCOPED_TRACE(size);
    expectIconPicture(themeIcon(size), size);
  }
}

TEST(Icon, IcoHoldsTheWindowsSizesAt32BitsThatMatchTheTheme) {
  const std::vector<uint8_t> ico = readFileBytes(kGenerated + "/shooter.ico");
  ASSERT_GE(ico.size(), 6u);
  EXPECT_EQ(u16(ico, 0), 0u);
  EXPECT_EQ(u16(ico, 2), 1u);  // an icon, not a cursor
  const size_t count = u16(ico, 4);
  ASSERT_GE(ico.size(), 6 + 16 * count);
  std::set<int> sizes;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * i;
    const int size = ico[entry] == 0 ? 256 : ico[entry];
    SCOPED_TRACE(size);
    sizes.insert(size);
    EXPECT_EQ(ico[entry + 1], ico[entry]);
    EXPECT_EQ(u16(ico, entry + 6), 32u);
    const size_t bytes = u32(ico, entry + 8), offset = u32(ico, entry + 12);
    ASSERT_LE(offset + bytes, ico.size());
    PngImage image;
    if (bytes > 8 && ico[offset] == 0x89 && ico[offset + 1] == 'P') {
      ASSERT_TRUE(decodePng(&ico[offset], bytes, image));
      EXPECT_TRUE(image.hasAlpha);
    } else {
      // A BMP: its header, then BGRA rows bottom up, then the 1-bit mask.
      ASSERT_EQ(u32(ico, offset), 40u);
      ASSERT_EQ(int(u32(ico, offset + 4)), size);
      ASSERT_EQ(int(u32(ico, offset + 8)), 2 * size);
      ASSERT_EQ(u16(ico, offset + 14), 32u);
      const size_t maskStride = size_t((size + 31) / 32 * 4);
      ASSERT_EQ(bytes, 40 + size_t(size) * size_t(size) * 4 + maskStride * size_t(size));
      image.width = image.height = size;
      image.rgba.resize(size_t(size) * size_t(size) * 4);
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
          const uint8_t* bgra =
              &ico[offset + 40 + (size_t(size - 1 - y) * size_t(size) + size_t(x)) * 4];
          uint8_t* rgba = &image.rgba[(size_t(y) * size_t(size) + size_t(x)) * 4];
          rgba[0] = bgra[2], rgba[1] = bgra[1], rgba[2] = bgra[0], rgba[3] = bgra[3];
        }
    }
    expectIconPicture(image, size);
    EXPECT_EQ(image.rgba, themeIcon(size).rgba) << "not the theme's picture";
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
}
