// An offscreen OpenGL context for rendering tests: a 640 x 480 double-buffered
// RGBA surface with a depth buffer, whose frames can be read back.
#pragma once

#include <cstdint>
#include <vector>

class GlContext {
 public:
  GlContext() = default;
  ~GlContext() { close(); }
  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;

  // Creates and makes current a context of the given size; false if the
  // machine has no GL at all (the test should then fail, not skip).
  bool open(int width = 640, int height = 480);
  void close();
  // Presents the back buffer (what the shells do after each frame).
  void swap();
  // The current frame as RGB rows, bottom row first (glReadPixels order).
  std::vector<uint8_t> readPixels() const;
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_ = 0;
  int height_ = 0;
  void* window_ = nullptr;
  void* context_ = nullptr;
#if defined(_WIN32)
  void* extra_ = nullptr;  // the window's device context
#endif
};
