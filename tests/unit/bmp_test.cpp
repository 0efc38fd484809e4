// The bitmap reader on files built byte by byte: layouts, pixel formats, the
// messages, and hostile headers.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp.h"
#include "support/test_platform.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<unsigned char>(v));
  b.push_back(static_cast<unsigned char>(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void set32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = static_cast<unsigned char>(v >> (8 * i));
}

struct BmpLayout {
  int32_t width = 1;
  int32_t height = 1;
  unsigned bits = 24;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  bool fileHeader = true;
  bool coreHeader = false;        // the 12-byte header with 3-byte table entries
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  Bytes extraAfterHeader;         // bit-field masks
  Bytes pixels;                   // exactly as stored
};

Bytes buildBmp(const BmpLayout& s) {
  Bytes info;
  if (s.coreHeader) {
    put32(info, 12);
    put16(info, unsigned(s.width));
    put16(info, unsigned(s.height));
    put16(info, 1);
    put16(info, s.bits);
  } else {
    put32(info, 40);
    put32(info, uint32_t(s.width));
    put32(info, uint32_t(s.height));
    put16(info, 1);
    put16(info, s.bits);
    put32(info, s.compression);
    put32(info, uint32_t(s.pixels.size()));
    put32(info, 2835);
    put32(info, 2835);
    put32(info, s.coloursUsed);
    put32(info, 0);
  }
  info.insert(info.end(), s.extraAfterHeader.begin(), s.extraAfterHeader.end());
  for (uint32_t c : s.palette) {
    info.push_back(static_cast<unsigned char>(c));
    info.push_back(static_cast<unsigned char>(c >> 8));
    info.push_back(static_cast<unsigned char>(c >> 16));
    if (!s.coreHeader) info.push_back(0);
  }
  Bytes file;
  if (s.fileHeader) {
    file.push_back('B');
    file.push_back('M');
    put32(file, uint32_t(14 + info.size() + s.pixels.size()));
    put32(file, 0);
    put32(file, uint32_t(14 + info.size()));
  }
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), s.pixels.begin(), s.pixels.end());
  return file;
}

struct Decoded {
  int32_t width = 0;
  int32_t height = 0;
  Bytes rgb;
  bool ok = false;
};

Decoded decode(const Bytes& file) {
  Decoded d;
  const std::unique_ptr<RgbImage> image = decodeBmp(file.data(), file.size(), "test.bmp");
  if (image != nullptr) {
    d.ok = true;
    d.width = image->width;
    d.height = image->height;
    d.rgb = image->data;
  }
  return d;
}

// The one message the last refusal showed, or "" if none.
std::string onlyMessage() {
  if (testPlatform.messages.size() != 1) return testPlatform.messages.empty() ? "" : "<several>";
  EXPECT_EQ(testPlatform.messages[0].caption, "Error");
  EXPECT_EQ(testPlatform.messages[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(testPlatform.messages[0].icon, MessageIcon::None);
  return testPlatform.messages[0].text;
}

std::string refusal(const Bytes& file) {
  testPlatform.clear();
  const Decoded d = decode(file);
  EXPECT_FALSE(d.ok);
  return onlyMessage();
}

// A 4 x 2 8-bit image with a 16-colour table, used by several cases.
BmpLayout pal8Sixteen() {
  BmpLayout s;
  s.width = 4;
  s.height = 2;
  s.bits = 8;
  s.coloursUsed = 16;
  for (uint32_t i = 0; i < 16; ++i) s.palette.push_back(i * 0x00101010u + 0x00030201u);
  s.pixels = {0, 5, 10, 15, 15, 1, 2, 3};
  return s;
}

Bytes expectedPal8Sixteen() {
  const BmpLayout s = pal8Sixteen();
  Bytes rgb;
  for (unsigned char index : s.pixels) {
    const uint32_t c = s.palette[index];
    rgb.push_back(static_cast<unsigned char>(c >> 16));
    rgb.push_back(static_cast<unsigned char>(c >> 8));
    rgb.push_back(static_cast<unsigned char>(c));
  }
  return rgb;
}

}  // namespace

TEST(BmpReader, TwentyFourBitThreeByTwoGivesBottomRowFirstAsRgb) {
  BmpLayout s;
  s.width = 3;
  s.height = 2;
  // Stored bottom row first, B,G,R per pixel, each row padded to 12 bytes.
  s.pixels = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
  const Decoded d = decode(buildBmp(s));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.width, 3);
  EXPECT_EQ(d.height, 2);
  const Bytes expected = {255, 0, 0, 0, 255, 0, 0, 0, 255, 3, 2, 1, 6, 5, 4, 9, 8, 7};
  EXPECT_EQ(d.rgb, expected);
}

TEST(BmpReader, BitFieldMasksAreHonoured) {
  BmpLayout s;
  s.width = 2;
  s.bits = 16;
  s.compression = 3;
  put32(s.extraAfterHeader, 0xF800);  // 5-6-5
  put32(s.extraAfterHeader, 0x07E0);
  put32(s.extraAfterHeader, 0x001F);
  s.pixels = {0xE0, 0x07, 0x1F, 0xF8};  // pure green; red + blue
  Decoded d = decode(buildBmp(s));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.rgb, (Bytes{0, 255, 0, 255, 0, 255}));

  // Without the file header the pixels follow the masks.
  s.fileHeader = false;
  d = decode(buildBmp(s));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.rgb, (Bytes{0, 255, 0, 255, 0, 255}));

  // A mask that is not one run of bits cannot be converted.
  s.fileHeader = true;
  set32(s.extraAfterHeader, 0, 0xA800);
  EXPECT_EQ(refusal(buildBmp(s)), "Image file conversion error.");
}

TEST(BmpReader, HeaderlessFileFindsPixelsAfterItsSixteenColourTable) {
  BmpLayout s = pal8Sixteen();
  s.fileHeader = false;
  const Bytes file = buildBmp(s);
  ASSERT_EQ(file.size(), 40u + 64u + 8u);  // pixels start at 40 + 64
  const Decoded d = decode(file);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.rgb, expectedPal8Sixteen());
}

TEST(BmpReader, CoreHeaderEqualsItsFortyByteTwin) {
  BmpLayout wide = pal8Sixteen();
  wide.coloursUsed = 0;
  wide.palette.resize(256, 0x00ABCDEF);
  wide.pixels = {0, 5, 200, 255, 15, 1, 2, 3};
  BmpLayout core = wide;
  core.coreHeader = true;
  for (bool fileHeader : {true, false}) {
    wide.fileHeader = core.fileHeader = fileHeader;
    const Decoded a = decode(buildBmp(wide));
    const Decoded b = decode(buildBmp(core));
    ASSERT_TRUE(a.ok);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.rgb, b.rgb);
    EXPECT_EQ(a.rgb[6], 0xAB);  // index 200 takes the table's colour
  }
}

TEST(BmpReader, TopDownFilesComeOutBottomUp) {
  BmpLayout s;
  s.width = 1;
  s.height = -2;
  s.pixels = {1, 2, 3, 0, 4, 5, 6, 0};  // stored top row first
  const Decoded d = decode(buildBmp(s));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.height, 2);
  EXPECT_EQ(d.rgb, (Bytes{6, 5, 4, 3, 2, 1}));
}

TEST(BmpReader, RunLengthDataThatOverrunsTheImageIsClipped) {
  BmpLayout s;
  s.width = 2;
  s.height = 2;
  s.bits = 8;
  s.compression = 1;
  s.palette = {0x000000, 0xFFFFFF};
  s.coloursUsed = 2;
  // A 255-pixel run, a delta far outside, and another run there.
  s.pixels = {255, 1, 0, 2, 255, 255, 10, 1, 0, 0, 0, 1};
  const Decoded d = decode(buildBmp(s));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.rgb, (Bytes{255, 255, 255, 255, 255, 255, 0, 0, 0, 0, 0, 0}));
}

TEST(BmpReader, UnknownHeaderSizesAreRefused) {
  // Headerless, first four bytes neither 40 nor 12.
  Bytes file = buildBmp(pal8Sixteen());
  file.erase(file.begin(), file.begin() + 14);
  set32(file, 0, 108);
  EXPECT_EQ(refusal(file), "Unknown DIB file format.");
  // A file header followed by a V4-sized header.
  file = buildBmp(pal8Sixteen());
  set32(file, 14, 124);
  EXPECT_EQ(refusal(file), "Unknown DIB file format.");
  // Headers cut short.
  EXPECT_EQ(refusal(Bytes{'B', 'M', 1, 2, 3}), "Unknown DIB file format.");
  EXPECT_EQ(refusal(Bytes{40, 0, 0, 0, 1, 0}), "Unknown DIB file format.");
  EXPECT_EQ(refusal(Bytes{'B'}), "Unknown DIB file format.");
}

TEST(BmpReader, HostileHeadersAreRefusedWithTheirMessages) {
  BmpLayout s = pal8Sixteen();
  // Colour table longer than the file.
  s.coloursUsed = 0x5634;
  EXPECT_EQ(refusal(buildBmp(s)), "Image file conversion error.");

  // Sizes that no bitmap can have: the product overflows 32 bits.
  s = BmpLayout{};
  s.width = 3000000;
  s.height = 2000000;
  EXPECT_EQ(refusal(buildBmp(s)),
            "Image too large: test.bmp is 3000000 x 2000000 pixels; the game takes at most "
            "4096 a side and 4194304 in all.");
  s.width = -127;
  s.height = 64;
  EXPECT_EQ(refusal(buildBmp(s)), "Out of memory.");
  s.width = 1;
  s.height = 0;
  EXPECT_EQ(refusal(buildBmp(s)), "Out of memory.");
  s.height = INT32_MIN;  // top-down, 2^31 rows
  EXPECT_EQ(refusal(buildBmp(s)).rfind("Image too large: test.bmp is 1 x 2147483648 pixels", 0),
            0u);

  // Formats the converter does not know.
  s = BmpLayout{};
  s.pixels = {0, 0, 0, 0};
  for (unsigned bits : {0u, 2u, 30000u, 64u}) {
    s.bits = bits;
    EXPECT_EQ(refusal(buildBmp(s)), "Image file conversion error.") << bits;
  }
  s.bits = 24;
  s.compression = 1;  // RLE8 on 24 bits
  EXPECT_EQ(refusal(buildBmp(s)), "Image file conversion error.");
  s.compression = 4;  // JPEG
  EXPECT_EQ(refusal(buildBmp(s)), "Image file conversion error.");

  // Pixel data shorter than the image, and an offset past the end.
  s = BmpLayout{};
  s.width = 4;
  s.height = 4;
  s.pixels.assign(47, 0);  // the last row lacks one byte, not just padding
  EXPECT_EQ(refusal(buildBmp(s)), "Image file conversion error.");
  s.pixels.assign(48, 0);  // complete: the last row needs no padding here
  Bytes file = buildBmp(s);
  EXPECT_TRUE(decode(file).ok);
  set32(file, 10, 0xFFFFFFF0u);
  EXPECT_EQ(refusal(file), "Image file conversion error.");

  // Bit-field masks cut off by the end of the file.
  s = BmpLayout{};
  s.bits = 32;
  s.compression = 3;
  s.fileHeader = false;
  EXPECT_EQ(refusal(buildBmp(s)), "Image file conversion error.");

  // Top-down run-length data is not a valid bitmap.
  s = BmpLayout{};
  s.height = -1;
  s.bits = 8;
  s.compression = 1;
  s.pixels = {1, 0, 0, 1};
  EXPECT_EQ(refusal(buildBmp(s)), "Image file conversion error.");
}

TEST(BmpReader, TruncatedRunLengthStreamIsRefused) {
  BmpLayout s;
  s.width = 4;
  s.height = 2;
  s.bits = 8;
  s.compression = 1;
  s.palette = {0, 0xFFFFFF};
  s.coloursUsed = 2;
  for (const Bytes& pixels : {Bytes{4, 1, 0, 0, 4}, Bytes{4, 1, 0, 2, 1}, Bytes{0, 5, 1, 1}}) {
    s.pixels = pixels;
    EXPECT_EQ(refusal(buildBmp(s)), "Image file conversion error.");
  }
  // A stream that fills every row needs no end-of-bitmap code.
  s.pixels = {4, 1, 0, 0, 4, 1, 0, 0};
  EXPECT_TRUE(decode(buildBmp(s)).ok);
}

TEST(BmpReader, PaletteIndexPastTheTableIsBlack) {
  BmpLayout s = pal8Sixteen();
  s.pixels = {16, 255, 15, 0, 0, 0, 0, 0};
  const Decoded d = decode(buildBmp(s));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(Bytes(d.rgb.begin(), d.rgb.begin() + 6), Bytes(6, 0));
}

class BmpFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("shooter-bmp-" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    std::filesystem::create_directories(dir_);
    testPlatform.clear();
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string write(const char* name, const Bytes& bytes) {
    const std::string path = (dir_ / name).string();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f != nullptr) {
      if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return path;
  }
  std::filesystem::path dir_;
};

TEST_F(BmpFiles, MissingFileIsSilentAndEmptyFileNamesItself) {
  EXPECT_FALSE(loadBmp((dir_ / "missing.bmp").string().c_str()));
  EXPECT_FALSE(loadBmp(nullptr));
  EXPECT_TRUE(testPlatform.messages.empty());

  const std::string empty = write("empty.bmp", {});
  EXPECT_FALSE(loadBmp(empty.c_str()));
  EXPECT_EQ(onlyMessage(), "Failed to open DIB file " + empty + ".\n");
}

TEST_F(BmpFiles, LoadsAMappedFile) {
  const std::string path = write("sixteen.bmp", buildBmp(pal8Sixteen()));
  const std::unique_ptr<RgbImage> image = loadBmp(path.c_str());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 4);
  EXPECT_EQ(image->height, 2);
  EXPECT_EQ(image->data, expectedPal8Sixteen());
  EXPECT_TRUE(testPlatform.messages.empty());
}
