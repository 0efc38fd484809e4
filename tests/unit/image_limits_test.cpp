// Hostile data files against the readers' limits: images that expand from a
// tiny file, pixel data too short for its header (refused before anything
// big is allocated), and names that are no regular file.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "image/bmp.h"
#include "image/tga.h"
#include "model/md2.h"
#include "platform/platform.h"
#include "support/alloc_counter.h"
#include "support/test_platform.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& b, unsigned v) {
  for (int i = 0; i < 2; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// A bitmap with the file header, the 40-byte header and `colours` black
// table entries, followed by `pixels` as stored.
Bytes bitmap(int32_t width, int32_t height, unsigned bits, uint32_t compression,
             const Bytes& pixels, uint32_t colours = 0) {
  Bytes b = {'B', 'M'};
  const uint32_t offset = 54 + 4 * colours;
  put32(b, uint32_t(offset + pixels.size()));
  put32(b, 0);
  put32(b, offset);
  put32(b, 40);
  put32(b, uint32_t(width));
  put32(b, uint32_t(height));
  put16(b, 1);
  put16(b, bits);
  put32(b, compression);
  put32(b, uint32_t(pixels.size()));
  put32(b, 0);
  put32(b, 0);
  put32(b, colours);
  put32(b, 0);
  b.resize(offset, 0);
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

// Run-length data that ends the bitmap at once: every pixel stays black.
Bytes endedRle8(int32_t width, int32_t height) {
  Bytes b = bitmap(width, height, 8, 1, {0, 1}, 1);
  b.resize(64, 0);  // as small as a damaged file gets
  return b;
}

struct Outcome {
  bool ok = false;
  std::string message;
  long allocations = 0;  // while decoding, the message's record included
};

Outcome decode(const Bytes& file) {
  testPlatform.clear();
  alloc_counter::warmUp();
  alloc_counter::start();
  std::unique_ptr<RgbImage> image = decodeBmp(file.data(), file.size(), "damaged.bmp");
  alloc_counter::stop();
  Outcome o;
  o.ok = image != nullptr;
  o.allocations = alloc_counter::gameAllocations() + alloc_counter::driverAllocations();
  EXPECT_EQ(testPlatform.messages.size(), o.ok ? 0u : 1u);
  if (!testPlatform.messages.empty()) {
    EXPECT_EQ(testPlatform.messages[0].caption, "Error");
    o.message = testPlatform.messages[0].text;
  }
  return o;
}

std::string tooLarge(const char* size) {
  return std::string("Image too large: damaged.bmp is ") + size +
         " pixels; the game takes at most 4096 a side and 4194304 in all.";
}

TEST(ImageLimits, RunLengthImagesBeyondTheLimitsAreRefusedHoweverSmallTheirFile) {
  // One row as wide as the old pixel cap: GLU's mipmap builder broke on it.
  EXPECT_EQ(decode(endedRle8(67108864, 1)).message, tooLarge("67108864 x 1"));
  EXPECT_EQ(decode(endedRle8(1, 67108864)).message, tooLarge("1 x 67108864"));
  // Half a gigabyte of texture from 64 bytes.
  EXPECT_EQ(decode(endedRle8(8192, 8192)).message, tooLarge("8192 x 8192"));
  // Each side within the limit, the pixel count beyond it.
  EXPECT_EQ(decode(endedRle8(4096, 1025)).message, tooLarge("4096 x 1025"));
  EXPECT_EQ(decode(endedRle8(4097, 1)).message, tooLarge("4097 x 1"));

  // At the limits, an early end still gives a black image.
  for (const auto& size : {std::pair<int32_t, int32_t>{4096, 1024}, {2048, 2048}, {1, 4096}}) {
    const Outcome o = decode(endedRle8(size.first, size.second));
    EXPECT_TRUE(o.ok) << size.first << " x " << size.second << ": " << o.message;
  }
}

TEST(ImageLimits, UncompressedPixelsShortOfTheHeaderAreRefusedBeforeAllocating) {
  // A depth the reader does not convert is refused from the header alone:
  // what that refusal allocates (its message's record) is all a refusal may.
  const Outcome header = decode(bitmap(2048, 2048, 2, 0, Bytes(100, 7)));
  EXPECT_EQ(header.message, "Image file conversion error.");
  // 2048 x 2048 at 32 bits promises 16 MiB of pixels and holds 100 bytes.
  const Outcome o = decode(bitmap(2048, 2048, 32, 0, Bytes(100, 7)));
  EXPECT_EQ(o.message, "Image file conversion error.");
  EXPECT_EQ(o.allocations, header.allocations);
  // The same at 1 bit per pixel: 512 KiB promised, one row short.
  const Outcome mono = decode(bitmap(2048, 2048, 1, 0, Bytes(256 * 2047, 0)));
  EXPECT_EQ(mono.message, "Image file conversion error.");
  EXPECT_EQ(mono.allocations, header.allocations);
}

Bytes targa(unsigned width, unsigned height, unsigned bits, size_t pixelBytes) {
  Bytes b = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  put16(b, width);
  put16(b, height);
  b.push_back(static_cast<unsigned char>(bits));
  b.push_back(0);
  b.resize(b.size() + pixelBytes, 9);
  return b;
}

TEST(ImageLimits, TargaImagesAreHeldToTheSameLimits) {
  TgaTexture record;
  const Bytes wide = targa(4097, 1, 24, 4097 * 3);
  EXPECT_FALSE(decodeTga(&record, wide.data(), wide.size()));
  const Bytes atLimit = targa(4096, 1, 24, 4096 * 3);
  EXPECT_TRUE(decodeTga(&record, atLimit.data(), atLimit.size()));
  // A header promising 16 MiB over a few bytes allocates nothing.
  const Bytes promise = targa(2048, 2048, 32, 64);
  TgaTexture empty;
  alloc_counter::warmUp();
  alloc_counter::start();
  EXPECT_FALSE(decodeTga(&empty, promise.data(), promise.size()));
  alloc_counter::stop();
  EXPECT_EQ(alloc_counter::gameAllocations() + alloc_counter::driverAllocations(), 0);
  EXPECT_TRUE(empty.pixels.empty());
}

// Names that are no regular file are refused at once, never read or waited
// on: a FIFO would block an open until some writer came.
class NotAFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() / ("shooter-notafile-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_ / "dir");
#ifdef _WIN32
    device_ = "NUL";
#else
    device_ = (dir_ / "fifo").string();
    ASSERT_EQ(::mkfifo(device_.c_str(), 0600), 0);
#endif
    testPlatform.clear();
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::filesystem::path dir_;
  std::string device_;  // a FIFO, or on Windows the null device
};

TEST_F(NotAFile, DevicesAndFoldersAreRefusedLikeUnreadableFiles) {
  const struct {
    std::string name;
    MapResult result;
  } cases[] = {
      {device_, MapResult::NotMapped},
      {(dir_ / "dir").string(), MapResult::NotMapped},
#ifndef _WIN32
      {"/dev/zero", MapResult::NotMapped},
#endif
      {(dir_ / "missing").string(), MapResult::NotOpened},
  };
  for (const auto& c : cases) {
    MappedFile file;
    EXPECT_EQ(mapFile(c.name.c_str(), &file), c.result) << c.name;
    EXPECT_EQ(file.data, nullptr) << c.name;
  }

  // Each reader reports it as it reports a file it cannot read.
  EXPECT_FALSE(loadBmp(device_.c_str()));
  ASSERT_EQ(testPlatform.messages.size(), 1u);
  EXPECT_EQ(testPlatform.messages[0].text, "Failed to open DIB file " + device_ + ".\n");
  TgaTexture font;
  EXPECT_FALSE(loadTga(&font, device_.c_str()));
  testPlatform.clear();
  Model model;
  EXPECT_FALSE(md2Reader.load(&model, device_.c_str(), nullptr));
  ASSERT_EQ(testPlatform.messages.size(), 1u);
  EXPECT_EQ(testPlatform.messages[0].text,
            "Corrupt model file (unreadable file): " + device_ + "!");
  EXPECT_TRUE(model.meshes.empty());
}

}  // namespace
