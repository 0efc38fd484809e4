// Screenshots on the desktops: the frame read back, encoded as PNG by stb's
// writer and saved as a new file in the pictures folder.
#include <cstdio>
#include <cstring>

#include "app/png_bytes.h"
#include "app/screenshot.h"
#include "app/shell.h"
#include "gl.h"
#include "platform/platform.h"
#include "stb_image_write.h"

namespace {
constexpr int kMaxCopies = 1000;  // "-2" up to "-999" within one second

void complain(const char* reason, const char* folder) {
  char text[1400];
  std::snprintf(text, sizeof text, "The screenshot could not be saved: %s%s%s.", reason,
                folder != nullptr ? " " : "", folder != nullptr ? folder : "");
  platformMessageBox(text, "Screenshot", MessageButtons::Ok, MessageIcon::Exclamation, true);
}
}  // namespace

void readFrame(FramePicture* picture) {
  int width = 0, height = 0;
  drawableSize(&width, &height);
  picture->width = width;
  picture->height = height;
  const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
  // RGBA is the format every GL reads back; rows come bottom first.
  std::vector<uint8_t> rgba(w * h * 4);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  picture->rgb.resize(w * h * 3);
  for (size_t y = 0; y < h; ++y) {
    const uint8_t* from = rgba.data() + (h - 1 - y) * w * 4;
    uint8_t* to = picture->rgb.data() + y * w * 3;
    for (size_t x = 0; x < w; ++x) {
      to[3 * x] = from[4 * x];
      to[3 * x + 1] = from[4 * x + 1];
      to[3 * x + 2] = from[4 * x + 2];
    }
  }
}

bool saveScreenshot(const FramePicture& picture, const std::tm& when, char* path, size_t pathSize) {
  char folder[1024];
  if (!platformPicturesFolder(folder, sizeof folder)) {
    complain(folder, nullptr);
    return false;
  }
  std::vector<uint8_t> png;
  if (picture.width <= 0 || picture.height <= 0 ||
      stbi_write_png_to_func(appendPngBytes, &png, picture.width, picture.height, 3,
                             picture.rgb.data(), picture.width * 3) == 0) {
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
    const int written = std::snprintf(path, pathSize, "%s%s%s", folder, separator, name);
    if (written < 0 || static_cast<size_t>(written) >= pathSize) {
      complain("the path of this folder is too long for a file in it:", folder);
      return false;
    }
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
  FramePicture picture;
  readFrame(&picture);
  char path[1024];
  if (saveScreenshot(picture, screenshotTime(), path, sizeof path)) {
    std::printf("Screenshot saved: %s\n", path);
    std::fflush(stdout);
  }
}
