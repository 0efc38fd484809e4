// The Targa reader's file half: which headers it takes, the byte swap, and
// the outside conformance files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "image/tga.h"
#include "support/png.h"
#include "support/test_paths.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes tgaFile(unsigned width, unsigned height, unsigned bits, const Bytes& pixels,
              unsigned char descriptor = 0) {
  Bytes file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  file.push_back(static_cast<unsigned char>(width));
  file.push_back(static_cast<unsigned char>(width >> 8));
  file.push_back(static_cast<unsigned char>(height));
  file.push_back(static_cast<unsigned char>(height >> 8));
  file.push_back(static_cast<unsigned char>(bits));
  file.push_back(descriptor);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// Decodes and hands back the pixels, or nothing when refused.
struct Result {
  bool ok = false;
  TgaTexture record;
  Bytes pixels;
};

Result decode(const Bytes& file) {
  Result r;
  r.ok = decodeTga(&r.record, file.data(), file.size());
  if (r.ok) {
    EXPECT_EQ(r.record.pixels.size(),
              size_t(r.record.width) * r.record.height * (r.record.bitsPerPixel / 8));
  } else {
    EXPECT_TRUE(r.record.pixels.empty());
  }
  r.pixels.swap(r.record.pixels);
  return r;
}

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(TgaReader, TwentyFourBitPixelsAreSwappedToRgb) {
  const Result r = decode(tgaFile(2, 1, 24, {1, 2, 3, 4, 5, 6}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.record.width, 2u);
  EXPECT_EQ(r.record.height, 1u);
  EXPECT_EQ(r.record.bitsPerPixel, 24u);
  EXPECT_EQ(r.pixels, (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST(TgaReader, DescriptorIsIgnoredAndRowsStayAsStored) {
  const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const Result plain = decode(tgaFile(2, 2, 24, pixels, 0x00));
  const Result topLeft = decode(tgaFile(2, 2, 24, pixels, 0x20));
  ASSERT_TRUE(plain.ok);
  ASSERT_TRUE(topLeft.ok);
  EXPECT_EQ(plain.pixels, topLeft.pixels);
  EXPECT_EQ(topLeft.pixels[0], 3);  // the first stored pixel comes first
}

TEST(TgaReader, RefusesEverythingButPlainTrueColour) {
  const Bytes good = tgaFile(2, 1, 24, {1, 2, 3, 4, 5, 6});
  ASSERT_TRUE(decode(good).ok);
  auto withByte = [&](size_t at, unsigned char value) {
    Bytes b = good;
    b[at] = value;
    return b;
  };
  EXPECT_FALSE(decode(withByte(2, 10)).ok) << "run-length encoded";
  EXPECT_FALSE(decode(withByte(2, 1)).ok) << "colour-mapped";
  EXPECT_FALSE(decode(withByte(2, 3)).ok) << "greyscale";
  EXPECT_FALSE(decode(withByte(0, 6)).ok) << "identification field";
  EXPECT_FALSE(decode(withByte(1, 1)).ok) << "colour map present";
  EXPECT_FALSE(decode(withByte(10, 32)).ok) << "non-zero y origin";
  EXPECT_FALSE(decode(withByte(16, 16)).ok) << "16 bits per pixel";
  EXPECT_FALSE(decode(withByte(16, 8)).ok) << "8 bits per pixel";
  EXPECT_FALSE(decode(withByte(12, 0)).ok) << "width 0";
  EXPECT_FALSE(decode(withByte(14, 0)).ok) << "height 0";
  EXPECT_FALSE(decode(Bytes(good.begin(), good.end() - 1)).ok) << "one byte short";
  EXPECT_FALSE(decode(Bytes(good.begin(), good.begin() + 17)).ok) << "header cut";
  EXPECT_FALSE(decode(Bytes{}).ok);
  // The largest header a file can have, with almost nothing behind it.
  EXPECT_FALSE(decode(tgaFile(65535, 65535, 32, {1, 2, 3, 4})).ok);
  TgaTexture record;
  EXPECT_FALSE(decodeTga(&record, nullptr, 100));
  EXPECT_FALSE(decodeTga(nullptr, good.data(), good.size()));
}

TEST(TgaReader, ConformanceFilesDecodeOrAreRefusedAsLabelled) {
  const std::string root = test_paths::kTestdata;
  std::ifstream manifest(root + "/manifest.tsv");
  if (!manifest) GTEST_SKIP() << "no conformance files at " << root;
  std::string line;
  int decoded = 0, refused = 0;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    std::string path, expected, reference;
    std::getline(fields, path, '\t');
    std::getline(fields, expected, '\t');
    std::getline(fields, reference, '\t');
    if (path.rfind("tga/", 0) != 0) continue;
    SCOPED_TRACE(path);
    const Bytes file = readFile(root + "/" + path);
    ASSERT_FALSE(file.empty());
    const Result r = decode(file);
    if (expected == "REFUSE") {
      EXPECT_FALSE(r.ok);
      ++refused;
      continue;
    }
    ASSERT_EQ(expected, "DECODE");
    ASSERT_TRUE(r.ok);
    PngImage ref;
    std::string error;
    ASSERT_TRUE(readPng(root + "/" + reference, ref, &error)) << error;
    ASSERT_EQ(int(r.record.width), ref.width);
    ASSERT_EQ(int(r.record.height), ref.height);
    // Rows in stored order, byte for byte, alpha included.
    const int channels = int(r.record.bitsPerPixel / 8);
    EXPECT_EQ(channels == 4, ref.hasAlpha);
    const PixelView got{r.pixels.data(), ref.width, ref.height, channels, false};
    const PixelView want{ref.rgba.data(), ref.width, ref.height, 4, false};
    EXPECT_EQ(countDifferentPixels(got, want, 0, channels), 0u);
    ++decoded;
  }
  EXPECT_EQ(decoded, 5);
  EXPECT_EQ(refused, 17);
}
