// Screenshots on the desktops: the frame read back, encoded as PNG by stb's
// writer and saved as a new file in the pictures folder.
#include <cstdio>
#include <cstring>

#include "app/screenshot.h"
#include "app/shell.h"
#include "gl.h"
#include "platform/platform.h"
#include "stb_image_write.h"

namespace {
constexpr int kMaxCopies = 1000;  // "-2" up to "-999" within one second

void appendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const size_t start = out->size();
  out->resize(start + static_cast<size_t>(size));
  std::memcpy(out->data() + start, data, static_cast<size_t>(size));
}

void complain(const char* reason, const char* folder) {
  char text[1400];
  std::snprintf(text, sizeof text, "The screenshot could not be saved: %s%s%s.", reason,
                folder != nullptr ? " " : "", folder != nullptr ? folder : "");
  platformMessageBox(text, "Screenshot", MessageButtons::Ok, MessageIcon::Exclamation, true);
}
}  // namespace

void readFrame(std::vector<uint8_t>* rgb) {
  // RGBA is the format every GL reads back (WebGL too); rows come bottom first.
  std::vector<uint8_t> rgba(static_cast<size_t>(kWindowWidth) * kWindowHeight * 4);
  glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  rgb->resize(static_cast<size_t>(kWindowWidth) * kWindowHeight * 3);
  for (int y = 0; y < kWindowHeight; ++y) {
    const uint8_t* from =
        rgba.data() + static_cast<size_t>(kWindowHeight - 1 - y) * kWindowWidth * 4;
    uint8_t* to = rgb->data() + static_cast<size_t>(y) * kWindowWidth * 3;
    for (size_t x = 0; x < static_cast<size_t>(kWindowWidth); ++x) {
      to[3 * x] = from[4 * x];
      to[3 * x + 1] = from[4 * x + 1];
      to[3 * x + 2] = from[4 * x + 2];
    }
  }
}

bool saveScreenshot(const std::vector<uint8_t>& rgb, const std::tm& when, char* path,
                    size_t pathSize) {
  char folder[1024];
  if (!platformPicturesFolder(folder, sizeof folder)) {
    complain(folder, nullptr);
    return false;
  }
  std::vector<uint8_t> png;
  if (stbi_write_png_to_func(appendBytes, &png, kWindowWidth, kWindowHeight, 3, rgb.data(),
                             kWindowWidth * 3) == 0) {
    complain("the picture could not be encoded", nullptr);
    return false;
  }
  // Windows' folders come with backslashes: the name joins them alike.
  const size_t length = std::strlen(folder);
  const char* separator = length == 0 || folder[length - 1] == '/' || folder[length - 1] == '\\'
                              ? ""
                          : std::strchr(folder, '\\') != nullptr ? "\\"
                                                                 : "/";
  for (int copy = 1; copy < kMaxCopies; ++copy) {
    char name[80];
    screenshotName(when, copy, name, sizeof name);
    std::snprintf(path, pathSize, "%s%s%s", folder, separator, name);
    switch (writeNewFile(path, png.data(), png.size())) {
      case NewFile::Written: return true;
      case NewFile::Exists: continue;
      case NewFile::Failed: complain("this folder cannot be written:", folder); return false;
    }
  }
  complain("every name for this second is taken in", folder);
  return false;
}

void takeRequestedScreenshot() {
  if (!takeScreenshotRequest()) return;
  std::vector<uint8_t> rgb;
  readFrame(&rgb);
  char path[1024];
  if (saveScreenshot(rgb, screenshotTime(), path, sizeof path)) {
    std::printf("Screenshot saved: %s\n", path);
    std::fflush(stdout);
  }
}
