// The bitmap reader against the outside conformance files: every file listed
// in the testdata manifest loads or is refused as its label says, and decoded
// pixels match the reference pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "image/bmp.h"
#include "support/png.h"
#include "support/test_paths.h"
#include "support/test_platform.h"

namespace {

struct ManifestEntry {
  std::string path;
  std::string expected;
  std::vector<std::string> references;
};

std::string testdata(const std::string& relative) {
  return std::string(test_paths::kTestdata) + "/" + relative;
}

std::vector<ManifestEntry> bmpEntries() {
  std::vector<ManifestEntry> entries;
  std::ifstream in(testdata("manifest.tsv"));
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream fields(line);
    ManifestEntry e;
    std::string refs;
    std::getline(fields, e.path, '\t');
    std::getline(fields, e.expected, '\t');
    std::getline(fields, refs, '\t');
    if (e.path.size() < 4 || e.path.compare(e.path.size() - 4, 4, ".bmp") != 0) continue;
    std::istringstream list(refs);
    std::string ref;
    while (std::getline(list, ref, ';'))
      if (ref != "-" && !ref.empty()) e.references.push_back(ref);
    entries.push_back(e);
  }
  return entries;
}

// How many pixels of the decoded image differ from the reference by more than
// the tolerance, ignoring pixels the reference marks fully transparent. The
// reader's rows run bottom to top; the reference shows the picture upright.
size_t differences(const RgbImage& image, const PngImage& ref, int tolerance) {
  if (image.width != ref.width || image.height != ref.height) return SIZE_MAX;
  if (!ref.hasAlpha) {
    const PixelView got{image.data.data(), image.width, image.height, 3, true};
    const PixelView want{ref.rgba.data(), ref.width, ref.height, 4, false};
    return countDifferentPixels(got, want, tolerance);
  }
  size_t count = 0;
  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const uint8_t* want = &ref.rgba[(size_t(y) * size_t(ref.width) + size_t(x)) * 4];
      if (want[3] == 0) continue;
      const uint8_t* got =
          image.data.data() + (size_t(image.height - 1 - y) * size_t(image.width) + size_t(x)) * 3;
      for (int c = 0; c < 3; ++c) {
        if (std::abs(int(got[c]) - int(want[c])) > tolerance) {
          ++count;
          break;
        }
      }
    }
  }
  return count;
}

bool isRefuseLabel(const std::string& label) { return label == "REFUSE"; }

class BmpConformance : public ::testing::Test {
 protected:
  void SetUp() override {
    entries_ = bmpEntries();
    if (entries_.empty()) GTEST_SKIP() << "no conformance files at " << test_paths::kTestdata;
  }
  std::vector<ManifestEntry> entries_;
};

// The reader widens 5-bit and bit-field channels with rounding, which gives
// the references exactly; the wide bit-field channels of some open cases
// (10 to 18 bits) may round one step apart.
constexpr int kExact = 0;
constexpr int kTolerance = 1;

}  // namespace

TEST_F(BmpConformance, DecodeFilesMatchTheirReferences) {
  int checked = 0;
  for (const ManifestEntry& e : entries_) {
    if (e.expected != "DECODE") continue;
    SCOPED_TRACE(e.path);
    testPlatform.clear();
    const std::unique_ptr<RgbImage> image = loadBmp(testdata(e.path).c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(testPlatform.messages.empty());
    // The opaque reading: the unused bits of 16- and 32-bit pixels are not alpha.
    std::string refPath;
    for (const std::string& r : e.references)
      if (r.find(".alt-alpha.") == std::string::npos) refPath = r;
    ASSERT_FALSE(refPath.empty());
    PngImage ref;
    std::string error;
    ASSERT_TRUE(readPng(testdata(refPath), ref, &error)) << error;
    const size_t diff = differences(*image, ref, kExact);
    if (diff != 0) {
      const std::string out = std::string(test_paths::kBinary) + "/bmp-conformance-" +
                              e.path.substr(e.path.rfind('/') + 1) + ".png";
      writePng(out, image->width, image->height, 3, image->data.data(), true);
    }
    EXPECT_EQ(diff, 0u) << "see " << test_paths::kBinary;
    ++checked;
  }
  EXPECT_GE(checked, 40);
}

TEST_F(BmpConformance, RefuseFilesAreRefusedWithOneMessage) {
  for (const ManifestEntry& e : entries_) {
    if (!isRefuseLabel(e.expected)) continue;
    SCOPED_TRACE(e.path);
    testPlatform.clear();
    const std::unique_ptr<RgbImage> image = loadBmp(testdata(e.path).c_str());
    EXPECT_FALSE(image);
    ASSERT_EQ(testPlatform.messages.size(), 1u);
    EXPECT_EQ(testPlatform.messages[0].caption, "Error");
    const std::string& text = testPlatform.messages[0].text;
    if (e.path.find("pal8v4") != std::string::npos || e.path.find("pal8v5") != std::string::npos ||
        e.path.find("ba-bm") != std::string::npos ||
        e.path.find("badheadersize") != std::string::npos) {
      EXPECT_EQ(text, "Unknown DIB file format.");
    }
    if (e.path.find("reallybig") != std::string::npos) {
      EXPECT_EQ(text.rfind("Image too large: ", 0), 0u) << text;
    }
  }
}

// Files whose handling is left open must not crash; whatever decodes must be
// one of the pictures the suite accepts for it.
TEST_F(BmpConformance, ChoiceAndSafeFilesAreHandledCleanly) {
  for (const ManifestEntry& e : entries_) {
    if (e.expected != "CHOICE" && e.expected != "SAFE") continue;
    SCOPED_TRACE(e.path);
    testPlatform.clear();
    const std::unique_ptr<RgbImage> image = loadBmp(testdata(e.path).c_str());
    if (image == nullptr) {
      EXPECT_EQ(testPlatform.messages.size(), 1u);
      continue;
    }
    EXPECT_TRUE(testPlatform.messages.empty());
    if (e.expected == "CHOICE" && !e.references.empty()) {
      size_t best = SIZE_MAX;
      for (const std::string& r : e.references) {
        PngImage ref;
        ASSERT_TRUE(readPng(testdata(r), ref));
        best = std::min(best, differences(*image, ref, kTolerance));
      }
      EXPECT_EQ(best, 0u);
    }
  }
}

// The reader's choices for the files it may take or leave, pinned down so a
// change of mind is deliberate.
TEST_F(BmpConformance, ChoicesMadeForOpenCases) {
  auto decodes = [](const char* path) {
    testPlatform.clear();
    const std::unique_ptr<RgbImage> image = loadBmp(testdata(path).c_str());
    const bool ok = image != nullptr;
    return ok;
  };
  EXPECT_TRUE(decodes("bmp/good/pal8topdown.bmp"));
  EXPECT_TRUE(decodes("bmp/good/rgb16-565.bmp"));
  EXPECT_TRUE(decodes("bmp/good/rgb32bf.bmp"));
  EXPECT_TRUE(decodes("bmp/questionable/pal8rletrns.bmp"));
  EXPECT_TRUE(decodes("bmp/bad/badplanes.bmp"));
  EXPECT_FALSE(decodes("bmp/questionable/pal2.bmp"));
  EXPECT_FALSE(decodes("bmp/questionable/rgba32abf.bmp"));
  EXPECT_FALSE(decodes("bmp/questionable/rgba64.bmp"));
  EXPECT_FALSE(decodes("bmp/bad/rletopdown.bmp"));
  EXPECT_FALSE(decodes("bmp/bad/badpalettesize.bmp"));
  EXPECT_FALSE(decodes("bmp/bad/shortfile.bmp"));
}
