// Screenshots: the request the shells make and the name a picture is saved
// under. The desktops encode the frame themselves (screenshot_png.cpp); the
// browser's page does (web/screenshot_web.cpp).
#include "app/screenshot.h"

#include <cstdio>

namespace {
bool requested = false;
}  // namespace

void requestScreenshot() { requested = true; }

bool screenshotRequested() { return requested; }

bool takeScreenshotRequest() {
  const bool was = requested;
  requested = false;
  return was;
}

std::tm screenshotTime() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  return local != nullptr ? *local : std::tm{};
}

// The fields printed one by one: the browser's strftime alone would bring
// about 10 KB of script into the page's download.
void screenshotName(const std::tm& when, int copy, char* out, size_t size) {
  char stamp[80];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d-%02d-%02d", when.tm_year + 1900,
                when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
  if (copy <= 1) {
    std::snprintf(out, size, "shooter-%s.png", stamp);
  } else {
    std::snprintf(out, size, "shooter-%s-%d.png", stamp, copy);
  }
}
