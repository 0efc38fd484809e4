// The GL tests' common start: an offscreen 640 x 480 context with a GL path
// started in it and a clean OS stand-in; for tests that read files by
// relative names, a scratch working folder, taken away afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "gl.h"
#include "support/gl_context.h"

namespace scene {

class GlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The GL path the test draws through: the game's layer, unless a test
  // reads the driver's state back (its matrices, bindings or lists).
  virtual gldesk::Path glPath() const { return gldesk::Path::Layer; }

  // Whether the test reads no pixel: its surface is then 64 x 48, while the
  // game still draws its 640 x 480 view with the same calls (clipped to the
  // surface, they cost llvmpipe a hundredth of the fill).
  virtual bool readsNoPixel() const { return false; }

  // A new folder, holding an empty Data/, made the working folder until the
  // test ends; `name` goes into its name.
  void enterScratchFolder(const char* name);

  GlContext context;
  std::filesystem::path scratch;  // the scratch folder, empty when there is none

 private:
  std::filesystem::path previous_;  // the working folder before it
};

}  // namespace scene
