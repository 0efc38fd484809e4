// Comparing rendered frames with the committed reference pictures.
#include "support/reference_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/png.h"
#include "support/test_paths.h"

namespace {
constexpr int kChannelTolerance = 24;

std::string referencePath(const std::string& name) {
  return std::string(test_paths::kSource) + "/tests/reference/" + name + ".png";
}
}  // namespace

bool writingFrames() { return std::getenv("SHOOTER_WRITE_FRAMES") != nullptr; }

std::string framePath(const std::string& name) {
  const std::string dir = std::string(test_paths::kBinary) + "/frames";
  std::error_code ignored;
  std::filesystem::create_directories(dir, ignored);
  return dir + "/" + name + ".png";
}

bool writeFrame(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height) {
  return writePng(path, width, height, 3, rgb.data(), true);
}

void expectMatchesReference(const std::string& name, size_t allowedPixels,
                            const std::vector<uint8_t>& rgb, int width, int height) {
  const std::string reference = referencePath(name);
  if (writingFrames()) {
    EXPECT_TRUE(writeFrame(reference, rgb, width, height)) << reference;
    return;
  }
  PngImage expected;
  std::string why;
  if (!readPng(reference, expected, &why)) {
    ADD_FAILURE() << "cannot read " << reference << ": " << why;
    return;
  }
  const PixelView actual{rgb.data(), width, height, 3, true};
  const PixelView want{expected.rgba.data(), expected.width, expected.height, 4, false};
  const size_t differing = countDifferentPixels(actual, want, kChannelTolerance);
  if (differing > 0) std::printf("%s: %zu pixels differ\n", name.c_str(), differing);
  if (differing > allowedPixels) {
    const std::string path = framePath(name + "-actual");
    writeFrame(path, rgb, width, height);
    ADD_FAILURE() << name << ": " << differing << " pixels differ (at most " << allowedPixels
                  << " may); this frame is in " << path;
  }
}
